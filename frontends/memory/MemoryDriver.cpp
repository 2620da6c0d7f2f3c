#include "frontends/memory/MemoryDriver.h"

#include <QSize>
#include <QString>
#include <memory>
#include <string>
#include <utility>

#include "platform/DesignData.h"

namespace tarn::platform::memory {

MemoryDriver::MemoryDriver(HostCallbacks callbacks)
    : callbacks_(std::move(callbacks)), controller_([this](HostServices& host) {
          // The platform tells the controller what the core asks of the host; the controller
          // answers through the signals connected below.
          auto made = std::make_unique<MemoryPlatform>(
              HostCallbacks{[&host](std::string_view text, int style, std::string_view title) {
                                host.MessageBox(text, style, title);
                            },
                            [&host](int milliseconds) { host.Sleep(milliseconds); },
                            [&host] { host.RaiseScheduleUpdated(); }});
          platform_ = made.get();
          return made;
      }) {
    using qt::ScheduleController;
    QObject::connect(&controller_, &ScheduleController::messageRequested, &controller_,
                     [this](int request, const QString& text, int style, const QString& title) {
                         // A host whose callback returns has closed its box.
                         if (callbacks_.messageBox)
                             callbacks_.messageBox(text.toStdString(), style, title.toStdString());
                         controller_.AnswerMessage(request);
                     });
    QObject::connect(&controller_, &ScheduleController::scheduleUpdated, &controller_, [this] {
        if (callbacks_.scheduleUpdated) callbacks_.scheduleUpdated();
    });
    QObject::connect(&controller_, &ScheduleController::focusMoveRequested, &controller_,
                     [this](int bar) { MoveFocus(BarWidget(bar)); });
    QObject::connect(&controller_, &ScheduleController::focusRulesChanged, &controller_,
                     [this] { DropRefusedFocus(); });
    // Pauses run in place: with no handler the controller would wait for an event loop.
    controller_.SetPauseHandler([this](int milliseconds) {
        if (callbacks_.sleep) callbacks_.sleep(milliseconds);
    });
}

void MemoryDriver::Initialize() {
    controller_.Initialize();
}

void MemoryDriver::Terminate() {
    controller_.Terminate();
}

bool MemoryDriver::Tick() {
    return controller_.TimerTick();
}

bool MemoryDriver::Redraw() {
    controller_.Refresh();
    return Tick();
}

void MemoryDriver::Resize(int width, int height) {
    platform_->SurfaceWidget().SetSize(width, height);
    controller_.Resized(QSize(width, height), true);
}

void MemoryDriver::Paint() {
    controller_.PaintRequested();
}

void MemoryDriver::SetEnable(bool enable) {
    controller_.SetEnable(enable);
    DropRefusedFocus();
}

void MemoryDriver::SetSpecialDayEnabled(bool enabled) {
    controller_.SetSpecialDayEnabled(enabled);
    DropRefusedFocus();
}

QPointF MemoryDriver::BarPoint(double x) {
    return QPointF(x + design::kBarBorder, design::kBarBorder);
}

void MemoryDriver::Press(int bar, double x, Qt::MouseButton button,
                         Qt::KeyboardModifiers modifiers) {
    const auto& target = platform_->Bar(bar);
    if (CanTakeFocus(BarWidget(bar)) &&
        PressInsideBar(x, design::kBarBorder, target.width(), target.height()))
        MoveFocus(BarWidget(bar));
    controller_.PointerPressed(bar, BarPoint(x), button, modifiers);
}

void MemoryDriver::Move(int bar, double x, Qt::MouseButtons buttons) {
    controller_.PointerMoved(bar, BarPoint(x), buttons, Qt::NoModifier);
}

void MemoryDriver::Release(int bar, double x, Qt::MouseButton button) {
    controller_.PointerReleased(bar, BarPoint(x), button, Qt::NoModifier);
}

bool MemoryDriver::Click(int widget) {
    const auto& button = platform_->Button(widget);
    if (!button.enabled()) return false;
    if (button.width() > 0 && button.height() > 0) MoveFocus(ButtonWidget(widget));
    controller_.ButtonClicked(widget);
    return true;
}

bool MemoryDriver::Focus(FocusWidget widget) {
    if (!CanTakeFocus(widget)) return false;
    MoveFocus(widget);
    return true;
}

void MemoryDriver::PressKey(int key, Qt::KeyboardModifiers modifiers) {
    const KeyRoute route = RouteKey(focus_, key, modifiers);
    switch (route) {
        case KeyRoute::Nothing:
            return;
        case KeyRoute::FocusNext:
        case KeyRoute::FocusPrevious: {
            if (controller_.FocusMovesBlocked()) return;
            const auto next = NextInChain(focus_, route == KeyRoute::FocusNext,
                                          [this](FocusWidget w) { return CanTakeFocus(w); });
            if (next) MoveFocus(*next);
            return;
        }
        case KeyRoute::ClickButton:
            controller_.ButtonClicked(focus_->index);
            return;
        case KeyRoute::ToBar:
            controller_.KeyPressed(focus_->index, key, modifiers);
            return;
    }
}

bool MemoryDriver::CanTakeFocus(FocusWidget widget) {
    if (widget.kind == FocusWidget::Kind::Button) return platform_->Button(widget.index).enabled();
    return controller_.BarTakesFocus(widget.index);
}

void MemoryDriver::MoveFocus(std::optional<FocusWidget> to) {
    if (to == focus_) return;
    const std::optional<FocusWidget> from = focus_;
    focus_ = to;
    if (from && from->kind == FocusWidget::Kind::Bar) controller_.BarFocusOut(from->index);
    if (to && to->kind == FocusWidget::Kind::Bar) controller_.BarFocusIn(to->index);
}

void MemoryDriver::DropRefusedFocus() {
    if (focus_ && !CanTakeFocus(*focus_)) MoveFocus(std::nullopt);
}

}  // namespace tarn::platform::memory
