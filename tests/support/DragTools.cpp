#include "DragTools.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace kelvane::test {

namespace {

// Runs the event loop until done() holds or the time is up; returns done().
bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    tick.start(5);
    loop.exec();
    return done();
}

// How dragWithPointer moves the pointer, chosen for Xvfb + openbox with room to spare on a
// busy machine.
constexpr struct {
    int settleMs = 60;       // after moving to the start point and after the press
    int startSteps = 4;      // motions right after the press, startStepPx apart, that
    int startStepPx = 5;     //   make the source start its drag
    int travelStepPx = 40;   // the longest single motion on the way to the target
    int minTravelSteps = 8;  //   and the fewest motions on the way
    int stepMs = 15;         // pause after each motion on the way
    int hoverSteps = 6;      // 1-pixel motions on the target that keep position messages
    int hoverMs = 25;        //   flowing, ending on the target point
    int holdMs = 150;        // pause on the target point before the release
    int afterReleaseMs = 60; // pause after the release
} pace;

QString seconds(int ms) {
    return QString::number(std::max(ms, 0) / 1000.0, 'f', 3);
}

void addMove(QStringList& cmd, QPoint p, int pauseMs) {
    cmd << QStringLiteral("mousemove") << QString::number(p.x()) << QString::number(p.y());
    if (pauseMs > 0)
        cmd << QStringLiteral("sleep") << seconds(pauseMs);
}

} // namespace

QString dragSourceProgram() {
    return QStringLiteral(KELVANE_BUILD_DIR "/dragsource");
}

DragSource::DragSource() {
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
}

DragSource::~DragSource() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void DragSource::readLines() {
    pending_ += process_.readAllStandardOutput();
    int end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() == 5 && f[0] == QLatin1String("ready"))
            geometry_ = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        else if (f.size() == 2 && f[0] == QLatin1String("drag-result"))
            results_ << f[1];
    }
}

bool DragSource::start(const QStringList& args, int timeoutMs) {
    const QString program = dragSourceProgram();
    if (!QFileInfo(program).isExecutable()) {
        error_ = program + QStringLiteral(" is not built (build the dragsource target)");
        return false;
    }
    geometry_ = QRect();
    results_.clear();
    pending_.clear();
    process_.start(program, args);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ = QStringLiteral("dragsource did not start: ") + process_.errorString();
        return false;
    }
    spinUntil([&] { return geometry_.isValid() || process_.state() == QProcess::NotRunning; },
              timeoutMs);
    if (geometry_.isValid())
        return true;
    error_ = process_.state() == QProcess::NotRunning
                 ? QStringLiteral("dragsource ended before its window was shown")
                 : QStringLiteral("dragsource did not show its window in time");
    return false;
}

QString DragSource::waitForResult(int timeoutMs) {
    spinUntil([&] { return !results_.isEmpty() || process_.state() == QProcess::NotRunning; },
              timeoutMs);
    readLines(); // whatever came with the end of the process
    if (results_.isEmpty()) {
        error_ = QStringLiteral("dragsource reported no drag result");
        return {};
    }
    return results_.takeFirst();
}

QString DragSource::errorString() {
    stderr_ += process_.readAllStandardError();
    return stderr_.isEmpty() ? error_ : error_ + QStringLiteral(": ") + QString::fromUtf8(stderr_);
}

bool dragWithPointer(QPoint from, QPoint to) {
    QStringList cmd;
    addMove(cmd, from, pace.settleMs);
    cmd << QStringLiteral("mousedown") << QStringLiteral("1") << QStringLiteral("sleep")
        << seconds(pace.settleMs);

    // A few short motions start the drag; Qt needs the press and then movement beyond its
    // start distance before the drag exists and XDND messages go out.
    const int dx = to.x() >= from.x() ? pace.startStepPx : -pace.startStepPx;
    QPoint p = from;
    for (int i = 0; i < pace.startSteps; ++i)
        addMove(cmd, p += QPoint(dx, 0), pace.stepMs);

    // On the way: every motion gives the source a chance to find the window under the
    // pointer and to send the next position once the last one was answered.
    const QPoint way = to - p;
    const int steps =
        std::max(pace.minTravelSteps,
                 (std::max(std::abs(way.x()), std::abs(way.y())) + pace.travelStepPx - 1) /
                     std::max(pace.travelStepPx, 1));
    for (int i = 1; i <= steps; ++i)
        addMove(cmd, p + way * i / steps, pace.stepMs);

    // On the target: the source sends a position only after the answer to the previous one,
    // so motions that came while it waited are lost. Wiggling with pauses, ending on the
    // target point, makes the last position sent the target point itself, and the hold lets
    // its answer come back before the drop.
    for (int i = pace.hoverSteps; i > 0; --i)
        addMove(cmd, to + QPoint(i % 2, 0), pace.hoverMs);
    addMove(cmd, to, pace.holdMs);
    cmd << QStringLiteral("mouseup") << QStringLiteral("1");
    cmd << QStringLiteral("sleep") << seconds(pace.afterReleaseMs);

    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), cmd);
    if (!xdotool.waitForStarted(5000))
        return false;
    const bool ended = spinUntil([&] { return xdotool.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        xdotool.kill();
        xdotool.waitForFinished(2000);
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mouseup"), QStringLiteral("1")});
        return false;
    }
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

} // namespace kelvane::test
