// The demo host's work on a library of named schedules, apart from any window: the current
// schedule opened in an editor and saved on every change (on a thread of its own, never over a
// newer version saved by another program), with undo and redo, import and export of JSON files,
// copying a day, and following what other programs change. A window of any toolkit shows what it
// says and forwards the user's commands; it asks the user its questions itself.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "TarnSchedule/DayRanges.h"
#include "app/demo/StoreWorker.h"
#include "storage/ScheduleStore.h"

class QTimer;
class QUndoStack;

namespace tarn::app {

/// What the session needs of the editor in which the user changes the open schedule.
class ScheduleEditing {
public:
    virtual ~ScheduleEditing() = default;
    virtual WeekRanges Week() const = 0;
    /// The reason when the editor refuses the week.
    virtual std::optional<QString> SetWeek(const WeekRanges& week) = 0;
    virtual QString SpecialDayCaption() const = 0;
    virtual void SetSpecialDayCaption(const QString& caption) = 0;
    virtual bool SpecialDayEnabled() const = 0;
    virtual void SetSpecialDayEnabled(bool enabled) = 0;
    virtual std::optional<QString> CopyDay(int from, const QList<int>& to) = 0;
    virtual void Reset() = 0;
};

/// ScheduleEditing over an editor with the control's host interface (the widget, the Qt Quick
/// item).
template <typename Editor>
class EditingOf final : public ScheduleEditing {
public:
    explicit EditingOf(Editor& editor) : editor_(editor) {}
    WeekRanges Week() const override { return editor_.weekRanges(); }
    std::optional<QString> SetWeek(const WeekRanges& week) override {
        return editor_.setWeekRanges(week);
    }
    QString SpecialDayCaption() const override { return editor_.SpecialDayCaption(); }
    void SetSpecialDayCaption(const QString& caption) override {
        editor_.setSpecialDayCaption(caption);
    }
    bool SpecialDayEnabled() const override { return editor_.SpecialDayEnabled(); }
    void SetSpecialDayEnabled(bool enabled) override { editor_.setSpecialDayEnabled(enabled); }
    std::optional<QString> CopyDay(int from, const QList<int>& to) override {
        return editor_.copyDay(from, to);
    }
    void Reset() override { editor_.Reset(); }

private:
    Editor& editor_;
};

class DemoSession final : public QObject {
    Q_OBJECT
    // What a window written in QML reads; the C++ window uses the functions below.
    Q_PROPERTY(QString currentName READ currentName NOTIFY currentChanged)
    Q_PROPERTY(QStringList scheduleNames READ scheduleNames NOTIFY listChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusChanged)
    Q_PROPERTY(bool statusIsProblem READ statusIsProblem NOTIFY statusChanged)
    Q_PROPERTY(BannerKind bannerKind READ bannerKind NOTIFY bannerChanged)
    Q_PROPERTY(QString bannerText READ bannerText NOTIFY bannerChanged)
    Q_PROPERTY(bool canLoadStored READ canLoadStored NOTIFY bannerChanged)
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY undoChanged)
    Q_PROPERTY(bool canRedo READ canRedo NOTIFY undoChanged)

public:
    /// The name of the schedule put into an empty library on first start.
    static QString SampleName();
    /// Weekdays 08:00-17:30, Friday to 15:00, Saturday 10:00-14:00.
    static WeekRanges SampleWeek();

    /// A session on the library in the database at `path`, which a thread of the session's own
    /// opens and reads: the caller never waits for the database. An empty library first gets the
    /// sample schedule; the schedule last opened on this database comes back, else the first.
    /// Nothing is read before start().
    DemoSession(const QString& path, const storage::StoreOptions& options,
                QObject* parent = nullptr);
    ~DemoSession() override;

    /// Reads the library and opens a schedule in editor, then follows what other programs
    /// change. The editor's ScheduleChanged goes to editorChanged(); it outlives the session.
    void start(ScheduleEditing& editor);

    QString path() const { return path_; }
    QUndoStack& undoStack() { return *undo_; }
    /// The schedule open in the editor, empty when the library has none.
    QString currentName() const { return current_; }
    /// The library as last read, in its order.
    const std::vector<storage::ScheduleEntry>& entries() const { return entries_; }
    QStringList scheduleNames() const;
    /// True while a call to the database is queued or running.
    bool isBusy() const { return inFlight_ || !queue_.empty(); }

    // Each of the following is done in turn with the database calls queued before it; false
    // when it is refused at once (the reason in the status). A call that fails later shows its
    // reason in the status.

    /// Opens a schedule of the library in the editor; refused while changes to the current one
    /// are not saved.
    Q_INVOKABLE bool openSchedule(const QString& name);
    Q_INVOKABLE bool createSchedule(const QString& name);
    Q_INVOKABLE bool renameSchedule(const QString& to);
    Q_INVOKABLE bool duplicateSchedule(const QString& to);
    Q_INVOKABLE bool deleteSchedule();
    /// Keeps what the editor shows, unsaved changes included, as a new schedule and opens it.
    Q_INVOKABLE bool keepAsNewSchedule(const QString& name);
    /// Drops unsaved changes and shows the schedule as stored, or another when it is gone.
    Q_INVOKABLE bool loadStoredVersion();

    /// Replaces the current schedule's week by the one in a JSON file. A file that cannot be read
    /// or is not a week changes nothing.
    bool importFrom(const QString& path);
    /// Writes the current week to a JSON file.
    bool exportTo(const QString& path);
    /// The same for a file chosen in a QML file dialog.
    Q_INVOKABLE bool importFile(const QUrl& file);
    Q_INVOKABLE bool exportFile(const QUrl& file);
    /// Copies day `from`'s ranges to each of `to`; false, with the reason shown, when refused.
    Q_INVOKABLE bool copyDay(int from, const QList<int>& to);
    /// Clears the whole week.
    Q_INVOKABLE void resetWeek();
    /// The Special row's caption and whether it may be edited, kept with the schedule.
    Q_INVOKABLE void setSpecialDay(bool enabled, const QString& caption);
    /// The editor told of a change of the week: one undoable step, saved.
    void editorChanged();

    /// True while a change of the current schedule is not in the database.
    bool hasPendingSave() const { return pending_; }
    /// True when the schedule was changed or removed by another program since it was loaded and
    /// the changes made here are kept unsaved until the user chooses.
    bool hasConflict() const { return conflict_; }
    /// Saves pending changes again after a failure.
    Q_INVOKABLE void retrySave();

    /// What the window shows above the editor: nothing, a failed save (with Retry), or changes
    /// kept unsaved because of another program (load the stored version, or discard the changes
    /// when the schedule is gone; keep them as a new schedule).
    enum class BannerKind { None, SaveFailed, Conflict };
    Q_ENUM(BannerKind)
    BannerKind bannerKind() const { return bannerKind_; }
    /// The banner's text, empty while it is hidden.
    QString bannerText() const { return bannerKind_ == BannerKind::None ? QString() : banner_; }
    /// In a conflict: whether a stored version exists to go back to.
    bool canLoadStored() const { return canLoadStored_; }
    QString statusText() const { return status_; }
    bool statusIsProblem() const { return statusProblem_; }

    /// Whether the window may close now: yes when nothing is pending; no when a save is on its
    /// way (closeReady follows once it is saved); no when changes could not be saved, which the
    /// window asks the user about (`mustAsk` set), closing only if the user drops them.
    bool mayClose(bool& mustAsk);

    bool canUndo() const;
    bool canRedo() const;
    Q_INVOKABLE void undo();
    Q_INVOKABLE void redo();

    /// Writes line to the developer's log.
    void log(const QString& line) { Q_EMIT logged(line); }

Q_SIGNALS:
    /// The library's list was read again.
    void listChanged();
    /// The open schedule changed (another, renamed, none): its name, what applies to it.
    void currentChanged();
    /// The editor shows other content; the Special row's setting or caption may have changed.
    void contentShown();
    void statusChanged();
    void bannerChanged();
    void logged(const QString& line);
    /// A close that waited for a save may go on.
    void closeReady();
    /// What Undo or Redo would do changed.
    void undoChanged();

private:
    /// What is saved of a schedule besides its name.
    struct Content {
        WeekRanges week;
        storage::ScheduleSettings settings;
        bool operator==(const Content&) const = default;
    };
    class EditCommand;
    using Prepare = std::function<StoreWorker::Job()>;

    // The database, through the worker: one call at a time, in the order asked.
    void Enqueue(Prepare prepare);
    void Dispatch();
    void LoadLibrary(const QString& preferred);
    void ShowList(const std::vector<storage::ScheduleEntry>& entries);
    void Opened(const storage::StoredSchedule& stored);
    /// Shows no schedule, then opens `preferred` when listed in `entries`, else their first;
    /// `note` says why, with the outcome.
    void OpenFirstOf(const std::vector<storage::ScheduleEntry>& entries, const QString& note = {},
                     const QString& preferred = {});
    void Poll();
    void Polled(qint64 version, const std::vector<storage::ScheduleEntry>& entries,
                const std::optional<storage::StoredSchedule>& stored);
    void Remember(const QString& name);

    // The open schedule's content and its saving.
    Content Shown() const;
    void Show(const Content& content);
    void Edited(const QString& step);
    void Restore(const Content& content);
    void RequestSave();
    void Saved(const QString& name, const Content& content,
               const storage::StoreResult<qint64>& result);
    void ShowConflict(const QString& text, bool canLoadStored);
    void ShowSaveFailure(const QString& text);
    void HideBanner();
    void ShowStatus(const QString& text, bool problem);
    bool Refuse(const QString& text);
    bool RefuseWhilePending(const QString& what);

    QString path_;
    ScheduleEditing* editor_ = nullptr;
    std::unique_ptr<StoreWorker> worker_;
    std::deque<Prepare> queue_;
    bool inFlight_ = false;
    qint64 dataVersion_ = -1;
    std::vector<storage::ScheduleEntry> entries_;

    QString current_;
    qint64 revision_ = 0;
    Content shown_;
    bool pending_ = false;
    bool saveQueued_ = false;
    bool conflict_ = false;
    bool closeWhenSaved_ = false;
    bool loading_ = false;
    /// The name of the undo step a call of the session is making, when not a plain edit.
    QString step_;
    /// Why the schedule being opened was chosen for the user, told once it is open.
    QString note_;

    BannerKind bannerKind_ = BannerKind::None;
    QString banner_;
    bool canLoadStored_ = false;
    QString status_;
    bool statusProblem_ = false;

    QUndoStack* undo_ = nullptr;
    QTimer* poll_ = nullptr;
};

}  // namespace tarn::app
