// The pixel rasterizer behind every backend: fills and lines land on exactly the pixels the
// drawing interface promises (right, bottom and end points excluded, everything clipped to the
// buffer), and the pen table hands out handles that stay unambiguous and never grows.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "platform/PixelGdi.h"
#include "platform/memory/MemoryWidgets.h"

namespace tarn::platform {
namespace {

constexpr std::uint32_t kBlank = PixelOf(0x123456);
constexpr ColourRef kInk = 0x00FF00;

/// A small pixel buffer filled with kBlank and a rasterizer without faults.
struct Canvas {
    Canvas(int width, int height) : dc(0) { dc.Resize(width, height, kBlank); }

    /// Every pixel that is no longer kBlank, as (x, y).
    std::set<std::pair<int, int>> Inked() const {
        std::set<std::pair<int, int>> inked;
        for (int y = 0; y < dc.height(); ++y)
            for (int x = 0; x < dc.width(); ++x)
                if (dc.PixelAt(x, y) != kBlank) inked.insert({x, y});
        return inked;
    }

    void Line(int x0, int y0, int x1, int y1) {
        const GdiObject pen = gdi.CreatePen(0, 1, kInk);
        gdi.SelectObject(dc, pen);
        gdi.MoveToEx(dc, x0, y0, nullptr);
        gdi.LineTo(dc, x1, y1);
        gdi.SelectObject(dc, 0);
        gdi.DeleteObject(pen);
    }

    memory::MemoryDeviceContext dc;
    PixelGdi gdi;
};

std::set<std::pair<int, int>> Rect(int left, int top, int right, int bottom) {
    std::set<std::pair<int, int>> pixels;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            pixels.insert({x, y});
    return pixels;
}

// --- FillRect -------------------------------------------------------------------------------

TEST(PixelGdiFillRect, FillsLeftAndTopButNotRightAndBottom) {
    Canvas canvas(10, 8);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    EXPECT_NE(canvas.gdi.FillRect(canvas.dc, RECT{2, 1, 5, 4}, pen), 0);
    EXPECT_EQ(canvas.Inked(), Rect(2, 1, 5, 4));
    EXPECT_EQ(canvas.dc.PixelAt(2, 1), PixelOf(kInk));
}

TEST(PixelGdiFillRect, ClipsToTheBufferWithoutWrappingIntoTheNextRow) {
    Canvas canvas(10, 8);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    // Hangs over the right edge: a row-major buffer must not spill into column 0 below.
    canvas.gdi.FillRect(canvas.dc, RECT{7, 2, 15, 3}, pen);
    EXPECT_EQ(canvas.Inked(), Rect(7, 2, 10, 3));
    // Hangs over every edge at once.
    Canvas whole(10, 8);
    const GdiObject wholePen = whole.gdi.CreatePen(0, 1, kInk);
    whole.gdi.FillRect(whole.dc, RECT{-5, -5, 100, 100}, wholePen);
    EXPECT_EQ(whole.Inked(), Rect(0, 0, 10, 8));
}

TEST(PixelGdiFillRect, EmptyInvertedAndOutsideRectanglesPaintNothing) {
    Canvas canvas(10, 8);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    canvas.gdi.FillRect(canvas.dc, RECT{3, 3, 3, 6}, pen);    // no width
    canvas.gdi.FillRect(canvas.dc, RECT{3, 3, 6, 3}, pen);    // no height
    canvas.gdi.FillRect(canvas.dc, RECT{6, 6, 3, 3}, pen);    // inverted
    canvas.gdi.FillRect(canvas.dc, RECT{10, 0, 12, 8}, pen);  // right of the buffer
    canvas.gdi.FillRect(canvas.dc, RECT{0, -4, 10, 0}, pen);  // above it
    EXPECT_TRUE(canvas.Inked().empty());
}

TEST(PixelGdiFillRect, ExtremeCoordinatesAreClippedNotOverflowed) {
    Canvas canvas(10, 8);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    canvas.gdi.FillRect(canvas.dc, RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, pen);
    EXPECT_EQ(canvas.Inked(), Rect(0, 0, 10, 8));
}

TEST(PixelGdiFillRect, UsesTheColourOfThePenItIsGiven) {
    Canvas canvas(4, 1);
    const GdiObject red = canvas.gdi.CreatePen(0, 1, 0xFF0000);
    const GdiObject white = canvas.gdi.CreatePen(0, 1, 0xFFFFFF);
    canvas.gdi.SelectObject(canvas.dc, white);  // the selected pen plays no part in a fill
    canvas.gdi.FillRect(canvas.dc, RECT{0, 0, 2, 1}, red);
    EXPECT_EQ(canvas.dc.PixelAt(0, 0), PixelOf(0xFF0000));
    EXPECT_EQ(canvas.dc.PixelAt(1, 0), PixelOf(0xFF0000));
    EXPECT_EQ(canvas.dc.PixelAt(2, 0), kBlank);
}

TEST(PixelGdiFillRect, WithoutALivePenPaintsNothing) {
    Canvas canvas(4, 4);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    canvas.gdi.DeleteObject(pen);
    EXPECT_EQ(canvas.gdi.FillRect(canvas.dc, RECT{0, 0, 4, 4}, pen), 0);
    EXPECT_EQ(canvas.gdi.FillRect(canvas.dc, RECT{0, 0, 4, 4}, 0), 0);
    EXPECT_TRUE(canvas.Inked().empty());
}

// --- MoveToEx and LineTo --------------------------------------------------------------------

TEST(PixelGdiLineTo, VerticalLineCoversItsStartButNotItsEnd) {
    Canvas down(5, 10);
    down.Line(2, 0, 2, 4);
    EXPECT_EQ(down.Inked(), Rect(2, 0, 3, 4));

    Canvas up(5, 10);
    up.Line(2, 8, 2, 3);  // rows 8 down to 4
    EXPECT_EQ(up.Inked(), Rect(2, 4, 3, 9));
}

TEST(PixelGdiLineTo, ZeroLengthLineDrawsNothing) {
    Canvas canvas(5, 5);
    canvas.Line(2, 2, 2, 2);
    canvas.Line(0, 0, 0, 0);
    EXPECT_TRUE(canvas.Inked().empty());
}

TEST(PixelGdiLineTo, VerticalLineIsClippedAtEveryEdge) {
    Canvas canvas(5, 6);
    canvas.Line(1, -3, 1, 100);  // starts above, ends below
    canvas.Line(3, 100, 3, -3);  // the same, drawn upwards
    auto expected = Rect(1, 0, 2, 6);
    expected.merge(Rect(3, 0, 4, 6));
    EXPECT_EQ(canvas.Inked(), expected);
}

TEST(PixelGdiLineTo, ColumnsLeftAndRightOfTheBufferAreClippedWithoutWrapping) {
    // A column at x = width would alias column 0 of the next row in a row-major buffer.
    Canvas canvas(6, 5);
    canvas.Line(6, 0, 6, 5);
    canvas.Line(-1, 0, -1, 5);
    canvas.Line(7, 0, 7, 5);
    EXPECT_TRUE(canvas.Inked().empty());
}

TEST(PixelGdiLineTo, HorizontalAndDiagonalLinesExcludeTheirEndPoint) {
    Canvas horizontal(8, 3);
    horizontal.Line(1, 1, 6, 1);
    EXPECT_EQ(horizontal.Inked(), Rect(1, 1, 6, 2));

    Canvas leftwards(8, 3);
    leftwards.Line(6, 1, 1, 1);  // 6 down to 2
    EXPECT_EQ(leftwards.Inked(), Rect(2, 1, 7, 2));

    Canvas diagonal(8, 8);
    diagonal.Line(1, 1, 5, 5);
    EXPECT_EQ(diagonal.Inked(), (std::set<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));
}

TEST(PixelGdiLineTo, NonVerticalLineIsClippedToTheSamePixelsItWouldHaveUnclipped) {
    // Slope 1/3 through (0, 0): every column x has the unambiguous nearest row round(x / 3), so
    // the clipped line must show exactly those pixels inside the buffer, whatever clipping does
    // to the part outside.
    Canvas canvas(30, 10);
    canvas.Line(-30, -10, 60, 20);
    std::set<std::pair<int, int>> expected;
    for (int x = 0; x < 30; ++x) {
        const int y = static_cast<int>(std::lround(x / 3.0));
        if (y < 10) expected.insert({x, y});
    }
    EXPECT_EQ(canvas.Inked(), expected);

    Canvas diagonal(10, 10);
    diagonal.Line(-5, -5, 15, 15);
    std::set<std::pair<int, int>> wholeDiagonal;
    for (int i = 0; i < 10; ++i)
        wholeDiagonal.insert({i, i});
    EXPECT_EQ(diagonal.Inked(), wholeDiagonal);
}

TEST(PixelGdiLineTo, LineWhollyOutsideTheBufferDrawsNothing) {
    Canvas canvas(10, 10);
    canvas.Line(-20, 3, -2, 8);
    canvas.Line(12, -4, 40, 30);
    canvas.Line(0, 10, 9, 10);  // just below the last row
    EXPECT_TRUE(canvas.Inked().empty());
}

TEST(PixelGdiLineTo, MovesTheCurrentPositionSoLinesChain) {
    Canvas canvas(6, 6);
    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    canvas.gdi.SelectObject(canvas.dc, pen);
    canvas.gdi.MoveToEx(canvas.dc, 1, 1, nullptr);
    canvas.gdi.LineTo(canvas.dc, 1, 4);
    canvas.gdi.LineTo(canvas.dc, 4, 4);  // starts where the first ended, so (1, 4) is drawn now
    POINTAPI previous;
    canvas.gdi.MoveToEx(canvas.dc, 0, 0, &previous);
    EXPECT_EQ(previous.X, 4);
    EXPECT_EQ(previous.Y, 4);
    auto expected = Rect(1, 1, 2, 5);
    expected.merge(Rect(2, 4, 4, 5));
    EXPECT_EQ(canvas.Inked(), expected);
}

TEST(PixelGdiLineTo, WithoutALivePenSelectedDrawsNothingButStillMoves) {
    Canvas canvas(6, 6);
    canvas.gdi.MoveToEx(canvas.dc, 1, 0, nullptr);
    EXPECT_FALSE(canvas.gdi.LineTo(canvas.dc, 1, 5));  // nothing was ever selected

    const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
    canvas.gdi.SelectObject(canvas.dc, pen);
    canvas.gdi.DeleteObject(pen);
    canvas.gdi.MoveToEx(canvas.dc, 2, 0, nullptr);
    canvas.gdi.LineTo(canvas.dc, 2, 5);  // the selected pen is gone
    POINTAPI previous;
    canvas.gdi.MoveToEx(canvas.dc, 0, 0, &previous);
    EXPECT_EQ(previous.X, 2);
    EXPECT_EQ(previous.Y, 5);
    EXPECT_TRUE(canvas.Inked().empty());
}

// --- TextOutA -------------------------------------------------------------------------------

TEST(PixelGdiTextOut, HandsOnExactlyLengthCharactersAtThePoint) {
    Canvas canvas(10, 10);
    EXPECT_TRUE(canvas.gdi.TextOutA(canvas.dc, -3, 17, "AMPM", 2));
    ASSERT_EQ(canvas.dc.texts.size(), 1u);
    EXPECT_EQ(canvas.dc.texts[0].x, -3);
    EXPECT_EQ(canvas.dc.texts[0].y, 17);
    EXPECT_EQ(canvas.dc.texts[0].text, "AM");
    EXPECT_FALSE(canvas.gdi.TextOutA(canvas.dc, 0, 0, "AM", -1));
    EXPECT_FALSE(canvas.gdi.TextOutA(canvas.dc, 0, 0, nullptr, 2));
    EXPECT_EQ(canvas.dc.texts.size(), 1u);
}

// --- pens -----------------------------------------------------------------------------------

TEST(PixelGdiPens, SelectObjectReturnsThePreviousPenAndRefusesUnknownHandles) {
    Canvas canvas(2, 2);
    const GdiObject first = canvas.gdi.CreatePen(0, 1, kInk);
    const GdiObject second = canvas.gdi.CreatePen(0, 1, kInk);
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, first), 0u);
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, second), first);
    canvas.gdi.DeleteObject(first);
    // A dead handle selects nothing: 0 comes back and the current pen stays current.
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, first), 0u);
    EXPECT_EQ(canvas.gdi.SelectObject(canvas.dc, 0), second);
}

TEST(PixelGdiPens, DeletingTwiceOrDeletingNothingLeavesTheCountAlone) {
    PixelGdi gdi;
    const GdiObject kept = gdi.CreatePen(0, 1, kInk);
    const GdiObject pen = gdi.CreatePen(0, 1, kInk);
    EXPECT_EQ(gdi.LivePens(), 2);
    EXPECT_TRUE(gdi.DeleteObject(pen));
    EXPECT_FALSE(gdi.DeleteObject(pen));
    EXPECT_FALSE(gdi.DeleteObject(0));
    EXPECT_FALSE(gdi.DeleteObject(~GdiObject{0}));
    EXPECT_EQ(gdi.LivePens(), 1);
    EXPECT_TRUE(gdi.DeleteObject(kept));
    EXPECT_EQ(gdi.LivePens(), 0);
}

TEST(PixelGdiPens, DeletedHandleNeverNamesThePenThatReusesItsSlot) {
    Canvas canvas(3, 1);
    const GdiObject stale = canvas.gdi.CreatePen(0, 1, 0xFF0000);
    canvas.gdi.DeleteObject(stale);
    // Cycle through the whole table so that the stale handle's slot is taken again.
    std::vector<GdiObject> fresh;
    for (int i = 0; i < PixelGdi::kPenCapacity; ++i) {
        const GdiObject pen = canvas.gdi.CreatePen(0, 1, kInk);
        ASSERT_NE(pen, 0u);
        ASSERT_NE(pen, stale);
        fresh.push_back(pen);
    }
    EXPECT_EQ(canvas.gdi.FillRect(canvas.dc, RECT{0, 0, 3, 1}, stale), 0);
    EXPECT_TRUE(canvas.Inked().empty());
    EXPECT_FALSE(canvas.gdi.DeleteObject(stale));
    EXPECT_EQ(canvas.gdi.LivePens(), PixelGdi::kPenCapacity);
    for (const GdiObject pen : fresh)
        EXPECT_TRUE(canvas.gdi.DeleteObject(pen));
    EXPECT_EQ(canvas.gdi.LivePens(), 0);
}

TEST(PixelGdiPens, DeletedHandleStaysDeadHoweverOftenItsSlotIsReused) {
    // A host that keeps a stale handle through a long session must not find it naming a live
    // pen: every full redraw makes and deletes 64 pens, so a slot is reused once per four
    // redraws.
    PixelGdi gdi;
    const GdiObject stale = gdi.CreatePen(0, 1, kInk);
    gdi.DeleteObject(stale);
    bool aliased = false;
    for (long reuse = 0; reuse < 70000L * PixelGdi::kPenCapacity && !aliased; ++reuse) {
        const GdiObject pen = gdi.CreatePen(0, 1, kInk);
        aliased = pen == stale;
        gdi.DeleteObject(pen);
    }
    EXPECT_FALSE(aliased);
}

TEST(PixelGdiPens, ExhaustedTableReturnsZeroUntilAPenIsDeleted) {
    Canvas canvas(2, 2);
    std::set<GdiObject> pens;
    for (int i = 0; i < PixelGdi::kPenCapacity; ++i)
        pens.insert(canvas.gdi.CreatePen(0, 1, kInk));
    EXPECT_EQ(pens.size(), static_cast<std::size_t>(PixelGdi::kPenCapacity));
    EXPECT_EQ(pens.count(0), 0u);
    EXPECT_EQ(canvas.gdi.LivePens(), PixelGdi::kPenCapacity);

    const GdiObject none = canvas.gdi.CreatePen(0, 1, kInk);
    EXPECT_EQ(none, 0u);
    EXPECT_EQ(canvas.gdi.LivePens(), PixelGdi::kPenCapacity);
    // The null pen is usable in every call without effect.
    canvas.gdi.SelectObject(canvas.dc, none);
    canvas.gdi.MoveToEx(canvas.dc, 0, 0, nullptr);
    canvas.gdi.LineTo(canvas.dc, 0, 2);
    canvas.gdi.FillRect(canvas.dc, RECT{0, 0, 2, 2}, none);
    EXPECT_FALSE(canvas.gdi.DeleteObject(none));
    EXPECT_TRUE(canvas.Inked().empty());

    canvas.gdi.DeleteObject(*pens.rbegin());
    EXPECT_NE(canvas.gdi.CreatePen(0, 1, kInk), 0u);
}

TEST(PixelGdiFaults, AFailingCallHasNoEffect) {
    FaultInjector faults;
    PixelGdi gdi(&faults);
    memory::MemoryDeviceContext dc(3);
    dc.Resize(4, 4, kBlank);
    const GdiObject pen = gdi.CreatePen(0, 1, kInk);
    gdi.SelectObject(dc, pen);

    faults.Fail("CreatePen");
    EXPECT_ANY_THROW(gdi.CreatePen(0, 1, kInk));
    EXPECT_EQ(gdi.LivePens(), 1);
    faults.Clear();

    faults.Fail("FillRect", 3);
    faults.Fail("LineTo", 3);
    faults.Fail("DeleteObject");
    EXPECT_ANY_THROW(gdi.FillRect(dc, RECT{0, 0, 4, 4}, pen));
    gdi.MoveToEx(dc, 1, 0, nullptr);
    EXPECT_ANY_THROW(gdi.LineTo(dc, 1, 4));
    EXPECT_ANY_THROW(gdi.DeleteObject(pen));
    EXPECT_EQ(gdi.LivePens(), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dc.PixelAt(x, y), kBlank);
}

}  // namespace
}  // namespace tarn::platform
