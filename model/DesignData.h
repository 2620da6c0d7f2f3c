// The control's design data: its child widgets with their captions, geometry (twips, as designed)
// and tab order, the redraw timer's interval and the size of the control itself. Backends create
// the widgets from this table before the control is initialised.
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
    int tabIndex;
};

inline constexpr std::array<std::string_view, 8> kDayWords = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday", "Special"};

constexpr WidgetDesign DayButton(int i) {
    return {WidgetKind::DayButton, i, kDayWords[i], 60, 480 + 540 * i, 1245, 525, 17 - i};
}
constexpr WidgetDesign DayBar(int i) {
    return {WidgetKind::DayBar, i, "", 1320, 480 + 540 * i, 8655, 525, 7 - i};
}
inline constexpr WidgetDesign kEnableButton{
    WidgetKind::EnableButton, 0, "Enable", 1320, 4830, 4305, 525, 9};
inline constexpr WidgetDesign kDisableButton{
    WidgetKind::DisableButton, 0, "Disable", 5670, 4830, 4335, 525, 8};

/// All eighteen widgets, in tab order (tab index 0 first).
constexpr std::array<WidgetDesign, 18> WidgetsInTabOrder() {
    return {DayBar(7),    DayBar(6),    DayBar(5),      DayBar(4),     DayBar(3),    DayBar(2),
            DayBar(1),    DayBar(0),    kDisableButton, kEnableButton, DayButton(7), DayButton(6),
            DayButton(5), DayButton(4), DayButton(3),   DayButton(2),  DayButton(1), DayButton(0)};
}

/// Twips to whole pixels; every widget of the design lies on whole pixels.
constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

/// The redraw timer: disabled at design, 10 ms.
inline constexpr int kTimerIntervalMs = 10;

/// The bars' sunken frame, in pixels on each side.
inline constexpr int kBarBorder = 2;

/// The control's inner design size: 10188 x 5412 twips, 679 x 361 pixels.
inline constexpr int kControlWidthTwips = 10188;
inline constexpr int kControlHeightTwips = 5412;
inline constexpr int kControlWidth = 679;
inline constexpr int kControlHeight = 361;

}  // namespace tarn::design
