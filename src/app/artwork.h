#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

/// The dialog's pictures, drawn rather than loaded so they stay sharp at any size and scale.
/// `size` is in device-independent pixels; `devicePixelRatio` is the screen's scale.

/// A blue round badge with a white digit (the numbered steps of the main dialog).
QPixmap NumberBadge(int digit, QSize size, qreal devicePixelRatio);

/// The green word-mark "Tessel".
QPixmap WordMark(QSize size, qreal devicePixelRatio);

/// The application icon: four mosaic tiles on a dark rounded square (tessel.svg is the same
/// drawing for the desktop).
QIcon AppIcon();
