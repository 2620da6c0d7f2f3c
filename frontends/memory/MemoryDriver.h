// The control on the in-memory platform, driven as a host and a user would drive it, through the
// controller (controller/ScheduleController.h) exactly as the Qt widget drives it: the host's
// calls, the window system's resizes, repaints and timer ticks, the pointer, the buttons and the
// keyboard. Message boxes are answered at once, once the host's callback returns; pauses run the
// host's callback in place. The scripted host, the tests and the benchmarks drive the control
// through it.
//
// What the widget's toolkit does for it is done here, toolkit-free: the keyboard focus among the
// eighteen widgets (FocusChain.h), moved by Tab, by a press on a widget that takes focus on a
// click and by the arrow keys of a push button; a click reaches a button only while it is
// enabled; a widget that can no longer take the focus loses it.
#pragma once

#include <QtCore/qnamespace.h>
#include <QPointF>
#include <optional>

#include "controller/ScheduleController.h"
#include "frontends/memory/FocusChain.h"
#include "frontends/memory/MemoryPlatform.h"

namespace tarn::platform::memory {

class MemoryDriver {
public:
    /// A control at its design size, not yet initialised.
    explicit MemoryDriver(HostCallbacks callbacks = {});
    MemoryDriver(const MemoryDriver&) = delete;
    MemoryDriver& operator=(const MemoryDriver&) = delete;

    MemoryPlatform& Platform() { return *platform_; }
    const MemoryPlatform& Platform() const { return *platform_; }
    qt::ScheduleController& Controller() { return controller_; }
    const qt::ScheduleController& Controller() const { return controller_; }

    // The control's life.
    void Initialize();
    void Terminate();

    // The window system and the timer.
    /// Delivers the timer's tick if a redraw is due, as the host's message loop would; false
    /// when none was.
    bool Tick();
    /// The host's Refresh, then the tick it arms: a full redraw. False when no tick was armed.
    bool Redraw();
    /// Gives the control's surface a new size, then lets the control lay itself out.
    void Resize(int width, int height);
    void Paint();

    // The host's writes of the two switches, which decide what can hold the focus: a widget that
    // has it and can no longer take it loses it.
    void SetEnable(bool enable);
    void SetSpecialDayEnabled(bool enabled);

    // The pointer on a bar, at X in the bar's inner pixels (Y 0).
    /// A press gives the focus first, to a bar that takes it and only when the pressed point lies
    /// on the bar; the bar sees the press after it has the focus.
    void Press(int bar, double x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {});
    void Move(int bar, double x, Qt::MouseButtons buttons);
    void Release(int bar, double x, Qt::MouseButton button);

    /// widget: 0 to 7 day buttons, 8 Enable, 9 Disable. The pointer presses the middle of the
    /// button, which takes the focus then; a button laid out to no size is clicked with the space
    /// key and keeps the focus where it is. False, and nothing happens, when the button is
    /// disabled.
    bool Click(int widget);

    // The keyboard.
    /// Moves the focus to widget as Tab would; false, and nothing changes, when it cannot take it.
    bool Focus(FocusWidget widget);
    /// The user presses and releases the Qt key on the widget that has the focus (on the window
    /// when none has).
    void PressKey(int key, Qt::KeyboardModifiers modifiers = {});
    /// The widget that has the focus, nothing when none has.
    std::optional<FocusWidget> Focused() const { return focus_; }
    /// A button takes the focus while it is enabled, a bar while the control lets it.
    bool CanTakeFocus(FocusWidget widget);

private:
    /// The point of the bar's own coordinates, frame included, at X of its inner pixels.
    static QPointF BarPoint(double x);
    /// The widget losing the focus hears of it first, then the one getting it.
    void MoveFocus(std::optional<FocusWidget> to);
    void DropRefusedFocus();

    // Declared before the controller, whose Terminate on destruction may still reach them.
    HostCallbacks callbacks_;
    std::optional<FocusWidget> focus_;
    MemoryPlatform* platform_ = nullptr;  // owned by the controller
    qt::ScheduleController controller_;
};

}  // namespace tarn::platform::memory
