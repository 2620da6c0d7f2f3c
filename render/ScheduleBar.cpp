// The blocks of a day bar: the empty grid (white top and bottom bands, light red middle band) and
// the middle band painted from the day's block states, light green where enabled.

#include "model/ErrorStyles.h"
#include "model/Schedule.h"
#include "render/BlockGeometry.h"
#include "render/ScopedPens.h"

namespace tarn {

void Schedule::InitializeScheduleBlocks() {
    Reporting(
        [&] {
            platform::Gdi& gdi = platform_.Drawing();
            render::ScopedPens pens(gdi);
            const platform::GdiObject bandPens[render::kBands] = {
                pens.Make(theme_.bandBackground),
                pens.Make(theme_.disabledBlock),
                pens.Make(theme_.bandBackground),
            };
            platform::PictureBox& bar = platform_.DayBar(state_.CurrentDay);
            const double w = bar.ScaleWidth() / 96.0;
            const double h = bar.ScaleHeight() / 3.0;
            double x = 0.0;
            for (int b = 0; b < kBlocksPerDay; ++b) {
                for (int band = 0; band < render::kBands; ++band)
                    render::FillWithPen(gdi, bar.hDC(), render::BlockRect(x, w, h, band),
                                        bandPens[band]);
                x += w;
            }
            pens.DeleteAll();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to initialize schedule blocks with error: ", error);
        });
}

void Schedule::UpdateScheduleBar() {
    Reporting(
        [&] {
            SetBlockStates();
            platform::Gdi& gdi = platform_.Drawing();
            platform::PictureBox& bar = platform_.DayBar(state_.CurrentDay);
            const double w = bar.ScaleWidth() / 96.0;
            const double h = bar.ScaleHeight() / 3.0;
            double x = 0.0;
            render::ScopedPens pens(gdi);
            const auto enabledPen = pens.Make(theme_.enabledBlock);
            const auto disabledPen = pens.Make(theme_.disabledBlock);
            const auto& enabled = state_.BlockEnabled.at(state_.CurrentDay);
            for (int b = 0; b < kBlocksPerDay; ++b) {
                render::FillWithPen(gdi, bar.hDC(), render::BlockRect(x, w, h, render::kMiddleBand),
                                    enabled[b] ? enabledPen : disabledPen);
                x += w;
            }
            DrawTickmarks();
            pens.DeleteAll();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule bar with error: ", error);
        });
}

}  // namespace tarn
