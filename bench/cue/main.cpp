// How long a sound cue blocks its caller, beside the cue's own length.
//
//   bench_cue            measure all seven cues, a missing file and unreachable servers
//   bench_cue --time N F play file F N times and print each blocking time in ms (used for
//                        the child runs with a different PULSE_SERVER)
//
// Prints figures only.

#include "platform/x11/sound/PulseSound.h"
#include "platform/x11/sound/SoundFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace kelvane;

namespace {

const char* const kCues[] = {"hello", "click", "enlarge", "shrink", "saved", "uhoh", "byebye"};

double timeOnce(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double medianOf(int runs, const std::function<void()>& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timeOnce(f));
    return median(times);
}

// Runs this program as a child with PULSE_SERVER set to server; returns its output lines.
QStringList childTimes(const QString& server, const QString& file, int count) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", server);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--time", QString::number(count), file});
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        return {"(child did not finish within 60 s)"};
    }
    return QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// A unix socket that accepts connections (through the kernel's backlog) and never answers.
int listenMute(const QString& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || name.size() >= int(sizeof(addr.sun_path))) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    std::copy(name.begin(), name.end(), addr.sun_path);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) < 0 || listen(fd, 16) < 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void measureCues(const QString& res, int runs, const char* label) {
    std::printf("%s:\n%-8s %10s %10s %8s %10s\n", label, "cue", "length ms", "blocks ms", "ratio",
                "extra ms");
    for (const char* cue : kCues) {
        const QString path = res + "/" + cue + ".wav";
        const auto sound = decodeSoundFile(path);
        if (!sound) {
            std::printf("%-8s (missing or unreadable)\n", cue);
            continue;
        }
        const double length = sound->seconds() * 1000.0;
        const double blocks = medianOf(runs, [&] { playWavSync(path); });
        std::printf("%-8s %10.1f %10.1f %8.2f %10.1f\n", cue, length, blocks, blocks / length,
                    blocks - length);
    }
    std::printf("\n");
}

void printChild(const char* what, const QStringList& times) {
    std::printf("%-44s %s ms\n", what, qPrintable(times.join(" / ")));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--time") {
        for (int i = 0; i < args[2].toInt(); ++i)
            std::printf("%.1f\n", timeOnce([&] { playWavSync(args[3]); }));
        return 0;
    }

    QString res = app.applicationDirPath() + "/res";
    if (!QDir(res).exists())
        res = QStringLiteral(KELVANE_BUILD_DIR "/res");
    const int runs = 5;
    std::printf("PULSE_SERVER=%s\ncues in %s, median of %d runs\n\n",
                qgetenv("PULSE_SERVER").constData(), qPrintable(res), runs);

    const QString first = res + "/click.wav";
    std::printf("first call (connect, decode, play click): %.1f ms\n\n",
                timeOnce([&] { playWavSync(first); }));

    measureCues(res, runs, "as the server is");
    // A null sink that has gone idle renders silence in blocks of up to two seconds and does
    // not rewind them for a new stream (hardware sinks and PipeWire do). A quiet stream of
    // our own keeps it at a low latency, as on a desktop where something is playing.
    const QString pacat = QStandardPaths::findExecutable("pacat");
    QProcess keeper;
    if (!pacat.isEmpty()) {
        keeper.start(pacat, {"--playback", "--latency-msec=20", "--raw", "--format=s16le",
                             "--channels=1", "--rate=44100", "/dev/zero"});
        if (keeper.waitForStarted()) {
            QThread::msleep(2500); // let the current long block of the sink run out
            measureCues(res, runs, "with a 20 ms keeper stream on the sink");
        }
    }

    const QString missing = res + "/no-such-cue.wav";
    std::printf("\n%-44s %.3f ms\n", "missing file (median of 50)",
                medianOf(50, [&] { playWavSync(missing); }));

    const QString paplay = QStandardPaths::findExecutable("paplay");
    if (!paplay.isEmpty()) {
        const QString hello = res + "/hello.wav";
        const double t = medianOf(3, [&] { QProcess::execute(paplay, {hello}); });
        std::printf("%-44s %.1f ms\n", "baseline: paplay hello (median of 3)", t);
    }
    if (keeper.state() != QProcess::NotRunning) {
        keeper.terminate();
        keeper.waitForFinished();
    }

    std::printf("\nother servers, in a child process (each call of 3):\n");
    const QString hello = res + "/hello.wav";
    printChild("no socket (unix:/nonexistent/native)",
               childTimes("unix:/nonexistent/kelvane/native", hello, 3));
    QTemporaryDir dir;
    const QString mutePath = dir.path() + "/native";
    const int mute = dir.isValid() ? listenMute(mutePath) : -1;
    if (mute >= 0) {
        printChild("server that never answers", childTimes("unix:" + mutePath, hello, 3));
        close(mute);
    }
    return 0;
}
