// Sound cues against a real PulseAudio server whose default sink is the null sink
// "kelvane_null": what is played is recorded back from its monitor.

#include "platform/x11/PulseSound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cmath>
#include <sndfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kelvane;

namespace {

constexpr int kRecordRate = 44100;
constexpr int kSilence = 100; // |sample| at or below this counts as silence

// Records the null sink's monitor as mono 16-bit into a file while a test plays something.
class MonitorRecorder {
public:
    explicit MonitorRecorder(const QString& file) : file_(file) {
        parec_.setStandardOutputFile(file);
        parec_.start("parec",
                     {"-d", "kelvane_null.monitor", "--raw", "--format=s16le", "--channels=1",
                      "--rate=" + QString::number(kRecordRate), "--latency-msec=20"});
    }
    ~MonitorRecorder() { stop(); }

    // Waits until the recording is running; what it holds up to here is the "before" part.
    bool waitUntilLive() {
        for (int i = 0; i < 500 && parec_.state() != QProcess::NotRunning; ++i) {
            if (QFile(file_).size() >= 4096)
                return (before_ = QFile(file_).size()) > 0;
            QThread::msleep(10);
        }
        return false;
    }
    std::vector<qint16> stop() {
        if (parec_.state() != QProcess::NotRunning) {
            QThread::msleep(300); // the monitor delivers a little behind the sink
            parec_.terminate();
            parec_.waitForFinished();
        }
        QFile f(file_);
        std::vector<qint16> samples;
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray raw = f.readAll();
            samples.resize(raw.size() / 2);
            memcpy(samples.data(), raw.constData(), samples.size() * 2);
        }
        return samples;
    }
    std::size_t beforeSamples() const { return std::size_t(before_ / 2); }

private:
    QString file_;
    QProcess parec_;
    qint64 before_ = 0;
};

// Number of frames from the first to the last sample above 2% of the loudest one.
template <typename T> long audibleFrames(const std::vector<T>& s, std::size_t from, int channels) {
    double peak = 0;
    long first = -1, last = -1;
    for (std::size_t i = from; i < s.size(); ++i)
        peak = std::max(peak, std::abs(double(s[i])));
    for (std::size_t i = from; i < s.size(); ++i)
        if (peak > 0 && std::abs(double(s[i])) > 0.02 * peak)
            last = long(i), first = first < 0 ? last : first;
    return first < 0 ? 0 : (last - first) / channels;
}

bool silent(const std::vector<qint16>& s, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        if (std::abs(int(s[i])) > kSilence)
            return false;
    return true;
}

// A faded 440 Hz sine tone as a sound file in the given format.
bool writeTone(const QString& path, int format, int rate, int channels, double seconds) {
    SF_INFO info{0, rate, channels, SF_FORMAT_WAV | format, 0, 0};
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    const int frames = int(seconds * rate);
    std::vector<float> data;
    for (int i = 0; i < frames * channels; ++i)
        data.push_back(
            float(0.5 * std::min({1.0, i / channels / 200.0, (frames - i / channels) / 200.0}) *
                  std::sin(i / channels * 2 * M_PI * 440 / rate)));
    return f && sf_writef_float(f, data.data(), frames) == frames && sf_close(f) == 0;
}

// The sound's audible length in seconds, as the file holds it.
double audibleSeconds(const QString& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return 0;
    std::vector<float> data(std::size_t(info.frames) * info.channels);
    sf_readf_float(f, data.data(), info.frames);
    sf_close(f);
    return double(audibleFrames(data, 0, info.channels)) / info.samplerate;
}

QString sinkInputs() {
    QProcess pactl;
    pactl.start("pactl", {"list", "sink-inputs"});
    pactl.waitForFinished();
    return QString::fromUtf8(pactl.readAllStandardOutput());
}

} // namespace

class TestSoundCue : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString res_ = QCoreApplication::applicationDirPath() + "/res/";

    static bool haveServer() { return !qEnvironmentVariableIsEmpty("PULSE_SERVER"); }

    // Runs this test program as a child that plays `path` once with the given environment.
    bool childPlays(const QProcessEnvironment& env, const QString& path) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--play", path});
        const bool finished = child.waitForFinished(20000); // a hang, not a speed limit
        if (!finished)
            child.kill();
        child.waitForFinished();
        return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    }

private Q_SLOTS:
    void playsToTheEnd_data() {
        QTest::addColumn<QString>("path");
        for (const char* cue : {"hello", "click"})
            QTest::newRow(cue) << res_ + cue + ".wav";
        const struct {
            const char* name;
            int format, rate, channels;
        } tones[] = {{"mono 8 kHz 8-bit", SF_FORMAT_PCM_U8, 8000, 1},
                     {"5.1 96 kHz 24-bit", SF_FORMAT_PCM_24, 96000, 6}};
        for (const auto& t : tones) {
            const QString path = tmp_.filePath(QString(t.name).replace(' ', '_') + ".wav");
            QVERIFY(writeTone(path, t.format, t.rate, t.channels, 0.3));
            QTest::newRow(t.name) << path;
        }
    }
    // The whole sound reaches the sink (within 10 ms), and no stream of ours stays behind.
    void playsToTheEnd() {
        if (!haveServer())
            QSKIP("PULSE_SERVER is not set: this needs the test desktop's sound server");
        QFETCH(QString, path);
        const double expected = audibleSeconds(path);
        QVERIFY2(expected > 0, qPrintable("cannot read " + path));
        MonitorRecorder rec(tmp_.filePath("rec.raw"));
        QVERIFY2(rec.waitUntilLive(), "parec does not record from kelvane_null.monitor");
        playWavSync(path);
        QVERIFY(!sinkInputs().contains("application.name = \"Kelvane\""));
        const auto samples = rec.stop();
        QVERIFY(silent(samples, 0, rec.beforeSamples()));
        const double heard = double(audibleFrames(samples, rec.beforeSamples(), 1)) / kRecordRate;
        QVERIFY2(heard > 0, "nothing was heard");
        QVERIFY2(heard >= expected - 0.010,
                 qPrintable(QString("heard %1 of %2 ms").arg(heard * 1000).arg(expected * 1000)));
    }

    void badFilesAreSilent_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << tmp_.filePath("no-such.wav");
        const QString fifo = tmp_.filePath("pipe.wav");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || QFile::exists(fifo));
        QTest::newRow("named pipe (would block)") << fifo;
    }
    void badFilesAreSilent() {
        if (!haveServer())
            QSKIP("PULSE_SERVER is not set: this needs the test desktop's sound server");
        QFETCH(QString, path);
        MonitorRecorder rec(tmp_.filePath("rec.raw"));
        QVERIFY(rec.waitUntilLive());
        playWavSync(path);
        const auto samples = rec.stop();
        QVERIFY(silent(samples, 0, samples.size()));
    }

    void unreachableServerReturns_data() {
        QTest::addColumn<QString>("server");
        QTest::newRow("no socket") << "unix:" + tmp_.filePath("gone/native");
        // A socket that accepts (through the kernel's backlog) and never answers.
        const QString mute = tmp_.filePath("mute");
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(mute);
        QVERIFY(fd >= 0 && name.size() < int(sizeof(addr.sun_path)));
        memcpy(addr.sun_path, name.constData(), name.size());
        QVERIFY(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0);
        QVERIFY(listen(fd, 8) == 0); // left open until the program ends
        QTest::newRow("server that never answers") << "unix:" + mute;
    }
    void unreachableServerReturns() {
        QFETCH(QString, server);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", server);
        QVERIFY(childPlays(env, res_ + "hello.wav"));
    }

    // With no server configured the cue stays silent and no server is started for it. (Run
    // as root, libpulse would refuse to start one anyway; as a user this is the real check.)
    void neverStartsAServer() {
        QTemporaryDir home;
        const QString marker = home.filePath("started");
        const QString fake = home.filePath("fake-pulseaudio");
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QDir(home.path()).mkpath("rt"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"PULSE_SERVER", "DISPLAY", "PULSE_CLIENTCONFIG"})
            env.remove(name);
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", home.filePath("rt"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("PULSE_BINARY", fake);
        QVERIFY(childPlays(env, res_ + "click.wav"));
        QVERIFY(!QFile::exists(marker));
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
