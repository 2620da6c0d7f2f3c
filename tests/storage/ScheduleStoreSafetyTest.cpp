// The schedule store when the file or its neighbours misbehave (files that are not ours are
// shown by the store command's script): a read-only database is still read, a writer that
// holds the database makes writes fail after a bounded wait, and a writer killed mid-write leaves
// a whole earlier or later state.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "storage/ScheduleStore.h"

namespace tarn::storage {
namespace {

using namespace std::chrono_literals;

DayRanges Day(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// Every day with the same ranges.
WeekRanges WeekOf(const std::vector<TimeRange>& ranges) {
    WeekRanges week;
    for (auto& day : week)
        day = Day(ranges);
    return week;
}

const WeekRanges kEarly = WeekOf({{0, 4}, {8, 12}, {16, 20}, {24, 28}});
const WeekRanges kLate = WeekOf({{60, 96}});

/// Runs SQL on a plain connection of its own, as another program would.
class OtherConnection {
public:
    explicit OtherConnection(const QString& path)
        : name_(QStringLiteral("other-%1").arg(++count_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.open();
    }
    ~OtherConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool Exec(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        return query.exec(sql);
    }
    QString Value(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }
    /// A query run to its first row and left there, its statement (and lock) still held.
    QSqlQuery Begun(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        EXPECT_TRUE(query.exec(sql) && query.next()) << sql.toStdString();
        return query;
    }

private:
    static inline int count_ = 0;
    QString name_;
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// Runs `writer` in a child process, which calls its argument after each step it finishes, and
/// kills it once it has finished `steps`. Returns whether it got that far.
bool KilledAfter(int steps, const std::function<void(const std::function<bool()>&)>& writer) {
    int pipe[2];
    if (::pipe(pipe) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        writer([&] { return ::write(pipe[1], "x", 1) == 1; });
        ::_exit(1);
    }
    ::close(pipe[1]);
    char done = 0;
    int finished = 0;
    if (child > 0) {
        while (finished < steps && ::read(pipe[0], &done, 1) == 1)
            ++finished;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ::close(pipe[0]);
    return finished == steps;
}

class ScheduleStoreSafetyTest : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath(QStringLiteral("schedules.sqlite")); }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files); }
    /// A store file holding the schedule "Office" with the early week, closed again.
    void CreateOffice() {
        auto store = ScheduleStore::Open(Path());
        ASSERT_TRUE(store.Ok());
        ASSERT_TRUE(store.Value()->Create(QStringLiteral("Office"), kEarly));
    }
    QTemporaryDir dir_;
};

/// Runs `check` (which returns what went wrong, or nothing) as a user the file permissions apply
/// to: in a child process without root's rights when the tests run as root.
std::string AsUnprivilegedUser(const std::function<std::string()>& check) {
    if (::geteuid() != 0) return check();
    int pipe[2];
    if (::pipe(pipe) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string failure = "cannot drop root's rights";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) failure = check();
        [[maybe_unused]] auto written = ::write(pipe[1], failure.data(), failure.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string failure;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        failure.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "the check crashed";
    return failure;
}

/// Opens the store and checks that it reads but refuses every write, with a message.
std::string ReadsButRefusesWrites(const QString& path, const StoreOptions& options) {
    auto opened = ScheduleStore::Open(path, options);
    if (!opened.Ok()) return "not opened: " + opened.Error().message.toStdString();
    ScheduleStore& store = *opened.Value();
    if (!store.IsReadOnly()) return "not read-only";
    auto read = store.Read(QStringLiteral("Office"));
    if (!read.Ok() || read.Value().week != kEarly) return "not read";
    auto list = store.List();
    if (!list.Ok() || list.Value().size() != 1) return "not listed";
    for (const StoreStatus& status : std::initializer_list<StoreStatus>{
             store.Write(QStringLiteral("Office"), kLate),
             store.Create(QStringLiteral("New"), kLate),
             store.Rename(QStringLiteral("Office"), QStringLiteral("New")),
             store.Duplicate(QStringLiteral("Office"), QStringLiteral("New")),
             store.Delete(QStringLiteral("Office"))}) {
        if (status.Ok()) return "a write succeeded";
        if (status.Error().kind != StoreError::Kind::Database ||
            !status.Error().message.contains(QStringLiteral("read-only")))
            return "unclear refusal: " + status.Error().message.toStdString();
    }
    return {};
}

TEST_F(ScheduleStoreSafetyTest, ReadOnlyDatabaseIsReadAndRefusesWrites) {
    StoreOptions readOnly;
    readOnly.readOnly = true;
    EXPECT_FALSE(ScheduleStore::Open(Path(), readOnly).Ok());  // and creates no file
    EXPECT_TRUE(Files().isEmpty());
    ASSERT_NO_FATAL_FAILURE(CreateOffice());
    const QByteArray before = Contents(Path());
    // Opening and reading an up-to-date file does not write to it.
    {
        auto store = ScheduleStore::Open(Path());
        ASSERT_TRUE(store.Ok());
        EXPECT_FALSE(store.Value()->IsReadOnly());
        EXPECT_TRUE(store.Value()->Read(QStringLiteral("Office")).Ok());
    }
    EXPECT_EQ(Contents(Path()), before);
    // Asked for by the caller.
    EXPECT_EQ(ReadsButRefusesWrites(Path(), readOnly), "");
    // Set by the file system: the file and its folder cannot be written.
    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0555), 0);
    EXPECT_EQ(AsUnprivilegedUser([&] { return ReadsButRefusesWrites(Path(), {}); }), "");
    // Only the folder: SQLite could not write its journal.
    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0666), 0);
    EXPECT_EQ(AsUnprivilegedUser([&] { return ReadsButRefusesWrites(Path(), {}); }), "");
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    EXPECT_EQ(Contents(Path()), before);
}

// Another program holds the file: with its write lock, or reading (a statement stepping, or a
// read transaction) so that the store's COMMIT cannot take the file. Writes fail after a bounded
// wait and are rolled back on the store's own connection too; reading goes on, also in a store
// opened meanwhile (opening an up-to-date file writes nothing); once it lets go, writes work.
TEST_F(ScheduleStoreSafetyTest, WritesFailAfterABoundedWaitWhileAnotherProgramHoldsTheFile) {
    StoreOptions options;
    options.busyTimeout = 200ms;
    auto opened = ScheduleStore::Open(Path(), options);
    ASSERT_TRUE(opened.Ok());
    ScheduleStore& store = *opened.Value();
    ASSERT_TRUE(store.Create(QStringLiteral("Office"), kEarly));
    enum Hold { kWriter, kStatement, kReadTransaction };
    for (const Hold hold : {kWriter, kStatement, kReadTransaction}) {
        {
            OtherConnection other(Path());
            if (hold != kStatement) {
                ASSERT_TRUE(other.Exec(hold == kWriter ? "BEGIN IMMEDIATE" : "BEGIN"));
            }
            QSqlQuery reading;
            if (hold != kWriter)
                reading = other.Begun(QStringLiteral("SELECT name FROM schedules"));
            if (hold == kReadTransaction) reading.finish();
            for (const StoreStatus& blocked :
                 std::initializer_list<StoreStatus>{store.Write(QStringLiteral("Office"), kLate),
                                                    store.Create(QStringLiteral("New"), kLate)}) {
                ASSERT_FALSE(blocked.Ok());
                EXPECT_EQ(blocked.Error().kind, StoreError::Kind::Database);
                EXPECT_TRUE(
                    blocked.Error().message.contains(QStringLiteral("in use by another program")))
                    << blocked.Error().message.toStdString();
            }
            EXPECT_EQ(store.Read(QStringLiteral("Office")).Value().week, kEarly);
            auto reader = ScheduleStore::Open(Path(), options);
            ASSERT_TRUE(reader.Ok()) << reader.Error().message.toStdString();
            EXPECT_EQ(reader.Value()->Read(QStringLiteral("Office")).Value().week, kEarly);
        }
        EXPECT_EQ(store.Revision(QStringLiteral("Office")).Value(), 1);
        EXPECT_EQ(store.List().Value().size(), 1u);
    }
    EXPECT_TRUE(store.Write(QStringLiteral("Office"), kLate));
    EXPECT_EQ(store.Read(QStringLiteral("Office")).Value().week, kLate);
}

// A writer killed inside its transaction leaves a hot journal beside the file. Reading, even
// when asked for read-only, rolls it back and sees the state before that write.
TEST_F(ScheduleStoreSafetyTest, ReadersRecoverFromAWriterKilledInsideItsTransaction) {
    ASSERT_NO_FATAL_FAILURE(CreateOffice());
    ASSERT_TRUE(KilledAfter(1, [&](const std::function<bool()>& finished) {
        OtherConnection writer(Path());
        if (writer.Exec(QStringLiteral("BEGIN IMMEDIATE")) &&
            writer.Exec(QStringLiteral("UPDATE schedules SET week = '{'")) &&
            writer.Exec(QStringLiteral("CREATE TABLE big (x)")) &&
            writer.Exec(QStringLiteral("INSERT INTO big SELECT zeroblob(4096) FROM"
                                       " (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL"
                                       " SELECT i + 1 FROM n WHERE i < 2000) SELECT i FROM n)")) &&
            finished())
            ::pause();
    })) << "the writer did not get inside its transaction";
    ASSERT_TRUE(QFile::exists(Path() + QStringLiteral("-journal")));

    StoreOptions readOnly;
    readOnly.readOnly = true;
    auto store = ScheduleStore::Open(Path(), readOnly);
    ASSERT_TRUE(store.Ok()) << store.Error().message.toStdString();
    auto entries = store.Value()->List();
    ASSERT_TRUE(entries.Ok()) << entries.Error().message.toStdString();
    EXPECT_EQ(entries.Value().size(), 1u);
    auto office = store.Value()->Read(QStringLiteral("Office"));
    ASSERT_TRUE(office.Ok()) << office.Error().message.toStdString();
    EXPECT_EQ(office.Value().week, kEarly);
}

// Every statement that meets a lock would wait the whole busy timeout; opening, which runs
// several, waits that long once in all (each wait is at least the timeout, so two could not
// pass). A new file is prepared under the write lock, so a writer is waited for there too.
TEST_F(ScheduleStoreSafetyTest, OpeningUnderALockWaitsTheBusyTimeoutOnceInAll) {
    ASSERT_NO_FATAL_FAILURE(CreateOffice());
    const QString fresh = dir_.filePath(QStringLiteral("fresh.sqlite"));
    ASSERT_TRUE(QFile(fresh).open(QIODevice::WriteOnly));
    OtherConnection reader(Path());
    OtherConnection writer(fresh);
    ASSERT_TRUE(reader.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
    ASSERT_TRUE(writer.Exec(QStringLiteral("BEGIN IMMEDIATE")));
    StoreOptions options;
    options.busyTimeout = 1000ms;
    for (const auto& [path, readOnly] :
         {std::pair{Path(), true}, std::pair{Path(), false}, std::pair{fresh, false}}) {
        options.readOnly = readOnly;
        const auto start = std::chrono::steady_clock::now();
        auto blocked = ScheduleStore::Open(path, options);
        const auto waited = std::chrono::steady_clock::now() - start;
        ASSERT_FALSE(blocked.Ok());
        EXPECT_TRUE(blocked.Error().message.contains(QStringLiteral("gave up after 1000 ms")))
            << blocked.Error().message.toStdString();
        EXPECT_LT(waited, 1800ms);
    }
    ASSERT_TRUE(reader.Exec(QStringLiteral("ROLLBACK")));
    ASSERT_TRUE(writer.Exec(QStringLiteral("ROLLBACK")));
    EXPECT_TRUE(ScheduleStore::Open(fresh, options).Ok());
}

TEST_F(ScheduleStoreSafetyTest, WriterKilledMidWriteLeavesAWholeEarlierOrLaterState) {
    ASSERT_NO_FATAL_FAILURE(CreateOffice());
    for (int round = 0; round < 4; ++round) {
        // The writer alternates the two weeks and adds a schedule on every step, and is killed
        // after a number of steps that changes from round to round, in whatever it does then.
        ASSERT_TRUE(KilledAfter(3 + round * 5, [&](const std::function<bool()>& finished) {
            auto store = ScheduleStore::Open(Path());
            for (int i = 0; store.Ok(); ++i) {
                ScheduleStore& s = *store.Value();
                if (!s.Write(QStringLiteral("Office"), i % 2 == 0 ? kLate : kEarly) ||
                    !s.Write(QStringLiteral("n%1-%2").arg(round).arg(i), kEarly) || !finished())
                    break;
            }
        })) << "the writer stopped early";

        auto store = ScheduleStore::Open(Path());
        ASSERT_TRUE(store.Ok()) << store.Error().message.toStdString();
        {
            OtherConnection check(Path());
            EXPECT_EQ(check.Value(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        }
        auto office = store.Value()->Read(QStringLiteral("Office"));
        ASSERT_TRUE(office.Ok()) << office.Error().message.toStdString();
        EXPECT_TRUE(office.Value().week == kEarly || office.Value().week == kLate);
        auto entries = store.Value()->List();
        ASSERT_TRUE(entries.Ok());
        for (const auto& entry : entries.Value()) {
            auto read = store.Value()->Read(entry.name);
            EXPECT_TRUE(read.Ok()) << entry.name.toStdString();
        }
    }
}

}  // namespace
}  // namespace tarn::storage
