#include "app/BarReading.h"

#include <algorithm>

#include "render/BlockGeometry.h"

namespace tarn::app {

namespace {

int Centre(int first, int end, int size) {
    const int centre = end > first ? first + (end - first - 1) / 2 : first;
    return std::clamp(centre, 0, size - 1);
}

}  // namespace

std::array<int, 96> BlockCentreColumns(int width) {
    // The block edges accumulate w block by block, exactly as the painting places them.
    std::array<int, 96> columns{};
    const double w = width / 96.0;
    double x = 0.0;
    for (int block = 0; block < 96; ++block) {
        const platform::RECT rect = render::BlockRect(x, w, 0.0, render::kTopBand);
        columns[block] = Centre(rect.Left, rect.right, width);
        x += w;
    }
    return columns;
}

int BandCentreRow(int height, int band) {
    const platform::RECT rect = render::BlockRect(0.0, 0.0, height / 3.0, band);
    return Centre(rect.Top, rect.bottom, height);
}

}  // namespace tarn::app
