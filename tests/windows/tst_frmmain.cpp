// The client window against the fake platform, start-up to shut-down.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

struct SaveCase {
    QString control; // dropped on: a label saves into its folder, the rest into the Desktop
    QString source;  // a picture, what stands in its place, its path only as text ("no file"),
                     // or a browser's picture whose file arrives "later"
    bool showSaved;  // the saved picture shows in the client
    bool quiet;      // no sound, no error message
    QString shows;   // the picture or the background, and the icon in front
    QString cue;     // the cue played, if any
    QString message; // the start of the message shown, if any
};

struct ManualCase {
    QString control, source;
    QString answer;   // typed ("" cancels); "off": the cursor leaves; "throw": the dialog fails
    QString existing; // a file there already, and the answer to "Replace File?"
    QString dialog;   // the dialog's type entry and folder
    QString savedAs;
};
Q_DECLARE_METATYPE(SaveCase)
Q_DECLARE_METATYPE(ManualCase)

class TestFrmMain : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList checkedSizes() const {
        QStringList names;
        for (QAction* a : f.main->menus().mnuSmall->actionGroup()->actions())
            if (a->isChecked())
                names << a->objectName();
        return names;
    }
    QString shown() const { // the saved picture or the background, and the icon in front
        return (f.main->showsBackground() ? "background " : "picture ") +
               QString::number(f.iconInFront());
    }
    QString expand(QString path) const { // ~ the Desktop, @ the documents folder
        return path.replace("@", f.documents()).replace("~", f.desktop());
    }
    void dragOver(const QString& control, const QMimeData& data, bool drop) {
        QWidget* target = f.main->findChild<QWidget*>(control);
        const Qt::DropActions offer = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter({3, 3}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped({4, 4}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QDragLeaveEvent leave;
        for (QEvent* event :
             {static_cast<QEvent*>(&enter), drop ? static_cast<QEvent*>(&dropped) : &leave}) {
            QApplication::sendEvent(target, event);
            if (event != &leave) // offered as a move, answered as a copy
                QCOMPARE(static_cast<QDropEvent*>(event)->dropAction(), Qt::CopyAction);
        }
    }

private Q_SLOTS:
    void init() { f.reset(); }

    void startUp_data() {
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("first run, from the menu") << true << "";
        QTest::newRow("previous run, unknown size, history shown") << false << "";
        QTest::newRow("first run, at login") << true << "hidden";
        QTest::newRow("first run, HIDDEN is no login") << true << "HIDDEN";
    }
    void startUp() {
        QFETCH(bool, firstRun);
        QFETCH(QString, commandLine);
        f.fake->commandLineText = commandLine;
        frmMain& w =
            firstRun
                ? f.load()
                : f.load({"alwaysontop=False", "clientsize=HUGE", "showsavedimage=False",
                          "left= 1500", "top= 3000", "playconfirmsound=False", "showhistory=True"},
                         {f.documents(), "", f.folder("x")});
        QCOMPARE(checkedSizes(), firstRun ? QStringList{"mnuNormal"} : QStringList());
        QCOMPARE(w.size(), QSize(73, 73 + (firstRun ? 1 : 2) * 16));
        QCOMPARE(w.pos(), firstRun ? QPoint(647, 505) : QPoint(100, 200)); // centre + 100 twips
        for (const char* item :
             {"mnuAlwaysOnTop", "mnuPlayConfirmationSound", "mnuShowSavedIMageInClient"})
            QCOMPARE(w.findChild<QAction*>(item)->isChecked(), firstRun);
        QCOMPARE(f.fake->topmost.value(&w), firstRun);
        QCOMPARE(f.fake->autostartWritten, firstRun); // starts with the session
        QVERIFY(f.fake->trayShown && f.fake->messageBoxes.isEmpty());
        QVERIFY(w.Timer1.isActive() && !w.Timer3.isActive()); // hover poll: pointer on client
        QVERIFY(!w.Timer2.isActive() && !w.Timer4.isActive());
        QCOMPARE(w.Timer5.isActive(), firstRun);
        QCOMPARE(QFile::exists(f.settingsFile()), !firstRun); // nothing written before the end
        frmSplash* splash = w.splash();
        QCOMPARE(splash->isVisible(), commandLine.isEmpty());
        QVERIFY(!w.isVisible() && !w.isEnabled() && f.state->bStartupInProgress);
        QCOMPARE(splash->Label5->text() + '|' + splash->Label2->text(),
                 "Version 1.1|Build Number: 24");
        QCOMPARE(splash->Label5->font().pointSizeF(), 9.75);
        QCOMPARE(splash->Label4->font().pointSizeF(), 14.25);
        // A border: the picture leaves one pixel of the window's own colour all round.
        QCOMPARE(splash->findChild<QLabel*>("picture")->geometry(),
                 splash->rect().adjusted(1, 1, -1, -1));
        QString atHello; // the client shown and the splash gone by the greeting, the history too
        f.fake->whileSoundPlays = [&](const QString& wav) {
            if (wav == f.cue("hello"))
                atHello = QString("client %1, splash %2, history %3")
                              .arg(w.isVisible())
                              .arg(splash->isVisible())
                              .arg(w.history() && w.history()->isVisible());
        };
        splash->setSplashDuration(10);
        QTRY_VERIFY(!f.state->bStartupInProgress);
        QVERIFY(w.isEnabled() && w.isVisible() == (commandLine != "hidden"));
        QTRY_COMPARE(f.fake->soundsPlayed.contains(f.cue("hello")), commandLine.isEmpty());
        QCOMPARE(atHello, commandLine.isEmpty()
                              ? QString("client 1, splash 0, history %1").arg(!firstRun)
                              : QString());
    }

    void hiddenStartShowsOnceForTheBrowser() {
        // Following shows the client before the hand-over: the hand-over leaves it there.
        f.fake->commandLineText = "hidden";
        frmMain& w = f.load({"synchronizewithinternetexplorer=True"});
        QTRY_VERIFY_WITH_TIMEOUT(w.isVisible(), 3000);
        w.splash()->setSplashDuration(1);
        QTRY_VERIFY(!f.state->bStartupInProgress);
        QTest::qWait(200);
        QVERIFY(w.isVisible() && !w.isMinimized());
    }

    void vanishedFoldersAtStartUp() {
        // Each reported, defaults back; hand-over and greeting wait for the messages.
        bool shownDuringMessage = false;
        f.fake->whileMessageBoxOpen = [&](const FakePlatform::MessageBoxCall& box) {
            QVERIFY2(box.text.startsWith("The folder "), qPrintable(box.text.left(80)));
            f.main->splash()->setSplashDuration(1);
            QTest::qWait(50);
            shownDuringMessage |= f.main->isVisible();
        };
        frmMain& w = f.load({"clientsize=MED"},
                            {f.path("gone1"), "", f.path("gone2"), QString(100 * 1024, 'x')});
        QCOMPARE(f.fake->messageBoxes.size(), 3);
        QCOMPARE(w.FolderList().raw()[0], f.documents());
        QCOMPARE(w.height(), 73 + 16);
        QVERIFY(!shownDuringMessage);
        QTRY_VERIFY(f.fake->soundsPlayed.contains(f.cue("hello")));
        QVERIFY(w.isVisible() && w.isEnabled());
    }

    void feedbackOfASave_data() {
        QTest::addColumn<SaveCase>("c");
        const QString error = "There was an error while saving this resource. Save image files "
                              "only. \r\n",
                      unshown = "Could not load the Image.";
        QTest::newRow("saved, shown")
            << SaveCase{"Image1", "picture", true, false, "picture 1", "saved", ""};
        QTest::newRow("saved on the status icon, quiet")
            << SaveCase{"imgIcon(2)", "picture", true, true, "picture 1", "", ""};
        QTest::newRow("saved on a label, not shown")
            << SaveCase{"Text(0)", "picture", false, false, "background 1", "", ""};
        QTest::newRow("saved, cannot be shown")
            << SaveCase{"Image1", "not a picture", true, false, "background 1", "saved", unshown};
        QTest::newRow("a browser's file arriving later")
            << SaveCase{"Image1", "later", true, false, "picture 1", "saved", ""};
        QTest::newRow("failed") << SaveCase{"Image1",       "missing", true, false,
                                            "background 2", "uhoh",    error};
        QTest::newRow("failed, quiet")
            << SaveCase{"Image1", "missing", true, true, "background 2", "", ""};
        QTest::newRow("no file") << SaveCase{"Image1",       "no file", true, false,
                                             "background 2", "uhoh",    error};
        QTest::newRow("declined") << SaveCase{
            "Image1", "same name", true, false, "background 2", "", "This file already exists"};
    }
    void feedbackOfASave() {
        QFETCH(SaveCase, c);
        const auto& [control, source, showSaved, quiet, shows, cue, message] = c;
        frmMain& w = f.load();
        f.handOver();
        QTRY_VERIFY(f.fake->soundsPlayed.contains(f.cue("hello")));
        f.fake->soundsPlayed.clear();
        QAction* clearHistory = w.menus().mnuClearHistory;
        QVERIFY(!clearHistory->isEnabled()); // nothing to clear yet
        f.state->bShowSavedImage = showSaved;
        f.state->bPlayConfirmSound = f.state->bShowSaveErrorMessage = !quiet;
        f.state->bAutoIncrementSavedFiles = false;
        const QString file = f.picture("cat[1].jpg"),
                      target = (control == "Text(0)" ? f.documents() : f.desktop()) + "/cat.jpg";
        if (source == "not a picture")
            writeFile(file, "no picture at all");
        if (source == "missing")
            QFile::remove(file);
        if (source == "same name")
            writeFile(target, "old");
        QString shownDuringCue; // the picture and the status icon are painted before a cue
        f.fake->whileSoundPlays = [&](const QString&) {
            shownDuringCue = shown();
            w.controls().Image1->grab();
        };
        const QString idleTip = w.controls().imgIcon[1]->toolTip();
        Platform::DropHandlers pending;
        if (source == "later")
            f.fake->dropScript = [&](const QMimeData*, Platform::DropHandlers h) { pending = h; };
        QMimeData data;
        source == "no file" ? data.setText(file)
                            : data.setUrls({source == "later" ? QUrl("http://127.0.0.1/cat.jpg")
                                                              : QUrl::fromLocalFile(file)});
        dragOver(control, data, true);
        if (source == "later") { // a busy pointer and a progress bar until the file is there
            QVERIFY(f.fake->busy && pending.done);
            pending.progress(1000, 4000);
            QTRY_VERIFY(w.findChild<QWidget*>("prgDrop")->isVisible());
            pending.done(file, "Re-encoded."); // a remark on the file ends the saved tooltip
            QVERIFY(!f.fake->busy && !w.findChild<QWidget*>("prgDrop")->isVisible());
        }
        if (source != "no file") // for a manual save after all
            QCOMPARE(w.pendingDrop().sTempSaveAsFilename, file);
        QCOMPARE(QFile::exists(file), source != "missing");

        QCOMPARE(shown(), shows);
        QCOMPARE(f.fake->soundsPlayed, cue.isEmpty() ? QStringList() : QStringList{f.cue(cue)});
        QCOMPARE(shownDuringCue, cue.isEmpty() ? QString() : shows);
        QCOMPARE(f.fake->messageBoxes.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(f.fake->messageBoxes.value(0).text.left(message.size()), message);
        QCOMPARE(w.Timer2.isActive(), showSaved); // the idle look back after a changed look
        const bool saved = shows.endsWith('1');
        // A manual save only after a failure that left a file.
        QCOMPARE(w.Timer4.isActive(), !saved && source != "no file");
        const QString tip = " This image was saved to \"" + target + "\" " +
                            (source == "later" ? "Re-encoded. " : "");
        QCOMPARE(w.controls().imgIcon[1]->toolTip(), saved ? tip : idleTip);
        QCOMPARE(clearHistory->isEnabled(), saved);
        if (!saved) { // a failure says why beside the failed icon
            const QString why = w.controls().imgIcon[2]->toolTip();
            QCOMPARE(why.startsWith(" This image was not saved: "), source != "same name");
            QVERIFY(source != "no file" || why == " This image was not saved: no file ");
            return;
        }
        QCOMPARE(readBytes(target), readBytes(file));
        QCOMPARE(w.controls().Image1->toolTip(), tip);
        QCOMPARE(readLines(f.historyFile()), QStringList{target});
        clearHistory->trigger();
        QVERIFY(w.historyList().isEmpty());
        QCOMPARE(readBytes(f.historyFile()), QByteArray());
    }

    void idleLookAfterTheLastSuccess() {
        // Timer2 brings the idle look back after the last success; a failure does not restart it.
        frmMain& w = f.load();
        w.Timer2.setInterval(60000);
        w.SaveImage(-1, f.picture("one.png"));
        QTRY_VERIFY(w.Timer2.isActive() && w.Timer2.remainingTime() < 58000);
        w.SaveImage(-1, f.path("cache/missing.png"));
        QVERIFY(w.Timer2.isActive() && w.Timer2.remainingTime() < 58000);
        w.SaveImage(-1, f.picture("two.png"));
        QVERIFY(w.Timer2.remainingTime() > 58000); // counted anew
        QFile::remove(f.desktop() + "/two.png");   // the user deleted it meanwhile
        f.fake->messageBoxes.clear();
        QTest::mouseDClick(w.controls().Image1, Qt::LeftButton);
        QCOMPARE(f.fake->messageBoxes.value(0).text, "File no longer exists in specified folder");
        w.Timer2.start(1);
        QTRY_VERIFY(w.showsBackground() && !w.Timer2.isActive());
        QCOMPARE(f.iconInFront(), 0);
        QCOMPARE(w.controls().Image1->toolTip(), " Drag image here to save to \"Desktop\" ");
    }

    void labelsFollowTheListAndTheCursor() {
        frmMain& w = f.load({"clientsize=MED"},
                            {f.documents(), f.folder("1"), f.folder("2"), "", f.folder("4")});
        f.handOver();
        const auto& labels = w.controls().Text;
        // The labels shown stack under the picture, the window ending with the last one.
        const auto stacked = [&](const QList<int>& shown) {
            int y = 73;
            for (int i = 0; i < 10; ++i) {
                QCOMPARE(labels[i]->isVisible(), shown.contains(i));
                if (shown.contains(i))
                    QCOMPARE(std::exchange(y, y + labels[i]->height()), labels[i]->y());
            }
            QCOMPARE(w.height(), y);
        };
        stacked({0, 1, 2, 4});
        f.fake->folderDialogAnswers = {f.folder("new")};
        w.menus().mnuAddFolder2->trigger();
        QCOMPARE(labels[3]->text(), f.path("new")); // the first gap
        stacked({0, 1, 2, 3, 4});

        const QColor yellow(255, 230, 22), white(Qt::white);
        f.fake->cursor = labels[3]->mapToGlobal(labels[3]->rect().center());
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QApplication::sendEvent(&w, &leave);
        QTest::qWait(200);
        QCOMPARE(w.highlightedLabel(), -1); // the window has not heard the pointer come in
        QApplication::sendEvent(&w, &enter);
        QTRY_COMPARE(w.highlightedLabel(), 3);
        QCOMPARE(labels[3]->palette().color(QPalette::Base), yellow);
        QCOMPARE(labels[0]->palette().color(QPalette::Base), white);
        QCOMPARE(labels[3]->toolTip(), " Drag image here to save to \"" + f.path("new") + "\" ");
        // Over the picture: all white; the label stays the drop's target.
        f.fake->cursor = w.controls().Image1->mapToGlobal(QPoint(5, 5));
        QTRY_COMPARE(w.highlightedLabel(), -1);
        QCOMPARE(labels[3]->palette().color(QPalette::Base), white);
        QCOMPARE(w.pendingDrop().iCurrentLabel, 3);
        // Gone onto a window the X pointer does not follow: its stale position lights nothing,
        // and the poll stops; a drag lights the label it is over, wherever the pointer is said
        // to be.
        f.fake->cursor = labels[3]->mapToGlobal(labels[3]->rect().center());
        QTRY_COMPARE(w.highlightedLabel(), 3);
        QApplication::sendEvent(&w, &leave);
        QTRY_VERIFY(w.highlightedLabel() == -1 && !w.Timer3.isActive());
        QMimeData picture;
        picture.setUrls({QUrl::fromLocalFile(f.picture("cat.jpg"))});
        QDragEnterEvent over({3, 3}, Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(labels[1], &over);
        QTRY_COMPARE(w.highlightedLabel(), 1);
        // "Delete Folder From List" is about the label right-clicked, not the one hovered last.
        f.fake->messageBoxAnswers = {Platform::Answer::Yes};
        QTimer::singleShot(50, w.menus().mnuDelete, &QAction::trigger);
        QTimer::singleShot(80, [] {
            if (QWidget* menu = QApplication::activePopupWidget())
                menu->close();
        });
        QTest::mousePress(labels[1], Qt::RightButton);
        QCOMPARE(f.fake->messageBoxes.value(0).title, QStringLiteral("Confirm Removal"));
        QVERIFY(f.fake->messageBoxes.value(0).text.contains(f.path("1")));
        stacked({0, 2, 3, 4});
    }

    void menuCommands() {
        const QString holiday = f.folder("a/long/parent/folder/Holiday 2026");
        frmMain& w = f.load(
            {"clientsize=MED", "alwaysontop=True", "playconfirmsound=True", "showsavedimage=True"},
            {f.documents(), "", holiday});
        f.handOver();
        // The right button opens each control's menu (taps, drags and double-clicks are tested on
        // the real desktop).
        for (auto [control, menu] : {std::pair{"Text(2)", "mnuFolders"},
                                     {"Image1", "mnuFile"},
                                     {"imgIcon(0)", "mnuFile"}}) {
            QString popup;
            bool labelsEnabled = true;
            QTimer::singleShot(100, &w, [&] {
                if (QWidget* open = QApplication::activePopupWidget()) {
                    popup = open->objectName();
                    labelsEnabled = w.controls().Text[0]->isEnabled();
                    open->close();
                }
            });
            QTest::mouseClick(w.findChild<QWidget*>(control), Qt::RightButton);
            QTRY_COMPARE(popup, QString(menu));
            QCOMPARE(labelsEnabled, popup != "mnuFolders"); // not while their menu is open
            QVERIFY(w.controls().Text[0]->isEnabled());
        }
        // Each size from the size before it: its cue, its check mark, its square.
        QCOMPARE(checkedSizes(), QStringList{"mnuNormal"}); // as the file says
        const struct {
            const char *item, *cue;
            int side;
        } steps[] = {{"mnuSmall", "shrink", 45},
                     {"mnuLarge", "enlarge", 97},
                     {"mnuNormal", "shrink", 73},
                     {"mnuNormal", "enlarge", 73}};
        for (const auto& step : steps) {
            f.fake->soundsPlayed.clear();
            w.findChild<QAction*>(step.item)->trigger();
            QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue(step.cue)});
            QCOMPARE(checkedSizes(), QStringList{step.item});
            QCOMPARE(w.size(), QSize(step.side, step.side + 2 * w.controls().Text[0]->height()));
        }
        // A label too narrow for its path shows the folder's own name.
        QLineEdit* label = w.controls().Text[2];
        w.menus().mnuSmall->trigger();
        QCOMPARE(label->text(), holiday);
        label->grab(); // drawn, as on the screen
        const int firstShown = label->cursorPositionAt({0, label->height() / 2});
        QVERIFY2(firstShown > 0 && firstShown <= holiday.size() - 12,
                 qPrintable(holiday.mid(firstShown)));
        // Each setting's check mark follows it, with a click.
        for (auto [item, flag] : {std::pair{"mnuAlwaysOnTop", &AppState::bAlwaysOnTop},
                                  {"mnuPlayConfirmationSound", &AppState::bPlayConfirmSound},
                                  {"mnuShowSavedIMageInClient", &AppState::bShowSavedImage}}) {
            QAction* action = w.findChild<QAction*>(item);
            for (bool on : {false, true}) {
                f.fake->soundsPlayed.clear();
                action->trigger();
                QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue("click")});
                QCOMPARE((*f.state).*flag, on);
                QCOMPARE(action->isChecked(), on);
                QCOMPARE(f.fake->topmost.value(&w), flag != &AppState::bAlwaysOnTop || on);
            }
        }
    }

    void shutDown_data() {
        QTest::addColumn<bool>("fromOutside"); // a signal or the session, not a command
        QTest::addColumn<bool>("deleteHistory");
        // "state": a file where the state folder should be; or a settings file that is there but
        // cannot be read: a "folder", a "pipe", a dangling "link".
        QTest::addColumn<QString>("broken");
        QTest::newRow("exit, history kept") << false << false << "";
        QTest::newRow("exit, history deleted") << false << true << "";
        QTest::newRow("from outside, history deleted") << true << true << "";
        QTest::newRow("exit, nothing written: the settings error") << false << false << "state";
        QTest::newRow("from outside, nothing written: no message") << true << false << "state";
        QTest::newRow("settings a folder") << false << false << "folder";
        QTest::newRow("settings a pipe") << false << false << "pipe";
        QTest::newRow("settings a dangling link") << false << false << "link";
    }
    void shutDown() {
        QFETCH(bool, fromOutside);
        QFETCH(bool, deleteHistory);
        QFETCH(QString, broken);
        const QString saved = f.picture("cat.png");
        writeFile(f.historyFile(), (saved + "\r\n").toUtf8());
        const QByteArray name = QFile::encodeName(f.settingsFile());
        QVERIFY(broken == "folder" ? QDir().mkdir(f.settingsFile())
                : broken == "pipe" ? ::mkfifo(name.constData(), 0600) == 0
                : broken == "link" ? ::symlink("gone", name.constData()) == 0
                                   : true);
        frmMain& w = f.load();
        // An unreadable settings file is no first run: the user is told, the start-at-login
        // entry stays as it was and the file is not written over at the end.
        const bool unreadable = !broken.isEmpty() && broken != "state";
        QCOMPARE(f.fake->messageBoxes.size(), int(unreadable));
        QVERIFY(f.fake->autostartWritten != unreadable &&
                !f.fake->calls.contains("deleteAutostartEntry"));
        f.state->bDeleteHistoryOnClose = deleteHistory;
        // The tray icon goes first: the history file is still there while it does.
        bool historyThen = false;
        f.fake->whileTrayIconGoes = [&] { historyThen = QFile::exists(f.historyFile()); };
        f.fake->calls.clear();
        if (broken == "state") {
            QDir(f.fake->state).removeRecursively();
            writeFile(f.fake->state, "");
        }
        fromOutside ? f.fake->terminationHandler() : w.mnuExit_Click();
        QVERIFY(w.hasEnded());
        QCOMPARE(f.fake->messageBoxes.value(int(unreadable)).text,
                 broken != "state" || fromOutside
                     ? QString()
                     : "There was an error while saving the settings.");
        if (!broken.isEmpty()) {
            QVERIFY(!QFileInfo(f.settingsFile()).isFile()); // what was there is still there
            return;
        }
        // The farewell cue first, and only when the user asked.
        QCOMPARE(f.fake->calls.value(0) == "sound: " + f.cue("byebye"), !fromOutside);
        QVERIFY(f.fake->calls.contains("setTopmost: off"));
        QVERIFY(!f.fake->trayShown && historyThen);
        QCOMPARE(readLines(f.historyFile()), deleteHistory ? QStringList() : QStringList{saved});
        // The first run's defaults; always on top suspended, still recorded.
        const QStringList settings = readLines(f.settingsFile());
        QCOMPARE(settings.size(), 31);
        QCOMPARE(settings.mid(6, 2) << settings[0] << settings[11],
                 QStringList(
                     {"left= 9700", "top= 7580", "alwaysontop=True",
                      deleteHistory ? "deletehistoryonclose=True" : "deletehistoryonclose=False"}));
        QCOMPARE(settings[30], f.documents());
        const int calls = f.fake->calls.size();
        w.Form_Unload(); // a second unload (the window closing afterwards) does nothing
        QCOMPARE(f.fake->calls.size(), calls);
    }

    // Last: its fatal row ends the program's event loops, which would end later menus at once.
    void manualSave_data() {
        QTest::addColumn<ManualCase>("c");
        QTest::newRow("a name without type")
            << ManualCase{"Image1", "cat[1].jpg", "~/mine", "", "*.jpg: ~", "~/mine.jpg"};
        QTest::newRow("the typed name's file exists: No")
            << ManualCase{"Image1", "cat[1].jpg", "~/mine", "~/mine.jpg:No", "*.jpg: ~", ""};
        QTest::newRow("the typed name's file exists: Yes") << ManualCase{
            "Image1", "cat[1].jpg", "~/mine", "~/mine.jpg:Yes", "*.jpg: ~", "~/mine.jpg"};
        QTest::newRow("the dialog asked about another name: a blank after it")
            << ManualCase{"Image1", "cat[1].jpg", "~/mine.jpg ", "~/mine.jpg:No", "*.jpg: ~", ""};
        QTest::newRow("a gif typed as .bmp")
            << ManualCase{"Text(0)", "anim[1].gif", " @/x.bmp ", "", "*.gif: @", "@/x.gif"};
        QTest::newRow("another type stays in front")
            << ManualCase{"Image1", "cat[1].jpg", "~/p.png", "", "*.jpg: ~", "~/p.png.jpg"};
        QTest::newRow("cancelled") << ManualCase{"Image1", "cat[1].jpg", "", "", "*.jpg: ~", ""};
        QTest::newRow("cursor off the client")
            << ManualCase{"Image1", "cat[1].jpg", "off", "", "", ""};
        QTest::newRow("pointer on a Wayland window, its X position stale")
            << ManualCase{"Image1", "cat[1].jpg", "stale", "", "", ""};
        QTest::newRow("the dialog fails")
            << ManualCase{"Image1", "cat[1].jpg", "throw", "", "*.jpg: ~", ""};
    }
    void manualSave() {
        QFETCH(ManualCase, c);
        const auto& [control, source, answer, existing, dialog, savedAs] = c;
        frmMain& w = f.load();
        f.handOver();
        // A drag over the control whose drop fails: its file is gone by then.
        const QString file = f.picture(source);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        dragOver(control, data, false);
        QVERIFY(w.Timer4.isActive());
        const QString old = expand(existing.section(':', 0, 0));
        if (!existing.isEmpty()) {
            writeFile(old, "the user's own");
            f.fake->messageBoxAnswers = {existing.endsWith("Yes") ? Platform::Answer::Yes
                                                                  : Platform::Answer::No};
        }
        // "off": the pointer leaves; "stale": it leaves onto a window the X pointer does not
        // follow, its position left on the client.
        f.fake->cursor = answer == "off" ? w.geometry().bottomRight() + QPoint(2, 0)
                                         : w.geometry().bottomRight();
        QEvent crossing(answer == "off" || answer == "stale" ? QEvent::Leave : QEvent::Enter);
        QApplication::sendEvent(&w, &crossing);
        f.fake->saveDialogThrows = answer == "throw";
        f.fake->saveDialogAnswers = {expand(answer)};
        // Ticks go on while the dialog is open: still one dialog.
        f.fake->whileSaveDialogOpen = [] { QTest::qWait(60); };
        w.Timer4.setInterval(5);
        QTRY_VERIFY(!w.Timer4.isActive());
        const QString title = "saveFileDialog: Choose Folder and Name of Image File: ";
        QCOMPARE(f.fake->calls.filter("saveFileDialog"),
                 dialog.isEmpty() ? QStringList() : QStringList{title + expand(dialog)});
        if (!existing.isEmpty()) {
            QCOMPARE(f.fake->messageBoxes.value(0).title, "Replace File?");
            QCOMPARE(readBytes(old) == "the user's own", savedAs.isEmpty());
        }
        if (!savedAs.isEmpty())
            QCOMPARE(readBytes(expand(savedAs)), readBytes(file));
        QCOMPARE(f.iconInFront(), savedAs.isEmpty() ? 0 : 1);
        if (answer == "throw") { // the settings and history written, the end
            QVERIFY(w.hasEnded() && QFile::exists(f.settingsFile()));
            QVERIFY(f.fake->messageBoxes.last().text.startsWith(
                "There was an error while trying to manually save this image."));
        }
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
