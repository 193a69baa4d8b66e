// The About box; see aboutdlg.h.
#include "app/aboutdlg.h"

#include "app/dialogunits.h"

#include "app/msgbox.h"

#include "prax_version.h" // generated into the build tree

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

} // namespace

QString CAboutDlg::bitmapPath(const QString &name)
{
    // The Options dialog's logo: its dark plate sits as well in a light
    // dialog as in a dark one.
    return QStringLiteral(":/options/%1.png").arg(name);
}

CAboutDlg::CAboutDlg(QWidget *parent, const QString &logoCaption)
    : QDialog(parent)
    , m_logo(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About Prax"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);

    m_logo->setObjectName(QStringLiteral("IDC_LOGO"));
    // Shown only: a label takes no focus and no clicks as it is. Disabling it
    // would draw the logo greyed out.
    m_logo->setFocusPolicy(Qt::NoFocus);
    auto *version = new QLabel(QStringLiteral("Prax Version 1.1"), this);
    auto *second = new QLabel(QStringLiteral("Release " PRAX_VERSION ": SQL beautifier for scripts and embedded SQL"), this);
    auto *license = new QLabel(QStringLiteral(PRAX_LICENSE_LINE), this);
    license->setObjectName(QStringLiteral("license"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto *text = new QVBoxLayout;
    text->addStretch();
    text->addWidget(version);
    text->addWidget(second);
    text->addWidget(license);
    text->addStretch();
    text->addWidget(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_logo, 0, Qt::AlignTop);
    layout->addLayout(text, 1);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    // The logo's image is the bitmap named by its caption followed by "U".
    QPixmap image(bitmapPath(logoCaption + u'U'));
    if (image.isNull()) {
        praxMessageBox(this, QStringLiteral("fail load bitmaps"));
        m_logo->hide();
    } else {
        m_logo->setPixmap(image);
        m_logo->setFixedSize(image.size());
        m_logoLoaded = true;
    }
    resize(mapDialogRect(font, 0, 0, 268, 102).size().expandedTo(sizeHint()));
}
