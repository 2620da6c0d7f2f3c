// The time scale of a day bar: black marks hanging from the top edge, a third of the height at
// every quarter hour, two thirds at every half hour, the full height at every hour.

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

void Schedule::DrawTickmarks() {
    DrawMinorTickmarks();
    DrawIntermediateTickmarks();
    DrawMajorTickmarks();
}

void Schedule::DrawMinorTickmarks() {
    DrawTickmarkLevel(96, 1, "Failed to draw minor tickmarks with error: ");
}

void Schedule::DrawIntermediateTickmarks() {
    DrawTickmarkLevel(48, 2, "Failed to draw intermediate tickmarks with error: ");
}

void Schedule::DrawMajorTickmarks() {
    DrawTickmarkLevel(24, 3, "Failed to draw major tickmarks with error: ");
}

void Schedule::DrawTickmarkLevel(int intervals, int lengthThirds, std::string_view failure) {
    platform::Gdi& gdi = platform_.Drawing();
    platform::GdiObject pen = 0;
    bool penDeleted = false;
    const bool drawn = Reporting(
        [&] {
            platform::PictureBox& bar = platform_.DayBar(state_.CurrentDay);
            const float scaleHeight = bar.ScaleHeight();
            // Hours run the full height; the other levels a third or two thirds, the third
            // taken first and then doubled.
            const double length =
                lengthThirds == 3 ? scaleHeight : lengthThirds * (scaleHeight / 3.0);
            const float scaleWidth = bar.ScaleWidth();
            const double spacing = scaleWidth / static_cast<double>(intervals);
            pen = gdi.CreatePen(0, 1, theme_.tickMark);
            const platform::GdiObject previous = gdi.SelectObject(bar.hDC(), pen);
            const std::int32_t markLength = RoundToInt32(length);
            for (int i = 0; i <= intervals; ++i) {
                const std::int32_t x = RoundToInt32(i * spacing);
                platform::POINTAPI previousPosition;
                gdi.MoveToEx(bar.hDC(), x, 0, &previousPosition);
                gdi.LineTo(bar.hDC(), x, markLength);
            }
            if (previous != 0) gdi.SelectObject(bar.hDC(), previous);
            gdi.DeleteObject(pen);
            penDeleted = true;
        },
        [&](const std::exception& error) { ReportFailure(failure, error); });
    // An error part way leaves the pen made; release it so that no drawing object outlives the
    // call.
    if (!drawn && pen != 0 && !penDeleted) Silently([&] { gdi.DeleteObject(pen); });
}

}  // namespace tarn
