// Draws the editor's bitmaps and writes them as PNG files into the directory
// given as the first argument (default: the current directory):
//   IDR_MAINFRAME.png  toolbar strip, 12 images of 16 x 15 pixels side by side
//   FMTLOGOU.png       About box logo, 144 x 96 pixels
//   IDR_MAINFRAME_icon.png, IDR_SQLTYPE_icon.png  window icons, 32 x 32
// The PNGs are committed; this program is only run to redraw them:
//   cmake --build <dir> --target prax_make_images &&
//   QT_QPA_PLATFORM=offscreen <dir>/bin/prax_make_images app/resources
// Everything is drawn pixel-exactly in the 16 colours of the classic palette.
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

namespace {

const QColor kBlack(0, 0, 0), kMaroon(128, 0, 0), kGreen(0, 128, 0), kOlive(128, 128, 0), kNavy(0, 0, 128),
    kPurple(128, 0, 128), kTeal(0, 128, 128), kSilver(192, 192, 192), kGrey(128, 128, 128), kRed(255, 0, 0),
    kLime(0, 255, 0), kYellow(255, 255, 0), kBlue(0, 0, 255), kFuchsia(255, 0, 255), kAqua(0, 255, 255),
    kWhite(255, 255, 255);

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

void drawNew(QPainter &p) { page(p, 3, 1, 9, 12); }

void drawOpen(QPainter &p)
{
    p.setPen(kBlack);
    p.setBrush(kYellow);
    p.drawRect(1, 4, 11, 9);
    p.setBrush(kOlive);
    p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)}));
    p.setPen(kBlack);
    p.drawLine(9, 1, 12, 1);
    p.drawLine(13, 2, 14, 3);
    p.drawPoint(12, 4);
    p.drawLine(13, 4, 15, 4);
}

void drawSave(QPainter &p)
{
    p.setPen(kBlack);
    p.setBrush(kTeal);
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kWhite);
    p.drawRect(3, 1, 9, 6);
    p.setBrush(kSilver);
    p.drawRect(4, 9, 7, 5);
    p.fillRect(5, 10, 2, 3, kNavy);
}

void drawPrint(QPainter &p)
{
    page(p, 4, 0, 7, 7);
    p.setPen(kBlack);
    p.setBrush(kSilver);
    p.drawRect(1, 7, 14, 5);
    p.fillRect(2, 8, 13, 1, kWhite);
    p.fillRect(12, 9, 2, 1, kLime);
    p.setBrush(kWhite);
    p.drawRect(4, 12, 7, 2);
}

void drawPreview(QPainter &p)
{
    page(p, 1, 0, 10, 13);
    lines(p, 3, 3, 6, 5, kGrey);
    p.setPen(kBlack);
    p.setBrush(kAqua);
    p.drawEllipse(7, 6, 5, 5);
    p.setPen(QPen(kBlack, 2));
    p.drawLine(12, 11, 14, 13);
}

void drawFind(QPainter &p)
{
    // Binoculars.
    p.setPen(kBlack);
    p.setBrush(kNavy);
    p.drawRect(2, 2, 4, 5);
    p.drawRect(9, 2, 4, 5);
    p.setBrush(kBlack);
    p.drawRect(1, 7, 6, 6);
    p.drawRect(8, 7, 6, 6);
    p.fillRect(6, 4, 3, 4, kBlack);
    p.fillRect(2, 9, 2, 2, kAqua);
    p.fillRect(9, 9, 2, 2, kAqua);
}

void drawCut(QPainter &p)
{
    p.setPen(kBlack);
    p.drawLine(5, 0, 9, 8);
    p.drawLine(10, 0, 6, 8);
    p.setBrush(Qt::NoBrush);
    p.setPen(kNavy);
    p.drawEllipse(2, 8, 4, 5);
    p.drawEllipse(9, 8, 4, 5);
}

void drawCopy(QPainter &p)
{
    page(p, 1, 1, 8, 9);
    lines(p, 3, 4, 4, 3, kNavy);
    page(p, 6, 5, 8, 9);
    lines(p, 8, 8, 4, 3, kNavy);
}

void drawPaste(QPainter &p)
{
    p.setPen(kBlack);
    p.setBrush(kOlive);
    p.drawRect(1, 2, 10, 12);
    p.setBrush(kSilver);
    p.drawRect(4, 0, 4, 3);
    page(p, 7, 5, 7, 9);
    lines(p, 9, 8, 3, 3, kNavy);
}

void drawUndo(QPainter &p)
{
    p.setPen(QPen(kNavy, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(4, 3, 9, 9, -90 * 16, 180 * 16);
    p.drawLine(8, 12, 5, 12);
    p.setPen(kNavy);
    p.setBrush(kNavy);
    p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(6, 0), QPoint(6, 8)}));
}

void drawBeautify(QPainter &p)
{
    // Ragged lines becoming aligned ones, with a red spark.
    page(p, 1, 0, 12, 14);
    p.setPen(kBlue);
    p.drawLine(3, 3, 6, 3);
    p.drawLine(8, 3, 10, 3);
    p.drawLine(4, 6, 5, 6);
    p.drawLine(8, 6, 10, 6);
    p.drawLine(5, 9, 6, 9);
    p.drawLine(8, 9, 9, 9);
    p.setPen(kRed);
    p.drawLine(12, 9, 15, 12);
    p.drawLine(12, 12, 15, 9);
    p.drawLine(11, 10, 11, 11);
}

void drawContextHelp(QPainter &p)
{
    p.setPen(kBlack);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygon({QPoint(1, 0), QPoint(1, 10), QPoint(3, 8), QPoint(5, 12), QPoint(6, 11), QPoint(4, 7),
                            QPoint(7, 7)}));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kNavy);
    p.drawText(QRect(8, 2, 8, 12), Qt::AlignCenter, QStringLiteral("?"));
}

QImage toolbarStrip()
{
    using Draw = void (*)(QPainter &);
    const Draw images[12] = {drawNew,  drawOpen, drawSave,  drawPrint, drawPreview,  drawFind,
                             drawCut,  drawCopy, drawPaste, drawUndo,  drawBeautify, drawContextHelp};
    QImage strip(16 * 12, 15, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(16 * i, 0);
        p.setClipRect(0, 0, 16, 15);
        images[i](p);
        p.restore();
    }
    return strip;
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
    bool ok = toolbarStrip().save(dir.filePath(QStringLiteral("IDR_MAINFRAME.png")));
    ok = logo().save(dir.filePath(QStringLiteral("FMTLOGOU.png"))) && ok;
    ok = icon(false).save(dir.filePath(QStringLiteral("IDR_MAINFRAME_icon.png"))) && ok;
    ok = icon(true).save(dir.filePath(QStringLiteral("IDR_SQLTYPE_icon.png"))) && ok;
    return ok ? 0 : 1;
}
