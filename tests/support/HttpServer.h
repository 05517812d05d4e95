#pragma once

// A small web server on 127.0.0.1 for the tests: each path answers as scripted (status,
// headers, body), or stalls, or sends bytes without end.

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace kelvane::test {

class HttpServer : public QTcpServer {
public:
    enum class Mode {
        Once,    // the body, with its length
        Stall,   // accepts the request and never answers
        Endless, // the body again and again, without a length
    };

    HttpServer() { listen(QHostAddress::LocalHost); }

    // How a path (without its query) answers; headers are "Name: value\r\n" lines.
    void route(const QByteArray& path, int status, const QByteArray& contentType,
               const QByteArray& body, const QByteArray& headers = {}, Mode mode = Mode::Once) {
        routes_.insert(path, {status, contentType, body, headers, mode});
    }
    QString url(const QByteArray& path) const {
        return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()) + QString::fromLatin1(path);
    }
    int requests = 0;

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    struct Answer {
        int status;
        QByteArray contentType;
        QByteArray body;
        QByteArray extraHeaders;
        Mode mode;
    };

    void serve(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        ++requests;
        QByteArray path = request.split(' ').value(1);
        pending_.remove(socket);
        const Answer answer =
            routes_.value(path.left(path.indexOf('?') < 0 ? path.size() : path.indexOf('?')),
                          Answer{404, "text/plain", "not found", {}, Mode::Once});
        if (answer.mode == Mode::Stall)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n" +
                          "Content-Type: " + answer.contentType + "\r\n" + answer.extraHeaders;
        if (answer.mode == Mode::Endless) {
            socket->write(head + "\r\n");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket, answer] {
                if (socket->bytesToWrite() < (4 << 20))
                    socket->write(answer.body);
            });
            timer->start(1);
            return;
        }
        socket->write(head + "Content-Length: " + QByteArray::number(answer.body.size()) +
                      "\r\nConnection: close\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
    }

    QHash<QByteArray, Answer> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

} // namespace kelvane::test
