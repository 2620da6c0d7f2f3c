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

Qt::Key QtKeyOf(Key key) {
    switch (key) {
        case Key::Left:
            return Qt::Key_Left;
        case Key::Right:
            return Qt::Key_Right;
        case Key::Up:
            return Qt::Key_Up;
        case Key::Down:
            return Qt::Key_Down;
        case Key::Home:
            return Qt::Key_Home;
        case Key::End:
            return Qt::Key_End;
        case Key::Return:
            return Qt::Key_Return;
        case Key::Enter:
            return Qt::Key_Enter;
        case Key::Space:
            return Qt::Key_Space;
        case Key::Delete:
            return Qt::Key_Delete;
        case Key::Backspace:
            return Qt::Key_Backspace;
        case Key::Escape:
            return Qt::Key_Escape;
        case Key::Tab:
            return Qt::Key_Tab;
        case Key::A:
            return Qt::Key_A;
    }
    return Qt::Key_unknown;
}

std::int16_t ModifierBitsOf(Qt::KeyboardModifiers modifiers) {
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= kShiftMask;
    if (modifiers & Qt::ControlModifier) bits |= kCtrlMask;
    return bits;
}

}  // namespace tarn::qt
