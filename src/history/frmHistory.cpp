#include "history/frmHistory.h"

#include "app/frmMain.h"

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
    resize(2000 / kTwipsPerPixel, 1445 / kTwipsPerPixel);
}

void frmHistory::Initialize(const QString& historyFile) {
    hide();
    main_.historyList().FillList(historyFile);
    main_.historyList().RemoveMissingFromHistory();
    refresh();
}

void frmHistory::refresh() {
    List1->clear();
    List1->addItems(main_.historyList().entries());
}

} // namespace kelvane
