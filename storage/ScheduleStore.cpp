#include "storage/ScheduleStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>

#include "storage/WeekJson.h"

namespace tarn::storage {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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
    // 1 -> 2: the revision every write raises, and the host's settings of the Special row.
    {"ALTER TABLE schedules ADD COLUMN revision INTEGER NOT NULL DEFAULT 1",
     "ALTER TABLE schedules ADD COLUMN special_caption TEXT NOT NULL DEFAULT 'Special'",
     "ALTER TABLE schedules ADD COLUMN special_enabled INTEGER NOT NULL DEFAULT 1"},
}};

/// The columns of the schedules table at each version, in order; index 0: no table.
const std::array<const char*, kSchemaVersion + 1> kColumns = {
    "",
    "name,week,changed",
    "name,week,changed,revision,special_caption,special_enabled",
};

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
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
StoreError SqlFailure(const QString& what, const QSqlError& error, milliseconds busyTimeout) {
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
    FileHeader header;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno != ENOENT)
            return DatabaseError("cannot read " + path + ": " +
                                 QString::fromLocal8Bit(std::strerror(errno)));
        return header;
    }
    header.exists = true;
    if (S_ISDIR(status.st_mode))
        return DatabaseError(path + " is a folder, not a schedule database");
    // A pipe would block the reading, a device would be written through: only plain files.
    if (!S_ISREG(status.st_mode))
        return DatabaseError(path + " is not a schedule database (not a regular file)");
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

bool Writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

/// The SQLite URI of `path` with its access mode (ro, rw, rwc): every byte but the unreserved
/// ones percent-encoded, so that '?' or '#' in a file name stay part of it.
QString SqliteUri(const QString& path, const char* mode) {
    const QByteArray bytes = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    QByteArray uri("file:");
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += c;
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[u >> 4];
            uri += kHex[u & 0xf];
        }
    }
    return QString::fromLatin1(uri + "?mode=" + mode);
}

/// Text bound as its UTF-8 bytes, for SQL that casts it to TEXT: SQLite would drop a leading
/// byte order mark from text bound as UTF-16, and reads U+FFFE and U+FFFF back as U+FFFD, so
/// names and captions go in and come out as bytes to be kept exactly.
QVariant Utf8(const QString& text) {
    return QVariant(text.toUtf8());
}

/// Text read back as bytes, a leading byte order mark kept as the character it is.
QString FromUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                     QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

qint64 NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

/// Checks text a user gave: at most `limit` characters, no control characters, no broken
/// UTF-16. `label` names it in the messages ("a name").
StoreStatus CheckText(const QString& text, int limit, const QString& label) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return StoreError{StoreError::Kind::BadName, label + " must be valid text"};
        } else if (c.category() == QChar::Other_Control) {
            return StoreError{StoreError::Kind::BadName,
                              label + " cannot hold control characters (tabs, line breaks)"};
        }
        ++characters;
    }
    if (characters > limit)
        return StoreError{StoreError::Kind::BadName,
                          label + " can have at most " + QString::number(limit) +
                              " characters, not " + QString::number(characters)};
    return {};
}

/// Runs statements on one connection for one call of the store, and keeps the first failure,
/// worded for the user. The call as a whole waits at most the busy timeout for other programs:
/// SQLite waits in full at every statement that meets a lock, so each statement is given only
/// what is left.
class Session {
public:
    Session(const QString& connection, milliseconds busyTimeout)
        : db_(QSqlDatabase::database(connection, false)),
          busyTimeout_(busyTimeout),
          deadline_(Clock::now() + busyTimeout),
          allowed_(busyTimeout) {}
    ~Session() {
        if (allowed_ != busyTimeout_) SetBusyTimeout(busyTimeout_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Runs `sql` with `values` bound in order; nullopt (and the failure kept) when it fails.
    std::optional<QSqlQuery> Run(const QString& what, const QString& sql,
                                 std::initializer_list<QVariant> values = {}) {
        QSqlQuery query(db_);
        ShortenWait();
        if (!query.prepare(sql)) {
            failure_ = SqlFailure(what, query.lastError(), busyTimeout_);
            return std::nullopt;
        }
        for (const QVariant& value : values)
            query.addBindValue(value);
        ShortenWait();
        if (!query.exec()) {
            failure_ = SqlFailure(what, query.lastError(), busyTimeout_);
            return std::nullopt;
        }
        return query;
    }

    /// The single value of a one-row query: null when there is no row; nullopt on failure.
    std::optional<QVariant> Value(const QString& what, const QString& sql,
                                  std::initializer_list<QVariant> values = {}) {
        auto query = Run(what, sql, values);
        if (!query) return std::nullopt;
        if (!query->next()) return QVariant();
        return query->value(0);
    }

    StoreError Failure() const { return failure_; }

    /// Runs `body` between BEGIN IMMEDIATE and COMMIT: the write lock is taken first (waiting
    /// for another writer), and a failure anywhere, the COMMIT's included, rolls everything
    /// back so that the connection is ready for the next call.
    template <typename T>
    StoreResult<T> Transaction(const QString& what, const std::function<StoreResult<T>()>& body) {
        if (!Run(what, QStringLiteral("BEGIN IMMEDIATE"))) return failure_;
        StoreResult<T> result = body();
        if (result.Ok() && !Run(what, QStringLiteral("COMMIT"))) result = failure_;
        if (!result.Ok()) {
            QSqlQuery rollback(db_);
            if (!rollback.exec(QStringLiteral("ROLLBACK"))) {
                // SQLite ends the transaction itself after some failures (a full disk, an I/O
                // error), and then there is nothing to roll back: a BEGIN tells which it is.
                QSqlQuery probe(db_);
                if (probe.exec(QStringLiteral("BEGIN"))) {
                    probe.exec(QStringLiteral("ROLLBACK"));
                } else {
                    StoreError error = result.Error();
                    error.message +=
                        " (and the rollback failed: " + rollback.lastError().text() + ")";
                    return error;
                }
            }
        }
        return result;
    }

private:
    void SetBusyTimeout(milliseconds wait) {
        QSqlQuery query(db_);
        query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(wait.count()));
        allowed_ = wait;
    }

    /// Lets SQLite wait no longer than what is left of the call's time (a few ms of slack keep
    /// this from running before every statement).
    void ShortenWait() {
        const auto left = std::max(
            milliseconds(0), std::chrono::duration_cast<milliseconds>(deadline_ - Clock::now()));
        if (left + milliseconds(20) < allowed_ || (left.count() == 0 && allowed_.count() != 0))
            SetBusyTimeout(left);
    }

    QSqlDatabase db_;
    milliseconds busyTimeout_;
    Clock::time_point deadline_;
    milliseconds allowed_;
    StoreError failure_;
};

/// The parts of a file that tell what it is, read in one statement (one wait for a lock).
struct Layout {
    quint32 applicationId = 0;
    quint32 schemaVersion = 0;
    /// The columns of the schedules table, in order, comma-separated; empty without the table.
    QString columns;
    int objects = 0;
};

std::optional<Layout> ReadLayout(Session& session, const QString& what) {
    auto query = session.Run(
        what, QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id),"
                             " (SELECT user_version FROM pragma_user_version),"
                             " (SELECT group_concat(name, ',') FROM"
                             "  (SELECT name FROM pragma_table_info('schedules') ORDER BY cid)),"
                             " (SELECT count(*) FROM sqlite_schema)"));
    if (!query || !query->next()) return std::nullopt;
    return Layout{query->value(0).toUInt(), query->value(1).toUInt(), query->value(2).toString(),
                  query->value(3).toInt()};
}

/// The version a file is at, from its header and its tables; -1 for a new file to make ours.
/// A file whose user_version was lost (0) but whose tables are ours is taken at the version its
/// tables show; tables that disagree with the version are reported, never altered.
StoreResult<int> VersionOf(const QString& path, const Layout& layout) {
    if (layout.applicationId == 0 && layout.schemaVersion == 0 && layout.objects == 0) return -1;
    if (StoreStatus identity = CheckIdentity(path, layout.applicationId, layout.schemaVersion);
        !identity)
        return identity.Error();
    const auto tables = std::find(kColumns.begin(), kColumns.end(), layout.columns);
    if (tables == kColumns.end())
        return DatabaseError(path +
                             " is damaged: its schedules table is not one this program writes");
    const int version = static_cast<int>(tables - kColumns.begin());
    if (layout.schemaVersion == 0) return version;
    if (static_cast<quint32>(version) != layout.schemaVersion)
        return DatabaseError(
            path + " is damaged: it says schema version " + QString::number(layout.schemaVersion) +
            " but holds tables of " +
            (version == 0 ? QStringLiteral("none") : "version " + QString::number(version)));
    return version;
}

/// Makes the database ours (when it holds nothing) and brings its schema to kSchemaVersion, in
/// one transaction. The file is read again under the write lock: another program may have
/// written it since it was first looked at.
StoreStatus PrepareSchema(Session& session, const QString& path) {
    const QString what = "cannot prepare " + path;
    auto prepared = session.Transaction<int>(what, [&]() -> StoreResult<int> {
        const auto layout = ReadLayout(session, what);
        if (!layout) return session.Failure();
        auto version = VersionOf(path, *layout);
        if (!version) return version;
        int from = version.Value();
        if (from < 0) {
            if (!session.Run(what, "PRAGMA application_id = " + QString::number(kApplicationId)))
                return session.Failure();
            from = 0;
        }
        for (int step = from; step < kSchemaVersion; ++step) {
            for (const char* statement : kMigrations[static_cast<std::size_t>(step)])
                if (!session.Run(what, QString::fromUtf8(statement))) return session.Failure();
        }
        if (layout->schemaVersion != static_cast<quint32>(kSchemaVersion) &&
            !session.Run(what, "PRAGMA user_version = " + QString::number(kSchemaVersion)))
            return session.Failure();
        return kSchemaVersion;
    });
    if (!prepared) return prepared.Error();
    return {};
}

/// Checks that the open database is ours and of this version, migrating it first when it is
/// older or new. An up-to-date file is only read: opening it takes no write lock.
/// The version the file is read at: kSchemaVersion, or an older one with a schedules table that
/// a read-only store reads as it is, without migrating it.
StoreResult<int> ReadySchema(Session& session, const QString& path, bool readOnly) {
    const auto layout = ReadLayout(session, "cannot read " + path);
    if (!layout) return session.Failure();
    auto version = VersionOf(path, *layout);
    if (!version) return version.Error();
    if (version.Value() == kSchemaVersion &&
        layout->schemaVersion == static_cast<quint32>(kSchemaVersion))
        return version;
    if (readOnly) {
        if (version.Value() >= 1) return version;
        return DatabaseError(path + " holds no schedules yet and is opened read-only");
    }
    if (StoreStatus prepared = PrepareSchema(session, path); !prepared) return prepared.Error();
    return kSchemaVersion;
}

/// Reads one revision inside a transaction: nullopt with the failure kept, null when absent.
std::optional<QVariant> RevisionIn(Session& session, const QString& what, const QString& name,
                                   const char* column = "revision") {
    return session.Value(what,
                         QStringLiteral("SELECT %1 FROM schedules WHERE name = CAST(? AS TEXT)")
                             .arg(QLatin1String(column)),
                         {Utf8(name)});
}

/// The revision after `revision`, refused when the stored number cannot be raised.
StoreResult<qint64> NextRevision(const QVariant& revision, const QString& what) {
    const qint64 current = revision.toLongLong();
    if (current < 0 || current == std::numeric_limits<qint64>::max())
        return DatabaseError(what + ": the stored revision " + QString::number(current) +
                             " is damaged");
    return current + 1;
}

/// Runs one write of the store as a transaction; refused at once on a read-only store.
StoreResult<qint64> Change(const QString& connection, milliseconds busyTimeout, bool readOnly,
                           const QString& what,
                           const std::function<StoreResult<qint64>(Session&)>& body) {
    if (readOnly) return DatabaseError(what + ": the database is read-only");
    Session session(connection, busyTimeout);
    return session.Transaction<qint64>(what, [&] { return body(session); });
}

/// Checks the two names of a rename or a duplicate inside its transaction: from must exist and
/// to must be free, unless it is from itself and that is allowed (a rename to the same name).
/// Nothing when both hold, otherwise the error to return.
std::optional<StoreError> CheckFromAndTo(Session& session, const QString& what, const QString& from,
                                         const QString& to, bool sameNameAllowed) {
    const auto exists = RevisionIn(session, what, from);
    const auto taken = RevisionIn(session, what, to);
    if (!exists || !taken) return session.Failure();
    if (exists->isNull()) return UnknownName(from);
    if (sameNameAllowed && from == to) return std::nullopt;
    if (!taken->isNull()) return NameTaken(to);
    return std::nullopt;
}

}  // namespace

ScheduleStore::ReadColumns ScheduleStore::Columns() const {
    // A file of version 1 opened read-only is read as it is: what it lacks reads as the
    // values a migration would give it.
    if (schemaVersion_ < 2) return {"1", "'Special'", "1"};
    return {"revision", "special_caption", "special_enabled"};
}

QString ScheduleStore::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/schedules.sqlite");
}

StoreStatus ScheduleStore::CheckName(const QString& name) {
    if (name.isEmpty()) return StoreError{StoreError::Kind::BadName, "a name cannot be empty"};
    return CheckText(name, kMaxNameLength, QStringLiteral("a name"));
}

StoreStatus ScheduleStore::CheckSettings(const ScheduleSettings& settings) {
    return CheckText(settings.specialCaption, kMaxCaptionLength,
                     QStringLiteral("a Special caption"));
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
    const QString folder = QFileInfo(path).absolutePath();
    if (!file.exists && !QFileInfo(folder).isDir())
        return DatabaseError("cannot create " + path + ": the folder " + folder +
                             " does not exist");
    if (file.exists && !file.empty) {
        if (StoreStatus identity = CheckIdentity(path, file.applicationId, file.schemaVersion);
            !identity)
            return identity.Error();
    }

    // A file the system will not let us write is opened for reading (SQLite would quietly do the
    // same), so that list and read still work; writes then fail with a clear message. A file it
    // lets us write is opened read-write even to read it, without creating it: a journal that a
    // writer killed mid-write left must be rolled back before anything can be read.
    const bool folderWritable = Writable(folder);
    const bool fileWritable = folderWritable && (!file.exists || Writable(path));
    if (!file.exists && !folderWritable)
        return DatabaseError("cannot create " + path + ": the folder is read-only");
    const char* mode = !fileWritable ? "ro" : options.readOnly ? "rw" : "rwc";
    const bool readOnly = options.readOnly || !fileWritable;

    const QString connection = QStringLiteral("tarn-schedule-store-%1").arg(++connectionCount);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(SqliteUri(path, mode));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                                 .arg(options.busyTimeout.count()));
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
    Session session(connection, options.busyTimeout);
    auto ready = ReadySchema(session, path, readOnly);
    if (!ready) return ready.Error();
    store->schemaVersion_ = ready.Value();
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
    auto query = session.Run("cannot read " + path_,
                             QStringLiteral("SELECT CAST(name AS BLOB), changed, %1 FROM schedules")
                                 .arg(QLatin1String(Columns().revision)));
    if (!query) return session.Failure();
    std::vector<std::pair<QByteArray, ScheduleEntry>> rows;
    while (query->next()) {
        const QByteArray name = query->value(0).toByteArray();
        ScheduleEntry entry{FromUtf8(name),
                            QDateTime::fromMSecsSinceEpoch(query->value(1).toLongLong(), Qt::UTC),
                            query->value(2).toLongLong()};
        rows.emplace_back(name, std::move(entry));
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
    auto query = session.Run(
        "cannot read " + path_,
        QStringLiteral("SELECT week, changed, %1, CAST(%2 AS BLOB), %3"
                       " FROM schedules WHERE name = CAST(? AS TEXT)")
            .arg(QLatin1String(Columns().revision), QLatin1String(Columns().specialCaption),
                 QLatin1String(Columns().specialEnabled)),
        {Utf8(name)});
    if (!query) return session.Failure();
    if (!query->next()) return UnknownName(name);
    auto week = WeekFromJson(query->value(0).toString().toUtf8());
    if (auto* message = std::get_if<std::string>(&week))
        return DatabaseError("schedule " + Quoted(name) + " in " + path_ +
                             " is damaged: " + QString::fromStdString(*message));
    ScheduleSettings settings{FromUtf8(query->value(3).toByteArray()),
                              query->value(4).toLongLong() != 0};
    if (StoreStatus valid = CheckSettings(settings); !valid)
        return DatabaseError("schedule " + Quoted(name) + " in " + path_ +
                             " is damaged: " + valid.Error().message);
    return StoredSchedule{name, std::get<WeekRanges>(week),
                          QDateTime::fromMSecsSinceEpoch(query->value(1).toLongLong(), Qt::UTC),
                          query->value(2).toLongLong(), std::move(settings)};
}

StoreResult<qint64> ScheduleStore::Revision(const QString& name) const {
    if (StoreStatus valid = CheckName(name); !valid) return valid.Error();
    Session session(connection_, busyTimeout_);
    const auto revision = RevisionIn(session, "cannot read " + path_, name, Columns().revision);
    if (!revision) return session.Failure();
    if (revision->isNull()) return UnknownName(name);
    return revision->toLongLong();
}

StoreResult<qint64> ScheduleStore::DataVersion() const {
    Session session(connection_, busyTimeout_);
    const auto version =
        session.Value("cannot read " + path_, QStringLiteral("PRAGMA data_version"));
    if (!version) return session.Failure();
    return version->toLongLong();
}

StoreResult<qint64> ScheduleStore::Create(const QString& name, const WeekRanges& week,
                                          const ScheduleSettings& settings) {
    if (StoreStatus valid = CheckName(name); !valid) return valid.Error();
    if (StoreStatus valid = CheckSettings(settings); !valid) return valid.Error();
    const QString what = "cannot write " + Quoted(name) + " to " + path_;
    return Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            const auto revision = RevisionIn(session, what, name);
            if (!revision) return session.Failure();
            if (!revision->isNull()) return NameTaken(name);
            if (!session.Run(
                    what,
                    QStringLiteral("INSERT INTO schedules (name, week, changed, revision,"
                                   " special_caption, special_enabled)"
                                   " VALUES (CAST(? AS TEXT), ?, ?, 1, CAST(? AS TEXT), ?)"),
                    {Utf8(name), QString::fromUtf8(WeekToJson(week)), NowMs(),
                     Utf8(settings.specialCaption), settings.specialDayEnabled ? 1 : 0}))
                return session.Failure();
            return qint64{1};
        });
}

StoreResult<qint64> ScheduleStore::Write(const QString& name, const WeekRanges& week) {
    if (StoreStatus valid = CheckName(name); !valid) return valid.Error();
    const QString what = "cannot write " + Quoted(name) + " to " + path_;
    return Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            const auto revision = RevisionIn(session, what, name);
            if (!revision) return session.Failure();
            if (revision->isNull()) {
                if (!session.Run(
                        what,
                        QStringLiteral("INSERT INTO schedules (name, week, changed, revision)"
                                       " VALUES (CAST(? AS TEXT), ?, ?, 1)"),
                        {Utf8(name), QString::fromUtf8(WeekToJson(week)), NowMs()}))
                    return session.Failure();
                return qint64{1};
            }
            auto next = NextRevision(*revision, what);
            if (!next) return next;
            if (!session.Run(
                    what,
                    QStringLiteral("UPDATE schedules SET week = ?, changed = ?, revision = ?"
                                   " WHERE name = CAST(? AS TEXT)"),
                    {QString::fromUtf8(WeekToJson(week)), NowMs(), next.Value(), Utf8(name)}))
                return session.Failure();
            return next;
        });
}

StoreResult<qint64> ScheduleStore::WriteIf(const QString& name, const WeekRanges& week,
                                           const ScheduleSettings* settings,
                                           qint64 expectedRevision) {
    if (StoreStatus valid = CheckName(name); !valid) return valid.Error();
    if (settings != nullptr)
        if (StoreStatus valid = CheckSettings(*settings); !valid) return valid.Error();
    const QString what = "cannot save " + Quoted(name) + " to " + path_;
    return Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            const auto revision = RevisionIn(session, what, name);
            if (!revision) return session.Failure();
            if (revision->isNull())
                return StoreError{StoreError::Kind::Gone, what + ": it no longer exists"};
            if (revision->toLongLong() != expectedRevision)
                return StoreError{StoreError::Kind::Changed,
                                  what + ": it changed since revision " +
                                      QString::number(expectedRevision) + "; it is now at " +
                                      QString::number(revision->toLongLong())};
            auto next = NextRevision(*revision, what);
            if (!next) return next;
            const QString json = QString::fromUtf8(WeekToJson(week));
            const bool written =
                settings == nullptr
                    ? session
                          .Run(what,
                               QStringLiteral("UPDATE schedules SET week = ?, changed = ?,"
                                              " revision = ? WHERE name = CAST(? AS TEXT)"),
                               {json, NowMs(), next.Value(), Utf8(name)})
                          .has_value()
                    : session
                          .Run(what,
                               QStringLiteral("UPDATE schedules SET week = ?, changed = ?,"
                                              " revision = ?, special_caption = CAST(? AS TEXT),"
                                              " special_enabled = ? WHERE name = CAST(? AS TEXT)"),
                               {json, NowMs(), next.Value(), Utf8(settings->specialCaption),
                                settings->specialDayEnabled ? 1 : 0, Utf8(name)})
                          .has_value();
            if (!written) return session.Failure();
            return next;
        });
}

StoreResult<qint64> ScheduleStore::Save(const QString& name, const WeekRanges& week,
                                        const ScheduleSettings& settings, qint64 expectedRevision) {
    return WriteIf(name, week, &settings, expectedRevision);
}

StoreResult<qint64> ScheduleStore::WriteWeek(const QString& name, const WeekRanges& week,
                                             qint64 expectedRevision) {
    return WriteIf(name, week, nullptr, expectedRevision);
}

StoreStatus ScheduleStore::Rename(const QString& from, const QString& to) {
    if (StoreStatus valid = CheckName(from); !valid) return valid;
    if (StoreStatus valid = CheckName(to); !valid) return valid;
    const QString what = "cannot rename " + Quoted(from) + " in " + path_;
    auto renamed = Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            if (auto refused = CheckFromAndTo(session, what, from, to, true)) return *refused;
            const auto revision = RevisionIn(session, what, from);
            if (!revision) return session.Failure();
            auto next = NextRevision(*revision, what);
            if (!next) return next;
            if (!session.Run(
                    what,
                    QStringLiteral(
                        "UPDATE schedules SET name = CAST(? AS TEXT), changed = ?, revision = ?"
                        " WHERE name = CAST(? AS TEXT)"),
                    {Utf8(to), NowMs(), next.Value(), Utf8(from)}))
                return session.Failure();
            return next;
        });
    if (!renamed) return renamed.Error();
    return {};
}

StoreStatus ScheduleStore::Duplicate(const QString& from, const QString& to) {
    if (StoreStatus valid = CheckName(from); !valid) return valid;
    if (StoreStatus valid = CheckName(to); !valid) return valid;
    const QString what = "cannot duplicate " + Quoted(from) + " in " + path_;
    auto copied = Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            if (auto refused = CheckFromAndTo(session, what, from, to, false)) return *refused;
            if (!session.Run(
                    what,
                    QStringLiteral(
                        "INSERT INTO schedules (name, week, changed, revision,"
                        " special_caption, special_enabled)"
                        " SELECT CAST(? AS TEXT), week, ?, 1, special_caption, special_enabled"
                        " FROM schedules WHERE name = CAST(? AS TEXT)"),
                    {Utf8(to), NowMs(), Utf8(from)}))
                return session.Failure();
            return qint64{1};
        });
    if (!copied) return copied.Error();
    return {};
}

StoreStatus ScheduleStore::Delete(const QString& name) {
    if (StoreStatus valid = CheckName(name); !valid) return valid;
    const QString what = "cannot delete " + Quoted(name) + " from " + path_;
    auto deleted = Change(
        connection_, busyTimeout_, readOnly_, what, [&](Session& session) -> StoreResult<qint64> {
            auto query = session.Run(
                what, QStringLiteral("DELETE FROM schedules WHERE name = CAST(? AS TEXT)"),
                {Utf8(name)});
            if (!query) return session.Failure();
            if (query->numRowsAffected() == 0) return UnknownName(name);
            return qint64{0};
        });
    if (!deleted) return deleted.Error();
    return {};
}

}  // namespace tarn::storage
