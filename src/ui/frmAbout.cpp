#include "ui/frmAbout.h"

#include "core/AppState.h"
#include "core/SoundCues.h"
#include "ui/PlaceControl.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace kelvane {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// A value beside its caption: at its designed place, or just right of a caption that the
// desktop's font has made wider.
void placeBeside(QLabel* value, const QLabel* caption, int left, int top, int width, int height) {
    placeControl(value, left, top, width, height);
    const int right = caption->geometry().right() + 4;
    if (value->x() < right)
        value->move(right, value->y());
}

} // namespace

frmAbout::frmAbout(const AppState& state, SoundCues& cues, const QIcon& icon)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      state_(state), cues_(cues) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kelvane"));
    setFixedSize(twipsToPixels(4680), twipsToPixels(3735));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    placeControl(cmdOK, 1755, 3180, 1230, 360);
    Label3 = label(this, "Label3", QStringLiteral("Kelvane"));
    QFont name(QStringLiteral("MS Sans Serif"));
    name.setPointSizeF(9.75);
    name.setBold(true);
    Label3->setFont(name);
    placeControl(Label3, 240, 240, 1395, 315);
    Image1 = label(this, "Image1", QString());
    Image1->setPixmap(icon.pixmap(32, 32));
    placeControl(Image1, 3540, 180, 480, 480);
    Label1 = label(this, "Label1", QStringLiteral("Version: "));
    placeControl(Label1, 240, 960, 615, 195);
    Label8 = label(this, "Label8", QString());
    Label2 = label(this, "Label2", QStringLiteral("Build:"));
    placeControl(Label2, 240, 1320, 495, 195);
    Label9 = label(this, "Label9", QString());
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    Form_Load();
}

void frmAbout::Form_Load() {
    unsetCursor();
    Label8->setText(state_.sVersionText);
    Label9->setText(state_.sBuildText);
    placeBeside(Label8, Label1, 900, 960, 915, 255);
    placeBeside(Label9, Label2, 780, 1320, 1035, 255);
}

void frmAbout::cmdOK_Click() {
    cues_.PlayClickSound();
    close();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    event->accept();
    deleteLater();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdOK_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
