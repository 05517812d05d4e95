// A drag source for the desktop tests: a borderless 120 x 120 window that starts a real
// (XDND) drag as soon as the left button is pressed on it and moved a few pixels.
//
//   dragsource [--at <x> <y>] (--files <path>... | --text <string>) [--action copy|move]
//
//   --at       top-left corner of the window in global pixels (default 100 100)
//   --files    text/uri-list of local files
//   --text     plain text only
//   --action   copy (default): only Qt::CopyAction is offered;
//              move: Qt::MoveAction is the default, Qt::CopyAction is allowed as well
//
// Standard output, one line each, flushed at once:
//   ready <x> <y> <w> <h>      the window is mapped; its global geometry without frame
//   drag-result <copy|move|link|ignore>   what QDrag::exec returned, at the end of a drag
// Bad arguments: a message on standard error and exit status 2.
//
// The program ends after the first drag; after a drop only once the target has said it is
// finished (Qt then deletes the drag object), or at most kFinishWaitMs later: a target reads
// the dropped data from this process only after the drop.

#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

constexpr int kSide = 120;
constexpr int kStartDistance = 4;      // pixels of motion after the press that start the drag
constexpr int kFinishWaitMs = 5000;    // the longest wait for the target after a drop
constexpr int kPlacementWaitMs = 3000; // the longest wait for the window manager's placement

struct Options {
    QPoint at{100, 100};
    QStringList files;
    QString text;
    bool move = false;
};

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

[[noreturn]] void usage(const QString& why) {
    std::fprintf(stderr, "dragsource: %s\n", qPrintable(why));
    std::exit(2);
}

Options parse(const QStringList& args) {
    Options o;
    auto value = [&](int& i) {
        if (i + 1 >= args.size())
            usage(args[i] + QStringLiteral(" needs a value"));
        return args[++i];
    };
    auto number = [&](int& i) {
        bool ok = false;
        const int n = value(i).toInt(&ok);
        if (!ok)
            usage(args[i] + QStringLiteral(" is not a number"));
        return n;
    };
    int kinds = 0;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--at")) {
            const int x = number(i);
            o.at = QPoint(x, number(i));
        } else if (a == QLatin1String("--files")) {
            ++kinds;
            while (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                o.files << args[++i];
            if (o.files.isEmpty())
                usage(QStringLiteral("--files needs at least one path"));
        } else if (a == QLatin1String("--text")) {
            ++kinds;
            o.text = value(i);
        } else if (a == QLatin1String("--action")) {
            const QString action = value(i);
            if (action != QLatin1String("copy") && action != QLatin1String("move"))
                usage(QStringLiteral("--action is copy or move"));
            o.move = action == QLatin1String("move");
        } else {
            usage(QStringLiteral("unknown argument ") + a);
        }
    }
    if (kinds != 1)
        usage(QStringLiteral("give exactly one of --files, --text"));
    return o;
}

QMimeData* makeMimeData(const Options& o) {
    auto* data = new QMimeData;
    if (!o.files.isEmpty()) {
        QList<QUrl> urls;
        for (const QString& f : o.files)
            urls << QUrl::fromLocalFile(f);
        data->setUrls(urls);
    } else {
        data->setText(o.text);
    }
    return data;
}

QString actionName(Qt::DropAction a) {
    switch (a) {
    case Qt::CopyAction:
        return QStringLiteral("copy");
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
        return QStringLiteral("move");
    case Qt::LinkAction:
        return QStringLiteral("link");
    default:
        return QStringLiteral("ignore");
    }
}

class SourceWindow : public QWidget {
public:
    explicit SourceWindow(Options o) : options_(std::move(o)) {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle(QStringLiteral("dragsource"));
        setFixedSize(kSide, kSide);
        move(options_.at);
    }

    // Reports the geometry once the window is mapped and the window manager has placed it
    // (or has had kPlacementWaitMs to do so).
    void announceWhenPlaced() {
        placing_.start();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            const bool placed = windowHandle() && windowHandle()->isExposed() &&
                                geometry().topLeft() == options_.at;
            if (!placed && placing_.elapsed() < kPlacementWaitMs)
                return;
            poll->stop();
            const QRect g = geometry();
            say(QStringLiteral("ready %1 %2 %3 %4")
                    .arg(g.x())
                    .arg(g.y())
                    .arg(g.width())
                    .arg(g.height()));
        });
        poll->start(20);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 110, 200));
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("drag me"));
    }

    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            pressedAt_ = e->position().toPoint();
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton) || pressedAt_.isNull() || dragging_)
            return;
        if ((e->position().toPoint() - pressedAt_).manhattanLength() < kStartDistance)
            return;
        pressedAt_ = QPoint();
        runDrag();
    }

private:
    void runDrag() {
        dragging_ = true;
        QPointer<QDrag> drag = new QDrag(this);
        drag->setMimeData(makeMimeData(options_));
        const Qt::DropAction result =
            options_.move ? drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction)
                          : drag->exec(Qt::CopyAction, Qt::CopyAction);
        say(QStringLiteral("drag-result ") + actionName(result));
        dragging_ = false;
        // The drag object lives on until the target has finished with the data.
        if (!drag) {
            QCoreApplication::quit();
            return;
        }
        connect(drag.data(), &QObject::destroyed, qApp, &QCoreApplication::quit);
        QTimer::singleShot(kFinishWaitMs, qApp, &QCoreApplication::quit);
    }

    Options options_;
    QPoint pressedAt_;
    bool dragging_ = false;
    QElapsedTimer placing_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SourceWindow window(parse(app.arguments()));
    window.show();
    window.announceWhenPlaced();
    return app.exec();
}
