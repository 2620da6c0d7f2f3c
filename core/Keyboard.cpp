// The keyboard on the day bars: the focus, the cursor, selections made with Shift, and the keys
// that stand for the Enable and Disable buttons; and the time hint at the pointer or the cursor.

#include <algorithm>
#include <utility>

#include "model/ErrorStyles.h"
#include "core/Schedule.h"

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
    return model_.RowTakesFocus(Index);
}

void Schedule::SetViewListener(std::function<void(ViewChange)> listener) {
    viewListener_ = std::move(listener);
}

void Schedule::Schedule_GotFocus(std::int16_t Index) {
    if (!IsBar(Index)) return;
    // Any focus change starts the next Shift selection afresh.
    model_.SetFocusRow(Index);
    // The bar shows that it has the focus at once: its cursor is drawn from now on. The hint shows
    // the cursor's time only when the focus came by Up or Down, from a bar that showed it.
    model_.SetCursor(model_.State().CursorBlock, true);
    if (std::exchange(showCursorOnFocus_, false))
        model_.SetHint(Index, model_.State().CursorBlock, model_.State().CursorBlock);
}

void Schedule::Schedule_LostFocus(std::int16_t Index) {
    if (!IsBar(Index) || model_.State().FocusedBar != Index) return;
    model_.SetFocusRow(-1);
    model_.SetCursor(model_.State().CursorBlock, false);
}

KeyOutcome Schedule::Schedule_KeyDown(std::int16_t Index, Key KeyCode, std::int16_t Shift) {
    if (!BarTakesFocus(Index)) return KeyOutcome::Ignored;
    const int cursor = model_.State().CursorBlock;
    if (KeyCode == Key::Escape && model_.State().Selecting) {
        // Escape ends a drag: its marks go as with any Escape, and with the drag over, the moves
        // and the release still to come select nothing.
        DiscardSelection();
        model_.EndDrag();
        model_.SetCursor(cursor, true);
        return KeyOutcome::Handled;
    }
    // Any other key waits for the drag to end.
    if (model_.State().Selecting) return KeyOutcome::Ignored;
    const bool shift = (Shift & kShiftMask) != 0;
    const bool ctrl = (Shift & kCtrlMask) != 0;
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
            model_.SetAnchor(-1);
            model_.SetCursor(cursor, true);
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
            model_.SetCursor(cursor, true);
            if (KeyCode == Key::Return || KeyCode == Key::Enter)
                cmdEnable_Click();
            else
                cmdDisable_Click();
            return KeyOutcome::Handled;
        case Key::Escape:
            DiscardSelection();
            model_.SetCursor(cursor, true);
            return KeyOutcome::Handled;
        case Key::A:
            if (!ctrl) return KeyOutcome::Ignored;
            model_.SetCursor(cursor, true);
            cmdDay_Click(Index);
            model_.SetHint(Index, 0, kLastBlock);
            return KeyOutcome::Handled;
        case Key::Space:
        case Key::Tab:
            return KeyOutcome::Ignored;
    }
    target = std::clamp(target, 0, kLastBlock);
    if (!shift) {
        // A plain movement moves the cursor only.
        model_.SetAnchor(-1);
        model_.SetCursor(target, true);
        model_.SetHint(Index, target, target);
        return KeyOutcome::Handled;
    }
    if (model_.State().Anchor < 0) {
        // The first Shift movement acts as a press at the anchor block: one full redraw, and a
        // new selection on this row.
        Silently([&] { DrawSchedule(); });
        model_.BeginSelection(Index, false);
        model_.SetAnchor(cursor);
    }
    model_.SetCursor(target, true);
    model_.SetCurrentRow(Index);
    const int anchor = model_.State().Anchor;
    const int first = std::min(anchor, target);
    const int last = std::max(anchor, target);
    Silently([&] { MarkSelection(Index, MarkKind::Run, 0.0f, first, last, true); });
    model_.SetHint(Index, first, last);
    return KeyOutcome::Handled;
}

void Schedule::DiscardSelection() {
    model_.SetAnchor(-1);
    model_.SetHint(-1, 0, 0);
    const int day = model_.State().SelectionDay;
    if (day >= 0) {
        // The marks are wiped on the selection's own row; nothing is applied or redrawn in full.
        model_.SetCurrentRow(day);
        Silently([&] { MarkSelection(day, MarkKind::Run, 0.0f, -1, -1, true); });
    }
    model_.DropSelection();
}

void Schedule::Schedule_MouseLeave() {
    model_.SetHint(-1, 0, 0);
}

int Schedule::FocusedBar() const {
    return model_.State().FocusedBar;
}

int Schedule::CursorBlock() const {
    return model_.State().CursorBlock;
}

bool Schedule::CursorShown() const {
    return model_.State().FocusedBar >= 0 && model_.State().CursorShown;
}

std::string Schedule::HintText() const {
    const ScheduleState& state = model_.State();
    if (state.HintRow < 0) return {};
    return BarName(state.HintRow) + " " +
           FormatRange(TimeRange{state.HintFirst, state.HintLast + 1});
}

std::string Schedule::BarName(int Index) const {
    return model_.RowCaption(Index);
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
