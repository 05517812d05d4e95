#include "settings/frmOptions.h"

#include "core/AppState.h"
#include "core/SoundCues.h"
#include "platform/Platform.h"
#include "settings/RunValue.h"
#include "ui/DesignPlacement.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace kelvane {
namespace {

bool checked(const QCheckBox* box) { // the grey state counts as unchecked
    return box->checkState() == Qt::Checked;
}

} // namespace

frmOptions::frmOptions(AppState& state, SoundCues& cues, Platform& platform,
                       std::function<bool()> saveSettings)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      state_(state), cues_(cues), platform_(platform), saveSettings_(std::move(saveSettings)) {
    setObjectName(QStringLiteral("frmOptions"));
    // However it closes, the dialog goes; the next opening makes a new one from the settings.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("More Options"));

    // The panel first, so that the check boxes lie on it.
    Label2 = new QFrame(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Label2->setAutoFillBackground(true);
    Label2->setBackgroundRole(QPalette::Window);

    struct Place {
        QWidget* control;
        int left, top, width, height;
    };
    QList<Place> places{{Label2, 120, 120, 4275, 2715}};
    DesignPlacement design;
    const auto button = [&](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        places.append({b, left, 3080, 1230, 360});
        design.fit(b, 1230);
        return b;
    };
    const auto box = [&](const char* name, const QString& caption, int top, int width, int height) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(QLatin1String(name));
        places.append({b, 240, top, width, height});
        design.fit(b, width);
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("OK"), 1740);
    cmdOK->setDefault(true);
    Check1 = box("Check1", QStringLiteral("Load Kelvane at Login"), 2400, 4095, 255);
    Check3 = box("Check3", QStringLiteral("Delete history when Kelvane closes"), 630, 4035, 195);
    Check4 = box("Check4", QStringLiteral("Show error message dialog after unsuccessful save"), 965,
                 4000, 255);
    Check2 = box("Check2", QStringLiteral("Always prompt before file is deleted for safety."), 255,
                 3915, 255);
    Check5 =
        box("Check5", QStringLiteral("Automatically increment files when saving"), 1320, 4035, 255);
    Check6 = box("Check6", QStringLiteral("Correct query string encoded names"), 1680, 3975, 255);
    cmdCancel = button("cmdCancel", QStringLiteral("Cancel"), 3120);
    Check7 = box("Check7", QStringLiteral("Show client only while a web browser is running"), 2040,
                 3975, 255);
    for (const Place& p : places)
        design.place(p.control, p.left, p.top, p.width, p.height);
    design.size(this, 4530, 3600);
    QWidget* order[] = {cmdOK, Check1, Check3, Check4, Check2, Check5, Check6, cmdCancel, Check7};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    // The user's click on the box, each time: a change made from code (the filling, or the
    // handler clearing the box after a No) asks nothing.
    connect(Check7, &QCheckBox::clicked, this, &frmOptions::Check7_Click);
    platform_.closeBoxOnly(this);
    Form_Load();
}

void frmOptions::Form_Load() {
    unsetCursor();
    Check1->setChecked(state_.bLoadAppWhenComputerStarts);
    Check2->setChecked(state_.bAlwaysPromptFileDelete);
    Check3->setChecked(state_.bDeleteHistoryOnClose);
    Check4->setChecked(state_.bShowSaveErrorMessage);
    Check5->setChecked(state_.bAutoIncrementSavedFiles);
    Check6->setChecked(state_.bCorrectQueryStringNames);
    Check7->setChecked(state_.bSynchronizeWithInternetExplorer);
}

void frmOptions::Check7_Click() {
    if (!checked(Check7) || checked(Check1))
        return;
    const Platform::Answer answer = platform_.messageBox(
        this,
        QStringLiteral("Kelvane must run in the background for this option to work. Would you "
                       "like to enable this setting?"),
        QStringLiteral("More Settings Needed"), Platform::Buttons::YesNo, Platform::Icon::Question);
    if (answer == Platform::Answer::Yes) {
        Check1->setChecked(true);
        return;
    }
    state_.bSynchronizeWithInternetExplorer = false;
    Check7->setChecked(false);
}

void frmOptions::cmdOK_Click() {
    state_.bLoadAppWhenComputerStarts = checked(Check1);
    state_.bAlwaysPromptFileDelete = checked(Check2);
    state_.bDeleteHistoryOnClose = checked(Check3);
    state_.bShowSaveErrorMessage = checked(Check4);
    state_.bAutoIncrementSavedFiles = checked(Check5);
    if (state_.bLoadAppWhenComputerStarts)
        WriteRunValue(platform_, this);
    else
        DeleteRunValue(platform_, this);
    state_.bCorrectQueryStringNames = checked(Check6);
    state_.bSynchronizeWithInternetExplorer = checked(Check7);
    Q_EMIT browserFollowingChanged(state_.bSynchronizeWithInternetExplorer);
    if (!saveSettings_()) {
        // What was applied stays applied; the dialog stays open for another try.
        platform_.message(this,
                          QStringLiteral("There was an error while attempting to apply these "
                                         "settings."),
                          Platform::Icon::Critical);
        return;
    }
    cues_.PlayClickSound();
    UnloadMe();
}

void frmOptions::cmdCancel_Click() {
    cues_.PlayClickSound();
    UnloadMe();
}

void frmOptions::UnloadMe() {
    if (!saveSettings_()) {
        platform_.message(this, QStringLiteral("There was an error while saving the settings."));
        return;
    }
    close();
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) { // not a way to cancel here
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
