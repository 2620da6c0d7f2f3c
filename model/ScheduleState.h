// Every field of the control, in one record owned by the Schedule object. Tests and hosts read it
// through Schedule::State(); only the control's own operations write it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "TarnSchedule/TimeProperties.h"

namespace tarn {

/// Geometry of a child widget as captured at creation, pixels (16-bit each).
struct oCommandButton {
    std::int16_t Left = 0;
    std::int16_t Top = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
};
using oPictureBox = oCommandButton;

inline constexpr int kBlocksPerDay = 96;

struct ScheduleState {
    /// Blocks marked by the current selection (0 to 95 used).
    std::array<bool, 101> SelectionBlocks{};
    /// The row every row operation works on.
    std::int16_t CurrentDay = 0;
    /// Region table: day 0 to 8, slot 0 to 4, field 0 start / 1 stop / 2 unused.
    std::array<std::array<std::array<std::int16_t, 3>, 5>, 9> ScheduleRegions{};
    /// Per-day block states: day 0 to 8, block 0 to 96 (96 always false).
    std::array<std::array<bool, 97>, 9> BlockEnabled{};
    /// True once a full redraw has run to its end, false while one runs.
    bool ScheduleDrawn = false;
    /// Current size over the size at creation.
    double HeightRatio = 1.0;
    double WidthRatio = 1.0;
    /// Design geometry: 0 to 7 day buttons, 8 Enable, 9 Disable; 0 to 7 bars.
    std::array<oCommandButton, 11> ButtonPositions{};
    std::array<oPictureBox, 9> PictureBoxPositions{};
    double DesignHeight = 0.0;
    double DesignWidth = 0.0;

    bool mEnable = true;
    std::string mSpecialDayCaption = "Special";
    bool mSpecialDayEnabled = true;
    /// Backing of the 64 time properties, in property order.
    std::array<std::int16_t, kTimePropertyCount> TimeValues{};

    /// True from a press that starts a selection until the next handled release.
    bool Selecting = false;
    /// The row the held selection was made on (press or day button); -1 while none is held.
    std::int16_t SelectionDay = -1;
    /// The block marked last in the current drag; -1 when the drag has marked none.
    std::int16_t LastMarkedBlock = -1;

    /// The bar that has the keyboard focus, -1 when none has.
    int FocusedBar = -1;
    /// The keyboard cursor's block (0 to 95), kept across bars.
    int CursorBlock = 0;
    /// Where a selection made with Shift started; -1 until the first Shift movement after any
    /// other action.
    int Anchor = -1;
    /// True while the cursor is shown: from the focus coming to a bar until it leaves.
    bool CursorShown = false;
    /// The blocks the time hint shows, first to last of HintRow; HintRow -1 when it shows none.
    int HintRow = -1;
    int HintFirst = 0;
    int HintLast = 0;
};

}  // namespace tarn
