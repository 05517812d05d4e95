#include "core/AppState.h"
#include "ui/SizeCommands.h"

#include <QtTest>

using namespace kelvane;

class TestSizeCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The chosen word is stored for the next start; the cue says which way the window goes.
    void storesTheSizeAndPicksTheCue_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("checked"); // the size shown before ("?": none)
        QTest::addColumn<QString>("cue");
        QTest::newRow("small again shrinks") << "SMALL"
                                             << "SMALL"
                                             << "shrink";
        QTest::newRow("medium from large shrinks") << "MED"
                                                   << "LARGE"
                                                   << "shrink";
        QTest::newRow("medium from small enlarges") << "MED"
                                                    << "SMALL"
                                                    << "enlarge";
        QTest::newRow("medium, none checked") << "MED"
                                              << "?"
                                              << "enlarge";
        QTest::newRow("large again enlarges") << "LARGE"
                                              << "LARGE"
                                              << "enlarge";
    }
    void storesTheSizeAndPicksTheCue() {
        QFETCH(QString, chosen);
        QFETCH(QString, checked);
        QFETCH(QString, cue);
        AppState state;
        state.sClientSize = " large ";
        QCOMPARE(applySizeCommand(state, parseClientSize(chosen), parseClientSize(checked)), cue);
        QCOMPARE(state.sClientSize, chosen);
    }
};

QTEST_GUILESS_MAIN(TestSizeCommands)
#include "tst_sizecommands.moc"
