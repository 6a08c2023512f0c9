#include "app/dialog_units.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Windows measures the average width over the 52 Latin letters and rounds half up.
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
    m_baseX = std::max(1, (alphabetWidth / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, m_baseX, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, m_baseY, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return {left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top};
}
