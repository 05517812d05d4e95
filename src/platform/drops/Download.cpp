#include "platform/drops/Download.h"

#include "platform/drops/DropNaming.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace kelvane::drops {
namespace {

constexpr qint64 kReadBufferBytes = 1024 * 1024;

// What browsers accept when they load a picture.
const QByteArray kAccept = "image/avif,image/webp,image/png,image/svg+xml,image/*;q=0.8,*/*;q=0.5";

// The Referer a browser sends from page to target: the page without its fragment and user
// name to its own origin, the origin alone to another, nothing from https to http.
QByteArray referer(const QUrl& page, const QUrl& target) {
    if (!Download::allowedScheme(page) ||
        (page.scheme() == QLatin1String("https") && target.scheme() == QLatin1String("http")))
        return {};
    const bool sameOrigin = page.scheme() == target.scheme() && page.host() == target.host() &&
                            page.port(-1) == target.port(-1);
    QUrl from = page.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    if (!sameOrigin)
        from = from.adjusted(QUrl::RemovePath | QUrl::RemoveQuery);
    if (from.path().isEmpty())
        from.setPath(QStringLiteral("/"));
    return from.toEncoded();
}

} // namespace

bool Download::allowedScheme(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

void Download::start(QNetworkAccessManager& network, const QUrl& url, const QUrl& page,
                     const QString& folder, const QString& name, const Limits& limits, Done done,
                     Progress progress) {
    auto* download =
        new Download(network, page, folder, name, limits, std::move(done), std::move(progress));
    download->setParent(&network);
    QTimer::singleShot(limits.timeMs, download, [download] {
        download->finish({}, QStringLiteral("the download took too long"));
    });
    if (!allowedScheme(url)) {
        QTimer::singleShot(0, download, [download] {
            download->finish({}, QStringLiteral("only http and https addresses are fetched"));
        });
        return;
    }
    download->get(url);
}

Download::Download(QNetworkAccessManager& network, QUrl page, QString folder, QString name,
                   const Limits& limits, Done done, Progress progress)
    : network_(network), page_(std::move(page)), folder_(std::move(folder)), name_(std::move(name)),
      limits_(limits), done_(std::move(done)), progress_(std::move(progress)) {}

Download::~Download() {
    // Ended halfway with its network manager (the program's end): nothing partial stays.
    if (ended_)
        return;
    if (file_) {
        file_->close();
        file_->remove();
    }
    QDir().rmdir(folder_); // the drop's folder, when nothing else is in it
}

void Download::get(const QUrl& url) {
    QNetworkRequest request(url);
    // Redirects are followed here, so that each target is checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setMaximumRedirectsAllowed(0);
    request.setRawHeader("Accept", kAccept);
    if (const QByteArray from = referer(page_, url); !from.isEmpty())
        request.setRawHeader("Referer", from);
    reply_ = network_.get(request);
    // Without a bound the network thread reads as fast as a server sends, whatever this
    // thread has written to the file yet: an endless answer filled the memory.
    reply_->setReadBufferSize(kReadBufferBytes);
    connect(reply_, &QNetworkReply::readyRead, this, &Download::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &Download::onFinished);
    if (progress_)
        connect(reply_, &QNetworkReply::downloadProgress, this,
                [this](qint64 received, qint64 total) { progress_(received, total); });
}

void Download::onReadyRead() {
    if (ended_)
        return;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status >= 300)
        return; // a redirect or an error answer: its body is of no use
    const qint64 announced = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > limits_.maxBytes)
        return finish({}, QStringLiteral("the picture is too large"));
    if (!file_) {
        // Wait for enough bytes to tell what it is.
        head_ += reply_->read(kTypeHeadBytes - head_.size());
        if (head_.size() < kTypeHeadBytes && !reply_->isFinished())
            return;
        const QString type = imageType(head_);
        if (type.isEmpty())
            return finish({}, QStringLiteral("the address is no picture"));
        file_ = std::make_unique<QFile>(folder_ + u'/' + withImageExtension(name_, type));
        if (!file_->open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            file_->write(head_) != head_.size())
            return finish({}, file_->errorString());
    }
    const QByteArray bytes = reply_->readAll();
    if (file_->size() + bytes.size() > limits_.maxBytes)
        return finish({}, QStringLiteral("the picture is too large"));
    if (file_->write(bytes) != bytes.size())
        return finish({}, file_->errorString());
}

void Download::onFinished() {
    if (ended_)
        return;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        const QUrl target = reply_->url().resolved(
            reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
        if (++redirects_ > limits_.maxRedirects)
            return finish({}, QStringLiteral("too many redirects"));
        if (!allowedScheme(target))
            return finish(
                {},
                QStringLiteral("a redirect to %1 is not followed").arg(target.toDisplayString()));
        reply_->deleteLater();
        head_.clear();
        return get(target);
    }
    // A refusal (hot-link protection: 403) is said as such, not as a transfer error.
    if (status < 400 && reply_->error() != QNetworkReply::NoError)
        return finish({}, reply_->errorString());
    if (status < 200 || status >= 300)
        return finish({}, QStringLiteral("the server answered %1").arg(status));
    onReadyRead(); // what is left, and a picture of fewer than 32 bytes
    if (ended_)
        return;
    if (!file_ || !file_->flush())
        return finish({}, QStringLiteral("nothing arrived"));
    file_->close();
    finish(file_->fileName(), {});
}

void Download::finish(const QString& file, const QString& error) {
    if (std::exchange(ended_, true))
        return;
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    if (file_ && file.isEmpty()) {
        file_->close();
        file_->remove(); // nothing partial stays behind
    }
    if (done_)
        done_({file, error});
    deleteLater();
}

} // namespace kelvane::drops
