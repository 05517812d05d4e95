// The folder list as the user changes it, and the window sizes, against the fake platform.
#include "app/frmMain.h"
#include "platform/fake/FakePlatform.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvane;

class TestFolderCommands : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<frmMain> main_;

    QString folder(const QString& name) const {
        const QString path = dir_.path() + QLatin1Char('/') + name;
        QDir().mkpath(path);
        return path;
    }
    QString documents() const { return dir_.path() + QStringLiteral("/Documents"); }
    int clicks() const {
        return platform_->soundsPlayed.filter(QStringLiteral("click.wav")).size();
    }
    QStringList slotTexts() const {
        QStringList texts;
        for (const QString& s : main_->FolderList().raw())
            texts << s;
        return texts;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(documents());
        platform_ = std::make_unique<FakePlatform>();
        platform_->state = dir_.path() + QStringLiteral("/state");
        platform_->resources = dir_.path() + QStringLiteral("/share");
        platform_->specialFolders[Platform::SpecialFolder::Documents] = documents();
        state_ = std::make_unique<AppState>();
        state_->sClientSize = QStringLiteral("MED");
        main_ = std::make_unique<frmMain>(*platform_, *state_);
        main_->layOutClient();
    }

    void cleanup() { main_.reset(); }

    void addingFillsTheFirstGap() {
        for (int i : {0, 1, 2, 4, 5, 6, 7, 8})
            main_->FolderList().setSlot(i, folder(QString::number(i)));
        platform_->folderDialogAnswers = {folder(QStringLiteral("new"))};
        main_->menus().mnuAddFolder2->trigger();
        QCOMPARE(main_->FolderList().slot(3), folder(QStringLiteral("new")));
        QCOMPARE(clicks(), 3); // the menu's, then two around the dialog
        QCOMPARE(platform_->calls.filter(QStringLiteral("browseForFolder")),
                 QStringList{"browseForFolder: Select A Folder to add to the Folders List:: " +
                             documents()});
        // The fourth label, directly under the third.
        const auto& labels = main_->controls().Text;
        QVERIFY(labels[3]->isVisibleTo(main_.get()));
        QCOMPARE(labels[3]->y(), labels[2]->geometry().bottom() + 1);
        QCOMPARE(labels[4]->y(), labels[3]->geometry().bottom() + 1);
    }

    void addingAnswersEachCase_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("message");
        const QString a = QStringLiteral("/data/a");
        const QString dup = "This folder already exists in the Folders list.";
        QTest::newRow("cancel") << QStringList{a} << "" << QStringList{a} << "";
        QTest::newRow("duplicate") << QStringList{a} << a << QStringList{a} << dup;
        QTest::newRow("duplicate with a trailing slash")
            << QStringList{a} << a + "/" << QStringList{a} << dup;
        QTest::newRow("other letter case is another folder")
            << QStringList{a} << "/data/A" << QStringList{a, "/data/A"} << "";
        QTest::newRow("root stays root") << QStringList{} << "/" << QStringList{"/"} << "";
        QStringList ten;
        for (int i = 0; i < 10; ++i)
            ten << QStringLiteral("/data/%1").arg(i);
        QTest::newRow("limit") << ten << "/data/x" << ten << "Limit of 10 folders has been reached";
    }

    void addingAnswersEachCase() {
        QFETCH(QStringList, before);
        QFETCH(QString, chosen);
        QFETCH(QStringList, after);
        QFETCH(QString, message);
        for (int i = 0; i < before.size(); ++i)
            main_->FolderList().setSlot(i, before[i]);
        if (!chosen.isEmpty())
            platform_->folderDialogAnswers = {chosen};
        main_->folderCommands().AddFolder();
        while (after.size() < 10)
            after << QString();
        QCOMPARE(slotTexts(), after);
        QCOMPARE(platform_->messageBoxes.isEmpty(), message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(platform_->messageBoxes[0].text, message);
            QCOMPARE(platform_->messageBoxes[0].title, QStringLiteral("Kelvane"));
        }
    }

    void removingAsks_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QString>("secondMessage");
        QTest::newRow("confirmed") << "/data/b" << int(Platform::Answer::Yes) << true << "";
        QTest::newRow("declined") << "/data/b" << int(Platform::Answer::No) << false << "";
        QTest::newRow("documents folder") << "<documents>" << int(Platform::Answer::Yes) << false
                                          << "This folder cannot be removed";
        QTest::newRow("documents in another case")
            << "<DOCUMENTS>" << int(Platform::Answer::Yes) << true << "";
    }

    void removingAsks() {
        QFETCH(QString, path);
        QFETCH(int, answer);
        QFETCH(bool, removed);
        QFETCH(QString, secondMessage);
        path.replace(QLatin1String("<documents>"), documents());
        path.replace(QLatin1String("<DOCUMENTS>"), documents().toUpper());
        for (int i = 0; i < 7; ++i)
            main_->FolderList().setSlot(i, QStringLiteral("/data/%1").arg(i));
        main_->FolderList().setSlot(4, path);
        main_->layOutClient();
        main_->iCurrentLabel = 4;
        platform_->messageBoxAnswers = {Platform::Answer(answer)};
        main_->menus().mnuDelete->trigger();

        const auto& question = platform_->messageBoxes.value(0);
        QCOMPARE(question.title, QStringLiteral("Confirm Removal"));
        QCOMPARE(question.text, "Are you sure you want to delete the folder \"" + path +
                                    "\" \r\nfrom the Folders List?");
        QCOMPARE(question.buttons, Platform::Buttons::YesNo);
        QCOMPARE(question.icon, Platform::Icon::Exclamation);
        QCOMPARE(platform_->messageBoxes.value(1).text, secondMessage);
        QCOMPARE(main_->FolderList().slot(4).isEmpty(), removed);
        QCOMPARE(main_->FolderList().slot(5), QStringLiteral("/data/5")); // others keep numbers
        QCOMPARE(main_->controls().Text[4]->isVisibleTo(main_.get()), !removed);
    }

    void vanishedFoldersAreReportedInSlotOrder() {
        main_->FolderList().setSlot(1, folder("keep"));
        main_->FolderList().setSlot(3, dir_.path() + "/gone-three");
        main_->FolderList().setSlot(6, folder(".hidden"));
        main_->FolderList().setSlot(8, dir_.path() + "/gone-eight");
        // Ticks while the first message is open start no second check.
        int open = 0;
        platform_->whileMessageBoxOpen = [&](const FakePlatform::MessageBoxCall&) {
            if (open++ == 0)
                QTest::qWait(60);
        };
        main_->Timer1.start(5);
        QTRY_COMPARE(platform_->messageBoxes.size(), 3);
        QTest::qWait(50);
        main_->Timer1.stop();
        QCOMPARE(platform_->messageBoxes.size(), 3);
        QCOMPARE(platform_->messageBoxes[0].text,
                 "The folder " + dir_.path() +
                     "/gone-three no longer exists on your computer and has been removed from "
                     "the Folders List.");
        QVERIFY(
            platform_->messageBoxes[1].text.startsWith("The folder " + dir_.path() + "/.hidden "));
        QVERIFY(platform_->messageBoxes[2].text.startsWith("The folder " + dir_.path() +
                                                           "/gone-eight "));
        QCOMPARE(slotTexts().join('|'), "|" + folder("keep") + "||||||||");
    }

    void sizeCommandsCheckOneAndPlayTheirCue_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("cue");
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("width");
        const auto row = [](const char* name, const char* before, const char* command,
                            const char* cue, const char* size, int width) {
            QTest::newRow(name) << QString(before) << QString(command) << QString(cue)
                                << QString(size) << width;
        };
        row("small", "MED", "mnuSmall", "shrink", "SMALL", 45);
        row("normal from large", "LARGE", "mnuNormal", "shrink", "MED", 73);
        row("normal from normal", "MED", "mnuNormal", "enlarge", "MED", 73);
        row("large", "SMALL", "mnuLarge", "enlarge", "LARGE", 97);
    }

    void sizeCommandsCheckOneAndPlayTheirCue() {
        QFETCH(QString, before);
        QFETCH(QString, command);
        QFETCH(QString, cue);
        QFETCH(QString, size);
        QFETCH(int, width);
        const MainMenus& m = main_->menus();
        m.mnuSmall->setChecked(before == "SMALL");
        m.mnuNormal->setChecked(before == "MED");
        m.mnuLarge->setChecked(before == "LARGE");
        main_->FolderList().setSlot(0, "/data/a");
        main_->FolderList().setSlot(2, "/data/b");
        main_->findChild<QAction*>(command)->trigger();
        QCOMPARE(platform_->soundsPlayed,
                 QStringList{platform_->resources + "/res/" + cue + ".wav"});
        QCOMPARE(state_->sClientSize, size);
        int checked = 0;
        for (QAction* a : {m.mnuSmall, m.mnuNormal, m.mnuLarge})
            checked += a->isChecked();
        QCOMPARE(checked, 1);
        QVERIFY(main_->findChild<QAction*>(command)->isChecked());
        QCOMPARE(main_->width(), width);
        const int labelHeight = main_->controls().Text[0]->height();
        QCOMPARE(main_->height(), width + 2 * labelHeight);
    }

    void alwaysOnTopTogglesTheBand() {
        state_->bAlwaysOnTop = true;
        main_->menus().mnuAlwaysOnTop->setChecked(true);
        main_->menus().mnuAlwaysOnTop->trigger();
        QVERIFY(!state_->bAlwaysOnTop);
        QVERIFY(!main_->menus().mnuAlwaysOnTop->isChecked());
        QCOMPARE(platform_->topmost.value(main_.get()), false);
        main_->menus().mnuAlwaysOnTop->trigger();
        QVERIFY(state_->bAlwaysOnTop);
        QCOMPARE(platform_->topmost.value(main_.get()), true);
        QCOMPARE(clicks(), 2);
    }

    void hoverFollowsTheCursor() {
        main_->FolderList().setSlot(0, "/data/a");
        main_->FolderList().setSlot(3, "/data/d");
        main_->layOutClient();
        main_->move(200, 200);
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
        QLineEdit* label = main_->controls().Text[3];
        const QColor yellow(255, 230, 22);
        platform_->cursor = label->mapToGlobal(label->rect().center());
        main_->hover().Timer3_Timer();
        QCOMPARE(main_->iCurrentLabel, std::int16_t(3));
        QCOMPARE(label->palette().color(QPalette::Base), yellow);
        QCOMPARE(label->toolTip(), QStringLiteral(" Drag image here to save to \"/data/d\" "));
        QCOMPARE(main_->controls().Text[0]->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(main_->hover().MouseIsOverLabel());

        // Over the picture: every label white, the current label kept.
        platform_->cursor = main_->controls().Image1->mapToGlobal(QPoint(5, 5));
        main_->hover().Timer3_Timer();
        QCOMPARE(label->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(main_->iCurrentLabel, std::int16_t(3));
        QVERIFY(!main_->hover().MouseIsOverLabel());
    }

    void doubleClickOpensTheFolderAsOneArgument() {
        main_->FolderList().setSlot(2, "/data/my pictures \"best\"");
        main_->iCurrentLabel = 2;
        main_->folderCommands().Text_DblClick();
        QCOMPARE(platform_->calls.filter("openPath"),
                 QStringList{"openPath: /data/my pictures \"best\""});
        QVERIFY(platform_->messageBoxes.isEmpty());

        main_->iCurrentLabel = -1;
        main_->folderCommands().Text_DblClick();
        QCOMPARE(platform_->messageBoxes.value(0).text,
                 QStringLiteral("This folder could not be opened"));
        QCOMPARE(platform_->messageBoxes.value(0).icon, Platform::Icon::Critical);
    }

    void labelsAreDisabledWhileTheirMenuIsOpen() {
        main_->FolderList().setSlot(0, "/data/a");
        main_->layOutClient();
        main_->show();
        bool disabledWhileOpen = false;
        QTimer::singleShot(100, [&] {
            disabledWhileOpen =
                !main_->controls().Text[0]->isEnabled() && !main_->controls().Text[9]->isEnabled();
            main_->menus().mnuFolders->close();
        });
        main_->folderCommands().showFoldersMenu();
        QVERIFY(disabledWhileOpen);
        QVERIFY(main_->controls().Text[0]->isEnabled());
    }
};

QTEST_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
