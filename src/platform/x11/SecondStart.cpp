#include "platform/x11/SecondStart.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace kelvane {
namespace {

constexpr qint64 kMaxLine = 4096;      // a command line longer than this is no start of ours
constexpr int kSilentPeerMs = 5000;    // a peer that says nothing is let go
constexpr int kLaterCopyWaitMs = 2000; // how long a later copy tries to be heard

} // namespace

bool SecondStart::listen(const QString& path) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path); // a killed copy's: the lock is ours
    if (!server_->listen(path)) {
        qWarning("kelvane: cannot listen at %s (%s); a later start will not show this copy",
                 qPrintable(path), qPrintable(server_->errorString()));
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QTimer::singleShot(kSilentPeerMs, peer, [peer] { peer->abort(); });
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->canReadLine()) {
                    if (peer->bytesAvailable() > kMaxLine)
                        peer->abort();
                    return;
                }
                const QByteArray line = peer->readLine(kMaxLine + 1);
                peer->disconnectFromServer();
                if (line.endsWith('\n'))
                    heard(QString::fromUtf8(line.chopped(1)));
            });
        }
    });
    return true;
}

void SecondStart::onStart(std::function<void(const QString&)> handler) {
    handler_ = std::move(handler);
    if (handler_)
        for (const QString& commandLine : std::exchange(early_, {}))
            handler_(commandLine);
}

void SecondStart::heard(const QString& commandLine) {
    if (handler_)
        handler_(commandLine);
    else
        early_ << commandLine;
}

bool SecondStart::tell(const QString& path, const QString& commandLine) {
    const QDeadlineTimer deadline(kLaterCopyWaitMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50); // the running copy has the lock but is not listening yet
    }
    socket.write(commandLine.toUtf8().replace('\n', ' ') + '\n');
    const bool sent = socket.waitForBytesWritten(int(deadline.remainingTime()));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(int(deadline.remainingTime()));
    return sent;
}

} // namespace kelvane
