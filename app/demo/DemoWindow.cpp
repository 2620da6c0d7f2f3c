#include "app/demo/DemoWindow.h"

#include <QAction>
#include <QApplication>
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
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
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
/// How often an idle window asks whether another program changed the database: one cheap query.
constexpr int kPollMs = 700;
/// How many steps Undo keeps: each holds two weeks, so a long session stays small.
constexpr int kUndoSteps = 200;

using storage::ScheduleEntry;
using storage::ScheduleStore;
using storage::StoredSchedule;
using storage::StoreError;
using storage::StoreResult;
using storage::StoreStatus;

DayRanges Hours(int startQuarter, int stopQuarter) {
    return std::get<DayRanges>(DayRanges::Make({{startQuarter, stopQuarter}}));
}

QString Quoted(const QString& name) {
    return QStringLiteral("\u201C%1\u201D").arg(storage::Echoed(name));
}

QString Short(QString text) {
    if (text.size() > kLogMessageLength) text = text.left(kLogMessageLength - 1) + QChar(0x2026);
    return text;
}

bool Lists(const std::vector<ScheduleEntry>& entries, const QString& name) {
    return std::any_of(entries.begin(), entries.end(),
                       [&name](const ScheduleEntry& entry) { return entry.name == name; });
}

/// The QSettings key of the schedule last opened on the database at `path`.
QString LastOpenedKey(const QString& path) {
    return QStringLiteral("lastOpened/") +
           QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath()));
}

}  // namespace

/// One change of the open schedule, undone and redone by showing the content before or after it;
/// either is then saved like any edit. The change itself was made before the step was pushed.
class DemoWindow::EditCommand final : public QUndoCommand {
public:
    EditCommand(DemoWindow& window, Content before, Content after, const QString& text)
        : QUndoCommand(text),
          window_(window),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { window_.Restore(before_); }
    void redo() override {
        if (done_) window_.Restore(after_);
        done_ = true;
    }

private:
    DemoWindow& window_;
    Content before_;
    Content after_;
    bool done_ = false;
};

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

DemoWindow::DemoWindow(const QString& path, const storage::StoreOptions& options, QWidget* parent)
    : QMainWindow(parent),
      path_(path),
      worker_(std::make_unique<StoreWorker>(path, options)),
      undo_(new QUndoStack(this)) {
    undo_->setUndoLimit(kUndoSteps);
    BuildWindow();
    BuildActions();

    // Every change of the week is an undoable step and saved, whoever made it: the user's Enable
    // or Disable, an import, a copied day, Reset. Showing a stored week is no change.
    connect(schedule_, &ScheduleWidget::ScheduleUpdated, this,
            [this] { Log(QStringLiteral("event ScheduleUpdated")); });
    connect(schedule_, &ScheduleWidget::ScheduleChanged, this, [this] {
        if (loading_) return;
        Log(QStringLiteral("event ScheduleChanged"));
        Edited(step_.isEmpty() ? tr("Edit") : step_);
    });
    connect(worker_.get(), &StoreWorker::replied, this, [this](const StoreWorker::Reply& reply) {
        inFlight_ = false;
        if (reply) reply();
        Dispatch();
    });
    connect(worker_.get(), &StoreWorker::unavailable, this, [this](const QString& message) {
        inFlight_ = false;
        queue_.clear();
        saveQueued_ = false;
        poll_->stop();
        Refuse(tr("Cannot open %1: %2").arg(path_, message));
    });

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &DemoWindow::Poll);
    poll_->start();

    UpdateActions();
    title_->setText(tr("Opening %1\u2026").arg(QFileInfo(path_).fileName()));
    LoadLibrary(QSettings().value(LastOpenedKey(path_)).toString());
}

DemoWindow::~DemoWindow() {
    // The worker goes first: no reply can then reach a half-destroyed window.
    worker_.reset();
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
    shown_ = Shown();

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
    caption_->setMaxLength(storage::kMaxCaptionLength);
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

    QAction* undo = undo_->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undo_->createRedoAction(this, tr("&Redo"));
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

// ---- The library -------------------------------------------------------------------------------

QStringList DemoWindow::scheduleNames() const {
    QStringList names;
    for (int row = 0; row < list_->count(); ++row)
        names << list_->item(row)->text();
    return names;
}

void DemoWindow::ShowList(const std::vector<ScheduleEntry>& entries) {
    listing_ = true;
    list_->clear();
    for (const ScheduleEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.name, list_);
        item->setToolTip(
            tr("Changed %1")
                .arg(entry.changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"))));
        if (entry.name == current_) list_->setCurrentItem(item);
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
    // A save on its way is waited for, with the window still answering; a change that could
    // not be saved is not dropped without asking.
    if (pending_ && saveQueued_) {
        closeWhenSaved_ = true;
        ShowStatus(tr("Saving %1; the window closes once it is saved\u2026").arg(Quoted(current_)),
                   false);
        event->ignore();
        return;
    }
    if (pending_) {
        const auto answer =
            QMessageBox::warning(this, tr("Changes not saved"),
                                 tr("The changes to %1 are not saved:\n%2\n\nClose and lose them?")
                                     .arg(Quoted(current_), bannerText()),
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
    specialDay_->setEnabled(open);
    caption_->setEnabled(open && schedule_->SpecialDayEnabled());
    title_->setText(open ? current_ : tr("No schedule: add one with New"));
}

void DemoWindow::Remember(const QString& name) {
    QSettings().setValue(LastOpenedKey(path_), name);
}

// ---- Calls to the database ---------------------------------------------------------------------

void DemoWindow::Enqueue(Prepare prepare) {
    queue_.push_back(std::move(prepare));
    Dispatch();
}

void DemoWindow::Dispatch() {
    // A call is prepared only when its turn comes, so that it sees the outcome of the ones
    // before it: the name, revision and content current then.
    while (!inFlight_ && !queue_.empty()) {
        const Prepare prepare = std::move(queue_.front());
        queue_.pop_front();
        StoreWorker::Job job = prepare();
        if (!job) continue;
        inFlight_ = true;
        worker_->run(std::move(job));
    }
}

void DemoWindow::LoadLibrary(const QString& preferred) {
    const QString sample = SampleName();
    const WeekRanges sampleWeek = SampleWeek();
    Enqueue([this, preferred, sample, sampleWeek]() -> StoreWorker::Job {
        return [this, preferred, sample, sampleWeek](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> version = store.DataVersion();
            auto entries = store.List();
            std::optional<StoreStatus> created;
            if (entries && entries.Value().empty()) {
                created = store.Create(sample, sampleWeek);
                entries = store.List();
            }
            std::optional<StoreResult<StoredSchedule>> stored;
            if (entries && !entries.Value().empty())
                stored = store.Read(
                    Lists(entries.Value(), preferred) ? preferred : entries.Value().front().name);
            const bool readOnly = store.IsReadOnly();
            return [this, version, entries, created, stored, readOnly, sample] {
                // A library that could not be read is read again by the next poll.
                if (!entries)
                    return void(
                        Refuse(tr("Cannot read the schedules: %1").arg(entries.Error().message)));
                if (version) dataVersion_ = version.Value();
                if (created && !*created)
                    Refuse(
                        tr("Cannot create the sample schedule: %1").arg(created->Error().message));
                else if (created)
                    Log(QStringLiteral("created %1").arg(Quoted(sample)));
                ShowList(entries.Value());
                if (stored && *stored)
                    Opened(stored->Value());
                else if (stored)
                    Refuse(tr("Cannot open: %1").arg(stored->Error().message));
                UpdateActions();
                if (readOnly)
                    ShowStatus(tr("%1 is read-only: changes cannot be saved").arg(path_), true);
            };
        };
    });
}

void DemoWindow::Opened(const StoredSchedule& stored) {
    current_ = stored.name;
    revision_ = stored.revision;
    pending_ = false;
    conflict_ = false;
    HideBanner();
    undo_->clear();
    Show(Content{stored.week, stored.settings});
    SelectInList(current_);
    UpdateActions();
    Remember(current_);
    Log(QStringLiteral("opened %1").arg(Quoted(current_)));
    if (note_.isEmpty()) {
        ShowStatus(tr("Opened %1").arg(Quoted(current_)), false);
    } else {
        ShowStatus(note_.contains(Quoted(current_))
                       ? note_
                       : tr("%1; opened %2").arg(note_, Quoted(current_)),
                   true);
        note_.clear();
    }
}

void DemoWindow::OpenFirstOf(const std::vector<ScheduleEntry>& entries, const QString& note,
                             const QString& preferred) {
    note_ = note;
    current_.clear();
    revision_ = 0;
    pending_ = false;
    conflict_ = false;
    undo_->clear();
    Show(Content{});
    ShowList(entries);
    UpdateActions();
    if (!entries.empty())
        openSchedule(Lists(entries, preferred) ? preferred : entries.front().name);
    else if (!note.isEmpty())
        ShowStatus(note, true);
}

bool DemoWindow::openSchedule(const QString& name) {
    if (name == current_ && !current_.isEmpty()) return true;
    if (!RefuseWhilePending(tr("open %1").arg(Quoted(name)))) return false;
    Enqueue([this, name]() -> StoreWorker::Job {
        // Changes made meanwhile that could not be saved keep the current schedule open.
        if (!RefuseWhilePending(tr("open %1").arg(Quoted(name)))) {
            SelectInList(current_);
            return {};
        }
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            auto stored = store.Read(name);
            return [this, name, stored] {
                if (stored) return Opened(stored.Value());
                SelectInList(current_);
                Refuse(tr("Cannot open %1: %2").arg(Quoted(name), stored.Error().message));
            };
        };
    });
    return true;
}

bool DemoWindow::createSchedule(const QString& name) {
    if (!RefuseWhilePending(tr("add a schedule"))) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(name); !bad)
        return Refuse(tr("Not added: %1").arg(bad.Error().message));
    Enqueue([this, name]() -> StoreWorker::Job {
        if (!RefuseWhilePending(tr("add a schedule"))) return {};
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> created = store.Create(name, WeekRanges{});
            const auto entries = store.List();
            return [this, name, created, entries] {
                if (entries) ShowList(entries.Value());
                if (!created) return void(Refuse(tr("Not added: %1").arg(created.Error().message)));
                Log(QStringLiteral("created %1").arg(Quoted(name)));
                Opened(StoredSchedule{name, WeekRanges{}, {}, created.Value(), {}});
            };
        };
    });
    return true;
}

bool DemoWindow::renameSchedule(const QString& to) {
    if (current_.isEmpty() || to == current_) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(to); !bad)
        return Refuse(tr("Not renamed: %1").arg(bad.Error().message));
    Enqueue([this, to]() -> StoreWorker::Job {
        if (current_.isEmpty()) return {};
        const QString from = current_;
        return [this, from, to](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> before = store.Revision(from);
            const storage::StoreStatus renamed = store.Rename(from, to);
            const StoreResult<qint64> after = store.Revision(to);
            const auto entries = store.List();
            return [this, from, to, before, renamed, after, entries] {
                if (entries) ShowList(entries.Value());
                if (!renamed) {
                    SelectInList(current_);
                    return void(Refuse(tr("Not renamed: %1").arg(renamed.Error().message)));
                }
                Log(QStringLiteral("renamed %1 to %2").arg(Quoted(from), Quoted(to)));
                current_ = to;
                // The rename is one more write of the row. Only when the row was still at the
                // revision shown here does what is shown follow it; otherwise the next save
                // reports the other program's change instead of overwriting it.
                if (before && after && before.Value() == revision_) revision_ = after.Value();
                SelectInList(current_);
                UpdateActions();
                Remember(current_);
                ShowStatus(tr("Renamed to %1").arg(Quoted(to)), false);
                if (pending_) RequestSave();
            };
        };
    });
    return true;
}

bool DemoWindow::duplicateSchedule(const QString& to) {
    if (current_.isEmpty()) return false;
    // The copy is made from the database, so the current content must be there first.
    if (!RefuseWhilePending(tr("duplicate %1").arg(Quoted(current_)))) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(to); !bad)
        return Refuse(tr("Not duplicated: %1").arg(bad.Error().message));
    Enqueue([this, to]() -> StoreWorker::Job {
        if (current_.isEmpty() || !RefuseWhilePending(tr("duplicate %1").arg(Quoted(current_))))
            return {};
        const QString from = current_;
        return [this, from, to](ScheduleStore& store) -> StoreWorker::Reply {
            const storage::StoreStatus copied = store.Duplicate(from, to);
            const auto stored = store.Read(to);
            const auto entries = store.List();
            return [this, from, to, copied, stored, entries] {
                if (entries) ShowList(entries.Value());
                if (!copied) {
                    SelectInList(current_);
                    return void(Refuse(tr("Not duplicated: %1").arg(copied.Error().message)));
                }
                Log(QStringLiteral("duplicated %1 as %2").arg(Quoted(from), Quoted(to)));
                if (stored) Opened(stored.Value());
            };
        };
    });
    return true;
}

bool DemoWindow::deleteSchedule() {
    if (current_.isEmpty()) return false;
    Enqueue([this]() -> StoreWorker::Job {
        if (current_.isEmpty()) return {};
        const QString name = current_;
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            const storage::StoreStatus deleted = store.Delete(name);
            const auto entries = store.List();
            return [this, name, deleted, entries] {
                if (!deleted) {
                    if (entries) ShowList(entries.Value());
                    return void(Refuse(tr("Not deleted: %1").arg(deleted.Error().message)));
                }
                Log(QStringLiteral("deleted %1").arg(Quoted(name)));
                // Changes not saved go with the schedule: the user asked for that.
                HideBanner();
                OpenFirstOf(entries ? entries.Value() : std::vector<ScheduleEntry>{},
                            tr("Deleted %1").arg(Quoted(name)));
            };
        };
    });
    return true;
}

bool DemoWindow::keepAsNewSchedule(const QString& name) {
    if (current_.isEmpty()) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(name); !bad)
        return Refuse(tr("Not added: %1").arg(bad.Error().message));
    Enqueue([this, name]() -> StoreWorker::Job {
        const Content content = shown_;
        return [this, name, content](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> created = store.Create(name, content.week, content.settings);
            const auto entries = store.List();
            return [this, name, content, created, entries] {
                if (!created) return void(Refuse(tr("Not added: %1").arg(created.Error().message)));
                Log(QStringLiteral("kept as %1").arg(Quoted(name)));
                current_ = name;
                revision_ = created.Value();
                conflict_ = false;
                HideBanner();
                if (entries) ShowList(entries.Value());
                SelectInList(current_);
                UpdateActions();
                Remember(current_);
                ShowStatus(tr("Saved as %1").arg(Quoted(name)), false);
                // Changes made since the copy was taken are saved into the new schedule.
                pending_ = shown_ != content;
                if (pending_) RequestSave();
            };
        };
    });
    return true;
}

bool DemoWindow::loadStoredVersion() {
    if (current_.isEmpty()) return false;
    Enqueue([this]() -> StoreWorker::Job {
        const QString name = current_;
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            auto stored = store.Read(name);
            const auto entries = store.List();
            return [this, name, stored, entries] {
                if (name != current_) return;
                if (stored) return Opened(stored.Value());
                if (stored.Error().kind != StoreError::Kind::UnknownName)
                    return void(
                        Refuse(tr("Cannot read %1: %2").arg(Quoted(name), stored.Error().message)));
                OpenFirstOf(entries ? entries.Value() : std::vector<ScheduleEntry>{},
                            tr("%1 no longer exists").arg(Quoted(name)));
            };
        };
    });
    return true;
}

// ---- Changes made by other programs ------------------------------------------------------------

void DemoWindow::Poll() {
    // Only while idle: a queued call shows the database's state by itself.
    if (isBusy()) return;
    Enqueue([this]() -> StoreWorker::Job {
        const qint64 known = dataVersion_;
        const QString name = current_;
        return [this, known, name](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> version = store.DataVersion();
            if (!version || version.Value() == known) return {};
            const auto entries = store.List();
            if (!entries) return {};
            std::optional<StoredSchedule> stored;
            if (!name.isEmpty()) {
                if (auto read = store.Read(name)) stored = std::move(read).Value();
            }
            return [this, version = version.Value(), entries = entries.Value(), stored] {
                Polled(version, entries, stored);
            };
        };
    });
}

void DemoWindow::Polled(qint64 version, const std::vector<ScheduleEntry>& entries,
                        const std::optional<StoredSchedule>& stored) {
    dataVersion_ = version;
    if (current_.isEmpty()) {
        ShowList(entries);
        if (!entries.empty()) OpenFirstOf(entries);
        return;
    }
    if (!Lists(entries, current_)) {
        // Renamed or deleted elsewhere: nothing is ever written back under the old name.
        if (pending_) {
            ShowList(entries);
            conflict_ = true;
            ShowConflict(tr("%1 was renamed or deleted by another program. Your changes are kept "
                            "here, not saved: keep them as a new schedule, or discard them.")
                             .arg(Quoted(current_)),
                         false);
            return;
        }
        // A schedule that appeared as this one went, one write further on, is most likely this
        // one renamed: it is opened instead of the first.
        const QStringList before = scheduleNames();
        std::vector<ScheduleEntry> renamed;
        for (const ScheduleEntry& entry : entries)
            if (!before.contains(entry.name) && entry.revision == revision_ + 1)
                renamed.push_back(entry);
        Log(QStringLiteral("%1 gone elsewhere").arg(Quoted(current_)));
        if (renamed.size() == 1) {
            const QString to = renamed.front().name;
            OpenFirstOf(
                entries,
                tr("%1 was renamed to %2 by another program").arg(Quoted(current_), Quoted(to)),
                to);
        } else {
            OpenFirstOf(entries,
                        tr("%1 was renamed or deleted by another program").arg(Quoted(current_)));
        }
        return;
    }
    ShowList(entries);
    if (!stored || stored->revision == revision_ || pending_) return;
    // Changed elsewhere while nothing is pending here: show the stored version.
    revision_ = stored->revision;
    undo_->clear();
    Show(Content{stored->week, stored->settings});
    Log(QStringLiteral("reloaded %1").arg(Quoted(current_)));
    ShowStatus(
        tr("%1 was changed by another program; showing its saved version").arg(Quoted(current_)),
        false);
}

// ---- The open schedule -------------------------------------------------------------------------

DemoWindow::Content DemoWindow::Shown() const {
    return Content{
        schedule_->weekRanges(),
        storage::ScheduleSettings{schedule_->SpecialDayCaption(), schedule_->SpecialDayEnabled()}};
}

void DemoWindow::Show(const Content& content) {
    loading_ = true;
    const std::optional<QString> refused = schedule_->setWeekRanges(content.week);
    schedule_->setSpecialDayCaption(content.settings.specialCaption);
    schedule_->setSpecialDayEnabled(content.settings.specialDayEnabled);
    loading_ = false;
    ShowSpecialDay();
    shown_ = Shown();
    developer_->showProperties(*schedule_);
    if (refused) Refuse(tr("Cannot show %1: %2").arg(Quoted(current_), *refused));
}

void DemoWindow::ShowSpecialDay() {
    const QSignalBlocker blockDay(specialDay_);
    const QSignalBlocker blockCaption(caption_);
    const bool enabled = schedule_->SpecialDayEnabled();
    specialDay_->setChecked(enabled);
    specialDayAction_->setChecked(enabled);
    if (caption_->text() != schedule_->SpecialDayCaption())
        caption_->setText(schedule_->SpecialDayCaption());
    caption_->setEnabled(!current_.isEmpty() && enabled);
}

void DemoWindow::setSpecialDay(bool enabled, const QString& caption) {
    if (current_.isEmpty()) return;
    if (const storage::StoreStatus bad = ScheduleStore::CheckSettings({caption, enabled}); !bad) {
        ShowSpecialDay();
        Refuse(tr("Caption not changed: %1").arg(bad.Error().message));
        return;
    }
    if (enabled != schedule_->SpecialDayEnabled()) {
        Log(QStringLiteral("set SpecialDayEnabled %1").arg(enabled ? "True" : "False"));
        schedule_->setSpecialDayEnabled(enabled);
    }
    if (caption != schedule_->SpecialDayCaption()) {
        Log(QStringLiteral("set SpecialDayCaption"));
        schedule_->setSpecialDayCaption(caption);
    }
    ShowSpecialDay();
    Edited(tr("Special day"));
}

void DemoWindow::Edited(const QString& step) {
    developer_->showProperties(*schedule_);
    if (current_.isEmpty()) return;
    const Content before = shown_;
    const Content after = Shown();
    if (after == before) return;
    shown_ = after;
    undo_->push(new EditCommand(*this, before, after, step));
    pending_ = true;
    RequestSave();
}

void DemoWindow::Restore(const Content& content) {
    Show(content);
    pending_ = true;
    RequestSave();
}

// ---- The week ----------------------------------------------------------------------------------

bool DemoWindow::importFrom(const QString& path) {
    if (current_.isEmpty()) return false;
    auto week = storage::ReadWeekFile(QFile::encodeName(path).toStdString());
    if (auto* problem = std::get_if<storage::WeekFileError>(&week))
        return Refuse(tr("Not imported: %1: %2")
                          .arg(problem->unreadable ? storage::Echoed(path, storage::kWholeText)
                                                   : storage::Echoed(QFileInfo(path).fileName()),
                               QString::fromStdString(problem->message)));
    Log(QStringLiteral("import %1").arg(storage::Echoed(QFileInfo(path).fileName())));
    if (const std::optional<QString> refused = schedule_->setWeekRanges(std::get<WeekRanges>(week)))
        return Refuse(
            tr("Not imported: %1: %2").arg(storage::Echoed(QFileInfo(path).fileName()), *refused));
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
    Log(QStringLiteral("exported %1").arg(storage::Echoed(QFileInfo(path).fileName())));
    ShowStatus(
        tr("Exported %1 to %2").arg(Quoted(current_), storage::Echoed(path, storage::kWholeText)),
        false);
    return true;
}

bool DemoWindow::copyDay(int from, const QList<int>& to) {
    if (current_.isEmpty()) return false;
    Log(QStringLiteral("copy day %1").arg(from));
    step_ = tr("Copy day");
    const std::optional<QString> refused = schedule_->copyDay(from, to);
    step_.clear();
    if (refused) return Refuse(tr("Not copied: %1").arg(*refused));
    return true;
}

void DemoWindow::resetWeek() {
    if (current_.isEmpty()) return;
    Log(QStringLiteral("call Reset"));
    step_ = tr("Reset");
    schedule_->Reset();
    // Whether or not the control told of it, the cleared week is one step.
    Edited(step_);
    step_.clear();
}

// ---- Saving ------------------------------------------------------------------------------------

void DemoWindow::RequestSave() {
    // At most one save of the open schedule is queued: it takes what is shown when its turn
    // comes, so edits made meanwhile go with it, in order.
    if (saveQueued_ || conflict_ || current_.isEmpty()) return;
    saveQueued_ = true;
    Enqueue([this]() -> StoreWorker::Job {
        if (!pending_ || conflict_ || current_.isEmpty()) {
            saveQueued_ = false;
            return {};
        }
        const QString name = current_;
        const qint64 revision = revision_;
        const Content content = shown_;
        return [this, name, revision, content](ScheduleStore& store) -> StoreWorker::Reply {
            // Written only while the stored row is the one this window loaded or last saved.
            const StoreResult<qint64> saved =
                store.Save(name, content.week, content.settings, revision);
            return [this, name, content, saved] { Saved(name, content, saved); };
        };
    });
}

void DemoWindow::Saved(const QString& name, const Content& content,
                       const StoreResult<qint64>& result) {
    saveQueued_ = false;
    if (name != current_) return;
    if (result) {
        revision_ = result.Value();
        Log(QStringLiteral("saved %1").arg(Quoted(name)));
        if (shown_ != content) {
            RequestSave();
            return;
        }
        pending_ = false;
        HideBanner();
        ShowStatus(
            tr("Saved %1 at %2")
                .arg(Quoted(name), QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))),
            false);
        if (closeWhenSaved_) close();
        return;
    }
    closeWhenSaved_ = false;
    const StoreError& error = result.Error();
    switch (error.kind) {
        case StoreError::Kind::Changed:
            conflict_ = true;
            Log(QStringLiteral("not saved: changed elsewhere"));
            ShowConflict(tr("%1 was changed by another program since you opened it. Your changes "
                            "are kept here, not saved: load the stored version (dropping them) or "
                            "keep them as a new schedule.")
                             .arg(Quoted(name)),
                         true);
            break;
        case StoreError::Kind::Gone:
        case StoreError::Kind::UnknownName:
            conflict_ = true;
            Log(QStringLiteral("not saved: gone elsewhere"));
            ShowConflict(tr("%1 was renamed or deleted by another program. Your changes are kept "
                            "here, not saved: keep them as a new schedule, or discard them.")
                             .arg(Quoted(name)),
                         false);
            break;
        default:
            Log(QStringLiteral("save failed, kept pending"));
            ShowSaveFailure(tr("The changes to %1 are not saved: %2\nThey are kept and saved "
                               "with the next change, or now with Retry.")
                                .arg(Quoted(name), error.message));
            ShowStatus(tr("Not saved: %1").arg(error.message), true);
            break;
    }
}

void DemoWindow::retrySave() {
    if (pending_ && !conflict_) RequestSave();
}

void DemoWindow::ShowConflict(const QString& text, bool canLoadStored) {
    bannerText_->setText(text);
    retryButton_->hide();
    // A schedule that is gone has no stored version: dropping the changes opens another one.
    loadStoredButton_->setText(canLoadStored ? tr("Load stored version") : tr("Discard changes"));
    loadStoredButton_->setToolTip(
        canLoadStored ? tr("Drop the changes made here and show the schedule as saved")
                      : tr("Drop the changes made here and open another schedule"));
    loadStoredButton_->show();
    keepAsNewButton_->show();
    banner_->show();
    ShowStatus(tr("Not saved: %1 was changed, renamed or deleted elsewhere").arg(Quoted(current_)),
               true);
}

void DemoWindow::ShowSaveFailure(const QString& text) {
    bannerText_->setText(text);
    retryButton_->show();
    loadStoredButton_->hide();
    keepAsNewButton_->hide();
    banner_->show();
}

void DemoWindow::HideBanner() {
    bannerText_->clear();
    banner_->hide();
}

bool DemoWindow::RefuseWhilePending(const QString& what) {
    // Saves still on their way are not a reason: the call is queued behind them.
    if (!pending_ || (saveQueued_ && !conflict_)) return true;
    return Refuse(
        conflict_
            ? tr("Cannot %1 while the changes to %2 are not saved; load the stored version or "
                 "keep them as a new schedule.")
                  .arg(what, Quoted(current_))
            : tr("Cannot %1 while the changes to %2 are not saved; use Retry.")
                  .arg(what, Quoted(current_)));
}

// ---- Messages ----------------------------------------------------------------------------------

QString DemoWindow::statusText() const {
    return status_->text();
}

QString DemoWindow::bannerText() const {
    return banner_->isHidden() ? QString() : bannerText_->text();
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
    if (auto name = AskName(tr("Rename schedule"), tr("New name:"), current_))
        renameSchedule(*name);
}

void DemoWindow::AskDuplicate() {
    if (auto name = AskName(tr("Duplicate schedule"), tr("Name of the copy:"),
                            tr("%1 (copy)").arg(current_)))
        duplicateSchedule(*name);
}

void DemoWindow::AskKeepAsNew() {
    if (auto name = AskName(tr("Keep as new schedule"), tr("Name of the new schedule:"),
                            tr("%1 (mine)").arg(current_)))
        keepAsNewSchedule(*name);
}

void DemoWindow::AskLoadStored() {
    if (pending_) {
        const auto answer = QMessageBox::question(
            this, tr("Revert to stored version"),
            tr("Drop the changes to %1 that are not saved and show it as stored?")
                .arg(Quoted(current_)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
    }
    loadStoredVersion();
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
        tr("Clear every hour of %1? The cleared week is saved at once; Undo brings it back.")
            .arg(Quoted(current_)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) resetWeek();
}

}  // namespace tarn::app
