// The Qt Quick item as its benchmarks measure it: made from QML in a window of its own on the
// software renderer, office hours on its bars, its first redraw done, and every event delivered
// to the window, so that Qt Quick's delivery and the scene's rendering are counted as an
// application pays them.
#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <memory>

#include "TarnSchedule/ScheduleEditor.h"
#include "TarnSchedule/TimeProperties.h"
#include "controller/ScheduleController.h"
#include "frontends/quick/ScheduleEditorInternals.h"

namespace tarn::bench {

struct QuickFixture {
    QuickFixture() {
        // Chosen before the first window; the scene graph keeps it for the program's life.
        static const bool software = [] {
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
            return true;
        }();
        (void)software;
        QQmlComponent component(&engine);
        component.setData("import TarnSchedule\nScheduleEditor { touchSize: 0 }", QUrl());
        editor.reset(qobject_cast<ScheduleEditor*>(component.create()));
        if (!editor) qFatal("%s", qPrintable(component.errorString()));
        editor->setParentItem(window.contentItem());
        QObject::connect(
            &window, &QQuickWindow::afterRendering, &window, [this] { ++frames; },
            Qt::DirectConnection);
        window.resize(static_cast<int>(editor->width()), static_cast<int>(editor->height()));
        window.show();
        QCoreApplication::processEvents();
        for (int day = 0; day < 6; ++day) {
            editor->setTimeValue(TimePropertyIndex(day, 1, false), day < 5 ? 800 : 1000);
            editor->setTimeValue(TimePropertyIndex(day, 1, true), day < 5 ? 1730 : 1400);
        }
        editor->deliverTimerTick();
        QCoreApplication::processEvents();
    }

    std::uint64_t redraws() {
        return ScheduleEditorInternals::Controller(*editor).CompletedRedraws();
    }

    /// Handles what the events left and renders the frame the window asked for, as the next tick
    /// of the display would (the off-screen platform's tick is a timer, which the loop does not
    /// wait for).
    void ShowFrame() {
        QCoreApplication::processEvents();
        QEvent tick(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(&window, &tick);
    }

    /// A mouse event at point (the window's coordinates), delivered by the window.
    void Send(QEvent::Type type, QPointF point, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, point, window.mapToGlobal(point), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    }

    /// Frames the window rendered.
    int frames = 0;
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<ScheduleEditor> editor;
};

}  // namespace tarn::bench
