// The demo host's window: a library of named schedules beside the control, the current one opened
// in it and saved on every change, with import and export of JSON files, copying a day, and a
// developer view of the 64 time properties and the control's events.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <memory>

#include "TarnSchedule/DayRanges.h"
#include "storage/ScheduleStore.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
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

    /// A window on the library in `store`. An empty library first gets the sample schedule; the
    /// first schedule of the library is opened.
    explicit DemoWindow(std::unique_ptr<storage::ScheduleStore> store, QWidget* parent = nullptr);
    ~DemoWindow() override;

    ScheduleWidget& schedule() { return *schedule_; }
    DeveloperView& developerView() { return *developer_; }
    /// The schedule open in the control, empty when the library has none.
    QString currentName() const { return current_; }
    /// The names in the list, in its order.
    QStringList scheduleNames() const;

    /// Opens a schedule of the library in the control. Refused (false, with the reason on the
    /// status line) while the changes to the current one are not saved, or when it cannot be read.
    bool openSchedule(const QString& name);
    /// Library operations; each returns false and shows the reason when it fails.
    bool createSchedule(const QString& name);
    bool renameSchedule(const QString& to);
    bool duplicateSchedule(const QString& to);
    bool deleteSchedule();

    /// Replaces the current schedule's week by the one in a JSON file. A file that cannot be read
    /// or is not a week changes nothing.
    bool importFrom(const QString& path);
    /// Writes the current week to a JSON file.
    bool exportTo(const QString& path);
    /// Copies day `from`'s ranges to each of `to`; false, with the reason shown, when refused.
    bool copyDay(int from, const QList<int>& to);
    /// Clears the whole week and saves it.
    void resetWeek();

    /// True while a change of the current schedule is not in the database.
    bool hasPendingSave() const { return pending_; }
    /// Saves the current schedule now; false when it failed (it then stays pending).
    bool saveNow();
    /// The text of the status line.
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    QWidget* BuildLibraryPanel();
    QWidget* BuildHostControls();
    void BuildActions();
    void ReloadList(const QString& select);
    void SelectInList(const QString& name);
    void UpdateActions();
    bool ShowWeek(const WeekRanges& week);
    void WeekChanged(const QString& why);
    void ShowStatus(const QString& text, bool problem);
    bool Refuse(const QString& text);
    bool RefuseWhilePending(const QString& what);
    void Log(const QString& line);

    // What the menu, buttons and list ask through dialogs before calling the functions above.
    void AskNew();
    void AskRename();
    void AskDuplicate();
    void AskDelete();
    void AskImport();
    void AskExport();
    void AskCopyDay();
    void AskReset();

    std::unique_ptr<storage::ScheduleStore> store_;
    QString current_;
    bool pending_ = false;
    bool listing_ = false;
    bool loading_ = false;

    ScheduleWidget* schedule_ = nullptr;
    DeveloperView* developer_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* banner_ = nullptr;
    QLabel* bannerText_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* allowEditing_ = nullptr;
    QCheckBox* specialDay_ = nullptr;
    QLineEdit* caption_ = nullptr;
    QList<QAction*> scheduleActions_;
    QAction* retry_ = nullptr;
};

}  // namespace tarn::app
