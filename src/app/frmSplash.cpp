#include "app/frmSplash.h"
#include "ui/Artwork.h"

#include "app/frmMain.h"
#include "history/frmHistory.h"
#include "ui/SizeTable.h"

#include <QCloseEvent>
#include <QLabel>

namespace kelvane {
namespace {

// Time for the client and the history window to reach the screen before the greeting.
constexpr int kGreetingDelayMs = 150;

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect twips, QFont font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                   twipsToPixels(twips.height()));
    l->setFont(font);
    return l;
}

} // namespace

frmSplash::frmSplash(frmMain& main)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), main_(main) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setFixedSize(twipsToPixels(5715), twipsToPixels(4095));
    // A thin border: the window's own colour in a one-pixel margin around the picture.
    QPalette border = palette();
    border.setColor(QPalette::Window, QColor(0x40, 0x50, 0x6a));
    setPalette(border);
    setAutoFillBackground(true);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setGeometry(rect().adjusted(1, 1, -1, -1));
    picture->setPixmap(
        QPixmap::fromImage(artwork::splashPicture(picture->size(), picture->devicePixelRatioF())));

    QFont bold(QStringLiteral("Sans Serif"));
    bold.setPointSizeF(9.75);
    bold.setBold(true);
    QFont slogan(QStringLiteral("Arial"));
    slogan.setPointSizeF(14.25);
    slogan.setBold(true);
    Label5 = label(this, "Label5", QStringLiteral("Version 1.0"), {180, 2500, 2175, 255}, bold);
    Label4 = label(this, "Label4", QStringLiteral("\"It's as easy as dragging and dropping\""),
                   {115, 2860, 5499, 375}, slogan);
    Label4->setAlignment(Qt::AlignCenter);
    Label2 = label(this, "Label2", QString(), {4000, 3480, 1600, 255}, QFont());
    Label3 = label(this, "Label3", QString(), {120, 3810, 5415, 255}, QFont());

    move(QRect(QPoint(), main.platform().screenSize()).center() - rect().center());

    Timer1.setInterval(2200);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Form_Load();
    Timer1.start();
}

void frmSplash::Form_Load() {
    const AppState& state = main_.state();
    if (!main_.platform().commandLine().isEmpty())
        hide();
    Label5->setText(QStringLiteral("Version ") + state.sVersionText);
    Label3->setFont(QFont(QStringLiteral("Arial"), 7));
    Label2->setText(QStringLiteral("Build Number: ") + state.sBuildText);
    Label3->setText(QStringLiteral("Free software under the GNU GPL, version 3 or later."));
    main_.InitializeMainForm();
}

void frmSplash::setSplashDuration(int milliseconds) {
    Timer1.setInterval(milliseconds);
    Timer1.start();
}

void frmSplash::loadFinished() {
    if (std::exchange(handOverDue_, false))
        Timer1_Timer();
}

void frmSplash::Timer1_Timer() {
    // The hand-over waits for the end of the client's start-up (a start-up message box may
    // still be open).
    if (!main_.loadFinished()) {
        handOverDue_ = true;
        Timer1.stop();
        return;
    }
    main_.handOver();
    Timer1.stop();
    close();
}

void frmSplash::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmSplash::Form_Unload() {
    if (std::exchange(unloaded_, true))
        return;
    hide(); // gone from the screen before the history window and the greeting
    AppState& state = main_.state();
    state.bStartupInProgress = false;
    if (state.bShowHistory && main_.history())
        main_.ShowHistoryForm();
    // The greeting blocks while it plays: the client and the history window are drawn on the
    // screen first.
    if (main_.platform().commandLine().isEmpty())
        QTimer::singleShot(kGreetingDelayMs, &main_,
                           [main = &main_] { main->cues().PlaySoundCue(QStringLiteral("hello")); });
}

} // namespace kelvane
