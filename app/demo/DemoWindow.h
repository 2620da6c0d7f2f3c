// The demo host's window: a library of named schedules beside the control, the current one opened
// in it and saved on every change, with undo and redo, import and export of JSON files, copying a
// day, and a developer view of the 64 time properties and the control's events. The work on the
// library is the session's (DemoSession.h); the window shows it and asks the user.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <memory>
#include <optional>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/ScheduleWidget.h"
#include "app/demo/DemoSession.h"
#include "storage/ScheduleStore.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QUndoStack;
class QWidget;

namespace tarn::app {

class DeveloperView;

class DemoWindow final : public QMainWindow {
    Q_OBJECT

public:
    static QString SampleName() { return DemoSession::SampleName(); }
    static WeekRanges SampleWeek() { return DemoSession::SampleWeek(); }

    /// A window on the library in the database at `path`, which a thread of the window's own
    /// opens and reads: the window never waits for the database (DemoSession.h).
    explicit DemoWindow(const QString& path, const storage::StoreOptions& options = {},
                        QWidget* parent = nullptr);
    ~DemoWindow() override;

    ScheduleWidget& schedule() { return *schedule_; }
    DeveloperView& developerView() { return *developer_; }
    QUndoStack& undoStack() { return session_->undoStack(); }
    /// The schedule open in the control, empty when the library has none.
    QString currentName() const { return session_->currentName(); }
    /// The names in the list, in its order.
    QStringList scheduleNames() const;
    /// True while a call to the database is queued or running; the window answers meanwhile.
    bool isBusy() const { return session_->isBusy(); }

    // The user's commands, as the session does them (DemoSession.h); false when refused at once,
    // the reason on the status line.
    bool openSchedule(const QString& name) { return session_->openSchedule(name); }
    bool createSchedule(const QString& name) { return session_->createSchedule(name); }
    bool renameSchedule(const QString& to) { return session_->renameSchedule(to); }
    bool duplicateSchedule(const QString& to) { return session_->duplicateSchedule(to); }
    bool deleteSchedule() { return session_->deleteSchedule(); }
    bool keepAsNewSchedule(const QString& name) { return session_->keepAsNewSchedule(name); }
    bool loadStoredVersion() { return session_->loadStoredVersion(); }
    bool importFrom(const QString& path) { return session_->importFrom(path); }
    bool exportTo(const QString& path) { return session_->exportTo(path); }
    bool copyDay(int from, const QList<int>& to) { return session_->copyDay(from, to); }
    void resetWeek() { session_->resetWeek(); }
    void setSpecialDay(bool enabled, const QString& caption) {
        session_->setSpecialDay(enabled, caption);
    }
    bool hasPendingSave() const { return session_->hasPendingSave(); }
    bool hasConflict() const { return session_->hasConflict(); }
    void retrySave() { session_->retrySave(); }
    /// The text of the status line and of the banner above the control (empty when hidden).
    QString statusText() const { return session_->statusText(); }
    QString bannerText() const { return session_->bannerText(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    QWidget* BuildBanner(QWidget* parent);
    QWidget* BuildLibraryPanel();
    QWidget* BuildHostControls();
    void BuildActions();
    void ConnectSession();
    void ShowList();
    void SelectInList(const QString& name);
    void UpdateActions();
    void ShowSpecialDay();
    void ShowBanner();
    void ShowStatus();

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

    ScheduleWidget* schedule_ = nullptr;
    std::unique_ptr<EditingOf<ScheduleWidget>> editing_;
    std::unique_ptr<DemoSession> session_;
    bool listing_ = false;

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
