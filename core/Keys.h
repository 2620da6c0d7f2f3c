// The keys a day bar answers to, the modifier bits that come with them, and what a key asks of the
// frontend that the control cannot do itself (moving the focus to another bar).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarn {

enum class Key {
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Return,
    Enter,
    Space,
    Delete,
    Backspace,
    Escape,
    Tab,
    A
};

/// Modifier bits, the same as a mouse event's Shift argument.
inline constexpr std::int16_t kShiftMask = 1;
inline constexpr std::int16_t kCtrlMask = 2;

enum class KeyOutcome {
    /// The bar does nothing with the key; the frontend may pass it on.
    Ignored,
    /// The control handled the key.
    Handled,
    /// The focus should move to the bar above, or below, keeping the cursor block, when that bar
    /// can take it.
    FocusBarAbove,
    FocusBarBelow,
};

/// The bar a key's outcome on bar moves the focus to, -1 when the focus stays: the control asks
/// for a neighbour only when that one may take the focus.
constexpr int FocusTargetOf(int bar, KeyOutcome outcome) {
    if (outcome == KeyOutcome::FocusBarAbove) return bar - 1;
    if (outcome == KeyOutcome::FocusBarBelow) return bar + 1;
    return -1;
}

/// "Left" ... "A" to the key; nothing for another name.
std::optional<Key> FindKey(std::string_view name);

}  // namespace tarn
