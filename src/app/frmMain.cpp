#include "app/frmMain.h"
#include "ui/Artwork.h"

#include "history/frmHistory.h"
#include "ui/SizeCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QProgressBar>

namespace kelvane {

ClientControls::Hit ClientControls::hit(const QObject* object) const {
    if (object && object == Image1)
        return {Hit::Kind::Picture, -1};
    for (int i = 0; i < int(imgIcon.size()); ++i)
        if (object == imgIcon[i])
            return {Hit::Kind::Icon, i};
    for (int i = 0; i < int(Text.size()); ++i)
        if (object == Text[i])
            return {Hit::Kind::Label, i};
    return {};
}

frmMain::frmMain(Platform& platform, AppState& state)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), platform_(platform), state_(state),
      cues_(platform, platform.resourceFolder()),
      saving_(state, folderList_, historyList_, historyPath(), platform),
      drops_(pending_, state, folderList_), hover_(folderList_, pending_),
      folderCommands_(folderList_, platform, cues_) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setWindowIcon(artwork::appIconSet()); // drawn at each size the desktop asks for
    menus_ = buildMainMenus(this);
    createTimers();
    createControls();
    connectMenus();
}

frmMain::~frmMain() = default;

void frmMain::createTimers() {
    // Intervals as designed; Form_Load starts the ones that run from the start.
    const struct {
        QTimer* timer;
        const char* name;
        int interval;
    } timers[] = {{&Timer5, "Timer5", 140},
                  {&Timer4, "Timer4", 1000},
                  {&Timer1, "Timer1", 9999},
                  {&Timer3, "Timer3", 120},
                  {&Timer2, "Timer2", 9999}};
    for (const auto& t : timers) {
        t.timer->setObjectName(QString::fromLatin1(t.name));
        t.timer->setInterval(t.interval);
    }
}

void frmMain::createControls() {
    controls_.Text1 = new QLineEdit(this);
    controls_.Text1->setObjectName(QStringLiteral("Text1"));
    controls_.Text1->move(0, twipsToPixels(4300));

    for (int i = 0; i < 10; ++i) {
        auto* label = new QLineEdit(this);
        label->setObjectName(QStringLiteral("Text(%1)").arg(i));
        label->setReadOnly(true);
        label->setFrame(false);
        label->setTextMargins(-2, 0, -2,
                              0); // the text from edge to edge: a folder name needs every pixel
        label->setFocusPolicy(Qt::NoFocus);
        label->setContextMenuPolicy(Qt::NoContextMenu); // the right button shows "Folders"
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Base, Qt::white);
        label->setPalette(palette);
        label->hide();
        label->setAcceptDrops(true);
        label->installEventFilter(this);
        controls_.Text[i] = label;
    }

    controls_.Image1 = new QLabel(this);
    controls_.Image1->setObjectName(QStringLiteral("Image1"));
    controls_.Image1->setScaledContents(true);
    controls_.Image1->setAcceptDrops(true);
    controls_.Image1->installEventFilter(this);

    controls_.prgDrop = new QProgressBar(this);
    controls_.prgDrop->setObjectName(QStringLiteral("prgDrop"));
    controls_.prgDrop->setTextVisible(false);
    controls_.prgDrop->hide();

    for (int i = 0; i < 3; ++i) {
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("imgIcon(%1)").arg(i));
        icon->setScaledContents(true);
        icon->setAcceptDrops(true);
        icon->installEventFilter(this);
        controls_.imgIcon[i] = icon;
    }
}

void frmMain::onCommand(QAction* item, std::function<void()> command) {
    // A checkable item's command decides its own check mark: undo Qt's toggle first, so the
    // command sees the mark as it was when the user chose the item.
    connect(item, &QAction::triggered, this, [item, command = std::move(command)](bool checked) {
        if (item->isCheckable())
            item->setChecked(!checked);
        command();
    });
}

void frmMain::connectMenus() {
    onCommand(menus_.mnuExit, [this] { mnuExit_Click(); });
    onCommand(menus_.mnuTrayExit, [this] { mnuTrayExit_Click(); });
    onCommand(menus_.mnuPlayConfirmationSound, [this] { mnuPlayConfirmationSound_Click(); });
    onCommand(menus_.mnuShowSavedIMageInClient, [this] { mnuShowSavedIMageInClient_Click(); });
    onCommand(menus_.mnuClearHistory, [this] { mnuClearHistory_Click(); });
    onCommand(menus_.mnuHistory, [this] { mnuHistory_Click(); });
    // The three sizes are one choice: the command sets the marks itself.
    for (auto [item, size] : {std::pair{menus_.mnuSmall, ClientSize::Small},
                              {menus_.mnuNormal, ClientSize::Med},
                              {menus_.mnuLarge, ClientSize::Large}})
        connect(item, &QAction::triggered, this, [this, size = size] { mnuSize_Click(size); });
    onCommand(menus_.mnuAlwaysOnTop, [this] { mnuAlwaysOnTop_Click(); });
    const auto addFolder = [this] {
        cues_.PlayClickSound();
        setCursor(Qt::ArrowCursor);
        if (folderCommands_.AddFolder(this))
            layOutClient();
    };
    onCommand(menus_.mnuAddFolder, addFolder);
    onCommand(menus_.mnuAddFolder2, addFolder);
    onCommand(menus_.mnuDelete, [this] {
        if (folderCommands_.mnuDelete_Click(pending_.iCurrentLabel, this))
            layOutClient();
    });

    connect(&Timer1, &QTimer::timeout, this, [this] {
        folderValidator_.CheckAllFolders(folderList_, platform_, this, [this] { layOutClient(); });
    });
    connect(&Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(&Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    connect(&Timer4, &QTimer::timeout, this, [this] { Timer4_Timer(); });
    connect(&Timer5, &QTimer::timeout, this, [this] { Timer5_Timer(); });
    onCommand(menus_.mnuMore, [this] { mnuMore_Click(); });
    onCommand(menus_.mnuAddFolderToDesktop, [this] { mnuAddFolderToDesktop_Click(); });
    onCommand(menus_.mnuContents, [this] { mnuContents_Click(); });
    onCommand(menus_.mnuOpenWebsite, [this] { mnuOpenWebsite_Click(); });
    onCommand(menus_.mnuAbout, [this] { mnuAbout_Click(); });
    onCommand(menus_.mnuHideMe, [this] { mnuHideMe_Click(); });
    onCommand(menus_.mnuTrayRestore, [this] { mnuTrayRestore_Click(); });
}

void frmMain::mnuPlayConfirmationSound_Click() {
    cues_.PlayClickSound();
    state_.bPlayConfirmSound = !state_.bPlayConfirmSound;
    menus_.mnuPlayConfirmationSound->setChecked(state_.bPlayConfirmSound);
}

void frmMain::mnuClearHistory_Click() {
    cues_.PlayClickSound();
    historyList_.clear();
    SaveHistory();
}

void frmMain::mnuHistory_Click() {
    cues_.PlayClickSound();
    ShowHistoryForm();
}

void frmMain::markSize(ClientSize size) {
    sizeMarked_ = size;
    menus_.mnuSmall->setChecked(size == ClientSize::Small);
    menus_.mnuNormal->setChecked(size == ClientSize::Med);
    menus_.mnuLarge->setChecked(size == ClientSize::Large);
}

void frmMain::mnuSize_Click(ClientSize size) {
    // The cue goes by the item that was marked (Normal when none was).
    const ClientSize shown = sizeMarked_ == ClientSize::Unknown ? ClientSize::Med : sizeMarked_;
    const QString cue = applySizeCommand(state_, size, shown);
    markSize(size);
    cues_.PlaySoundCue(cue);
    layOutClient();
}

void frmMain::mnuAlwaysOnTop_Click() {
    cues_.PlayClickSound();
    // The check mark decides: a suspended band (mark cleared, setting still on) comes back.
    state_.bAlwaysOnTop = !menus_.mnuAlwaysOnTop->isChecked();
    menus_.mnuAlwaysOnTop->setChecked(state_.bAlwaysOnTop);
    layOutClient();
}

void frmMain::ShowClientMenu() {
    menus_.mnuFile->exec(platform_.cursorPos());
}

void frmMain::showFoldersMenu() {
    for (QLineEdit* label : controls_.Text)
        label->setEnabled(false);
    menus_.mnuFolders->exec(platform_.cursorPos());
    for (QLineEdit* label : controls_.Text)
        label->setEnabled(true);
}

void frmMain::moveEvent(QMoveEvent* event) {
    // Only where the window really is counts: a window not on the screen keeps the position
    // it was given.
    QWidget::moveEvent(event);
    if (!isVisible() || isMinimized())
        return;
    // Where the window manager has the window is what counts. Qt can be told a wrong place
    // while the window is being mapped; it then learns the real one, so that the history
    // window docks beside the client and the position is kept as it is. (The program's own
    // moves are on their way to the window manager: nothing to compare yet.)
    const QPoint real = platform_.windowPosition(this);
    if (event->spontaneous() && real != pos()) {
        move(real);
        return;
    }
    storeWindowPosition();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closed by the window manager or the session rather than by an Exit command: the same
    // shut-down, then the process ends.
    Form_Unload();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace kelvane
