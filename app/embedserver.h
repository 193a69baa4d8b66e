// The embedding server: lets other programs (containers) embed Prax documents
// in their own documents over the session D-Bus, and edit them in a window of
// this program or in place inside a window of theirs.
//
// One process serves every embedded document: the server owns the bus name
// "Prax.Document" and exports the interface "Prax.Document" at
// "/Prax/Document" (methods and signals below; the README describes them for
// container authors). A container's storage is a directory; the embedded text
// is its file "Contents", raw bytes as in a document file.
//
// Every argument from the bus is checked before use: a storage must be an
// existing directory, "Contents" a regular file (not a symlink) of at most
// 64 MiB, sizes sane and a window one the X server knows. Bad requests, and
// commands that fail, get a D-Bus error, never a dialog.
//
// A handle belongs to the bus connection that created it: another caller gets
// UnknownHandle for it, and when its creator leaves the bus without Release
// (it crashed or was killed), its documents are released for it.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CChildFrame;
class CInPlaceFrame;
class CMainFrame;
class CPraxDoc;
class QDBusServiceWatcher;
class QTimer;

// The document's automation interface: a container or script may ask for a
// document's object, but it has no properties and no methods.
class CPraxDocAutomation : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Prax.Document.Automation")
    // Stated outright: an interface without members is otherwise left out
    // of the introspection data.
    Q_CLASSINFO("D-Bus Introspection", "  <interface name=\"Prax.Document.Automation\">\n  </interface>\n")

public:
    explicit CPraxDocAutomation(CPraxDoc *doc);
};

// The server's registration with the session bus's activation: a service
// file that starts `executable` with "-Embedding" when a container asks for
// "Prax.Document" and no process serves it yet.
namespace ServerRegistration {
// $XDG_DATA_HOME/dbus-1/services/Prax.Document.service (XDG_DATA_HOME unset,
// empty or relative: ~/.local/share).
QString serviceFilePath();
// The file's text for `executable` (quoted when it holds more than plain
// path characters); empty when the path cannot stand on one line.
QByteArray serviceFileText(const QString &executable);
// Writes the file afresh; false (and a warning) when it cannot.
bool writeServiceFile(const QString &executable);
} // namespace ServerRegistration

class CEmbedServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Prax.Document")
    Q_PROPERTY(QString TypeName READ typeName SCRIPTABLE true)

public:
    static constexpr const char *kServiceName = "Prax.Document";
    static constexpr const char *kObjectPath = "/Prax/Document";
    static constexpr const char *kInterface = "Prax.Document";
    // Error names of the interface.
    static constexpr const char *kErrorInvalidStorage = "Prax.Document.Error.InvalidStorage";
    static constexpr const char *kErrorTooLarge = "Prax.Document.Error.TooLarge";
    static constexpr const char *kErrorUnknownHandle = "Prax.Document.Error.UnknownHandle";
    static constexpr const char *kErrorNotOpen = "Prax.Document.Error.NotOpen";
    static constexpr const char *kErrorInvalidArgument = "Prax.Document.Error.InvalidArgument";
    static constexpr const char *kErrorFailed = "Prax.Document.Error.Failed";
    // A start by a container that no request follows ends after this long.
    static constexpr int kIdleExitMs = 30000;
    static constexpr int kMaxDrawSize = 4096; // pixels per side of a drawing

    explicit CEmbedServer(QObject *parent = nullptr);
    ~CEmbedServer() override;

    // The server of this process, or nullptr.
    static CEmbedServer *instance();

    // Exports the interface and takes the bus name. False when there is no
    // session bus or another process serves already; the editor then works
    // without embedding.
    bool RegisterAll();
    bool isRegistered() const { return m_registered; }

    // The process was started by a container: it ends (through `exitHandler`)
    // when no document is embedded any more and no window of the user's is
    // open, or when no request has come within kIdleExitMs.
    void beginServerLaunch(std::function<void()> exitHandler);
    // The main frame that shows embedded documents in windows of their own;
    // set by the application object at start-up.
    void setMainFrame(CMainFrame *frame);
    // A container started the process (an "-Embedding" switch), whether or
    // not this server could take the bus name: the main frame then shows
    // only while there is a document in it.
    void setContainerLaunch(bool launched) { m_containerLaunch = launched; }

    QString typeName() const;

    // The embedded document behind `handle`, with its windows (nullptr when none).
    CPraxDoc *document(uint handle) const;
    CChildFrame *serverWindow(uint handle) const;
    CInPlaceFrame *inPlaceFrame(uint handle) const;
    // The D-Bus error of the last failed call (name, message); for tests.
    QString lastError() const { return m_lastError; }

public slots:
    // Embeds the text of `storage`/Contents (empty when there is no such
    // file yet); `containerName` is the container's name for its document.
    // Returns the handle of the new document.
    Q_SCRIPTABLE uint CreateEmbedded(const QString &storage, const QString &containerName);
    // Opens the document in a window of this program (menu and keys E).
    Q_SCRIPTABLE void Open(uint handle);
    // Activates it in place in the container's X11 window `window`, at the
    // given rectangle of that window; returns the in-place frame's window id.
    Q_SCRIPTABLE qulonglong ActivateInPlace(uint handle, qulonglong window, int x, int y, int width, int height);
    // Ends in-place editing; the text stays with the document.
    Q_SCRIPTABLE void Deactivate(uint handle);
    // Replaces the whole text (an edit: the document becomes modified).
    Q_SCRIPTABLE void SetText(uint handle, const QByteArray &text);
    // Runs a command of the open document's view: Beautify (32771), Beautify
    // N Copy (32778), Undo (57643), Select All (57642), or Update (57610).
    Q_SCRIPTABLE bool RunCommand(uint handle, int command);
    // Writes the text into the storage's "Contents" (the container saves).
    Q_SCRIPTABLE void Save(uint handle);
    // Size in HIMETRIC of `aspect` (1: content): width, and height out.
    Q_SCRIPTABLE int GetExtent(uint handle, uint aspect, int &height);
    // The picture of `aspect` at width x height pixels, as PNG.
    Q_SCRIPTABLE QByteArray Draw(uint handle, uint aspect, int width, int height);
    // The container no longer holds the document: its windows close without
    // writing the storage, and the document ends.
    Q_SCRIPTABLE void Release(uint handle);

signals:
    // "Contents" was rewritten at the user's request (Update, Ctrl+S, or the
    // server window closing with changes): the container should reload it.
    Q_SCRIPTABLE void Saved(uint handle);
    // The server window or in-place session of `handle` ended.
    Q_SCRIPTABLE void Closed(uint handle);
    // An in-place frame asks for an application command (About).
    void appCommandRequested(int id);

private:
    struct Embedded {
        QString owner; // unique bus name of the creator; empty in process
        QString storage;
        CPraxDoc *doc = nullptr;
        QPointer<CChildFrame> window;
        QPointer<CInPlaceFrame> inPlace;
    };

    Embedded *find(uint handle);
    void fail(const char *name, const QString &message);
    // Writes the text into the storage's "Contents"; 0 when written, else
    // the name of the error (InvalidStorage when Contents is not a regular
    // file or the storage is gone, Failed when writing failed).
    const char *writeContents(uint handle);
    void releaseHandle(uint handle);
    void onOwnerGone(const QString &owner);
    void onWindowClosed(uint handle);
    void checkExit();

    static CEmbedServer *s_instance;
    QMap<uint, Embedded> m_docs;
    uint m_nextHandle = 1;
    bool m_registered = false;
    bool m_serverLaunch = false;
    std::function<void()> m_exitHandler;
    QTimer *m_idleTimer = nullptr;
    QDBusServiceWatcher *m_ownerWatch = nullptr;
    const char *m_lastWriteError = nullptr; // of the last writeContents through the document
    QString m_lastError;
    QPointer<CMainFrame> m_mainFrame;
    bool m_containerLaunch = false;
};
