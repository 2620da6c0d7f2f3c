// The bar painter: draws one day bar (its bands, block states, selection marks and tick marks) in
// the device pixels of the bar's context, and the time labels above the first bar in logical
// pixels, from values it is given, through the drawing layer.
// It keeps no state. It looks the bar and its size up itself, in a fixed order, and every
// drawing object it makes is deleted before it returns, also when a drawing call throws.
#pragma once

#include <array>
#include <exception>
#include <functional>

#include "platform/Platform.h"
#include "render/BlockGeometry.h"
#include "render/Theme.h"

namespace tarn::render {

/// A day's block states: block 0 to 95 enabled or not (96 is spare and never drawn).
using BlockRow = std::array<bool, 97>;

/// The empty grid of bar row: top and bottom bands in the band colour, the middle band
/// disabled.
void PaintGrid(platform::Platform& platform, int row, const Theme& theme);

/// Block states of every row of a control (the ninth row is spare).
using BlockTable = std::array<BlockRow, 9>;

/// The middle band of bar row from its block states; ticks() draws the tick marks, before the
/// band's pens are deleted.
void PaintStates(platform::Platform& platform, int row, const BlockTable& enabled,
                 const Theme& theme, const std::function<void()>& ticks);

/// Which blocks PaintMarks draws as selected, decided once the bar's inner width is known.
using MarkedBlocks = std::function<bool(int block)>;

/// The selection marks of bar row: the blocks that choose(innerWidth) returns are drawn
/// selected in both outer bands; with eraseOthers every other block is drawn not selected. Then
/// ticks() draws the tick marks.
void PaintMarks(platform::Platform& platform, int row, const Theme& theme, bool eraseOthers,
                const std::function<MarkedBlocks(double innerWidth)>& choose,
                const std::function<void()>& ticks);

/// One level of tick marks on bar row, through gdi: every quarter hour a third of the height,
/// every half hour two thirds, every hour the full height. A drawing error goes to failed, and
/// then the level's pen is deleted; returns false then.
bool PaintTickLevel(platform::Gdi& gdi, platform::Platform& platform, int row, TickLevel level,
                    const Theme& theme, const std::function<void(const std::exception&)>& failed);

/// Clears the control's surface and writes the hour numbers (12-hour clock, every two hours)
/// above the first bar, placed from its geometry and the layout ratios.
void WriteHourLabels(platform::Platform& platform, double widthRatio, double heightRatio);
/// Writes AM, PM, AM above the first bar.
void WritePeriodLabels(platform::Platform& platform, double widthRatio, double heightRatio);

}  // namespace tarn::render
