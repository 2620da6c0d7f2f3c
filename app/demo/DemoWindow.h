// The demo host's window: a library of named schedules beside the control, the current one opened
// in it and saved on every change (on a thread of its own, never overwriting a newer version
// saved by another program), with undo and redo, import and export of JSON files, copying a day,
// and a developer view of the 64 time properties and the control's events.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "TarnSchedule/DayRanges.h"
#include "app/demo/StoreWorker.h"
#include "storage/ScheduleStore.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QUndoStack;
class QWidget;

namespace tarn {
class ScheduleWidget;
}

namespace tarn::app {

class DeveloperView;

class DemoWindow final : public QMainWindow {
    Q_OBJECT

public:
    /// The name of the schedule put into an empty library on first start.
    static QString SampleName();
    /// Weekdays 08:00-17:30, Friday to 15:00, Saturday 10:00-14:00.
    static WeekRanges SampleWeek();

    /// A window on the library in the database at `path`, which a thread of the window's own
    /// opens and reads: the window never waits for the database. An empty library first gets the
    /// sample schedule; the schedule last opened on this database comes back, else the first.
    explicit DemoWindow(const QString& path, const storage::StoreOptions& options = {},
                        QWidget* parent = nullptr);
    ~DemoWindow() override;

    ScheduleWidget& schedule() { return *schedule_; }
    DeveloperView& developerView() { return *developer_; }
    QUndoStack& undoStack() { return *undo_; }
    /// The schedule open in the control, empty when the library has none.
    QString currentName() const { return current_; }
    /// The names in the list, in its order.
    QStringList scheduleNames() const;
    /// True while a call to the database is queued or running; the window answers meanwhile.
    bool isBusy() const { return inFlight_ || !queue_.empty(); }

    // Each of the following is done in turn with the database calls queued before it; false
    // when it is refused at once (the reason on the status line). A call that fails later shows
    // its reason on the status line.

    /// Opens a schedule of the library in the control; refused while changes to the current one
    /// are not saved.
    bool openSchedule(const QString& name);
    bool createSchedule(const QString& name);
    bool renameSchedule(const QString& to);
    bool duplicateSchedule(const QString& to);
    bool deleteSchedule();
    /// Keeps what the control shows, unsaved changes included, as a new schedule and opens it.
    bool keepAsNewSchedule(const QString& name);
    /// Drops unsaved changes and shows the schedule as stored, or another when it is gone.
    bool loadStoredVersion();

    /// Replaces the current schedule's week by the one in a JSON file. A file that cannot be read
    /// or is not a week changes nothing.
    bool importFrom(const QString& path);
    /// Writes the current week to a JSON file.
    bool exportTo(const QString& path);
    /// Copies day `from`'s ranges to each of `to`; false, with the reason shown, when refused.
    bool copyDay(int from, const QList<int>& to);
    /// Clears the whole week.
    void resetWeek();
    /// The Special row's caption and whether it may be edited, kept with the schedule.
    void setSpecialDay(bool enabled, const QString& caption);

    /// True while a change of the current schedule is not in the database.
    bool hasPendingSave() const { return pending_; }
    /// True when the schedule was changed or removed by another program since it was loaded and
    /// the changes made here are kept unsaved until the user chooses.
    bool hasConflict() const { return conflict_; }
    /// Saves pending changes again after a failure.
    void retrySave();
    /// The text of the status line and of the banner above the control (empty when hidden).
    QString statusText() const;
    QString bannerText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    /// What is saved of a schedule besides its name.
    struct Content {
        WeekRanges week;
        storage::ScheduleSettings settings;
        bool operator==(const Content&) const = default;
    };
    class EditCommand;
    using Prepare = std::function<StoreWorker::Job()>;

    void BuildWindow();
    QWidget* BuildBanner(QWidget* parent);
    QWidget* BuildLibraryPanel();
    QWidget* BuildHostControls();
    void BuildActions();
    void ShowList(const std::vector<storage::ScheduleEntry>& entries);
    void SelectInList(const QString& name);
    void UpdateActions();

    // The database, through the worker: one call at a time, in the order asked.
    void Enqueue(Prepare prepare);
    void Dispatch();
    void LoadLibrary(const QString& preferred);
    void Opened(const storage::StoredSchedule& stored);
    /// Shows no schedule, then opens `preferred` when listed in `entries`, else their first;
    /// `note` says why, with the outcome.
    void OpenFirstOf(const std::vector<storage::ScheduleEntry>& entries, const QString& note = {},
                     const QString& preferred = {});
    void Poll();
    void Polled(qint64 version, const std::vector<storage::ScheduleEntry>& entries,
                const std::optional<storage::StoredSchedule>& stored);

    // The open schedule's content and its saving.
    Content Shown() const;
    void Show(const Content& content);
    void ShowSpecialDay();
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
    void Log(const QString& line);
    void Remember(const QString& name);

    // What the menu, buttons and list ask through dialogs before calling the functions above.
    /// Asks for a schedule's name, offering `suggested`; nothing when the user cancels.
    std::optional<QString> AskName(const QString& title, const QString& label,
                                   const QString& suggested);
    void AskNew();
    void AskRename();
    void AskDuplicate();
    void AskDelete();
    void AskImport();
    void AskExport();
    void AskCopyDay();
    void AskReset();
    void AskKeepAsNew();
    void AskLoadStored();

    QString path_;
    std::unique_ptr<StoreWorker> worker_;
    std::deque<Prepare> queue_;
    bool inFlight_ = false;
    qint64 dataVersion_ = -1;

    QString current_;
    qint64 revision_ = 0;
    Content shown_;
    bool pending_ = false;
    bool saveQueued_ = false;
    bool conflict_ = false;
    bool closeWhenSaved_ = false;
    bool listing_ = false;
    bool loading_ = false;
    /// The name of the undo step a call of the window is making, when not a plain edit.
    QString step_;
    /// Why the schedule being opened was chosen for the user, told once it is open.
    QString note_;

    QUndoStack* undo_ = nullptr;
    QTimer* poll_ = nullptr;
    ScheduleWidget* schedule_ = nullptr;
    DeveloperView* developer_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* banner_ = nullptr;
    QLabel* bannerText_ = nullptr;
    QPushButton* retryButton_ = nullptr;
    QPushButton* loadStoredButton_ = nullptr;
    QPushButton* keepAsNewButton_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* allowEditing_ = nullptr;
    QCheckBox* specialDay_ = nullptr;
    QLineEdit* caption_ = nullptr;
    QList<QAction*> scheduleActions_;
    QAction* specialDayAction_ = nullptr;
};

}  // namespace tarn::app
