#include "app/drawn_icons.h"

#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRect>

namespace vexlor {
namespace {

constexpr int kToolbarIconSize = 16;

// A dark square with a star field and a "V" in the game's cockpit amber.
QPixmap ApplicationPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(0x50, 0x60, 0x80), 1));
    painter.setBrush(QColor(0x10, 0x14, 0x28));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd0, 0xd8, 0xff));
    for (const QPointF& star : {QPointF(6, 7), QPointF(25, 5), QPointF(27, 20), QPointF(5, 24)}) {
        painter.drawEllipse(star, 0.9, 0.9);
    }
    QPainterPath v;
    v.moveTo(7, 8);
    v.lineTo(16, 27);
    v.lineTo(25, 8);
    painter.setPen(QPen(QColor(0xff, 0xb0, 0x20), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(v);
    return pixmap;
}

// Small window frames, each with a title strip, as the arrangement buttons show them.
QIcon WindowsIcon(const QList<QRect>& frames) {
    QPixmap pixmap(kToolbarIconSize, kToolbarIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (const QRect& frame : frames) {
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.setBrush(Qt::white);
        painter.drawRect(frame);
        painter.fillRect(frame.x() + 1, frame.y() + 1, frame.width(), 2, QColor(0x00, 0x30, 0xa0));
    }
    return QIcon(pixmap);
}

}  // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(ApplicationPixmap(size));
    }
    return icon;
}

QIcon CascadeIcon() {
    return WindowsIcon({QRect(0, 0, 10, 9), QRect(3, 3, 10, 9), QRect(6, 6, 9, 9)});
}

QIcon TileSideBySideIcon() {
    return WindowsIcon({QRect(0, 1, 7, 13), QRect(8, 1, 7, 13)});
}

QIcon TileOneAboveAnotherIcon() {
    return WindowsIcon({QRect(1, 0, 13, 7), QRect(1, 8, 13, 7)});
}

}  // namespace vexlor
