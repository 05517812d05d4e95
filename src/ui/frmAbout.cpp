#include "ui/frmAbout.h"

#include "core/AppState.h"
#include "core/SoundCues.h"
#include "ui/DesignPlacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace kelvane {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    // The text at the top of its place, so that a caption and its value, whose places differ
    // in height, read on one line.
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

frmAbout::frmAbout(const AppState& state, SoundCues& cues, const QIcon& icon)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      state_(state), cues_(cues) {
    setObjectName(QStringLiteral("frmAbout"));
    // However it closes, the window goes; the next opening makes a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Kelvane"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Label3 = label(this, "Label3", QStringLiteral("Kelvane"));
    QFont name(QStringLiteral("MS Sans Serif"));
    name.setPointSizeF(9.75);
    name.setBold(true);
    Label3->setFont(name);
    Image1 = label(this, "Image1", QString());
    Image1->setPixmap(icon.pixmap(32, 32));
    Label1 = label(this, "Label1", QStringLiteral("Version: "));
    Label8 = label(this, "Label8", QString());
    Label2 = label(this, "Label2", QStringLiteral("Build:"));
    Label9 = label(this, "Label9", QString());
    Label10 = label(this, "Label10",
                    QStringLiteral("Kelvane is free software under the GNU General Public "
                                   "License, version 3 or later."));
    Label10->setWordWrap(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    Form_Load();
    DesignPlacement design;
    for (auto [control, width] : {std::pair<QWidget*, int>{Label3, 1395},
                                  {Label1, 615},
                                  {Label2, 495},
                                  {Label8, 915},
                                  {Label9, 1035},
                                  {cmdOK, 1230}})
        design.fit(control, width);
    design.place(cmdOK, 1755, 3180, 1230, 360);
    design.place(Label3, 240, 240, 1395, 315);
    design.place(Image1, 3540, 180, 480, 480);
    design.place(Label1, 240, 960, 615, 195);
    design.place(Label8, 900, 960, 915, 255);
    design.place(Label2, 240, 1320, 495, 195);
    design.place(Label9, 780, 1320, 1035, 255);
    design.place(Label10, 240, 1920, 4200, 900);
    design.size(this, 4680, 3735);
}

void frmAbout::Form_Load() {
    unsetCursor();
    Label8->setText(state_.sVersionText);
    Label9->setText(state_.sBuildText);
}

void frmAbout::cmdOK_Click() {
    cues_.PlayClickSound();
    close();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdOK_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
