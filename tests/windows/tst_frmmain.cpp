// The client window and its history window against the fake platform, start-up to shut-down.
#include "ClientFixture.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QUrl>

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct PaintWatch : QObject { // remembers which of the watched widgets have been painted
    QSet<QObject*> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted << watched;
        return false;
    }
};

const struct {
    const char *name, *item;
    bool AppState::*flag;
} kChecks[] = {
    {"always on top", "mnuAlwaysOnTop", &AppState::bAlwaysOnTop},
    {"confirmation sound", "mnuPlayConfirmationSound", &AppState::bPlayConfirmSound},
    {"saved image in the client", "mnuShowSavedIMageInClient", &AppState::bShowSavedImage}};

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList checkedSizes() const {
        QStringList names;
        for (QAction* a :
             {f.main->menus().mnuSmall, f.main->menus().mnuNormal, f.main->menus().mnuLarge})
            if (a->isChecked())
                names << a->objectName();
        return names;
    }
    QString shown() const { // the saved picture or the background, and the icon in front
        return (f.main->showsBackground() ? "background " : "picture ") +
               QString::number(f.iconInFront());
    }
    QString placeholders(QString text) const {
        return text.replace("@", f.documents()).replace("~", f.desktop());
    }

private Q_SLOTS:
    void init() { f.reset(); }

    // First run or previous run (unknown size: none checked); the command line: splash, greeting.
    void startUp_data() {
        addRows({"first run|", "previous run|", "first run|hidden", "first run|HIDDEN"});
    }
    void startUp() {
        QFETCH(QStringList, row);
        const bool firstRun = row[0] == "first run";
        const QString commandLine = row[1];
        f.fake->commandLineText = commandLine;
        frmMain& w = firstRun
                         ? f.load()
                         : f.load({"alwaysontop=False", "clientsize=HUGE", "showsavedimage=False",
                                   "left= 1500", "top= 3000", "playconfirmsound=False"},
                                  {f.documents(), "", f.folder("x")});
        QCOMPARE(checkedSizes(), firstRun ? QStringList{"mnuNormal"} : QStringList());
        QCOMPARE(w.size(), QSize(73, 73 + (firstRun ? 1 : 2) * 16));
        QCOMPARE(w.pos(), firstRun ? QPoint(647, 505) : QPoint(100, 200)); // centre + 100 twips
        for (const auto& check : kChecks)
            QCOMPARE(w.findChild<QAction*>(check.item)->isChecked(), firstRun);
        QCOMPARE(f.fake->topmost.value(&w), firstRun);
        QCOMPARE(f.fake->autostartWritten, firstRun); // starts with the session
        QVERIFY(f.fake->trayShown && f.fake->messageBoxes.isEmpty());
        // The folder check and the hover poll run from the start; Timer5 on the first run.
        QVERIFY(w.Timer1.isActive() && w.Timer3.isActive());
        QVERIFY(!w.Timer2.isActive() && !w.Timer4.isActive());
        QCOMPARE(w.Timer5.isActive(), firstRun);
        QCOMPARE(QFile::exists(f.settingsFile()), !firstRun); // nothing written before the end
        QCOMPARE(w.splash()->isVisible(), commandLine.isEmpty());
        QVERIFY(!w.isVisible() && !w.isEnabled() && f.state->bStartupInProgress);
        w.splash()->setSplashDuration(10);
        QTRY_VERIFY(!f.state->bStartupInProgress);
        QVERIFY(w.isEnabled() && w.isVisible() == (commandLine != "hidden"));
        QCOMPARE(w.isMinimized(), commandLine == "hidden");
        QCOMPARE(f.fake->soundsPlayed.contains(f.cue("hello")), commandLine.isEmpty());
    }

    void vanishedFoldersAtStartUp() {
        // Each reported, defaults back; hand-over and greeting wait for the messages, splash due.
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
        QTRY_VERIFY(w.isVisible() && w.isEnabled() && !f.state->bStartupInProgress);
        QVERIFY(f.fake->calls.indexOf("sound: " + f.cue("hello")) >
                f.fake->calls.lastIndexOf(QRegularExpression("messageBox: .*")));
    }

    // Source | show saved | quiet: no sound, no error message | what is shown then | cue | message.
    void feedbackOfASave_data() {
        addRows({"picture|show||picture 1|saved|", "picture|show|quiet|picture 1||",
                 "picture|||background 1||",
                 "not a picture|show||background 1|saved|Could not load "
                 "the Image.",
                 "missing|show||background 2|uhoh|There was an error while saving this "
                 "resource. Save image files only. \r\n",
                 "missing|show|quiet|background 2||",
                 "same name|show||background 2||This file already exists"});
    }
    void feedbackOfASave() {
        QFETCH(QStringList, row);
        const QString source = row[0], shows = row[3], cue = row[4], message = row[5];
        frmMain& w = f.load();
        f.handOver();
        f.fake->soundsPlayed.clear(); // the greeting
        QAction* clearHistory = w.menus().mnuClearHistory;
        QVERIFY(!clearHistory->isEnabled()); // nothing to clear yet
        f.state->bShowSavedImage = row[1] == "show";
        f.state->bPlayConfirmSound = f.state->bShowSaveErrorMessage = row[2] != "quiet";
        f.state->bAutoIncrementSavedFiles = false;
        const QString file = f.picture("cat[1].jpg"), target = f.desktop() + "/cat.jpg";
        if (source == "not a picture")
            writeFile(file, "no picture at all");
        if (source == "missing")
            QFile::remove(file);
        if (source == "same name")
            writeFile(target, "old");
        PaintWatch watch; // the picture and the status icon are painted before a cue starts
        for (QLabel* control : w.findChildren<QLabel*>()) // the picture, the status icons
            control->installEventFilter(&watch);
        QString shownDuringCue;
        f.fake->whileSoundPlays = [&](const QString&) {
            shownDuringCue = shown();
            if (!watch.painted.contains(w.controls().Image1) ||
                !watch.painted.contains(w.controls().imgIcon[f.iconInFront()]))
                shownDuringCue += " unpainted";
        };
        const QString idleTip = w.controls().imgIcon[1]->toolTip();
        w.Timer4.start(); // armed by the drag over the client

        w.SaveImage(-1, file);

        QCOMPARE(shown(), shows);
        QCOMPARE(f.fake->soundsPlayed, cue.isEmpty() ? QStringList() : QStringList{f.cue(cue)});
        QCOMPARE(shownDuringCue, cue.isEmpty() ? QString() : shows);
        QCOMPARE(f.fake->messageBoxes.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(f.fake->messageBoxes.value(0).text.left(message.size()), message);
        QCOMPARE(w.Timer2.isActive(), row[1] == "show"); // the idle look back after a changed look
        const bool saved = shows.endsWith('1');
        QCOMPARE(w.Timer4.isActive(), !saved); // a manual save only after a failure
        const QString tip = " This image was saved to \"" + target + "\" ";
        QCOMPARE(w.controls().imgIcon[1]->toolTip(), saved ? tip : idleTip);
        QCOMPARE(clearHistory->isEnabled(), saved);
        if (!saved)
            return;
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

    // Control | file/text | drag-over folder | Timer4 armed | saved in; ~ desktop, @ documents.
    void dropsOnEachControl_data() {
        addRows({"Image1|file|~|arms|~", "imgIcon(2)|file||-|~", "Text(0)|file|@|arms|@",
                 "Image1|text|~|-|"});
    }
    void dropsOnEachControl() {
        QFETCH(QStringList, row);
        const bool arms = row[3] == "arms";
        frmMain& w = f.load();
        f.handOver();
        const QString file = f.picture("dog[3].jpg");
        QMimeData data;
        if (row[1] == "file")
            data.setUrls({QUrl::fromLocalFile(file)});
        else
            data.setText(file);
        // Offered as a move, answered as a copy: the browser keeps its file.
        const Qt::DropActions offer = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter({3, 3}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QDragMoveEvent move({4, 4}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop({4, 4}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        for (QDropEvent* event : QList<QDropEvent*>{&enter, &move, &drop}) {
            QApplication::sendEvent(w.findChild<QWidget*>(row[0]), event);
            QVERIFY(event->isAccepted());
            QCOMPARE(event->dropAction(), Qt::CopyAction);
            if (event == &move) {
                QCOMPARE(w.Timer4.isActive(), arms);
                QCOMPARE(w.pendingDrop().sInitSaveAsDir, placeholders(row[2]));
                QCOMPARE(w.pendingDrop().sTempSaveAsFilename, arms ? file : QString());
            }
        }
        QVERIFY(QFile::exists(file));
        QCOMPARE(QFile::exists(placeholders(row[4]) + "/dog.jpg"), !row[4].isEmpty());
        QCOMPARE(f.iconInFront(), row[4].isEmpty() ? 2 : 1);
    }

    // Control | P press, R release, D double-click, M move 20 px (lower: right) | calls | menu.
    void mouseOnTheControls_data() {
        addRows({"Image1|PRM||", "Image1|PMMR|moves|", "Text(1)|PMR|moves|",
                 "Text(1)|PRPDR|openPath: <folder>|", "Image1|PRPDR|showDesktop|",
                 "Text(1)|pr||mnuFolders", "Image1|pr||mnuFile", "imgIcon(0)|pr||mnuFile"});
    }
    void mouseOnTheControls() {
        QFETCH(QStringList, row);
        const QString folder = f.folder("my pictures \"best\"");
        frmMain& w = f.load({"clientsize=MED"}, {f.documents(), folder});
        f.handOver();
        QWidget* target = w.findChild<QWidget*>(row[0]);
        const QPoint before = w.pos();
        QString popup;
        bool labelsEnabled = true;
        QObject guard; // the timer goes with the test
        QTimer::singleShot(100, &guard, [&] {
            if (QWidget* open = QApplication::activePopupWidget()) {
                popup = open->objectName();
                labelsEnabled = w.controls().Text[0]->isEnabled();
                open->close();
            }
        });
        Qt::MouseButtons held;
        QPoint at(5, 5);
        for (const QChar step : row[1]) {
            const Qt::MouseButton button = step.isLower() ? Qt::RightButton : Qt::LeftButton;
            const QEvent::Type type = std::array{
                QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                QEvent::MouseMove}[QString("PRDM").indexOf(step.toUpper())];
            if (type == QEvent::MouseMove)
                at += QPoint(20, 0);
            else
                held = type == QEvent::MouseButtonRelease ? held & ~button : held | button;
            QMouseEvent event(type, at, target->mapToGlobal(at),
                              type == QEvent::MouseMove ? Qt::NoButton : button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^(openPath|showDesktop)")).join('|') +
                     (w.pos() != before ? "moves" : ""),
                 QString(row[2]).replace("<folder>", folder));
        QCOMPARE(popup, row[3]);
        QCOMPARE(labelsEnabled, popup != "mnuFolders"); // not while their menu is open
        QVERIFY(w.controls().Text[0]->isEnabled());
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
        QTRY_COMPARE(w.highlightedLabel(), 3);
        QCOMPARE(labels[3]->palette().color(QPalette::Base), yellow);
        QCOMPARE(labels[0]->palette().color(QPalette::Base), white);
        QCOMPARE(labels[3]->toolTip(), " Drag image here to save to \"" + f.path("new") + "\" ");
        // Over the picture: all white; the label stays the target of "Delete Folder From List".
        f.fake->cursor = w.controls().Image1->mapToGlobal(QPoint(5, 5));
        QTRY_COMPARE(w.highlightedLabel(), -1);
        QCOMPARE(labels[3]->palette().color(QPalette::Base), white);
        QCOMPARE(w.pendingDrop().iCurrentLabel, 3);
        f.fake->messageBoxAnswers = {Platform::Answer::Yes};
        w.menus().mnuDelete->trigger();
        QCOMPARE(f.fake->messageBoxes.value(0).title, QStringLiteral("Confirm Removal"));
        stacked({0, 1, 2, 4});
    }

    // Size before | its check mark | command | cue | size after | side after.
    void sizeCommands_data() {
        addRows({"MED|mnuNormal|mnuSmall|shrink|SMALL|45", "LARGE|mnuLarge|mnuNormal|shrink|MED|73",
                 "MED|mnuNormal|mnuNormal|enlarge|MED|73",
                 "SMALL|mnuSmall|mnuLarge|enlarge|LARGE|97"});
    }
    void sizeCommands() {
        QFETCH(QStringList, row);
        const QString holiday = f.folder("a/long/parent/folder/Holiday 2026");
        frmMain& w = f.load({"clientsize=" + row[0]}, {f.documents(), "", holiday});
        QCOMPARE(checkedSizes(), QStringList{row[1]}); // as the file says
        w.findChild<QAction*>(row[2])->trigger();
        QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue(row[3])});
        QCOMPARE(f.state->sClientSize, row[4]);
        QCOMPARE(checkedSizes(), QStringList{row[2]});
        const int side = row[5].toInt();
        QCOMPARE(w.size(), QSize(side, side + 2 * w.controls().Text[0]->height()));
        // One choice of three; a label too narrow for its path shows the folder's own name.
        QVERIFY(w.menus().mnuSmall->actionGroup()->isExclusive());
        QLineEdit* label = w.controls().Text[2];
        QCOMPARE(label->text(), holiday);
        label->grab(); // drawn, as on the screen
        const int firstShown = label->cursorPositionAt({0, label->height() / 2});
        QVERIFY2(firstShown > 0 && firstShown <= holiday.size() - 12,
                 qPrintable(holiday.mid(firstShown)));
    }

    void checkMarksFollowTheSettings_data() { tableRows(kChecks); }
    void checkMarksFollowTheSettings() {
        QFETCH(int, row);
        const auto& r = kChecks[row];
        frmMain& w = f.load(); // the first run turns all three on
        QAction* action = w.findChild<QAction*>(r.item);
        for (bool on : {false, true}) {
            f.fake->soundsPlayed.clear();
            action->trigger();
            QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue("click")});
            QCOMPARE((*f.state).*r.flag, on);
            QCOMPARE(action->isChecked(), on);
            QCOMPARE(f.fake->topmost.value(&w), r.flag != &AppState::bAlwaysOnTop || on);
        }
    }

    void shutDown_data() { addRows({"Exit|history kept", "Exit|deleted", "from outside|deleted"}); }
    void shutDown() {
        QFETCH(QStringList, row);
        const bool fromOutside = row[0] == "from outside", deleteHistory = row[1] == "deleted";
        const QString saved = f.picture("cat.png");
        writeFile(f.historyFile(), (saved + "\r\n").toUtf8());
        frmMain& w = f.load();
        f.state->bDeleteHistoryOnClose = deleteHistory;
        // The tray icon goes first: the history file is still there while it does.
        bool historyThen = false;
        f.fake->whileTrayIconGoes = [&] { historyThen = QFile::exists(f.historyFile()); };
        f.fake->calls.clear();
        if (fromOutside)
            f.fake->terminationHandler();
        else
            w.mnuExit_Click();
        QVERIFY(w.hasEnded());
        // The farewell cue first, and only when the user asked.
        QCOMPARE(f.fake->calls.value(0) == "sound: " + f.cue("byebye"), !fromOutside);
        QCOMPARE(f.fake->soundsPlayed.contains(f.cue("byebye")), !fromOutside);
        QVERIFY(f.fake->calls.contains("setTopmost: off"));
        QVERIFY(!f.fake->trayShown && historyThen);
        QCOMPARE(readLines(f.historyFile()), deleteHistory ? QStringList() : QStringList{saved});
        // The first run's defaults; always on top suspended, still recorded.
        const QStringList settings = readLines(f.settingsFile());
        QCOMPARE(settings.size(), 31);
        const QString deleted = deleteHistory ? "True" : "False";
        QCOMPARE(settings.mid(6, 2) << settings[0] << settings[11],
                 QStringList({"left= 9700", "top= 7580", "alwaysontop=True",
                              "deletehistoryonclose=" + deleted}));
        QCOMPARE(settings[30], f.documents());
        QVERIFY(!w.menus().mnuAlwaysOnTop->isChecked());
        const int calls = f.fake->calls.size();
        w.Form_Unload(); // a second unload (the window closing afterwards) does nothing
        QCOMPARE(f.fake->calls.size(), calls);
    }

    // Tray clicks, hide and show. A double-click as click, double-click finds it shown: no cue.
    void trayAndHiding_data() {
        addRows({"click|shown|following off|",
                 "double-click|shown|following off, Timer5 off|enlarge",
                 "click, double-click|shown|following off, Timer5 off|",
                 "hide|hidden|following off|shrink", "show|shown|following on|enlarge"});
    }
    void trayAndHiding() {
        QFETCH(QStringList, row);
        frmMain& w = f.load({"synchronizewithinternetexplorer=True"});
        f.handOver();
        w.hide();
        QVERIFY(w.Timer5.isActive());
        f.fake->soundsPlayed.clear();
        for (const QString& step : row[0].split(", ")) {
            if (step == "hide" || step == "show") {
                w.show();
                (step == "hide" ? w.menus().mnuHideMe : w.menus().mnuTrayRestore)->trigger();
            } else {
                f.fake->trayHandler(step == "click" ? Platform::TrayEvent::Click
                                                    : Platform::TrayEvent::DoubleClick);
            }
        }
        QCOMPARE(w.isVisible() ? "shown" : "hidden", row[1]);
        QCOMPARE(w.state().bSynchronizeWithInternetExplorer, row[2].startsWith("following on"));
        QCOMPARE(w.Timer5.isActive(), !row[2].contains("Timer5 off"));
        QCOMPARE(f.fake->soundsPlayed,
                 row[3].isEmpty() ? QStringList() : QStringList{f.cue(row[3])});
    }

    void endingFromOutsideAsksNothing() {
        // Nothing can be written (a file is where the state folder should be): still no message.
        frmMain& w = f.load();
        QDir(f.fake->state).removeRecursively();
        writeFile(f.fake->state, "");
        f.fake->terminationHandler();
        QVERIFY(w.hasEnded() && f.fake->messageBoxes.isEmpty());
    }

    // A browser's drop whose file arrives later: busy pointer and progress bar, then the save.
    void dropWhoseFileArrivesLater() {
        frmMain& w = f.load();
        f.handOver();
        const QString file = f.picture("cat.png");
        Platform::DropHandlers pending;
        f.fake->dropScript = [&](const QMimeData*, Platform::DropHandlers h) { pending = h; };
        QMimeData data;
        data.setUrls({QUrl("http://127.0.0.1/cat.png")});
        QDragEnterEvent enter({3, 3}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop({4, 4}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.controls().Image1, &enter);
        QApplication::sendEvent(w.controls().Image1, &drop);
        QVERIFY(f.fake->busy && pending.done);
        pending.progress(1000, 4000);
        QTRY_VERIFY(w.findChild<QWidget*>("prgDrop")->isVisible());
        pending.done(file, {});
        QVERIFY(!f.fake->busy && !w.findChild<QWidget*>("prgDrop")->isVisible());
        QCOMPARE(readBytes(f.desktop() + "/cat.png"), readBytes(file));
        QCOMPARE(w.pendingDrop().sTempSaveAsFilename, file); // for a manual save after all
    }

    // Last: its fatal row ends the program's event loops, which would end later menus at once.
    // Control | source | answer: typed ("" cancels), "off" (cursor), "throw" | dialog | saved as.
    void manualSave_data() {
        addRows({"Image1|cat[1].jpg|~/mine|*.jpg: ~|~/mine.jpg",   // a name without type
                 "Text(0)|anim[1].gif| @/x.bmp |*.gif: @|@/x.gif", // a gif typed as .bmp
                 "Image1|cat[1].jpg|~/p.png|*.jpg: ~|~/p.png.jpg", // another type stays in front
                 "Image1|cat[1].jpg||*.jpg: ~|", "Image1|cat[1].jpg|off||",
                 "Image1|cat[1].jpg|throw|*.jpg: ~|"});
    }
    void manualSave() {
        QFETCH(QStringList, row);
        const QString answer = row[2];
        frmMain& w = f.load();
        f.handOver();
        // A drag over the control whose drop fails: its file is gone by then.
        const QString source = f.picture(row[1]);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(source)});
        QDragEnterEvent enter({3, 3}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.findChild<QWidget*>(row[0]), &enter);
        QDragLeaveEvent leave;
        QApplication::sendEvent(w.findChild<QWidget*>(row[0]), &leave);
        QVERIFY(w.Timer4.isActive());
        f.fake->cursor = answer == "off" ? w.geometry().bottomRight() + QPoint(2, 0)
                                         : w.geometry().bottomRight();
        f.fake->saveDialogThrows = answer == "throw";
        f.fake->saveDialogAnswers = {placeholders(answer)};
        // Ticks go on while the dialog is open: still one dialog.
        f.fake->whileSaveDialogOpen = [] { QTest::qWait(60); };
        w.Timer4.setInterval(5);
        QTRY_VERIFY(!w.Timer4.isActive());
        const QString dialog = "saveFileDialog: Choose Folder and Name of Image File: ";
        QCOMPARE(f.fake->calls.filter("saveFileDialog"),
                 row[3].isEmpty() ? QStringList() : QStringList{dialog + placeholders(row[3])});
        if (!row[4].isEmpty())
            QCOMPARE(readBytes(placeholders(row[4])), readBytes(source));
        QCOMPARE(f.iconInFront(), row[4].isEmpty() ? 0 : 1);
        if (answer == "throw") { // the settings and history written, the end
            QVERIFY(w.hasEnded() && QFile::exists(f.settingsFile()));
            QVERIFY(f.fake->messageBoxes.last().text.startsWith(
                "There was an error while trying to manually save this image."));
        }
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
