// How the scripted host names what it reads on a bar: a letter for each palette colour. Where it
// reads (the bar geometry's block and band centres) the examples show at every pixel ratio.

#include "app/BarReading.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn::app {
namespace {

TEST(BarReading, OnlyTheFourPaletteColoursHaveLetters) {
    std::string letters;
    for (const std::uint32_t colour : {0xFFFFFFu, 0xFF0000u, 0x00FF00u, 0x000000u, 0xC0C0C0u})
        letters += ColourLetter(colour);
    EXPECT_EQ(letters + ColourLetter(0xFFFF0000u), "WRGK?R") << "an alpha byte is not a colour";
}

}  // namespace
}  // namespace tarn::app
