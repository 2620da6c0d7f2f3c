#include "app/BarReading.h"

#include <gtest/gtest.h>

namespace tarn::app {
namespace {

TEST(BlockCentreColumns, DesignBarReadsInsideEveryBlock) {
    // 573 pixels: w = 5.96875, edges 0, 6, 12, 18, ... and the last block ends at 573.
    const auto columns = BlockCentreColumns(573);
    EXPECT_EQ(columns[0], 2);
    EXPECT_EQ(columns[1], 8);
    EXPECT_EQ(columns[95], 569);  // block 95 spans 567 to 572
}

TEST(BlockCentreColumns, HalvesRoundToEvenAsThePaintingDoes) {
    // 144 pixels: w = 1.5, edges 0, 2, 3, 4, 6, 8, 9, 10, 12.
    const auto columns = BlockCentreColumns(144);
    const int expected[] = {0, 2, 3, 4, 6, 8, 9, 10};
    for (int block = 0; block < 8; ++block)
        EXPECT_EQ(columns[block], expected[block]) << block;
}

TEST(BlockCentreColumns, NarrowBarKeepsEmptyBlocksOnTheBar) {
    const auto columns = BlockCentreColumns(10);
    for (const int column : columns) {
        EXPECT_GE(column, 0);
        EXPECT_LE(column, 9);
    }
    EXPECT_EQ(columns[95], 9);
}

TEST(BandCentreRow, ThirdsOfTheBarHeight) {
    // 31 rows: bands 0-9, 10-19 and 21-30 (row 20 belongs to no band).
    EXPECT_EQ(BandCentreRow(31, kMarkBand), 4);
    EXPECT_EQ(BandCentreRow(31, kStateBand), 14);
    EXPECT_EQ(BandCentreRow(31, 2), 25);
    // 33 rows: bands of exactly 11 rows.
    EXPECT_EQ(BandCentreRow(33, kStateBand), 16);
}

TEST(BandCentreRow, FlatBarReadsItsOnlyRows) {
    EXPECT_EQ(BandCentreRow(1, kMarkBand), 0);
    EXPECT_EQ(BandCentreRow(1, kStateBand), 0);
    EXPECT_EQ(BandCentreRow(2, kStateBand), 1);
}

TEST(ColourLetter, OnlyTheFourPaletteColoursHaveLetters) {
    EXPECT_EQ(ColourLetter(0xFFFFFF), 'W');
    EXPECT_EQ(ColourLetter(0xFF0000), 'R');
    EXPECT_EQ(ColourLetter(0x00FF00), 'G');
    EXPECT_EQ(ColourLetter(0x000000), 'K');
    EXPECT_EQ(ColourLetter(0xC0C0C0), '?');
    EXPECT_EQ(ColourLetter(0x0000FF), '?');
    EXPECT_EQ(ColourLetter(0xFFFF0000u), 'R');  // an alpha byte is not a colour
}

}  // namespace
}  // namespace tarn::app
