#include "TestFiles.h"
#include "settings/SettingsFile.h"
#include "ui/SizeTable.h"

#include <QByteArrayList>
#include <algorithm>
#include <optional>

using namespace kelvane;
using namespace kelvane::test;
using Slots = std::array<QString, 10>;

// The thirteen flags of the settings file, in its order, by name.
#define KELVANE_FLAG(flag) std::pair{#flag, &AppState::flag},
const std::pair<const char*, bool AppState::*> kFlags[] = {
    // clang-format off
    KELVANE_FLAG(bAlwaysOnTop) KELVANE_FLAG(bAutomaticallyOverwrite) KELVANE_FLAG(bShowSavedImage)
    KELVANE_FLAG(bFirstUse) KELVANE_FLAG(bPlayConfirmSound) KELVANE_FLAG(bShowHistory)
    KELVANE_FLAG(bAlwaysPromptFileDelete) KELVANE_FLAG(bDeleteHistoryOnClose)
    KELVANE_FLAG(bShowSaveErrorMessage) KELVANE_FLAG(bLoadAppWhenComputerStarts)
    KELVANE_FLAG(bAutoIncrementSavedFiles) KELVANE_FLAG(bCorrectQueryStringNames)
    KELVANE_FLAG(bSynchronizeWithInternetExplorer)}; // clang-format on

// A file as the program writes it; every load case changes a line of it.
const QByteArrayList kBaseline =
    QByteArray("alwaysontop=False|clientsize=MED|overwrite=False|showsavedimage=False|"
               "firstuse=False|windowsfolder=/usr/share/windows|left= 1000|top= 2000|"
               "playconfirmsound=False|showhistory=False|alwayspromptfiledelete=False|"
               "deletehistoryonclose=False|showsavesrrormessage=False|"
               "loadappwhencomputerstarts=False|autoincrementsavedfiles=False|"
               "correctquerystringnames=False|synchronizewithinternetexplorer=False|||||"
               "/f/9|/f/8|/f/7|/f/6|/f/5|/f/4|/f/3|/f/2|/f/1|/f/0")
        .split('|');
QByteArray joined(const QByteArrayList& lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}
const Slots kSlots{"/f/0", "/f/1", "/f/2", "/f/3", "/f/4", "/f/5", "/f/6", "/f/7", "/f/8", "/f/9"};
// A state of these values, with the flags of these indexes into kFlags on.
AppState state(const QString& size, const QString& folder, double left, double top,
               std::initializer_list<int> on) {
    AppState s;
    s.sClientSize = size;
    s.sWindowsFolder = folder;
    s.WindowLeft = left;
    s.WindowTop = top;
    for (int i : on)
        s.*kFlags[i].second = true;
    return s;
}
// Every persisted value, the folder slots and the timer request, as "name=value".
QStringList fields(const AppState& s, const Slots& slots, bool timer) {
    QStringList f{"enableTimer5=" + QString(timer ? "true" : "false"),
                  "sClientSize=" + s.sClientSize, "sWindowsFolder=" + s.sWindowsFolder,
                  "WindowLeft=" + QString::number(s.WindowLeft, 'f', 3),
                  "WindowTop=" + QString::number(s.WindowTop, 'f', 3)};
    for (const auto& [name, flag] : kFlags)
        f << name + QString(s.*flag ? "=true" : "=false");
    for (int i = 0; i < 10; ++i)
        f << QStringLiteral("slot%1=").arg(i) + slots[i];
    return f;
}
void change(QStringList& fields, const QString& to) { // "name=value" for what name had
    const QString name = to.section('=', 0, 0) + '=';
    std::replace_if(
        fields.begin(), fields.end(), [&](auto& f) { return f.startsWith(name); }, to);
}

class TestSettingsFile : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString file(const QString& name = "kelvane.dat") const { return dir_->filePath(name); }

    // Loaded over the preset: flags of lines 1-9 that must switch off, every other one of
    // lines 10-17 (which only switch on) on, values to replace, the baseline's slots.
    QStringList load(AppState s = state("LARGE", "/earlier", 4321, 1234,
                                        {0, 1, 2, 4, 5, 7, 9, 11})) const {
        Slots slots = kSlots;
        const SettingsFile settings(file());
        const bool timer = settings.LoadSettings(s, 19200, 15360).enableTimer5; // 1280 x 1024 px
        settings.ApplyFolders(slots);
        return fields(s, slots, timer);
    }

private Q_SLOTS:
    void init() { QVERIFY(dir_.emplace().isValid()); }

    // The baseline is what is written; a second run reads back half the flags on, then the rest.
    void writesAndReadsBack() {
        QVERIFY(SettingsFile(file("sub/dir/kelvane.dat"))
                    .SaveSettings(state("MED", "/usr/share/windows", 1000, 2000, {}), kSlots));
        QCOMPARE(readBytes(file("sub/dir/kelvane.dat")), joined(kBaseline));
        AppState s = state("SMALL", "/win dir ", 0, -150, {});
        Slots slots{
            "  /padded  ", {},           {}, {}, {}, "/srv/alwaysontop=True", {}, {},
            "/x\n/y",      "/jürgen/b c"}; // slot 8 would push every later line out of its place
        for (bool odd : {false, true}) {
            for (int i = 0; i < 13; ++i)
                s.*kFlags[i].second = i % 2 == int(odd);
            QVERIFY(SettingsFile(file()).SaveSettings(s, slots));
            QStringList wanted = fields(s, slots, s.bSynchronizeWithInternetExplorer);
            change(wanted, "bFirstUse=false");
            change(wanted, "slot8="); // written empty
            QCOMPARE(load(AppState()), wanted);
        }
        // Every other flag on, first use written off: five "True" as other copies read them.
        QCOMPARE(readLines(file()).mid(0, 17).filter("=True").size(), 5);
    }

    // A file, and the loaded values that differ from those of the baseline.
    void loads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("changed");
        const auto row = [](const char* name, int line, const QByteArray& text,
                            const QStringList& changes, int end = 31) { // lines 1 to end
            QByteArrayList lines = kBaseline.mid(0, end);
            lines[line - 1] = text;
            QTest::newRow(name) << joined(lines) << changes;
        };
        row("key in capitals", 1, "AlwaysOnTop=TRUE", {"bAlwaysOnTop=true"});
        row("NUL after flag", 1, QByteArray("alwaysontop=True\0", 17), {"bAlwaysOnTop=false"});
        row("byte order mark", 1, "\357\273\277alwaysontop=True", {"bAlwaysOnTop=true"});
        row("size", 2, "ClientSize= large ", {"sClientSize=LARGE"});
        row("first use: no", 5, "firstuse=no", {"bFirstUse=true"});
        row("folder empty", 6, "windowsfolder=", {"sWindowsFolder=/earlier"});
        row("left at the bound", 7, "left= 19000", {"WindowLeft=500.000"});
        row("left floored", 7, "left=-0.5", {"WindowLeft=-1.000"});
        row("left not a number", 7, "left=12abc", {"WindowLeft=4321.000"});
        row("top at the bound", 8, "top=15160", {"WindowTop=100.000"});
        row("5 MB slot", 25, QByteArray(5 << 20, '/'), {"slot6="});
        const QByteArray limit(SettingsFile::kMaxLineBytes, 'y');
        row("slot at the length limit", 24, limit, {"slot7=" + limit});
        // A file cut short leaves the later values as they were. A line that cannot be read
        // repeats what the previous line left in the buffer.
        row("ends after showhistory=True", 10, "showhistory=True",
            {"bAlwaysPromptFileDelete=true", "bShowSaveErrorMessage=true",
             "bAutoIncrementSavedFiles=true", "bSynchronizeWithInternetExplorer=true",
             "enableTimer5=true"},
            10);
        row("ends after line 26", 22, "/g/9", {"slot9=/g/9"}, 26);
        QTest::newRow("LF only") << joined(kBaseline, "\n").chopped(1) << QStringList();
        // Nothing usable: the flags of lines 1 to 9 go off, it is the first use.
        QTest::newRow("no file") << QByteArray()
                                 << QStringList{"sClientSize=", "sWindowsFolder=/earlier",
                                                "WindowLeft=4321.000", "WindowTop=1234.000",
                                                "bFirstUse=true"};
    }
    void loads() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, changed);
        if (!bytes.isEmpty())
            writeFile(file(), bytes);
        QStringList wanted =
            fields(state("MED", "/usr/share/windows", 1000, 2000, {5, 7, 9, 11}), kSlots, false);
        for (const QString& to : changed)
            change(wanted, to);
        QCOMPARE(load(), wanted);
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
