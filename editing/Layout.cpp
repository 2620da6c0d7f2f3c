// Proportional layout: the design geometry of every button and bar is captured once at creation,
// and every resize places each widget at that geometry scaled by the control's size ratios.

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

namespace {

void Capture(platform::WidgetGeometry& widget, oCommandButton& record) {
    record.Top = RoundToInt16(widget.Top());
    record.Left = RoundToInt16(widget.Left());
    record.Height = RoundToInt16(widget.Height());
    record.Width = RoundToInt16(widget.Width());
}

}  // namespace

void Schedule::GetCurrentPositions() {
    Reporting(
        [&] {
            for (int i = 0; i < 8; ++i)
                Capture(platform_.DayButton(i), state_.ButtonPositions[i]);
            Capture(platform_.EnableButton(), state_.ButtonPositions[8]);
            Capture(platform_.DisableButton(), state_.ButtonPositions[9]);
            for (int i = 0; i < 8; ++i)
                Capture(platform_.DayBar(i), state_.PictureBoxPositions[i]);
            state_.DesignHeight = platform_.Surface().Height();
            state_.DesignWidth = platform_.Surface().Width();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to get current positions with error: ", error);
        });
}

void Schedule::ResizeControls() {
    Silently(
        [&] { state_.HeightRatio = Divide(platform_.Surface().Height(), state_.DesignHeight); });
    Silently([&] { state_.WidthRatio = Divide(platform_.Surface().Width(), state_.DesignWidth); });

    // Always from the recorded design geometry, so repeated resizes never accumulate truncation.
    auto place = [&](auto widgetOf, const oCommandButton& record) {
        const double heightRatio = state_.HeightRatio;
        const double widthRatio = state_.WidthRatio;
        Silently([&] { widgetOf().SetTop(static_cast<float>(Fix(record.Top * heightRatio))); });
        Silently([&] { widgetOf().SetLeft(static_cast<float>(Fix(record.Left * widthRatio))); });
        Silently(
            [&] { widgetOf().SetHeight(static_cast<float>(Fix(record.Height * heightRatio))); });
        Silently([&] { widgetOf().SetWidth(static_cast<float>(Fix(record.Width * widthRatio))); });
        Silently([&] { widgetOf().Refresh(); });
    };
    for (int i = 0; i < 8; ++i)
        place([&]() -> platform::WidgetGeometry& { return platform_.DayButton(i); },
              state_.ButtonPositions[i]);
    for (int i = 0; i < 8; ++i)
        place([&]() -> platform::WidgetGeometry& { return platform_.DayBar(i); },
              state_.PictureBoxPositions[i]);
    place([&]() -> platform::WidgetGeometry& { return platform_.EnableButton(); },
          state_.ButtonPositions[8]);
    place([&]() -> platform::WidgetGeometry& { return platform_.DisableButton(); },
          state_.ButtonPositions[9]);
    Silently([&] { platform_.Host().Sleep(100); });
}

}  // namespace tarn
