// The codes a bar's mouse event carries to the control: the button (1 left, 2 right, 4 middle;
// for a move, the set of buttons held), the modifier keys (1 Shift, 2 Ctrl, 4 Alt) and the position
// in the bar's inner pixels, as a floating-point value.
#pragma once

#include <QMouseEvent>
#include <cstdint>

namespace tarn::qt {

struct MouseCodes {
    std::int16_t button = 0;
    std::int16_t shift = 0;
    float x = 0.0f;
    float y = 0.0f;
};

/// Button codes of a set of Qt buttons; buttons the control has no code for add nothing.
constexpr std::int16_t ButtonCodes(Qt::MouseButtons buttons) {
    std::int16_t codes = 0;
    if (buttons & Qt::LeftButton) codes |= 1;
    if (buttons & Qt::RightButton) codes |= 2;
    if (buttons & Qt::MiddleButton) codes |= 4;
    return codes;
}

/// Shift codes of a set of keyboard modifiers.
constexpr std::int16_t ShiftCodes(Qt::KeyboardModifiers modifiers) {
    std::int16_t codes = 0;
    if (modifiers & Qt::ShiftModifier) codes |= 1;
    if (modifiers & Qt::ControlModifier) codes |= 2;
    if (modifiers & Qt::AltModifier) codes |= 4;
    return codes;
}

/// The codes of a mouse event on a bar whose frame is `frame` pixels wide on each side.
inline MouseCodes MouseCodesOf(const QMouseEvent& event, int frame) {
    MouseCodes codes;
    codes.button = event.type() == QEvent::MouseMove ? ButtonCodes(event.buttons())
                                                     : ButtonCodes(event.button());
    codes.shift = ShiftCodes(event.modifiers());
    codes.x = static_cast<float>(event.position().x() - frame);
    codes.y = static_cast<float>(event.position().y() - frame);
    return codes;
}

/// Qt buttons for a set of button codes, the inverse of ButtonCodes.
constexpr Qt::MouseButtons ButtonsOfCodes(int codes) {
    Qt::MouseButtons buttons;
    if (codes & 1) buttons |= Qt::LeftButton;
    if (codes & 2) buttons |= Qt::RightButton;
    if (codes & 4) buttons |= Qt::MiddleButton;
    return buttons;
}

/// Qt modifiers for a set of shift codes, the inverse of ShiftCodes.
constexpr Qt::KeyboardModifiers ModifiersOfCodes(int codes) {
    Qt::KeyboardModifiers modifiers;
    if (codes & 1) modifiers |= Qt::ShiftModifier;
    if (codes & 2) modifiers |= Qt::ControlModifier;
    if (codes & 4) modifiers |= Qt::AltModifier;
    return modifiers;
}

}  // namespace tarn::qt
