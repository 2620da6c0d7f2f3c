#include "TarnSchedule/ScheduleWidget.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindow>
#include <algorithm>
#include <array>
#include <exception>
#include <limits>
#include <utility>

#include "controller/EventGate.h"
#include "controller/ScheduleController.h"
#include "core/Schedule.h"
#include "frontends/widgets/BarAccessibility.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/MouseMapping.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleOverlays.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "model/DesignData.h"
#include "render/BlockGeometry.h"

namespace tarn {

using qt::EventGate;

struct ScheduleWidget::Private {
    Private(ScheduleWidget& widget, ScheduleHostServices services)
        : q(widget),
          controller([&](EventGate& gate) {
              auto made = std::make_unique<qt::QtPlatform>(widget, gate, std::move(services),
                                                           [this] { Q_EMIT q.ScheduleUpdated(); });
              platform = made.get();
              return made;
          }),
          cursor(widget),
          hint(widget) {}

    Schedule& control() { return controller.Control(); }

    /// Runs a call that disables buttons or bars. Qt would hand the focus of a widget it disables
    /// to the next one; the control's rule is that such a focus goes nowhere, so focus moves wait
    /// until the call is over (focus moves of the user, inside a listener, are not held).
    template <class Call>
    void WithoutFocusMoves(Call&& call) {
        ++focusMovesBlocked;
        try {
            call();
        } catch (...) {
            --focusMovesBlocked;
            throw;
        }
        --focusMovesBlocked;
    }

    template <class Call>
    void Deliver(const char* operation, Call call, EventGate::Kind kind = EventGate::Kind::Single) {
        controller.Deliver(operation, std::move(call), kind);
    }

    void Tick() {
        Deliver(
            "InitTimer_Timer",
            [this] {
                if (platform->TimerArmed()) control().InitTimer_Timer();
            },
            EventGate::Kind::Tick);
    }

    void RequestPaint() {
        Deliver(
            "Paint", [this] { control().Paint(); }, EventGate::Kind::Paint);
    }

    void BarMouse(std::int16_t index, const QMouseEvent& event) {
        using Handler = void (Schedule::*)(std::int16_t, std::int16_t, std::int16_t, float, float);
        Handler handler = nullptr;
        const char* operation = nullptr;
        switch (event.type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                handler = &Schedule::Schedule_MouseDown;
                operation = "Schedule_MouseDown";
                break;
            case QEvent::MouseMove:
                handler = &Schedule::Schedule_MouseMove;
                operation = "Schedule_MouseMove";
                // The hint that this move brings shows at the pointer.
                hintAtPointer = true;
                pointer = platform->Bar(index).mapTo(&q, event.position().toPoint());
                break;
            case QEvent::MouseButtonRelease:
                handler = &Schedule::Schedule_MouseUp;
                operation = "Schedule_MouseUp";
                break;
            default:
                return;
        }
        const qt::MouseCodes codes = qt::MouseCodesOf(event, design::kBarBorder);
        Deliver(operation, [this, index, codes, handler] {
            (control().*handler)(index, codes.button, codes.shift, codes.x, codes.y);
        });
    }

    void Connect() {
        for (std::int16_t i = 0; i < platform::kDayCount; ++i) {
            QObject::connect(&platform->ButtonWidget(i), &QPushButton::clicked, &q, [this, i] {
                Deliver("cmdDay_Click", [this, i] { control().cmdDay_Click(i); });
            });
            qt::BarWidget& bar = platform->Bar(i);
            bar.mouseHandler = [this, i](QMouseEvent& event) { BarMouse(i, event); };
            bar.installEventFilter(&q);
        }
        QObject::connect(&platform->ButtonWidget(8), &QPushButton::clicked, &q, [this] {
            Deliver("cmdEnable_Click", [this] { control().cmdEnable_Click(); });
        });
        QObject::connect(&platform->ButtonWidget(9), &QPushButton::clicked, &q, [this] {
            Deliver("cmdDisable_Click", [this] { control().cmdDisable_Click(); });
        });
        QObject::connect(&platform->RedrawTimer(), &QTimer::timeout, &q, [this] { Tick(); });

        QObject::connect(&controller, &qt::ScheduleController::scheduleChanged, &q,
                         &ScheduleWidget::ScheduleChanged);
        QObject::connect(&controller, &qt::ScheduleController::hintChanged, &q,
                         [this] { ShowHint(); });
        QObject::connect(&controller, &qt::ScheduleController::cursorChanged, &q, [this] {
            ShowCursor();
            const int bar = controller.FocusedBar();
            if (bar >= 0 && bar < platform::kDayCount)
                qt::AnnounceCursor(platform->Bar(bar), controller.CursorBlock());
        });
        QObject::connect(&controller, &qt::ScheduleController::focusMoveRequested, &q,
                         [this](int bar) { platform->Bar(bar).setFocus(Qt::OtherFocusReason); });
        QObject::connect(&controller, &qt::ScheduleController::focusRulesChanged, &q,
                         [this] { ApplyFocusRules(); });
        QObject::connect(&controller, &qt::ScheduleController::barTextChanged, &q,
                         [this](int bar, bool name, bool description) {
                             qt::AnnounceText(platform->Bar(bar), name, description);
                         });
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
                hintAtPointer = false;
                controller.BarFocusIn(index);
                return false;
            case QEvent::FocusOut:
                controller.BarFocusOut(index);
                return false;
            case QEvent::ShortcutOverride: {
                // The bar's keys reach the bar before any shortcut of the window.
                auto* key = static_cast<QKeyEvent*>(event);
                if (qt::BarKeyOf(key->key())) key->accept();
                return false;
            }
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                // Tab and Backtab are no bar keys: Qt's focus chain moves the focus on.
                if (!qt::BarKeyOf(key->key())) return false;
                hintAtPointer = false;
                controller.KeyPress(index, key->key(), key->modifiers());
                return true;
            }
            default:
                return false;
        }
    }

    void ShowCursor() {
        const int index = controller.FocusedBar();
        qt::BarWidget* bar = nullptr;
        if (index >= 0 && index < platform::kDayCount && controller.CursorShown())
            bar = &platform->Bar(index);
        cursor.ShowOn(bar, controller.CursorBlock(), controller.CursorColour());
        if (bar != nullptr && cursor.isVisible()) {
            // Around the block's columns as the bar draws them at its pixel ratio.
            const QSize inner = bar->innerSize();
            const render::BarGeometry geometry(inner.width(), inner.height(), bar->PixelRatio());
            const int block = std::clamp(controller.CursorBlock(), 0, 95);
            const int left = geometry.LogicalLeft(block);
            const int right = std::max(geometry.LogicalRight(block), left + 1);
            const int frame = qt::CursorOverlay::kFrameWidth;
            const QPoint origin =
                bar->geometry().topLeft() + QPoint(design::kBarBorder, design::kBarBorder);
            cursor.setGeometry(QRect(origin.x() + left - frame, origin.y() - frame,
                                     right - left + 2 * frame, inner.height() + 2 * frame));
        }
        if (!hintAtPointer) ShowHint();
    }

    /// Keeps the bars' pixels at the density of the screen the control is shown on (1 to 4); a
    /// change starts them again and asks for a redraw, as a repaint request does.
    void FollowPixelRatio() {
        const double ratio = render::UsableRatio(q.devicePixelRatioF());
        if (ratio == platform->Bar(0).PixelRatio()) return;
        for (int i = 0; i < platform::kDayCount; ++i)
            platform->Bar(i).SetPixelRatio(ratio);
        RequestPaint();
        ShowCursor();
    }

    void ShowHint() {
        const QString text = controller.HintText();
        if (hintAtPointer || !cursor.isVisible()) {
            hint.ShowText(text, pointer, true);
            return;
        }
        hint.ShowText(text, cursor.geometry().topLeft(), false);
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
    qt::QtPlatform* platform = nullptr;
    qt::ScheduleController controller;
    qt::CursorOverlay cursor;
    qt::HintLabel hint;
    QPointer<QWindow> watchedWindow;
    /// The size of the control's last resize event, the design size until the first.
    QSize controlSize{design::kControlWidth, design::kControlHeight};
    /// Whether the hint shows at the pointer (after a move over a bar) or at the cursor.
    bool hintAtPointer = true;
    /// The pointer's last place over a bar, in the control's coordinates.
    QPoint pointer;
    /// Calls that disable widgets running now: focus moves are refused meanwhile.
    int focusMovesBlocked = 0;
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
    return d->control().Enable();
}

void ScheduleWidget::setEnable(bool vData) {
    d->Deliver(
        "Enable", [this, vData] { d->WithoutFocusMoves([&] { d->control().SetEnable(vData); }); },
        EventGate::Kind::Host);
}

QString ScheduleWidget::SpecialDayCaption() const {
    return QString::fromStdString(d->control().SpecialDayCaption());
}

void ScheduleWidget::setSpecialDayCaption(const QString& vData) {
    d->Deliver(
        "SpecialDayCaption",
        [this, caption = vData.toStdString()] { d->control().SetSpecialDayCaption(caption); },
        EventGate::Kind::Host);
}

bool ScheduleWidget::SpecialDayEnabled() const {
    return d->control().SpecialDayEnabled();
}

void ScheduleWidget::setSpecialDayEnabled(bool vData) {
    d->Deliver(
        "SpecialDayEnabled",
        [this, vData] { d->WithoutFocusMoves([&] { d->control().SetSpecialDayEnabled(vData); }); },
        EventGate::Kind::Host);
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
    if (index < 0 || index >= kTimePropertyCount) return 0;
    return d->control().TimeValue(index);
}

void ScheduleWidget::setTimeValue(int index, int vData) {
    if (index < 0 || index >= kTimePropertyCount) {
        qWarning("tarn::ScheduleWidget: there is no time property %d", index);
        return;
    }
    if (vData < std::numeric_limits<std::int16_t>::min() ||
        vData > std::numeric_limits<std::int16_t>::max()) {
        qWarning("tarn::ScheduleWidget: %s refuses %d, which lies outside -32768 to 32767",
                 TimePropertyName(index).c_str(), vData);
        return;
    }
    d->Deliver(
        "time property",
        [this, index, vData] {
            d->control().SetTimeValue(index, static_cast<std::int16_t>(vData));
        },
        EventGate::Kind::Host);
}

DayRanges ScheduleWidget::dayRanges(int day) const {
    if (day < 0 || day >= kWeekDays) return DayRanges();
    return d->control().ReadDay(day);
}

WeekRanges ScheduleWidget::weekRanges() const {
    WeekRanges week;
    for (int day = 0; day < kWeekDays; ++day)
        week[day] = d->control().ReadDay(day);
    return week;
}

namespace {

std::optional<QString> UnknownDay(int day) {
    if (day >= 0 && day < kWeekDays) return std::nullopt;
    return QStringLiteral("there is no day %1; days are 0 (Monday) to 7 (Special)").arg(day);
}

}  // namespace

std::optional<QString> ScheduleWidget::setDayRanges(int day, const DayRanges& ranges) {
    if (auto refusal = UnknownDay(day)) return refusal;
    d->Deliver(
        "setDayRanges", [this, day, ranges] { d->control().WriteDay(day, ranges); },
        EventGate::Kind::Host);
    return std::nullopt;
}

std::optional<QString> ScheduleWidget::setDayRanges(int day, const QStringList& ranges) {
    if (auto refusal = UnknownDay(day)) return refusal;
    std::vector<TimeRange> parsed;
    for (const QString& text : ranges) {
        auto range = ParseRange(text.toStdString());
        if (auto* message = std::get_if<std::string>(&range))
            return QString::fromStdString(*message);
        parsed.push_back(std::get<TimeRange>(range));
    }
    auto made = DayRanges::Make(std::move(parsed));
    if (auto* message = std::get_if<std::string>(&made)) return QString::fromStdString(*message);
    return setDayRanges(day, std::get<DayRanges>(made));
}

std::optional<QString> ScheduleWidget::setWeekRanges(const WeekRanges& week) {
    d->Deliver(
        "setWeekRanges", [this, week] { d->control().WriteWeek(week); }, EventGate::Kind::Host);
    return std::nullopt;
}

std::optional<QString> ScheduleWidget::copyDay(int from, const QList<int>& to) {
    if (auto refusal = UnknownDay(from)) return refusal;
    std::vector<int> days;
    for (int day : to) {
        if (auto refusal = UnknownDay(day)) return refusal;
        days.push_back(day);
    }
    d->Deliver(
        "copyDay", [this, from, days] { d->control().CopyDay(from, days); }, EventGate::Kind::Host);
    return std::nullopt;
}

void ScheduleWidget::Refresh() {
    d->Deliver(
        "Refresh", [this] { d->control().Refresh(); }, EventGate::Kind::Host);
}

void ScheduleWidget::Reset() {
    d->Deliver(
        "Reset", [this] { d->control().Reset(); }, EventGate::Kind::Host);
}

void ScheduleWidget::setHostServices(ScheduleHostServices services) {
    d->platform->SetServices(std::move(services));
}

bool ScheduleWidget::timerArmed() const {
    return d->platform->TimerArmed();
}

bool ScheduleWidget::deliverTimerTick() {
    if (!d->platform->TimerArmed()) return false;
    d->Tick();
    return true;
}

QSize ScheduleWidget::sizeHint() const {
    return QSize(design::kControlWidth, design::kControlHeight);
}

// --- events ---------------------------------------------------------------------------------

bool ScheduleWidget::event(QEvent* event) {
    if (event->type() == QEvent::Leave) d->controller.PointerLeft();
    if (event->type() == QEvent::ScreenChangeInternal) d->FollowPixelRatio();
    if (event->type() == QEvent::Show) {
        d->WatchWindow();
        d->FollowPixelRatio();
        // Shown inside a window that is already on screen: no exposure will follow.
        if (d->watchedWindow != nullptr && d->watchedWindow->isExposed()) d->RequestPaint();
    }
    return QWidget::event(event);
}

bool ScheduleWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->watchedWindow && event->type() == QEvent::Expose &&
        d->watchedWindow->isExposed() && isVisible()) {
        d->FollowPixelRatio();
        d->RequestPaint();
    }
    if (const int bar = d->BarIndexOf(watched); bar >= 0 && d->BarEvent(bar, event)) return true;
    return QWidget::eventFilter(watched, event);
}

void ScheduleWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) d->controller.PaletteChanged(palette());
    QWidget::changeEvent(event);
}

bool ScheduleWidget::focusNextPrevChild(bool next) {
    if (d->focusMovesBlocked > 0) return false;
    return QWidget::focusNextPrevChild(next);
}

void ScheduleWidget::paintEvent(QPaintEvent* event) {
    d->platform->SurfaceImage().Painted();
    QPainter painter(this);
    d->platform->SurfaceImage().Paint(painter, event->rect());
}

void ScheduleWidget::resizeEvent(QResizeEvent* event) {
    d->platform->SurfaceImage().Resize(event->size());
    // A widget shown for the first time, or shown again after a resize while hidden, reports its
    // size with no old size; when the control knows that size already, there is nothing to lay
    // out.
    if (!event->oldSize().isValid() && event->size() == d->controlSize) return;
    d->controlSize = event->size();
    d->Deliver(
        "Resize", [this] { d->control().Resize(); }, EventGate::Kind::Resize);
    // The bars moved: the cursor follows its block.
    d->ShowCursor();
}

// --- internals ------------------------------------------------------------------------------

Schedule& ScheduleWidgetInternals::Control(ScheduleWidget& widget) {
    return widget.d->control();
}

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
