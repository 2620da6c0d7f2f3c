// Qt's input in the control's codes: a bar's mouse event carries the button (1 left, 2 right,
// 4 middle; for a move, the set of buttons held), the modifier keys (1 Shift, 2 Ctrl, 4 Alt) and
// the position in the bar's inner pixels, as a floating-point value; a key becomes one of the bars'
// keys with the Shift and Control bits.
#pragma once

#include <QMouseEvent>
#include <cstdint>
#include <optional>

#include "core/Keys.h"

namespace tarn::qt {

struct MouseCodes {
    std::int16_t button = 0;
    std::int16_t shift = 0;
    float x = 0.0f;
    float y = 0.0f;
};

/// The control's codes of the buttons and modifier keys, bit by bit.
inline constexpr struct {
    Qt::MouseButton button;
    std::int16_t code;
} kButtonCodes[] = {{Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
inline constexpr struct {
    Qt::KeyboardModifier modifier;
    std::int16_t code;
} kShiftCodes[] = {{Qt::ShiftModifier, 1}, {Qt::ControlModifier, 2}, {Qt::AltModifier, 4}};

/// Button codes of a set of Qt buttons; buttons the control has no code for add nothing.
constexpr std::int16_t ButtonCodes(Qt::MouseButtons buttons) {
    std::int16_t codes = 0;
    for (const auto& entry : kButtonCodes)
        if (buttons & entry.button) codes |= entry.code;
    return codes;
}

/// Shift codes of a set of keyboard modifiers.
constexpr std::int16_t ShiftCodes(Qt::KeyboardModifiers modifiers) {
    std::int16_t codes = 0;
    for (const auto& entry : kShiftCodes)
        if (modifiers & entry.modifier) codes |= entry.code;
    return codes;
}

/// The codes of the pointer at `at` on a bar whose frame is `frame` pixels wide on each side, with
/// buttons (the one pressed or released, or those held during a move) and modifiers.
inline MouseCodes MouseCodesOf(QPointF at, Qt::MouseButtons buttons,
                               Qt::KeyboardModifiers modifiers, int frame) {
    MouseCodes codes;
    codes.button = ButtonCodes(buttons);
    codes.shift = ShiftCodes(modifiers);
    codes.x = static_cast<float>(at.x() - frame);
    codes.y = static_cast<float>(at.y() - frame);
    return codes;
}

/// The codes of a mouse event on a bar whose frame is `frame` pixels wide on each side.
inline MouseCodes MouseCodesOf(const QMouseEvent& event, int frame) {
    return MouseCodesOf(
        event.position(),
        event.type() == QEvent::MouseMove ? event.buttons() : Qt::MouseButtons(event.button()),
        event.modifiers(), frame);
}

/// Qt buttons for a set of button codes, the inverse of ButtonCodes.
constexpr Qt::MouseButtons ButtonsOfCodes(int codes) {
    Qt::MouseButtons buttons;
    for (const auto& entry : kButtonCodes)
        if (codes & entry.code) buttons |= entry.button;
    return buttons;
}

/// Qt modifiers for a set of shift codes, the inverse of ShiftCodes.
constexpr Qt::KeyboardModifiers ModifiersOfCodes(int codes) {
    Qt::KeyboardModifiers modifiers;
    for (const auto& entry : kShiftCodes)
        if (codes & entry.code) modifiers |= entry.modifier;
    return modifiers;
}

/// The bar key a Qt key stands for; nothing for keys the bars do not use, Tab and Backtab among
/// them, which move the focus through the frontend's focus chain.
std::optional<Key> BarKeyOf(int qtKey);
/// The Qt key of a bar key, and of Tab; the inverse of BarKeyOf.
Qt::Key QtKeyOf(Key key);
/// Shift and Control as kShiftMask and kCtrlMask.
std::int16_t ModifierBitsOf(Qt::KeyboardModifiers modifiers);

}  // namespace tarn::qt
