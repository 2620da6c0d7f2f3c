// The Qt platform of the control: its child widgets made from the design data on the control's
// QWidget and the drawing calls on the bars' images. The host services (message box, pause,
// ScheduleUpdated) are the controller's, which it is given.
#pragma once

#include <QTimer>
#include <array>
#include <memory>

#include "frontends/widgets/QtWidgets.h"
#include "pixels/PixelGdi.h"
#include "platform/Platform.h"

class QPushButton;

namespace tarn::qt {

class BarWidget;

class QtPlatform final : public platform::Platform {
public:
    /// Creates the children on control at the design geometry and sizes control to its design
    /// size. manualTimer: ticks come only from the host, never from the QTimer.
    QtPlatform(QWidget& control, platform::HostServices& host, bool manualTimer);
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;
    ~QtPlatform() override;

    platform::CommandButton& DayButton(int index) override;
    platform::CommandButton& EnableButton() override { return *buttons_[8]; }
    platform::CommandButton& DisableButton() override { return *buttons_[9]; }
    platform::PictureBox& DayBar(int index) override;
    platform::Timer& InitTimer() override { return timer_; }
    platform::ControlSurface& Surface() override { return surface_; }
    platform::Gdi& Drawing() override { return gdi_; }
    platform::HostServices& Host() override { return host_; }

    /// 0 to 7 the day buttons, 8 Enable, 9 Disable.
    QPushButton& ButtonWidget(int index) { return buttons_.at(index)->widget(); }
    BarWidget& Bar(int index) { return bars_.at(index)->widget(); }
    QTimer& RedrawTimer() { return qtimer_; }
    QtSurface& SurfaceImage() { return surface_; }
    /// Attaches check (or none) to the drawing calls, which ask it whether to fail; a control
    /// that nothing is attached to draws without the checks.
    void AttachFaults(platform::FaultCheck* check) { gdi_.SetFaults(check); }
    const platform::PixelGdi& Pens() const { return gdi_; }

    /// Asks for the repaint of what the drawing calls changed, at once rather than once the
    /// event being handled is done.
    void ShowChanges();

    bool TimerArmed() { return timer_.Enabled(); }
    /// Switches between the QTimer's ticks and the host's; the armed state stays.
    void SetManualTimer(bool manual) { timer_.SetManual(manual); }

private:
    platform::HostServices& host_;
    platform::PixelGdi gdi_;
    std::array<std::unique_ptr<QtButton>, 10> buttons_;
    std::array<std::unique_ptr<QtBar>, 8> bars_;
    QTimer qtimer_;
    QtTimer timer_;
    QtSurface surface_;
};

}  // namespace tarn::qt
