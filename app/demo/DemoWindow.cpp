#include "app/demo/DemoWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>
#include <variant>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/demo/CopyDayDialog.h"
#include "app/demo/DeveloperView.h"
#include "app/demo/ScheduleLegend.h"
#include "storage/Echo.h"
#include "storage/SafeFile.h"
#include "storage/WeekJson.h"

namespace tarn::app {

namespace {

/// The longest store or file message put on the log; the status line keeps the whole text.
constexpr int kLogMessageLength = 60;

DayRanges Hours(int startQuarter, int stopQuarter) {
    return std::get<DayRanges>(DayRanges::Make({{startQuarter, stopQuarter}}));
}

QString Quoted(const QString& name) {
    return QStringLiteral("\u201C%1\u201D").arg(name);
}

QString Short(QString text) {
    if (text.size() > kLogMessageLength) text = text.left(kLogMessageLength - 1) + QChar(0x2026);
    return text;
}

}  // namespace

QString DemoWindow::SampleName() {
    return tr("Office hours");
}

WeekRanges DemoWindow::SampleWeek() {
    WeekRanges week;
    for (int day = 0; day < 4; ++day)
        week[static_cast<std::size_t>(day)] = Hours(8 * 4, 17 * 4 + 2);  // 08:00-17:30
    week[4] = Hours(8 * 4, 15 * 4);                                      // Friday to 15:00
    week[5] = Hours(10 * 4, 14 * 4);                                     // Saturday 10-14
    return week;
}

DemoWindow::DemoWindow(std::unique_ptr<storage::ScheduleStore> store, QWidget* parent)
    : QMainWindow(parent), store_(std::move(store)) {
    BuildWindow();
    BuildActions();

    // Every change of the week is saved, whoever made it: the user's Enable or Disable, an
    // import, a copied day, Reset. Showing a stored week is no change.
    connect(schedule_, &ScheduleWidget::ScheduleUpdated, this,
            [this] { Log(QStringLiteral("event ScheduleUpdated")); });
    connect(schedule_, &ScheduleWidget::ScheduleChanged, this, [this] {
        if (!loading_) WeekChanged(QStringLiteral("event ScheduleChanged"));
    });

    auto entries = store_->List();
    if (!entries) {
        Refuse(tr("Cannot read the schedules: %1").arg(entries.Error().message));
    } else if (entries.Value().empty()) {
        const auto created = store_->Create(SampleName(), SampleWeek());
        if (!created)
            Refuse(tr("Cannot create the sample schedule: %1").arg(created.Error().message));
        else
            Log(QStringLiteral("created %1").arg(Quoted(SampleName())));
    }
    ReloadList(QString());
    if (list_->count() > 0) openSchedule(list_->item(0)->text());
    UpdateActions();
    if (store_->IsReadOnly())
        ShowStatus(tr("%1 is read-only: changes cannot be saved").arg(store_->Path()), true);
}

DemoWindow::~DemoWindow() = default;

// ---- The window's parts ------------------------------------------------------------------------

void DemoWindow::BuildWindow() {
    setWindowTitle(tr("Schedules \u2013 TarnSchedule demo"));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    splitter->addWidget(BuildLibraryPanel());

    auto* centre = new QWidget(splitter);
    auto* layout = new QVBoxLayout(centre);

    banner_ = new QFrame(centre);
    banner_->setAutoFillBackground(true);
    QPalette warning = banner_->palette();
    warning.setColor(QPalette::Window, QColor(0xFF, 0xE4, 0xB5));
    warning.setColor(QPalette::WindowText, Qt::black);
    banner_->setPalette(warning);
    auto* bannerLayout = new QHBoxLayout(banner_);
    bannerText_ = new QLabel(banner_);
    bannerText_->setWordWrap(true);
    bannerText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* retryButton = new QPushButton(tr("Retry"), banner_);
    bannerLayout->addWidget(bannerText_, 1);
    bannerLayout->addWidget(retryButton);
    connect(retryButton, &QPushButton::clicked, this, [this] { saveNow(); });
    banner_->hide();
    layout->addWidget(banner_);

    title_ = new QLabel(centre);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title_->setFont(titleFont);
    layout->addWidget(title_);
    layout->addWidget(new ScheduleLegend(centre));

    schedule_ = new ScheduleWidget(centre);
    // The control scales its rows to any size; below this its labels stop being readable.
    schedule_->setMinimumSize(420, 220);
    schedule_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(schedule_, 1);
    layout->addWidget(BuildHostControls());

    developer_ = new DeveloperView(centre);
    layout->addWidget(developer_);
    splitter->addWidget(centre);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({190, 760});

    status_ = new QLabel(this);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(status_, 1);
    resize(1000, 700);
}

QWidget* DemoWindow::BuildLibraryPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    auto* heading = new QLabel(tr("&Schedules"), panel);
    list_ = new QListWidget(panel);
    list_->setMinimumWidth(120);
    list_->setAccessibleName(tr("Schedules"));
    heading->setBuddy(list_);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);
    connect(list_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (listing_ || name.isEmpty() || name == current_) return;
        // A refused switch puts the selection back once the list has finished its signal.
        if (!openSchedule(name))
            QMetaObject::invokeMethod(
                this, [this] { SelectInList(current_); }, Qt::QueuedConnection);
    });
    return panel;
}

QWidget* DemoWindow::BuildHostControls() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    allowEditing_ = new QCheckBox(tr("Allow editing"), row);
    allowEditing_->setToolTip(
        tr("When off, the schedule is shown read-only (the control's "
           "Enable property)"));
    allowEditing_->setChecked(schedule_->Enable());
    specialDay_ = new QCheckBox(tr("Special day:"), row);
    specialDay_->setToolTip(tr("Offer the eighth row, e.g. for public holidays"));
    specialDay_->setChecked(schedule_->SpecialDayEnabled());
    caption_ = new QLineEdit(schedule_->SpecialDayCaption(), row);
    caption_->setAccessibleName(tr("Special day caption"));
    caption_->setMaximumWidth(160);
    caption_->setMinimumWidth(60);
    layout->addWidget(allowEditing_);
    layout->addSpacing(12);
    layout->addWidget(specialDay_);
    layout->addWidget(caption_, 1);
    layout->addStretch(1);

    connect(allowEditing_, &QCheckBox::toggled, this, [this](bool on) {
        Log(QStringLiteral("set Enable %1").arg(on ? "True" : "False"));
        schedule_->setEnable(on);
    });
    connect(specialDay_, &QCheckBox::toggled, this, [this](bool on) {
        Log(QStringLiteral("set SpecialDayEnabled %1").arg(on ? "True" : "False"));
        schedule_->setSpecialDayEnabled(on);
        caption_->setEnabled(on);
    });
    connect(caption_, &QLineEdit::editingFinished, this, [this] {
        if (caption_->text() == schedule_->SpecialDayCaption()) return;
        Log(QStringLiteral("set SpecialDayCaption"));
        schedule_->setSpecialDayCaption(caption_->text());
    });
    return row;
}

void DemoWindow::BuildActions() {
    auto* tools = addToolBar(tr("Schedule"));
    tools->setObjectName(QStringLiteral("scheduleToolBar"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [this, tools](const QString& text, const QString& tip, auto slot,
                                   bool needsSchedule, const QKeySequence& keys = {}) {
        QAction* action = tools->addAction(text);
        action->setToolTip(keys.isEmpty() ? tip
                                          : QStringLiteral("%1 (%2)").arg(
                                                tip, keys.toString(QKeySequence::NativeText)));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        if (needsSchedule) scheduleActions_ << action;
        return action;
    };
    add(tr("New\u2026"), tr("Add an empty schedule"), &DemoWindow::AskNew, false,
        QKeySequence::New);
    add(tr("Rename\u2026"), tr("Rename this schedule"), &DemoWindow::AskRename, true,
        QKeySequence(Qt::Key_F2));
    add(tr("Duplicate\u2026"), tr("Copy this schedule under a new name"), &DemoWindow::AskDuplicate,
        true);
    add(tr("Delete\u2026"), tr("Delete this schedule"), &DemoWindow::AskDelete, true);
    tools->addSeparator();
    add(tr("Import\u2026"), tr("Replace this schedule's week by one from a JSON file"),
        &DemoWindow::AskImport, true, QKeySequence::Open);
    add(tr("Export\u2026"), tr("Write this schedule's week to a JSON file"), &DemoWindow::AskExport,
        true);
    tools->addSeparator();
    add(tr("Copy day\u2026"), tr("Copy one day's hours to other days"), &DemoWindow::AskCopyDay,
        true);
    add(tr("Reset\u2026"), tr("Clear the whole week"), &DemoWindow::AskReset, true);
}

// ---- The library -------------------------------------------------------------------------------

QStringList DemoWindow::scheduleNames() const {
    QStringList names;
    for (int row = 0; row < list_->count(); ++row)
        names << list_->item(row)->text();
    return names;
}

void DemoWindow::ReloadList(const QString& select) {
    auto entries = store_->List();
    if (!entries) {
        Refuse(tr("Cannot read the schedules: %1").arg(entries.Error().message));
        return;
    }
    listing_ = true;
    list_->clear();
    for (const storage::ScheduleEntry& entry : entries.Value()) {
        auto* item = new QListWidgetItem(entry.name, list_);
        item->setToolTip(
            tr("Changed %1")
                .arg(entry.changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"))));
        if (entry.name == select) list_->setCurrentItem(item);
    }
    listing_ = false;
}

void DemoWindow::SelectInList(const QString& name) {
    const QList<QListWidgetItem*> found = list_->findItems(name, Qt::MatchExactly);
    listing_ = true;
    list_->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    listing_ = false;
}

void DemoWindow::closeEvent(QCloseEvent* event) {
    // A change that could not be saved is not dropped without asking.
    if (pending_ && !saveNow()) {
        const auto answer = QMessageBox::warning(
            this, tr("Changes not saved"),
            tr("The changes to %1 could not be saved:\n%2\n\nClose and lose them?")
                .arg(Quoted(current_), statusText()),
            QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Discard) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void DemoWindow::UpdateActions() {
    const bool open = !current_.isEmpty();
    for (QAction* action : scheduleActions_)
        action->setEnabled(open);
    schedule_->setEnabled(open);
    title_->setText(open ? current_ : tr("No schedule: add one with New"));
}

bool DemoWindow::openSchedule(const QString& name) {
    if (name == current_) return true;
    if (!RefuseWhilePending(tr("open %1").arg(Quoted(name)))) return false;
    auto stored = store_->Read(name);
    if (!stored) return Refuse(tr("Cannot open %1: %2").arg(Quoted(name), stored.Error().message));
    current_ = name;
    pending_ = false;
    ShowWeek(stored.Value().week);
    SelectInList(current_);
    UpdateActions();
    Log(QStringLiteral("opened %1").arg(Quoted(name)));
    ShowStatus(tr("Opened %1").arg(Quoted(name)), false);
    return true;
}

bool DemoWindow::createSchedule(const QString& name) {
    if (!RefuseWhilePending(tr("add a schedule"))) return false;
    const auto created = store_->Create(name, WeekRanges{});
    if (!created) return Refuse(tr("Not added: %1").arg(created.Error().message));
    Log(QStringLiteral("created %1").arg(Quoted(name)));
    ReloadList(current_);
    return openSchedule(name);
}

bool DemoWindow::renameSchedule(const QString& to) {
    if (current_.isEmpty() || to == current_) return false;
    const storage::StoreStatus renamed = store_->Rename(current_, to);
    if (!renamed) return Refuse(tr("Not renamed: %1").arg(renamed.Error().message));
    Log(QStringLiteral("renamed %1 to %2").arg(Quoted(current_), Quoted(to)));
    current_ = to;
    ReloadList(current_);
    UpdateActions();
    ShowStatus(tr("Renamed to %1").arg(Quoted(to)), false);
    // An edit that could not be saved under the old name is saved under the new one.
    if (pending_) saveNow();
    return true;
}

bool DemoWindow::duplicateSchedule(const QString& to) {
    if (current_.isEmpty()) return false;
    // The copy is made from the database, so the current week must be there first.
    if (!RefuseWhilePending(tr("duplicate %1").arg(Quoted(current_)))) return false;
    const storage::StoreStatus copied = store_->Duplicate(current_, to);
    if (!copied) return Refuse(tr("Not duplicated: %1").arg(copied.Error().message));
    Log(QStringLiteral("duplicated %1 as %2").arg(Quoted(current_), Quoted(to)));
    ReloadList(current_);
    return openSchedule(to);
}

bool DemoWindow::deleteSchedule() {
    if (current_.isEmpty()) return false;
    const storage::StoreStatus deleted = store_->Delete(current_);
    if (!deleted) return Refuse(tr("Not deleted: %1").arg(deleted.Error().message));
    Log(QStringLiteral("deleted %1").arg(Quoted(current_)));
    ShowStatus(tr("Deleted %1").arg(Quoted(current_)), false);
    // A pending edit of the deleted schedule goes with it: the user asked for that.
    pending_ = false;
    banner_->hide();
    current_.clear();
    ReloadList(QString());
    if (list_->count() > 0) {
        openSchedule(list_->item(0)->text());
    } else {
        ShowWeek(WeekRanges{});
        UpdateActions();
    }
    return true;
}

// ---- The week ----------------------------------------------------------------------------------

bool DemoWindow::ShowWeek(const WeekRanges& week) {
    loading_ = true;
    const std::optional<QString> refused = schedule_->setWeekRanges(week);
    loading_ = false;
    developer_->showProperties(*schedule_);
    if (refused) return Refuse(tr("Cannot show %1: %2").arg(Quoted(current_), *refused));
    return true;
}

bool DemoWindow::importFrom(const QString& path) {
    if (current_.isEmpty()) return false;
    auto week = storage::ReadWeekFile(QFile::encodeName(path).toStdString());
    if (auto* problem = std::get_if<storage::WeekFileError>(&week))
        return Refuse(tr("Not imported: %1: %2")
                          .arg(problem->unreadable ? storage::Echoed(path, storage::kWholeText)
                                                   : storage::Echoed(QFileInfo(path).fileName()),
                               QString::fromStdString(problem->message)));
    Log(QStringLiteral("import %1").arg(Short(QFileInfo(path).fileName())));
    if (const std::optional<QString> refused = schedule_->setWeekRanges(std::get<WeekRanges>(week)))
        return Refuse(tr("Not imported: %1: %2").arg(QFileInfo(path).fileName(), *refused));
    return true;
}

bool DemoWindow::exportTo(const QString& path) {
    if (current_.isEmpty()) return false;
    std::string reason;
    if (!storage::WriteFileWhole(QFile::encodeName(path).toStdString(),
                                 storage::WeekToJson(schedule_->weekRanges()), reason))
        return Refuse(
            tr("Not exported: %1: %2")
                .arg(storage::Echoed(path, storage::kWholeText), QString::fromStdString(reason)));
    Log(QStringLiteral("exported %1").arg(QFileInfo(path).fileName()));
    ShowStatus(tr("Exported %1 to %2").arg(Quoted(current_), path), false);
    return true;
}

bool DemoWindow::copyDay(int from, const QList<int>& to) {
    if (current_.isEmpty()) return false;
    Log(QStringLiteral("copy day %1").arg(from));
    if (const std::optional<QString> refused = schedule_->copyDay(from, to))
        return Refuse(tr("Not copied: %1").arg(*refused));
    return true;
}

void DemoWindow::resetWeek() {
    if (current_.isEmpty()) return;
    Log(QStringLiteral("call Reset"));
    schedule_->Reset();
}

// ---- Saving ------------------------------------------------------------------------------------

void DemoWindow::WeekChanged(const QString& why) {
    Log(why);
    developer_->showProperties(*schedule_);
    if (current_.isEmpty()) return;
    pending_ = true;
    saveNow();
}

bool DemoWindow::saveNow() {
    if (current_.isEmpty() || !pending_) return true;
    const auto saved = store_->Write(current_, schedule_->weekRanges());
    if (!saved) {
        Log(QStringLiteral("save failed, kept pending"));
        bannerText_->setText(tr("The changes to %1 are not saved: %2\nThey are kept and saved "
                                "with the next change, or now with Retry.")
                                 .arg(Quoted(current_), saved.Error().message));
        banner_->show();
        ShowStatus(tr("Not saved: %1").arg(saved.Error().message), true);
        return false;
    }
    pending_ = false;
    banner_->hide();
    Log(QStringLiteral("saved %1").arg(Quoted(current_)));
    ShowStatus(
        tr("Saved %1 at %2")
            .arg(Quoted(current_), QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))),
        false);
    return true;
}

bool DemoWindow::RefuseWhilePending(const QString& what) {
    if (!pending_ || saveNow()) return true;
    return Refuse(tr("Cannot %1 while the changes to %2 are not saved; use Retry.")
                      .arg(what, Quoted(current_)));
}

// ---- Messages ----------------------------------------------------------------------------------

QString DemoWindow::statusText() const {
    return status_->text();
}

void DemoWindow::ShowStatus(const QString& text, bool problem) {
    status_->setText(text);
    status_->setStyleSheet(problem ? QStringLiteral("color: #B00000") : QString());
}

bool DemoWindow::Refuse(const QString& text) {
    Log(Short(text));
    ShowStatus(text, true);
    return false;
}

void DemoWindow::Log(const QString& line) {
    developer_->log(line);
}

// ---- Dialogs -----------------------------------------------------------------------------------

void DemoWindow::AskNew() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("New schedule"), tr("Name:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok) createSchedule(name.trimmed());
}

void DemoWindow::AskRename() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Rename schedule"), tr("New name:"),
                                               QLineEdit::Normal, current_, &ok);
    if (ok) renameSchedule(name.trimmed());
}

void DemoWindow::AskDuplicate() {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, tr("Duplicate schedule"), tr("Name of the copy:"),
                              QLineEdit::Normal, tr("%1 (copy)").arg(current_), &ok);
    if (ok) duplicateSchedule(name.trimmed());
}

void DemoWindow::AskDelete() {
    const auto answer = QMessageBox::question(
        this, tr("Delete schedule"), tr("Delete %1? This cannot be undone.").arg(Quoted(current_)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) deleteSchedule();
}

void DemoWindow::AskImport() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Import a week into %1").arg(Quoted(current_)),
                                     QString(), tr("Week files (*.json);;All files (*)"));
    if (!path.isEmpty()) importFrom(path);
}

void DemoWindow::AskExport() {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Export %1").arg(Quoted(current_)),
                                     QDir::home().filePath(current_ + QStringLiteral(".json")),
                                     tr("Week files (*.json);;All files (*)"));
    if (!path.isEmpty()) exportTo(path);
}

void DemoWindow::AskCopyDay() {
    CopyDayDialog dialog(schedule_->SpecialDayEnabled(), this);
    if (dialog.exec() == QDialog::Accepted) copyDay(dialog.sourceDay(), dialog.targetDays());
}

void DemoWindow::AskReset() {
    const auto answer = QMessageBox::question(
        this, tr("Reset schedule"),
        tr("Clear every hour of %1? The cleared week is saved at once.").arg(Quoted(current_)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) resetWeek();
}

}  // namespace tarn::app
