// Toolbar icons in the desktop's colours; see paletteicon.h.
#include "app/paletteicon.h"

#include "app/commandids.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

class PaletteSvgIconEngine : public QIconEngine
{
public:
    explicit PaletteSvgIconEngine(const QByteArray &svg) : m_svg(svg) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        QSvgRenderer renderer(coloured());
        painter->save();
        // A disabled button fades as a whole, accents included: a full-colour
        // accent on a greyed outline would still read as usable.
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        renderer.render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        // Toolbar buttons ask for their pixmap at every repaint.
        const QString key = QStringLiteral("prax-svg-%1-%2x%3-%4-%5")
                                .arg(qHash(m_svg))
                                .arg(size.width())
                                .arg(size.height())
                                .arg(int(mode))
                                .arg(outlineColour().rgba());
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap))
            return pixmap;
        pixmap = QPixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(), size), mode, state);
        }
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }

    QIconEngine *clone() const override { return new PaletteSvgIconEngine(m_svg); }
    QString key() const override { return QStringLiteral("PaletteSvgIconEngine"); }
    bool isNull() override { return m_svg.isEmpty(); }

private:
    static QColor outlineColour() { return QGuiApplication::palette().color(QPalette::Active, QPalette::ButtonText); }

    QByteArray coloured() const
    {
        QByteArray svg = m_svg;
        return svg.replace("currentColor", outlineColour().name().toLatin1());
    }

    QByteArray m_svg;
};

} // namespace

QIcon paletteSvgIcon(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    const QByteArray svg = file.readAll();
    if (!QSvgRenderer(svg).isValid())
        return QIcon();
    return QIcon(new PaletteSvgIconEngine(svg));
}

QString commandIconPath(int id)
{
    const char *name = nullptr;
    switch (id) {
    case ID_FILE_NEW: name = "new"; break;
    case ID_FILE_OPEN: name = "open"; break;
    case ID_FILE_SAVE: name = "save"; break;
    case ID_FILE_PRINT: name = "print"; break;
    case ID_FILE_PRINT_PREVIEW: name = "printpreview"; break;
    case ID_EDIT_FIND: name = "find"; break;
    case ID_EDIT_CUT: name = "cut"; break;
    case ID_EDIT_COPY: name = "copy"; break;
    case ID_EDIT_PASTE: name = "paste"; break;
    case ID_EDIT_UNDO: name = "undo"; break;
    case ID_BEAUTIFY: name = "beautify"; break;
    case ID_BEAUTIFY_N_COPY: name = "beautifyncopy"; break;
    case ID_PASTE_BEAUTIFIED: name = "pastebeautified"; break;
    case ID_FORMAT_OPTIONS: name = "options"; break;
    case ID_BATCH_JOB: name = "batch"; break;
    case ID_APP_ABOUT: name = "about"; break;
    case ID_CONTEXT_HELP: name = "contexthelp"; break;
    default: return QString();
    }
    return QStringLiteral(":/prax/icons/%1.svg").arg(QLatin1String(name));
}
