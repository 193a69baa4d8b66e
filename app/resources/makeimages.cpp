// Draws the editor's bitmaps and writes them as PNG files into the directory
// given as the first argument (default: the current directory):
//   IDR_MAINFRAME_icon.png, IDR_SQLTYPE_icon.png  window icons, 32 x 32
// The PNGs are committed; this program is only run to redraw them:
//   cmake --build <dir> --target prax_make_images &&
//   QT_QPA_PLATFORM=offscreen <dir>/bin/prax_make_images app/resources
// Everything is drawn pixel-exactly in the 16 colours of the classic palette.
// (The toolbar icons are SVG drawings of their own, in icons/; the About box
// shows the Options dialog's logo, options/FMTLOGOU.png.)
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

namespace {

const QColor kBlack(0, 0, 0), kMaroon(128, 0, 0), kNavy(0, 0, 128), kTeal(0, 128, 128), kWhite(255, 255, 255);

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
    bool ok = icon(false).save(dir.filePath(QStringLiteral("IDR_MAINFRAME_icon.png")));
    ok = icon(true).save(dir.filePath(QStringLiteral("IDR_SQLTYPE_icon.png"))) && ok;
    return ok ? 0 : 1;
}
