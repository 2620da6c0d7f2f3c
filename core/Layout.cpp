// Proportional layout: the design geometry of every button and bar is captured once at creation,
// and every resize places each widget at that geometry scaled by the control's size ratios.

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "core/Schedule.h"

namespace tarn {

namespace {

/// Reads the widget's geometry into its record field by field; each field read is stored at
/// once, so a failing read keeps what was read before it.
template <class Store>
void Capture(platform::WidgetGeometry& widget, oCommandButton record, Store store) {
    record.Top = RoundToInt16(widget.Top());
    store(record);
    record.Left = RoundToInt16(widget.Left());
    store(record);
    record.Height = RoundToInt16(widget.Height());
    store(record);
    record.Width = RoundToInt16(widget.Width());
    store(record);
}

}  // namespace

void Schedule::GetCurrentPositions() {
    Reporting(
        [&] {
            const ScheduleState& state = model_.State();
            const auto button = [&](int i, platform::WidgetGeometry& widget) {
                Capture(widget, state.ButtonPositions[i],
                        [&](const oCommandButton& record) { model_.RecordButton(i, record); });
            };
            for (int i = 0; i < 8; ++i)
                button(i, platform_.DayButton(i));
            button(8, platform_.EnableButton());
            button(9, platform_.DisableButton());
            for (int i = 0; i < 8; ++i)
                Capture(platform_.DayBar(i), state.PictureBoxPositions[i],
                        [&](const oPictureBox& record) { model_.RecordBar(i, record); });
            model_.RecordDesignHeight(platform_.Surface().Height());
            model_.RecordDesignWidth(platform_.Surface().Width());
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to get current positions with error: ", error);
        });
}

void Schedule::ResizeControls() {
    const ScheduleState& state = model_.State();
    Silently(
        [&] { model_.SetHeightRatio(Divide(platform_.Surface().Height(), state.DesignHeight)); });
    Silently([&] { model_.SetWidthRatio(Divide(platform_.Surface().Width(), state.DesignWidth)); });

    // Always from the recorded design geometry, so repeated resizes never accumulate truncation.
    auto place = [&](auto widgetOf, const oCommandButton& record) {
        const double heightRatio = state.HeightRatio;
        const double widthRatio = state.WidthRatio;
        Silently([&] { widgetOf().SetTop(static_cast<float>(Fix(record.Top * heightRatio))); });
        Silently([&] { widgetOf().SetLeft(static_cast<float>(Fix(record.Left * widthRatio))); });
        Silently(
            [&] { widgetOf().SetHeight(static_cast<float>(Fix(record.Height * heightRatio))); });
        Silently([&] { widgetOf().SetWidth(static_cast<float>(Fix(record.Width * widthRatio))); });
        Silently([&] { widgetOf().Refresh(); });
    };
    for (int i = 0; i < 8; ++i)
        place([&]() -> platform::WidgetGeometry& { return platform_.DayButton(i); },
              state.ButtonPositions[i]);
    for (int i = 0; i < 8; ++i)
        place([&]() -> platform::WidgetGeometry& { return platform_.DayBar(i); },
              state.PictureBoxPositions[i]);
    place([&]() -> platform::WidgetGeometry& { return platform_.EnableButton(); },
          state.ButtonPositions[8]);
    place([&]() -> platform::WidgetGeometry& { return platform_.DisableButton(); },
          state.ButtonPositions[9]);
    Silently([&] { platform_.Host().Sleep(100); });
}

}  // namespace tarn
