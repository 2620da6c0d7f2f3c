// Where the scripted host reads a bar: block centres and band rows from the same rounded edges the
// control paints with, and a letter for each palette colour.

#include "app/BarReading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn::app {
namespace {

TEST(BarReading, BlockCentresAndBandRowsFollowThePaintedEdges) {
    // 573 pixels: block 95 spans 567 to 572; 144 pixels: edges 0, 2, 3, 4, 6, 8, 9, 10, 12.
    const auto design = BlockCentreColumns(573);
    const auto halves = BlockCentreColumns(144);
    EXPECT_EQ((std::vector<int>{design[0], design[1], design[95], halves[1], halves[2], halves[3],
                                halves[6], BlockCentreColumns(10)[95]}),
              (std::vector<int>{2, 8, 569, 2, 3, 4, 9, 9}));
    // 31 rows: bands 0-9, 10-19 and 21-30; a flat bar reads its only row.
    EXPECT_EQ((std::vector<int>{BandCentreRow(31, kMarkBand), BandCentreRow(31, kStateBand),
                                BandCentreRow(31, 2), BandCentreRow(1, kStateBand)}),
              (std::vector<int>{4, 14, 25, 0}));
}

TEST(BarReading, OnlyTheFourPaletteColoursHaveLetters) {
    std::string letters;
    for (const std::uint32_t colour : {0xFFFFFFu, 0xFF0000u, 0x00FF00u, 0x000000u, 0xC0C0C0u})
        letters += ColourLetter(colour);
    EXPECT_EQ(letters + ColourLetter(0xFFFF0000u), "WRGK?R") << "an alpha byte is not a colour";
}

}  // namespace
}  // namespace tarn::app
