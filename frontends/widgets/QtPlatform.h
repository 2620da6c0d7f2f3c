// The Qt platform of the control: its child widgets made from the design data on the control's
// QWidget, the drawing calls on the bars' images, and the host services (message box, pause,
// ScheduleUpdated), which the embedding code may replace. Host waits go through the EventGate, so
// that the control's events wait while one is open.
#pragma once

#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "TarnSchedule/ScheduleWidget.h"
#include "frontends/widgets/QtWidgets.h"
#include "pixels/PixelGdi.h"
#include "platform/Platform.h"

class QPushButton;

namespace tarn::qt {

class BarWidget;
class EventGate;

class QtPlatform final : public platform::Platform, private platform::HostServices {
public:
    /// Creates the children on control at the design geometry and sizes control to its design
    /// size. raiseScheduleUpdated runs for every raise of the control's event.
    QtPlatform(QWidget& control, EventGate& gate, ScheduleHostServices services,
               std::function<void()> raiseScheduleUpdated);
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
    platform::HostServices& Host() override { return *this; }

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
    void SetServices(ScheduleHostServices services);

private:
    void MessageBox(std::string_view text, int style, std::string_view title) override;
    void Sleep(int milliseconds) override;
    void RaiseScheduleUpdated() override;

    QWidget& control_;
    EventGate& gate_;
    ScheduleHostServices services_;
    std::function<void()> raiseScheduleUpdated_;
    platform::PixelGdi gdi_;
    std::array<std::unique_ptr<QtButton>, 10> buttons_;
    std::array<std::unique_ptr<QtBar>, 8> bars_;
    QTimer qtimer_;
    QtTimer timer_;
    QtSurface surface_;
};

}  // namespace tarn::qt
