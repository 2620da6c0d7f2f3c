// The in-memory platform: the control's widgets, drawing and host services with no toolkit.
// Message boxes are answered at once and pauses are not waited; both, and every raise of
// ScheduleUpdated, are passed to the callbacks the host sets (or only counted when it sets none).
// A test may attach a fault check that makes any operation fail.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frontends/memory/MemoryWidgets.h"
#include "pixels/PixelGdi.h"
#include "platform/Platform.h"

namespace tarn::platform::memory {

/// What the host is told of; any callback may be empty.
struct HostCallbacks {
    std::function<void(std::string_view text, int style, std::string_view title)> messageBox;
    std::function<void(int milliseconds)> sleep;
    std::function<void()> scheduleUpdated;
};

class MemoryPlatform final : public Platform, private HostServices {
public:
    /// Creates the widgets from the design data, the control at its design size.
    explicit MemoryPlatform(HostCallbacks callbacks = {});

    CommandButton& DayButton(int index) override;
    CommandButton& EnableButton() override;
    CommandButton& DisableButton() override;
    PictureBox& DayBar(int index) override;
    Timer& InitTimer() override { return timer_; }
    ControlSurface& Surface() override { return surface_; }
    Gdi& Drawing() override { return gdi_; }
    HostServices& Host() override { return *this; }

    /// Fault-injection targets: bars 0 to 7, the surface 8, buttons kButtonTargetBase + 0 to 9
    /// (day buttons, then Enable and Disable).
    static constexpr int kButtonTargetBase = 10;

    /// Attaches check (or none): every widget, drawing and host operation asks it first.
    void AttachFaults(FaultCheck* check) {
        faults_.Attach(check);
        gdi_.SetFaults(check);
    }
    /// The device pixel ratio of the screen the control is on (1 to 4): every bar keeps its pixels
    /// at that density. A new ratio starts the bars' pixels again; the control redraws them on its
    /// next redraw.
    void SetPixelRatio(double ratio);
    HostCallbacks& Callbacks() { return callbacks_; }

    // Inspection, never failing.
    MemoryButton& Button(int index);  // 0 to 7 day buttons, 8 Enable, 9 Disable
    MemoryBar& Bar(int index);
    MemoryTimer& TimerWidget() { return timer_; }
    MemorySurface& SurfaceWidget() { return surface_; }
    const PixelGdi& Pens() const { return gdi_; }
    int MessageBoxes() const { return messageBoxes_; }
    int Sleeps() const { return sleeps_; }
    int ScheduleUpdates() const { return scheduleUpdates_; }

private:
    void MessageBox(std::string_view text, int style, std::string_view title) override;
    void Sleep(int milliseconds) override;
    void RaiseScheduleUpdated() override;

    HostCallbacks callbacks_;
    FaultPoint faults_;
    PixelGdi gdi_;
    std::array<std::unique_ptr<MemoryButton>, 10> buttons_;
    std::array<std::unique_ptr<MemoryBar>, 8> bars_;
    MemoryTimer timer_;
    MemorySurface surface_;
    int messageBoxes_ = 0;
    int sleeps_ = 0;
    int scheduleUpdates_ = 0;
};

}  // namespace tarn::platform::memory
