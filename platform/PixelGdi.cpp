#include "platform/PixelGdi.h"

#include <algorithm>
#include <cstdlib>

namespace tarn::platform {

namespace {

void Check(FaultInjector* faults, std::string_view operation, int target) {
    if (faults != nullptr) faults->Check(operation, target);
}

void PutPixel(const PixelView& view, std::int32_t x, std::int32_t y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) return;
    view.pixels[static_cast<std::ptrdiff_t>(y) * view.stride + x] = pixel;
}

}  // namespace

PixelGdi::PixelGdi(FaultInjector* faults) : faults_(faults) {}

// A handle is the slot number plus one in its low 16 bits and the slot's 32-bit generation above,
// so a handle of a deleted pen does not name the pens that later take its slot.
namespace {
constexpr GdiObject kSlotMask = 0xFFFF;
}

const PixelGdi::Pen* PixelGdi::Find(GdiObject object) const {
    const GdiObject slot = object & kSlotMask;
    if (slot == 0 || slot > pens_.size()) return nullptr;
    const Pen& pen = pens_[slot - 1];
    if (!pen.alive || (object >> 16) != pen.generation) return nullptr;
    return &pen;
}

GdiObject PixelGdi::CreatePen(int /*style*/, int /*width*/, ColourRef colour) {
    Check(faults_, "CreatePen", FaultInjector::kAnyTarget);
    for (int probe = 0; probe < kPenCapacity; ++probe) {
        const int slot = (nextFree_ + probe) % kPenCapacity;
        if (!pens_[slot].alive) {
            Pen& pen = pens_[slot];
            pen.alive = true;
            ++pen.generation;
            pen.colour = colour & 0xFFFFFFu;
            ++live_;
            nextFree_ = (slot + 1) % kPenCapacity;
            return (static_cast<GdiObject>(pen.generation) << 16) |
                   static_cast<GdiObject>(slot + 1);
        }
    }
    return 0;
}

GdiObject PixelGdi::SelectObject(DeviceContext& dc, GdiObject object) {
    Check(faults_, "SelectObject", dc.Target());
    if (object != 0 && Find(object) == nullptr) return 0;
    const GdiObject previous = dc.selected;
    dc.selected = object;
    return previous;
}

bool PixelGdi::DeleteObject(GdiObject object) {
    Check(faults_, "DeleteObject", FaultInjector::kAnyTarget);
    if (Find(object) == nullptr) return false;
    pens_[(object & kSlotMask) - 1].alive = false;
    --live_;
    return true;
}

bool PixelGdi::MoveToEx(DeviceContext& dc, std::int32_t x, std::int32_t y, POINTAPI* previous) {
    Check(faults_, "MoveToEx", dc.Target());
    if (previous != nullptr) *previous = POINTAPI{dc.currentX, dc.currentY};
    dc.currentX = x;
    dc.currentY = y;
    return true;
}

bool PixelGdi::LineTo(DeviceContext& dc, std::int32_t x, std::int32_t y) {
    Check(faults_, "LineTo", dc.Target());
    const Pen* pen = Find(dc.selected);
    const PixelView view = dc.Pixels();
    if (pen != nullptr) {
        const std::uint32_t pixel = PixelOf(pen->colour);
        std::int64_t x0 = dc.currentX;
        std::int64_t y0 = dc.currentY;
        const bool outside = (x0 < 0 && x < 0) || (y0 < 0 && y < 0) ||
                             (x0 >= view.width && x >= view.width) ||
                             (y0 >= view.height && y >= view.height);
        if (outside) {
            // Nothing of the line lies on the pixels.
        } else if (x0 == x) {
            // The control draws vertical marks: fill the clipped column directly. The end
            // point is excluded, so the rows run from y0 up to but not including y.
            if (x0 >= 0 && x0 < view.width) {
                std::int64_t from = y0 < y ? y0 : static_cast<std::int64_t>(y) + 1;
                std::int64_t to = y0 < y ? static_cast<std::int64_t>(y) - 1 : y0;
                from = std::max<std::int64_t>(from, 0);
                to = std::min<std::int64_t>(to, view.height - 1);
                for (std::int64_t row = from; row <= to; ++row)
                    view.pixels[row * view.stride + x0] = pixel;
            }
        } else {
            // Bresenham from the current position towards (x, y), end point excluded.
            const std::int64_t dx = std::llabs(x - x0);
            const std::int64_t dy = -std::llabs(y - y0);
            const std::int64_t sx = x0 < x ? 1 : -1;
            const std::int64_t sy = y0 < y ? 1 : -1;
            std::int64_t error = dx + dy;
            while (!(x0 == x && y0 == y)) {
                if (x0 >= 0 && y0 >= 0 && x0 < view.width && y0 < view.height)
                    PutPixel(view, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                             pixel);
                const std::int64_t doubled = 2 * error;
                if (doubled >= dy) {
                    error += dy;
                    x0 += sx;
                }
                if (doubled <= dx) {
                    error += dx;
                    y0 += sy;
                }
            }
        }
    }
    dc.currentX = x;
    dc.currentY = y;
    return pen != nullptr;
}

int PixelGdi::FillRect(DeviceContext& dc, const RECT& rect, GdiObject object) {
    Check(faults_, "FillRect", dc.Target());
    const Pen* pen = Find(object);
    if (pen == nullptr) return 0;
    const PixelView view = dc.Pixels();
    const std::int32_t left = std::max<std::int32_t>(rect.Left, 0);
    const std::int32_t top = std::max<std::int32_t>(rect.Top, 0);
    const std::int32_t right = std::min<std::int32_t>(rect.right, view.width);
    const std::int32_t bottom = std::min<std::int32_t>(rect.bottom, view.height);
    if (left >= right || top >= bottom) return 1;
    const std::uint32_t pixel = PixelOf(pen->colour);
    for (std::int32_t row = top; row < bottom; ++row) {
        std::uint32_t* line = view.pixels + static_cast<std::ptrdiff_t>(row) * view.stride;
        std::fill(line + left, line + right, pixel);
    }
    return 1;
}

bool PixelGdi::TextOutA(DeviceContext& dc, std::int32_t x, std::int32_t y, const char* text,
                        int length) {
    Check(faults_, "TextOutA", dc.Target());
    if (text == nullptr || length < 0) return false;
    dc.DrawText(x, y, std::string_view(text, static_cast<std::size_t>(length)));
    return true;
}

}  // namespace tarn::platform
