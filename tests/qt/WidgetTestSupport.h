// Shared by the widget tests: a control whose host services the test controls, its insides, and
// the user's mouse on a bar, sent through Qt's event delivery at a position in the bar's inner
// pixels.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <functional>
#include <variant>
#include <vector>

#include "TarnSchedule/ScheduleWidget.h"
#include "controller/ScheduleController.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "tests/qt/PaintCounter.h"
#include "tests/support/FaultInjector.h"

namespace tarn::test {

/// Makes the next text on the control's surface fail, so that the redraw reports it in a box.
inline void FailNextLabel(ScheduleWidget& widget) {
    static platform::FaultInjector faults;  // outlives every widget of the test
    faults.Clear();
    faults.Fail("TextOutA", platform::DeviceContext::kSurfaceTarget, 0, 1);
    ScheduleWidgetInternals::Platform(widget).AttachFaults(&faults);
}

/// A valid day of the given block ranges.
inline DayRanges Ranges(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// A control whose host records instead of waiting: each message box is noted as
/// "STYLE TITLE: TEXT" and answered once onMessageBox (when set) returns, pauses return at once,
/// and with a manual timer the redraw timer ticks only on deliverTimerTick().
struct TestControl {
    explicit TestControl(bool manualTimer = true) : widget(Services(manualTimer)) {}

    qt::ScheduleController& controller() { return ScheduleWidgetInternals::Controller(widget); }
    qt::QtPlatform& platform() { return ScheduleWidgetInternals::Platform(widget); }
    qt::BarWidget& bar(int index) { return platform().Bar(index); }
    /// 0 to 7 the day buttons, 8 Enable, 9 Disable.
    QPushButton& button(int index) { return platform().ButtonWidget(index); }
    std::uint64_t redraws() { return controller().CompletedRedraws(); }
    bool show() {
        widget.show();
        return QTest::qWaitForWindowExposed(&widget);
    }
    /// A mouse event on a bar at x in its inner pixels, on its top inner row.
    void mouse(int barIndex, QEvent::Type type, double x, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
        const QPointF local(x + 2.0, 2.0);
        QMouseEvent event(type, local, bar(barIndex).mapToGlobal(local), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&bar(barIndex), &event);
    }

    QStringList messageBoxes;
    std::function<void()> onMessageBox;
    ScheduleWidget widget;

private:
    ScheduleHostServices Services(bool manualTimer) {
        ScheduleHostServices services;
        services.messageBox = [this](const QString& text, int style, const QString& title) {
            messageBoxes << QStringLiteral("%1 %2: %3").arg(style).arg(title, text);
            if (onMessageBox) onMessageBox();
        };
        services.sleep = [](int) {};
        services.manualTimer = manualTimer;
        return services;
    }
};

}  // namespace tarn::test
