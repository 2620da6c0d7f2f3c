// Hour numbers (12-hour clock, every two hours) and AM/PM labels written on the control's own
// surface above the first bar, placed from bar 0's geometry and the layout ratios.

#include <string>

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

namespace {

void WriteLabel(platform::Gdi& gdi, platform::ControlSurface& surface, double x, double y,
                const std::string& text) {
    gdi.TextOutA(surface.hDC(), RoundToInt32(x), RoundToInt32(y), text.c_str(),
                 static_cast<int>(text.size()));
}

}  // namespace

void Schedule::UpdateTimeLabels() {
    Reporting(
        [&] {
            platform::ControlSurface& surface = platform_.Surface();
            platform::Gdi& gdi = platform_.Drawing();
            surface.Clear();
            platform::PictureBox& bar = platform_.DayBar(0);
            const double top0 = bar.Top();
            const double left0 = bar.Left();
            const double y = top0 - 15 * state_.HeightRatio;
            double xBase = left0 - 4 * state_.WidthRatio;
            const double step = static_cast<double>(bar.ScaleWidth()) / 24.0;
            for (int hour = 0; hour <= 24; hour += 2) {
                std::string text;
                if (hour == 0) {
                    text = "12";
                } else if (hour <= 10) {
                    text = std::to_string(hour);
                } else if (hour == 12) {
                    text = "12";
                } else if (hour == 24) {
                    // The last "12" would hang past the bar's end: it is pulled 8 pixels left.
                    xBase -= 8;
                    text = std::to_string(hour - 12);
                } else {
                    text = std::to_string(hour - 12);
                }
                WriteLabel(gdi, surface, hour * step + xBase, y, text);
            }
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update time labels with error: ", error);
        });
}

void Schedule::UpdateTimePeriodLabels() {
    Reporting(
        [&] {
            platform::ControlSurface& surface = platform_.Surface();
            platform::Gdi& gdi = platform_.Drawing();
            platform::PictureBox& bar = platform_.DayBar(0);
            const double top0 = bar.Top();
            const double left0 = bar.Left();
            const double y = top0 - 25 * state_.HeightRatio;
            WriteLabel(gdi, surface, left0 - 4 * state_.WidthRatio, y, "AM");
            const double scaleWidth0 = bar.ScaleWidth();
            WriteLabel(gdi, surface, scaleWidth0 / 2 + left0 - 3, y, "PM");
            const double width0 = bar.Width();
            WriteLabel(gdi, surface, width0 - 12 + left0, y, "AM");
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update time period labels with error: ", error);
        });
}

}  // namespace tarn
