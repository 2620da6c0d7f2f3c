#include "controller/InputCodes.h"

namespace tarn::qt {

std::optional<Key> BarKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Home:
            return Key::Home;
        case Qt::Key_End:
            return Key::End;
        case Qt::Key_Return:
            return Key::Return;
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Space:
            return Key::Space;
        case Qt::Key_Delete:
            return Key::Delete;
        case Qt::Key_Backspace:
            return Key::Backspace;
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_A:
            return Key::A;
        default:
            return std::nullopt;
    }
}

std::int16_t ModifierBitsOf(Qt::KeyboardModifiers modifiers) {
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= kShiftMask;
    if (modifiers & Qt::ControlModifier) bits |= kCtrlMask;
    return bits;
}

}  // namespace tarn::qt
