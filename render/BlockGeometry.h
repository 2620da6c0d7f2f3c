// The pixel geometry of a day bar, from one place: 96 blocks across the inner width, three bands
// down the inner height and the tick marks of each level, in the device pixels of the bar's
// buffer at a device pixel ratio. The painter fills and marks along it, the readers of a bar look
// at its block centres, and the keyboard cursor's frame lies on its block edges. Block edges come
// from a left-edge accumulator rounded half to even, so neighbouring blocks share their edge and
// the fills tile the bar exactly; at a ratio of 1 a device pixel is a logical one.
//
// The hit test works on logical coordinates only (BlockUnder), so a pointer picks the same block
// at every ratio.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "model/Arithmetic.h"
#include "platform/Gdi.h"
#include "platform/PixelRatio.h"

namespace tarn::render {

inline constexpr int kBlocks = 96;
inline constexpr int kBands = 3;
inline constexpr int kTopBand = 0;
inline constexpr int kMiddleBand = 1;
inline constexpr int kBottomBand = 2;

enum class TickLevel { Minor, Intermediate, Major };

/// value rounded to the nearest whole pixel, an exact half to the even neighbour, as RoundToInt32
/// rounds it but without its library calls: a bar's geometry rounds hundreds of values per redraw.
/// Throws Overflow where the value is not a 32-bit integer's.
inline std::int32_t RoundPixel(double value) {
    if (!(std::fabs(value) <= 2147483647.0)) throw Overflow();
    // Added to 1.5 * 2^52, where doubles are whole numbers, the value is rounded half to even by
    // the addition itself.
    constexpr double kWhole = 6755399441055744.0;
    const double shifted = value + kWhole;
    return static_cast<std::int32_t>(shifted - kWhole);
}

using platform::DeviceLength;
using platform::UsableRatio;

class BarGeometry {
public:
    /// What a geometry is made for: everything, or the device size and the tick marks alone (the
    /// block and band edges then stay 0).
    enum class Parts { All, TicksOnly };

    /// The geometry of a bar of logical inner size width x height drawn at ratio. Throws Overflow
    /// where a size does not fit the pixel arithmetic.
    BarGeometry(double width, double height, double ratio, Parts parts = Parts::All)
        : ratio_(UsableRatio(ratio)),
          deviceWidth_(DeviceLength(width, ratio_)),
          deviceHeight_(DeviceLength(height, ratio_)) {
        if (parts == Parts::TicksOnly) return;
        const double w = deviceWidth_ / 96.0;
        double x = 0.0;
        for (int block = 0; block < kBlocks; ++block) {
            edges_[block] = RoundPixel(x);
            if (block < kBlocks - 1) x += w;
        }
        edges_[kBlocks] = RoundPixel(x + w);
        const double h = deviceHeight_ / 3.0;
        for (int band = 0; band < kBands; ++band) {
            bandTop_[band] = RoundPixel(h * band);
            bandBottom_[band] = RoundPixel(bandTop_[band] + h);
        }
    }

    double ratio() const { return ratio_; }
    std::int32_t deviceWidth() const { return deviceWidth_; }
    std::int32_t deviceHeight() const { return deviceHeight_; }

    /// The left device column of block (0 to 96; 96 is the right end of the last block).
    std::int32_t BlockEdge(int block) const { return edges_.at(static_cast<std::size_t>(block)); }
    /// The device rows of a band: top included, bottom excluded. Neighbouring bands may leave a
    /// row between them.
    std::int32_t BandTop(int band) const { return bandTop_.at(static_cast<std::size_t>(band)); }
    std::int32_t BandBottom(int band) const {
        return bandBottom_.at(static_cast<std::size_t>(band));
    }

    /// The rectangle of blocks first to last (inclusive) in band.
    platform::RECT Rect(int first, int last, int band) const {
        return platform::RECT{BlockEdge(first), BandTop(band), BlockEdge(last + 1),
                              BandBottom(band)};
    }

    /// The device column at the middle of a block, kept on the bar (a block without columns gives
    /// its left edge); the device row at the middle of a band, likewise.
    std::int32_t BlockCentre(int block) const {
        return Centre(BlockEdge(block), BlockEdge(block + 1), deviceWidth_);
    }
    std::int32_t BandCentre(int band) const {
        return Centre(BandTop(band), BandBottom(band), deviceHeight_);
    }

    /// Tick marks of a level: the number of intervals (marks are 0 to that number), the device
    /// column of mark i, and the device rows every mark runs down from row 0.
    static int TickIntervals(TickLevel level) {
        return level == TickLevel::Minor ? 96 : level == TickLevel::Intermediate ? 48 : 24;
    }
    std::int32_t TickColumn(TickLevel level, int i) const { return RoundPixel(i * Spacing(level)); }
    /// Calls mark(column) for the marks of a level from left to right.
    template <typename Mark>
    void ForEachTick(TickLevel level, Mark mark) const {
        const double spacing = Spacing(level);
        const int intervals = TickIntervals(level);
        for (int i = 0; i <= intervals; ++i)
            mark(RoundPixel(i * spacing));
    }
    std::int32_t TickLength(TickLevel level) const {
        // Hours run the full height; the other levels a third or two thirds, the third taken
        // first and then doubled.
        if (level == TickLevel::Major) return deviceHeight_;
        const int thirds = level == TickLevel::Minor ? 1 : 2;
        return RoundPixel(thirds * (deviceHeight_ / 3.0));
    }

    /// The logical columns (a rectangle's left and right, right excluded) that cover block's
    /// device columns, for what is placed over the bar in logical pixels: at a ratio of 1 the
    /// block's own columns.
    std::int32_t LogicalLeft(int block) const { return ToLogical(BlockEdge(block), false); }
    std::int32_t LogicalRight(int block) const { return ToLogical(BlockEdge(block + 1), true); }

private:
    double Spacing(TickLevel level) const {
        return deviceWidth_ / static_cast<double>(TickIntervals(level));
    }
    static std::int32_t Centre(std::int32_t first, std::int32_t end, std::int32_t size) {
        const std::int32_t centre = end > first ? first + (end - first - 1) / 2 : first;
        return std::clamp<std::int32_t>(centre, 0, std::max<std::int32_t>(size - 1, 0));
    }
    std::int32_t ToLogical(std::int32_t device, bool up) const {
        if (ratio_ == 1.0) return device;
        const double logical = device / ratio_;
        // A value a rounding error off a whole pixel counts as that pixel.
        const double near = std::nearbyint(logical);
        if (std::fabs(logical - near) < 1e-9) return static_cast<std::int32_t>(near);
        return static_cast<std::int32_t>(up ? std::ceil(logical) : std::floor(logical));
    }

    double ratio_;
    std::int32_t deviceWidth_;
    std::int32_t deviceHeight_;
    std::array<std::int32_t, kBlocks + 1> edges_{};
    std::array<std::int32_t, kBands> bandTop_{};
    std::array<std::int32_t, kBands> bandBottom_{};
};

/// The block (0 to 95) under logical X on a bar of logical inner width W, or -1 when X hits no
/// block. Block i holds lo <= X < hi with lo = i * W/96 and hi = (i + 1) * W/96, each rounded to
/// single precision; X outside the bar, NaN or infinite hits nothing.
inline int BlockUnder(double W, float X) {
    const double w = W / 96.0;
    if (!(w > 0.0) || !std::isfinite(w)) return -1;
    if (!(X >= 0.0f)) return -1;  // negative or NaN
    // Start from the estimate and settle on the block whose single-precision bounds hold X.
    const double estimate = static_cast<double>(X) / w;
    if (!(estimate < 97.0)) return -1;
    const int guess = static_cast<int>(std::floor(estimate));
    for (int i = std::max(0, guess - 1); i <= std::min(95, guess + 1); ++i) {
        const float lo = static_cast<float>(i * w);
        const float hi = static_cast<float>((i + 1) * w);
        if (lo <= X && X < hi) return i;
    }
    return -1;
}

/// The block under X in a drag on a bar of inner width W: as BlockUnder, but a pointer left of
/// the first block counts as block 0 and one right of the last as block 95, however far it went,
/// so that a quick drag out past an end reaches that end. NaN, and a bar without blocks, hit
/// nothing.
inline int BlockUnderInDrag(double W, float X) {
    const int hit = BlockUnder(W, X);
    const double w = W / 96.0;
    if (hit >= 0 || !(w > 0.0) || !std::isfinite(w)) return hit;
    if (X < 0.0f) return 0;
    if (X >= static_cast<float>(96 * w)) return 95;
    return -1;
}

}  // namespace tarn::render
