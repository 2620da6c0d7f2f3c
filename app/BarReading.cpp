#include "app/BarReading.h"

#include <algorithm>

#include "render/BlockGeometry.h"

namespace tarn::app {

std::array<int, 96> BlockCentreColumns(int width, double ratio) {
    const render::BarGeometry geometry(width, 0.0, ratio);
    std::array<int, 96> columns{};
    for (int block = 0; block < 96; ++block)
        columns[block] = geometry.BlockCentre(block);
    return columns;
}

int BandCentreRow(int height, int band, double ratio) {
    return render::BarGeometry(0.0, height, ratio).BandCentre(band);
}

}  // namespace tarn::app
