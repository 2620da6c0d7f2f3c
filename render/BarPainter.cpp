// The bar painter's drawing: band fills block by block along a left-edge accumulator, tick marks
// at rounded positions, and the labels written on the control's surface.

#include "render/BarPainter.h"

#include <string>

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "render/BlockGeometry.h"
#include "render/ScopedPens.h"

namespace tarn::render {

namespace {

constexpr int kBlocks = 96;

/// The rows of the three bands, rounded once per bar; every block shares them.
struct Bands {
    explicit Bands(double h) {
        for (int band = 0; band < kBands; ++band) {
            top[band] = RoundToInt32(h * band);
            bottom[band] = RoundToInt32(top[band] + h);
        }
    }
    /// The same rectangle as BlockRect(x, w, h, band), with the block's columns given.
    platform::RECT Rect(std::int32_t left, std::int32_t right, int band) const {
        platform::RECT rect;
        rect.Left = left;
        rect.Top = top[band];
        rect.right = right;
        rect.bottom = bottom[band];
        return rect;
    }
    std::int32_t top[kBands];
    std::int32_t bottom[kBands];
};

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
    platform::PictureBox& bar = platform.DayBar(row);
    const double w = bar.ScaleWidth() / 96.0;
    const double h = bar.ScaleHeight() / 3.0;
    double x = 0.0;
    const Bands bands(h);
    for (int b = 0; b < kBlocks; ++b) {
        const std::int32_t left = RoundToInt32(x);
        const std::int32_t right = RoundToInt32(x + w);
        for (int band = 0; band < kBands; ++band)
            FillWithPen(gdi, bar.hDC(), bands.Rect(left, right, band), bandPens[band]);
        x += w;
    }
    pens.DeleteAll();
}

void PaintStates(platform::Platform& platform, int row, const BlockTable& table, const Theme& theme,
                 const std::function<void()>& ticks) {
    platform::Gdi& gdi = platform.Drawing();
    platform::PictureBox& bar = platform.DayBar(row);
    const double w = bar.ScaleWidth() / 96.0;
    const double h = bar.ScaleHeight() / 3.0;
    double x = 0.0;
    ScopedPens pens(gdi);
    const auto enabledPen = pens.Make(theme.enabledBlock);
    const auto disabledPen = pens.Make(theme.disabledBlock);
    const BlockRow& enabled = table.at(static_cast<std::size_t>(row));
    const Bands bands(h);
    for (int b = 0; b < kBlocks; ++b) {
        FillWithPen(gdi, bar.hDC(), bands.Rect(RoundToInt32(x), RoundToInt32(x + w), kMiddleBand),
                    enabled[b] ? enabledPen : disabledPen);
        x += w;
    }
    ticks();
    pens.DeleteAll();
}

void PaintMarks(platform::Platform& platform, int row, const Theme& theme, bool eraseOthers,
                const std::function<MarkedBlocks(double innerWidth)>& choose,
                const std::function<void()>& ticks) {
    platform::Gdi& gdi = platform.Drawing();
    platform::PictureBox& bar = platform.DayBar(row);
    const double W = bar.ScaleWidth();
    const double H = bar.ScaleHeight();
    const double w = W / 96.0;
    const double h = H / 3.0;
    double x = 0.0;
    const MarkedBlocks selected = choose(W);

    ScopedPens pens(gdi);
    const auto topMark = pens.Make(theme.selectionMark);
    const auto topClear = pens.Make(theme.bandBackground);
    const auto bottomMark = pens.Make(theme.selectionMark);
    const auto bottomClear = pens.Make(theme.bandBackground);
    const Bands bands(h);
    for (int b = 0; b < kBlocks; ++b) {
        const bool drawSelected = selected(b);
        if (drawSelected || eraseOthers) {
            platform::DeviceContext& dc = bar.hDC();
            const std::int32_t left = RoundToInt32(x);
            const std::int32_t right = RoundToInt32(x + w);
            FillWithPen(gdi, dc, bands.Rect(left, right, kTopBand),
                        drawSelected ? topMark : topClear);
            FillWithPen(gdi, dc, bands.Rect(left, right, kBottomBand),
                        drawSelected ? bottomMark : bottomClear);
        }
        x += w;
    }
    pens.DeleteAll();
    ticks();
}

bool PaintTickLevel(platform::Gdi& gdi, platform::Platform& platform, int row, TickLevel level,
                    const Theme& theme, const std::function<void(const std::exception&)>& failed) {
    const int intervals = level == TickLevel::Minor          ? 96
                          : level == TickLevel::Intermediate ? 48
                                                             : 24;
    const int lengthThirds = level == TickLevel::Minor          ? 1
                             : level == TickLevel::Intermediate ? 2
                                                                : 3;
    platform::GdiObject pen = 0;
    bool penDeleted = false;
    const bool drawn = Reporting(
        [&] {
            platform::PictureBox& bar = platform.DayBar(row);
            const float scaleHeight = bar.ScaleHeight();
            // Hours run the full height; the other levels a third or two thirds, the third
            // taken first and then doubled.
            const double length =
                lengthThirds == 3 ? scaleHeight : lengthThirds * (scaleHeight / 3.0);
            const float scaleWidth = bar.ScaleWidth();
            const double spacing = scaleWidth / static_cast<double>(intervals);
            pen = gdi.CreatePen(0, 1, theme.tickMark);
            const platform::GdiObject previous = gdi.SelectObject(bar.hDC(), pen);
            const std::int32_t markLength = RoundToInt32(length);
            for (int i = 0; i <= intervals; ++i) {
                const std::int32_t x = RoundToInt32(i * spacing);
                platform::POINTAPI previousPosition;
                gdi.MoveToEx(bar.hDC(), x, 0, &previousPosition);
                gdi.LineTo(bar.hDC(), x, markLength);
            }
            if (previous != 0) gdi.SelectObject(bar.hDC(), previous);
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
