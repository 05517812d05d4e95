#include "history/frmHistory.h"

#include "core/AppState.h"
#include "core/SoundCues.h"
#include "history/HistoryList.h"
#include "ui/SizeTable.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace kelvane {
namespace {

constexpr int kDockGapTwips = 2000; // the window's left edge, left of the client's
constexpr int kHeightTwips = 1445;

} // namespace

frmHistory::frmHistory(QWidget& client, HistoryList& list, AppState& state, SoundCues& cues,
                       QString historyFile)
    : QWidget(&client, Qt::Tool), client_(client), list_(list), state_(state), cues_(cues),
      historyFile_(std::move(historyFile)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("History"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setToolTip(QStringLiteral("Saved Images History"));
    List1->setFont(QFont(QStringLiteral("Times New Roman"), 7));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List1);
    resize(twipsToPixels(1900), twipsToPixels(kHeightTwips));
    Timer1.setInterval(44);
    connect(&Timer1, &QTimer::timeout, this, &frmHistory::Timer1_Timer);
}

void frmHistory::Initialize() {
    hide();
    list_.FillList(historyFile_);
    Timer1.start();
    list_.RemoveMissingFromHistory();
    refresh();
}

void frmHistory::refresh() {
    const QStringList& entries = list_.entries();
    QStringList shown;
    for (int i = 0; i < List1->count(); ++i)
        shown << List1->item(i)->text();
    if (shown == entries)
        return;
    List1->clear();
    List1->addItems(entries);
}

void frmHistory::dock() {
    const QRect wanted(client_.x() - twipsToPixels(kDockGapTwips), client_.y(), width(),
                       twipsToPixels(kHeightTwips));
    if (geometry() != wanted)
        setGeometry(wanted);
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
    if (isVisible() != client_.isVisible())
        setVisible(client_.isVisible());
    dock();
    const QListWidgetItem* selected = List1->currentItem();
    const QString tip = QStringLiteral(" Double-click to open selected image \"") +
                        (selected ? selected->text() : QString()) + QStringLiteral("\" ");
    if (List1->toolTip() != tip) // a tick every 44 ms writes only what changed
        List1->setToolTip(tip);
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
