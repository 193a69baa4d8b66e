#include "app/dialogunits.h"

#include <QFontMetrics>
#include <QString>

QRect mapDialogRect(const QFont &font, int x, int y, int w, int h)
{
    const QFontMetrics fm(font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int base_x = (fm.horizontalAdvance(letters) / 26 + 1) / 2; // average width, rounded
    const int base_y = fm.height();
    auto hx = [base_x](int v) { return (v * base_x + 2) / 4; };
    auto vy = [base_y](int v) { return (v * base_y + 4) / 8; };
    // Edges are converted, not sizes, so adjacent controls stay adjacent.
    return QRect(hx(x), vy(y), hx(x + w) - hx(x), vy(y + h) - vy(y));
}
