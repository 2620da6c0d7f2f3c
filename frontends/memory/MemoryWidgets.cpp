#include "frontends/memory/MemoryWidgets.h"

#include <algorithm>

#include "platform/Colour.h"
#include "platform/GeometryValue.h"
#include "platform/PixelRatio.h"

namespace tarn::platform::memory {

namespace {

constexpr int kFrame = 2;

}  // namespace

// --- geometry -------------------------------------------------------------------------------

MemoryGeometry::MemoryGeometry(const FaultPoint& faults, int target, int left, int top, int width,
                               int height)
    : faults_(faults), target_(target), left_(left), top_(top), width_(width), height_(height) {}

float MemoryGeometry::Read(const char* operation, int value) {
    faults_.Check(operation, target_);
    return static_cast<float>(value);
}

int MemoryGeometry::Accept(const char* operation, float value, bool isSize) {
    faults_.Check(std::string("Set") + operation, target_);
    return AcceptGeometry(value, isSize, operation);
}

void MemoryGeometry::PutWidth(float value) {
    width_ = Accept("Width", value, true);
    SizeChanged();
}

void MemoryGeometry::PutHeight(float value) {
    height_ = Accept("Height", value, true);
    SizeChanged();
}

void MemoryGeometry::DoRefresh() {
    faults_.Check("Refresh", target_);
}

// --- buttons --------------------------------------------------------------------------------

MemoryButton::MemoryButton(const FaultPoint& faults, int target, std::string caption, int left,
                           int top, int width, int height)
    : MemoryWidget(faults, target, left, top, width, height), caption_(std::move(caption)) {}

std::string MemoryButton::Caption() {
    faults_.Check("Caption", target_);
    return caption_;
}

void MemoryButton::SetCaption(const std::string& caption) {
    faults_.Check("SetCaption", target_);
    caption_ = caption;
}

bool MemoryButton::Enabled() {
    faults_.Check("Enabled", target_);
    return enabled_;
}

void MemoryButton::SetEnabled(bool enabled) {
    faults_.Check("SetEnabled", target_);
    enabled_ = enabled;
}

// --- device contexts ------------------------------------------------------------------------

void MemoryDeviceContext::DrawText(std::int32_t x, std::int32_t y, std::string_view text) {
    texts.push_back(Text{x, y, std::string(text)});
}

void MemoryDeviceContext::Resize(int width, int height, std::uint32_t fill) {
    if (std::max(width, 0) == image_.width() && std::max(height, 0) == image_.height()) return;
    image_.Reset(width, height, fill);
}

void MemoryDeviceContext::Fill(std::uint32_t pixel) {
    image_.Fill(0, 0, image_.width(), image_.height(), pixel);
}

// --- bars -----------------------------------------------------------------------------------

MemoryBar::MemoryBar(const FaultPoint& faults, int index, int left, int top, int width, int height)
    : MemoryWidget(faults, index, left, top, width, height), dc_(index) {
    SizeChanged();
}

void MemoryBar::SizeChanged() {
    // A bar whose inner size changed starts again from its background, as the Qt bar does; one
    // whose inner size stayed keeps what was drawn on it.
    const double ratio = dc_.PixelRatio();
    dc_.Resize(DeviceLength(innerWidth(), ratio),
               DeviceLength(innerHeight(), ratio), PixelOf(kBackgroundColour));
}

int MemoryBar::innerWidth() const {
    return std::max(width() - 2 * kFrame, 0);
}

int MemoryBar::innerHeight() const {
    return std::max(height() - 2 * kFrame, 0);
}

void MemoryBar::SetPixelRatio(double ratio) {
    ratio = UsableRatio(ratio);
    if (ratio == dc_.PixelRatio()) return;
    dc_.SetPixelRatio(ratio);
    dc_.Resize(0, 0, PixelOf(kBackgroundColour));
    SizeChanged();
}

float MemoryBar::ScaleWidth() {
    faults_.Check("ScaleWidth", target_);
    return static_cast<float>(innerWidth());
}

float MemoryBar::ScaleHeight() {
    faults_.Check("ScaleHeight", target_);
    return static_cast<float>(innerHeight());
}

DeviceContext& MemoryBar::hDC() {
    faults_.Check("hDC", target_);
    return dc_;
}

void MemoryBar::Cls() {
    faults_.Check("Cls", target_);
    dc_.Fill(PixelOf(kBackgroundColour));
}

void MemoryBar::ClearPicture() {
    faults_.Check("ClearPicture", target_);
}

// --- timer ----------------------------------------------------------------------------------

bool MemoryTimer::Enabled() {
    faults_.Check("TimerEnabled");
    return enabled_;
}

void MemoryTimer::SetEnabled(bool enabled) {
    faults_.Check("SetTimerEnabled");
    enabled_ = enabled;
}

// --- surface --------------------------------------------------------------------------------

MemorySurface::MemorySurface(const FaultPoint& faults, int width, int height)
    : faults_(faults), dc_(DeviceContext::kSurfaceTarget) {
    dc_.Resize(width, height, PixelOf(kBackgroundColour));
}

DeviceContext& MemorySurface::hDC() {
    faults_.Check("SurfaceHDC");
    return dc_;
}

void MemorySurface::Clear() {
    faults_.Check("ClearSurface");
    dc_.Fill(PixelOf(kBackgroundColour));
    dc_.texts.clear();
}

double MemorySurface::Width() {
    faults_.Check("ControlWidth");
    return dc_.width();
}

double MemorySurface::Height() {
    faults_.Check("ControlHeight");
    return dc_.height();
}

void MemorySurface::SetSize(int width, int height) {
    dc_.Resize(width, height, PixelOf(kBackgroundColour));
}

}  // namespace tarn::platform::memory
