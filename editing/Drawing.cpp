// The control's drawing operations: each asks the bar painter for one part of a row (or the
// labels) in the current theme and reports its own failure.

#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

void Schedule::InitializeScheduleBlocks() {
    Reporting([&] { render::PaintGrid(platform_, model_.CurrentRow(), theme_); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to initialize schedule blocks with error: ", error);
              });
}

void Schedule::UpdateScheduleBar() {
    Reporting(
        [&] {
            SetBlockStates();
            render::PaintStates(platform_, model_.CurrentRow(), model_.State().BlockEnabled, theme_,
                                [&] { DrawTickmarks(); });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule bar with error: ", error);
        });
}

void Schedule::DrawTickmarks() {
    DrawMinorTickmarks();
    DrawIntermediateTickmarks();
    DrawMajorTickmarks();
}

void Schedule::DrawMinorTickmarks() {
    DrawTickmarkLevel(render::TickLevel::Minor, "Failed to draw minor tickmarks with error: ");
}

void Schedule::DrawIntermediateTickmarks() {
    DrawTickmarkLevel(render::TickLevel::Intermediate,
                      "Failed to draw intermediate tickmarks with error: ");
}

void Schedule::DrawMajorTickmarks() {
    DrawTickmarkLevel(render::TickLevel::Major, "Failed to draw major tickmarks with error: ");
}

void Schedule::DrawTickmarkLevel(render::TickLevel level, std::string_view failure) {
    platform::Gdi& gdi = platform_.Drawing();
    render::PaintTickLevel(gdi, platform_, model_.CurrentRow(), level, theme_,
                           [&](const std::exception& error) { ReportFailure(failure, error); });
}

void Schedule::UpdateTimeLabels() {
    Reporting(
        [&] {
            render::WriteHourLabels(platform_, model_.State().WidthRatio,
                                    model_.State().HeightRatio);
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update time labels with error: ", error);
        });
}

void Schedule::UpdateTimePeriodLabels() {
    Reporting(
        [&] {
            render::WritePeriodLabels(platform_, model_.State().WidthRatio,
                                      model_.State().HeightRatio);
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update time period labels with error: ", error);
        });
}

}  // namespace tarn
