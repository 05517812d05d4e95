#include "ui/SizeTable.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace kelvane;

namespace {

// Slot texts with the listed slots filled.
std::array<QString, 10> slotsWith(const QList<int>& filled) {
    std::array<QString, 10> list;
    for (int i : filled)
        list[i] = QStringLiteral("/home/user/folder%1").arg(i);
    return list;
}

const QList<int> kPatterns[] = {
    {}, {9}, {0, 1, 2, 3, 4}, {1, 3, 5, 7, 9}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};

// The size table as the window is meant to look: word, square side, label height, font size.
const struct {
    const char* word;
    int side;
    int labelHeight;
    int fontPt;
} kSizes[] = {{"SMALL", 675, 195, 6}, {"MED", 1090, 240, 7}, {"LARGE", 1460, 270, 9}};

void addLayoutRows() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("labelHeight");
    QTest::addColumn<int>("fontPt");
    QTest::addColumn<QList<int>>("filled");
    for (const auto& size : kSizes) {
        for (const QList<int>& filled : kPatterns) {
            QString name = QString::fromLatin1(size.word) + QStringLiteral(" slots");
            for (int i : filled)
                name += QStringLiteral(" %1").arg(i);
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(size.word) << size.side
                                            << size.labelHeight << size.fontPt << filled;
        }
    }
}

} // namespace

class TestSizeTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parsesSizeWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ClientSize>("expected");
        QTest::newRow("SMALL") << "SMALL" << ClientSize::Small;
        QTest::newRow("MED") << "MED" << ClientSize::Med;
        QTest::newRow("med with spaces") << "  med " << ClientSize::Med;
        QTest::newRow("Large") << "Large" << ClientSize::Large;
        QTest::newRow("empty") << "" << ClientSize::Unknown;
        QTest::newRow("menu caption") << "Normal" << ClientSize::Unknown;
        QTest::newRow("inner space") << "LAR GE" << ClientSize::Unknown;
    }
    void parsesSizeWords() {
        QFETCH(QString, text);
        QFETCH(ClientSize, expected);
        QCOMPARE(parseClientSize(text), expected);
        QCOMPARE(sizeRow(text).has_value(), expected != ClientSize::Unknown);
        if (expected != ClientSize::Unknown)
            QCOMPARE(clientSizeWord(expected), clientSizeMode(text));
    }

    void resolvesRowOrKeepsPrevious_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("side"); // 0: the previous row is kept
        const struct {
            const char *name, *stored, *after;
            int side;
        } rows[] = {{"empty becomes MED", "", "MED", 1090},
                    {"blanks become MED", "  ", "MED", 1090},
                    {" large ", " large ", " large ", 1460},
                    {"small", "small", "small", 675},
                    {"huge keeps previous", "huge", "huge", 0}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString(r.stored) << QString(r.after) << r.side;
    }
    void resolvesRowOrKeepsPrevious() {
        QFETCH(QString, stored);
        QFETCH(QString, after);
        QFETCH(int, side);
        const SizeRow previous{1234, 321, 8};
        QString sClientSize = stored;
        const SizeRow row = resolveSizeRow(sClientSize, previous);
        QCOMPARE(sClientSize, after);
        if (side == 0)
            QCOMPARE(row, previous);
        else
            QCOMPARE(row.sideTwips, side);
    }

    void roundsTwips_data() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0.0 << 0;
        QTest::newRow("MED side 72.67") << 1090.0 << 73;
        QTest::newRow("just under half") << 7.4 << 0;
        QTest::newRow("half goes up") << 7.5 << 1;
        QTest::newRow("negative half goes up") << -7.5 << 0;
        QTest::newRow("negative one and a half") << -22.5 << -1;
        QTest::newRow("not a number") << std::nan("") << 0;
        QTest::newRow("huge") << 1e300 << std::numeric_limits<int>::max();
    }
    void roundsTwips() {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixels(twips), pixels);
    }

    void laysOutInTwips_data() { addLayoutRows(); }
    void laysOutInTwips() {
        QFETCH(QString, word);
        QFETCH(int, side);
        QFETCH(int, labelHeight);
        QFETCH(int, fontPt);
        QFETCH(QList<int>, filled);
        const ClientLayout layout = layoutClient(*sizeRow(word), slotsWith(filled));

        QCOMPARE(layout.window, (TwipRect{0, 0, side, side + int(filled.size()) * labelHeight}));
        QCOMPARE(layout.picture, (TwipRect{0, 0, side, side}));
        QCOMPARE(layout.statusIcon, (TwipRect{side - 400, 30, 345, 345}));
        QCOMPARE(layout.statusIcon.right(), side - 55);
        QCOMPARE(layout.labelFontPt, fontPt);

        int nextTop = side; // the first visible label hangs right under the square
        for (int i = 0; i < 10; ++i) {
            const LabelPlacement& label = layout.labels[i];
            QCOMPARE(label.visible, filled.contains(i));
            QCOMPARE(label.rect.left, -15);
            QCOMPARE(label.rect.width, side);
            QCOMPARE(label.rect.height, labelHeight);
            if (label.visible) {
                QCOMPARE(label.rect.top, nextTop);
                nextTop = label.rect.bottom();
            } else {
                QCOMPARE(label.rect.top, 2000);
            }
        }
        QCOMPARE(layout.window.bottom(), nextTop);

        // In pixels the labels touch too: rounded edges, never a gap or an overlap.
        const QRect window = toPixels(layout.window);
        const QRect picture = toPixels(layout.picture);
        QCOMPARE(window.topLeft(), QPoint(0, 0));
        QCOMPARE(picture.width(), window.width());
        nextTop = picture.bottom() + 1;
        for (const LabelPlacement& label : layout.labels) {
            if (!label.visible)
                continue;
            const QRect r = toPixels(label.rect);
            QCOMPARE(r.top(), nextTop);
            QCOMPARE(r.left(), -1);
            // Rounded edges: a label is never more than a pixel off its true height.
            QVERIFY(std::abs(r.height() * 15 - labelHeight) < 15);
            nextTop = r.bottom() + 1;
        }
        QCOMPARE(window.bottom() + 1, nextTop);
    }

    void matchesWorkedExamples_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("folders");
        QTest::addColumn<QSize>("twips");
        QTest::newRow("Normal, five") << "MED" << 5 << QSize(1090, 2290);
        QTest::newRow("Small, five") << "SMALL" << 5 << QSize(675, 1650);
        QTest::newRow("Large, ten") << "LARGE" << 10 << QSize(1460, 4160);
        QTest::newRow("Normal, none") << "MED" << 0 << QSize(1090, 1090);
    }
    void matchesWorkedExamples() {
        QFETCH(QString, word);
        QFETCH(int, folders);
        QFETCH(QSize, twips);
        QList<int> filled;
        for (int i = 0; i < folders; ++i)
            filled << i;
        const ClientLayout layout = layoutClient(*sizeRow(word), slotsWith(filled));
        QCOMPARE(QSize(layout.window.width, layout.window.height), twips);
        // The focus field at 4300 twips stays below the tallest possible window.
        QVERIFY(layout.window.bottom() < 4300);
    }

    // Heights that are not whole pixels must not let a column drift or open gaps.
    void stackedRectsShareEdges_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("height");
        QTest::newRow("7 twips from 0") << 0 << 7;
        QTest::newRow("8 twips from the label edge") << -15 << 8;
    }
    void stackedRectsShareEdges() {
        QFETCH(int, start);
        QFETCH(int, height);
        const int count = 20;
        int nextTop = twipsToPixels(start);
        for (int i = 0; i < count; ++i) {
            const QRect r = toPixels(TwipRect{0, start + i * height, 10, height});
            QCOMPARE(r.top(), nextTop);
            nextTop = r.bottom() + 1;
        }
        QCOMPARE(nextTop, twipsToPixels(start + count * height));
    }

    void keepsPixelEdgesForExtremeRects() {
        const int big = std::numeric_limits<int>::max();
        const QRect r = toPixels(TwipRect{big - 10, 0, 100, 15});
        QCOMPARE(r.left(), twipsToPixels(big - 10));
        QCOMPARE(r.height(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSizeTable)
#include "tst_sizetable.moc"
