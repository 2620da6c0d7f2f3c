// The drawing calls implemented straight on pixel buffers, shared by every backend so that a bar
// holds the same pixels whichever toolkit shows it. Pens live in a fixed table: no call allocates.
#pragma once

#include <array>

#include "platform/FaultInjector.h"
#include "platform/Gdi.h"

namespace tarn::platform {

class PixelGdi final : public Gdi {
public:
    /// faults may be null; when given, every call first asks it whether to fail.
    explicit PixelGdi(FaultInjector* faults = nullptr);

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

    FaultInjector* faults_;
    std::array<Pen, kPenCapacity> pens_{};
    int live_ = 0;
    int nextFree_ = 0;
};

}  // namespace tarn::platform
