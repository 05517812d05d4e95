#include "TestFiles.h"
#include "core/AppState.h"
#include "ui/SizeCommands.h"

using namespace kelvane;
using namespace kelvane::test;

class TestSizeCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Chosen | checked before ("?" none) | cue; the chosen word is stored for the next start.
    void storesTheSizeAndPicksTheCue_data() {
        test::addRows({"SMALL|SMALL|shrink", "SMALL|LARGE|shrink", "MED|LARGE|shrink",
                       "MED|MED|enlarge", "MED|SMALL|enlarge", "MED|?|enlarge",
                       "LARGE|LARGE|enlarge", "LARGE|SMALL|enlarge"});
    }
    void storesTheSizeAndPicksTheCue() {
        QFETCH(QStringList, row);
        AppState state;
        state.sClientSize = " large ";
        QCOMPARE(applySizeCommand(state, parseClientSize(row[0]), parseClientSize(row[1])), row[2]);
        QCOMPARE(state.sClientSize, row[0]);
    }
};

QTEST_GUILESS_MAIN(TestSizeCommands)
#include "tst_sizecommands.moc"
