// The bar painter's drawing: band fills along the bar's block edges, one fill per run of blocks
// alike, tick marks at their rounded columns, all in the bar's device pixels, and the labels
// written on the control's surface in logical pixels.

#include "render/BarPainter.h"

#include <array>
#include <string>

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "render/BlockGeometry.h"
#include "render/ScopedPens.h"

namespace tarn::render {

namespace {

/// The geometry of bar at its device context's ratio. The bar is looked up in a fixed order: its
/// size first, then its device context.
struct BarAt {
    explicit BarAt(platform::PictureBox& bar, BarGeometry::Parts parts = BarGeometry::Parts::All)
        : width(bar.ScaleWidth()),
          height(bar.ScaleHeight()),
          dc(bar.hDC()),
          geometry(width, height, dc.PixelRatio(), parts) {}
    double width;
    double height;
    platform::DeviceContext& dc;
    BarGeometry geometry;
};

/// Fills band of the blocks from 0 to 95 for which penOf gives a pen, one fill per run of
/// neighbouring blocks with the same pen: the pixels are those of a fill per block.
template <typename PenOf>
void FillRuns(platform::Gdi& gdi, const BarAt& bar, int band, PenOf penOf) {
    int first = 0;
    platform::GdiObject pen = penOf(0);
    for (int block = 1; block <= kBlocks; ++block) {
        const platform::GdiObject next = block < kBlocks ? penOf(block) : 0;
        if (block < kBlocks && next == pen) continue;
        if (pen != 0) FillWithPen(gdi, bar.dc, bar.geometry.Rect(first, block - 1, band), pen);
        first = block;
        pen = next;
    }
}

void WriteLabel(platform::Gdi& gdi, platform::ControlSurface& surface, double x, double y,
                const std::string& text) {
    gdi.TextOutA(surface.hDC(), RoundToInt32(x), RoundToInt32(y), text.c_str(),
                 static_cast<int>(text.size()));
}

}  // namespace

void PaintGrid(platform::Platform& platform, int row, const Theme& theme) {
    platform::Gdi& gdi = platform.Drawing();
    ScopedPens pens(gdi);
    const platform::GdiObject bandPens[kBands] = {
        pens.Make(theme.bandBackground),
        pens.Make(theme.disabledBlock),
        pens.Make(theme.bandBackground),
    };
    const BarAt bar(platform.DayBar(row));
    for (int band = 0; band < kBands; ++band)
        FillRuns(gdi, bar, band, [&](int) { return bandPens[band]; });
    pens.DeleteAll();
}

void PaintStates(platform::Platform& platform, int row, const BlockTable& table, const Theme& theme,
                 const std::function<void()>& ticks) {
    platform::Gdi& gdi = platform.Drawing();
    const BarAt bar(platform.DayBar(row));
    ScopedPens pens(gdi);
    const auto enabledPen = pens.Make(theme.enabledBlock);
    const auto disabledPen = pens.Make(theme.disabledBlock);
    const BlockRow& enabled = table.at(static_cast<std::size_t>(row));
    FillRuns(gdi, bar, kMiddleBand,
             [&](int block) { return enabled[block] ? enabledPen : disabledPen; });
    ticks();
    pens.DeleteAll();
}

void PaintMarks(platform::Platform& platform, int row, const Theme& theme, bool eraseOthers,
                const std::function<MarkedBlocks(double innerWidth)>& choose,
                const std::function<void()>& ticks) {
    platform::Gdi& gdi = platform.Drawing();
    const BarAt bar(platform.DayBar(row));
    const MarkedBlocks selected = choose(bar.width);

    ScopedPens pens(gdi);
    const auto topMark = pens.Make(theme.selectionMark);
    const auto topClear = pens.Make(theme.bandBackground);
    const auto bottomMark = pens.Make(theme.selectionMark);
    const auto bottomClear = pens.Make(theme.bandBackground);
    std::array<bool, kBlocks> marked{};
    for (int block = 0; block < kBlocks; ++block)
        marked[block] = selected(block);
    const auto penOf = [&](platform::GdiObject mark, platform::GdiObject clear) {
        return [&marked, mark, clear, eraseOthers](int block) -> platform::GdiObject {
            return marked[block] ? mark : eraseOthers ? clear : 0;
        };
    };
    FillRuns(gdi, bar, kTopBand, penOf(topMark, topClear));
    FillRuns(gdi, bar, kBottomBand, penOf(bottomMark, bottomClear));
    pens.DeleteAll();
    ticks();
}

bool PaintTickLevel(platform::Gdi& gdi, platform::Platform& platform, int row, TickLevel level,
                    const Theme& theme, const std::function<void(const std::exception&)>& failed) {
    platform::GdiObject pen = 0;
    bool penDeleted = false;
    const bool drawn = Reporting(
        [&] {
            const BarAt bar(platform.DayBar(row), BarGeometry::Parts::TicksOnly);
            pen = gdi.CreatePen(0, 1, theme.tickMark);
            const platform::GdiObject previous = gdi.SelectObject(bar.dc, pen);
            const std::int32_t markLength = bar.geometry.TickLength(level);
            bar.geometry.ForEachTick(level, [&](std::int32_t x) {
                gdi.MoveToEx(bar.dc, x, 0, nullptr);
                gdi.LineTo(bar.dc, x, markLength);
            });
            if (previous != 0) gdi.SelectObject(bar.dc, previous);
            gdi.DeleteObject(pen);
            penDeleted = true;
        },
        failed);
    // An error part way leaves the pen made; release it once the error is reported, so that no
    // drawing object outlives the call.
    if (!drawn && pen != 0 && !penDeleted) Silently([&] { gdi.DeleteObject(pen); });
    return drawn;
}

void WriteHourLabels(platform::Platform& platform, double widthRatio, double heightRatio) {
    platform::ControlSurface& surface = platform.Surface();
    platform::Gdi& gdi = platform.Drawing();
    surface.Clear();
    platform::PictureBox& bar = platform.DayBar(0);
    const double top0 = bar.Top();
    const double left0 = bar.Left();
    const double y = top0 - 15 * heightRatio;
    double xBase = left0 - 4 * widthRatio;
    const double step = static_cast<double>(bar.ScaleWidth()) / 24.0;
    for (int hour = 0; hour <= 24; hour += 2) {
        std::string text;
        if (hour == 0 || hour == 12) {
            text = "12";
        } else if (hour <= 10) {
            text = std::to_string(hour);
        } else {
            // The last "12" would hang past the bar's end: it is pulled 8 pixels left.
            if (hour == 24) xBase -= 8;
            text = std::to_string(hour - 12);
        }
        WriteLabel(gdi, surface, hour * step + xBase, y, text);
    }
}

void WritePeriodLabels(platform::Platform& platform, double widthRatio, double heightRatio) {
    platform::ControlSurface& surface = platform.Surface();
    platform::Gdi& gdi = platform.Drawing();
    platform::PictureBox& bar = platform.DayBar(0);
    const double top0 = bar.Top();
    const double left0 = bar.Left();
    const double y = top0 - 25 * heightRatio;
    WriteLabel(gdi, surface, left0 - 4 * widthRatio, y, "AM");
    const double scaleWidth0 = bar.ScaleWidth();
    WriteLabel(gdi, surface, scaleWidth0 / 2 + left0 - 3, y, "PM");
    const double width0 = bar.Width();
    WriteLabel(gdi, surface, width0 - 12 + left0, y, "AM");
}

}  // namespace tarn::render
