// Where a user looks on a day bar to tell a block's state or mark: the centre device pixel of the
// block in a band, found from the bar geometry the control paints the blocks with.
#pragma once

#include <array>
#include <cstdint>

namespace tarn::app {

/// Bands of a block: 0 top (selection mark), 1 middle (state), 2 bottom (selection mark).
inline constexpr int kMarkBand = 0;
inline constexpr int kStateBand = 1;

/// The device column at the centre of each of the 96 blocks of a bar `width` logical pixels wide
/// (width greater than 0) drawn at ratio. A block whose rounded edges coincide reads its left
/// edge, kept on the bar.
std::array<int, 96> BlockCentreColumns(int width, double ratio = 1.0);

/// The device row at the centre of band 0, 1 or 2 of a bar `height` logical pixels high (height
/// greater than 0) drawn at ratio, kept on the bar.
int BandCentreRow(int height, int band, double ratio = 1.0);

/// One letter per colour a user tells apart: W bright white, R light red, G light green,
/// K black, ? anything else. colour is 0xRRGGBB; a byte above it is ignored, so a stored pixel
/// (0xFFRRGGBB) reads the same. Inline so that the core's tests read bars with the same letters
/// without linking the host.
constexpr char ColourLetter(std::uint32_t colour) {
    switch (colour & 0xFFFFFFu) {
        case 0xFFFFFFu:
            return 'W';
        case 0xFF0000u:
            return 'R';
        case 0x00FF00u:
            return 'G';
        case 0x000000u:
            return 'K';
        default:
            return '?';
    }
}

}  // namespace tarn::app
