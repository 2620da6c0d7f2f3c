// The control's drawing operations: each asks the bar painter for one part of a row (or the
// labels) in the current theme and reports its own failure.

#include "model/ErrorStyles.h"
#include "core/Schedule.h"

namespace tarn {

void Schedule::InitializeScheduleBlocks(int row) {
    Reporting([&] { render::PaintGrid(platform_, row, theme_); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to initialize schedule blocks with error: ", error);
              });
}

void Schedule::UpdateScheduleBar(int row) {
    Reporting(
        [&] {
            SetBlockStates(row);
            render::PaintStates(platform_, row, model_.State().BlockEnabled, theme_,
                                [&] { DrawTickmarks(row); });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule bar with error: ", error);
        });
}

void Schedule::DrawTickmarks(int row) {
    DrawMinorTickmarks(row);
    DrawIntermediateTickmarks(row);
    DrawMajorTickmarks(row);
}

void Schedule::DrawMinorTickmarks(int row) {
    DrawTickmarkLevel(row, render::TickLevel::Minor, "Failed to draw minor tickmarks with error: ");
}

void Schedule::DrawIntermediateTickmarks(int row) {
    DrawTickmarkLevel(row, render::TickLevel::Intermediate,
                      "Failed to draw intermediate tickmarks with error: ");
}

void Schedule::DrawMajorTickmarks(int row) {
    DrawTickmarkLevel(row, render::TickLevel::Major, "Failed to draw major tickmarks with error: ");
}

void Schedule::DrawTickmarkLevel(int row, render::TickLevel level, std::string_view failure) {
    platform::Gdi& gdi = platform_.Drawing();
    render::PaintTickLevel(gdi, platform_, row, level, theme_,
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
