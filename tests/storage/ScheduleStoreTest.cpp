// The schedule store on real SQLite files: what is written is there after reopening, names are
// checked and compared byte for byte, the operations refuse unknown and taken names without
// changing anything, and an older file is migrated in place.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>
#include <string>

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

std::unique_ptr<ScheduleStore> OpenOrFail(const QString& path, const StoreOptions& options = {}) {
    auto store = ScheduleStore::Open(path, options);
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

class ScheduleStoreTest : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath(QStringLiteral("schedules.sqlite")); }
    QTemporaryDir dir_;
};

TEST_F(ScheduleStoreTest, WrittenSchedulesAreThereAfterReopening) {
    {
        auto store = OpenOrFail(Path());
        ASSERT_TRUE(store);
        EXPECT_FALSE(store->IsReadOnly());
        ASSERT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));
        ASSERT_TRUE(store->Create(QStringLiteral("Night"), WeekRanges{}));
        ASSERT_TRUE(store->Write(QStringLiteral("Night"), NightWeek()));
    }
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    EXPECT_EQ(Names(*store), (std::vector<QString>{"Night", "Office"}));
    auto office = store->Read(QStringLiteral("Office"));
    ASSERT_TRUE(office.Ok());
    EXPECT_EQ(office.Value().week, OfficeWeek());
    auto night = store->Read(QStringLiteral("Night"));
    ASSERT_TRUE(night.Ok());
    EXPECT_EQ(night.Value().week, NightWeek());
    EXPECT_TRUE(night.Value().changed.isValid());
    EXPECT_LE(night.Value().changed, QDateTime::currentDateTimeUtc());
}

TEST_F(ScheduleStoreTest, ListIsInByteOrderOfUtf8NotCollation) {
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    for (const char* name : {"b", "é", "B", "a", "Z", "ä", "a b", "ab", "😀", "\u00a0x"})
        ASSERT_TRUE(store->Create(QString::fromUtf8(name), WeekRanges{}));
    std::vector<QString> expected;
    for (const char* name : {"B", "Z", "a", "a b", "ab", "b", "\u00a0x", "ä", "é", "😀"})
        expected.push_back(QString::fromUtf8(name));
    EXPECT_EQ(Names(*store), expected);
}

struct NameCase {
    const char* label;
    QString name;
    bool accepted;
};

class ScheduleStoreNames : public ScheduleStoreTest,
                           public ::testing::WithParamInterface<NameCase> {};

TEST_P(ScheduleStoreNames, AcceptedNamesRoundTripAndOthersAreRefusedUnwritten) {
    const NameCase& c = GetParam();
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    const StoreStatus written = store->Write(c.name, OfficeWeek());
    ASSERT_EQ(written.Ok(), c.accepted) << (written ? "" : written.Error().message.toStdString());
    if (c.accepted) {
        EXPECT_EQ(Names(*store), std::vector<QString>{c.name});
        auto read = store->Read(c.name);
        ASSERT_TRUE(read.Ok());
        EXPECT_EQ(read.Value().name, c.name);
    } else {
        EXPECT_EQ(written.Error().kind, StoreError::Kind::BadName);
        EXPECT_FALSE(written.Error().message.isEmpty());
        EXPECT_TRUE(Names(*store).empty());
        EXPECT_EQ(store->Create(c.name, OfficeWeek()).Error().kind, StoreError::Kind::BadName);
        EXPECT_EQ(store->Read(c.name).Error().kind, StoreError::Kind::BadName);
    }
}

const QString kFace = QString::fromUtf8("😀");  // two UTF-16 units, one character

INSTANTIATE_TEST_SUITE_P(
    Limits, ScheduleStoreNames,
    ::testing::Values(NameCase{"OneCharacter", QStringLiteral("x"), true},
                      NameCase{"HundredCharacters", QString(100, QLatin1Char('n')), true},
                      NameCase{"HundredWideCharacters", kFace.repeated(100), true},
                      NameCase{"BlanksOnly", QStringLiteral("   "), true},
                      NameCase{"QuotesAndSql", QStringLiteral("'; DROP TABLE schedules; --"), true},
                      NameCase{"Empty", QString(), false},
                      NameCase{"HundredAndOneCharacters", QString(101, QLatin1Char('n')), false},
                      NameCase{"HundredAndOneWideCharacters", kFace.repeated(101), false},
                      NameCase{"Tab", QStringLiteral("a\tb"), false},
                      NameCase{"LineBreak", QStringLiteral("a\n"), false},
                      NameCase{"Delete", QStringLiteral("a\x7f"), false},
                      NameCase{"C1Control", QString(QChar(0x85)), false},
                      NameCase{"LoneSurrogate", QString(QChar(0xd800)) + 'x', false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ScheduleStoreTest, OperationsRefuseUnknownAndTakenNamesAndChangeNothing) {
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));
    ASSERT_TRUE(store->Create(QStringLiteral("Night"), NightWeek()));
    const auto kind = [](const StoreStatus& status) {
        return status.Ok() ? std::optional<StoreError::Kind>() : status.Error().kind;
    };
    using K = StoreError::Kind;
    EXPECT_EQ(kind(store->Create(QStringLiteral("Office"), NightWeek())), K::NameTaken);
    EXPECT_EQ(kind(store->Rename(QStringLiteral("Office"), QStringLiteral("Night"))), K::NameTaken);
    EXPECT_EQ(kind(store->Duplicate(QStringLiteral("Night"), QStringLiteral("Office"))),
              K::NameTaken);
    EXPECT_EQ(kind(store->Rename(QStringLiteral("Gone"), QStringLiteral("New"))), K::UnknownName);
    EXPECT_EQ(kind(store->Duplicate(QStringLiteral("Gone"), QStringLiteral("New"))),
              K::UnknownName);
    EXPECT_EQ(kind(store->Delete(QStringLiteral("Gone"))), K::UnknownName);
    EXPECT_EQ(store->Read(QStringLiteral("office")).Error().kind, K::UnknownName);
    EXPECT_EQ(kind(store->Rename(QStringLiteral("Office"), QString())), K::BadName);

    EXPECT_EQ(Names(*store), (std::vector<QString>{"Night", "Office"}));
    EXPECT_EQ(store->Read(QStringLiteral("Office")).Value().week, OfficeWeek());
    EXPECT_EQ(store->Read(QStringLiteral("Night")).Value().week, NightWeek());
}

TEST_F(ScheduleStoreTest, RenameDuplicateAndDeleteCarryTheWeek) {
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));
    ASSERT_TRUE(store->Rename(QStringLiteral("Office"), QStringLiteral("Office")));
    ASSERT_TRUE(store->Rename(QStringLiteral("Office"), QStringLiteral("office")));
    ASSERT_TRUE(store->Duplicate(QStringLiteral("office"), QStringLiteral("Copy")));
    ASSERT_TRUE(store->Write(QStringLiteral("Copy"), NightWeek()));
    EXPECT_EQ(Names(*store), (std::vector<QString>{"Copy", "office"}));
    EXPECT_EQ(store->Read(QStringLiteral("office")).Value().week, OfficeWeek());
    EXPECT_EQ(store->Read(QStringLiteral("Copy")).Value().week, NightWeek());
    ASSERT_TRUE(store->Delete(QStringLiteral("office")));
    EXPECT_EQ(Names(*store), std::vector<QString>{"Copy"});
}

// Each store has a connection of its own: closing one leaves the other working.
TEST_F(ScheduleStoreTest, TwoStoresOnOneFileSeeEachOthersWrites) {
    auto first = OpenOrFail(Path());
    auto second = OpenOrFail(Path());
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->Create(QStringLiteral("Office"), OfficeWeek()));
    EXPECT_EQ(second->Read(QStringLiteral("Office")).Value().week, OfficeWeek());
    first.reset();
    EXPECT_EQ(Names(*second), std::vector<QString>{"Office"});
}

TEST_F(ScheduleStoreTest, FileOfAnOlderSchemaIsMigratedInPlace) {
    {
        // Version 0: our file, marked but holding nothing yet.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
        db.setDatabaseName(Path());
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("PRAGMA application_id = " + QString::number(kApplicationId));
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE unrelated (x)"));
        db.close();
    }
    QSqlDatabase::removeDatabase("old");
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));
    EXPECT_EQ(store->Read(QStringLiteral("Office")).Value().week, OfficeWeek());
}

TEST_F(ScheduleStoreTest, EmptyFileBecomesAStoreAndAMissingFolderIsAnError) {
    {
        QFile empty(Path());
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    EXPECT_TRUE(store->Create(QStringLiteral("Office"), OfficeWeek()));

    const QString nowhere = dir_.filePath(QStringLiteral("missing/schedules.sqlite"));
    auto refused = ScheduleStore::Open(nowhere);
    ASSERT_FALSE(refused.Ok());
    EXPECT_EQ(refused.Error().kind, StoreError::Kind::Database);
    EXPECT_TRUE(refused.Error().message.contains(nowhere)) << refused.Error().message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("missing"))));
}

TEST_F(ScheduleStoreTest, DamagedWeekIsReportedNotGuessed) {
    {
        auto store = OpenOrFail(Path());
        ASSERT_TRUE(store && store->Create(QStringLiteral("Office"), OfficeWeek()));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "edit");
        db.setDatabaseName(Path());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE schedules SET week = '{'")));
        db.close();
    }
    QSqlDatabase::removeDatabase("edit");
    auto store = OpenOrFail(Path());
    ASSERT_TRUE(store);
    auto read = store->Read(QStringLiteral("Office"));
    ASSERT_FALSE(read.Ok());
    EXPECT_EQ(read.Error().kind, StoreError::Kind::Database);
    EXPECT_TRUE(read.Error().message.contains(QStringLiteral("damaged")));
}

}  // namespace
}  // namespace tarn::storage
