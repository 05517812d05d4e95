#include "history/frmHistory.h"

#include "core/AppState.h"
#include "core/FileTests.h"
#include "core/SoundCues.h"
#include "history/HistoryCommands.h"
#include "history/HistoryList.h"
#include "platform/Platform.h"
#include "ui/SizeTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>

namespace kelvane {
namespace {

constexpr int kDockGapTwips = 2000; // the window's left edge, left of the client's
constexpr int kHeightTwips = 1445;
constexpr int kWidthTwips = 1900;
constexpr int kListHeightTwips = 1240;
constexpr int kListMarginTwips = 75; // the strip right of the list

const QString kFileGone = QStringLiteral("File no longer exists in specified folder");

} // namespace

frmHistory::frmHistory(QWidget& client, HistoryList& list, AppState& state, SoundCues& cues,
                       Platform& platform, QString historyFile)
    // A close box only: the window follows the client, so it is neither minimised nor
    // maximised on its own.
    : QWidget(&client,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      client_(client), list_(list), state_(state), cues_(cues), platform_(platform),
      historyFile_(std::move(historyFile)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("History"));
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(&list_);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A path too long for the narrow list shows its end, the file's own name; the tooltip
    // has the whole of the selected one.
    List1->setTextElideMode(Qt::ElideLeft);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setUniformItemSizes(true);
    List1->setToolTip(QStringLiteral("Saved Images History"));
    List1->setFont(QFont(QStringLiteral("Times New Roman"), 7));
    List1->viewport()->installEventFilter(this);
    connect(List1, &QListView::clicked, this, [this] { List1_Click(); });
    connect(List1, &QListView::doubleClicked, this, [this] { OpenSelectedItem(); });
    createMenu();
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    // The narrow title bar keeps room for the title beside the close box.
    platform_.closeBoxOnly(this);
    Timer1.setInterval(44);
    connect(&Timer1, &QTimer::timeout, this, &frmHistory::Timer1_Timer);
}

void frmHistory::createMenu() {
    mnuFile = new QMenu(QStringLiteral("File"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto item = [this](const char* name, const QString& caption, void (frmHistory::*run)()) {
        QAction* action = mnuFile->addAction(caption, this, run);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuOpen = item("mnuOpen", QStringLiteral("Open"), &frmHistory::mnuOpen_Click);
    mnuDelete =
        item("mnuDelete", QStringLiteral("Delete From History"), &frmHistory::mnuDelete_Click);
    mnuDeleteFromDisk = item("mnuDeleteFromDisk", QStringLiteral("Delete From Disk"),
                             &frmHistory::mnuDeleteFromDisk_Click);
}

void frmHistory::Initialize() {
    hide();
    List1->setFont(QFont(QStringLiteral("Times New Roman"), 7));
    list_.FillList(historyFile_);
    ResizeAll();
    Timer1.start();
    list_.RemoveMissingFromHistory();
}

void frmHistory::ResizeAll() {
    List1->setGeometry(0, 0, width() - twipsToPixels(kListMarginTwips),
                       twipsToPixels(kListHeightTwips));
}

void frmHistory::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ResizeAll();
}

void frmHistory::dock() {
    // The window's outer corner (its frame's) docks; the height is the inside's.
    const QPoint corner(client_.x() - twipsToPixels(kDockGapTwips), client_.y());
    if (pos() != corner)
        move(corner);
    if (height() != twipsToPixels(kHeightTwips))
        resize(width(), twipsToPixels(kHeightTwips));
}

QString frmHistory::selectedEntry() const {
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void frmHistory::Timer1_Timer() {
    if (!state_.bShowHistory) {
        // Nothing to follow until the window is opened again (which restarts the timer).
        hide();
        Timer1.stop();
        return;
    }
    if (state_.bStartupInProgress) {
        hide();
        return;
    }
    if (isVisible() != client_.isVisible()) {
        // A window minimised by the user comes back with the client, not iconic (an iconic
        // window takes its owner along).
        if (client_.isVisible())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        setVisible(client_.isVisible());
    }
    dock();
    const QString tip = QStringLiteral(" Double-click to open selected image \"") +
                        selectedEntry() + QStringLiteral("\" ");
    if (List1->toolTip() != tip) // a tick every 44 ms writes only what changed
        List1->setToolTip(tip);
}

void frmHistory::List1_Click() {
    const QString entry = selectedEntry();
    if (!entry.isEmpty()) {
        if (FileExists(entry))
            Q_EMIT previewRequested(entry);
        else
            platform_.message(this, kFileGone);
    }
    Q_EMIT clientResetDue();
}

void frmHistory::OpenSelectedItem() {
    const QString entry = selectedEntry();
    if (!FileExists(entry)) {
        platform_.message(this, kFileGone);
        return;
    }
    platform_.openPath(entry);
}

void frmHistory::List1_MouseUp(QPoint at) {
    const bool selected = !selectedEntry().isEmpty();
    for (QAction* item : {mnuOpen, mnuDelete, mnuDeleteFromDisk})
        item->setEnabled(selected);
    mnuFile->popup(at);
}

void frmHistory::mnuOpen_Click() {
    cues_.PlayClickSound();
    OpenSelectedItem();
}

void frmHistory::mnuDelete_Click() {
    cues_.PlayClickSound();
    RemoveSelectedItemFromHistoryList();
}

void frmHistory::RemoveSelectedItemFromHistoryList() {
    if (!list_.isEmpty()) {
        const QModelIndexList rows = List1->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            list_.removeAt(rows.first().row());
        SaveHistory(list_, historyFile_, platform_, this);
    }
    Q_EMIT clientResetDue();
}

void frmHistory::mnuDeleteFromDisk_Click() {
    cues_.PlayClickSound();
    const QString path = selectedEntry();
    // Into the Trash, from where the file can be restored, as the file manager does; for good
    // only where no Trash can take it, and the question says which.
    const bool trash = platform_.canMoveToTrash(path);
    const QString question =
        trash ? QStringLiteral("Are you sure you want to move the file \"") + path +
                    QStringLiteral("\" to the Trash?")
              : QStringLiteral("Are you sure you want to delete the file \"") + path +
                    QStringLiteral("\" from your disk? No Trash can take it: it will be deleted "
                                   "for good.");
    if (state_.bAlwaysPromptFileDelete &&
        platform_.messageBox(this, question, QStringLiteral("Confirm Delete"),
                             Platform::Buttons::YesNo,
                             Platform::Icon::Exclamation) != Platform::Answer::Yes)
        return;
    // Only the entry that was asked about goes, even if the list changed meanwhile.
    if (selectedEntry() != path ||
        !(trash ? platform_.moveToTrash(path) : platform_.deleteFile(path))) {
        platform_.message(this, QStringLiteral("There was an error while attempting to delete "
                                               "this file."));
        return;
    }
    // Other entries of the same file go with it: they would name a file that is gone.
    const int selected = List1->selectionModel()->selectedRows().value(0).row();
    for (int row = list_.size() - 1; row >= 0; --row) {
        if (row != selected && list_.entries().at(row) == path)
            list_.removeAt(row);
    }
    RemoveSelectedItemFromHistoryList();
}

bool frmHistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched != List1->viewport())
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        pressedAt_.reset();
        if (mouse->button() == Qt::LeftButton)
            pressedAt_ = mouse->position().toPoint();
        break;
    case QEvent::MouseMove: {
        // An entry dragged out of the list is a copy of its file for whatever takes it.
        if (!pressedAt_ || !(mouse->buttons() & Qt::LeftButton) ||
            (mouse->position().toPoint() - *pressedAt_).manhattanLength() <
                QApplication::startDragDistance())
            break;
        const QString entry = List1->indexAt(*pressedAt_).data().toString();
        pressedAt_.reset();
        if (!entry.isEmpty() && FileExists(entry)) {
            platform_.dragFileOut(List1, entry);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        pressedAt_.reset();
        if (mouse->button() == Qt::RightButton)
            List1_MouseUp(mouse->globalPosition().toPoint());
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmHistory::closeEvent(QCloseEvent* event) {
    cues_.PlayClickSound();
    state_.bShowHistory = false;
    hide();
    Timer1.stop();
    event->ignore();
    Q_EMIT closed();
}

} // namespace kelvane
