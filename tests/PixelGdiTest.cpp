// The pixel rasterizer behind every backend: fills and lines land on exactly the pixels the
// drawing interface promises (right, bottom and end points excluded, everything clipped to the
// buffer), and the pen table hands out handles that stay unambiguous and never grows.

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

#include "pixels/PixelGdi.h"
#include "frontends/memory/MemoryWidgets.h"

namespace tarn::platform {
namespace {

constexpr std::uint32_t kBlank = PixelOf(0x123456);
constexpr ColourRef kInk = 0x00FF00;

using Pixels = std::set<std::pair<int, int>>;

/// Every pixel of the rectangle, right and bottom excluded.
Pixels Rect(int left, int top, int right, int bottom) {
    Pixels pixels;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            pixels.insert({x, y});
    return pixels;
}

/// A small buffer filled with kBlank, one pen of kInk selected into it.
struct Canvas {
    Canvas(int width, int height) : dc(0) {
        dc.Resize(width, height, kBlank);
        gdi.SelectObject(dc, pen);
    }
    /// Every pixel that is no longer kBlank.
    Pixels Inked() const {
        Pixels inked;
        for (int y = 0; y < dc.height(); ++y)
            for (int x = 0; x < dc.width(); ++x)
                if (dc.PixelAt(x, y) != kBlank) inked.insert({x, y});
        return inked;
    }
    Pixels Line(int x0, int y0, int x1, int y1) {
        gdi.MoveToEx(dc, x0, y0, nullptr);
        gdi.LineTo(dc, x1, y1);
        return Inked();
    }
    Pixels Fill(const RECT& rect) {
        gdi.FillRect(dc, rect, pen);
        return Inked();
    }

    memory::MemoryDeviceContext dc;
    PixelGdi gdi;
    GdiObject pen = gdi.CreatePen(0, 1, kInk);
};

TEST(PixelGdi, FillRectCoversLeftAndTopButNotRightAndBottomAndClips) {
    EXPECT_EQ(Canvas(10, 8).Fill({2, 1, 5, 4}), Rect(2, 1, 5, 4));
    // Over the right edge a row-major buffer must not spill into column 0 below.
    EXPECT_EQ(Canvas(10, 8).Fill({7, 2, 15, 3}), Rect(7, 2, 10, 3));
    EXPECT_EQ(Canvas(10, 8).Fill({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}), Rect(0, 0, 10, 8));
    for (const RECT empty : {RECT{3, 3, 3, 6}, RECT{6, 6, 3, 3}, RECT{10, 0, 12, 8}})
        EXPECT_TRUE(Canvas(10, 8).Fill(empty).empty());
}

TEST(PixelGdi, LinesCoverTheirStartButNotTheirEndAndAreClipped) {
    EXPECT_EQ(Canvas(5, 10).Line(2, 0, 2, 4), Rect(2, 0, 3, 4));
    EXPECT_EQ(Canvas(5, 10).Line(2, 8, 2, 3), Rect(2, 4, 3, 9));
    EXPECT_EQ(Canvas(8, 3).Line(6, 1, 1, 1), Rect(2, 1, 7, 2));
    EXPECT_EQ(Canvas(8, 8).Line(1, 1, 5, 5), (Pixels{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_TRUE(Canvas(5, 5).Line(2, 2, 2, 2).empty());
    EXPECT_EQ(Canvas(5, 6).Line(1, -3, 1, 100), Rect(1, 0, 2, 6));
    // A column at x = width would alias column 0 of the next row in a row-major buffer.
    EXPECT_TRUE(Canvas(6, 5).Line(6, 0, 6, 5).empty());
    EXPECT_TRUE(Canvas(6, 5).Line(-1, 0, -1, 5).empty());
    EXPECT_TRUE(Canvas(10, 10).Line(0, 10, 9, 10).empty());
}

TEST(PixelGdi, DeletedPensStayDeadAndAFullTableGivesTheNullPen) {
    Canvas canvas(3, 1);
    const GdiObject second = canvas.gdi.CreatePen(0, 1, kInk);
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, second), canvas.pen);
    EXPECT_TRUE(canvas.gdi.DeleteObject(canvas.pen));
    EXPECT_FALSE(canvas.gdi.DeleteObject(canvas.pen));
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, canvas.pen), 0u)
        << "a dead handle selects nothing";
    EXPECT_TRUE(canvas.gdi.DeleteObject(second));
    // Take every slot, so that the stale handles' slots are taken again.
    std::set<GdiObject> fresh;
    for (int i = 0; i < PixelGdi::kPenCapacity; ++i)
        fresh.insert(canvas.gdi.CreatePen(0, 1, kInk));
    EXPECT_EQ(fresh.size(), static_cast<std::size_t>(PixelGdi::kPenCapacity));
    EXPECT_EQ(fresh.count(0) + fresh.count(canvas.pen) + fresh.count(second), 0u);
    EXPECT_EQ(canvas.gdi.CreatePen(0, 1, kInk), 0u);
    EXPECT_TRUE(canvas.Fill({0, 0, 3, 1}).empty()) << "the dead pen paints nothing";
}

}  // namespace
}  // namespace tarn::platform
