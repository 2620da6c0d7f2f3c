// The keyboard focus among the control's widgets, as a plain Qt Widgets window moves it: the tab
// chain of the design, which widgets Tab, Shift+Tab and the arrow keys of a push button reach,
// and where a key pressed on the focused widget goes. Toolkit-free, so that the in-memory driver
// (MemoryDriver.h) and the tests follow the same rule the real widget gets from Qt.
#pragma once

#include <QtCore/qnamespace.h>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "platform/DesignData.h"

namespace tarn::platform::memory {

/// A widget that can hold the keyboard focus: a button (0 to 7 day buttons, 8 Enable, 9 Disable,
/// as for clicks) or a day bar (0 to 7).
struct FocusWidget {
    enum class Kind { Button, Bar };
    Kind kind = Kind::Button;
    int index = 0;
    bool operator==(const FocusWidget&) const = default;
};

inline constexpr FocusWidget ButtonWidget(int index) {
    return {FocusWidget::Kind::Button, index};
}
inline constexpr FocusWidget BarWidget(int index) {
    return {FocusWidget::Kind::Bar, index};
}

/// "cmdDay(0)" ... "cmdDay(7)", "cmdEnable", "cmdDisable", "Schedule(0)" ... "Schedule(7)".
inline std::string FocusWidgetName(FocusWidget widget) {
    if (widget.kind == FocusWidget::Kind::Bar)
        return "Schedule(" + std::to_string(widget.index) + ")";
    if (widget.index == 8) return "cmdEnable";
    if (widget.index == 9) return "cmdDisable";
    return "cmdDay(" + std::to_string(widget.index) + ")";
}

/// The eighteen widgets in the order Tab visits them.
constexpr std::array<FocusWidget, 18> TabChain() {
    std::array<FocusWidget, 18> chain{};
    const auto designed = design::WidgetsInTabOrder();
    for (std::size_t i = 0; i < designed.size(); ++i) {
        switch (designed[i].kind) {
            case design::WidgetKind::DayButton:
                chain[i] = ButtonWidget(designed[i].index);
                break;
            case design::WidgetKind::DayBar:
                chain[i] = BarWidget(designed[i].index);
                break;
            case design::WidgetKind::EnableButton:
                chain[i] = ButtonWidget(8);
                break;
            case design::WidgetKind::DisableButton:
                chain[i] = ButtonWidget(9);
                break;
        }
    }
    return chain;
}

/// The widget that Tab (forward) or Shift+Tab reaches from `from`: the next (or previous) one in
/// the chain that can take the focus, wrapping around. With no focus, Tab reaches the first that
/// can take it and Shift+Tab the last. Nothing when no other widget can take it: the focus
/// stays where it is.
template <typename CanTakeFocus>
std::optional<FocusWidget> NextInChain(std::optional<FocusWidget> from, bool forward,
                                       const CanTakeFocus& canTakeFocus) {
    constexpr auto chain = TabChain();
    constexpr int count = static_cast<int>(chain.size());
    int start = forward ? -1 : count;  // no focus: before the first, or after the last
    if (from) {
        for (int i = 0; i < count; ++i)
            if (chain[i] == *from) start = i;
    }
    for (int step = 1; step <= count; ++step) {
        const int position = ((forward ? start + step : start - step) % count + count) % count;
        if (from && chain[position] == *from) return std::nullopt;
        if (canTakeFocus(chain[position])) return chain[position];
    }
    return std::nullopt;
}

/// What a key pressed and released does, given the widget that has the focus.
enum class KeyRoute {
    Nothing,
    FocusNext,      // the next widget of the chain, as Tab
    FocusPrevious,  // the previous one, as Shift+Tab
    ClickButton,    // the focused button is clicked
    ToBar,          // the focused bar's key handler
};

/// Tab and Shift+Tab (or Backtab) without Ctrl move along the chain from any widget, and from no
/// widget. A push button (not a default button, in a plain window) clicks on Space with any
/// modifiers, moves on with Right or Down and back with Left or Up, with any modifiers, and does
/// nothing with other keys. A bar gets every other key. Keys are Qt's key codes.
inline KeyRoute RouteKey(std::optional<FocusWidget> focus, int key,
                         Qt::KeyboardModifiers modifiers) {
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !(modifiers & Qt::ControlModifier))
        return key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier) ? KeyRoute::FocusPrevious
                                                                         : KeyRoute::FocusNext;
    if (!focus) return KeyRoute::Nothing;
    if (focus->kind == FocusWidget::Kind::Bar) return KeyRoute::ToBar;
    switch (key) {
        case Qt::Key_Space:
            return KeyRoute::ClickButton;
        case Qt::Key_Right:
        case Qt::Key_Down:
            return KeyRoute::FocusNext;
        case Qt::Key_Left:
        case Qt::Key_Up:
            return KeyRoute::FocusPrevious;
        default:
            return KeyRoute::Nothing;
    }
}

/// Whether a press at X (in the bar's inner pixels, Y 0) falls inside a bar of the given outer
/// size with a frame of `border` pixels: the point, rounded to whole pixels as the toolkit rounds
/// it (halves up), must lie on the bar for the press to give it the focus.
inline bool PressInsideBar(double x, int border, int width, int height) {
    const double column = std::floor(x + border + 0.5);
    return column >= 0 && column < width && border < height;
}

}  // namespace tarn::platform::memory
