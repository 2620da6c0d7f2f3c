#include "app/demo/DemoWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/demo/CopyDayDialog.h"
#include "app/demo/DeveloperView.h"
#include "app/demo/ScheduleLegend.h"
#include "storage/Echo.h"

namespace tarn::app {

namespace {

QString Quoted(const QString& name) {
    return QStringLiteral("\u201C%1\u201D").arg(storage::Echoed(name));
}

}  // namespace

DemoWindow::DemoWindow(const QString& path, const storage::StoreOptions& options, QWidget* parent)
    : QMainWindow(parent) {
    BuildWindow();
    editing_ = std::make_unique<EditingOf<ScheduleWidget>>(*schedule_);
    session_ = std::make_unique<DemoSession>(path, options);
    BuildActions();
    ConnectSession();
    UpdateActions();
    title_->setText(tr("Opening %1\u2026").arg(QFileInfo(path).fileName()));
    session_->start(*editing_);
}

DemoWindow::~DemoWindow() {
    // The session goes first: no reply of the database can then reach a half-destroyed window.
    session_.reset();
}

void DemoWindow::ConnectSession() {
    // Every change of the week is an undoable step and saved, whoever made it: the user's Enable
    // or Disable, an import, a copied day, Reset. Showing a stored week is no change.
    connect(schedule_, &ScheduleWidget::ScheduleUpdated, this,
            [this] { developer_->log(QStringLiteral("event ScheduleUpdated")); });
    connect(schedule_, &ScheduleWidget::ScheduleChanged, session_.get(),
            &DemoSession::editorChanged);
    connect(session_.get(), &DemoSession::logged, developer_, &DeveloperView::log);
    connect(session_.get(), &DemoSession::listChanged, this, &DemoWindow::ShowList);
    connect(session_.get(), &DemoSession::currentChanged, this, [this] {
        SelectInList(session_->currentName());
        UpdateActions();
    });
    connect(session_.get(), &DemoSession::contentShown, this, [this] {
        ShowSpecialDay();
        developer_->showProperties(*schedule_);
    });
    connect(session_.get(), &DemoSession::bannerChanged, this, &DemoWindow::ShowBanner);
    connect(session_.get(), &DemoSession::statusChanged, this, &DemoWindow::ShowStatus);
    connect(session_.get(), &DemoSession::closeReady, this, &QWidget::close);
}

// ---- The window's parts ------------------------------------------------------------------------

void DemoWindow::BuildWindow() {
    setWindowTitle(tr("Schedules \u2013 TarnSchedule demo"));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    splitter->addWidget(BuildLibraryPanel());

    auto* centre = new QWidget(splitter);
    auto* layout = new QVBoxLayout(centre);
    layout->addWidget(BuildBanner(centre));

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

QWidget* DemoWindow::BuildBanner(QWidget* parent) {
    banner_ = new QFrame(parent);
    banner_->setAutoFillBackground(true);
    QPalette warning = banner_->palette();
    warning.setColor(QPalette::Window, QColor(0xFF, 0xE4, 0xB5));
    warning.setColor(QPalette::WindowText, Qt::black);
    banner_->setPalette(warning);
    auto* layout = new QHBoxLayout(banner_);
    bannerText_ = new QLabel(banner_);
    bannerText_->setWordWrap(true);
    bannerText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(bannerText_, 1);
    retryButton_ = new QPushButton(tr("Retry"), banner_);
    loadStoredButton_ = new QPushButton(banner_);
    keepAsNewButton_ = new QPushButton(tr("Keep as new schedule\u2026"), banner_);
    keepAsNewButton_->setToolTip(tr("Save what is shown here under a new name"));
    for (QPushButton* button : {retryButton_, loadStoredButton_, keepAsNewButton_})
        layout->addWidget(button);
    connect(retryButton_, &QPushButton::clicked, this, &DemoWindow::retrySave);
    connect(loadStoredButton_, &QPushButton::clicked, this, &DemoWindow::loadStoredVersion);
    connect(keepAsNewButton_, &QPushButton::clicked, this, &DemoWindow::AskKeepAsNew);
    banner_->hide();
    return banner_;
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
        if (listing_ || name.isEmpty() || name == currentName()) return;
        // A refused switch puts the selection back once the list has finished its signal.
        if (!openSchedule(name))
            QMetaObject::invokeMethod(
                this, [this] { SelectInList(currentName()); }, Qt::QueuedConnection);
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
    caption_->setMaxLength(storage::kMaxCaptionLength);
    caption_->setMaximumWidth(160);
    caption_->setMinimumWidth(60);
    layout->addWidget(allowEditing_);
    layout->addSpacing(12);
    layout->addWidget(specialDay_);
    layout->addWidget(caption_, 1);
    layout->addStretch(1);

    connect(allowEditing_, &QCheckBox::toggled, this, [this](bool on) {
        developer_->log(QStringLiteral("set Enable %1").arg(on ? "True" : "False"));
        schedule_->setEnable(on);
    });
    connect(specialDay_, &QCheckBox::toggled, this,
            [this](bool on) { setSpecialDay(on, schedule_->SpecialDayCaption()); });
    connect(caption_, &QLineEdit::editingFinished, this,
            [this] { setSpecialDay(schedule_->SpecialDayEnabled(), caption_->text()); });
    return row;
}

void DemoWindow::BuildActions() {
    auto* tools = addToolBar(tr("Schedule"));
    tools->setObjectName(QStringLiteral("scheduleToolBar"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto make = [this](const QString& text, const QString& tip, auto slot, bool needsSchedule,
                             const QKeySequence& keys = {}) {
        auto* action = new QAction(text, this);
        action->setToolTip(keys.isEmpty() ? tip
                                          : QStringLiteral("%1 (%2)").arg(
                                                tip, keys.toString(QKeySequence::NativeText)));
        action->setStatusTip(tip);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        if (needsSchedule) scheduleActions_ << action;
        return action;
    };
    QAction* create = make(tr("&New\u2026"), tr("Add an empty schedule"), &DemoWindow::AskNew,
                           false, QKeySequence::New);
    QAction* rename = make(tr("&Rename\u2026"), tr("Rename this schedule"), &DemoWindow::AskRename,
                           true, QKeySequence(Qt::Key_F2));
    QAction* duplicate =
        make(tr("D&uplicate\u2026"), tr("Copy this schedule under a new name"),
             &DemoWindow::AskDuplicate, true, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    QAction* remove = make(tr("&Delete\u2026"), tr("Delete this schedule"), &DemoWindow::AskDelete,
                           true, QKeySequence::Delete);
    QAction* import =
        make(tr("&Import\u2026"), tr("Replace this schedule's week by one from a JSON file"),
             &DemoWindow::AskImport, true, QKeySequence::Open);
    // Not every platform has a key for Save As; Export then takes the common one.
    const QKeySequence saveAs = QKeySequence::keyBindings(QKeySequence::SaveAs)
                                    .value(0, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction* exportWeek = make(tr("&Export\u2026"), tr("Write this schedule's week to a JSON file"),
                               &DemoWindow::AskExport, true, saveAs);
    QAction* copyDay = make(tr("&Copy day\u2026"), tr("Copy one day's hours to other days"),
                            &DemoWindow::AskCopyDay, true, QKeySequence(Qt::CTRL | Qt::Key_K));
    QAction* reset = make(tr("Rese&t\u2026"), tr("Clear the whole week"), &DemoWindow::AskReset,
                          true, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    // The ways out of a failed or refused save, also without the banner's buttons.
    QAction* retry = make(tr("&Save again"), tr("Save the changes not saved yet"),
                          &DemoWindow::retrySave, true, QKeySequence::Save);
    QAction* revert = make(tr("Re&vert to stored version\u2026"),
                           tr("Drop the changes made here and show the schedule as saved"),
                           &DemoWindow::AskLoadStored, true, QKeySequence(Qt::Key_F5));
    QAction* keepAsNew =
        make(tr("&Keep as new schedule\u2026"), tr("Save what is shown here under a new name"),
             &DemoWindow::AskKeepAsNew, true);
    QAction* quit =
        make(tr("&Quit"), tr("Close the window"), &QWidget::close, false, QKeySequence::Quit);
    // The Delete key also edits text: within the caption field it stays the field's.
    remove->setShortcutContext(Qt::WindowShortcut);

    QAction* undo = session_->undoStack().createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = session_->undoStack().createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    specialDayAction_ = new QAction(tr("&Special day"), this);
    specialDayAction_->setCheckable(true);
    specialDayAction_->setChecked(specialDay_->isChecked());
    connect(specialDayAction_, &QAction::triggered, specialDay_, &QCheckBox::setChecked);
    connect(specialDay_, &QCheckBox::toggled, specialDayAction_, &QAction::setChecked);
    scheduleActions_ << specialDayAction_;
    QAction* caption = make(
        tr("Special day capt&ion"), tr("Edit the caption of the Special row"),
        [this] { caption_->setFocus(Qt::ShortcutFocusReason); }, true,
        QKeySequence(Qt::CTRL | Qt::Key_L));
    QAction* allowEditing = new QAction(tr("&Allow editing"), this);
    allowEditing->setCheckable(true);
    allowEditing->setChecked(allowEditing_->isChecked());
    connect(allowEditing, &QAction::triggered, allowEditing_, &QCheckBox::setChecked);
    connect(allowEditing_, &QCheckBox::toggled, allowEditing, &QAction::setChecked);
    QAction* developer = make(
        tr("&Developer view"), tr("Show or fold away the time properties and the event log"),
        [this] { developer_->setExpanded(!developer_->isExpanded()); }, false,
        QKeySequence(Qt::Key_F12));

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({create, rename, duplicate, remove});
    file->addSeparator();
    file->addActions({retry, revert, keepAsNew});
    file->addSeparator();
    file->addActions({import, exportWeek});
    file->addSeparator();
    file->addAction(quit);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addActions({copyDay, reset});
    edit->addSeparator();
    edit->addActions({specialDayAction_, caption});
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addActions({allowEditing, developer});

    tools->addActions({create, rename, duplicate, remove});
    tools->addSeparator();
    tools->addActions({undo, redo});
    tools->addSeparator();
    tools->addActions({import, exportWeek});
    tools->addSeparator();
    tools->addActions({copyDay, reset});
}

// ---- What the session says -------------------------------------------------------------------

QStringList DemoWindow::scheduleNames() const {
    QStringList names;
    for (int row = 0; row < list_->count(); ++row)
        names << list_->item(row)->text();
    return names;
}

void DemoWindow::ShowList() {
    listing_ = true;
    list_->clear();
    for (const storage::ScheduleEntry& entry : session_->entries()) {
        auto* item = new QListWidgetItem(entry.name, list_);
        item->setToolTip(
            tr("Changed %1")
                .arg(entry.changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"))));
        if (entry.name == session_->currentName()) list_->setCurrentItem(item);
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
    bool mustAsk = false;
    if (!session_->mayClose(mustAsk)) {
        if (!mustAsk) return event->ignore();
        const auto answer =
            QMessageBox::warning(this, tr("Changes not saved"),
                                 tr("The changes to %1 are not saved:\n%2\n\nClose and lose them?")
                                     .arg(Quoted(currentName()), bannerText()),
                                 QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Discard) return event->ignore();
    }
    event->accept();
}

void DemoWindow::UpdateActions() {
    const bool open = !currentName().isEmpty();
    for (QAction* action : scheduleActions_)
        action->setEnabled(open);
    schedule_->setEnabled(open);
    specialDay_->setEnabled(open);
    caption_->setEnabled(open && schedule_->SpecialDayEnabled());
    title_->setText(open ? currentName() : tr("No schedule: add one with New"));
}

void DemoWindow::ShowSpecialDay() {
    const QSignalBlocker blockDay(specialDay_);
    const QSignalBlocker blockCaption(caption_);
    const bool enabled = schedule_->SpecialDayEnabled();
    specialDay_->setChecked(enabled);
    specialDayAction_->setChecked(enabled);
    if (caption_->text() != schedule_->SpecialDayCaption())
        caption_->setText(schedule_->SpecialDayCaption());
    caption_->setEnabled(!currentName().isEmpty() && enabled);
}

void DemoWindow::ShowBanner() {
    const DemoSession::BannerKind kind = session_->bannerKind();
    bannerText_->setText(session_->bannerText());
    const bool conflict = kind == DemoSession::BannerKind::Conflict;
    retryButton_->setVisible(kind == DemoSession::BannerKind::SaveFailed);
    // A schedule that is gone has no stored version: dropping the changes opens another one.
    const bool canLoadStored = session_->canLoadStored();
    loadStoredButton_->setText(canLoadStored ? tr("Load stored version") : tr("Discard changes"));
    loadStoredButton_->setToolTip(
        canLoadStored ? tr("Drop the changes made here and show the schedule as saved")
                      : tr("Drop the changes made here and open another schedule"));
    loadStoredButton_->setVisible(conflict);
    keepAsNewButton_->setVisible(conflict);
    banner_->setVisible(kind != DemoSession::BannerKind::None);
}

void DemoWindow::ShowStatus() {
    status_->setText(session_->statusText());
    status_->setStyleSheet(session_->statusIsProblem() ? QStringLiteral("color: #B00000")
                                                       : QString());
}

// ---- Dialogs -----------------------------------------------------------------------------------

std::optional<QString> DemoWindow::AskName(const QString& title, const QString& label,
                                           const QString& suggested) {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, title, label, QLineEdit::Normal, suggested, &ok);
    if (!ok) return std::nullopt;
    return name.trimmed();
}

void DemoWindow::AskNew() {
    if (auto name = AskName(tr("New schedule"), tr("Name:"), QString())) createSchedule(*name);
}

void DemoWindow::AskRename() {
    if (auto name = AskName(tr("Rename schedule"), tr("New name:"), currentName()))
        renameSchedule(*name);
}

void DemoWindow::AskDuplicate() {
    if (auto name = AskName(tr("Duplicate schedule"), tr("Name of the copy:"),
                            tr("%1 (copy)").arg(currentName())))
        duplicateSchedule(*name);
}

void DemoWindow::AskKeepAsNew() {
    if (auto name = AskName(tr("Keep as new schedule"), tr("Name of the new schedule:"),
                            tr("%1 (mine)").arg(currentName())))
        keepAsNewSchedule(*name);
}

void DemoWindow::AskLoadStored() {
    if (hasPendingSave()) {
        const auto answer = QMessageBox::question(
            this, tr("Revert to stored version"),
            tr("Drop the changes to %1 that are not saved and show it as stored?")
                .arg(Quoted(currentName())),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
    }
    loadStoredVersion();
}

void DemoWindow::AskDelete() {
    const auto answer =
        QMessageBox::question(this, tr("Delete schedule"),
                              tr("Delete %1? This cannot be undone.").arg(Quoted(currentName())),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) deleteSchedule();
}

void DemoWindow::AskImport() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Import a week into %1").arg(Quoted(currentName())),
                                     QString(), tr("Week files (*.json);;All files (*)"));
    if (!path.isEmpty()) importFrom(path);
}

void DemoWindow::AskExport() {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Export %1").arg(Quoted(currentName())),
                                     QDir::home().filePath(currentName() + QStringLiteral(".json")),
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
        tr("Clear every hour of %1? The cleared week is saved at once; Undo brings it back.")
            .arg(Quoted(currentName())),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) resetWeek();
}

}  // namespace tarn::app
