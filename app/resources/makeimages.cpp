// Draws the editor's bitmaps and writes them as PNG files into the directory
// given as the first argument (default: the current directory):
//   FMTLOGOU.png       About box logo, 144 x 96 pixels
//   IDR_MAINFRAME_icon.png, IDR_SQLTYPE_icon.png  window icons, 32 x 32
// The PNGs are committed; this program is only run to redraw them:
//   cmake --build <dir> --target prax_make_images &&
//   QT_QPA_PLATFORM=offscreen <dir>/bin/prax_make_images app/resources
// Everything is drawn pixel-exactly in the 16 colours of the classic palette.
// (The toolbar icons are SVG drawings of their own, in icons/.)
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

namespace {

const QColor kBlack(0, 0, 0), kMaroon(128, 0, 0), kNavy(0, 0, 128), kTeal(0, 128, 128), kSilver(192, 192, 192),
    kGrey(128, 128, 128), kWhite(255, 255, 255);

// A sheet of paper with a folded corner, outlined in black.
void page(QPainter &p, int x, int y, int w, int h)
{
    p.setPen(kBlack);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + w - 4, y), QPoint(x + w, y + 4), QPoint(x + w, y + h),
                            QPoint(x, y + h)}));
    p.drawLine(x + w - 4, y, x + w - 4, y + 4);
    p.drawLine(x + w - 4, y + 4, x + w, y + 4);
}

void lines(QPainter &p, int x, int y, int w, int count, const QColor &c, int step = 2)
{
    p.setPen(c);
    for (int i = 0; i < count; ++i)
        p.drawLine(x, y + i * step, x + w - 1, y + i * step);
}

QImage logo()
{
    // A silver plate with a formatted SELECT in it and the product name.
    QImage img(144, 96, QImage::Format_RGB32);
    img.fill(kSilver);
    QPainter p(&img);
    p.setPen(kWhite);
    p.drawLine(0, 0, 143, 0);
    p.drawLine(0, 0, 0, 95);
    p.setPen(kGrey);
    p.drawLine(143, 1, 143, 95);
    p.drawLine(1, 95, 143, 95);
    p.fillRect(8, 8, 128, 50, kWhite);
    p.setPen(kBlack);
    p.drawRect(8, 8, 127, 49);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(9);
    p.setFont(mono);
    const char *rows[4][2] = {{"SELECT", "name, qty"}, {"  FROM", "stock"}, {" WHERE", "qty > 0"}, {"   AND", "id = 7"}};
    for (int i = 0; i < 4; ++i) {
        p.setPen(kNavy);
        p.drawText(14, 20 + i * 11, QString::fromLatin1(rows[i][0]));
        p.setPen(kMaroon);
        p.drawText(56, 20 + i * 11, QString::fromLatin1(rows[i][1]));
    }
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(24);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kGrey);
    p.drawText(QRect(10, 62, 128, 30), Qt::AlignCenter, QStringLiteral("Prax"));
    p.setPen(kTeal);
    p.drawText(QRect(8, 60, 128, 30), Qt::AlignCenter, QStringLiteral("Prax"));
    return img;
}

QImage icon(bool document)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    if (document) {
        page(p, 5, 1, 21, 29);
        lines(p, 9, 8, 12, 8, kNavy, 3);
    } else {
        p.setPen(kBlack);
        p.setBrush(kTeal);
        p.drawRect(1, 1, 29, 29);
        p.fillRect(5, 5, 22, 22, kWhite);
        lines(p, 8, 9, 6, 5, kNavy, 4);
        lines(p, 16, 9, 8, 5, kMaroon, 4);
    }
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool ok = logo().save(dir.filePath(QStringLiteral("FMTLOGOU.png"))) && ok;
    ok = icon(false).save(dir.filePath(QStringLiteral("IDR_MAINFRAME_icon.png"))) && ok;
    ok = icon(true).save(dir.filePath(QStringLiteral("IDR_SQLTYPE_icon.png"))) && ok;
    return ok ? 0 : 1;
}
