#include "app/frmMain.h"

#include "history/frmHistory.h"
#include "settings/SettingsFile.h"
#include "ui/Artwork.h"
#include "ui/HelpCommands.h"
#include "ui/SizeCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>

namespace kelvane {
frmMain::frmMain(Platform& platform, AppState& state)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), platform_(platform), state_(state),
      cues_(platform, platform.resourceFolder()), menus_(buildMainMenus(this)),
      saving_(state, folderList_, historyList_, historyPath(), platform),
      drops_(pending_, state, folderList_), hover_(folderList_, pending_),
      folderCommands_(folderList_, platform, cues_), look_(*this, controls_, platform),
      band_(*this, platform, state, menus_.mnuAlwaysOnTop, [this] { Timer4.stop(); }),
      presence_(*this, platform, state, cues_, menus_.mnuTrayMenu, Timer5,
                [this] { return band_.inBand(); }),
      place_(*this, platform, state, [this] { return drag_.moving() || dropTarget_.busy(); }),
      drag_(*this), feedback_(*this, controls_, look_, state, cues_, platform, Timer2, Timer4),
      dropTarget_(platform, controls_, drops_, pending_, Timer4,
                  [this](std::int16_t index, const QString& file, const QString& remark) {
                      SaveOutcome outcome = saving_.SaveImage(index, file, {}, this);
                      // The drop adapter knows why there is no file, or what the file is.
                      (file.isEmpty() ? outcome.reason : outcome.remark) = remark;
                      feedback_.showOutcome(outcome);
                  }),
      manualSave_(platform, state, pending_, cues_, controls_, pointer_, *this,
                  [this](std::int16_t index, const QString& source, const QString& target) {
                      SaveImage(index, source, target);
                  }),
      highlight_(controls_, hover_, folderList_, pointer_, platform),
      sizes_(state, cues_, menus_.mnuSmall, menus_.mnuNormal, menus_.mnuLarge),
      dialogs_(
          *this, band_, state, cues_, platform, folderCommands_,
          {[this] { return SettingsFile(settingsPath()).SaveSettings(state_, folderList_.raw()); },
           [this](bool on) { on ? Timer5.start() : Timer5.stop(); }, [this] { layOutClient(); }}),
      mouse_(*this, platform, controls_, menus_, drag_, folderCommands_, feedback_, historyList_,
             {[this] { layOutClient(); }, [this] { presence_.showClient(); }}) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setWindowIcon(artwork::appIconSet()); // drawn at each size the desktop asks for
    createTimers();
    controls_.create(*this, this);
    connectMenus();
    connectTimers();
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
    onCommand(menus_.mnuTrayExit, [this] { mnuExit_Click(); });
    const auto toggle = [this](QAction* item, bool& flag) {
        onCommand(item, [this, item, &flag] {
            cues_.PlayClickSound();
            flag = !flag;
            item->setChecked(flag);
        });
    };
    toggle(menus_.mnuPlayConfirmationSound, state_.bPlayConfirmSound);
    toggle(menus_.mnuShowSavedIMageInClient, state_.bShowSavedImage);
    onCommand(menus_.mnuClearHistory, [this] {
        cues_.PlayClickSound();
        historyList_.clear();
        SaveHistory();
    });
    onCommand(menus_.mnuHistory, [this] {
        cues_.PlayClickSound();
        ShowHistoryForm();
    });
    // The three sizes are one choice: the command sets the marks itself.
    for (auto [item, size] : {std::pair{menus_.mnuSmall, ClientSize::Small},
                              {menus_.mnuNormal, ClientSize::Med},
                              {menus_.mnuLarge, ClientSize::Large}})
        connect(item, &QAction::triggered, this, [this, size = size] {
            sizes_.mnuSize_Click(size);
            layOutClient();
        });
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
        if (folderCommands_.mnuDelete_Click(mouse_.folderMenuLabel(), this))
            layOutClient();
    });
    onCommand(menus_.mnuMore, [this] { dialogs_.mnuMore_Click(); });
    onCommand(menus_.mnuAddFolderToDesktop, [this] { dialogs_.mnuAddFolderToDesktop_Click(); });
    onCommand(menus_.mnuContents, [this] { mnuContents_Click(platform_, cues_, this); });
    onCommand(menus_.mnuOpenWebsite,
              [this] { mnuOpenWebsite_Click(platform_, cues_, this, state_.sHomepageAddress); });
    onCommand(menus_.mnuAbout, [this] { dialogs_.mnuAbout_Click(); });
    onCommand(menus_.mnuHideMe, [this] { presence_.mnuHideMe_Click(); });
    onCommand(menus_.mnuTrayRestore, [this] { presence_.mnuTrayRestore_Click(); });
}

void frmMain::connectTimers() {
    connect(&Timer1, &QTimer::timeout, this, [this] {
        folderValidator_.CheckAllFolders(folderList_, platform_, this, [this] { layOutClient(); });
    });
    connect(&Timer2, &QTimer::timeout, this, [this] { feedback_.Timer2_Timer(); });
    connect(&Timer3, &QTimer::timeout, this, [this] {
        highlight_.Timer3_Timer();
        if (!pointer_.inside()) // the highlight is cleared: nothing to look at until it is back
            Timer3.stop();
    });
    connect(&Timer4, &QTimer::timeout, this, [this] { Timer4_Timer(); });
    connect(&Timer5, &QTimer::timeout, this, [this] { presence_.Timer5_Timer(); });
}

void frmMain::Timer4_Timer() {
    switch (manualSave_.Timer4_Timer(dropTarget_.busy())) {
    case ManualSave::Result::Wait:
        return;
    case ManualSave::Result::Done:
        Timer4.stop();
        return;
    case ManualSave::Result::Fatal:
        Timer4.stop();
        Form_Unload();
        QCoreApplication::exit(0);
        return;
    }
}

void frmMain::SaveImage(std::int16_t index, const QString& source, const QString& manualTarget) {
    feedback_.showOutcome(saving_.SaveImage(index, source, manualTarget, this));
}

void frmMain::layOutClient() {
    look_.layOut(state_.sClientSize, folderList_.raw(), state_.bAlwaysOnTop);
}

void frmMain::mnuAlwaysOnTop_Click() {
    cues_.PlayClickSound();
    // The check mark decides: a suspended band (mark cleared, setting still on) comes back.
    state_.bAlwaysOnTop = !menus_.mnuAlwaysOnTop->isChecked();
    menus_.mnuAlwaysOnTop->setChecked(state_.bAlwaysOnTop);
    layOutClient();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const ClientControls::Hit hit = controls_.hit(watched);
    pointer_.observe(hit, event, false);
    if (dropTarget_.handle(hit, event) || mouse_.handle(hit, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool frmMain::event(QEvent* event) {
    pointer_.observe({}, event, true);
    // On a screen of another scale the pictures are drawn anew for it.
    if (event->type() == QEvent::ScreenChangeInternal)
        QTimer::singleShot(0, this, [this] { look_.drawPictures(); });
    return QWidget::event(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closed by the window manager or the session rather than by an Exit command: the same
    // shut-down, then the process ends.
    Form_Unload();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace kelvane
