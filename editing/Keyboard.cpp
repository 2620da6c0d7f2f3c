// The keyboard on the day bars: the focus, the cursor, selections made with Shift, and the keys
// that stand for the Enable and Disable buttons; and the time hint at the pointer or the cursor.

#include <algorithm>
#include <utility>

#include "model/DesignData.h"
#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

namespace {

constexpr int kLastBlock = kBlocksPerDay - 1;
/// Ctrl with Left or Right moves an hour.
constexpr int kBlocksPerHour = 4;

bool IsBar(int index) {
    return index >= 0 && index < platform::kDayCount;
}

}  // namespace

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
    if (!IsBar(Index) || !state_.mEnable) return false;
    return Index != 7 || state_.mSpecialDayEnabled;
}

void Schedule::Notify(ViewChange change) {
    if (viewListener_) viewListener_(change);
}

void Schedule::SetViewListener(std::function<void(ViewChange)> listener) {
    viewListener_ = std::move(listener);
}

void Schedule::ShowHint(int row, int first, int last) {
    if (state_.HintRow == row &&
        (row < 0 || (state_.HintFirst == first && state_.HintLast == last)))
        return;
    state_.HintRow = row;
    state_.HintFirst = first;
    state_.HintLast = last;
    Notify(ViewChange::Hint);
}

void Schedule::Schedule_GotFocus(std::int16_t Index) {
    if (!IsBar(Index)) return;
    state_.FocusedBar = Index;
    // Any focus change starts the next Shift selection afresh.
    state_.Anchor = -1;
    state_.CursorShown = std::exchange(showCursorOnFocus_, false);
    Notify(ViewChange::Focus);
    if (state_.CursorShown) ShowHint(Index, state_.CursorBlock, state_.CursorBlock);
}

void Schedule::Schedule_LostFocus(std::int16_t Index) {
    if (!IsBar(Index) || state_.FocusedBar != Index) return;
    state_.FocusedBar = -1;
    state_.Anchor = -1;
    state_.CursorShown = false;
    Notify(ViewChange::Focus);
}

KeyOutcome Schedule::Schedule_KeyDown(std::int16_t Index, Key KeyCode, std::int16_t Shift) {
    if (!BarTakesFocus(Index) || state_.Selecting) return KeyOutcome::Ignored;
    const bool shift = (Shift & kShiftMask) != 0;
    const bool ctrl = (Shift & kCtrlMask) != 0;
    const int cursor = state_.CursorBlock;
    int target = cursor;
    switch (KeyCode) {
        case Key::Left:
            target = cursor - (ctrl ? kBlocksPerHour : 1);
            break;
        case Key::Right:
            target = cursor + (ctrl ? kBlocksPerHour : 1);
            break;
        case Key::Home:
            target = 0;
            break;
        case Key::End:
            target = kLastBlock;
            break;
        case Key::Up:
        case Key::Down: {
            state_.Anchor = -1;
            state_.CursorShown = true;
            const bool up = KeyCode == Key::Up;
            const int neighbour = Index + (up ? -1 : 1);
            if (!BarTakesFocus(neighbour)) return KeyOutcome::Handled;
            showCursorOnFocus_ = true;
            return up ? KeyOutcome::FocusBarAbove : KeyOutcome::FocusBarBelow;
        }
        case Key::Return:
        case Key::Enter:
        case Key::Delete:
        case Key::Backspace:
            // The very handlers of the two buttons, with their rules, messages and event.
            state_.Anchor = -1;
            state_.CursorShown = true;
            if (KeyCode == Key::Return || KeyCode == Key::Enter)
                cmdEnable_Click();
            else
                cmdDisable_Click();
            return KeyOutcome::Handled;
        case Key::Escape:
            DiscardSelection();
            state_.CursorShown = true;
            Notify(ViewChange::Cursor);
            return KeyOutcome::Handled;
        case Key::A:
            if (!ctrl) return KeyOutcome::Ignored;
            state_.Anchor = -1;
            state_.CursorShown = true;
            cmdDay_Click(Index);
            ShowHint(Index, 0, kLastBlock);
            Notify(ViewChange::Cursor);
            return KeyOutcome::Handled;
        case Key::Space:
        case Key::Tab:
            return KeyOutcome::Ignored;
    }
    target = std::clamp(target, 0, kLastBlock);
    state_.CursorShown = true;
    if (!shift) {
        // A plain movement moves the cursor only.
        state_.Anchor = -1;
        state_.CursorBlock = target;
        Notify(ViewChange::Cursor);
        ShowHint(Index, target, target);
        return KeyOutcome::Handled;
    }
    if (state_.Anchor < 0) {
        // The first Shift movement acts as a press at the anchor block: one full redraw, and a
        // new selection on this row.
        state_.Anchor = cursor;
        Silently([&] { DrawSchedule(); });
        for (int b = 0; b < kBlocksPerDay; ++b)
            state_.SelectionBlocks[b] = false;
        state_.SelectionDay = Index;
        state_.LastMarkedBlock = -1;
    }
    state_.CursorBlock = target;
    state_.CurrentDay = Index;
    const int first = std::min(state_.Anchor, target);
    const int last = std::max(state_.Anchor, target);
    Silently([&] { MarkSelection(MarkKind::Run, 0.0f, first, last, true); });
    Notify(ViewChange::Cursor);
    ShowHint(Index, first, last);
    return KeyOutcome::Handled;
}

void Schedule::DiscardSelection() {
    state_.Anchor = -1;
    ShowHint(-1, 0, 0);
    const int day = state_.SelectionDay;
    if (day >= 0) {
        // The marks are wiped on the selection's own row; nothing is applied or redrawn in full.
        state_.CurrentDay = static_cast<std::int16_t>(day);
        Silently([&] { MarkSelection(MarkKind::Run, 0.0f, -1, -1, true); });
    }
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = false;
    state_.SelectionDay = -1;
    state_.LastMarkedBlock = -1;
}

void Schedule::Schedule_MouseLeave() {
    ShowHint(-1, 0, 0);
}

int Schedule::FocusedBar() const {
    return state_.FocusedBar;
}

int Schedule::CursorBlock() const {
    return state_.CursorBlock;
}

bool Schedule::CursorShown() const {
    return state_.FocusedBar >= 0 && state_.CursorShown;
}

std::string Schedule::HintText() const {
    if (state_.HintRow < 0) return {};
    return BarName(state_.HintRow) + " " +
           FormatRange(TimeRange{state_.HintFirst, state_.HintLast + 1});
}

std::string Schedule::BarName(int Index) const {
    if (!IsBar(Index)) return {};
    if (Index == 7) return state_.mSpecialDayCaption;
    return std::string(design::kDayWords[static_cast<std::size_t>(Index)]);
}

std::string Schedule::BarDescription(int Index) const {
    if (!IsBar(Index)) return {};
    std::string text;
    const DayRanges day = ReadDay(Index);
    for (const TimeRange& range : day.Ranges()) {
        if (!text.empty()) text += ", ";
        text += FormatRange(range);
    }
    return text.empty() ? "none" : text;
}

void Schedule::SetTheme(const render::Theme& theme) {
    theme_ = theme;
}

const render::Theme& Schedule::CurrentTheme() const {
    return theme_;
}

}  // namespace tarn
