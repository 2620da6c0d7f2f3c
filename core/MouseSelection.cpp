// The mouse selection on a day bar: a press starts it on the block under the pointer, moves with
// the left button held extend it, the release checks that it is one unbroken run. Hovering with
// no button held shows the time under the pointer.

#include "model/ErrorStyles.h"
#include "core/Schedule.h"
#include "render/BlockGeometry.h"

namespace tarn {

namespace {

constexpr std::int16_t kLeftButton = 1;

bool IsDayIndex(std::int16_t index) {
    return index >= 0 && index <= 7;
}

}  // namespace

void Schedule::Schedule_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                  float X, float Y) {
    if (IsDayIndex(Index)) model_.SetAnchor(-1);
    if (!model_.State().mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    Silently([&] { DrawSchedule(); });
    model_.SetCurrentRow(Index);
    if (Index == 7 && !model_.State().mSpecialDayEnabled) return;
    model_.BeginSelection(Index, true);
    Silently([&] { UpdateScheduleSelection(Index, X, Y, true, true); });
    // The keyboard cursor goes to the pressed block; a focused bar goes on showing it.
    const int pressed = model_.State().LastMarkedBlock;
    model_.SetCursor(pressed >= 0 ? pressed : model_.State().CursorBlock,
                     model_.State().CursorShown);
    if (pressed >= 0) model_.SetHint(Index, pressed, pressed);
}

void Schedule::Schedule_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                  float X, float Y) {
    if (Button == 0 && IsDayIndex(Index)) {
        int hit = -1;
        Silently([&] { hit = render::BlockUnder(platform_.DayBar(Index).ScaleWidth(), X); });
        model_.SetHint(hit >= 0 ? Index : -1, hit, hit);
        return;
    }
    if (!model_.State().mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    model_.SetCurrentRow(Index);
    // A move over another bar than the selection's carries coordinates of that bar: it marks
    // nothing, so the marks always show what Enable and Disable will apply.
    if (!model_.State().Selecting || Index != model_.State().SelectionDay) return;
    Silently([&] { UpdateScheduleSelection(Index, X, Y, false, true, true); });
    if (const auto span = model_.SelectedSpan()) model_.SetHint(Index, span->first, span->second);
}

void Schedule::Schedule_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                float /*X*/, float /*Y*/) {
    model_.SetHint(-1, 0, 0);
    if (!model_.State().mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    model_.SetCurrentRow(Index);
    model_.EndDrag();
    if (ValidateSelection()) return;
    // A selection in pieces is discarded: its marks are wiped from the bar it was made on and
    // its flags cleared, so that Enable and Disable never apply blocks the user cannot see.
    if (model_.State().SelectionDay >= 0) model_.SetCurrentRow(model_.State().SelectionDay);
    const int row = model_.CurrentRow();
    Silently([&] { DrawScheduleBackground(row); });
    Silently([&] { UpdateScheduleBar(row); });
    model_.DropSelection();
    Silently([&] { platform_.Host().Sleep(100); });
}

void Schedule::UpdateScheduleSelection(int row, float X, float /*Y*/, bool EraseOthers,
                                       bool AtPointer, bool ExtendRun) {
    MarkSelection(
        row,
        AtPointer ? (ExtendRun ? MarkKind::PointerRun : MarkKind::Pointer) : MarkKind::WholeDay, X,
        -1, -1, EraseOthers);
}

void Schedule::MarkSelection(int row, MarkKind kind, float X, int runFirst, int runLast,
                             bool EraseOthers) {
    Reporting(
        [&] {
            render::PaintMarks(
                platform_, row, theme_, EraseOthers,
                [&](double innerWidth) -> render::MarkedBlocks {
                    const auto& selected = model_.State().SelectionBlocks;
                    switch (kind) {
                        case MarkKind::Pointer:
                        case MarkKind::PointerRun: {
                            // The block hit, or in a drag the run from the block marked last
                            // (a pointer past an end of the bar standing for the block there).
                            const int hit = kind == MarkKind::PointerRun
                                                ? render::BlockUnderInDrag(innerWidth, X)
                                                : render::BlockUnder(innerWidth, X);
                            if (hit < 0) return [](int) { return false; };
                            const std::pair<int, int> run =
                                model_.MarkAtPointer(hit, kind == MarkKind::PointerRun);
                            return [run](int b) { return run.first <= b && b <= run.second; };
                        }
                        case MarkKind::WholeDay:
                            model_.SelectWholeDay();
                            break;
                        case MarkKind::Run:
                            model_.SelectExactly(runFirst, runLast);
                            break;
                    }
                    return [&selected](int b) { return selected[b]; };
                },
                [&] { DrawTickmarks(row); });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule selection with error: ", error);
        });
}

}  // namespace tarn
