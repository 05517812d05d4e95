// The baseline of the start-up and idle benchmarks: the smallest Qt Widgets program with a
// window of Kelvane's size, doing nothing (with --poll, a timer ticking as often as Kelvane's
// hover poll does while the pointer is on the client).
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("baseline"));
    window.setWindowTitle(QStringLiteral("Kelvane baseline"));
    window.resize(73, 89);
    window.show();
    QTimer poll;
    if (QCoreApplication::arguments().contains(QStringLiteral("--poll"))) {
        QObject::connect(&poll, &QTimer::timeout, [] { (void)QCursor::pos(); });
        poll.start(120);
    }
    return QApplication::exec();
}
