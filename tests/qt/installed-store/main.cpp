// A week through the installed store's JSON and an in-memory SQLite store, and back: proves the
// public headers compile on their own and the store links with the value types inside the package.
#include <TarnSchedule/storage/ScheduleStore.h>
#include <TarnSchedule/storage/WeekJson.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tarn::WeekRanges week;
    week[0] = std::get<tarn::DayRanges>(tarn::DayRanges::Make({{36, 48}, {52, 70}}));
    const auto read = tarn::storage::WeekFromJson(tarn::storage::WeekToJson(week));
    if (!std::holds_alternative<tarn::WeekRanges>(read) || std::get<0>(read) != week) {
        std::cerr << "the week did not come back from JSON\n";
        return 1;
    }

    QTemporaryDir dir;
    auto opened = tarn::storage::ScheduleStore::Open(dir.filePath("schedules.db"));
    if (!opened) {
        std::cerr << "the store did not open\n";
        return 1;
    }
    auto& store = *opened.Value();
    if (!store.Create("Office", week)) {
        std::cerr << "the store refused a new schedule\n";
        return 1;
    }
    const auto stored = store.Read("Office");
    if (!stored || stored.Value().week != week) {
        std::cerr << "the week did not come back from the store\n";
        return 1;
    }
    std::cout << "store ok\n";
    return 0;
}
