#include "controller/Colours.h"

#include <QColor>
#include <algorithm>
#include <cmath>

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

}  // namespace tarn::qt
