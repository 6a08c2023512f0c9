#include "app/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace {

QPixmap Canvas(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The largest bold font whose text fits into `box`.
QFont FittingFont(QPainter& painter, const QString& text, const QRectF& box) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(box.height())));
    while (font.pixelSize() > 1) {
        const QRectF needed = QFontMetricsF(font, painter.device()).tightBoundingRect(text);
        if (needed.width() <= box.width() && needed.height() <= box.height()) {
            break;
        }
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

void DrawCentredText(QPainter& painter, const QString& text, const QRectF& box) {
    painter.setFont(FittingFont(painter, text, box));
    // Centre the ink, not the line box, so digits sit in the middle of the circle.
    const QRectF ink = QFontMetricsF(painter.font(), painter.device()).tightBoundingRect(text);
    const QPointF origin = box.center() - ink.center();
    painter.drawText(origin, text);
}

}  // namespace

QPixmap NumberBadge(int digit, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap = Canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const qreal diameter = std::min(size.width(), size.height()) - 1.0;
    const QRectF circle(0.5, 0.5, diameter, diameter);
    QLinearGradient fill(circle.topLeft(), circle.bottomLeft());
    fill.setColorAt(0.0, QColor(0x4a, 0x8f, 0xe7));
    fill.setColorAt(1.0, QColor(0x1d, 0x55, 0xb0));
    painter.setPen(QPen(QColor(0x16, 0x42, 0x8a), 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(circle);

    painter.setPen(Qt::white);
    const qreal inset = diameter * 0.28;
    DrawCentredText(painter, QString::number(digit), circle.adjusted(inset, inset, -inset, -inset));
    return pixmap;
}

QPixmap WordMark(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap = Canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF badge = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = badge.height() * 0.25;
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0.0, QColor(0x5f, 0xbf, 0x5a));
    fill.setColorAt(1.0, QColor(0x2c, 0x8a, 0x3a));
    painter.setPen(QPen(QColor(0x23, 0x6e, 0x2e), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(badge, radius, radius);

    // A small 2 x 2 mosaic before the name.
    const qreal tile = badge.height() * 0.26;
    const qreal gap = tile * 0.25;
    const QPointF mosaic(badge.left() + badge.height() * 0.22, badge.center().y() - tile - gap / 2);
    const std::array<QColor, 4> tiles = {QColor(255, 255, 255), QColor(255, 255, 255, 150),
                                         QColor(255, 255, 255, 150), QColor(255, 255, 255)};
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(tiles[static_cast<size_t>(i)]);
        painter.drawRoundedRect(QRectF(mosaic.x() + (i % 2) * (tile + gap),
                                       mosaic.y() + (i / 2) * (tile + gap), tile, tile),
                                tile * 0.2, tile * 0.2);
    }

    const qreal textLeft = mosaic.x() + 2 * tile + gap + badge.height() * 0.22;
    const QRectF textBox(textLeft, badge.top() + badge.height() * 0.2,
                         badge.right() - textLeft - badge.height() * 0.25, badge.height() * 0.6);
    painter.setPen(Qt::white);
    DrawCentredText(painter, QStringLiteral("Tessel"), textBox);
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap = Canvas(QSize(side, side), 1.0);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 64.0, side / 64.0);  // drawn on the 64 x 64 grid of tessel.svg

        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1f, 0x3b, 0x63));
        painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
        const std::array<QColor, 4> tiles = {QColor(0x4a, 0x8f, 0xe7), QColor(0x5f, 0xbf, 0x5a),
                                             QColor(0x5f, 0xbf, 0x5a), QColor(0x4a, 0x8f, 0xe7)};
        for (int i = 0; i < 4; ++i) {
            painter.setBrush(tiles[static_cast<size_t>(i)]);
            painter.drawRoundedRect(QRectF(11 + (i % 2) * 22, 11 + (i / 2) * 22, 20, 20), 4, 4);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
