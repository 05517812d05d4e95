#include "SettingsFields.h"
#include "TestFiles.h"
#include "settings/SettingsFile.h"
#include "ui/SizeTable.h"

#include <optional>

using namespace kelvane;
using namespace kelvane::test;

class TestSettingsFile : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString file(const QString& name = "kelvane.dat") const { return dir_->filePath(name); }

    Fields load(AppState state = presetState()) const { // into the preset state and slots
        Slots slots = numberedSlots("old");
        const SettingsFile settings(file());
        const auto r = settings.LoadSettings(state, 19200, 15360); // 1280 x 1024 px in twips
        settings.ApplyFolders(slots);
        return fields(state, slots, r);
    }
    // "slotN=oldN" for the slots 0 to last, which a short file does not reach.
    static QStringList kept(int last) {
        QStringList changes;
        for (int i = 0; i <= last; ++i)
            changes << QStringLiteral("slot%1=old%1").arg(i);
        return changes;
    }

private Q_SLOTS:
    void init() { QVERIFY(dir_.emplace().isValid()); }

    // The baseline is what is written; a second run reads back half the flags on, then the rest.
    void writesAndReadsBack() {
        QVERIFY(SettingsFile(file("sub/dir/kelvane.dat"))
                    .SaveSettings(baselineState(), numberedSlots("/f/")));
        QCOMPARE(readBytes(file("sub/dir/kelvane.dat")), joined(kBaseline));
        AppState s;
        s.sClientSize = "SMALL";
        s.sWindowsFolder = "/win dir ";
        s.WindowTop = -150;
        Slots slots;
        slots[9] = "/jürgen/b c";
        slots[8] = "/x\n/y"; // would push every later line out of its place: written empty
        slots[5] = "/srv/alwaysontop=True";
        slots[0] = "  /padded  ";
        for (bool odd : {false, true}) {
            for (int i = 0; i < 13; ++i)
                *flagsOf(s)[i] = i % 2 == int(odd);
            QVERIFY(SettingsFile(file()).SaveSettings(s, slots));
            Fields wanted = fields(s, slots, {s.bSynchronizeWithInternetExplorer});
            wanted["bFirstUse"] = "false";
            wanted["slot8"] = "";
            compareFields(load(AppState()), wanted);
        }
        // Every other flag on, first use written off: five "True" as other copies read them.
        QCOMPARE(readLines(file()).mid(0, 17).filter("=True").size(), 5);
    }

    // A file | the loaded values that differ from those of the baseline.
    void loads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("changed");
        const auto row = [](const char* name, int line, const QByteArray& text,
                            const QString& change) {
            QByteArrayList lines = kBaseline;
            lines[line - 1] = text;
            QTest::newRow(name) << joined(lines) << QStringList{change};
        };
        row("key in capitals", 1, "AlwaysOnTop=TRUE", "bAlwaysOnTop=true");
        row("NUL after flag", 1, QByteArray("alwaysontop=True\0", 17), "bAlwaysOnTop=false");
        row("byte order mark", 1, "\357\273\277alwaysontop=True", "bAlwaysOnTop=true");
        row("size", 2, "ClientSize= large ", "sClientSize=LARGE");
        row("first use: no", 5, "firstuse=no", "bFirstUse=true");
        row("folder empty", 6, "windowsfolder=", "sWindowsFolder=/earlier");
        row("left at the bound", 7, "left= 19000", "WindowLeft=500.000");
        row("left floored", 7, "left=-0.5", "WindowLeft=-1.000");
        row("left not a number", 7, "left=12abc", "WindowLeft=4321.000");
        row("top at the bound", 8, "top=15160", "WindowTop=100.000");
        row("5 MB slot", 25, QByteArray(5 << 20, '/'), "slot6=");
        const QByteArray limit(SettingsFile::kMaxLineBytes, 'y');
        row("slot at the length limit", 24, limit, "slot7=" + limit);

        // A line that cannot be read repeats what the previous line left in the buffer.
        QByteArrayList ten = kBaseline.mid(0, 10);
        ten[9] = "showhistory=True";
        const QStringList later =
            QStringList{"bAlwaysPromptFileDelete=true", "bShowSaveErrorMessage=true",
                        "bAutoIncrementSavedFiles=true", "bSynchronizeWithInternetExplorer=true"} +
            kept(9);
        QTest::newRow("ends after showhistory=True") << joined(ten) << later;
        QTest::newRow("ends after line 26") << joined(kBaseline.mid(0, 26)) << kept(4);
        QTest::newRow("LF only") << joined(kBaseline, "\n").chopped(1) << QStringList();

        // Nothing usable: the flags of lines 1 to 9 go off, it is the first use.
        const QStringList nothing =
            QStringList{"sClientSize=", "sWindowsFolder=/earlier", "WindowLeft=4321.000",
                        "WindowTop=1234.000", "bFirstUse=true"} +
            kept(9);
        QTest::newRow("no file") << QByteArray("<none>") << nothing;
    }
    void loads() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, changed);
        if (bytes != "<none>")
            writeFile(file(), bytes);
        const Fields got = load();
        Fields wanted = fields(baselineState(presetState()), numberedSlots("/f/"), {});
        for (const QString& change : changed) {
            const QString field = change.section('=', 0, 0), value = change.section('=', 1);
            wanted[field] = value;
            if (field == "bSynchronizeWithInternetExplorer")
                wanted["enableTimer5"] = value;
        }
        compareFields(got, wanted);
    }

    // A save cut short by a size limit, or under a file, fails: the old file stays whole, alone.
    void failedSaveKeepsOldFile() {
        writeFile(file(), "old\r\n");
        std::optional<FileSizeLimit> limit(std::in_place, 8);
        QVERIFY(!SettingsFile(file()).SaveSettings(AppState(), Slots()));
        limit.reset();
        QVERIFY(!SettingsFile(file("kelvane.dat/sub/kelvane.dat")).SaveSettings(AppState(), {}));
        QCOMPARE(readBytes(file()), QByteArray("old\r\n"));
        QCOMPARE(entries(dir_->path()), QStringList{"kelvane.dat"});
    }

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

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
