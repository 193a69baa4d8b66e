// The embedding server; see embedserver.h.
#include "app/embedserver.h"

#include "app/childframe.h"
#include "app/commands.h"
#include "app/embedlock.h"
#include "app/ipframe.h"
#include "app/mainframe.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "app/srvritem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#ifdef PRAX_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

constexpr int kMaxContainerName = 255; // characters kept of a container's document name
constexpr qulonglong kMaxWindowId = 0xffffffffULL; // X11 window ids are 32 bits
constexpr int kMaxPlace = 16384; // pixels: largest in-place size and farthest offset

// Whether the X server knows `window`. QWindow::fromWinId takes any number,
// and a frame put into a window that does not exist sits nowhere at all.
bool x11WindowExists(qulonglong window)
{
#ifdef PRAX_HAVE_XCB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, xcb_window_t(window)), &error);
    const bool exists = reply && !error;
    std::free(reply);
    std::free(error);
    return exists;
#else
    Q_UNUSED(window);
    return false; // no way to ask: nothing is taken on trust
#endif
}

bool writeAllTo(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

enum class StoreResult { Written, NotRegular, Failed };

// Replaces `dir`/Contents by `bytes`, whole or not at all, without ever
// following a link: the storage is a directory the container (or anyone who
// can write there) controls, and "Contents -> ~/.bashrc" must not make the
// server write the user's files. The directory is opened once; the new text
// goes into a fresh file made in it by mkstemp (through the descriptor's
// /proc name, so a directory renamed meanwhile cannot redirect it), is
// written and synced through that descriptor, and renamed over Contents
// relative to the directory's descriptor. Contents keeps its permission bits.
StoreResult storeContents(const QString &dir, const QByteArray &bytes)
{
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return StoreResult::NotRegular;
    const mode_t mask = ::umask(0); // only read: set back at once
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat st {};
    if (::fstatat(dirFd, "Contents", &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(st.st_mode)) {
            ::close(dirFd);
            return StoreResult::NotRegular;
        }
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        ::close(dirFd);
        return StoreResult::Failed;
    }
    QByteArray temp = "/proc/self/fd/" + QByteArray::number(dirFd) + "/.Contents-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        ::close(dirFd);
        return StoreResult::Failed;
    }
    const QByteArray tempName = temp.mid(temp.lastIndexOf('/') + 1);
    const bool ok = ::fchmod(fd, mode) == 0 && writeAllTo(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    const bool renamed = ok && closed && ::renameat(dirFd, tempName.constData(), dirFd, "Contents") == 0;
    if (!renamed)
        ::unlinkat(dirFd, tempName.constData(), 0);
    else
        ::fsync(dirFd); // the rename itself on disk
    ::close(dirFd);
    return renamed ? StoreResult::Written : StoreResult::Failed;
}

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
    m_ownerWatch = new QDBusServiceWatcher(this);
    m_ownerWatch->setConnection(bus);
    m_ownerWatch->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_ownerWatch, &QDBusServiceWatcher::serviceUnregistered, this, &CEmbedServer::onOwnerGone);
    return true;
}

void CEmbedServer::onOwnerGone(const QString &owner)
{
    m_ownerWatch->removeWatchedService(owner);
    QList<uint> handles;
    for (auto it = m_docs.cbegin(); it != m_docs.cend(); ++it) {
        if (it->owner == owner)
            handles << it.key();
    }
    for (uint handle : std::as_const(handles))
        releaseHandle(handle);
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
    // Another program's handle is as unknown as a handle never given out.
    if (it == m_docs.end() || (calledFromDBus() && it->owner != message().service())) {
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
    if (contents.exists() || contents.isSymLink()) {
        QFile file(contents.absoluteFilePath());
        // A link is refused here as Save refuses it: the text must come from
        // and go to the storage itself.
        if (contents.isSymLink() || !contents.isFile() || !file.open(QIODevice::ReadOnly)) {
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
        m_lastWriteError = writeContents(handle);
        if (m_lastWriteError)
            return false;
        emit Saved(handle);
        return true;
    });
    Embedded e;
    if (calledFromDBus()) {
        e.owner = message().service();
        if (m_ownerWatch) {
            m_ownerWatch->addWatchedService(e.owner);
            // Gone before the watch began: nobody will ever release it.
            if (!QDBusConnection::sessionBus().interface()->isServiceRegistered(e.owner).value())
                QTimer::singleShot(0, this, [this, owner = e.owner] { onOwnerGone(owner); });
        }
    }
    // Resolved once: Save opens exactly this directory and follows no link
    // that appears in its place later.
    e.storage = dir.canonicalFilePath();
    e.doc = doc;
    m_docs.insert(handle, e);
    if (m_registered) {
        new CPraxDocAutomation(doc);
        QDBusConnection::sessionBus().registerObject(documentObjectPath(handle), doc,
                                                     QDBusConnection::ExportAdaptors);
    }
    return handle;
}

const char *CEmbedServer::writeContents(uint handle)
{
    auto it = m_docs.find(handle);
    if (it == m_docs.end())
        return kErrorUnknownHandle;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!CPraxSrvrItem(it->doc).Serialize(buffer, true))
        return kErrorFailed;
    switch (storeContents(it->storage, bytes)) {
    case StoreResult::Written: return nullptr;
    case StoreResult::NotRegular: return kErrorInvalidStorage;
    case StoreResult::Failed: break;
    }
    return kErrorFailed;
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
    // Compared as they come: qAbs(-2147483648) has no int value.
    if (window == 0 || window > kMaxWindowId || width <= 0 || height <= 0 || width > kMaxPlace
        || height > kMaxPlace || x < -kMaxPlace || x > kMaxPlace || y < -kMaxPlace || y > kMaxPlace) {
        fail(kErrorInvalidArgument, QStringLiteral("Bad window or rectangle"));
        return 0;
    }
    if (!x11WindowExists(window)) {
        fail(kErrorInvalidArgument, QStringLiteral("Unknown window %1").arg(window));
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
    if (command == ID_FILE_UPDATE) {
        m_lastWriteError = kErrorFailed;
        if (e->doc->SaveEmbedding())
            return true;
        fail(m_lastWriteError, QStringLiteral("Contents not written"));
        return false;
    }
    if (!isRemoteCommand(command) || commandOwner(command) != CommandOwner::View) {
        fail(kErrorInvalidArgument, QStringLiteral("Command %1 is not offered").arg(command));
        return false;
    }
    CPraxView *view = e->doc->view();
    if (!view) {
        fail(kErrorNotOpen, QStringLiteral("Document %1 has no window").arg(handle));
        return false;
    }
    // What the command would say in a box goes back to the caller as the
    // error ("Fail formatting the text" for a text without SQL); a success
    // tells the status bar, not a box.
    MessageBoxCapture capture;
    const bool ran = view->runCommand(command);
    const QStringList failures = capture.texts();
    if (!failures.isEmpty()) {
        fail(kErrorFailed, failures.join(QLatin1Char('\n')));
        return false;
    }
    return ran;
}

void CEmbedServer::Save(uint handle)
{
    if (!find(handle))
        return;
    if (const char *error = writeContents(handle))
        fail(error, QStringLiteral("Contents not written"));
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
    if (find(handle))
        releaseHandle(handle);
}

void CEmbedServer::releaseHandle(uint handle)
{
    auto e = m_docs.find(handle);
    if (e == m_docs.end())
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
