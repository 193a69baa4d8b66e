// The help window; see help.h.
#include "app/help.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QHBoxLayout>

QPointer<CHelpWindow> CHelpWindow::s_instance;

QString helpFilePath()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString beside = exe.absolutePath() + u'/' + exe.completeBaseName() + QStringLiteral(".html");
    if (QFileInfo::exists(beside))
        return beside;
    return QStringLiteral(":/prax/prax.html");
}

CHelpWindow *CHelpWindow::instance(QWidget *owner)
{
    if (!s_instance)
        s_instance = new CHelpWindow(owner);
    return s_instance;
}

CHelpWindow::CHelpWindow(QWidget *owner)
    : QMainWindow(owner, Qt::Window)
    , m_browser(new QTextBrowser)
{
    setWindowTitle(QStringLiteral("Prax Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(560, 480);

    auto *contents = new QPushButton(QStringLiteral("&Contents"));
    auto *back = new QPushButton(QStringLiteral("&Back"));
    auto *close = new QPushButton(QStringLiteral("Close"));
    back->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    setCentralWidget(central);

    m_browser->setOpenExternalLinks(true);
    connect(contents, &QPushButton::clicked, this, [this] { showContext(kHelpIndexContext); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void CHelpWindow::showContext(int context)
{
    const QString file = helpFilePath();
    QUrl url = file.startsWith(u':') ? QUrl(QStringLiteral("qrc") + file) : QUrl::fromLocalFile(file);
    m_anchor = QStringLiteral("context-%1").arg(context);
    url.setFragment(m_anchor);
    m_browser->setSource(url);
    show();
    raise();
    activateWindow();
}
