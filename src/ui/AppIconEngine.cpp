// The program's icon for the window, the tray and About, drawn at each size asked for.
#include "ui/Artwork.h"

#include <QHash>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace kelvane::artwork {

namespace {

// Draws the program's icon at each size it is asked for.
class AppIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawImage(rect, appIcon(qRound(std::max(rect.width(), rect.height()) * dpr)));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::max(size.width(), size.height());
        auto cached = cache_.constFind(side);
        if (cached == cache_.constEnd())
            cached = cache_.insert(side, QPixmap::fromImage(appIcon(side)));
        return *cached;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
    QString key() const override { return QStringLiteral("kelvane-app-icon"); }

private:
    QHash<int, QPixmap> cache_;
};

} // namespace

QIcon appIconSet() {
    return QIcon(new AppIconEngine);
}

} // namespace kelvane::artwork
