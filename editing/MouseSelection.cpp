// The mouse selection on a day bar: a press starts it on the block under the pointer, moves with
// the left button held extend it, the release checks that it is one unbroken run.

#include <algorithm>

#include "model/ErrorStyles.h"
#include "model/Schedule.h"
#include "render/BlockGeometry.h"
#include "render/ScopedPens.h"

namespace tarn {

namespace {

constexpr std::int16_t kLeftButton = 1;

bool IsDayIndex(std::int16_t index) {
    return index >= 0 && index <= 7;
}

}  // namespace

void Schedule::Schedule_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                  float X, float Y) {
    if (IsDayIndex(Index)) state_.Anchor = -1;
    if (!state_.mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    Silently([&] { DrawSchedule(); });
    state_.CurrentDay = Index;
    if (state_.CurrentDay == 7 && !state_.mSpecialDayEnabled) return;
    state_.Selecting = true;
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = false;
    // The selection belongs to this row, whatever row a later redraw leaves current.
    state_.SelectionDay = Index;
    state_.LastMarkedBlock = -1;
    Silently([&] { UpdateScheduleSelection(X, Y, true, true); });
    // The keyboard cursor goes to the pressed block, hidden until a key is used.
    state_.CursorShown = false;
    if (state_.LastMarkedBlock >= 0) {
        state_.CursorBlock = state_.LastMarkedBlock;
        ShowHint(Index, state_.LastMarkedBlock, state_.LastMarkedBlock);
    }
    Notify(ViewChange::Cursor);
}

void Schedule::Schedule_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                  float X, float Y) {
    if (Button == 0 && IsDayIndex(Index)) {
        // Hovering: the hint shows the block under the pointer.
        int hit = -1;
        Silently([&] { hit = render::BlockUnder(platform_.DayBar(Index).ScaleWidth(), X); });
        ShowHint(hit >= 0 ? Index : -1, hit, hit);
        return;
    }
    if (!state_.mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    state_.CurrentDay = Index;
    // A move over another bar than the selection's carries coordinates of that bar: it marks
    // nothing, so the marks always show what Enable and Disable will apply.
    if (state_.Selecting && Index == state_.SelectionDay) {
        Silently([&] { UpdateScheduleSelection(X, Y, false, true, true); });
        // The hint shows the run from the first block marked to the last.
        int first = -1;
        int last = -1;
        for (int b = 0; b < kBlocksPerDay; ++b) {
            if (!state_.SelectionBlocks[b]) continue;
            if (first < 0) first = b;
            last = b;
        }
        if (first >= 0) ShowHint(Index, first, last);
    }
}

void Schedule::Schedule_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/,
                                float /*X*/, float /*Y*/) {
    ShowHint(-1, 0, 0);
    if (!state_.mEnable || Button != kLeftButton || !IsDayIndex(Index)) return;
    state_.CurrentDay = Index;
    state_.Selecting = false;
    state_.LastMarkedBlock = -1;
    if (ValidateSelection()) return;
    // A selection in pieces is discarded: its marks are wiped from the bar it was made on and
    // its flags cleared, so that Enable and Disable never apply blocks the user cannot see.
    if (state_.SelectionDay >= 0) state_.CurrentDay = state_.SelectionDay;
    Silently([&] { DrawScheduleBackground(); });
    Silently([&] { UpdateScheduleBar(); });
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = false;
    state_.SelectionDay = -1;
    Silently([&] { platform_.Host().Sleep(100); });
}

void Schedule::UpdateScheduleSelection(float X, float /*Y*/, bool EraseOthers, bool AtPointer,
                                       bool ExtendRun) {
    MarkSelection(
        AtPointer ? (ExtendRun ? MarkKind::PointerRun : MarkKind::Pointer) : MarkKind::WholeDay, X,
        -1, -1, EraseOthers);
}

void Schedule::MarkSelection(MarkKind kind, float X, int runFirst, int runLast, bool EraseOthers) {
    const bool AtPointer = kind == MarkKind::Pointer || kind == MarkKind::PointerRun;
    const bool ExtendRun = kind == MarkKind::PointerRun;
    Reporting(
        [&] {
            platform::Gdi& gdi = platform_.Drawing();
            platform::PictureBox& bar = platform_.DayBar(state_.CurrentDay);
            const double W = bar.ScaleWidth();
            const double H = bar.ScaleHeight();
            const double w = W / 96.0;
            const double h = H / 3.0;
            double x = 0.0;

            // The blocks drawn selected in pointer mode: the block hit, or in a drag the run
            // from the block marked last to it, so that a fast drag leaves no gaps.
            int first = -1;
            int last = -1;
            if (AtPointer) {
                const int hit = render::BlockUnder(W, X);
                if (hit >= 0) {
                    first = last = hit;
                    if (ExtendRun && state_.LastMarkedBlock >= 0) {
                        first = std::min<int>(hit, state_.LastMarkedBlock);
                        last = std::max<int>(hit, state_.LastMarkedBlock);
                    }
                    for (int b = first; b <= last; ++b)
                        state_.SelectionBlocks[b] = true;
                    state_.LastMarkedBlock = static_cast<std::int16_t>(hit);
                }
            } else if (kind == MarkKind::WholeDay) {
                for (int b = 0; b < kBlocksPerDay; ++b)
                    state_.SelectionBlocks[b] = true;
            } else {
                // Exactly the run given (none when runFirst is -1): a keyboard selection, or its
                // discarding.
                for (int b = 0; b < kBlocksPerDay; ++b)
                    state_.SelectionBlocks[b] = runFirst >= 0 && runFirst <= b && b <= runLast;
            }

            render::ScopedPens pens(gdi);
            const auto topBlack = pens.Make(theme_.selectionMark);
            const auto topWhite = pens.Make(theme_.bandBackground);
            const auto bottomBlack = pens.Make(theme_.selectionMark);
            const auto bottomWhite = pens.Make(theme_.bandBackground);

            for (int b = 0; b < kBlocksPerDay; ++b) {
                const bool drawSelected =
                    AtPointer ? (first <= b && b <= last && first >= 0) : state_.SelectionBlocks[b];
                if (drawSelected || EraseOthers) {
                    platform::DeviceContext& dc = bar.hDC();
                    render::FillWithPen(gdi, dc, render::BlockRect(x, w, h, render::kTopBand),
                                        drawSelected ? topBlack : topWhite);
                    render::FillWithPen(gdi, dc, render::BlockRect(x, w, h, render::kBottomBand),
                                        drawSelected ? bottomBlack : bottomWhite);
                }
                x += w;
            }
            pens.DeleteAll();
            DrawTickmarks();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule selection with error: ", error);
        });
}

}  // namespace tarn
