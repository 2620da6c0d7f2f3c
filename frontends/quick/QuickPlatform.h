// The Qt Quick platform of the control: its child widgets made from the design data as items of the
// editor, the drawing calls on the bars' pixels, and the redraw timer. The host services (message
// box, pause, ScheduleUpdated) are the controller's, which it is given. The ten buttons keep their
// caption, state and geometry here and show them on Qt Quick Controls buttons once the editor has a
// QML engine to make those with.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "controller/QtTimer.h"
#include "frontends/quick/QuickItems.h"
#include "pixels/PixelGdi.h"
#include "platform/Platform.h"

class QQuickItem;

namespace tarn::quick {

/// Passes a button's clicked() on; a Controls button is a QML type with no C++ header to connect
/// to.
class ButtonRelay final : public QObject {
    Q_OBJECT
public:
    std::function<void()> onClicked;
public Q_SLOTS:
    void Clicked() {
        if (onClicked) onClicked();
    }
};

/// A command button: its caption, enabled state and geometry, shown on a Controls Button item when
/// there is one.
class QuickButton final : public platform::CommandButton {
public:
    QuickButton(std::string caption, QRect geometry)
        : caption_(std::move(caption)), geometry_(geometry) {}

    float Left() override { return static_cast<float>(geometry_.x()); }
    float Top() override { return static_cast<float>(geometry_.y()); }
    float Width() override { return static_cast<float>(geometry_.width()); }
    float Height() override { return static_cast<float>(geometry_.height()); }
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    void Refresh() override;
    std::string Caption() override { return caption_; }
    void SetCaption(const std::string& caption) override;
    bool Enabled() override { return enabled_; }
    void SetEnabled(bool enabled) override;

    /// Shows the button on item (a Controls Button), which takes its caption, state and geometry.
    void Attach(QQuickItem* item);
    /// The Controls button, null until the editor made it.
    QQuickItem* item() const { return item_; }
    QRect geometry() const { return geometry_; }

private:
    void Show();

    std::string caption_;
    QRect geometry_;
    bool enabled_ = true;
    QPointer<QQuickItem> item_;
};

/// A device context over a bar's pixels.
class BarContext final : public platform::DeviceContext {
public:
    BarContext(BarItem& bar, int index) : bar_(bar), index_(index) {}
    platform::PixelView Pixels() override { return bar_.DrawingView(); }
    platform::SharedRowImage* SharedRows() override { return &bar_.DrawingImage(); }
    /// A bar receives no text from the control; any text is dropped.
    void DrawText(std::int32_t, std::int32_t, std::string_view) override {}
    int Target() const override { return index_; }
    double PixelRatio() const override { return bar_.PixelRatio(); }

private:
    BarItem& bar_;
    int index_;
};

class QuickBar final : public platform::PictureBox {
public:
    QuickBar(BarItem& bar, int index) : bar_(bar), context_(bar, index) {}

    float Left() override { return static_cast<float>(bar_.x()); }
    float Top() override { return static_cast<float>(bar_.y()); }
    float Width() override { return static_cast<float>(bar_.width()); }
    float Height() override { return static_cast<float>(bar_.height()); }
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    void Refresh() override { bar_.update(); }
    float ScaleWidth() override { return static_cast<float>(bar_.innerSize().width()); }
    float ScaleHeight() override { return static_cast<float>(bar_.innerSize().height()); }
    platform::DeviceContext& hDC() override { return context_; }
    void Cls() override { bar_.Clear(); }
    void ClearPicture() override {}

    BarItem& item() { return bar_; }

private:
    BarItem& bar_;
    BarContext context_;
};

class QuickPlatform final : public platform::Platform {
public:
    /// Creates the bars on editor at the design geometry; the buttons wait for AttachButtons.
    QuickPlatform(QQuickItem& editor, SurfaceText& surface, platform::HostServices& host,
                  bool manualTimer);
    QuickPlatform(const QuickPlatform&) = delete;
    QuickPlatform& operator=(const QuickPlatform&) = delete;
    ~QuickPlatform() override;

    platform::CommandButton& DayButton(int index) override;
    platform::CommandButton& EnableButton() override { return *buttons_[8]; }
    platform::CommandButton& DisableButton() override { return *buttons_[9]; }
    platform::PictureBox& DayBar(int index) override;
    platform::Timer& InitTimer() override { return timer_; }
    platform::ControlSurface& Surface() override { return surface_; }
    platform::Gdi& Drawing() override { return gdi_; }
    platform::HostServices& Host() override { return host_; }

    /// 0 to 7 the day buttons, 8 Enable, 9 Disable.
    QuickButton& Button(int index) { return *buttons_.at(static_cast<std::size_t>(index)); }
    BarItem& Bar(int index) { return bars_.at(static_cast<std::size_t>(index))->item(); }
    QTimer& RedrawTimer() { return qtimer_; }
    SurfaceText& SurfaceTexts() { return surface_; }
    void SetManualTimer(bool manual) { timer_.SetManual(manual); }
    /// Asks for the repaint of what the drawing calls changed.
    void ShowChanges();

private:
    platform::HostServices& host_;
    SurfaceText& surface_;
    platform::PixelGdi gdi_;
    std::array<std::unique_ptr<QuickButton>, 10> buttons_;
    std::array<std::unique_ptr<QuickBar>, 8> bars_;
    QTimer qtimer_;
    qt::QtTimer timer_;
};

}  // namespace tarn::quick
