// The embedding server; see embedserver.h.
#include "app/embedserver.h"

#include "app/childframe.h"
#include "app/commands.h"
#include "app/embedlock.h"
#include "app/ipframe.h"
#include "app/mainframe.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "app/srvritem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

namespace {

constexpr int kMaxContainerName = 255; // characters kept of a container's document name
constexpr qulonglong kMaxWindowId = 0xffffffffULL; // X11 window ids are 32 bits

QString contentsPath(const QString &storage)
{
    return QDir(storage).filePath(QStringLiteral("Contents"));
}

QString documentObjectPath(uint handle)
{
    return QStringLiteral("%1/%2").arg(QLatin1String(CEmbedServer::kObjectPath)).arg(handle);
}

// Hides the main window of a process a container started once its last
// document window is gone, and reports every hiding to the server.
class MainFrameWatch : public QObject
{
public:
    MainFrameWatch(QObject *parent, std::function<void()> onHide)
        : QObject(parent), m_onHide(std::move(onHide)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            QTimer::singleShot(0, parent(), m_onHide);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onHide;
};

} // namespace

CPraxDocAutomation::CPraxDocAutomation(CPraxDoc *doc)
    : QDBusAbstractAdaptor(doc)
{
}

namespace ServerRegistration {

QString serviceFilePath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/dbus-1/services/") + QLatin1String(CEmbedServer::kServiceName)
           + QStringLiteral(".service");
}

QByteArray serviceFileText(const QString &executable)
{
    // The bus reads Exec as a shell would split it: a path with blanks or
    // quotes goes in single quotes ("'" written as '\''). A line end cannot
    // be written at all.
    if (executable.isEmpty() || executable.contains(u'\n') || executable.contains(u'\r'))
        return {};
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+,:@=-]+$"));
    QString exec = executable;
    if (!plain.match(exec).hasMatch())
        exec = u'\'' + exec.replace(QStringLiteral("'"), QStringLiteral("'\\''")) + u'\'';
    return QByteArrayLiteral("# Sql Document: Prax documents embedded in other programs.\n"
                             "[D-BUS Service]\n"
                             "Name=")
           + CEmbedServer::kServiceName + "\nExec=" + exec.toUtf8() + " -Embedding\n";
}

bool writeServiceFile(const QString &executable)
{
    const QByteArray text = serviceFileText(executable);
    const QString path = serviceFilePath();
    if (text.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        qWarning("prax: server registration not written: %s", qPrintable(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        qWarning("prax: server registration not written: %s", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace ServerRegistration

CEmbedServer *CEmbedServer::s_instance = nullptr;

CEmbedServer::CEmbedServer(QObject *parent)
    : QObject(parent)
{
    s_instance = this;
}

CEmbedServer::~CEmbedServer()
{
    setAppLockHook(nullptr);
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        for (auto it = m_docs.cbegin(); it != m_docs.cend(); ++it)
            bus.unregisterObject(documentObjectPath(it.key()));
        bus.unregisterObject(QLatin1String(kObjectPath));
        bus.unregisterService(QLatin1String(kServiceName));
    }
    for (Embedded &e : m_docs) {
        if (e.window)
            disconnect(e.window, nullptr, this, nullptr);
        delete e.inPlace;
        delete e.window;
        delete e.doc;
    }
    if (s_instance == this)
        s_instance = nullptr;
}

CEmbedServer *CEmbedServer::instance()
{
    return s_instance;
}

void CEmbedServer::setMainFrame(CMainFrame *frame)
{
    m_mainFrame = frame;
}

bool CEmbedServer::RegisterAll()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QLatin1String(kObjectPath), this,
                            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals
                                | QDBusConnection::ExportScriptableProperties))
        return false;
    // One process serves every embedded document: a second one leaves the
    // name to the first.
    if (!bus.registerService(QLatin1String(kServiceName))) {
        bus.unregisterObject(QLatin1String(kObjectPath));
        return false;
    }
    m_registered = true;
    return true;
}

void CEmbedServer::beginServerLaunch(std::function<void()> exitHandler)
{
    m_serverLaunch = true;
    m_exitHandler = std::move(exitHandler);
    setAppLockHook([this](int count) {
        if (count == 0)
            QTimer::singleShot(0, this, &CEmbedServer::checkExit);
    });
    if (m_mainFrame)
        m_mainFrame->installEventFilter(new MainFrameWatch(this, [this] { checkExit(); }));
    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    connect(m_idleTimer, &QTimer::timeout, this, &CEmbedServer::checkExit);
    m_idleTimer->start(kIdleExitMs);
}

void CEmbedServer::checkExit()
{
    if (!m_serverLaunch || !m_exitHandler)
        return;
    if (praxAppLockCount() > 0 || !m_docs.isEmpty())
        return;
    // Started by a container but not idle since: wait for the grace period.
    if (m_idleTimer && m_idleTimer->isActive() && m_nextHandle == 1)
        return;
    if (m_mainFrame && m_mainFrame->isVisible())
        return; // the user works in the window
    m_exitHandler();
    m_exitHandler = nullptr; // asked once
}

QString CEmbedServer::typeName() const
{
    return CPraxDoc::docString(CPraxDoc::regFileTypeName);
}

CEmbedServer::Embedded *CEmbedServer::find(uint handle)
{
    auto it = m_docs.find(handle);
    if (it == m_docs.end()) {
        fail(kErrorUnknownHandle, QStringLiteral("No embedded document %1").arg(handle));
        return nullptr;
    }
    return &*it;
}

void CEmbedServer::fail(const char *name, const QString &message)
{
    m_lastError = QLatin1String(name) + QStringLiteral(": ") + message;
    if (calledFromDBus())
        sendErrorReply(QLatin1String(name), message);
}

CPraxDoc *CEmbedServer::document(uint handle) const
{
    return m_docs.contains(handle) ? m_docs.value(handle).doc : nullptr;
}

CChildFrame *CEmbedServer::serverWindow(uint handle) const
{
    return m_docs.contains(handle) ? m_docs.value(handle).window.data() : nullptr;
}

CInPlaceFrame *CEmbedServer::inPlaceFrame(uint handle) const
{
    return m_docs.contains(handle) ? m_docs.value(handle).inPlace.data() : nullptr;
}

uint CEmbedServer::CreateEmbedded(const QString &storage, const QString &containerName)
{
    m_lastError.clear();
    const QFileInfo dir(storage);
    if (storage.isEmpty() || dir.isRelative() || !dir.isDir()) {
        fail(kErrorInvalidStorage, QStringLiteral("Not a storage directory: %1").arg(storage));
        return 0;
    }
    auto *doc = new CPraxDoc(this);
    doc->OnNewDocument();
    const QFileInfo contents(contentsPath(storage));
    if (contents.exists()) {
        QFile file(contents.absoluteFilePath());
        if (!contents.isFile() || !file.open(QIODevice::ReadOnly)) {
            delete doc;
            fail(kErrorInvalidStorage, QStringLiteral("Contents cannot be read: %1").arg(contents.filePath()));
            return 0;
        }
        CPraxSrvrItem item(doc);
        if (!item.Serialize(file, false)) {
            delete doc;
            fail(kErrorTooLarge, QStringLiteral("The file is too large to open."));
            return 0;
        }
    }
    const uint handle = m_nextHandle++;
    if (m_idleTimer)
        m_idleTimer->stop();
    doc->SetModifiedFlag(false);
    doc->SetEmbedded(containerName.left(kMaxContainerName), [this, handle] {
        if (!writeContents(handle))
            return false;
        emit Saved(handle);
        return true;
    });
    Embedded e;
    e.storage = dir.absoluteFilePath();
    e.doc = doc;
    m_docs.insert(handle, e);
    if (m_registered) {
        new CPraxDocAutomation(doc);
        QDBusConnection::sessionBus().registerObject(documentObjectPath(handle), doc,
                                                     QDBusConnection::ExportAdaptors);
    }
    return handle;
}

bool CEmbedServer::writeContents(uint handle)
{
    auto it = m_docs.find(handle);
    if (it == m_docs.end())
        return false;
    // The whole text or nothing: "Contents" is replaced only once written.
    QSaveFile file(contentsPath(it->storage));
    CPraxSrvrItem item(it->doc);
    if (!file.open(QIODevice::WriteOnly) || !item.Serialize(file, true) || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    return true;
}

void CEmbedServer::Open(uint handle)
{
    Embedded *e = find(handle);
    if (!e)
        return;
    CMainFrame *frame = m_mainFrame;
    if (!frame) {
        fail(kErrorFailed, QStringLiteral("No main window"));
        return;
    }
    delete e->inPlace; // a document is active in one place at a time
    if (!e->window) {
        auto *child = new CChildFrame(e->doc);
        e->window = child;
        frame->addChildFrame(child);
        connect(child, &QObject::destroyed, this, [this, handle] { onWindowClosed(handle); });
    }
    frame->show();
    frame->raise();
    frame->activateWindow();
    frame->mdiArea()->setActiveSubWindow(e->window);
}

void CEmbedServer::onWindowClosed(uint handle)
{
    emit Closed(handle);
    // A process a container started shows its window only while there is a
    // document in it. Checked once the window has gone from the main frame
    // (which may itself be closing now).
    QTimer::singleShot(0, this, [this] {
        if (m_containerLaunch && m_mainFrame && m_mainFrame->childFrames().isEmpty())
            m_mainFrame->hide();
    });
}

qulonglong CEmbedServer::ActivateInPlace(uint handle, qulonglong window, int x, int y, int width, int height)
{
    Embedded *e = find(handle);
    if (!e)
        return 0;
    if (window == 0 || window > kMaxWindowId || width <= 0 || height <= 0 || width > 16384 || height > 16384
        || qAbs(x) > 16384 || qAbs(y) > 16384) {
        fail(kErrorInvalidArgument, QStringLiteral("Bad window or rectangle"));
        return 0;
    }
    if (e->window) {
        // From the server window into place: the window's changes go to the
        // container first.
        if (!e->window->close()) {
            fail(kErrorFailed, QStringLiteral("The document window did not close"));
            return 0;
        }
        delete e->window;
    }
    if (!e->inPlace) {
        auto *frame = new CInPlaceFrame(e->doc);
        if (!frame->OnCreate()) {
            delete frame;
            fail(kErrorFailed, QStringLiteral("The in-place frame could not be created"));
            return 0;
        }
        frame->OnCreateControlBars(frame, frame); // no toolbar is no reason to fail
        connect(frame, &CInPlaceFrame::appCommandRequested, this, &CEmbedServer::appCommandRequested);
        e->inPlace = frame;
    }
    if (!e->inPlace->ActivateIn(quintptr(window), QRect(x, y, width, height))) {
        delete e->inPlace;
        fail(kErrorInvalidArgument, QStringLiteral("Unknown window %1").arg(window));
        return 0;
    }
    return qulonglong(e->inPlace->winId());
}

void CEmbedServer::Deactivate(uint handle)
{
    Embedded *e = find(handle);
    if (!e)
        return;
    if (e->inPlace) {
        delete e->inPlace;
        emit Closed(handle);
    }
}

void CEmbedServer::SetText(uint handle, const QByteArray &text)
{
    Embedded *e = find(handle);
    if (!e)
        return;
    if (text.size() > CPraxDoc::kMaxTextBytes) {
        fail(kErrorTooLarge, QStringLiteral("The file is too large to open."));
        return;
    }
    e->doc->setText(text);
}

bool CEmbedServer::RunCommand(uint handle, int command)
{
    Embedded *e = find(handle);
    if (!e)
        return false;
    if (command == ID_FILE_UPDATE)
        return e->doc->SaveEmbedding() || (fail(kErrorFailed, QStringLiteral("Contents not written")), false);
    if (!isRemoteCommand(command) || commandOwner(command) != CommandOwner::View) {
        fail(kErrorInvalidArgument, QStringLiteral("Command %1 is not offered").arg(command));
        return false;
    }
    CPraxView *view = e->doc->view();
    if (!view) {
        fail(kErrorNotOpen, QStringLiteral("Document %1 has no window").arg(handle));
        return false;
    }
    return view->runCommand(command);
}

void CEmbedServer::Save(uint handle)
{
    if (find(handle) && !writeContents(handle))
        fail(kErrorFailed, QStringLiteral("Contents not written"));
}

int CEmbedServer::GetExtent(uint handle, uint aspect, int &height)
{
    height = 0;
    Embedded *e = find(handle);
    if (!e)
        return 0;
    QSize size;
    if (!CPraxSrvrItem(e->doc).OnGetExtent(aspect, size)) {
        fail(kErrorInvalidArgument, QStringLiteral("No extent for aspect %1").arg(aspect));
        return 0;
    }
    height = size.height();
    return size.width();
}

QByteArray CEmbedServer::Draw(uint handle, uint aspect, int width, int height)
{
    Embedded *e = find(handle);
    if (!e)
        return {};
    if (aspect != DVASPECT_CONTENT || width <= 0 || height <= 0 || width > kMaxDrawSize
        || height > kMaxDrawSize) {
        fail(kErrorInvalidArgument, QStringLiteral("Cannot draw aspect %1 at %2 x %3").arg(aspect).arg(width).arg(height));
        return {};
    }
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const bool drawn = CPraxSrvrItem(e->doc).OnDraw(&painter, QSize(width, height));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    if (!drawn || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        fail(kErrorFailed, QStringLiteral("Drawing failed"));
        return {};
    }
    return png;
}

void CEmbedServer::Release(uint handle)
{
    Embedded *e = find(handle);
    if (!e)
        return;
    // The container has let go of the storage: nothing more is written to it.
    CPraxDoc *doc = e->doc;
    doc->SetModifiedFlag(false);
    delete e->inPlace;
    if (e->window) {
        e->window->close();
        delete e->window;
    }
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(documentObjectPath(handle));
    m_docs.remove(handle);
    delete doc; // its lock goes with it
    QTimer::singleShot(0, this, &CEmbedServer::checkExit);
}
