#include "TarnSchedule/ScheduleWidget.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindow>
#include <functional>
#include <utility>

#include "controller/EventGate.h"
#include "controller/ScheduleController.h"
#include "frontends/widgets/BarAccessibility.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleOverlays.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "platform/PixelRatio.h"

namespace tarn {

namespace {

/// The default message box: the platform's own, window-modal, answered when the user closes it.
/// It is opened, not run: the event loop goes on, and the control's events wait in its gate.
void OpenMessageBox(QWidget& control, const QString& text, int style, const QString& title,
                    std::function<void()> reply) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == platform::kStyleCritical) icon = QMessageBox::Critical;
    if (style == platform::kStyleExclamation) icon = QMessageBox::Warning;
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, &control);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [reply = std::move(reply)] { reply(); });
    box->open();
}

}  // namespace

struct ScheduleWidget::Private {
    Private(ScheduleWidget& widget, ScheduleHostServices hostServices)
        : q(widget),
          services(std::move(hostServices)),
          controller([&](platform::HostServices& host) {
              auto made = std::make_unique<qt::QtPlatform>(widget, host, services.manualTimer);
              platform = made.get();
              return made;
          }),
          cursor(widget),
          hint(widget) {
        controller.SetPauseHandler(services.sleep);
    }

    /// Shows the control's message box through the host's service or the default one; request is
    /// answered once, when the box is closed, and not at all once the control is gone.
    void ShowMessage(int request, const QString& text, int style, const QString& title) {
        auto reply = [controller = QPointer<qt::ScheduleController>(&controller), request] {
            if (controller) controller->AnswerMessage(request);
        };
        if (services.messageRequest) {
            services.messageRequest(text, style, title, reply);
        } else if (services.messageBox) {
            // A handler that returns has closed its box.
            services.messageBox(text, style, title);
            reply();
        } else {
            OpenMessageBox(q, text, style, title, reply);
        }
    }

    void Connect() {
        for (int i = 0; i < platform::kDayCount; ++i) {
            QObject::connect(&platform->ButtonWidget(i), &QPushButton::clicked, &q,
                             [this, i] { controller.ButtonClicked(i); });
            qt::BarWidget& bar = platform->Bar(i);
            bar.mouseHandler = [this, i](QMouseEvent& event) { BarMouse(i, event); };
            bar.installEventFilter(&q);
        }
        for (int i : {8, 9})
            QObject::connect(&platform->ButtonWidget(i), &QPushButton::clicked, &q,
                             [this, i] { controller.ButtonClicked(i); });
        QObject::connect(&platform->RedrawTimer(), &QTimer::timeout, &q,
                         [this] { controller.TimerTick(); });

        using qt::ScheduleController;
        QObject::connect(&controller, &ScheduleController::messageRequested, &q,
                         [this](int request, const QString& text, int style, const QString& title) {
                             ShowMessage(request, text, style, title);
                         });
        QObject::connect(&controller, &ScheduleController::scheduleUpdated, &q,
                         &ScheduleWidget::ScheduleUpdated);
        QObject::connect(&controller, &ScheduleController::scheduleChanged, &q,
                         &ScheduleWidget::ScheduleChanged);
        QObject::connect(&controller, &ScheduleController::hintChanged, &q, [this] { ShowHint(); });
        QObject::connect(&controller, &ScheduleController::cursorChanged, &q, [this] {
            ShowCursor();
            const int bar = controller.FocusedBar();
            if (bar >= 0 && bar < platform::kDayCount)
                qt::AnnounceCursor(platform->Bar(bar), controller.CursorBlock());
        });
        QObject::connect(&controller, &ScheduleController::overlaysMoved, &q,
                         [this] { ShowCursor(); });
        QObject::connect(&controller, &ScheduleController::focusMoveRequested, &q,
                         [this](int bar) { platform->Bar(bar).setFocus(Qt::OtherFocusReason); });
        QObject::connect(&controller, &ScheduleController::focusRulesChanged, &q,
                         [this] { ApplyFocusRules(); });
        // The repaint of what a call changed joins the event being handled.
        QObject::connect(&controller, &ScheduleController::delivered, &q,
                         [this] { platform->ShowChanges(); });
        QObject::connect(&controller, &ScheduleController::barTextChanged, &q,
                         [this](int bar, bool name, bool description) {
                             qt::AnnounceText(platform->Bar(bar), name, description);
                         });
    }

    void BarMouse(int index, const QMouseEvent& event) {
        switch (event.type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                controller.PointerPressed(index, event.position(), event.button(),
                                          event.modifiers());
                return;
            case QEvent::MouseMove:
                controller.PointerMoved(index, event.position(), event.buttons(),
                                        event.modifiers());
                return;
            case QEvent::MouseButtonRelease:
                controller.PointerReleased(index, event.position(), event.button(),
                                           event.modifiers());
                return;
            default:
                return;
        }
    }

    /// Bars take the focus only while the control lets them; a bar that has the focus and may no
    /// longer keep it loses it, and the focus goes nowhere.
    void ApplyFocusRules() {
        for (int i = 0; i < platform::kDayCount; ++i) {
            qt::BarWidget& bar = platform->Bar(i);
            const bool takes = controller.BarTakesFocus(i);
            bar.setFocusPolicy(takes ? Qt::StrongFocus : Qt::NoFocus);
            if (!takes && bar.hasFocus()) bar.clearFocus();
        }
    }

    /// The bar that watched is, -1 for any other object.
    int BarIndexOf(const QObject* watched) {
        for (int i = 0; i < platform::kDayCount; ++i)
            if (&platform->Bar(i) == watched) return i;
        return -1;
    }

    bool BarEvent(int index, QEvent* event) {
        switch (event->type()) {
            case QEvent::FocusIn:
                controller.BarFocusIn(index);
                return false;
            case QEvent::FocusOut:
                controller.BarFocusOut(index);
                return false;
            case QEvent::ShortcutOverride: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (qt::ScheduleController::IsBarKey(key->key())) key->accept();
                return false;
            }
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                return controller.KeyPressed(index, key->key(), key->modifiers());
            }
            default:
                return false;
        }
    }

    void ShowCursor() {
        const qt::CursorView view = controller.Cursor();
        const bool visible = view.shown && platform->Bar(view.bar).isVisible();
        cursor.ShowFrame(visible ? view.frame : QRect(), view.colour);
        if (controller.Hint().followsCursor) ShowHint();
    }

    /// Keeps the bars' pixels at the density of the screen the control is shown on (1 to 4); a
    /// change starts them again and asks for a redraw, as a repaint request does.
    void FollowPixelRatio() {
        const double ratio = platform::UsableRatio(q.devicePixelRatioF());
        if (ratio == platform->Bar(0).PixelRatio()) return;
        for (int i = 0; i < platform::kDayCount; ++i)
            platform->Bar(i).SetPixelRatio(ratio);
        controller.PaintRequested();
        ShowCursor();
    }

    void ShowHint() {
        const qt::HintPlace place = controller.Hint();
        hint.ShowText(place.text, place.anchor, place.below);
    }

    /// Follows the window that the control is shown in, whose exposures are the window
    /// system's requests to repaint.
    void WatchWindow() {
        QWindow* window = q.window()->windowHandle();
        if (window == watchedWindow) return;
        if (watchedWindow != nullptr) watchedWindow->removeEventFilter(&q);
        watchedWindow = window;
        if (window != nullptr) window->installEventFilter(&q);
    }

    ScheduleWidget& q;
    ScheduleHostServices services;
    qt::QtPlatform* platform = nullptr;
    qt::ScheduleController controller;
    qt::CursorOverlay cursor;
    qt::HintLabel hint;
    QPointer<QWindow> watchedWindow;
};

ScheduleWidget::ScheduleWidget(QWidget* parent) : ScheduleWidget(ScheduleHostServices{}, parent) {}

ScheduleWidget::ScheduleWidget(ScheduleHostServices services, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(*this, std::move(services))) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    qt::InstallBarAccessibility();
    d->Connect();
    d->controller.Initialize();
    d->ApplyFocusRules();
    d->FollowPixelRatio();
}

ScheduleWidget::~ScheduleWidget() {
    if (d->watchedWindow != nullptr) d->watchedWindow->removeEventFilter(this);
    for (int i = 0; i < platform::kDayCount; ++i)
        d->platform->Bar(i).removeEventFilter(this);
    d->controller.Terminate();
}

// --- properties and methods ---------------------------------------------------------------

bool ScheduleWidget::Enable() const {
    return d->controller.Enable();
}

void ScheduleWidget::setEnable(bool vData) {
    d->controller.SetEnable(vData);
}

QString ScheduleWidget::SpecialDayCaption() const {
    return d->controller.SpecialDayCaption();
}

void ScheduleWidget::setSpecialDayCaption(const QString& vData) {
    d->controller.SetSpecialDayCaption(vData);
}

bool ScheduleWidget::SpecialDayEnabled() const {
    return d->controller.SpecialDayEnabled();
}

void ScheduleWidget::setSpecialDayEnabled(bool vData) {
    d->controller.SetSpecialDayEnabled(vData);
}

ScheduleWidget::ColorScheme ScheduleWidget::colorScheme() const {
    return d->controller.Scheme() == qt::ColourScheme::Palette ? ColorScheme::Palette
                                                               : ColorScheme::Classic;
}

void ScheduleWidget::setColorScheme(ColorScheme scheme) {
    d->controller.SetScheme(
        scheme == ColorScheme::Palette ? qt::ColourScheme::Palette : qt::ColourScheme::Classic,
        palette());
}

int ScheduleWidget::timeValue(int index) const {
    return d->controller.TimeValue(index);
}

void ScheduleWidget::setTimeValue(int index, int vData) {
    d->controller.SetTimeValue(index, vData);
}

DayRanges ScheduleWidget::dayRanges(int day) const {
    return d->controller.ReadDay(day);
}

WeekRanges ScheduleWidget::weekRanges() const {
    return d->controller.ReadWeek();
}

std::optional<QString> ScheduleWidget::setDayRanges(int day, const DayRanges& ranges) {
    return d->controller.WriteDay(day, ranges);
}

std::optional<QString> ScheduleWidget::setDayRanges(int day, const QStringList& ranges) {
    return d->controller.WriteDay(day, ranges);
}

std::optional<QString> ScheduleWidget::setWeekRanges(const WeekRanges& week) {
    return d->controller.WriteWeek(week);
}

std::optional<QString> ScheduleWidget::copyDay(int from, const QList<int>& to) {
    return d->controller.CopyDay(from, to);
}

void ScheduleWidget::Refresh() {
    d->controller.Refresh();
}

void ScheduleWidget::Reset() {
    d->controller.Reset();
}

void ScheduleWidget::setHostServices(ScheduleHostServices services) {
    d->services = std::move(services);
    d->platform->SetManualTimer(d->services.manualTimer);
    d->controller.SetPauseHandler(d->services.sleep);
}

bool ScheduleWidget::timerArmed() const {
    return d->controller.RedrawDue();
}

bool ScheduleWidget::deliverTimerTick() {
    return d->controller.TimerTick();
}

QSize ScheduleWidget::sizeHint() const {
    return qt::ScheduleController::DesignSize();
}

// --- events ---------------------------------------------------------------------------------

bool ScheduleWidget::event(QEvent* event) {
    if (event->type() == QEvent::Leave) d->controller.PointerLeft();
    if (event->type() == QEvent::ScreenChangeInternal) d->FollowPixelRatio();
    if (event->type() == QEvent::Show) {
        d->WatchWindow();
        d->FollowPixelRatio();
        // Shown inside a window that is already on screen: no exposure will follow.
        if (d->watchedWindow != nullptr && d->watchedWindow->isExposed())
            d->controller.PaintRequested();
    }
    return QWidget::event(event);
}

bool ScheduleWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->watchedWindow && event->type() == QEvent::Expose &&
        d->watchedWindow->isExposed() && isVisible()) {
        d->FollowPixelRatio();
        d->controller.PaintRequested();
    }
    if (const int bar = d->BarIndexOf(watched); bar >= 0 && d->BarEvent(bar, event)) return true;
    return QWidget::eventFilter(watched, event);
}

void ScheduleWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) d->controller.PaletteChanged(palette());
    QWidget::changeEvent(event);
}

bool ScheduleWidget::focusNextPrevChild(bool next) {
    if (d->controller.FocusMovesBlocked()) return false;
    return QWidget::focusNextPrevChild(next);
}

void ScheduleWidget::paintEvent(QPaintEvent* event) {
    d->platform->SurfaceImage().Painted();
    QPainter painter(this);
    d->platform->SurfaceImage().Paint(painter, event->rect());
}

void ScheduleWidget::resizeEvent(QResizeEvent* event) {
    d->platform->SurfaceImage().Resize(event->size());
    d->controller.Resized(event->size(), event->oldSize().isValid());
}

// --- internals ------------------------------------------------------------------------------

qt::QtPlatform& ScheduleWidgetInternals::Platform(ScheduleWidget& widget) {
    return *widget.d->platform;
}

qt::EventGate& ScheduleWidgetInternals::Gate(ScheduleWidget& widget) {
    return widget.d->controller.Gate();
}

qt::ScheduleController& ScheduleWidgetInternals::Controller(ScheduleWidget& widget) {
    return widget.d->controller;
}

qt::CursorOverlay& ScheduleWidgetInternals::Cursor(ScheduleWidget& widget) {
    return widget.d->cursor;
}

qt::HintLabel& ScheduleWidgetInternals::Hint(ScheduleWidget& widget) {
    return widget.d->hint;
}

void ScheduleWidgetInternals::Terminate(ScheduleWidget& widget) {
    widget.d->controller.Terminate();
}

}  // namespace tarn
