// What the drawing calls write into: a context that offers only a dense view of its pixels must
// receive exactly the pixels that a shared-row context receives, and every backend refuses the
// same geometry values.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "frontends/memory/MemoryWidgets.h"
#include "pixels/PixelGdi.h"
#include "platform/GeometryValue.h"
#include "platform/PlatformError.h"

namespace tarn::platform {
namespace {

constexpr std::uint32_t kBlank = PixelOf(0x123456);

/// A context of a toolkit that hands out only a plain row-major buffer, with a stride wider than
/// the image so that a write past a row's end shows.
class DenseContext final : public DeviceContext {
public:
    DenseContext(int width, int height, int stride)
        : width_(width),
          height_(height),
          stride_(stride),
          pixels_(static_cast<std::size_t>(stride * height), kBlank) {}
    PixelView Pixels() override { return PixelView{pixels_.data(), width_, height_, stride_}; }
    void DrawText(std::int32_t, std::int32_t, std::string_view) override {}
    int Target() const override { return 0; }

    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * stride_ + x)];
    }
    /// Pixels in the padding right of each row.
    bool PaddingUntouched() const {
        for (int y = 0; y < height_; ++y)
            for (int x = width_; x < stride_; ++x)
                if (At(x, y) != kBlank) return false;
        return true;
    }

private:
    int width_, height_, stride_;
    std::vector<std::uint32_t> pixels_;
};

TEST(DrawingTargets, ADenseOnlyContextGetsTheSamePixelsAsSharedRows) {
    constexpr int kWidth = 40, kHeight = 24;
    DenseContext dense(kWidth, kHeight, kWidth + 5);
    memory::MemoryDeviceContext shared(0);
    shared.Resize(kWidth, kHeight, kBlank);
    ASSERT_EQ(dense.SharedRows(), nullptr);
    ASSERT_NE(shared.SharedRows(), nullptr);

    PixelGdi gdi;
    const GdiObject red = gdi.CreatePen(0, 1, 0x0000FF);
    const GdiObject black = gdi.CreatePen(0, 1, 0x000000);
    for (DeviceContext* dc : std::array<DeviceContext*, 2>{&dense, &shared}) {
        // Bands across every block, a band reaching past the right edge, a rectangle hanging off
        // the top-left corner, marks up and down, a diagonal leaving the image, and a line
        // entirely outside.
        for (int block = 0; block < 8; ++block)
            gdi.FillRect(*dc, RECT{block * 5, 0, block * 5 + 5, 8}, block % 2 ? red : black);
        gdi.FillRect(*dc, RECT{30, 8, 90, 16}, red);
        gdi.FillRect(*dc, RECT{-4, -4, 3, 3}, black);
        gdi.SelectObject(*dc, black);
        gdi.MoveToEx(*dc, 7, 2, nullptr);
        gdi.LineTo(*dc, 7, 20);
        gdi.MoveToEx(*dc, 12, 30, nullptr);
        gdi.LineTo(*dc, 12, 10);
        gdi.MoveToEx(*dc, 20, 5, nullptr);
        gdi.LineTo(*dc, 60, 40);
        gdi.MoveToEx(*dc, -10, -10, nullptr);
        gdi.LineTo(*dc, -2, -1);
        gdi.SelectObject(*dc, 0);
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(dense.At(x, y), shared.PixelAt(x, y)) << "at (" << x << ", " << y << ")";
    EXPECT_TRUE(dense.PaddingUntouched());
    EXPECT_EQ(gdi.DeleteObject(red) && gdi.DeleteObject(black), true);
    EXPECT_EQ(gdi.LivePens(), 0);
}

TEST(DrawingTargets, GeometryValuesAreWholePixelsWithinSixteenBits) {
    // Rounded to the nearest pixel, halves to even.
    EXPECT_EQ(AcceptGeometry(2.5f, false, "Left"), 2);
    EXPECT_EQ(AcceptGeometry(3.5f, false, "Left"), 4);
    EXPECT_EQ(AcceptGeometry(-2.5f, false, "Top"), -2);
    EXPECT_EQ(AcceptGeometry(-32768.0f, false, "Top"), -32768);
    EXPECT_EQ(AcceptGeometry(32767.0f, true, "Width"), 32767);
    EXPECT_EQ(AcceptGeometry(-0.0f, true, "Height"), 0);

    struct Refused {
        float value;
        bool isSize;
    };
    const float infinity = std::numeric_limits<float>::infinity();
    for (const Refused refused :
         {Refused{std::nanf(""), false}, Refused{infinity, false}, Refused{-infinity, true},
          Refused{32767.5f, false}, Refused{-32768.5f, false}, Refused{-1.0f, true},
          // Rounds to 0, but is a negative size all the same.
          Refused{-0.25f, true}}) {
        try {
            AcceptGeometry(refused.value, refused.isSize, "Width");
            ADD_FAILURE() << refused.value << " was accepted";
        } catch (const PlatformError& error) {
            EXPECT_STREQ(error.what(), "Invalid property value for Width");
        }
    }
}

TEST(DrawingTargets, AMemoryWidgetKeepsItsGeometryWhenAValueIsRefused) {
    FaultPoint faults;
    memory::MemoryBar bar(faults, 0, 10, 20, 100, 30);
    EXPECT_THROW(bar.SetWidth(-3.0f), PlatformError);
    EXPECT_THROW(bar.SetLeft(40000.0f), PlatformError);
    EXPECT_EQ(bar.Width(), 100.0f);
    EXPECT_EQ(bar.Left(), 10.0f);
    EXPECT_EQ(bar.innerWidth(), 96);
    bar.SetWidth(50.5f);
    EXPECT_EQ(bar.Width(), 50.0f);
    EXPECT_EQ(bar.innerWidth(), 46);
}

}  // namespace
}  // namespace tarn::platform
