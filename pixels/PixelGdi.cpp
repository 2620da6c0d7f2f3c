#include "pixels/PixelGdi.h"

#include <algorithm>
#include <cstdlib>

namespace tarn::platform {

namespace {

void Check(FaultCheck* faults, std::string_view operation, int target) {
    if (faults != nullptr) faults->Check(operation, target);
}

/// The check of a call on dc; the context is asked for its target only when faults are attached.
void Check(FaultCheck* faults, std::string_view operation, const DeviceContext& dc) {
    if (faults != nullptr) faults->Check(operation, dc.Target());
}

/// Where a drawing call writes: the shared rows of the control's own contexts, or the dense view
/// of any other context. Every fill is already clipped.
class Target {
public:
    explicit Target(DeviceContext& dc) : image_(dc.SharedRows()) {
        if (image_ != nullptr) {
            width_ = image_->width();
            height_ = image_->height();
        } else {
            view_ = dc.Pixels();
            width_ = view_.width;
            height_ = view_.height;
        }
    }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

    void Fill(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::uint32_t pixel) {
        if (image_ != nullptr) {
            image_->Fill(left, top, right, bottom, pixel);
            return;
        }
        for (std::int32_t row = top; row < bottom; ++row) {
            std::uint32_t* line = view_.pixels + static_cast<std::ptrdiff_t>(row) * view_.stride;
            std::fill(line + left, line + right, pixel);
        }
    }

    void Put(std::int32_t x, std::int32_t y, std::uint32_t pixel) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        Fill(x, y, x + 1, y + 1, pixel);
    }

private:
    SharedRowImage* image_ = nullptr;
    PixelView view_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace

// --- shared-row image -----------------------------------------------------------------------

void SharedRowImage::Reset(int width, int height, std::uint32_t pixel) {
    const int newWidth = std::max(width, 0);
    if (dense_ || newWidth != width_) {
        // Buffers of another width are of no further use: give their memory back.
        buffers_.clear();
        freeBuffers_.clear();
    } else {
        freeBuffers_.clear();
        for (int buffer = 0; buffer < static_cast<int>(buffers_.size()); ++buffer) {
            buffers_[buffer].rows = 0;
            freeBuffers_.push_back(buffer);
        }
    }
    dense_ = false;
    std::vector<std::uint32_t>().swap(densePixels_);
    width_ = newWidth;
    height_ = std::max(height, 0);
    rowBuffer_.clear();
    if (width_ == 0 || height_ == 0) return;
    const int buffer = TakeBuffer();
    std::fill(buffers_[buffer].pixels.begin(), buffers_[buffer].pixels.end(), pixel);
    buffers_[buffer].rows = height_;
    rowBuffer_.assign(static_cast<std::size_t>(height_), buffer);
}

std::uint32_t SharedRowImage::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Row(y)[x];
}

const std::uint32_t* SharedRowImage::Row(int y) const {
    if (dense_)
        return densePixels_.data() +
               static_cast<std::ptrdiff_t>(y) * static_cast<std::ptrdiff_t>(width_);
    return buffers_[static_cast<std::size_t>(rowBuffer_[static_cast<std::size_t>(y)])]
        .pixels.data();
}

int SharedRowImage::TakeBuffer() {
    if (!freeBuffers_.empty()) {
        const int buffer = freeBuffers_.back();
        freeBuffers_.pop_back();
        return buffer;
    }
    buffers_.push_back(Buffer{std::vector<std::uint32_t>(static_cast<std::size_t>(width_)), 0});
    rowsInRange_.resize(buffers_.size(), 0);
    movedTo_.resize(buffers_.size(), 0);
    return static_cast<int>(buffers_.size()) - 1;
}

void SharedRowImage::Release(int buffer) {
    if (--buffers_[static_cast<std::size_t>(buffer)].rows == 0) freeBuffers_.push_back(buffer);
}

void SharedRowImage::Fill(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, std::uint32_t pixel) {
    left = std::max<std::int32_t>(left, 0);
    top = std::max<std::int32_t>(top, 0);
    right = std::min<std::int32_t>(right, width_);
    bottom = std::min<std::int32_t>(bottom, height_);
    if (left >= right || top >= bottom) return;
    if (dense_) {
        for (std::int32_t row = top; row < bottom; ++row) {
            std::uint32_t* line = densePixels_.data() + static_cast<std::ptrdiff_t>(row) * width_;
            std::fill(line + left, line + right, pixel);
        }
        return;
    }
    if (left == 0 && right == width_) {
        // Whole rows become alike: they all take one buffer.
        const int first = rowBuffer_[static_cast<std::size_t>(top)];
        const Buffer& only = buffers_[static_cast<std::size_t>(first)];
        if (only.rows == bottom - top &&
            std::all_of(only.pixels.begin(), only.pixels.end(),
                        [pixel](std::uint32_t p) { return p == pixel; }) &&
            std::all_of(rowBuffer_.begin() + top, rowBuffer_.begin() + bottom,
                        [first](int buffer) { return buffer == first; }))
            return;
        for (std::int32_t row = top; row < bottom; ++row)
            Release(rowBuffer_[static_cast<std::size_t>(row)]);
        const int buffer = TakeBuffer();
        Buffer& filled = buffers_[static_cast<std::size_t>(buffer)];
        std::fill(filled.pixels.begin(), filled.pixels.end(), pixel);
        filled.rows = bottom - top;
        std::fill(rowBuffer_.begin() + top, rowBuffer_.begin() + bottom, buffer);
        return;
    }
    // Part of each row. Mostly every row of the range shows one buffer (a band, or a mark across
    // rows treated alike so far): that buffer is changed in place when no other row shows it,
    // else copied once for the range.
    const int first = rowBuffer_[static_cast<std::size_t>(top)];
    const auto rangeBegin = rowBuffer_.begin() + top;
    const auto rangeEnd = rowBuffer_.begin() + bottom;
    if (std::find_if(rangeBegin, rangeEnd, [first](int buffer) { return buffer != first; }) ==
        rangeEnd) {
        std::vector<std::uint32_t>& pixels = buffers_[static_cast<std::size_t>(first)].pixels;
        if (std::all_of(pixels.begin() + left, pixels.begin() + right,
                        [pixel](std::uint32_t p) { return p == pixel; }))
            return;
        if (buffers_[static_cast<std::size_t>(first)].rows == bottom - top) {
            std::fill(pixels.begin() + left, pixels.begin() + right, pixel);
            return;
        }
        const int copy = TakeBuffer();  // may move buffers_: index again below
        Buffer& target = buffers_[static_cast<std::size_t>(copy)];
        const Buffer& source = buffers_[static_cast<std::size_t>(first)];
        target.pixels.assign(source.pixels.begin(), source.pixels.end());
        std::fill(target.pixels.begin() + left, target.pixels.begin() + right, pixel);
        target.rows = bottom - top;
        buffers_[static_cast<std::size_t>(first)].rows -= bottom - top;
        std::fill(rangeBegin, rangeEnd, copy);
        return;
    }
    // Rows showing different buffers, mostly bands stacked one under another (a tick mark down
    // several bands): each run of rows showing one buffer that no row outside the run shows is
    // changed in place. Runs changed so are then already right for the general pass below.
    {
        std::int32_t row = top;
        while (row < bottom) {
            const int buffer = rowBuffer_[static_cast<std::size_t>(row)];
            std::int32_t end = row + 1;
            while (end < bottom && rowBuffer_[static_cast<std::size_t>(end)] == buffer)
                ++end;
            Buffer& shown = buffers_[static_cast<std::size_t>(buffer)];
            if (shown.rows != end - row) break;
            std::fill(shown.pixels.begin() + left, shown.pixels.begin() + right, pixel);
            row = end;
        }
        if (row == bottom) return;
    }
    // Rows showing different buffers: each is changed in place when only rows of the range show
    // it, else copied once for those rows.
    touched_.clear();
    for (std::int32_t row = top; row < bottom; ++row) {
        const int buffer = rowBuffer_[static_cast<std::size_t>(row)];
        if (rowsInRange_[static_cast<std::size_t>(buffer)]++ == 0) touched_.push_back(buffer);
    }
    for (const int buffer : touched_) {
        const auto index = static_cast<std::size_t>(buffer);
        const auto span = [&](std::vector<std::uint32_t>& pixels) {
            return std::make_pair(pixels.begin() + left, pixels.begin() + right);
        };
        auto [from, to] = span(buffers_[index].pixels);
        movedTo_[index] = buffer;
        if (std::all_of(from, to, [pixel](std::uint32_t p) { return p == pixel; })) continue;
        if (rowsInRange_[index] == buffers_[index].rows) {
            std::fill(from, to, pixel);
            continue;
        }
        const int copy = TakeBuffer();  // may move buffers_: index again below
        Buffer& target = buffers_[static_cast<std::size_t>(copy)];
        target.pixels = buffers_[index].pixels;
        auto [copyFrom, copyTo] = span(target.pixels);
        std::fill(copyFrom, copyTo, pixel);
        target.rows = rowsInRange_[index];
        buffers_[index].rows -= rowsInRange_[index];
        movedTo_[index] = copy;
    }
    for (std::int32_t row = top; row < bottom; ++row) {
        int& buffer = rowBuffer_[static_cast<std::size_t>(row)];
        buffer = movedTo_[static_cast<std::size_t>(buffer)];
    }
    for (const int buffer : touched_)
        rowsInRange_[static_cast<std::size_t>(buffer)] = 0;
}

PixelView SharedRowImage::Dense() {
    if (!dense_) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) *
                                          static_cast<std::size_t>(height_));
        for (int row = 0; row < height_; ++row)
            std::copy_n(Row(row), width_,
                        pixels.begin() + static_cast<std::ptrdiff_t>(row) * width_);
        densePixels_ = std::move(pixels);
        dense_ = true;
        buffers_.clear();
        freeBuffers_.clear();
        rowBuffer_.clear();
    }
    return PixelView{densePixels_.data(), width_, height_, width_};
}

std::size_t SharedRowImage::StoredPixels() const {
    std::size_t pixels = densePixels_.capacity();
    for (const Buffer& buffer : buffers_)
        pixels += buffer.pixels.capacity();
    return pixels;
}

// --- drawing calls --------------------------------------------------------------------------

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
    Check(faults_, "CreatePen", FaultCheck::kAnyTarget);
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
    Check(faults_, "SelectObject", dc);
    if (object != 0 && Find(object) == nullptr) return 0;
    const GdiObject previous = dc.selected;
    dc.selected = object;
    return previous;
}

bool PixelGdi::DeleteObject(GdiObject object) {
    Check(faults_, "DeleteObject", FaultCheck::kAnyTarget);
    if (Find(object) == nullptr) return false;
    pens_[(object & kSlotMask) - 1].alive = false;
    --live_;
    return true;
}

bool PixelGdi::MoveToEx(DeviceContext& dc, std::int32_t x, std::int32_t y, POINTAPI* previous) {
    Check(faults_, "MoveToEx", dc);
    if (previous != nullptr) *previous = POINTAPI{dc.currentX, dc.currentY};
    dc.currentX = x;
    dc.currentY = y;
    return true;
}

bool PixelGdi::LineTo(DeviceContext& dc, std::int32_t x, std::int32_t y) {
    Check(faults_, "LineTo", dc);
    const Pen* pen = Find(dc.selected);
    Target target(dc);
    if (pen != nullptr) {
        const std::uint32_t pixel = PixelOf(pen->colour);
        const std::int64_t width = target.width();
        const std::int64_t height = target.height();
        std::int64_t x0 = dc.currentX;
        std::int64_t y0 = dc.currentY;
        const bool outside = (x0 < 0 && x < 0) || (y0 < 0 && y < 0) ||
                             (x0 >= width && x >= width) || (y0 >= height && y >= height);
        if (outside) {
            // Nothing of the line lies on the pixels.
        } else if (x0 == x) {
            // The control draws vertical marks: fill the clipped column directly. The end
            // point is excluded, so the rows run from y0 up to but not including y.
            if (x0 >= 0 && x0 < width) {
                std::int64_t from = y0 < y ? y0 : static_cast<std::int64_t>(y) + 1;
                std::int64_t to = y0 < y ? static_cast<std::int64_t>(y) - 1 : y0;
                from = std::max<std::int64_t>(from, 0);
                to = std::min<std::int64_t>(to, height - 1);
                if (from <= to)
                    target.Fill(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(from),
                                static_cast<std::int32_t>(x0 + 1),
                                static_cast<std::int32_t>(to + 1), pixel);
            }
        } else {
            // Bresenham from the current position towards (x, y), end point excluded.
            const std::int64_t dx = std::llabs(x - x0);
            const std::int64_t dy = -std::llabs(y - y0);
            const std::int64_t sx = x0 < x ? 1 : -1;
            const std::int64_t sy = y0 < y ? 1 : -1;
            std::int64_t error = dx + dy;
            while (!(x0 == x && y0 == y)) {
                if (x0 >= 0 && y0 >= 0 && x0 < width && y0 < height)
                    target.Put(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), pixel);
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
    Check(faults_, "FillRect", dc);
    const Pen* pen = Find(object);
    if (pen == nullptr) return 0;
    Target target(dc);
    const std::int32_t left = std::max<std::int32_t>(rect.Left, 0);
    const std::int32_t top = std::max<std::int32_t>(rect.Top, 0);
    const std::int32_t right = std::min<std::int32_t>(rect.right, target.width());
    const std::int32_t bottom = std::min<std::int32_t>(rect.bottom, target.height());
    if (left >= right || top >= bottom) return 1;
    target.Fill(left, top, right, bottom, PixelOf(pen->colour));
    return 1;
}

bool PixelGdi::TextOutA(DeviceContext& dc, std::int32_t x, std::int32_t y, const char* text,
                        int length) {
    Check(faults_, "TextOutA", dc);
    if (text == nullptr || length < 0) return false;
    dc.DrawText(x, y, std::string_view(text, static_cast<std::size_t>(length)));
    return true;
}

}  // namespace tarn::platform
