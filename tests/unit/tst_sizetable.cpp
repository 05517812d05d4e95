#include "ui/SizeTable.h"

#include <QtTest>

using namespace kelvane;

class TestSizeTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A stored word that names no size keeps the previous size; an empty one means medium.
    void sizeWords_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("side"); // twips; 1234 is the previous size's
        QTest::addColumn<QString>("resolved");
        QTest::newRow("blanks and case ignored") << "  med " << 1090 << "  med ";
        QTest::newRow("blanks only are medium") << "  " << 1090 << "MED";
        QTest::newRow("unknown word keeps the previous") << "Normal" << 1234 << "Normal";
    }
    void sizeWords() {
        QFETCH(QString, stored);
        QFETCH(int, side);
        QFETCH(QString, resolved);
        QCOMPARE(resolveSizeRow(stored, {1234, 321, 8}).sideTwips, side);
        QCOMPARE(stored, resolved);
    }

    // Heights that are no whole pixels must not let a column drift, nor far edges overflow.
    void stackedRectsShareEdges() {
        for (const auto& [start, height] : {std::pair{0, 7}, std::pair{-15, 8}}) {
            int nextTop = twipsToPixels(start);
            for (int i = 0; i < 20; ++i) {
                QCOMPARE(toPixels(TwipRect{0, start + i * height, 10, height}).top(), nextTop);
                nextTop = toPixels(TwipRect{0, start + i * height, 10, height}).bottom() + 1;
            }
            QCOMPARE(nextTop, twipsToPixels(start + 20 * height));
        }
        const int big = std::numeric_limits<int>::max(), left = twipsToPixels(big - 10);
        QCOMPARE(toPixels(TwipRect{big - 10, 0, 100, 15}),
                 QRect(left, 0, twipsToPixels(big + 90.0) - left, 1));
    }
};

QTEST_GUILESS_MAIN(TestSizeTable)
#include "tst_sizetable.moc"
