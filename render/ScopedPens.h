// The pens of one drawing operation: made at its start, deleted at its end, and deleted too when an
// error ends the operation early, so that no pen outlives the call.
#pragma once

#include <array>

#include "platform/Gdi.h"

namespace tarn::render {

class ScopedPens {
public:
    explicit ScopedPens(platform::Gdi& gdi) : gdi_(gdi) {}
    ScopedPens(const ScopedPens&) = delete;
    ScopedPens& operator=(const ScopedPens&) = delete;
    ~ScopedPens() {
        // Already unwinding from the error that ended the operation: each pen left is tried
        // once, and one that still cannot be deleted is the platform's to recover.
        while (count_ > 0) {
            try {
                gdi_.DeleteObject(pens_[--count_]);
            } catch (...) {
            }
        }
    }

    /// A solid pen of width 1 in the given colour.
    platform::GdiObject Make(platform::ColourRef colour) {
        const platform::GdiObject pen = gdi_.CreatePen(0, 1, colour);
        pens_[count_++] = pen;
        return pen;
    }

    /// Deletes every pen made here; the normal end of an operation. A pen whose deletion fails
    /// stays on the list, so that the destructor tries it again.
    void DeleteAll() {
        while (count_ > 0) {
            gdi_.DeleteObject(pens_[count_ - 1]);
            --count_;
        }
    }

private:
    platform::Gdi& gdi_;
    std::array<platform::GdiObject, 4> pens_{};
    int count_ = 0;
};

/// One fill: select the pen, fill the rectangle in its colour, select the previous object back.
inline void FillWithPen(platform::Gdi& gdi, platform::DeviceContext& dc, const platform::RECT& rect,
                        platform::GdiObject pen) {
    const platform::GdiObject previous = gdi.SelectObject(dc, pen);
    gdi.FillRect(dc, rect, pen);
    if (previous != 0) gdi.SelectObject(dc, previous);
}

}  // namespace tarn::render
