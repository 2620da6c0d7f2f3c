// The control as the real Qt widget, shown on an off-screen window: the host's calls go to the
// control, mouse events and clicks are QMouseEvents delivered by Qt to the bars and buttons, the
// window system's repaint request is an exposure of the window, and what the user sees is read
// back from the bars' pixels and from a grab of the widget. Keys are QKeyEvents sent to the focus
// widget, which the host window (active, so that focus works off-screen) starts without.
#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QExposeEvent>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindow>
#include <cmath>
#include <utility>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/EditorHost.h"
#include "app/HostedControl.h"
#include "controller/InputCodes.h"
#include "controller/ScheduleController.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "storage/SafeFile.h"

namespace tarn::app {

namespace {

ScheduleHostServices ScriptedServices(HostEvents& events) {
    ScheduleHostServices services;
    services.messageBox = [&events](const QString& text, int style, const QString& title) {
        if (events.messageBox) events.messageBox(text.toStdString(), style, title.toStdString());
    };
    services.sleep = [&events](int milliseconds) {
        if (events.sleep) events.sleep(milliseconds);
    };
    services.manualTimer = true;
    return services;
}

class QtControl final : public EditorHost<ScheduleWidget, qt::QtPlatform> {
public:
    explicit QtControl(HostEvents events)
        : events_(std::move(events)),
          widget_(new ScheduleWidget(ScriptedServices(events_), &window_)) {
        QObject::connect(widget_, &ScheduleWidget::ScheduleUpdated, [this] {
            if (events_.scheduleUpdated) events_.scheduleUpdated();
        });
        // The host's window is shown once; its first exposure comes before the first redraw and
        // so asks for nothing. Nothing else reaches the control unless the script says so.
        window_.resize(widget_->size());
        window_.show();
        // Keyboard focus works only in the active window. Activating it gives the focus to the
        // first widget of the chain; the script starts with no focus, as the in-memory host does.
        QApplication::setActiveWindow(&window_);
        window_.activateWindow();
        QCoreApplication::processEvents();
        if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    }

    const qt::ScheduleController& Controller() override {
        return ScheduleWidgetInternals::Controller(*widget_);
    }

    DayRanges ReadDay(int day) override { return widget_->dayRanges(day); }
    std::optional<std::string> WriteDay(int day, const DayRanges& ranges) override {
        return Refusal(widget_->setDayRanges(day, ranges));
    }
    std::optional<std::string> WriteWeek(const WeekRanges& week) override {
        return Refusal(widget_->setWeekRanges(week));
    }

    void Resize(int width, int height) override {
        const QSize size(width, height);
        if (widget_->size() == size) {
            // Qt sends nothing for an unchanged size; the host's resize still reaches the control.
            QResizeEvent event(size, size);
            QCoreApplication::sendEvent(widget_, &event);
        } else {
            widget_->resize(size);
        }
    }

    void Paint() override {
        QWindow* window = window_.windowHandle();
        QExposeEvent event(QRegion(QRect(QPoint(0, 0), window->size())));
        QCoreApplication::sendEvent(window, &event);
    }

    void Press(int bar, double x, int button, int shift) override {
        qt::BarWidget& target = ControlPlatform().Bar(bar);
        GiveFocusOnPress(target, InnerPoint(target, x));
        const Qt::MouseButton qtButton = QtButtonOfPress(button);
        SendMouse(bar, QEvent::MouseButtonPress, x, qtButton, qtButton, shift);
    }

    void Move(int bar, double x, int buttons) override {
        SendMouse(bar, QEvent::MouseMove, x, Qt::NoButton, qt::ButtonsOfCodes(buttons), 0);
    }

    void Release(int bar, double x, int button) override {
        SendMouse(bar, QEvent::MouseButtonRelease, x, QtButtonOfPress(button), Qt::NoButton, 0);
    }

    bool Click(int widget) override {
        QPushButton& button = ControlPlatform().ButtonWidget(widget);
        if (!button.isEnabled()) return false;
        if (button.rect().isEmpty()) {
            // A button laid out to no size has no point to click on; the space key still
            // clicks it through the toolkit's own delivery, as it does for a user with focus.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(&button, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                              QStringLiteral(" "));
            QApplication::sendEvent(&button, &release);
            return true;
        }
        // The middle pixel of the button, not the geometric centre: a button one pixel across
        // has its centre on the pixel's far edge, which the toolkit gives to the next pixel.
        const QPointF centre = button.rect().center();
        const QPointF global = button.mapToGlobal(centre);
        GiveFocusOnPress(button, centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&button, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &release);
        return true;
    }

    bool Focus(FocusWidget widget) override {
        QWidget& target = Widget(widget);
        if (!target.isEnabled() || (target.focusPolicy() & Qt::TabFocus) == 0) return false;
        target.setFocus(Qt::TabFocusReason);
        return true;
    }

    void PressKey(Key key, int modifiers) override {
        const int code = QtKeyOfPress(key, modifiers);
        const Qt::KeyboardModifiers qtModifiers = QtModifiersOfPress(modifiers);
        const QString text = QtKeyTextOfPress(key, modifiers);
        // Each half goes to the widget that has the focus at that moment, as typed keys do.
        QKeyEvent press(QEvent::KeyPress, code, qtModifiers, text);
        QApplication::sendEvent(FocusTarget(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, qtModifiers, text);
        QApplication::sendEvent(FocusTarget(), &release);
    }

    std::optional<FocusWidget> FocusedWidget() override {
        const QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr) return std::nullopt;
        for (const FocusWidget widget : TabChain())
            if (&Widget(widget) == focus) return widget;
        return std::nullopt;
    }

    std::vector<ButtonView> Buttons() override {
        std::vector<ButtonView> views;
        for (int i = 0; i < 10; ++i) {
            const QPushButton& button = ControlPlatform().ButtonWidget(i);
            views.push_back(ButtonView{button.objectName().toStdString(),
                                       button.text().toStdString(), button.isEnabled(), button.x(),
                                       button.y(), button.width(), button.height()});
        }
        return views;
    }

    std::vector<BarView> Bars() override {
        std::vector<BarView> views;
        for (int i = 0; i < 8; ++i) {
            const qt::BarWidget& bar = ControlPlatform().Bar(i);
            views.push_back(BarView{bar.x(), bar.y(), bar.width(), bar.height(),
                                    bar.innerSize().width(), bar.innerSize().height()});
        }
        return views;
    }

    std::vector<LabelView> Labels() override {
        std::vector<LabelView> views;
        for (const qt::QtSurface::Text& text : ControlPlatform().SurfaceImage().texts())
            views.push_back(LabelView{text.x, text.y, text.text});
        return views;
    }

    bool Screenshot(const std::string& file, std::string& error) override {
        const QPixmap picture = widget_->grab();
        if (picture.isNull()) {
            error = "the control could not be grabbed";
            return false;
        }
        // The picture is encoded in memory and then written, so that a file that cannot be
        // opened or written fails with the system's reason, and the PNG encoder never meets an
        // I/O error (which it would report on standard error by itself).
        QByteArray png;
        QBuffer encoded(&png);
        encoded.open(QIODevice::WriteOnly);
        QImageWriter encoder(&encoded, "png");
        if (!encoder.write(picture.toImage())) {
            error = encoder.errorString().toStdString();
            return false;
        }
        return storage::WriteFileWhole(file, png, error);
    }

    void Close() override { ScheduleWidgetInternals::Terminate(*widget_); }

private:
    ScheduleWidget& Target() override { return *widget_; }
    qt::QtPlatform& ControlPlatform() override {
        return ScheduleWidgetInternals::Platform(*widget_);
    }

    QWidget& Widget(FocusWidget widget) {
        if (widget.kind == FocusWidget::Kind::Bar) return ControlPlatform().Bar(widget.index);
        return ControlPlatform().ButtonWidget(widget.index);
    }

    QWidget* FocusTarget() {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus : &window_;
    }

    /// The script's X in the bar's inner pixels, and Y 0: inside the frame.
    static QPointF InnerPoint(const qt::BarWidget& bar, double x) {
        return QPointF(x + bar.frameWidth(), bar.frameWidth());
    }

    /// What the toolkit does for a press that comes from the window system, before the press
    /// itself reaches the widget: the innermost widget under the point that takes the focus on a
    /// click gets it. Events sent by the host are not the window system's, so it is done here.
    static void GiveFocusOnPress(QWidget& pressed, QPointF local) {
        // A point that far off lies on no widget (and has no whole-pixel form).
        if (!(std::abs(local.x()) < 1e9)) return;
        QPoint point = local.toPoint();
        for (QWidget* widget = &pressed; widget != nullptr; widget = widget->parentWidget()) {
            if (widget->isEnabled() && widget->rect().contains(point) &&
                (widget->focusPolicy() & Qt::ClickFocus) != 0) {
                widget->setFocus(Qt::MouseFocusReason);
                return;
            }
            if (widget->isWindow()) return;
            point += widget->pos();
        }
    }

    void SendMouse(int bar, QEvent::Type type, double x, Qt::MouseButton button,
                   Qt::MouseButtons buttons, int shift) {
        qt::BarWidget& target = ControlPlatform().Bar(bar);
        const QPointF local = InnerPoint(target, x);
        QMouseEvent event(type, local, target.mapToGlobal(local), button, buttons,
                          qt::ModifiersOfCodes(shift));
        QApplication::sendEvent(&target, &event);
    }

    HostEvents events_;
    QWidget window_;
    ScheduleWidget* widget_;
};

}  // namespace

std::unique_ptr<HostedControl> MakeQtControl(HostEvents events) {
    return std::make_unique<QtControl>(std::move(events));
}

}  // namespace tarn::app
