#include "controller/ScheduleController.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <utility>

namespace tarn::qt {

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

/// Relative luminance, 0 for black to 1 for white.
double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    auto channel = [share](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(static_cast<float>(channel(from.redF(), to.redF())),
                            static_cast<float>(channel(from.greenF(), to.greenF())),
                            static_cast<float>(channel(from.blueF(), to.blueF())));
}

/// The hue of colour in degrees, kept within limit of centre; centre for a grey.
double HueNear(const QColor& colour, double centre, double limit) {
    const double hue = colour.hslHueF();
    if (hue < 0) return centre;
    double offset = std::fmod(hue * 360.0 - centre + 540.0, 360.0) - 180.0;
    offset = std::clamp(offset, -limit, limit);
    return std::fmod(centre + offset + 360.0, 360.0);
}

QColor FromHsl(double hue, double saturation, double lightness) {
    return QColor::fromHslF(static_cast<float>(hue / 360.0), static_cast<float>(saturation),
                            static_cast<float>(lightness));
}

/// ink when it stands out from background, else black or white, whichever stands out more.
QColor Legible(const QColor& ink, const QColor& background) {
    if (Contrast(ink, background) >= 4.5) return ink;
    return Contrast(Qt::black, background) >= Contrast(Qt::white, background) ? QColor(Qt::black)
                                                                              : QColor(Qt::white);
}

platform::ColourRef RefOf(const QColor& colour) {
    return static_cast<platform::ColourRef>(colour.rgb() & 0xFFFFFFu);
}

}  // namespace

render::Theme ThemeFromPalette(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor ink = Legible(palette.color(QPalette::Active, QPalette::Text), base);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor label = Legible(palette.color(QPalette::Active, QPalette::WindowText), window);
    const bool dark = Luminance(base) < 0.2;

    // The hues come from the palette, held near green and red so that the two kinds of block are
    // told apart by hue; the lightness is set by the palette's brightness, with enabled blocks
    // darker than disabled ones on a light palette and brighter on a dark one, so that they are
    // told apart without colour too.
    const double enabledHue =
        HueNear(Mix(palette.color(QPalette::Active, QPalette::Highlight), QColor(0, 200, 0), 0.65),
                120.0, 25.0);
    const double disabledHue = HueNear(Mix(base, QColor(220, 0, 0), 0.5), 0.0, 15.0);
    const QColor enabled = dark ? FromHsl(enabledHue, 0.5, 0.38) : FromHsl(enabledHue, 0.55, 0.45);
    const QColor disabled =
        dark ? FromHsl(disabledHue, 0.5, 0.28) : FromHsl(disabledHue, 0.75, 0.86);

    render::Theme theme{};
    theme.enabledBlock = RefOf(enabled);
    theme.disabledBlock = RefOf(disabled);
    theme.selectionMark = RefOf(ink);
    theme.bandBackground = RefOf(base);
    theme.tickMark = RefOf(ink);
    theme.label = RefOf(label);
    return theme;
}

QColor CursorColourOf(const render::Theme& theme) {
    const QColor bands = QColor::fromRgb(static_cast<QRgb>(theme.bandBackground | 0xFF000000u));
    return Luminance(bands) < 0.2 ? QColor(0x4D, 0xA3, 0xFF) : QColor(0x00, 0x50, 0xEF);
}

std::optional<Key> BarKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Home:
            return Key::Home;
        case Qt::Key_End:
            return Key::End;
        case Qt::Key_Return:
            return Key::Return;
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Space:
            return Key::Space;
        case Qt::Key_Delete:
            return Key::Delete;
        case Qt::Key_Backspace:
            return Key::Backspace;
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_A:
            return Key::A;
        default:
            return std::nullopt;
    }
}

std::int16_t ModifierBitsOf(Qt::KeyboardModifiers modifiers) {
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= kShiftMask;
    if (modifiers & Qt::ControlModifier) bits |= kCtrlMask;
    return bits;
}

ScheduleController::ScheduleController(const PlatformFactory& makePlatform, QObject* parent)
    : QObject(parent),
      gate_(*this),
      platform_(makePlatform(gate_)),
      control_(std::make_unique<Schedule>(*platform_)) {
    control_->SetViewListener([this](Schedule::ViewChange change) { ViewChanged(change); });
}

ScheduleController::~ScheduleController() {
    Terminate();
    // The core goes before the platform it draws on.
    control_.reset();
    platform_.reset();
}

void ScheduleController::Warn(const char* operation, const std::exception& error) {
    qWarning("tarn::ScheduleWidget: %s failed: %s", operation, error.what());
}

void ScheduleController::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    Guarded("Initialize", [this] { control_->Initialize(); });
    Snapshot();
}

void ScheduleController::Terminate() {
    if (terminated_ || !initialized_) return;
    terminated_ = true;
    Guarded("Terminate", [this] { control_->Terminate(); });
}

void ScheduleController::Snapshot() {
    // The descriptions are made from the time properties alone: while those are the ones they
    // were last made from, they stand, and a hover's moves cost nothing here.
    const bool valuesChanged = control_->State().TimeValues != valuesBefore_;
    valuesBefore_ = control_->State().TimeValues;
    for (int bar = 0; bar < platform::kDayCount; ++bar) {
        names_[bar] = BarName(bar);
        if (valuesChanged || !described_) descriptions_[bar] = BarDescription(bar);
        takesFocus_[bar] = control_->BarTakesFocus(bar);
    }
    described_ = true;
}

void ScheduleController::Compare() {
    const bool valuesChanged = control_->State().TimeValues != valuesBefore_;
    bool rulesChanged = false;
    for (int bar = 0; bar < platform::kDayCount; ++bar) {
        const QString name = BarName(bar);
        // The descriptions are made from the time properties: unchanged properties, unchanged
        // descriptions, and a drag's moves cost nothing here.
        QString description = valuesChanged ? BarDescription(bar) : descriptions_[bar];
        const bool nameChanged = name != names_[bar];
        const bool descriptionChanged = description != descriptions_[bar];
        names_[bar] = name;
        descriptions_[bar] = std::move(description);
        if (nameChanged || descriptionChanged)
            Q_EMIT barTextChanged(bar, nameChanged, descriptionChanged);
        const bool takesFocus = control_->BarTakesFocus(bar);
        rulesChanged = rulesChanged || takesFocus != takesFocus_[bar];
        takesFocus_[bar] = takesFocus;
    }
    // The descriptions now follow these values.
    valuesBefore_ = control_->State().TimeValues;
    if (rulesChanged) Q_EMIT focusRulesChanged();
    if (valuesChanged) Q_EMIT scheduleChanged();
}

void ScheduleController::ViewChanged(Schedule::ViewChange change) {
    switch (change) {
        case Schedule::ViewChange::Hint: {
            QString hint = QString::fromStdString(control_->HintText());
            if (hint == hint_) return;
            hint_ = std::move(hint);
            Q_EMIT hintChanged(hint_);
            return;
        }
        case Schedule::ViewChange::Focus:
        case Schedule::ViewChange::Cursor:
            Q_EMIT cursorChanged();
            return;
    }
}

bool ScheduleController::KeyPress(int bar, int qtKey, Qt::KeyboardModifiers modifiers) {
    const std::optional<Key> key = BarKeyOf(qtKey);
    if (!key || bar < 0 || bar >= platform::kDayCount) return false;
    const std::int16_t bits = ModifierBitsOf(modifiers);
    Deliver("Schedule_KeyDown", [this, bar, key = *key, bits] {
        const KeyOutcome outcome =
            control_->Schedule_KeyDown(static_cast<std::int16_t>(bar), key, bits);
        int target = -1;
        if (outcome == KeyOutcome::FocusBarAbove) target = bar - 1;
        if (outcome == KeyOutcome::FocusBarBelow) target = bar + 1;
        if (target >= 0 && target < platform::kDayCount && control_->BarTakesFocus(target))
            Q_EMIT focusMoveRequested(target);
    });
    return true;
}

void ScheduleController::BarFocusIn(int bar) {
    Deliver("Schedule_GotFocus",
            [this, bar] { control_->Schedule_GotFocus(static_cast<std::int16_t>(bar)); });
}

void ScheduleController::BarFocusOut(int bar) {
    Deliver("Schedule_LostFocus",
            [this, bar] { control_->Schedule_LostFocus(static_cast<std::int16_t>(bar)); });
}

void ScheduleController::PointerLeft() {
    Deliver("Schedule_MouseLeave", [this] { control_->Schedule_MouseLeave(); });
}

QString ScheduleController::BarName(int bar) const {
    return QString::fromStdString(control_->BarName(bar));
}

QString ScheduleController::BarDescription(int bar) const {
    return QString::fromStdString(control_->BarDescription(bar));
}

void ScheduleController::SetScheme(ColourScheme scheme, const QPalette& palette) {
    scheme_ = scheme;
    ApplyTheme(scheme == ColourScheme::Classic ? render::ClassicTheme()
                                               : ThemeFromPalette(palette));
}

void ScheduleController::PaletteChanged(const QPalette& palette) {
    if (scheme_ == ColourScheme::Palette) ApplyTheme(ThemeFromPalette(palette));
}

void ScheduleController::ApplyTheme(const render::Theme& theme) {
    Deliver(
        "SetTheme",
        [this, theme] {
            if (control_->CurrentTheme() == theme) return;
            control_->SetTheme(theme);
            // The bars take the new colours when they are next drawn: all of them, on the next
            // tick. The cursor, drawn over them, takes its colour at once.
            control_->Refresh();
            Q_EMIT cursorChanged();
        },
        EventGate::Kind::Host);
}

}  // namespace tarn::qt

// The meta-object code goes into this object, which the widget library takes in.
#include "moc_ScheduleController.cpp"
