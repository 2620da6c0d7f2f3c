#include "frontends/memory/MemoryPlatform.h"

#include <string>

#include "platform/DesignData.h"
#include "platform/PlatformError.h"

namespace tarn::platform::memory {

MemoryPlatform::MemoryPlatform(HostCallbacks callbacks)
    : callbacks_(std::move(callbacks)),
      timer_(faults_, design::kTimerIntervalMs),
      surface_(faults_, design::kControlWidth, design::kControlHeight) {
    using design::Pixels;
    for (int i = 0; i < 8; ++i) {
        const design::WidgetDesign button = design::DayButton(i);
        buttons_[i] = std::make_unique<MemoryButton>(
            faults_, kButtonTargetBase + i, std::string(button.caption), Pixels(button.left),
            Pixels(button.top), Pixels(button.width), Pixels(button.height));
        const design::WidgetDesign bar = design::DayBar(i);
        bars_[i] = std::make_unique<MemoryBar>(faults_, i, Pixels(bar.left), Pixels(bar.top),
                                               Pixels(bar.width), Pixels(bar.height));
    }
    int target = kButtonTargetBase + 8;
    for (const design::WidgetDesign* button : {&design::kEnableButton, &design::kDisableButton}) {
        buttons_[target - kButtonTargetBase] = std::make_unique<MemoryButton>(
            faults_, target, std::string(button->caption), Pixels(button->left),
            Pixels(button->top), Pixels(button->width), Pixels(button->height));
        ++target;
    }
}

CommandButton& MemoryPlatform::DayButton(int index) {
    faults_.Check("DayButton", index);
    if (index < 0 || index > 7) throw PlatformError("Control array element does not exist");
    return *buttons_[index];
}

CommandButton& MemoryPlatform::EnableButton() {
    return *buttons_[8];
}

CommandButton& MemoryPlatform::DisableButton() {
    return *buttons_[9];
}

PictureBox& MemoryPlatform::DayBar(int index) {
    faults_.Check("DayBar", index);
    if (index < 0 || index > 7) throw PlatformError("Control array element does not exist");
    return *bars_[index];
}

void MemoryPlatform::SetPixelRatio(double ratio) {
    for (const auto& bar : bars_)
        bar->SetPixelRatio(ratio);
}

MemoryButton& MemoryPlatform::Button(int index) {
    return *buttons_.at(index);
}

MemoryBar& MemoryPlatform::Bar(int index) {
    return *bars_.at(index);
}

void MemoryPlatform::MessageBox(std::string_view text, int style, std::string_view title) {
    faults_.Check("MessageBox");
    ++messageBoxes_;
    if (callbacks_.messageBox) callbacks_.messageBox(text, style, title);
}

void MemoryPlatform::Sleep(int milliseconds) {
    faults_.Check("Sleep");
    ++sleeps_;
    if (callbacks_.sleep) callbacks_.sleep(milliseconds);
}

void MemoryPlatform::RaiseScheduleUpdated() {
    faults_.Check("RaiseScheduleUpdated");
    ++scheduleUpdates_;
    if (callbacks_.scheduleUpdated) callbacks_.scheduleUpdated();
}

}  // namespace tarn::platform::memory
