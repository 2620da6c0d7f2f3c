// Checks the demo's screenshot: `DemoPictureCheck FILE [BANDS]` exits 0 when FILE is a PNG of at
// least the control's design size showing every day bar drawn and a block on; else it names what is
// wrong. BANDS: the bands of block colours expected, 9 by default (the widget window's legend
// above the eight bars).
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "platform/Colour.h"
#include "platform/DesignData.h"

namespace {

/// The horizontal bands of the picture whose rows hold one of `colours`. With the colours of a
/// bar's blocks, one band per day bar the control has drawn: an undrawn bar shows its background.
int BandsOfColours(const QImage& picture,
                   std::initializer_list<tarn::platform::ColourRef> colours) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < picture.height(); ++y) {
        bool row = false;
        for (int x = 0; x < picture.width() && !row; ++x)
            row = std::find(colours.begin(), colours.end(), picture.pixel(x, y) & 0xFFFFFFu) !=
                  colours.end();
        if (row && !inBand) ++bands;
        inBand = row;
    }
    return bands;
}

}  // namespace

int main(int argc, char** argv) {
    QImage picture;
    if (argc < 2 || argc > 3 || !picture.load(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::puts("not a PNG");
        return 1;
    }
    if (picture.width() < tarn::design::kControlWidth ||
        picture.height() < tarn::design::kControlHeight) {
        std::puts("smaller than the control");
        return 1;
    }
    const auto enabled = tarn::platform::QBColor(tarn::platform::kPaletteLightGreen);
    const auto disabled = tarn::platform::QBColor(tarn::platform::kPaletteLightRed);
    // One band per day bar, and one for the legend's two swatches above the control.
    const int expected = argc == 3 ? std::atoi(argv[2]) : 9;
    const int bands = BandsOfColours(picture, {enabled, disabled});
    if (bands != expected) {
        std::printf("%d bands of blocks, not %d\n", bands, expected);
        return 1;
    }
    if (BandsOfColours(picture, {enabled}) == 0) {
        std::puts("the sample schedule shows no block on");
        return 1;
    }
    return 0;
}
