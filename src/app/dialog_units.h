#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

/// Converts dialog-template units into pixels through a font, as Windows lays out dialogs from
/// resources: a horizontal unit is a quarter of the font's average character width, a vertical
/// unit an eighth of its height. Layouts given this way keep their proportions with any font.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QSize ToPixelsSize(int width, int height) const {
        return {ToPixelsX(width), ToPixelsY(height)};
    }
    /// The rectangle (x, y, width, height in dialog units) in pixels; the edges are converted,
    /// not the size, so neighbouring controls stay flush.
    QRect ToPixels(int x, int y, int width, int height) const;

  private:
    int m_baseX;
    int m_baseY;
};
