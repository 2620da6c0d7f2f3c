// The control on the in-memory platform, driven as a host and a user would drive it: the one place
// that decides the order in which the control's handlers hear of the window system, the timer, the
// mouse, the buttons and the keyboard. The scripted host, the tests and the benchmarks all drive
// the control through it.
//
// The keyboard focus is kept here, moved as the Qt widget's toolkit moves it (FocusChain.h): by
// Tab, by a press on a widget that takes focus on a click, by the arrow keys of a push button and
// by the bars' own Up and Down; the bars are told when they get and lose it. A click goes to a
// button only while it is enabled, as a real button refuses it otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/Keys.h"
#include "core/Schedule.h"
#include "frontends/memory/FocusChain.h"
#include "frontends/memory/MemoryPlatform.h"

namespace tarn::platform::memory {

class MemoryDriver {
public:
    /// Runs one call into the control's handlers. A host that lets none of the control's errors
    /// stop it wraps each call; by default the calls run as they are and their errors reach the
    /// caller.
    using Delivery = std::function<void(const std::function<void()>& call)>;

    /// A control at its design size, not yet initialised.
    explicit MemoryDriver(HostCallbacks callbacks = {}, Delivery delivery = {});
    MemoryDriver(const MemoryDriver&) = delete;
    MemoryDriver& operator=(const MemoryDriver&) = delete;

    MemoryPlatform& Platform() { return platform_; }
    const MemoryPlatform& Platform() const { return platform_; }
    Schedule& Control() { return schedule_; }
    const Schedule& Control() const { return schedule_; }

    // The control's life.
    void Initialize();
    void Terminate();

    // The window system and the timer.
    /// Delivers the timer's tick if it is armed, as the host's message loop would; false when it
    /// was not.
    bool Tick();
    /// The host's Refresh, then the tick it arms: a full redraw. False when no tick was armed.
    bool Redraw();
    /// Gives the control's surface a new size, then lets the control lay itself out.
    void Resize(int width, int height);
    void Paint();

    // The host's writes of the two switches, which decide what can hold the focus: a widget that
    // has it and can no longer take it loses it, and no other widget gets it.
    void SetEnable(bool enable);
    void SetSpecialDayEnabled(bool enabled);

    // The mouse on a bar, at X in the bar's inner pixels. Buttons: 1 left, 2 right, 4 middle;
    // shift: 1 Shift, 2 Ctrl, 4 Alt.
    /// A press gives the focus first, to a bar that takes it and only when the pressed point lies
    /// on the bar; the bar sees the press after it has the focus.
    void Press(int bar, double x, int button, int shift = 0);
    /// The press as the bar's handler gets it, the focus left where it is: for callers that move
    /// the focus themselves.
    void MouseDown(int bar, double x, int button, int shift = 0);
    void Move(int bar, double x, int buttons);
    void Release(int bar, double x, int button);

    /// widget: 0 to 7 day buttons, 8 Enable, 9 Disable. The pointer presses the middle of the
    /// button, which takes the focus then; a button laid out to no size is clicked with the space
    /// key and keeps the focus where it is. False, and nothing happens, when the button is
    /// disabled.
    bool Click(int widget);

    // The keyboard.
    /// Moves the focus to widget as Tab would; false, and nothing changes, when it cannot take it.
    bool Focus(FocusWidget widget);
    /// The user presses and releases key on the widget that has the focus (on the window when
    /// none has). modifiers: kShiftMask, kCtrlMask.
    void PressKey(Key key, int modifiers = 0);
    /// The widget that has the focus, nothing when none has.
    std::optional<FocusWidget> Focused() const { return focus_; }
    /// A button takes the focus while it is enabled, a bar while the control lets it.
    bool CanTakeFocus(FocusWidget widget);

private:
    template <typename Call>
    void Deliver(Call&& call);

    /// What a click on an enabled button runs: the same handler whether the pointer or the space
    /// key clicks it.
    void ClickButton(int widget);
    /// The widget losing the focus hears of it first, then the one getting it.
    void MoveFocus(std::optional<FocusWidget> to);
    void DropRefusedFocus();
    /// A key on a focused bar goes to the control; Up and Down past the bar move the focus to the
    /// neighbouring bar when that one takes it.
    void BarKey(int bar, Key key, int modifiers);

    MemoryPlatform platform_;
    Schedule schedule_;
    Delivery delivery_;
    std::optional<FocusWidget> focus_;
};

}  // namespace tarn::platform::memory
