// Sound cues on the test desktop's PulseAudio null sink "kelvane_null", recorded from its monitor.
#include "DesktopTools.h"
#include "platform/x11/sound/PulseSound.h"

#include <QLocalServer>
#include <QThread>
#include <cmath>
#include <sndfile.h>
#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Seconds from the first to the last sample above 2% of the loudest one.
template <typename T> double audibleSeconds(const std::vector<T>& s, int channels, int rate) {
    double peak = 0;
    for (T v : s)
        peak = std::max(peak, std::abs(double(v)));
    long first = -1, last = -1;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (peak > 0 && std::abs(double(s[i])) > 0.02 * peak)
            first = first < 0 ? long(i) : first, last = long(i);
    return first < 0 ? 0 : double(last - first) / channels / rate;
}

// The sound's audible length as the file holds it; 0 for what cannot be read.
double fileSeconds(const QString& path) {
    SF_INFO info{};
    SNDFILE* f = QFileInfo(path).isFile()
                     ? sf_open(QFile::encodeName(path).constData(), SFM_READ, &info)
                     : nullptr;
    if (!f)
        return 0;
    std::vector<float> data(std::size_t(info.frames) * info.channels);
    sf_readf_float(f, data.data(), info.frames);
    sf_close(f);
    return audibleSeconds(data, info.channels, info.samplerate);
}

} // namespace

class TestSoundCue : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QLocalServer mute_; // accepts (through the kernel's backlog) and never answers
    QString res_ = QCoreApplication::applicationDirPath() + "/res/";

private Q_SLOTS:
    void playsToTheEnd_data() {
        QTest::addColumn<QString>("path");
        for (const char* cue : {"hello", "click", "enlarge", "saved", "uhoh", "byebye"})
            QTest::newRow(cue) << res_ + cue + ".wav";
        QTest::newRow("missing: silent") << tmp_.filePath("no-such.wav");
        const QString fifo = tmp_.filePath("pipe.wav");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || QFile::exists(fifo));
        QTest::newRow("named pipe: silent, no wait") << fifo;
    }

    // The whole sound reaches the sink (within 10 ms), and no stream of ours stays behind.
    void playsToTheEnd() {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("needs the test desktop's sound server (scripts/test-desktop.sh)");
        QFETCH(QString, path);
        const double expected = fileSeconds(path);
        const QString raw = tmp_.filePath("rec.raw");
        QProcess parec;
        parec.setStandardOutputFile(raw);
        parec.start("parec", {"-d", "kelvane_null.monitor", "--raw", "--format=s16le",
                              "--channels=1", "--rate=44100", "--latency-msec=20"});
        QVERIFY2(QTest::qWaitFor([&] { return QFile(raw).size() >= 4096; }, 5000),
                 "parec does not record from kelvane_null.monitor");
        playWavSync(path);
        QVERIFY(!run("pactl", {"list", "sink-inputs"}).contains("application.name = \"Kelvane\""));
        QThread::msleep(300); // the monitor delivers a little behind the sink
        parec.terminate();
        parec.waitForFinished();
        const QByteArray bytes = readBytes(raw);
        std::vector<qint16> samples(bytes.size() / 2);
        memcpy(samples.data(), bytes.constData(), samples.size() * 2);
        const double heard = audibleSeconds(samples, 1, 44100);
        const auto loud = std::count_if(samples.begin(), samples.end(),
                                        [](int sample) { return std::abs(sample) > 100; });
        QVERIFY2(expected == 0 ? loud == 0 : heard >= expected - 0.010, // silent or heard out
                 qPrintable(QString("heard %1 of %2 ms").arg(heard * 1000).arg(expected * 1000)));
    }

    void endsWhateverTheServer_data() {
        QTest::addColumn<QString>("server"); // PULSE_SERVER
        QTest::newRow("no socket") << "unix:" + tmp_.filePath("gone/native");
        QVERIFY(mute_.listen(tmp_.filePath("mute")));
        QTest::newRow("server that never answers") << "unix:" + mute_.fullServerName();
    }

    // The cue returns whatever the server does: this program as a child plays one.
    void endsWhateverTheServer() {
        QFETCH(QString, server);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", server);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--play", res_ + "hello.wav"});
        QVERIFY(child.waitForFinished(20000)); // a hang, not a speed limit
        QCOMPARE(child.exitCode(), 0);
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--play") {
        playWavSync(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSoundCue test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soundcue.moc"
