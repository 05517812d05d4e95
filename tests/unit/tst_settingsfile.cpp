#include "SettingsFields.h"
#include "TestFiles.h"
#include "settings/SettingsFile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kelvane;
using namespace kelvane::test;
Q_DECLARE_METATYPE(kelvane::AppState)
Q_DECLARE_METATYPE(Slots)

constexpr int kScreenWidth = 19200; // 1280 x 1024 pixels, in twips
constexpr int kScreenHeight = 15360;

class TestSettingsFile : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString file(const QString& name = "kelvane.dat") const { return m_dir->filePath(name); }
    void write(const QByteArray& bytes) const { writeFile(file(), bytes); }

    // Loads the settings file into the preset state and reads the folders into the preset slots.
    Fields loadPreset(AppState state = presetState(), Slots slots = presetSlots()) const {
        const SettingsFile settings(file());
        const SettingsFile::LoadResult r =
            settings.LoadSettings(state, kScreenWidth, kScreenHeight);
        settings.ApplyFolders(slots);
        return fields(state, slots, r);
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void roundTrip_data() {
        QTest::addColumn<AppState>("state");
        QTest::addColumn<Slots>("slots");
        AppState on;
        on.bAlwaysOnTop = on.bAutomaticallyOverwrite = on.bShowSavedImage = on.bPlayConfirmSound =
            on.bShowHistory = on.bAlwaysPromptFileDelete = on.bDeleteHistoryOnClose =
                on.bShowSaveErrorMessage = on.bLoadAppWhenComputerStarts =
                    on.bAutoIncrementSavedFiles = on.bCorrectQueryStringNames =
                        on.bSynchronizeWithInternetExplorer = true;
        on.sClientSize = "LARGE";
        on.sWindowsFolder = "/usr/local/windows";
        on.WindowLeft = 7680;
        on.WindowTop = -150;
        Slots full;
        for (int i = 0; i < 10; ++i)
            full[i] = QStringLiteral("/home/user/Pictures/%1").arg(i);
        QTest::newRow("everything on, all slots") << on << full;
        QTest::newRow("everything off, no slots") << AppState() << Slots();

        AppState mixed;
        mixed.bShowSavedImage = mixed.bShowHistory = mixed.bShowSaveErrorMessage = true;
        mixed.bCorrectQueryStringNames = true;
        mixed.sClientSize = "SMALL";
        mixed.sWindowsFolder = "/home/jürgen/Windows  ";
        mixed.WindowLeft = -3000;
        mixed.WindowTop = 0;
        Slots gaps;
        gaps[9] = "/home/jürgen/Bilder";
        gaps[5] = "/srv/alwaysontop=True";
        gaps[0] = "  /padded  ";
        QTest::newRow("mixed, empty slots between") << mixed << gaps;
        Slots longSlot;
        longSlot[3] = "/" + QString(100 * 1024, u'd');
        QTest::newRow("100 KB folder") << mixed << longSlot;
    }

    void roundTrip() {
        QFETCH(AppState, state);
        QFETCH(Slots, slots);
        QVERIFY(SettingsFile(file()).SaveSettings(state, slots));
        AppState loaded;
        loaded.bFirstUse = true;
        Fields expected = fields(state, slots, {state.bSynchronizeWithInternetExplorer});
        expected["bFirstUse"] = "false";
        compareFields(loadPreset(loaded, presetSlots()), expected);
    }

    void writtenBytes() {
        AppState s;
        s.bAlwaysOnTop = s.bShowSaveErrorMessage = s.bSynchronizeWithInternetExplorer = true;
        s.bFirstUse = true;
        s.sClientSize = "MED";
        s.sWindowsFolder = "/win dir ";
        s.WindowLeft = 7680;
        s.WindowTop = -150;
        Slots slots;
        slots[9] = "/a";
        slots[7] = "/b c";
        slots[0] = "/z";
        QVERIFY(SettingsFile(file("sub/dir/kelvane.dat")).SaveSettings(s, slots));
        QCOMPARE(
            readBytes(file("sub/dir/kelvane.dat")),
            QByteArray("alwaysontop=True\r\nclientsize=MED\r\noverwrite=False\r\n"
                       "showsavedimage=False\r\nfirstuse=False\r\nwindowsfolder=/win dir \r\n"
                       "left= 7680\r\ntop=-150\r\nplayconfirmsound=False\r\nshowhistory=False\r\n"
                       "alwayspromptfiledelete=False\r\ndeletehistoryonclose=False\r\n"
                       "showsavesrrormessage=True\r\nloadappwhencomputerstarts=False\r\n"
                       "autoincrementsavedfiles=False\r\ncorrectquerystringnames=False\r\n"
                       "synchronizewithinternetexplorer=True\r\n\r\n\r\n\r\n\r\n"
                       "/a\r\n\r\n/b c\r\n\r\n\r\n\r\n\r\n\r\n\r\n/z\r\n"));
        // A text with a line feed would shift every later line; it is written as an empty line.
        slots[8] = "/x\n/y";
        QVERIFY(SettingsFile(file()).SaveSettings(s, slots));
        QCOMPARE(readBytes(file()).split('\n').size(), 32);
    }

    // One line of the baseline replaced; only the named value may differ from the baseline's.
    void oneLine_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, int line, const QByteArray& text, const char* field,
                            const QString& expected) {
            QTest::newRow(name) << line << text << QString(field) << expected;
        };
        row("key in capitals", 1, "AlwaysOnTop=TRUE", "bAlwaysOnTop", "true");
        row("key after value", 1, " True alwaysontop=", "bAlwaysOnTop", "true");
        row("no key", 1, "true", "bAlwaysOnTop", "true");
        row("tab is no blank", 1, "alwaysontop=\ttrue", "bAlwaysOnTop", "false");
        row("key removed once", 1, "alwaysontop=alwaysontop=True", "bAlwaysOnTop", "false");
        row("size trimmed, upper case", 2, "ClientSize= large ", "sClientSize", "LARGE");
        row("line 4", 4, "showsavedimage=True", "bShowSavedImage", "true");
        row("first use: no", 5, "firstuse=no", "bFirstUse", "true");
        row("first use: blanks", 5, "firstuse= false ", "bFirstUse", "false");
        row("windows folder blanks kept", 6, "windowsfolder=/win  ", "sWindowsFolder", "/win  ");
        row("windows folder empty", 6, "windowsfolder=", "sWindowsFolder", "/earlier");
        row("left one below bound", 7, "left=18999", "WindowLeft", "18999.000");
        row("left at bound", 7, "left= 19000", "WindowLeft", "500.000");
        row("left floored", 7, "left=  12.7  ", "WindowLeft", "12.000");
        row("left floored down", 7, "left=-0.5", "WindowLeft", "-1.000");
        row("left not a number", 7, "left=abc", "WindowLeft", "4321.000");
        row("left exponent", 7, "left=1e3", "WindowLeft", "4321.000");
        row("left huge", 7, "left=99999999999999", "WindowLeft", "500.000");
        row("top one below bound", 8, "top=15159", "WindowTop", "15159.000");
        row("top at bound", 8, "top=15160", "WindowTop", "100.000");
        row("history", 10, "showhistory=True", "bShowHistory", "true");
        row("error message", 13, "SHOWSAVESRRORMESSAGE=True", "bShowSaveErrorMessage", "true");
        row("error message, other spelling", 13, "showsaveerrormessage=True",
            "bShowSaveErrorMessage", "false");
        row("slot 4 blanks kept", 27, " /trail  ", "slot4", " /trail  ");
        row("slot keeps key text", 30, "alwaysontop=True", "slot1", "alwaysontop=True");
        row("NUL after flag", 1, QByteArray("alwaysontop=True\0", 17), "bAlwaysOnTop", "false");
        row("invalid UTF-8 in folder", 6,
            "windowsfolder=/a\xff"
            "b",
            "sWindowsFolder", "/a\uFFFDb");
        row("byte order mark", 1,
            "\xEF\xBB\xBF"
            "alwaysontop=True",
            "bAlwaysOnTop", "true");
        row("5 MB windows folder", 6, QByteArray(5 << 20, 'x'), "sWindowsFolder", "/earlier");
        row("5 MB slot", 25, QByteArray(5 << 20, '/'), "slot6", "");
        const QByteArray limit(SettingsFile::kMaxLineBytes, 'y');
        row("slot at the length limit", 24, limit, "slot7", QString::fromLatin1(limit));
    }

    void oneLine() {
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QByteArrayList lines = kBaseline;
        lines[line - 1] = text;
        write(joined(lines));
        Fields wanted = baselineFields();
        wanted[field] = expected;
        if (field == "bSynchronizeWithInternetExplorer")
            wanted["enableTimer5"] = expected;
        compareFields(loadPreset(), wanted);
    }

    void laterFlagsOnlySwitchOn() {
        write(joined(kBaseline));
        AppState on = presetState();
        on.bShowHistory = on.bAlwaysPromptFileDelete = on.bDeleteHistoryOnClose =
            on.bShowSaveErrorMessage = on.bLoadAppWhenComputerStarts = on.bAutoIncrementSavedFiles =
                on.bCorrectQueryStringNames = on.bSynchronizeWithInternetExplorer = true;
        Fields wanted = baselineFields();
        for (int i = 5; i < 13; ++i)
            wanted[kFlagNames[i]] = "true";
        compareFields(loadPreset(on), wanted);
    }

    // A line that cannot be read repeats what the previous line left in the buffer.
    void shortFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("trueFlags");
        QTest::addColumn<int>("readSlots"); // slots 9 down to 10 - readSlots come from the file
        QByteArrayList ten = kBaseline.mid(0, 10);
        ten[9] = "showhistory=True";
        const QStringList fromHistory = kFlagNames.mid(5); // bShowHistory onwards
        QTest::newRow("ends after showhistory=True") << joined(ten) << fromHistory << 0;
        QTest::newRow("same without line end") << joined(ten).chopped(2) << fromHistory << 0;
        QTest::newRow("ends after line 26") << joined(kBaseline.mid(0, 26)) << QStringList() << 5;
        QTest::newRow("whole file, no last line end")
            << joined(kBaseline).chopped(2) << QStringList() << 10;
        QTest::newRow("10,000 lines")
            << joined(kBaseline + QByteArrayList(9969, "alwaysontop=True")) << QStringList() << 10;
    }

    void shortFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, trueFlags);
        QFETCH(int, readSlots);
        write(bytes);
        Fields wanted = baselineFields();
        for (const QString& flag : trueFlags)
            wanted[flag] = "true";
        for (int slot = 9 - readSlots; slot >= 0; --slot)
            wanted[QStringLiteral("slot%1").arg(slot)] = QStringLiteral("old%1").arg(slot);
        compareFields(loadPreset(), wanted);
    }

    void missingFile_data() {
        QTest::addColumn<bool>("folderInPlace");
        QTest::newRow("no file") << false;
        QTest::newRow("a folder in its place") << true;
    }

    void missingFile() {
        QFETCH(bool, folderInPlace);
        if (folderInPlace)
            QVERIFY(QDir(m_dir->path()).mkdir("kelvane.dat"));
        AppState s = presetState();
        s.bAlwaysOnTop = s.bAutomaticallyOverwrite = s.bShowSavedImage = s.bPlayConfirmSound = true;
        s.sClientSize = "LARGE";
        Fields wanted = fields(presetState(), presetSlots(), {});
        wanted["bFirstUse"] = "true";
        compareFields(loadPreset(s), wanted);
    }

    void lineFeedOnly() {
        QByteArrayList lines = kBaseline;
        lines[0] = "alwaysontop=True";
        lines[6] = "left=-150";
        lines[16] = "synchronizewithinternetexplorer=True";
        lines[22] = "";
        Fields wanted = baselineFields();
        wanted["bAlwaysOnTop"] = wanted["bSynchronizeWithInternetExplorer"] = "true";
        wanted["enableTimer5"] = "true";
        wanted["WindowLeft"] = "-150.000";
        wanted["slot8"] = "";
        for (const char* end : {"\r\n", "\n"}) {
            write(joined(lines, end));
            compareFields(loadPreset(), wanted);
        }
    }

    void badFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray noise;
        QRandomGenerator random(20240611);
        while (noise.size() < 256 * 1024) {
            const char c = char(random.bounded(256));
            if (c != '\n')
                noise += c;
        }
        QTest::newRow("random bytes, one line") << noise;
        QTest::newRow("NUL bytes only") << QByteArray(70000, '\0');
    }

    // A file of one line of garbage: every setting line sees the same unusable value.
    void badFile() {
        QFETCH(QByteArray, bytes);
        write(bytes);
        Fields wanted = fields(presetState(), presetSlots(), {});
        wanted["bFirstUse"] = "true";
        Fields got = loadPreset();
        QVERIFY(!got.value("sWindowsFolder").isEmpty());
        got.remove("sWindowsFolder");
        got.remove("sClientSize");
        wanted.remove("sWindowsFolder");
        wanted.remove("sClientSize");
        compareFields(got, wanted);
    }

    void formatNumber_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("positive") << 7680.0 << " 7680";
        QTest::newRow("negative") << -150.0 << "-150";
        QTest::newRow("negative zero") << -0.0 << " 0";
        QTest::newRow("negative fraction") << -0.25 << "-0.25";
        QTest::newRow("large, no exponent") << 1e15 << " 1000000000000000";
    }

    void formatNumber() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(SettingsFile::formatNumber(value), text);
    }

    void saveWhereParentIsAFile() {
        writeFile(file("blocker"), "not a folder");
        QVERIFY(!SettingsFile(file("blocker/sub/kelvane.dat")).SaveSettings(AppState(), Slots()));
        QCOMPARE(readBytes(file("blocker")), QByteArray("not a folder"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"blocker"});
    }

    void failedWriteKeepsOldFile() {
        AppState s;
        s.sWindowsFolder = "/old";
        QVERIFY(SettingsFile(file()).SaveSettings(s, Slots()));
        const QByteArray before = readBytes(file());
        s.sWindowsFolder = "/new";

        bool saved = true;
        {
            const FileSizeLimit limit(8);
            saved = SettingsFile(file()).SaveSettings(s, Slots());
        }
        QVERIFY(!saved);
        QCOMPARE(readBytes(file()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"kelvane.dat"});
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
