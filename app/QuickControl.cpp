// The control as the Qt Quick item, made from QML (`import TarnSchedule`) in an off-screen window
// drawn by Qt Quick's software renderer: the host's calls go to the item, mouse events and clicks
// are QMouseEvents delivered by Qt to the bars and the Controls buttons, keys go to the window,
// which hands them to its focus item, the window system's repaint request is an exposure of the
// window, and what the user sees is read back from the bars' pixels and from a grab of the window.
#include <QAccessible>
#include <QBuffer>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QVariant>
#include <cmath>
#include <iostream>
#include <utility>

#include "TarnSchedule/ScheduleEditor.h"
#include "app/EditorHost.h"
#include "app/HostedControl.h"
#include "controller/InputCodes.h"
#include "controller/ScheduleController.h"
#include "frontends/quick/QuickPlatform.h"
#include "frontends/quick/ScheduleEditorInternals.h"
#include "platform/DesignData.h"
#include "storage/SafeFile.h"

namespace tarn::app {

namespace {

ScheduleEditorServices ScriptedServices(HostEvents& events) {
    ScheduleEditorServices services;
    services.messageRequest = [&events](const QString& text, int style, const QString& title,
                                        const std::function<void()>& reply) {
        if (events.messageBox) events.messageBox(text.toStdString(), style, title.toStdString());
        reply();
    };
    services.sleep = [&events](int milliseconds) {
        if (events.sleep) events.sleep(milliseconds);
    };
    services.manualTimer = true;
    return services;
}

/// The window, drawn without a GPU: the software renderer needs nothing an off-screen platform
/// lacks.
std::unique_ptr<QQuickWindow> SoftwareWindow() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return std::make_unique<QQuickWindow>();
}

class QuickControl final : public EditorHost<ScheduleEditor, quick::QuickPlatform> {
public:
    explicit QuickControl(HostEvents events)
        : events_(std::move(events)), window_(SoftwareWindow()) {
        QQmlComponent component(&engine_);
        component.setData("import TarnSchedule\nScheduleEditor {}\n", QUrl());
        editor_.reset(qobject_cast<ScheduleEditor*>(component.create()));
        if (editor_ == nullptr) {
            std::cerr << "play: cannot make the Qt Quick item: "
                      << component.errorString().trimmed().toStdString() << '\n';
            std::exit(1);
        }
        // The layout a script sees is the design's on every machine, touch screen or not.
        editor_->setTouchSize(0);
        editor_->setHostServices(ScriptedServices(events_));
        editor_->setParentItem(window_->contentItem());
        QObject::connect(editor_.get(), &ScheduleEditor::ScheduleUpdated, [this] {
            if (events_.scheduleUpdated) events_.scheduleUpdated();
        });
        // The host's window is shown once; its first exposure comes before the first redraw and
        // so asks for nothing. Keyboard focus works only in the active window, which starts with
        // no item focused.
        window_->resize(editor_->size().toSize());
        window_->show();
        window_->requestActivate();
        QCoreApplication::processEvents();
    }

    ~QuickControl() override {
        editor_.reset();
        window_.reset();
    }

    DayRanges ReadDay(int day) override { return editor_->dayRangesOf(day); }
    std::optional<std::string> WriteDay(int day, const DayRanges& ranges) override {
        return Refusal(editor_->writeDay(day, ranges));
    }
    std::optional<std::string> WriteWeek(const WeekRanges& week) override {
        return Refusal(editor_->writeWeek(week));
    }

    void Resize(int width, int height) override {
        const QSizeF size(width, height);
        if (editor_->size() == size)
            // An item gets no notice of an unchanged size; the host's resize still reaches it.
            Controller().Resized(size.toSize(), true);
        else
            editor_->setSize(size);
    }

    void Paint() override {
        QExposeEvent event(QRegion(QRect(QPoint(0, 0), window_->size())));
        QCoreApplication::sendEvent(window_.get(), &event);
    }

    void Press(int bar, double x, int button, int shift) override {
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
        QQuickItem* button = ControlPlatform().Button(widget).item();
        if (button == nullptr || !button->isEnabled()) return false;
        const QRect area(0, 0, static_cast<int>(button->width()),
                         static_cast<int>(button->height()));
        if (area.isEmpty()) {
            // A button laid out to no size has no point to click on; the space key still
            // clicks it, as it does for a user with the focus on it.
            SendKey(button, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            SendKey(button, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            return true;
        }
        // The middle pixel of the button, not the geometric centre: a button one pixel across
        // has its centre on the pixel's far edge.
        const QPointF centre = area.center();
        const QPointF scene = button->mapToScene(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, scene, window_->mapToGlobal(scene),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, scene, window_->mapToGlobal(scene),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &release);
        return true;
    }

    bool Focus(FocusWidget widget) override {
        QQuickItem* target = Item(widget);
        if (target == nullptr || !target->isEnabled() || !target->activeFocusOnTab()) return false;
        target->forceActiveFocus(Qt::TabFocusReason);
        return true;
    }

    void PressKey(Key key, int modifiers) override {
        const int code = QtKeyOfPress(key, modifiers);
        const Qt::KeyboardModifiers qtModifiers = QtModifiersOfPress(modifiers);
        const QString text = QtKeyTextOfPress(key, modifiers);
        // The window hands each half to the item that has the focus at that moment.
        SendKey(window_.get(), QEvent::KeyPress, code, qtModifiers, text);
        SendKey(window_.get(), QEvent::KeyRelease, code, qtModifiers, text);
    }

    std::optional<FocusWidget> FocusedWidget() override {
        const QQuickItem* focus = window_->activeFocusItem();
        if (focus == nullptr) return std::nullopt;
        for (const FocusWidget widget : TabChain())
            if (Item(widget) == focus) return widget;
        return std::nullopt;
    }

    /// What Qt Quick's accessibility gives a screen reader for the bar.
    std::vector<ButtonView> Buttons() override {
        std::vector<ButtonView> views;
        for (int i = 0; i < 10; ++i) {
            const QQuickItem* button = ControlPlatform().Button(i).item();
            if (button == nullptr) continue;
            views.push_back(
                ButtonView{button->objectName().toStdString(),
                           button->property("text").toString().toStdString(), button->isEnabled(),
                           static_cast<int>(button->x()), static_cast<int>(button->y()),
                           static_cast<int>(button->width()), static_cast<int>(button->height())});
        }
        return views;
    }

    std::vector<BarView> Bars() override {
        std::vector<BarView> views;
        for (int i = 0; i < 8; ++i) {
            const quick::BarItem& bar = ControlPlatform().Bar(i);
            views.push_back(BarView{static_cast<int>(bar.x()), static_cast<int>(bar.y()),
                                    static_cast<int>(bar.width()), static_cast<int>(bar.height()),
                                    bar.innerSize().width(), bar.innerSize().height()});
        }
        return views;
    }

    std::vector<LabelView> Labels() override {
        std::vector<LabelView> views;
        for (const quick::SurfaceText::Text& text : ControlPlatform().SurfaceTexts().texts())
            views.push_back(LabelView{text.x, text.y, text.text});
        return views;
    }

    bool Screenshot(const std::string& file, std::string& error) override {
        QImage picture = window_->grabWindow();
        if (picture.isNull()) {
            error = "the control could not be grabbed";
            return false;
        }
        // The editor's part of the window, in device pixels.
        const double ratio = static_cast<double>(picture.width()) / window_->width();
        const QRectF shown = QRectF(editor_->position(), editor_->size())
                                 .intersected(QRectF(QPointF(0, 0), window_->size()));
        picture = picture.copy(QRectF(shown.topLeft() * ratio, shown.size() * ratio).toRect());
        // Encoded in memory and then written, so that a file that cannot be opened or written
        // fails with the system's reason.
        QByteArray png;
        QBuffer encoded(&png);
        encoded.open(QIODevice::WriteOnly);
        QImageWriter encoder(&encoded, "png");
        if (!encoder.write(picture)) {
            error = encoder.errorString().toStdString();
            return false;
        }
        return storage::WriteFileWhole(file, png, error);
    }

    void Close() override { ScheduleEditorInternals::Terminate(*editor_); }

private:
    ScheduleEditor& Target() override { return *editor_; }
    quick::QuickPlatform& ControlPlatform() override {
        return ScheduleEditorInternals::Platform(*editor_);
    }
    qt::ScheduleController& Controller() override {
        return ScheduleEditorInternals::Controller(*editor_);
    }

    QQuickItem* Item(FocusWidget widget) {
        if (widget.kind == FocusWidget::Kind::Bar) return &ControlPlatform().Bar(widget.index);
        return ControlPlatform().Button(widget.index).item();
    }

    static void SendKey(QObject* target, QEvent::Type type, int code,
                        Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent event(type, code, modifiers, text);
        QCoreApplication::sendEvent(target, &event);
    }

    /// A mouse event at the script's X in the bar's inner pixels and Y 0, inside the frame,
    /// delivered to the bar the line names.
    void SendMouse(int bar, QEvent::Type type, double x, Qt::MouseButton button,
                   Qt::MouseButtons buttons, int shift) {
        quick::BarItem& target = ControlPlatform().Bar(bar);
        const QPointF local(x + design::kBarBorder, design::kBarBorder);
        const QPointF scene = target.mapToScene(local);
        QMouseEvent event(type, local, scene, window_->mapToGlobal(scene), button, buttons,
                          qt::ModifiersOfCodes(shift));
        QCoreApplication::sendEvent(&target, &event);
    }

    HostEvents events_;
    QQmlEngine engine_;
    std::unique_ptr<QQuickWindow> window_;
    std::unique_ptr<ScheduleEditor> editor_;
};

}  // namespace

std::unique_ptr<HostedControl> MakeQuickControl(HostEvents events) {
    return std::make_unique<QuickControl>(std::move(events));
}

}  // namespace tarn::app
