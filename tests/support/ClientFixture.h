#pragma once

// A client window against the fake platform, its state and folders in a temporary folder.

#include "TestFiles.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/fake/FakePlatform.h"

#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

namespace kelvane::test {

struct ClientFixture {
    QTemporaryDir dir;
    std::unique_ptr<FakePlatform> fake;
    std::unique_ptr<AppState> state;
    std::unique_ptr<frmMain> main;

    void reset() { // a fresh fake platform, state and folder; the last window gone
        if (main)  // the splash has no parent, and its timer would outlive the client
            delete main->splash();
        main.reset();
        QDir(dir.path()).removeRecursively();
        fake = std::make_unique<FakePlatform>();
        fake->state = path("state");
        fake->resources = QStringLiteral(KELVANE_BUILD_DIR); // the real pictures and sounds
        fake->home = path("home");
        fake->specialFolders[Platform::SpecialFolder::Documents] = folder("Documents");
        fake->specialFolders[Platform::SpecialFolder::Desktop] = folder("home/Desktop");
        fake->screen = QSize(1280, 1024);
        state = std::make_unique<AppState>();
    }

    QString path(const QString& name) const { return dir.path() + '/' + name; }
    QString folder(const QString& name) const { // created
        QDir().mkpath(path(name));
        return path(name);
    }
    QString documents() const { return path("Documents"); }
    QString desktop() const { return path("home/Desktop"); }
    QString settingsFile() const { return path("state/kelvane.dat"); }
    QString historyFile() const { return path("state/history.dat"); }
    QString cue(const QString& name) const { return fake->resources + "/res/" + name + ".wav"; }
    QString picture(const QString& name) const { // a small picture in the browser's cache
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(folder("cache") + '/' + name, "PNG");
        return path("cache/" + name);
    }

    // Starts the client; a previous run's settings (see previousRun) when values are given.
    frmMain& load(const QStringList& values = {}, const QStringList& folders = {}) {
        if (!values.isEmpty())
            writeFile(settingsFile(), previousRun(values, folders));
        main = std::make_unique<frmMain>(*fake, *state);
        main->Form_Load();
        return *main;
    }
    void handOver() { // the splash hands over at once; the client on the screen
        main->splash()->setSplashDuration(1);
        QTRY_VERIFY(main->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void start(const QStringList& values, const QStringList& folders = {}) { // and hands over
        load(values, folders);
        handOver();
    }
    QStringList said() const { // the messages shown, "title: text"
        return fake->calls.filter("messageBox: ").replaceInStrings("messageBox: ", "");
    }

    // The last of the three status icons among the window's children, the one shown: -1 when
    // another shows too.
    int iconInFront() const {
        const auto& icons = main->controls().imgIcon;
        const auto place = [&](QLabel* icon) { return main->children().indexOf(icon); };
        const int front = int(std::ranges::max_element(icons, {}, place) - icons.begin());
        for (int i = 0; i < int(icons.size()); ++i)
            if (i != front && !icons[i]->isHidden())
                return -1;
        return front;
    }
};

} // namespace kelvane::test
