#include "ui/ClientControls.h"

#include "ui/SizeTable.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace kelvane {

ClientControls::Hit ClientControls::hit(const QObject* object) const {
    if (object && object == Image1)
        return {Hit::Kind::Picture, -1};
    for (int i = 0; i < int(imgIcon.size()); ++i)
        if (object == imgIcon[i])
            return {Hit::Kind::Icon, i};
    for (int i = 0; i < int(Text.size()); ++i)
        if (object == Text[i])
            return {Hit::Kind::Label, i};
    return {};
}

void ClientControls::create(QWidget& parent, QObject* filter) {
    Text1 = new QLineEdit(&parent);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->move(0, twipsToPixels(4300));

    for (int i = 0; i < 10; ++i) {
        auto* label = new QLineEdit(&parent);
        label->setObjectName(QStringLiteral("Text(%1)").arg(i));
        label->setReadOnly(true);
        label->setFrame(false);
        // The text from edge to edge: a folder name needs every pixel.
        label->setTextMargins(-2, 0, -2, 0);
        label->setFocusPolicy(Qt::NoFocus);
        label->setContextMenuPolicy(Qt::NoContextMenu); // the right button shows "Folders"
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Base, Qt::white);
        label->setPalette(palette);
        label->hide();
        label->setAcceptDrops(true);
        label->installEventFilter(filter);
        Text[i] = label;
    }

    Image1 = new QLabel(&parent);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setAcceptDrops(true);
    Image1->installEventFilter(filter);

    prgDrop = new QProgressBar(&parent);
    prgDrop->setObjectName(QStringLiteral("prgDrop"));
    prgDrop->setTextVisible(false);
    prgDrop->hide();

    for (int i = 0; i < 3; ++i) {
        auto* icon = new QLabel(&parent);
        icon->setObjectName(QStringLiteral("imgIcon(%1)").arg(i));
        icon->setScaledContents(true);
        icon->setAcceptDrops(true);
        icon->installEventFilter(filter);
        imgIcon[i] = icon;
    }
}

} // namespace kelvane
