#pragma once

// A small web server on 127.0.0.1: each path answers as scripted, stalls or never ends; a path
// that needs request headers (hot-link protection) answers 403 "forbidden" without them.

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace kelvane::test {

class HttpServer : public QTcpServer {
public:
    // Once: the body with its length. Stall: never an answer. Endless: the body without end.
    enum class Mode { Once, Stall, Endless };

    HttpServer() { listen(QHostAddress::LocalHost); }

    // How a path (without its query) answers; headers are "Name: value\r\n" lines.
    void route(const QByteArray& path, int status, const QByteArray& contentType,
               const QByteArray& body, const QByteArray& headers = {}, Mode mode = Mode::Once) {
        routes_.insert(path, {"HTTP/1.1 " + QByteArray::number(status) +
                                  " X\r\nContent-Type: " + contentType + "\r\n" + headers,
                              body, mode});
    }
    // Header lines ("Name: value") a request for path must carry.
    void need(const QByteArray& path, const QByteArrayList& lines) { needs_.insert(path, lines); }
    QString url(const QByteArray& path) const {
        return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()) + QString::fromLatin1(path);
    }

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    struct Answer {
        QByteArray head, body;
        Mode mode;
    };

    void serve(QTcpSocket* socket) {
        if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
            return; // the request's head not complete yet
        const QByteArray request = socket->readAll();
        requests << request.split(' ').value(1);
        const QByteArray path = requests.last().split('?').value(0);
        const QByteArrayList lines = request.toLower().split('\n');
        const QByteArrayList needed = needs_.value(path);
        const bool refused = std::any_of(needed.cbegin(), needed.cend(), [&](const QByteArray& l) {
            return !lines.contains(l.toLower() + '\r');
        });
        const Answer a =
            refused
                ? Answer{"HTTP/1.1 403 X\r\nContent-Type: text/html\r\n", "forbidden", Mode::Once}
                : routes_.value(path, {"HTTP/1.1 404 X\r\nContent-Type: text/plain\r\n",
                                       "not found", Mode::Once});
        if (a.mode == Mode::Endless) {
            socket->write(a.head + "\r\n");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket, a] {
                if (socket->bytesToWrite() < (4 << 20))
                    socket->write(a.body);
            });
            timer->start(1);
        } else if (a.mode == Mode::Once) {
            socket->write(a.head + "Content-Length: " + QByteArray::number(a.body.size()) +
                          "\r\nConnection: close\r\n\r\n" + a.body);
            socket->disconnectFromHost();
        }
    }

    QHash<QByteArray, Answer> routes_;
    QHash<QByteArray, QByteArrayList> needs_;

public:
    QByteArrayList requests; // what was asked for, path and query, oldest first
};

} // namespace kelvane::test
