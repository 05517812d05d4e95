#include "app/frmMain.h"
#include "core/AppState.h"
#include "platform/PlatformFactory.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kelvane::prepareEnvironment();
    QApplication app(argc, argv);
    kelvane::environmentUsed();
    QApplication::setApplicationName(QStringLiteral("kelvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.kelvane.Kelvane"));
    // The client lives on in the tray while its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto platform = kelvane::createPlatform();
    kelvane::AppState state;
    kelvane::frmMain client(*platform, state);
    if (client.Form_Load() == kelvane::frmMain::LoadResult::AnotherInstance)
        return 0;
    // Ended from outside while still starting (a message box of the start-up was open).
    if (client.hasEnded())
        return 0;
    return QApplication::exec();
}
