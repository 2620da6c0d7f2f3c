// The control's child widgets behind the platform interfaces: command buttons on QPushButton, day
// bars on BarWidget, the redraw timer on QTimer and the control's own surface on an image that the
// control paints under its children. Geometry is in pixels relative to the control.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controller/QtTimer.h"
#include "pixels/PixelGdi.h"
#include "platform/Widgets.h"

class QPainter;
class QTimer;
class QWidget;

namespace tarn::qt {

class BarWidget;

/// A widget interface whose geometry calls move and size a QWidget (instantiated for buttons and
/// bars in QtWidgets.cpp).
template <class Interface>
class QtGeometry : public Interface {
public:
    explicit QtGeometry(QWidget& widget) : widget_(widget) {}

    float Left() override;
    float Top() override;
    float Width() override;
    float Height() override;
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    void Refresh() override;

protected:
    /// Called after the width or height changed.
    virtual void SizeChanged() {}

private:
    QWidget& widget_;
};

/// A push button whose caption, when it is wider than the button, ends in "…" instead of being
/// cut on both sides; its tooltip then shows the whole caption. text() and the accessible name
/// stay the whole caption.
class CaptionButton final : public QPushButton {
public:
    CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

    /// The caption as the button shows it now.
    QString ShownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int CaptionRoom() const;
};

class QtButton final : public QtGeometry<platform::CommandButton> {
public:
    explicit QtButton(QPushButton& button);

    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    bool Enabled() override;
    void SetEnabled(bool enabled) override;

    QPushButton& widget() { return button_; }

private:
    QPushButton& button_;
};

/// A device context over a bar's image.
class BarContext final : public platform::DeviceContext {
public:
    BarContext(BarWidget& bar, int index) : bar_(bar), index_(index) {}
    platform::PixelView Pixels() override;
    platform::SharedRowImage* SharedRows() override;
    /// A bar receives no text from the control; any text is dropped.
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text) override;
    int Target() const override { return index_; }
    double PixelRatio() const override;

private:
    BarWidget& bar_;
    int index_;
};

class QtBar final : public QtGeometry<platform::PictureBox> {
public:
    QtBar(BarWidget& bar, int index);

    float ScaleWidth() override;
    float ScaleHeight() override;
    platform::DeviceContext& hDC() override { return context_; }
    void Cls() override;
    void ClearPicture() override {}

    BarWidget& widget() { return bar_; }

private:
    void SizeChanged() override;

    BarWidget& bar_;
    BarContext context_;
};

/// The control's surface, shown under the children: the background of the control with the
/// texts drawn on it since it was last cleared, in the control's font and text colour. The texts
/// are recorded and rasterised only where and when the control is painted, so a surface of any
/// size costs memory for its texts only. An image of the whole surface is made only for a caller
/// that asks for its pixels to draw into.
class QtSurface final : public platform::ControlSurface {
public:
    struct Text {
        std::int32_t x;
        std::int32_t y;
        std::string text;
        bool operator==(const Text&) const = default;
    };

    explicit QtSurface(QWidget& control);

    platform::DeviceContext& hDC() override { return context_; }
    void Clear() override;
    double Width() override;
    double Height() override;

    /// The control got a new size. The texts stay where they were drawn; pixels drawn into
    /// start again from the background.
    void Resize(const QSize& size);
    /// Paints area of the surface, as the user sees it, with painter.
    void Paint(QPainter& painter, const QRect& area);
    /// The texts drawn since the surface was last cleared, in drawing order.
    const std::vector<Text>& texts() const { return texts_; }
    /// The control was painted: every area asked for so far has been shown.
    void Painted() { requested_ = QRect(); }
    /// Asks for a repaint of the texts that changed since the last comparison. Runs by itself,
    /// queued, after drawing; the control calls it as soon as a call into it is done.
    void CompareTexts();
    /// True when every change of the surface has been painted.
    bool UpToDate() const { return requested_.isEmpty() && !comparePending_; }
    /// Bytes of pixels the surface holds.
    qsizetype StoredBytes() const { return pixels_.sizeInBytes(); }

private:
    class Context final : public platform::DeviceContext {
    public:
        explicit Context(QtSurface& surface) : surface_(surface) {}
        platform::PixelView Pixels() override;
        void DrawText(std::int32_t x, std::int32_t y, std::string_view text) override;
        int Target() const override { return kSurfaceTarget; }

    private:
        QtSurface& surface_;
    };

    /// Asks for a repaint of area unless one that covers it is pending.
    void Request(const QRect& area);
    /// Queues a comparison of the texts with those last shown, behind the drawing calls of the
    /// event being handled: a redraw that draws the same texts again repaints nothing.
    void CompareTextsLater();
    const QFontMetrics& Metrics();

    QWidget& control_;
    Context context_;
    QSize size_;
    /// Pixels drawn into the surface; null until a caller asks for them.
    QImage pixels_;
    std::vector<Text> texts_;
    /// Every text since the last clear lies in here.
    QRect drawn_;
    /// The area that a pending repaint of the control covers.
    QRect requested_;
    /// The texts and their bounds when last compared, as the screen shows them once painted.
    std::vector<Text> shownTexts_;
    QRect shownDrawn_;
    bool comparePending_ = false;
    QFont metricsFont_;
    std::unique_ptr<QFontMetrics> metrics_;
};

}  // namespace tarn::qt
