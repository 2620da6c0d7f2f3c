// Shared by the widget tests: a control whose host services a test controls, and the user's mouse
// on a bar, sent through Qt's event delivery with X and Y in the bar's inner pixels.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <memory>

#include "TarnSchedule/ScheduleWidget.h"
#include "model/Schedule.h"
#include "platform/qt/BarWidget.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/ScheduleWidgetInternals.h"

namespace tarn::test {

/// What the control showed its host.
struct HostLog {
    QStringList messageBoxes;  // "STYLE TITLE: TEXT"
    int sleeps = 0;
};

/// Services that record instead of waiting: message boxes answered at once, pauses not waited,
/// and the redraw timer ticking only when the test says so.
inline ScheduleHostServices RecordingServices(HostLog& log, bool manualTimer = true) {
    ScheduleHostServices services;
    services.messageBox = [&log](const QString& text, int style, const QString& title) {
        log.messageBoxes << QStringLiteral("%1 %2: %3").arg(style).arg(title, text);
    };
    services.sleep = [&log](int) { ++log.sleeps; };
    services.manualTimer = manualTimer;
    return services;
}

inline Schedule& Core(ScheduleWidget& widget) {
    return ScheduleWidgetInternals::Control(widget);
}

inline qt::QtPlatform& Platform(ScheduleWidget& widget) {
    return ScheduleWidgetInternals::Platform(widget);
}

inline qt::BarWidget& Bar(ScheduleWidget& widget, int index) {
    return Platform(widget).Bar(index);
}

/// 0 to 7 day buttons, 8 Enable, 9 Disable.
inline QPushButton& Button(ScheduleWidget& widget, int index) {
    return Platform(widget).ButtonWidget(index);
}

/// A mouse event on a bar at (x, y) in its inner pixels.
inline void SendBarMouse(QWidget& bar, QEvent::Type type, double x, double y,
                         Qt::MouseButton button, Qt::MouseButtons buttons,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local(x + 2.0, y + 2.0);
    QMouseEvent event(type, local, bar.mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(&bar, &event);
}

/// Press, move to each further x, release: a left-button drag along one bar.
inline void DragLeft(QWidget& bar, std::initializer_list<double> xs) {
    double last = 0.0;
    bool first = true;
    for (double x : xs) {
        if (first)
            SendBarMouse(bar, QEvent::MouseButtonPress, x, 5, Qt::LeftButton, Qt::LeftButton);
        else
            SendBarMouse(bar, QEvent::MouseMove, x, 5, Qt::NoButton, Qt::LeftButton);
        first = false;
        last = x;
    }
    SendBarMouse(bar, QEvent::MouseButtonRelease, last, 5, Qt::LeftButton, Qt::NoButton);
}

}  // namespace tarn::test
