#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;

namespace kelvane {

// Later starts of the program reach the running copy through a local socket beside the
// one-copy lock: the later copy writes its command line and a line end, and ends. Only the
// holder of the lock listens, so a socket file found there is a killed copy's and is replaced.
class SecondStart : public QObject {
public:
    // The running copy: listens at path. False (the reason on standard error) when it cannot.
    bool listen(const QString& path);
    // Calls handler with each later start's command line, those heard before it was set first.
    void onStart(std::function<void(const QString&)> handler);

    // A later copy: hands its command line to the copy listening at path, waiting a moment for
    // one that holds the lock but is not listening yet. False when none took it.
    static bool tell(const QString& path, const QString& commandLine);

private:
    void heard(const QString& commandLine);

    QLocalServer* server_ = nullptr;
    std::function<void(const QString&)> handler_;
    QStringList early_; // starts heard before there was a handler
};

} // namespace kelvane
