#include "history/frmHistory.h"

#include "app/frmMain.h"

#include "ui/SizeTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace kelvane {

frmHistory::frmHistory(frmMain& main) : QWidget(&main, Qt::Tool), main_(main) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("History"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setToolTip(QStringLiteral("Saved Images History"));
    List1->setFont(QFont(QStringLiteral("Times New Roman"), 7));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List1);
    resize(twipsToPixels(1900), twipsToPixels(1445));
    Timer1.setInterval(44);
    connect(&Timer1, &QTimer::timeout, this, &frmHistory::Timer1_Timer);
}

void frmHistory::Initialize() {
    hide();
    main_.historyList().FillList(main_.historyPath());
    Timer1.start();
    main_.historyList().RemoveMissingFromHistory();
    refresh();
}

void frmHistory::refresh() {
    const QStringList& entries = main_.historyList().entries();
    QStringList shown;
    for (int i = 0; i < List1->count(); ++i)
        shown << List1->item(i)->text();
    if (shown == entries)
        return;
    List1->clear();
    List1->addItems(entries);
}

void frmHistory::Timer1_Timer() {
    const AppState& state = main_.state();
    if (!state.bShowHistory) {
        // Nothing to follow until the window is opened again (which restarts the timer).
        hide();
        Timer1.stop();
        return;
    }
    if (state.bStartupInProgress) {
        hide();
        return;
    }
    setVisible(main_.isVisible());
    const int height = twipsToPixels(1445);
    const QRect wanted(main_.x() - twipsToPixels(2000), main_.y(), width(), height);
    if (geometry() != wanted)
        setGeometry(wanted);
    const QListWidgetItem* selected = List1->currentItem();
    List1->setToolTip(QStringLiteral(" Double-click to open selected image \"") +
                      (selected ? selected->text() : QString()) + QStringLiteral("\" "));
}

void frmHistory::closeEvent(QCloseEvent* event) {
    main_.cues().PlayClickSound();
    main_.menus().mnuHistory->setEnabled(true);
    main_.state().bShowHistory = false;
    hide();
    Timer1.stop();
    event->ignore();
}

void ShowHistoryForm(frmMain& main) {
    frmHistory* history = main.history();
    if (!history)
        return;
    history->hide();
    history->move(main.x() - twipsToPixels(2000), main.y());
    main.menus().mnuHistory->setEnabled(false);
    main.state().bShowHistory = true;
    history->Initialize();
}

} // namespace kelvane
