#include "storage/ScheduleStore.h"

#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <optional>

#include "storage/Echo.h"
#include "storage/WeekJson.h"

namespace tarn::storage {

namespace {

// Result codes of SQLite that the messages tell apart (the primary code, the low byte).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;

/// The statements that take a database from version i to version i + 1, at index i. Version 0 is
/// a database that holds nothing yet. A migration runs inside the transaction that opens the
/// file, so a file is never left half migrated.
const std::array<std::initializer_list<const char*>, kSchemaVersion> kMigrations = {{
    // 0 -> 1: one row per schedule; the week is the JSON text of WeekToJson, the time of the
    // last change milliseconds since 1970 (UTC). Names compare byte for byte (BINARY).
    {"CREATE TABLE schedules ("
     " name TEXT NOT NULL PRIMARY KEY COLLATE BINARY,"
     " week TEXT NOT NULL,"
     " changed INTEGER NOT NULL)"},
}};

QString Quoted(const QString& name) {
    return QLatin1Char('"') + Echoed(name) + QLatin1Char('"');
}

StoreError DatabaseError(QString message) {
    return StoreError{StoreError::Kind::Database, std::move(message)};
}

StoreError UnknownName(const QString& name) {
    return StoreError{StoreError::Kind::UnknownName, "no schedule named " + Quoted(name)};
}

StoreError NameTaken(const QString& name) {
    return StoreError{StoreError::Kind::NameTaken,
                      "a schedule named " + Quoted(name) + " exists already"};
}

int PrimaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

/// "what: reason", the reason in plain words for the failures a user can do something about.
StoreError SqlFailure(const QString& what, const QSqlError& error,
                      std::chrono::milliseconds busyTimeout) {
    switch (PrimaryCode(error)) {
        case kSqliteBusy:
        case kSqliteLocked:
            return DatabaseError(what +
                                 ": the database is in use by another program (gave up after " +
                                 QString::number(busyTimeout.count()) + " ms)");
        case kSqliteReadOnly:
            return DatabaseError(what + ": the database is read-only");
        default:
            break;
    }
    QString reason = error.databaseText();
    if (reason.isEmpty()) reason = error.text();
    return DatabaseError(what + ": " + reason);
}

std::atomic<quint64> connectionCount{0};

/// What the first bytes of a file say about it, read without SQLite so that nothing is ever
/// written to a file that is not ours (not even a journal).
struct FileHeader {
    bool exists = false;
    bool empty = false;
    quint32 applicationId = 0;
    quint32 schemaVersion = 0;
};

StoreResult<FileHeader> ReadHeader(const QString& path) {
    const QFileInfo info(path);
    FileHeader header;
    if (!info.exists()) return header;
    header.exists = true;
    if (info.isDir()) return DatabaseError(path + " is a folder, not a schedule database");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DatabaseError("cannot read " + path + ": " + file.errorString());
    const QByteArray head = file.read(100);
    if (head.isEmpty() && file.atEnd() && file.error() == QFileDevice::NoError) {
        header.empty = true;
        return header;
    }
    static constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero
    if (head.size() < 100 || !head.startsWith(QByteArray(kMagic, sizeof kMagic)))
        return DatabaseError(path + " is not a schedule database (not an SQLite file)");
    // Both big-endian in the header: user_version at 60, application_id at 68.
    header.schemaVersion = qFromBigEndian<quint32>(head.constData() + 60);
    header.applicationId = qFromBigEndian<quint32>(head.constData() + 68);
    return header;
}

StoreStatus CheckIdentity(const QString& path, quint32 applicationId, quint32 schemaVersion) {
    if (applicationId != kApplicationId)
        return DatabaseError(path +
                             " is not a schedule database (an SQLite database of another program)");
    if (schemaVersion > static_cast<quint32>(kSchemaVersion))
        return DatabaseError(path + " was written by a newer version (schema " +
                             QString::number(schemaVersion) + ", this program knows up to " +
                             QString::number(kSchemaVersion) + ")");
    return {};
}

bool FolderWritable(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

bool FileWritable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

qint64 NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

/// Runs statements on one connection and keeps the first failure, worded for the user.
class Session {
public:
    Session(const QString& connection, std::chrono::milliseconds busyTimeout)
        : db_(QSqlDatabase::database(connection, false)), busyTimeout_(busyTimeout) {}

    /// Runs `sql` with `values` bound in order; nullopt (and the failure kept) when it fails.
    std::optional<QSqlQuery> Run(const QString& what, const QString& sql,
                                 std::initializer_list<QVariant> values = {}) {
        QSqlQuery query(db_);
        if (!query.prepare(sql)) {
            failure_ = SqlFailure(what, query.lastError(), busyTimeout_);
            return std::nullopt;
        }
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            failure_ = SqlFailure(what, query.lastError(), busyTimeout_);
            return std::nullopt;
        }
        return query;
    }

    /// The single value of a one-row query, or nullopt.
    std::optional<QVariant> Value(const QString& what, const QString& sql,
                                  std::initializer_list<QVariant> values = {}) {
        auto query = Run(what, sql, values);
        if (!query) return std::nullopt;
        if (!query->next()) return QVariant();
        return query->value(0);
    }

    StoreError Failure() const { return failure_; }

    /// Runs `body` between BEGIN IMMEDIATE and COMMIT: the write lock is taken first (waiting
    /// up to the busy timeout for another writer), and a failure anywhere rolls everything back.
    StoreStatus Transaction(const QString& what, const std::function<StoreStatus()>& body) {
        if (!Run(what, QStringLiteral("BEGIN IMMEDIATE"))) return failure_;
        StoreStatus status = body();
        if (status.Ok() && !Run(what, QStringLiteral("COMMIT"))) status = failure_;
        if (!status.Ok()) {
            QSqlQuery rollback(db_);
            rollback.exec(QStringLiteral("ROLLBACK"));
        }
        return status;
    }

private:
    QSqlDatabase db_;
    std::chrono::milliseconds busyTimeout_;
    StoreError failure_;
};

/// Makes the database ours (when it holds nothing) and brings its schema to kSchemaVersion, in
/// one transaction. The identity is read again under the write lock: another program may have
/// written the file since its header was read.
StoreStatus PrepareSchema(Session& session, const QString& path) {
    const QString what = "cannot prepare " + path;
    return session.Transaction(what, [&]() -> StoreStatus {
        const auto id = session.Value(what, QStringLiteral("PRAGMA application_id"));
        const auto version = session.Value(what, QStringLiteral("PRAGMA user_version"));
        const auto objects =
            session.Value(what, QStringLiteral("SELECT count(*) FROM sqlite_schema"));
        if (!id || !version || !objects) return session.Failure();
        const quint32 applicationId = id->toUInt();
        quint32 schemaVersion = version->toUInt();
        if (applicationId == 0 && schemaVersion == 0 && objects->toInt() == 0) {
            if (!session.Run(what, "PRAGMA application_id = " + QString::number(kApplicationId)))
                return session.Failure();
        } else if (StoreStatus identity = CheckIdentity(path, applicationId, schemaVersion);
                   !identity) {
            return identity;
        }
        for (; schemaVersion < static_cast<quint32>(kSchemaVersion); ++schemaVersion) {
            for (const char* statement : kMigrations[schemaVersion])
                if (!session.Run(what, QString::fromUtf8(statement))) return session.Failure();
        }
        if (version->toInt() != kSchemaVersion &&
            !session.Run(what, "PRAGMA user_version = " + QString::number(kSchemaVersion)))
            return session.Failure();
        return {};
    });
}

/// Runs one write of the store as a transaction; refused at once on a read-only store.
StoreStatus Change(const QString& connection, std::chrono::milliseconds busyTimeout, bool readOnly,
                   const QString& what, const std::function<StoreStatus(Session&)>& body) {
    if (readOnly) return DatabaseError(what + ": the database is read-only");
    Session session(connection, busyTimeout);
    return session.Transaction(what, [&] { return body(session); });
}

/// Checks the two names of a rename or a duplicate inside its transaction: from must exist and
/// to must be free, unless it is from itself and that is allowed (a rename to the same name).
/// Nothing when both hold, otherwise the status to return.
std::optional<StoreStatus> CheckFromAndTo(Session& session, const QString& what,
                                          const QString& from, const QString& to,
                                          bool sameNameAllowed) {
    const QString count = QStringLiteral("SELECT count(*) FROM schedules WHERE name = ?");
    const auto exists = session.Value(what, count, {from});
    const auto taken = session.Value(what, count, {to});
    if (!exists || !taken) return StoreStatus(session.Failure());
    if (exists->toInt() == 0) return StoreStatus(UnknownName(from));
    if (sameNameAllowed && from == to) return StoreStatus();
    if (taken->toInt() != 0) return StoreStatus(NameTaken(to));
    return std::nullopt;
}

/// Checks that the open database is ours and of this version, migrating it first when it is
/// older or new. An up-to-date file is only read: opening it takes no write lock.
StoreStatus ReadySchema(const QString& connection, const QString& path, bool readOnly,
                        std::chrono::milliseconds busyTimeout) {
    Session session(connection, busyTimeout);
    const QString what = "cannot read " + path;
    const auto id = session.Value(what, QStringLiteral("PRAGMA application_id"));
    const auto version = session.Value(what, QStringLiteral("PRAGMA user_version"));
    if (!id || !version) return session.Failure();
    if (version->toInt() != kSchemaVersion || id->toUInt() != kApplicationId) {
        if (readOnly) {
            if (StoreStatus identity = CheckIdentity(path, id->toUInt(), version->toUInt());
                !identity && id->toUInt() != 0)
                return identity;
            return DatabaseError(path +
                                 " holds no schedules yet or needs upgrading, and is "
                                 "opened read-only");
        }
        if (StoreStatus prepared = PrepareSchema(session, path); !prepared) return prepared;
    }
    if (!session.Run(path + " is damaged",
                     QStringLiteral("SELECT name, week, changed FROM schedules LIMIT 0")))
        return session.Failure();
    return {};
}

}  // namespace

QString ScheduleStore::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/schedules.sqlite");
}

StoreStatus ScheduleStore::CheckName(const QString& name) {
    if (name.isEmpty()) return StoreError{StoreError::Kind::BadName, "a name cannot be empty"};
    qsizetype characters = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return StoreError{StoreError::Kind::BadName, "a name must be valid text"};
        } else if (c.category() == QChar::Other_Control) {
            return StoreError{StoreError::Kind::BadName,
                              "a name cannot hold control characters (tabs, line breaks)"};
        }
        ++characters;
    }
    if (characters > kMaxNameLength)
        return StoreError{StoreError::Kind::BadName,
                          "a name can have at most " + QString::number(kMaxNameLength) +
                              " characters, not " + QString::number(characters)};
    return {};
}

StoreResult<std::unique_ptr<ScheduleStore>> ScheduleStore::Open(const QString& path,
                                                                const StoreOptions& options) {
    if (path.isEmpty()) return DatabaseError("no database file named");
    // Qt loads its SQL drivers as plugins, which needs the application object.
    if (QCoreApplication::instance() == nullptr)
        return DatabaseError("cannot open " + path + ": the program has no QCoreApplication");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return DatabaseError("cannot open " + path +
                             ": the SQLite driver of Qt SQL is not installed");
    auto header = ReadHeader(path);
    if (!header) return header.Error();
    const FileHeader& file = header.Value();
    if (!file.exists && options.readOnly) return DatabaseError(path + " does not exist");
    if (file.exists && !file.empty) {
        if (StoreStatus identity = CheckIdentity(path, file.applicationId, file.schemaVersion);
            !identity)
            return identity.Error();
    }

    // A file the system will not let us write is opened for reading (SQLite would quietly do the
    // same), so that list and read still work; writes then fail with a clear message.
    const bool readOnly =
        options.readOnly || (file.exists && !FileWritable(path)) || !FolderWritable(path);
    if (!file.exists && readOnly)
        return DatabaseError("cannot create " + path + ": the folder is read-only");

    const QString connection = QStringLiteral("tarn-schedule-store-%1").arg(++connectionCount);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QString connectOptions =
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options.busyTimeout.count());
        if (readOnly) connectOptions += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(connectOptions);
        db.open();
    }
    // From here the store owns the connection and removes it, whatever happens.
    std::unique_ptr<ScheduleStore> store(new ScheduleStore(path, connection, readOnly));
    store->busyTimeout_ = options.busyTimeout;
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isOpen()) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        store.reset();
        return SqlFailure("cannot open " + path, error, options.busyTimeout);
    }
    db = QSqlDatabase();

    // A file created here and left empty by a failure stays: another program may have opened it
    // meanwhile, and an empty file is taken as a new database next time.
    if (StoreStatus ready = ReadySchema(connection, path, readOnly, options.busyTimeout); !ready)
        return ready.Error();
    return store;
}

ScheduleStore::ScheduleStore(QString path, QString connection, bool readOnly)
    : path_(std::move(path)), connection_(std::move(connection)), readOnly_(readOnly) {}

ScheduleStore::~ScheduleStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

StoreResult<std::vector<ScheduleEntry>> ScheduleStore::List() const {
    Session session(connection_, busyTimeout_);
    auto query =
        session.Run("cannot read " + path_, QStringLiteral("SELECT name, changed FROM schedules"));
    if (!query) return session.Failure();
    std::vector<std::pair<QByteArray, ScheduleEntry>> rows;
    while (query->next()) {
        ScheduleEntry entry{query->value(0).toString(),
                            QDateTime::fromMSecsSinceEpoch(query->value(1).toLongLong(), Qt::UTC)};
        rows.emplace_back(entry.name.toUtf8(), std::move(entry));
    }
    // Byte order of UTF-8, whatever the locale's collation says.
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ScheduleEntry> entries;
    entries.reserve(rows.size());
    for (auto& row : rows)
        entries.push_back(std::move(row.second));
    return entries;
}

StoreResult<StoredSchedule> ScheduleStore::Read(const QString& name) const {
    if (StoreStatus valid = CheckName(name); !valid) return valid.Error();
    Session session(connection_, busyTimeout_);
    auto query =
        session.Run("cannot read " + path_,
                    QStringLiteral("SELECT week, changed FROM schedules WHERE name = ?"), {name});
    if (!query) return session.Failure();
    if (!query->next()) return UnknownName(name);
    auto week = WeekFromJson(query->value(0).toString().toUtf8());
    if (auto* message = std::get_if<std::string>(&week))
        return DatabaseError("schedule " + Quoted(name) + " in " + path_ +
                             " is damaged: " + QString::fromStdString(*message));
    return StoredSchedule{name, std::get<WeekRanges>(week),
                          QDateTime::fromMSecsSinceEpoch(query->value(1).toLongLong(), Qt::UTC)};
}

StoreStatus ScheduleStore::Create(const QString& name, const WeekRanges& week) {
    if (StoreStatus valid = CheckName(name); !valid) return valid;
    const QString what = "cannot write " + Quoted(name) + " to " + path_;
    return Change(connection_, busyTimeout_, readOnly_, what, [&](Session& session) {
        const auto taken = session.Value(
            what, QStringLiteral("SELECT count(*) FROM schedules WHERE name = ?"), {name});
        if (!taken) return StoreStatus(session.Failure());
        if (taken->toInt() != 0) return StoreStatus(NameTaken(name));
        if (!session.Run(
                what,
                QStringLiteral("INSERT INTO schedules (name, week, changed) VALUES (?, ?, ?)"),
                {name, QString::fromUtf8(WeekToJson(week)), NowMs()}))
            return StoreStatus(session.Failure());
        return StoreStatus();
    });
}

StoreStatus ScheduleStore::Write(const QString& name, const WeekRanges& week) {
    if (StoreStatus valid = CheckName(name); !valid) return valid;
    const QString what = "cannot write " + Quoted(name) + " to " + path_;
    return Change(connection_, busyTimeout_, readOnly_, what, [&](Session& session) {
        if (!session.Run(
                what,
                QStringLiteral("INSERT INTO schedules (name, week, changed) VALUES (?, ?, ?)"
                               " ON CONFLICT (name) DO UPDATE SET week = excluded.week,"
                               " changed = excluded.changed"),
                {name, QString::fromUtf8(WeekToJson(week)), NowMs()}))
            return StoreStatus(session.Failure());
        return StoreStatus();
    });
}

StoreStatus ScheduleStore::Rename(const QString& from, const QString& to) {
    if (StoreStatus valid = CheckName(from); !valid) return valid;
    if (StoreStatus valid = CheckName(to); !valid) return valid;
    const QString what = "cannot rename " + Quoted(from) + " in " + path_;
    return Change(connection_, busyTimeout_, readOnly_, what, [&](Session& session) {
        if (auto refused = CheckFromAndTo(session, what, from, to, true)) return *refused;
        if (!session.Run(
                what, QStringLiteral("UPDATE schedules SET name = ?, changed = ? WHERE name = ?"),
                {to, NowMs(), from}))
            return StoreStatus(session.Failure());
        return StoreStatus();
    });
}

StoreStatus ScheduleStore::Duplicate(const QString& from, const QString& to) {
    if (StoreStatus valid = CheckName(from); !valid) return valid;
    if (StoreStatus valid = CheckName(to); !valid) return valid;
    const QString what = "cannot duplicate " + Quoted(from) + " in " + path_;
    return Change(connection_, busyTimeout_, readOnly_, what, [&](Session& session) {
        if (auto refused = CheckFromAndTo(session, what, from, to, false)) return *refused;
        if (!session.Run(what,
                         QStringLiteral("INSERT INTO schedules (name, week, changed)"
                                        " SELECT ?, week, ? FROM schedules WHERE name = ?"),
                         {to, NowMs(), from}))
            return StoreStatus(session.Failure());
        return StoreStatus();
    });
}

StoreStatus ScheduleStore::Delete(const QString& name) {
    if (StoreStatus valid = CheckName(name); !valid) return valid;
    const QString what = "cannot delete " + Quoted(name) + " from " + path_;
    return Change(connection_, busyTimeout_, readOnly_, what, [&](Session& session) {
        auto query =
            session.Run(what, QStringLiteral("DELETE FROM schedules WHERE name = ?"), {name});
        if (!query) return StoreStatus(session.Failure());
        if (query->numRowsAffected() == 0) return StoreStatus(UnknownName(name));
        return StoreStatus();
    });
}

}  // namespace tarn::storage
