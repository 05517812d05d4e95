#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;

namespace kelvane::drops {

// How long and how large a file that is still on its way may get.
struct Limits {
    int timeMs = 30'000;
    qint64 maxBytes = 200LL * 1024 * 1024;
    int maxRedirects = 5;
    int askMs = 2'000;    // the drag source's answers inside one drop, all together
    int answerMs = 5'000; // the longest wait for one answer of the drag source
};

// Fetches the picture at an http(s) address into a folder of the drop cache. Only an image
// is kept: a page, text or an error answer fails. Redirects are followed to http(s) only, at
// most limits.maxRedirects; the whole fetch may take limits.timeMs and limits.maxBytes. A failed
// fetch, or one ended halfway by the program's end, leaves no file. The request is a browser's
// own for a picture: its usual Accept, and the page the picture is on as Referer (as browsers
// send it: the origin alone to another site, nothing from https to http).
class Download : public QObject {
    Q_OBJECT

public:
    struct Result {
        QString file;  // the picture, when it arrived
        QString error; // why not, otherwise
    };
    using Done = std::function<void(const Result&)>;
    using Progress = std::function<void(qint64 received, qint64 total)>;

    // Starts fetching url into folder, under name (an image extension is added when the name
    // has none). done runs once, later, on this thread; the Download deletes itself after it,
    // or goes with the network manager, its parent.
    static void start(QNetworkAccessManager& network, const QUrl& url, const QUrl& page,
                      const QString& folder, const QString& name, const Limits& limits, Done done,
                      Progress progress = {});

    // The addresses a fetch may start from or be redirected to.
    static bool allowedScheme(const QUrl& url);

private:
    Download(QNetworkAccessManager& network, QUrl page, QString folder, QString name,
             const Limits& limits, Done done, Progress progress);
    ~Download() override;
    void get(const QUrl& url);
    void onReadyRead();
    void onFinished();
    void finish(const QString& file, const QString& error);

    QNetworkAccessManager& network_;
    QUrl page_;
    QString folder_;
    QString name_;
    Limits limits_;
    Done done_;
    Progress progress_;
    QNetworkReply* reply_ = nullptr;
    std::unique_ptr<QFile> file_;
    QByteArray head_;
    int redirects_ = 0;
    bool ended_ = false;
};

} // namespace kelvane::drops
