#include "app/frmMain.h"

#include "app/frmSplash.h"
#include "history/HistoryCommands.h"
#include "history/frmHistory.h"
#include "platform/Platform.h"
#include "ui/SizeCommands.h"
#include "ui/SizeTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

namespace kelvane {

frmMain::frmMain(Platform& platform, AppState& state)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), platform_(platform), state_(state),
      cues_(platform, platform.resourceFolder()), saving_(*this), drops_(*this), hover_(*this),
      folderCommands_(*this) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvane"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(platform_.resourceFolder() +
                     QStringLiteral("/icons/kelvane-%1.png").arg(size));
    setWindowIcon(icon);
    menus_ = buildMainMenus(this);
    createTimers();
    createControls();
    connectMenus();
}

frmMain::~frmMain() = default;

void frmMain::createTimers() {
    // Intervals and initial states as designed; Form_Load starts the enabled ones.
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
    const QString pictures = platform_.resourceFolder() + QStringLiteral("/pictures/");
    controls_.window = this;

    controls_.Text1 = new QLineEdit(this);
    controls_.Text1->setObjectName(QStringLiteral("Text1"));
    controls_.Text1->move(0, twipsToPixels(4300));

    for (int i = 0; i < 10; ++i) {
        auto* label = new QLineEdit(this);
        label->setObjectName(QStringLiteral("Text%1").arg(i));
        label->setReadOnly(true);
        label->setFrame(false);
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

    controls_.imgBG.load(pictures + QStringLiteral("background.png"));
    controls_.Image1 = new QLabel(this);
    controls_.Image1->setObjectName(QStringLiteral("Image1"));
    controls_.Image1->setScaledContents(true);
    controls_.Image1->setPixmap(controls_.imgBG);
    controls_.Image1->setAcceptDrops(true);
    controls_.Image1->installEventFilter(this);

    const char* icons[] = {"status-idle.png", "status-saved.png", "status-failed.png"};
    for (int i = 0; i < 3; ++i) {
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("imgIcon%1").arg(i));
        icon->setScaledContents(true);
        icon->setPixmap(QPixmap(pictures + QString::fromLatin1(icons[i])));
        icon->resize(twipsToPixels(345), twipsToPixels(345));
        icon->move(0, twipsToPixels(30));
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
    onCommand(menus_.mnuShowSavedIMageInClient,
              [this] { saving_.mnuShowSavedIMageInClient_Click(); });
    onCommand(menus_.mnuClearHistory, [this] { mnuClearHistory_Click(); });
    onCommand(menus_.mnuHistory, [this] { mnuHistory_Click(); });
    onCommand(menus_.mnuSmall, [this] { mnuSmall_Click(*this); });
    onCommand(menus_.mnuNormal, [this] { mnuNormal_Click(*this); });
    onCommand(menus_.mnuLarge, [this] { mnuLarge_Click(*this); });
    onCommand(menus_.mnuAlwaysOnTop, [this] { mnuAlwaysOnTop_Click(*this); });
    const auto addFolder = [this] {
        cues_.PlayClickSound();
        folderCommands_.AddFolder();
    };
    onCommand(menus_.mnuAddFolder, addFolder);
    onCommand(menus_.mnuAddFolder2, addFolder);
    onCommand(menus_.mnuDelete, [this] { folderCommands_.mnuDelete_Click(); });

    connect(&Timer1, &QTimer::timeout, this, [this] {
        folderValidator_.CheckAllFolders(folderList_, platform_, this, [this] { layOutClient(); });
    });
    connect(&Timer2, &QTimer::timeout, this, [this] { saving_.Timer2_Timer(); });
    connect(&Timer3, &QTimer::timeout, this, [this] { hover_.Timer3_Timer(); });
    // Not built yet: the manual save offered after a drop that did not save (each of its
    // ticks ends with the timer disabled), and following the browser (Timer5).
    connect(&Timer4, &QTimer::timeout, this, [this] { Timer4.stop(); });
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
    if (history_)
        history_->refresh();
}

void frmMain::mnuHistory_Click() {
    cues_.PlayClickSound();
    ShowHistoryForm(*this);
}

void frmMain::ShowClientMenu() {
    menus_.mnuFile->exec(QCursor::pos());
}

void frmMain::onTrayNotify(int code) {
    switch (code) {
    case Platform::TrayLeftUp:
    case Platform::TrayDoubleClick:
        state_.bSynchronizeWithInternetExplorer = false;
        if (code == Platform::TrayDoubleClick)
            Timer5.stop();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        activateWindow();
        break;
    case Platform::TrayRightUp:
        activateWindow();
        menus_.mnuTrayMenu->exec(QCursor::pos());
        break;
    default:
        break;
    }
}

bool frmMain::handleLabelEvent(QLineEdit* label, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            folderCommands_.showFoldersMenu();
            return true;
        }
        return false;
    case QEvent::MouseButtonDblClick:
        folderCommands_.Text_DblClick();
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusOut:
        // A label never keeps the focus: no caret, no typing.
        controls_.Text1->setFocus();
        return false;
    default:
        Q_UNUSED(label);
        return false;
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const bool onPicture = watched == controls_.Image1 ||
                           std::find(controls_.imgIcon.begin(), controls_.imgIcon.end(), watched) !=
                               controls_.imgIcon.end();
    const bool onLabel =
        std::find(controls_.Text.begin(), controls_.Text.end(), watched) != controls_.Text.end();
    if (!onPicture && !onLabel)
        return QWidget::eventFilter(watched, event);
    if (drops_.handle(watched, event))
        return true;
    if (event->type() == QEvent::MouseButtonDblClick && watched == controls_.Image1) {
        saving_.Image1_DblClick();
        return true;
    }
    if (onLabel && handleLabelEvent(static_cast<QLineEdit*>(watched), event))
        return true;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        // The window has no caption: a left press on the picture or a label moves it.
        platform_.beginWindowMove(this);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton &&
        onPicture) {
        ShowClientMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::changeEvent(QEvent* event) {
    // A minimised client leaves the screen; the tray icon brings it back.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        hide();
    QWidget::changeEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closed by the window manager or the session rather than by an Exit command: the same
    // shut-down, then the process ends.
    Form_Unload();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace kelvane
