// In-memory widgets: buttons that hold caption, enabled state and geometry; bars that hold real
// pixels behind a 2-pixel frame; a timer that fires only when its tick is delivered; the
// control's surface with its own pixels and a record of the texts written on it. Pixels live in
// SharedRowImages, so a widget of any height costs memory for its width only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pixels/PixelGdi.h"
#include "platform/FaultCheck.h"
#include "platform/Widgets.h"

namespace tarn::platform::memory {

/// Geometry shared by the in-memory widgets; names are the fault-injection operation names.
class MemoryGeometry {
public:
    MemoryGeometry(const FaultPoint& faults, int target, int left, int top, int width, int height);

    float GetLeft() { return Read("Left", left_); }
    float GetTop() { return Read("Top", top_); }
    float GetWidth() { return Read("Width", width_); }
    float GetHeight() { return Read("Height", height_); }
    void PutLeft(float value) { left_ = Accept("Left", value, false); }
    void PutTop(float value) { top_ = Accept("Top", value, false); }
    void PutWidth(float value);
    void PutHeight(float value);
    void DoRefresh();

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

protected:
    virtual void SizeChanged() {}
    const FaultPoint& faults_;
    int target_;

private:
    float Read(const char* operation, int value);
    int Accept(const char* operation, float value, bool isSize);
    int left_, top_, width_, height_;
};

/// A widget interface whose geometry calls are served by MemoryGeometry.
template <class Interface>
class MemoryWidget : public Interface, public MemoryGeometry {
public:
    using MemoryGeometry::MemoryGeometry;

    float Left() override { return GetLeft(); }
    float Top() override { return GetTop(); }
    float Width() override { return GetWidth(); }
    float Height() override { return GetHeight(); }
    void SetLeft(float value) override { PutLeft(value); }
    void SetTop(float value) override { PutTop(value); }
    void SetWidth(float value) override { PutWidth(value); }
    void SetHeight(float value) override { PutHeight(value); }
    void Refresh() override { DoRefresh(); }
};

class MemoryButton final : public MemoryWidget<CommandButton> {
public:
    MemoryButton(const FaultPoint& faults, int target, std::string caption, int left, int top,
                 int width, int height);

    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    bool Enabled() override;
    void SetEnabled(bool enabled) override;

    const std::string& caption() const { return caption_; }
    bool enabled() const { return enabled_; }

private:
    std::string caption_;
    bool enabled_ = true;
};

/// A device context over an image that records the texts drawn on it.
class MemoryDeviceContext final : public DeviceContext {
public:
    struct Text {
        std::int32_t x;
        std::int32_t y;
        std::string text;
    };

    explicit MemoryDeviceContext(int target) : target_(target) {}
    PixelView Pixels() override { return image_.Dense(); }
    SharedRowImage* SharedRows() override { return &image_; }
    double PixelRatio() const override { return ratio_; }
    /// The density the context's pixels are kept at; its owner sizes them to match.
    void SetPixelRatio(double ratio) { ratio_ = ratio; }
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text) override;
    int Target() const override { return target_; }

    /// A new size starts again from fill; the same size keeps the pixels, as a toolkit's
    /// widget does.
    void Resize(int width, int height, std::uint32_t fill);
    void Fill(std::uint32_t pixel);
    std::uint32_t PixelAt(int x, int y) const { return image_.PixelAt(x, y); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const SharedRowImage& image() const { return image_; }
    std::vector<Text> texts;

private:
    int target_;
    double ratio_ = 1.0;
    SharedRowImage image_;
};

class MemoryBar final : public MemoryWidget<PictureBox> {
public:
    MemoryBar(const FaultPoint& faults, int index, int left, int top, int width, int height);

    float ScaleWidth() override;
    float ScaleHeight() override;
    DeviceContext& hDC() override;
    void Cls() override;
    void ClearPicture() override;

    /// Inner size in logical pixels: the outer size less the frame on both sides, never negative.
    int innerWidth() const;
    int innerHeight() const;
    /// Device pixels per logical pixel: the inner pixels are kept at this density (1 to 4). A new
    /// ratio starts them again from the background colour, as a new inner size does.
    void SetPixelRatio(double ratio);
    MemoryDeviceContext& context() { return dc_; }
    const MemoryDeviceContext& context() const { return dc_; }

private:
    void SizeChanged() override;
    MemoryDeviceContext dc_;
};

class MemoryTimer final : public Timer {
public:
    MemoryTimer(const FaultPoint& faults, int interval) : faults_(faults), interval_(interval) {}
    bool Enabled() override;
    void SetEnabled(bool enabled) override;
    int Interval() override { return interval_; }
    bool armed() const { return enabled_; }

private:
    const FaultPoint& faults_;
    int interval_;
    bool enabled_ = false;
};

class MemorySurface final : public ControlSurface {
public:
    MemorySurface(const FaultPoint& faults, int width, int height);
    DeviceContext& hDC() override;
    void Clear() override;
    double Width() override;
    double Height() override;

    /// The host's side of a resize: the new size, without the control's resize event.
    void SetSize(int width, int height);
    MemoryDeviceContext& context() { return dc_; }
    const MemoryDeviceContext& context() const { return dc_; }

private:
    const FaultPoint& faults_;
    MemoryDeviceContext dc_;
};

}  // namespace tarn::platform::memory
