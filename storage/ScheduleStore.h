// Named weeks kept in one SQLite file: create, rename, duplicate, delete, list, read and write
// them. Every failure comes back as a StoreError with a message; nothing is thrown.
#pragma once

#include <QDateTime>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/storage/StorageExport.h"

namespace tarn::storage {

/// The longest name a schedule may have, in characters (Unicode code points).
inline constexpr int kMaxNameLength = 100;
/// Written into the file header (PRAGMA application_id) so that our files can be told apart from
/// every other SQLite database: "TSch".
inline constexpr quint32 kApplicationId = 0x54536368;
/// The schema version this build writes (PRAGMA user_version). Older files are migrated in place
/// when opened; newer ones are refused.
inline constexpr int kSchemaVersion = 2;
/// The longest Special caption a schedule may keep, in characters.
inline constexpr int kMaxCaptionLength = 100;

/// Why a call failed. The caller's input (a name that is malformed, unknown or taken) is told
/// apart from the database or the file system failing, so a tool can choose its exit status.
struct StoreError {
    enum class Kind {
        BadName,      ///< empty, too long, control characters (also a malformed caption)
        UnknownName,  ///< no schedule of that name
        NameTaken,    ///< a schedule of that name exists already
        Changed,      ///< a conditional write found a newer revision than the one expected
        Gone,         ///< a conditional write found no schedule of that name (deleted, renamed)
        Database,     ///< the file is foreign, newer, busy, read-only, damaged or unreadable
    };
    Kind kind = Kind::Database;
    QString message;

    /// True only for the caller's input: BadName, UnknownName, NameTaken.
    bool IsInputError() const {
        return kind == Kind::BadName || kind == Kind::UnknownName || kind == Kind::NameTaken;
    }
};

/// A value or the reason there is none.
template <typename T>
class StoreResult {
public:
    StoreResult(T value) : state_(std::move(value)) {}
    StoreResult(StoreError error) : state_(std::move(error)) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }
    /// Only when Ok().
    const T& Value() const& { return std::get<0>(state_); }
    T&& Value() && { return std::get<0>(std::move(state_)); }
    /// Only when !Ok().
    const StoreError& Error() const { return std::get<1>(state_); }

private:
    std::variant<T, StoreError> state_;
};

/// Success, or the reason for a failure.
class StoreStatus {
public:
    StoreStatus() = default;
    StoreStatus(StoreError error) : error_(std::move(error)) {}
    /// The outcome of a call whose value is not needed.
    template <typename T>
    StoreStatus(const StoreResult<T>& result) {
        if (!result.Ok()) error_ = result.Error();
    }

    bool Ok() const { return !error_.has_value(); }
    explicit operator bool() const { return Ok(); }
    /// Only when !Ok().
    const StoreError& Error() const { return *error_; }

private:
    std::optional<StoreError> error_;
};

/// What a host keeps with each schedule besides its week: the Special row's caption and
/// whether the Special day may be edited (the control's SpecialDayCaption/SpecialDayEnabled).
struct ScheduleSettings {
    QString specialCaption = QStringLiteral("Special");
    bool specialDayEnabled = true;
    bool operator==(const ScheduleSettings&) const = default;
};

/// One schedule of the store without its week, as List() gives it.
struct ScheduleEntry {
    QString name;
    /// When the schedule was last written, created, renamed or duplicated (UTC, milliseconds).
    QDateTime changed;
    qint64 revision = 0;
};

/// One schedule with its week.
struct StoredSchedule {
    QString name;
    WeekRanges week;
    QDateTime changed;
    /// Raised by every write of this row (week, settings, rename).
    qint64 revision = 0;
    ScheduleSettings settings;
};

/// How a store is opened.
struct StoreOptions {
    /// How long one call (opening included) waits in total for another program that holds the
    /// database before it fails.
    std::chrono::milliseconds busyTimeout{2000};
    /// Open for reading only: the file is never created, migrated or written, and every write
    /// fails (a journal left by a writer that died is still rolled back when the file allows
    /// it, as any reader must). Without it a file that the system will not let us write is
    /// still opened for reading.
    bool readOnly = false;
};

/// A connection to one schedule database. Opening checks, before anything is written, that the
/// file is ours (or empty or absent, and then makes it ours): another SQLite database, a text
/// file or anything else is refused and left exactly as it was. Every write is one transaction:
/// a crash leaves the state before or after it. Not shared between threads.
class TARN_SCHEDULE_STORAGE_EXPORT ScheduleStore {
public:
    /// Opens (creating when absent) the database at `path`.
    static StoreResult<std::unique_ptr<ScheduleStore>> Open(const QString& path,
                                                            const StoreOptions& options = {});
    /// The default database: `schedules.sqlite` in the user's data folder for the application
    /// (QStandardPaths::AppDataLocation). The folder is not created here.
    static QString DefaultPath();
    /// Refuses, with a message, a name that is empty, longer than kMaxNameLength characters,
    /// holds a control character or is not valid text.
    static StoreStatus CheckName(const QString& name);
    /// Refuses a Special caption longer than kMaxCaptionLength characters, with a control
    /// character or not valid text. An empty caption is allowed.
    static StoreStatus CheckSettings(const ScheduleSettings& settings);

    ~ScheduleStore();
    ScheduleStore(const ScheduleStore&) = delete;
    ScheduleStore& operator=(const ScheduleStore&) = delete;

    const QString& Path() const { return path_; }
    /// True when opened for reading only, asked for or because the file cannot be written.
    bool IsReadOnly() const { return readOnly_; }

    /// Every schedule, in the byte order of the names' UTF-8 form.
    StoreResult<std::vector<ScheduleEntry>> List() const;
    StoreResult<StoredSchedule> Read(const QString& name) const;
    /// The revision of a schedule (1 when created; every write of its row raises it by one).
    StoreResult<qint64> Revision(const QString& name) const;
    /// Counter that changes whenever another connection (another program or another store
    /// object) has committed a change to the file since this one last looked (SQLite's
    /// PRAGMA data_version): cheap, meant to be polled while idle.
    StoreResult<qint64> DataVersion() const;

    /// Adds a schedule; fails when the name is taken. Returns its revision (1).
    StoreResult<qint64> Create(const QString& name, const WeekRanges& week,
                               const ScheduleSettings& settings = {});
    /// Replaces the week of a schedule, creating it when there is none of that name; the
    /// settings are kept. Returns the new revision.
    StoreResult<qint64> Write(const QString& name, const WeekRanges& week);
    /// Writes the week and the settings only while the stored revision is still
    /// `expectedRevision`, and returns the new revision. Otherwise nothing is changed and the
    /// error is Kind::Changed or Kind::Gone. Never creates a schedule.
    StoreResult<qint64> Save(const QString& name, const WeekRanges& week,
                             const ScheduleSettings& settings, qint64 expectedRevision);
    /// As Save, for the week alone: the settings are kept.
    StoreResult<qint64> WriteWeek(const QString& name, const WeekRanges& week,
                                  qint64 expectedRevision);
    /// Renames a schedule; its revision is raised.
    StoreStatus Rename(const QString& from, const QString& to);
    /// Copies schedule `from` (week and settings) under the new name `to`, at revision 1.
    StoreStatus Duplicate(const QString& from, const QString& to);
    StoreStatus Delete(const QString& name);

private:
    ScheduleStore(QString path, QString connection, bool readOnly);
    /// Save (with settings) or WriteWeek (without).
    StoreResult<qint64> WriteIf(const QString& name, const WeekRanges& week,
                                const ScheduleSettings* settings, qint64 expectedRevision);

    /// The SQL that reads the columns a file of an older version may lack.
    struct ReadColumns {
        const char* revision;
        const char* specialCaption;
        const char* specialEnabled;
    };
    ReadColumns Columns() const;

    QString path_;
    QString connection_;
    bool readOnly_ = false;
    /// The version of the file as it is read: older only when opened read-only.
    int schemaVersion_ = kSchemaVersion;
    std::chrono::milliseconds busyTimeout_{2000};
};

}  // namespace tarn::storage
