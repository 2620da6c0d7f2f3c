// The schedule store on real SQLite files where the store command's script cannot reach: names
// it cannot send, two stores on one file, revisions with the Special row's settings, and older
// files migrated.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <tuple>

#include "storage/ScheduleStore.h"
#include "storage/WeekJson.h"

namespace tarn::storage {
namespace {

/// Qt SQL loads its SQLite driver as a plugin, which needs the application object.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "storage_tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QCoreApplication> application_;
};
[[maybe_unused]] const auto* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

DayRanges Day(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

WeekRanges OfficeWeek() {
    WeekRanges week;
    for (std::size_t day = 0; day < 5; ++day)
        week[day] = Day({{32, 48}, {52, 70}});
    week[7] = Day({{0, 1}, {2, 3}, {4, 5}, {95, 96}});
    return week;
}

WeekRanges NightWeek() {
    WeekRanges week;
    week[5] = Day({{0, 96}});
    week[6] = Day({{88, 96}});
    return week;
}

std::unique_ptr<ScheduleStore> OpenOrFail(const QString& path) {
    auto store = ScheduleStore::Open(path);
    EXPECT_TRUE(store.Ok()) << (store.Ok() ? "" : store.Error().message.toStdString());
    return store.Ok() ? std::move(store).Value() : nullptr;
}

std::vector<QString> Names(const ScheduleStore& store) {
    std::vector<QString> names;
    auto entries = store.List();
    EXPECT_TRUE(entries.Ok());
    if (entries.Ok())
        for (const auto& entry : entries.Value())
            names.push_back(entry.name);
    return names;
}

/// Runs SQL on a plain connection of its own, as another program would.
void ExecElsewhere(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "elsewhere");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& sql : statements)
            ASSERT_TRUE(QSqlQuery(db).exec(sql)) << sql.toStdString();
    }
    QSqlDatabase::removeDatabase("elsewhere");
}

/// A fresh store in a temporary folder, open as `store_`.
class ScheduleStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = OpenOrFail(Path());
        ASSERT_TRUE(store_);
    }
    QString Path() const { return dir_.filePath(QStringLiteral("schedules.sqlite")); }
    QTemporaryDir dir_;
    std::unique_ptr<ScheduleStore> store_;
};

// What the store command cannot send (broken UTF-16, an empty name, a create onto a taken
// name) is refused and writes nothing; the names it can send are shown by its script. Each store
// has a connection of its own: closing one leaves the other working.
TEST_F(ScheduleStoreTest, RefusesWhatTheCommandCannotSendAndStoresShareTheFile) {
    auto second = OpenOrFail(Path());
    ASSERT_TRUE(second);
    ASSERT_TRUE(store_->Create(QStringLiteral("Office"), OfficeWeek()));
    using K = StoreError::Kind;
    EXPECT_EQ(second->Create(QStringLiteral("Office"), NightWeek()).Error().kind, K::NameTaken);
    EXPECT_EQ(second->Write(QString(QChar(0xd800)) + 'x', NightWeek()).Error().kind, K::BadName);
    EXPECT_EQ(second->Rename(QStringLiteral("Office"), QString()).Error().kind, K::BadName);
    store_.reset();
    EXPECT_EQ(Names(*second), std::vector<QString>{"Office"});
    EXPECT_EQ(second->Read(QStringLiteral("Office")).Value().week, OfficeWeek());
}

// An empty file and one of an older schema (version 0: ours, marked but holding nothing yet)
// become a working store. A missing folder is shown by the store command's script.
TEST_F(ScheduleStoreTest, EmptyAndOlderFilesBecomeAStore) {
    const QString empty = dir_.filePath(QStringLiteral("empty.sqlite"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    const QString old = dir_.filePath(QStringLiteral("old.sqlite"));
    ExecElsewhere(old, {"PRAGMA application_id = " + QString::number(kApplicationId),
                        "CREATE TABLE unrelated (x)"});
    for (const QString& path : {empty, old}) {
        auto store = OpenOrFail(path);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));
        EXPECT_EQ(store->Read(QStringLiteral("Office")).Value().week, OfficeWeek());
    }
}

// Two editors of one schedule: each write takes the revision its writer last read, and one
// that finds the row moved on or gone under its name changes nothing and says which.
TEST_F(ScheduleStoreTest, ConditionalWritesRefuseARowThatMovedOnOrWentAway) {
    const QString office = QStringLiteral("Office");
    auto other = OpenOrFail(Path());
    ASSERT_TRUE(other);
    const auto seen = store_->DataVersion();
    ASSERT_TRUE(seen.Ok());
    EXPECT_EQ(other->Create(office, OfficeWeek()).Value(), 1);
    EXPECT_NE(store_->DataVersion().Value(), seen.Value());
    EXPECT_EQ(store_->Write(office, NightWeek()).Value(), 2);
    const ScheduleSettings holiday{QStringLiteral("Holiday"), false};
    EXPECT_EQ(store_->Save(office, OfficeWeek(), holiday, 2).Value(), 3);

    // The other editor still holds revision 2.
    for (const auto& stale :
         {other->Save(office, NightWeek(), {}, 2), other->WriteWeek(office, NightWeek(), 2)}) {
        ASSERT_FALSE(stale.Ok());
        EXPECT_EQ(stale.Error().kind, StoreError::Kind::Changed);
        EXPECT_FALSE(stale.Error().IsInputError());
        EXPECT_TRUE(stale.Error().message.contains(QStringLiteral("changed since revision 2")))
            << stale.Error().message.toStdString();
    }
    auto read = other->Read(office);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.Value().week, OfficeWeek());
    EXPECT_EQ(read.Value().settings, holiday);
    EXPECT_EQ(read.Value().revision, 3);
    EXPECT_LE(read.Value().changed, QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(read.Value().changed.isValid());
    EXPECT_EQ(other->WriteWeek(office, NightWeek(), 3).Value(), 4);
    EXPECT_EQ(store_->Read(office).Value().settings, holiday);

    // A rename raises the revision and a duplicate starts again at 1 with the settings.
    ASSERT_TRUE(store_->Rename(office, QStringLiteral("Work")));
    EXPECT_EQ(store_->Revision(QStringLiteral("Work")).Value(), 5);
    EXPECT_EQ(store_->Revision(office).Error().kind, StoreError::Kind::UnknownName);
    EXPECT_EQ(other->Save(office, NightWeek(), {}, 4).Error().kind, StoreError::Kind::Gone);
    ASSERT_TRUE(store_->Duplicate(QStringLiteral("Work"), QStringLiteral("Copy")));
    read = store_->Read(QStringLiteral("Copy"));
    EXPECT_EQ(read.Value().revision, 1);
    EXPECT_EQ(read.Value().settings, holiday);

    EXPECT_EQ(store_->Save(QStringLiteral("Work"), OfficeWeek(), {QStringLiteral("a\nb"), true}, 5)
                  .Error()
                  .kind,
              StoreError::Kind::BadName);
    EXPECT_EQ(store_->Revision(QStringLiteral("Work")).Value(), 5);
}

// Files of version 1 exactly as the previous release wrote them, and files whose version number
// was lost, are brought to this version with what they hold; a version that contradicts the
// tables is reported, not acted on.
TEST_F(ScheduleStoreTest, OlderAndUnnumberedFilesAreMigratedWithTheirSchedules) {
    const auto make = [&](const QString& file, const QString& version, bool current) {
        const QString path = dir_.filePath(file);
        QStringList sql{"PRAGMA application_id = " + QString::number(kApplicationId),
                        "CREATE TABLE schedules (name TEXT NOT NULL PRIMARY KEY COLLATE BINARY,"
                        " week TEXT NOT NULL, changed INTEGER NOT NULL)",
                        "INSERT INTO schedules VALUES ('Office', '" +
                            QString::fromUtf8(WeekToJson(OfficeWeek())) + "', 1000)"};
        if (current)
            sql << "ALTER TABLE schedules ADD COLUMN revision INTEGER NOT NULL DEFAULT 7"
                << "ALTER TABLE schedules ADD COLUMN special_caption TEXT NOT NULL DEFAULT 'X'"
                << "ALTER TABLE schedules ADD COLUMN special_enabled INTEGER NOT NULL DEFAULT 0";
        sql << "PRAGMA user_version = " + version;
        ExecElsewhere(path, sql);
        return path;
    };
    for (const auto& [path, revision, settings] :
         {std::tuple{make("one.sqlite", "1", false), 1, ScheduleSettings{}},
          std::tuple{make("lost-one.sqlite", "0", false), 1, ScheduleSettings{}},
          std::tuple{make("lost-two.sqlite", "0", true), 7, ScheduleSettings{"X", false}}}) {
        auto store = OpenOrFail(path);
        ASSERT_TRUE(store);
        auto read = store->Read(QStringLiteral("Office"));
        ASSERT_TRUE(read.Ok()) << read.Error().message.toStdString();
        EXPECT_EQ(read.Value().week, OfficeWeek());
        EXPECT_EQ(read.Value().revision, revision);
        EXPECT_EQ(read.Value().settings, settings);
        EXPECT_EQ(store->Write(QStringLiteral("Office"), NightWeek()).Value(), revision + 1);
        store.reset();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(64).at(63), char(kSchemaVersion));  // user_version, big-endian
    }
    // Opened read-only, a version 1 file is read as it is, and left so.
    const QString kept = make("kept.sqlite", "1", false);
    const auto contents = [&] {
        QFile file(kept);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = contents();
    {
        StoreOptions readOnly;
        readOnly.readOnly = true;
        auto reader = ScheduleStore::Open(kept, readOnly);
        ASSERT_TRUE(reader.Ok()) << reader.Error().message.toStdString();
        auto read = reader.Value()->Read(QStringLiteral("Office"));
        ASSERT_TRUE(read.Ok()) << read.Error().message.toStdString();
        EXPECT_EQ(read.Value().week, OfficeWeek());
        EXPECT_EQ(read.Value().revision, 1);
        EXPECT_EQ(read.Value().settings, ScheduleSettings{});
        EXPECT_EQ(reader.Value()->List().Value().at(0).revision, 1);
        EXPECT_EQ(reader.Value()->Revision(QStringLiteral("Office")).Value(), 1);
    }
    EXPECT_EQ(contents(), before);

    const QString contradicting = make("contradicting.sqlite", "1", true);
    auto refused = ScheduleStore::Open(contradicting);
    ASSERT_FALSE(refused.Ok());
    EXPECT_TRUE(refused.Error().message.contains(QStringLiteral("is damaged")))
        << refused.Error().message.toStdString();
}

TEST_F(ScheduleStoreTest, DamagedWeekIsReportedNotGuessed) {
    ASSERT_TRUE(store_->Create(QStringLiteral("Office"), OfficeWeek()));
    ExecElsewhere(Path(), {QStringLiteral("UPDATE schedules SET week = '{'")});
    auto read = store_->Read(QStringLiteral("Office"));
    ASSERT_FALSE(read.Ok());
    EXPECT_EQ(read.Error().kind, StoreError::Kind::Database);
    EXPECT_TRUE(read.Error().message.contains(QStringLiteral("damaged")));
}

}  // namespace
}  // namespace tarn::storage
