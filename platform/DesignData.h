// The control's design data: its child widgets with their captions and geometry (twips, as
// designed), their tab order, the redraw timer's interval and the size of the control itself.
// Backends create the widgets from this table before the control is initialised.
#pragma once

#include <array>
#include <string_view>

namespace tarn::design {

inline constexpr int kTwipsPerPixel = 15;

enum class WidgetKind { DayButton, DayBar, EnableButton, DisableButton };

struct WidgetDesign {
    WidgetKind kind;
    int index;  // 0 to 7 for day buttons and bars, 0 otherwise
    std::string_view caption;
    int left, top, width, height;  // twips
};

inline constexpr std::array<std::string_view, 8> kDayWords = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday", "Special"};

constexpr WidgetDesign DayButton(int i) {
    return {WidgetKind::DayButton, i, kDayWords[i], 60, 480 + 540 * i, 1245, 525};
}
constexpr WidgetDesign DayBar(int i) {
    return {WidgetKind::DayBar, i, "", 1320, 480 + 540 * i, 8655, 525};
}
inline constexpr WidgetDesign kEnableButton{
    WidgetKind::EnableButton, 0, "Enable", 1320, 4830, 4305, 525};
inline constexpr WidgetDesign kDisableButton{
    WidgetKind::DisableButton, 0, "Disable", 5670, 4830, 4335, 525};

/// All eighteen widgets in tab order: each day's button, then its bar, Monday to Special, then
/// Enable and Disable.
constexpr std::array<WidgetDesign, 18> WidgetsInTabOrder() {
    std::array<WidgetDesign, 18> order{};
    for (int i = 0; i < 8; ++i) {
        order[2 * i] = DayButton(i);
        order[2 * i + 1] = DayBar(i);
    }
    order[16] = kEnableButton;
    order[17] = kDisableButton;
    return order;
}

/// Twips to whole pixels; every widget of the design lies on whole pixels.
constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

/// The redraw timer: disabled at design, 10 ms.
inline constexpr int kTimerIntervalMs = 10;

/// The bars' sunken frame, in pixels on each side.
inline constexpr int kBarBorder = 2;

/// The control's inner design size in pixels.
inline constexpr int kControlWidth = 679;
inline constexpr int kControlHeight = 361;

}  // namespace tarn::design
