// The drawing calls implemented straight on pixel buffers, shared by every backend so that a bar
// holds the same pixels whichever toolkit shows it. Pens live in a fixed table: no call allocates.
// The buffers behind the control's own contexts are SharedRowImages, whose alike rows share one
// buffer, so that a bar or surface of any height costs memory for its width only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/FaultCheck.h"
#include "platform/Gdi.h"

namespace tarn::platform {

/// A 32-bit image (0xFFRRGGBB pixels) whose rows share one buffer for as long as every fill has
/// treated them alike. The control paints bars from full-height bands and vertical marks, so a
/// bar holds a handful of distinct rows however high it is. Dense() turns the image into an
/// ordinary row-major buffer for callers that write pixels themselves; it stays so until Reset.
class SharedRowImage {
public:
    /// A new size, every pixel set to pixel. A size below 0 counts as 0.
    void Reset(int width, int height, std::uint32_t pixel);
    int width() const { return width_; }
    int height() const { return height_; }
    /// The pixel at (x, y); 0 outside the image.
    std::uint32_t PixelAt(int x, int y) const;
    /// The width() pixels of row y, 0 <= y < height(), valid until the next fill or reset.
    const std::uint32_t* Row(int y) const;
    /// Fills the rectangle, clipped to the image; right and bottom are exclusive.
    void Fill(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::uint32_t pixel);
    /// The pixels as one row-major buffer, valid until the next Reset.
    PixelView Dense();
    /// Pixels held in buffers, free ones included: what the image costs.
    std::size_t StoredPixels() const;

private:
    struct Buffer {
        std::vector<std::uint32_t> pixels;
        int rows = 0;  // image rows showing this buffer; 0 when free
    };
    int TakeBuffer();
    void Release(int buffer);

    int width_ = 0;
    int height_ = 0;
    std::vector<int> rowBuffer_;  // per image row, the buffer it shows
    std::vector<Buffer> buffers_;
    std::vector<int> freeBuffers_;
    // Scratch of Fill, per buffer: rows of the filled range that show it, and where they go.
    std::vector<int> rowsInRange_;
    std::vector<int> movedTo_;
    std::vector<int> touched_;
    bool dense_ = false;
    std::vector<std::uint32_t> densePixels_;
};

class PixelGdi final : public Gdi {
public:
    /// Attaches faults (or none) for the calls from now on: every call first asks it whether to
    /// fail.
    void SetFaults(FaultCheck* faults) { faults_ = faults; }

    GdiObject CreatePen(int style, int width, ColourRef colour) override;
    GdiObject SelectObject(DeviceContext& dc, GdiObject object) override;
    bool DeleteObject(GdiObject object) override;
    bool MoveToEx(DeviceContext& dc, std::int32_t x, std::int32_t y, POINTAPI* previous) override;
    bool LineTo(DeviceContext& dc, std::int32_t x, std::int32_t y) override;
    int FillRect(DeviceContext& dc, const RECT& rect, GdiObject pen) override;
    bool TextOutA(DeviceContext& dc, std::int32_t x, std::int32_t y, const char* text,
                  int length) override;

    /// Number of pens alive: a drawing operation that leaks pens shows here.
    int LivePens() const { return live_; }

    static constexpr int kPenCapacity = 256;

private:
    struct Pen {
        bool alive = false;
        std::uint32_t generation = 0;  // bumped at every reuse of the slot
        ColourRef colour = 0;
    };
    const Pen* Find(GdiObject object) const;

    FaultCheck* faults_ = nullptr;
    std::array<Pen, kPenCapacity> pens_{};
    int live_ = 0;
    int nextFree_ = 0;
};

}  // namespace tarn::platform
