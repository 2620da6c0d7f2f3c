// The images behind every bar and the control's surface share the storage of alike rows. They
// must read back exactly as a plain pixel buffer given the same fills would, whatever mix of
// shared and split rows the fills leave, and a control as large as a size can be must keep its
// pixels in a handful of rows per bar.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "TarnSchedule/TimeProperties.h"
#include "core/Schedule.h"
#include "pixels/PixelGdi.h"
#include "frontends/memory/MemoryPlatform.h"

namespace tarn::platform {
namespace {

struct FillCall {
    std::int32_t left, top, right, bottom;
    std::uint32_t pixel;
};

/// The same fills on a plain row-major buffer.
class PlainImage {
public:
    PlainImage(int width, int height, std::uint32_t pixel)
        : width_(width),
          height_(height),
          pixels_(static_cast<std::size_t>(width * height), pixel) {}
    void Fill(const FillCall& call) {
        for (int y = std::max(call.top, 0); y < std::min(call.bottom, height_); ++y)
            for (int x = std::max(call.left, 0); x < std::min(call.right, width_); ++x)
                pixels_[static_cast<std::size_t>(y * width_ + x)] = call.pixel;
    }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * width_ + x)];
    }

private:
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

/// The first pixel where the two differ, or "" when they agree everywhere.
std::string FirstDifference(const SharedRowImage& shared, const PlainImage& plain, int width,
                            int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shared.PixelAt(x, y) != plain.At(x, y))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return "";
}

constexpr std::uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlack = 0xFF000000,
                        kGrey = 0xFFC0C0C0;

struct FillCase {
    std::string name;
    std::vector<FillCall> fills;
    int denseAfter = -1;  // turn the image dense after this many fills; -1 never
};

void PrintTo(const FillCase& fillCase, std::ostream* out) {
    *out << fillCase.name;
}

std::vector<FillCall> RandomFills(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(-3, 40);
    const std::uint32_t colours[] = {kWhite, kRed, kBlack, kGrey};
    std::vector<FillCall> fills;
    for (int i = 0; i < 300; ++i)
        fills.push_back(FillCall{coordinate(random), coordinate(random), coordinate(random),
                                 coordinate(random), colours[random() % 4]});
    return fills;
}

std::vector<FillCase> FillCases() {
    return {
        // A bar's background in bands, one block at a time, then a mark hanging from the top.
        {"BandsThenMarks",
         {{0, 0, 5, 8, kWhite},
          {0, 8, 5, 16, kRed},
          {0, 16, 5, 23, kWhite},
          {5, 0, 11, 8, kWhite},
          {5, 8, 11, 16, kRed},
          {5, 16, 11, 23, kWhite},
          {6, 0, 7, 12, kBlack},
          {20, 0, 21, 23, kBlack}}},
        // Overlapping fills split rows that shared a buffer, and the rows outside keep it.
        {"OverlapsSplitSharedRows",
         {{3, 2, 9, 10, kRed}, {5, 6, 20, 14, kBlack}, {0, 4, 2, 5, kWhite}, {4, 0, 6, 23, kRed}}},
        // Whole rows filled alike share again, next to rows that were split before.
        {"WholeRowsJoinAgain",
         {{2, 3, 4, 9, kRed},
          {0, 5, 37, 7, kBlack},
          {1, 6, 2, 7, kWhite},
          {0, 0, 37, 23, kGrey},
          {0, 0, 37, 23, kGrey},
          {8, 8, 9, 9, kRed}}},
        // A fill that changes nothing, then one that changes the rows it covered.
        {"FillWithTheSameColour",
         {{0, 0, 37, 23, kGrey}, {3, 0, 9, 11, kGrey}, {3, 0, 9, 5, kRed}}},
        // Random rectangles reaching past every edge, empty and inverted ones included.
        {"RandomSeed1", RandomFills(1)},
        {"RandomSeed3DenseHalfWay", RandomFills(3), 150},
    };
}

class SharedRowImageFills : public testing::TestWithParam<FillCase> {};

TEST_P(SharedRowImageFills, ReadsBackAsAPlainBufferAfterEveryFill) {
    constexpr int kWidth = 37, kHeight = 23;
    SharedRowImage shared;
    shared.Reset(kWidth, kHeight, kGrey);
    PlainImage plain(kWidth, kHeight, kGrey);
    const std::vector<FillCall>& fills = GetParam().fills;
    for (std::size_t i = 0; i < fills.size(); ++i) {
        if (static_cast<int>(i) == GetParam().denseAfter) shared.Dense();
        shared.Fill(fills[i].left, fills[i].top, fills[i].right, fills[i].bottom, fills[i].pixel);
        plain.Fill(fills[i]);
        ASSERT_EQ(FirstDifference(shared, plain, kWidth, kHeight), "") << "after fill " << i;
    }
    // The dense view shows the same pixels, and writing into it is what the image then holds.
    const PixelView view = shared.Dense();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(view.pixels[y * view.stride + x], plain.At(x, y));
    view.pixels[5 * view.stride + 7] = kRed;
    EXPECT_EQ(shared.PixelAt(7, 5), kRed);
}

INSTANTIATE_TEST_SUITE_P(Fills, SharedRowImageFills, testing::ValuesIn(FillCases()),
                         [](const auto& info) { return info.param.name; });

TEST(SharedRowImage, ResetToAnotherSizeStartsFromOneColour) {
    SharedRowImage image;
    image.Reset(10, 4, kRed);
    image.Fill(2, 1, 5, 3, kBlack);
    image.Reset(6, 9, kWhite);
    EXPECT_EQ(image.width(), 6);
    EXPECT_EQ(image.height(), 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(image.PixelAt(x, y), kWhite);
    EXPECT_EQ(image.PixelAt(6, 0), 0u);
    image.Reset(-3, 5, kWhite);
    EXPECT_EQ(image.width(), 0);
    image.Fill(0, 0, 10, 10, kRed);
    EXPECT_EQ(image.PixelAt(0, 0), 0u);
}

// The largest control: 32767 pixels each way, bars of 27840 x 3172 inner pixels. Drawn,
// selected on and enabled, each bar and the surface keep their pixels in a few rows.
TEST(SharedRowImage, LargestControlKeepsAFewRowsPerBar) {
    memory::MemoryPlatform platform;
    Schedule schedule(platform);
    schedule.Initialize();
    platform.SurfaceWidget().SetSize(32767, 32767);
    schedule.Resize();
    schedule.InitTimer_Timer();
    schedule.Schedule_MouseDown(3, 1, 0, 9280.0f, 0.0f);
    schedule.Schedule_MouseMove(3, 1, 0, 9570.0f, 0.0f);
    schedule.Schedule_MouseUp(3, 1, 0, 9570.0f, 0.0f);
    schedule.cmdEnable_Click();
    ASSERT_EQ(schedule.TimeValue(TimePropertyIndex(3, 1, false)), 800);
    ASSERT_EQ(schedule.TimeValue(TimePropertyIndex(3, 1, true)), 830);

    constexpr std::size_t kRowsAllowed = 16;
    for (int bar = 0; bar < 8; ++bar) {
        const SharedRowImage& image = platform.Bar(bar).context().image();
        ASSERT_EQ(image.width(), 27840);
        ASSERT_EQ(image.height(), 3172);
        EXPECT_LE(image.StoredPixels(), kRowsAllowed * 27840) << "bar " << bar;
    }
    EXPECT_LE(platform.SurfaceWidget().context().image().StoredPixels(), 4u * 32767);
}

}  // namespace
}  // namespace tarn::platform
