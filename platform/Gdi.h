// The drawing interface of the control: device contexts of the bars and of the control's surface,
// pens, and the handful of line, fill and text calls the control draws with.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Colour.h"

namespace tarn::platform {

class SharedRowImage;

/// A rectangle; right and bottom are exclusive.
struct RECT {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

/// A point; receives the previous position of MoveToEx.
struct POINTAPI {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

/// A drawing object (a pen); 0 is no object.
using GdiObject = std::uint64_t;

/// A view of 32-bit pixels (0xFFRRGGBB), row by row; stride counts pixels.
struct PixelView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

/// The drawing state of one bar or of the control's surface.
class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    /// The pixels drawn into, valid until the widget is resized.
    virtual PixelView Pixels() = 0;
    /// Draws single-byte text with its top-left corner at (x, y) in the current font and colours.
    virtual void DrawText(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    /// Identifies the context for fault injection: the bar index, or kSurfaceTarget.
    virtual int Target() const = 0;
    /// The image behind the context when its pixels are kept as shared rows (the bars of every
    /// backend, the in-memory surface): the drawing calls then fill it directly rather than
    /// through the dense view of Pixels(). Null for a context that has only a dense view.
    virtual SharedRowImage* SharedRows() { return nullptr; }
    /// Device pixels per logical pixel of the context's pixels: a bar of logical inner width W
    /// holds about W times this many columns. 1 for a context drawn at logical density.
    virtual double PixelRatio() const { return 1.0; }

    static constexpr int kSurfaceTarget = 8;

    // State kept for the drawing calls.
    GdiObject selected = 0;
    std::int32_t currentX = 0;
    std::int32_t currentY = 0;
};

/// The drawing calls. A failing call throws PlatformError; results that the control never checks
/// are still returned as the classic calls return them.
class Gdi {
public:
    virtual ~Gdi() = default;

    /// A new pen (style 0 solid, width 1 are the only ones the control makes); 0 when none is left.
    virtual GdiObject CreatePen(int style, int width, ColourRef colour) = 0;
    /// Makes the pen current in dc and returns the previously selected one (0 for none).
    virtual GdiObject SelectObject(DeviceContext& dc, GdiObject object) = 0;
    /// Destroys the pen; false when it is no pen.
    virtual bool DeleteObject(GdiObject object) = 0;
    /// Moves the current position to (x, y); the old one goes to previous when given.
    virtual bool MoveToEx(DeviceContext& dc, std::int32_t x, std::int32_t y,
                          POINTAPI* previous) = 0;
    /// A line in the current pen from the current position to (x, y), end point excluded.
    virtual bool LineTo(DeviceContext& dc, std::int32_t x, std::int32_t y) = 0;
    /// Fills the rectangle solid in the colour of the given pen.
    virtual int FillRect(DeviceContext& dc, const RECT& rect, GdiObject pen) = 0;
    /// Draws length characters of text with their top-left corner at (x, y).
    virtual bool TextOutA(DeviceContext& dc, std::int32_t x, std::int32_t y, const char* text,
                          int length) = 0;
};

}  // namespace tarn::platform
