// The keyboard on the day bars: the cursor, selections made with Shift, and the keys that stand
// for the Enable and Disable buttons; the time hint at the pointer or the cursor.

#include "model/Schedule.h"

namespace tarn {

std::optional<Key> FindKey(std::string_view name) {
    static constexpr std::pair<std::string_view, Key> kNames[] = {{"Left", Key::Left},
                                                                  {"Right", Key::Right},
                                                                  {"Up", Key::Up},
                                                                  {"Down", Key::Down},
                                                                  {"Home", Key::Home},
                                                                  {"End", Key::End},
                                                                  {"Return", Key::Return},
                                                                  {"Enter", Key::Enter},
                                                                  {"Space", Key::Space},
                                                                  {"Delete", Key::Delete},
                                                                  {"Backspace", Key::Backspace},
                                                                  {"Escape", Key::Escape},
                                                                  {"Tab", Key::Tab},
                                                                  {"A", Key::A}};
    for (const auto& [text, key] : kNames)
        if (text == name) return key;
    return std::nullopt;
}

bool Schedule::BarTakesFocus(int Index) const {
    if (Index < 0 || Index > 7 || !state_.mEnable) return false;
    return Index != 7 || state_.mSpecialDayEnabled;
}

void Schedule::Schedule_GotFocus(std::int16_t) {}
void Schedule::Schedule_LostFocus(std::int16_t) {}
KeyOutcome Schedule::Schedule_KeyDown(std::int16_t, Key, std::int16_t) {
    return KeyOutcome::Ignored;
}
void Schedule::Schedule_MouseLeave() {}
int Schedule::FocusedBar() const {
    return -1;
}
int Schedule::CursorBlock() const {
    return 0;
}
bool Schedule::CursorShown() const {
    return false;
}
std::string Schedule::HintText() const {
    return {};
}
std::string Schedule::BarName(int) const {
    return {};
}
std::string Schedule::BarDescription(int) const {
    return "none";
}
void Schedule::SetTheme(const render::Theme&) {}
const render::Theme& Schedule::CurrentTheme() const {
    static const render::Theme classic = render::ClassicTheme();
    return classic;
}
void Schedule::SetViewListener(std::function<void(ViewChange)>) {}

}  // namespace tarn
