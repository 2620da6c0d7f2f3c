// Embeds the schedule control in a window: opening hours set in C++ and by property name, and a
// line under the control that follows every change the user applies.
//
//   embed-schedule           shows the window
//   embed-schedule --check   builds the window without showing it, checks it and exits
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>
#include <iostream>

#include <TarnSchedule/ScheduleWidget.h>

namespace {

QString MondayText(const tarn::ScheduleWidget& schedule) {
    return QStringLiteral("Monday opens at %1 and closes at %2")
        .arg(schedule.Schedule_MondayStart1(), 4, 10, QChar('0'))
        .arg(schedule.Schedule_MondayStop1(), 4, 10, QChar('0'));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Opening hours"));
    auto* layout = new QVBoxLayout(&window);
    auto* schedule = new tarn::ScheduleWidget;
    auto* monday = new QLabel;
    layout->addWidget(schedule, 1);
    layout->addWidget(monday);

    // Typed accessors...
    schedule->setSchedule_MondayStart1(900);
    schedule->setSchedule_MondayStop1(1730);
    schedule->setSpecialDayCaption(QStringLiteral("Holidays"));
    // ...or the same properties by name, as a form or a script would set them.
    schedule->setProperty("Schedule_SaturdayStart1", 1000);
    schedule->setProperty("Schedule_SaturdayStop1", 1400);

    monday->setText(MondayText(*schedule));
    QObject::connect(schedule, &tarn::ScheduleWidget::ScheduleUpdated, monday,
                     [schedule, monday] { monday->setText(MondayText(*schedule)); });

    if (check) {
        const bool ok = schedule->Schedule_MondayStop1() == 1730 &&
                        schedule->property("Schedule_SaturdayStart1").toInt() == 1000 &&
                        schedule->SpecialDayCaption() == QStringLiteral("Holidays");
        std::cout << (ok ? "embed-schedule: ok" : "embed-schedule: wrong values") << '\n';
        return ok ? 0 : 1;
    }
    window.resize(720, 420);
    window.show();
    return application.exec();
}
