#include "controller/ScheduleController.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <exception>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "TarnSchedule/TimeProperties.h"
#include "controller/Colours.h"
#include "controller/CoreAccess.h"
#include "controller/CursorFrame.h"
#include "controller/InputCodes.h"
#include "core/Schedule.h"
#include "model/Arithmetic.h"
#include "platform/DesignData.h"
#include "render/Theme.h"

namespace tarn::qt {

namespace {

QString FromControlText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Warn(const char* operation, const std::exception& error) {
    qWarning("tarn::ScheduleWidget: %s failed: %s", operation, error.what());
}

/// Runs one call into the core; its errors stop here, as warnings.
template <class Call>
void Guarded(const char* operation, Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        Warn(operation, error);
    }
}

std::optional<QString> UnknownDay(int day) {
    if (day >= 0 && day < kWeekDays) return std::nullopt;
    return QStringLiteral("there is no day %1; days are 0 (Monday) to 7 (Special)").arg(day);
}

}  // namespace

// The controller's state, and the host services the core reaches it through. A message box is
// asked for and the core goes on at once; what the core then tells the host (ScheduleUpdated,
// pauses, more boxes, the calls' ScheduleChanged) waits here, and every later event waits in the
// gate, until the box is answered: the host and the user see them in the order a box that
// returned only once closed would give.
struct ScheduleController::Impl final : platform::HostServices {
    Impl(ScheduleController& owner, const PlatformFactory& makePlatform)
        : q(owner),
          gate(owner),
          platform(makePlatform(*this)),
          control(std::make_unique<Schedule>(*platform)) {
        control->SetViewListener([this](Schedule::ViewChange change) { ViewChanged(change); });
    }

    /// Delivers a call into the core through the gate. scheduleChanged follows when the call, and
    /// everything it set off, changed the time properties.
    template <class Call>
    void Deliver(const char* operation, Call call, EventGate::Kind kind = EventGate::Kind::Single) {
        gate.Deliver([this, operation,
                      call = std::move(call)] { Tracked([&] { Guarded(operation, call); }); },
                     kind);
        Q_EMIT q.delivered();
    }

    /// Runs a call into the core; the outermost one compares the time properties, the bar texts
    /// and the focus rules before and after, or, while a message box waits, once it is answered.
    template <class Call>
    void Tracked(Call&& call) {
        if (changeDepth == 0 && !compareOwed) Snapshot();
        ++changeDepth;
        call();
        --changeDepth;
        if (changeDepth > 0) return;
        compareOwed = pendingRequest != 0;
        if (!compareOwed) Compare();
    }

    /// Runs a call of the host that may disable buttons or bars. A frontend's toolkit would hand
    /// the focus of a widget it disables to the next one; the control's rule is that such a focus
    /// goes nowhere, so focus moves wait until the call is over.
    template <class Call>
    void WithoutFocusMoves(Call&& call) {
        const CountedScope blocked(focusMovesBlocked);
        call();
    }

    void Snapshot() {
        // The descriptions are made from the time properties alone: while those are the ones they
        // were last made from, they stand, and a hover's moves cost nothing here.
        const bool valuesChanged = control->State().TimeValues != valuesBefore;
        valuesBefore = control->State().TimeValues;
        for (int bar = 0; bar < platform::kDayCount; ++bar) {
            names[bar] = q.BarName(bar);
            if (valuesChanged || !described) descriptions[bar] = q.BarDescription(bar);
            takesFocus[bar] = control->BarTakesFocus(bar);
        }
        described = true;
    }

    void Compare() {
        const bool valuesChanged = control->State().TimeValues != valuesBefore;
        bool rulesChanged = false;
        for (int bar = 0; bar < platform::kDayCount; ++bar) {
            const QString name = q.BarName(bar);
            // The descriptions are made from the time properties: unchanged properties, unchanged
            // descriptions, and a drag's moves cost nothing here.
            QString description = valuesChanged ? q.BarDescription(bar) : descriptions[bar];
            const bool nameChanged = name != names[bar];
            const bool descriptionChanged = description != descriptions[bar];
            names[bar] = name;
            descriptions[bar] = std::move(description);
            if (nameChanged || descriptionChanged)
                Q_EMIT q.barTextChanged(bar, nameChanged, descriptionChanged);
            const bool takes = control->BarTakesFocus(bar);
            rulesChanged = rulesChanged || takes != takesFocus[bar];
            takesFocus[bar] = takes;
        }
        // The descriptions now follow these values.
        valuesBefore = control->State().TimeValues;
        if (rulesChanged) Q_EMIT q.focusRulesChanged();
        if (valuesChanged) Q_EMIT q.scheduleChanged();
    }

    void ViewChanged(Schedule::ViewChange change) {
        switch (change) {
            case Schedule::ViewChange::Hint: {
                QString text = FromControlText(control->HintText());
                if (text == hint) return;
                hint = std::move(text);
                Q_EMIT q.hintChanged();
                return;
            }
            case Schedule::ViewChange::Focus:
            case Schedule::ViewChange::Cursor:
                Q_EMIT q.cursorChanged();
                return;
        }
    }

    void ApplyTheme(const render::Theme& theme) {
        Deliver(
            "SetTheme",
            [this, theme] {
                if (control->CurrentTheme() == theme) return;
                control->SetTheme(theme);
                // The bars take the new colours when they are next drawn: all of them, on the
                // next tick. The cursor, drawn over them, takes its colour at once.
                control->Refresh();
                Q_EMIT q.cursorChanged();
            },
            EventGate::Kind::Host);
    }

    void Pointer(const char* operation, int bar, QPointF at, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers,
                 void (Schedule::*handler)(std::int16_t, std::int16_t, std::int16_t, float,
                                           float)) {
        if (bar < 0 || bar >= platform::kDayCount) return;
        const MouseCodes codes = MouseCodesOf(at, buttons, modifiers, design::kBarBorder);
        Deliver(operation, [this, bar, codes, handler] {
            (control.get()->*handler)(static_cast<std::int16_t>(bar), codes.button, codes.shift,
                                      codes.x, codes.y);
        });
    }

    // --- the host services the core calls --------------------------------------------------

    void MessageBox(std::string_view text, int style, std::string_view title) override {
        QString boxText = FromControlText(text);
        QString boxTitle = FromControlText(title);
        if (pendingRequest != 0) {
            afterAnswer.push_back(
                [this, boxText = std::move(boxText), style, boxTitle = std::move(boxTitle)] {
                    Ask(boxText, style, boxTitle);
                });
            return;
        }
        Ask(boxText, style, boxTitle);
    }

    void Sleep(int milliseconds) override {
        if (pendingRequest != 0) {
            afterAnswer.push_back([this, milliseconds] { Pause(milliseconds); });
            return;
        }
        Pause(milliseconds);
    }

    void RaiseScheduleUpdated() override {
        if (pendingRequest != 0) {
            afterAnswer.push_back([this] { Q_EMIT q.scheduleUpdated(); });
            return;
        }
        Q_EMIT q.scheduleUpdated();
    }

    void Ask(const QString& text, int style, const QString& title) {
        lastRequest = lastRequest == std::numeric_limits<int>::max() ? 1 : lastRequest + 1;
        pendingRequest = lastRequest;
        gate.BeginHold();
        // A frontend that answers at once answers inside this signal.
        Q_EMIT q.messageRequested(lastRequest, text, style, title);
    }

    void Pause(int milliseconds) {
        if (pause) {
            gate.Hold([&] { pause(milliseconds); });
            return;
        }
        // The control's own events wait out the pause in the gate; the event loop, and with it
        // the rest of the application, runs on. The control's code after the pause only queues
        // work.
        gate.HoldFor(milliseconds);
    }

    void Answer(int request) {
        if (request == 0 || request != pendingRequest) return;
        pendingRequest = 0;
        gate.EndHold();
        // The rest of the event that asked, as part of it: calls of the host's listeners run at
        // once, and its ScheduleChanged comes at its end.
        gate.RunInPlace(
            [this] { Tracked([this] { Guarded("message box", [this] { Release(); }); }); });
    }

    /// Runs what the core told the host after asking, in order, until another box is asked for.
    /// What one step defers (a listener's nested save asking for a box) comes before the steps
    /// left after it, as it would have run inside that step.
    void Release() {
        while (pendingRequest == 0 && !afterAnswer.empty()) {
            std::function<void()> step = std::move(afterAnswer.front());
            afterAnswer.pop_front();
            std::deque<std::function<void()>> rest;
            rest.swap(afterAnswer);
            try {
                step();
            } catch (...) {
                for (auto& later : rest)
                    afterAnswer.push_back(std::move(later));
                throw;
            }
            for (auto& later : rest)
                afterAnswer.push_back(std::move(later));
        }
    }

    ScheduleController& q;
    EventGate gate;
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<Schedule> control;
    bool initialized = false;
    bool terminated = false;
    int changeDepth = 0;
    /// The last outermost call ended while a message box waited: its comparison runs once the
    /// box is answered, against the state from before that call.
    bool compareOwed = false;
    std::array<std::int16_t, kTimePropertyCount> valuesBefore{};
    /// Whether descriptions have been made at all.
    bool described = false;
    std::array<QString, platform::kDayCount> names;
    std::array<QString, platform::kDayCount> descriptions;
    std::array<bool, platform::kDayCount> takesFocus{};
    QString hint;
    /// Whether the hint shows at the pointer (after a move over a bar) or at the cursor.
    bool hintAtPointer = true;
    /// The pointer's last place over a bar, in the control's coordinates.
    QPoint pointer;
    ColourScheme scheme = ColourScheme::Classic;
    int focusMovesBlocked = 0;
    /// The size of the control's last resize, the design size until the first.
    QSize controlSize{design::kControlWidth, design::kControlHeight};
    std::function<void(int)> pause;
    /// The message box waiting for its answer, 0 for none, and the last one asked for.
    int pendingRequest = 0;
    int lastRequest = 0;
    /// What the core told the host after asking for the box that waits.
    std::deque<std::function<void()>> afterAnswer;
};

ScheduleController::ScheduleController(const PlatformFactory& makePlatform, QObject* parent)
    : QObject(parent), d_(std::make_unique<Impl>(*this, makePlatform)) {}

ScheduleController::~ScheduleController() {
    Terminate();
    // The core goes before the platform it draws on.
    d_->control.reset();
    d_->platform.reset();
}

QSize ScheduleController::DesignSize() {
    return QSize(design::kControlWidth, design::kControlHeight);
}

QSize ScheduleController::SizeForTargets(double least) {
    int narrowest = std::numeric_limits<int>::max();
    int lowest = std::numeric_limits<int>::max();
    for (const design::WidgetDesign& widget : design::WidgetsInTabOrder()) {
        narrowest = std::min(narrowest, design::Pixels(widget.width));
        lowest = std::min(lowest, design::Pixels(widget.height));
    }
    // A widget's side at a control's side is the design's scaled by the control's over the
    // design's, its fraction dropped, as the layout places it.
    const auto size = [least](int design, int smallest) {
        int side = std::max(design, static_cast<int>(least * design / smallest) - 1);
        while (Fix(smallest * Divide(side, design)) < least)
            ++side;
        return side;
    };
    return {size(design::kControlWidth, narrowest), size(design::kControlHeight, lowest)};
}

void ScheduleController::Initialize() {
    if (d_->initialized) return;
    d_->initialized = true;
    Guarded("Initialize", [this] { d_->control->Initialize(); });
    d_->Snapshot();
}

void ScheduleController::Terminate() {
    if (d_->terminated || !d_->initialized) return;
    d_->terminated = true;
    Guarded("Terminate", [this] { d_->control->Terminate(); });
}

bool ScheduleController::Terminated() const {
    return d_->terminated;
}

EventGate& ScheduleController::Gate() {
    return d_->gate;
}

// --- the host ------------------------------------------------------------------------------

bool ScheduleController::Enable() const {
    return d_->control->Enable();
}

void ScheduleController::SetEnable(bool enable) {
    d_->Deliver(
        "Enable",
        [this, enable] { d_->WithoutFocusMoves([&] { d_->control->SetEnable(enable); }); },
        EventGate::Kind::Host);
}

QString ScheduleController::SpecialDayCaption() const {
    return QString::fromStdString(d_->control->SpecialDayCaption());
}

void ScheduleController::SetSpecialDayCaption(const QString& caption) {
    d_->Deliver(
        "SpecialDayCaption",
        [this, text = caption.toStdString()] { d_->control->SetSpecialDayCaption(text); },
        EventGate::Kind::Host);
}

bool ScheduleController::SpecialDayEnabled() const {
    return d_->control->SpecialDayEnabled();
}

void ScheduleController::SetSpecialDayEnabled(bool enabled) {
    d_->Deliver(
        "SpecialDayEnabled",
        [this, enabled] {
            d_->WithoutFocusMoves([&] { d_->control->SetSpecialDayEnabled(enabled); });
        },
        EventGate::Kind::Host);
}

int ScheduleController::TimeValue(int index) const {
    if (index < 0 || index >= kTimePropertyCount) return 0;
    return d_->control->TimeValue(index);
}

std::optional<QString> ScheduleController::SetTimeValue(int index, int value) {
    if (index < 0 || index >= kTimePropertyCount) {
        qWarning("tarn::ScheduleWidget: there is no time property %d", index);
        return QStringLiteral("there is no time property %1").arg(index);
    }
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        const std::string name = TimePropertyName(index);
        qWarning("tarn::ScheduleWidget: %s refuses %d, which lies outside -32768 to 32767",
                 name.c_str(), value);
        return QStringLiteral("%1 refuses %2, which lies outside -32768 to 32767")
            .arg(QString::fromStdString(name))
            .arg(value);
    }
    d_->Deliver(
        "time property",
        [this, index, value] {
            d_->control->SetTimeValue(index, static_cast<std::int16_t>(value));
        },
        EventGate::Kind::Host);
    return std::nullopt;
}

DayRanges ScheduleController::ReadDay(int day) const {
    if (day < 0 || day >= kWeekDays) return DayRanges();
    return d_->control->ReadDay(day);
}

WeekRanges ScheduleController::ReadWeek() const {
    WeekRanges week;
    for (int day = 0; day < kWeekDays; ++day)
        week[day] = d_->control->ReadDay(day);
    return week;
}

std::optional<QString> ScheduleController::WriteDay(int day, const DayRanges& ranges) {
    if (auto refusal = UnknownDay(day)) return refusal;
    d_->Deliver(
        "setDayRanges", [this, day, ranges] { d_->control->WriteDay(day, ranges); },
        EventGate::Kind::Host);
    return std::nullopt;
}

std::optional<QString> ScheduleController::WriteDay(int day, const QStringList& ranges) {
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
    return WriteDay(day, std::get<DayRanges>(made));
}

std::optional<QString> ScheduleController::WriteWeek(const WeekRanges& week) {
    d_->Deliver(
        "setWeekRanges", [this, week] { d_->control->WriteWeek(week); }, EventGate::Kind::Host);
    return std::nullopt;
}

std::optional<QString> ScheduleController::CopyDay(int from, const QList<int>& to) {
    if (auto refusal = UnknownDay(from)) return refusal;
    std::vector<int> days;
    for (int day : to) {
        if (auto refusal = UnknownDay(day)) return refusal;
        days.push_back(day);
    }
    d_->Deliver(
        "copyDay", [this, from, days] { d_->control->CopyDay(from, days); }, EventGate::Kind::Host);
    return std::nullopt;
}

void ScheduleController::Refresh() {
    d_->Deliver(
        "Refresh", [this] { d_->control->Refresh(); }, EventGate::Kind::Host);
}

void ScheduleController::Reset() {
    d_->Deliver(
        "Reset", [this] { d_->control->Reset(); }, EventGate::Kind::Host);
}

void ScheduleController::SetPauseHandler(std::function<void(int milliseconds)> pause) {
    d_->pause = std::move(pause);
}

quint64 ScheduleController::CompletedRedraws() const {
    return d_->control->CompletedRedraws();
}

bool ScheduleController::RedrawDue() const {
    try {
        return d_->platform->InitTimer().Enabled();
    } catch (const std::exception& error) {
        Warn("InitTimer", error);
        return false;
    }
}

// --- the window system ---------------------------------------------------------------------

void ScheduleController::Resized(QSize size, bool hadOldSize) {
    // A frontend shown for the first time, or shown again after a resize while hidden, reports
    // its size with no old size; when the control knows that size already, there is nothing to
    // lay out.
    if (!hadOldSize && size == d_->controlSize) return;
    d_->controlSize = size;
    d_->Deliver(
        "Resize", [this] { d_->control->Resize(); }, EventGate::Kind::Resize);
    // The bars moved: the cursor follows its block.
    Q_EMIT overlaysMoved();
}

void ScheduleController::PaintRequested() {
    d_->Deliver(
        "Paint", [this] { d_->control->Paint(); }, EventGate::Kind::Paint);
}

bool ScheduleController::TimerTick() {
    if (!RedrawDue()) return false;
    d_->Deliver(
        "InitTimer_Timer",
        [this] {
            // A tick that waited may find the redraw done meanwhile.
            if (d_->platform->InitTimer().Enabled()) d_->control->InitTimer_Timer();
        },
        EventGate::Kind::Tick);
    return true;
}

// --- the user ------------------------------------------------------------------------------

void ScheduleController::ButtonClicked(int button) {
    if (button >= 0 && button < platform::kDayCount) {
        d_->Deliver("cmdDay_Click", [this, button] {
            d_->control->cmdDay_Click(static_cast<std::int16_t>(button));
        });
    } else if (button == 8) {
        d_->Deliver("cmdEnable_Click", [this] { d_->control->cmdEnable_Click(); });
    } else if (button == 9) {
        d_->Deliver("cmdDisable_Click", [this] { d_->control->cmdDisable_Click(); });
    }
}

void ScheduleController::PointerPressed(int bar, QPointF at, Qt::MouseButton button,
                                        Qt::KeyboardModifiers modifiers) {
    d_->Pointer("Schedule_MouseDown", bar, at, button, modifiers, &Schedule::Schedule_MouseDown);
}

void ScheduleController::PointerMoved(int bar, QPointF at, Qt::MouseButtons buttons,
                                      Qt::KeyboardModifiers modifiers) {
    if (bar < 0 || bar >= platform::kDayCount) return;
    // The hint that this move brings shows at the pointer.
    d_->hintAtPointer = true;
    Guarded("pointer", [&] {
        platform::PictureBox& box = d_->platform->DayBar(bar);
        // A pointer far outside any widget, or at no number, is held within the 16-bit range that
        // widgets live in, which also keeps its whole-pixel form defined.
        const auto held = [](double v) {
            return std::isnan(v) ? 0.0 : std::clamp(v, -32768.0, 32767.0);
        };
        d_->pointer = QPoint(static_cast<int>(box.Left()), static_cast<int>(box.Top())) +
                      QPointF(held(at.x()), held(at.y())).toPoint();
    });
    d_->Pointer("Schedule_MouseMove", bar, at, buttons, modifiers, &Schedule::Schedule_MouseMove);
}

void ScheduleController::PointerReleased(int bar, QPointF at, Qt::MouseButton button,
                                         Qt::KeyboardModifiers modifiers) {
    d_->Pointer("Schedule_MouseUp", bar, at, button, modifiers, &Schedule::Schedule_MouseUp);
}

void ScheduleController::PointerLeft() {
    d_->Deliver("Schedule_MouseLeave", [this] { d_->control->Schedule_MouseLeave(); });
}

bool ScheduleController::IsBarKey(int qtKey) {
    return BarKeyOf(qtKey).has_value();
}

bool ScheduleController::KeyPressed(int bar, int qtKey, Qt::KeyboardModifiers modifiers) {
    const std::optional<Key> key = BarKeyOf(qtKey);
    if (!key || bar < 0 || bar >= platform::kDayCount) return false;
    d_->hintAtPointer = false;
    const std::int16_t bits = ModifierBitsOf(modifiers);
    d_->Deliver("Schedule_KeyDown", [this, bar, key = *key, bits] {
        const KeyOutcome outcome =
            d_->control->Schedule_KeyDown(static_cast<std::int16_t>(bar), key, bits);
        const int target = FocusTargetOf(bar, outcome);
        if (target >= 0) Q_EMIT focusMoveRequested(target);
    });
    return true;
}

void ScheduleController::BarFocusIn(int bar) {
    d_->hintAtPointer = false;
    d_->Deliver("Schedule_GotFocus",
                [this, bar] { d_->control->Schedule_GotFocus(static_cast<std::int16_t>(bar)); });
}

void ScheduleController::BarFocusOut(int bar) {
    d_->Deliver("Schedule_LostFocus",
                [this, bar] { d_->control->Schedule_LostFocus(static_cast<std::int16_t>(bar)); });
}

bool ScheduleController::BarTakesFocus(int bar) const {
    return d_->control->BarTakesFocus(bar);
}

bool ScheduleController::FocusMovesBlocked() const {
    return d_->focusMovesBlocked > 0;
}

// --- what the frontend shows ---------------------------------------------------------------

HintPlace ScheduleController::Hint() const {
    HintPlace place;
    place.text = d_->hint;
    place.followsCursor = !d_->hintAtPointer;
    const CursorView cursor = Cursor();
    if (d_->hintAtPointer || !cursor.shown) {
        place.anchor = d_->pointer;
        place.below = true;
    } else {
        place.anchor = cursor.frame.topLeft();
        place.below = false;
    }
    return place;
}

CursorView ScheduleController::Cursor() const {
    CursorView view;
    view.bar = d_->control->FocusedBar();
    view.block = d_->control->CursorBlock();
    view.colour = CursorColourOf(d_->control->CurrentTheme());
    if (view.bar < 0 || view.bar >= platform::kDayCount || !d_->control->CursorShown()) return view;
    Guarded("cursor", [&] {
        platform::PictureBox& box = d_->platform->DayBar(view.bar);
        const QRect inner(static_cast<int>(box.Left()) + design::kBarBorder,
                          static_cast<int>(box.Top()) + design::kBarBorder,
                          static_cast<int>(box.ScaleWidth()), static_cast<int>(box.ScaleHeight()));
        if (inner.isEmpty()) return;
        view.frame = CursorFrameAround(view.block, inner, box.hDC().PixelRatio());
        view.shown = true;
    });
    return view;
}

int ScheduleController::FocusedBar() const {
    return d_->control->FocusedBar();
}

int ScheduleController::CursorBlock() const {
    return d_->control->CursorBlock();
}

QString ScheduleController::BarName(int bar) const {
    return QString::fromStdString(d_->control->BarName(bar));
}

QString ScheduleController::BarDescription(int bar) const {
    return QString::fromStdString(d_->control->BarDescription(bar));
}

// --- colours -------------------------------------------------------------------------------

ColourScheme ScheduleController::Scheme() const {
    return d_->scheme;
}

void ScheduleController::SetScheme(ColourScheme scheme, const QPalette& palette) {
    d_->scheme = scheme;
    d_->ApplyTheme(scheme == ColourScheme::Classic ? render::ClassicTheme()
                                                   : ThemeFromPalette(palette));
}

void ScheduleController::PaletteChanged(const QPalette& palette) {
    if (d_->scheme == ColourScheme::Palette) d_->ApplyTheme(ThemeFromPalette(palette));
}

// --- message boxes -------------------------------------------------------------------------

void ScheduleController::AnswerMessage(int request) {
    d_->Answer(request);
}

bool ScheduleController::MessagePending() const {
    return d_->pendingRequest != 0;
}

struct CoreAccess {
    static const Schedule& Of(const ScheduleController& controller) {
        return *controller.d_->control;
    }
};

const Schedule& CoreOf(const ScheduleController& controller) {
    return CoreAccess::Of(controller);
}

}  // namespace tarn::qt

// The meta-object code goes into this object, which the widget library takes in.
#include "moc_ScheduleController.cpp"
