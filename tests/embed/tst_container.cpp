// A container over a private session bus: it registers the server the way a
// start by the user does (the service file), so the bus starts "prax
// -Embedding" on the first request; it embeds a text, edits it through the
// interface, and reads it back from the storage's "Contents" byte for byte.
// Releasing the last document ends the server.
#include "app/embedserver.h"

#include "engine/engine.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

// Records the server's signals for one container.
class SignalLog : public QObject
{
    Q_OBJECT

public:
    QList<uint> saved;
    QList<uint> closed;

public slots:
    void onSaved(uint handle) { saved << handle; }
    void onClosed(uint handle) { closed << handle; }
};

class ContainerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void embedEditAndReadBack();
    void beautifyThroughTheInterface();
    void extentDrawingAndType();
    void refusedRequests();
    void beautifyWithoutSqlAnswersAnError();
    void handlesBelongToTheirCreator();
    void releasingTheLastDocumentEndsTheServer();

private:
    QDBusInterface *server();
    uint embed(const QByteArray &contents);

    QTemporaryDir m_dir;
    QString m_storage;
    SignalLog m_log;
    std::unique_ptr<QDBusInterface> m_server;
    QList<uint> m_handles;
};

void ContainerTest::initTestCase()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "run under dbus-run-session");
    QVERIFY(qEnvironmentVariableIsSet("XDG_DATA_HOME"));
    // What a start by the user writes, here for the server under test.
    QVERIFY(ServerRegistration::writeServiceFile(QStringLiteral(PRAX_EXECUTABLE)));
    QDBusInterface daemon(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"), bus);
    QVERIFY(daemon.call(QStringLiteral("ReloadConfig")).type() == QDBusMessage::ReplyMessage);
    QVERIFY(bus.interface()->isServiceRegistered(QStringLiteral("Prax.Document")).value() == false);

    m_storage = m_dir.filePath(QStringLiteral("storage"));
    QVERIFY(QDir().mkpath(m_storage));
    const QString path = QLatin1String(CEmbedServer::kObjectPath);
    const QString iface = QLatin1String(CEmbedServer::kInterface);
    QVERIFY(bus.connect(QStringLiteral("Prax.Document"), path, iface, QStringLiteral("Saved"), &m_log,
                        SLOT(onSaved(uint))));
    QVERIFY(bus.connect(QStringLiteral("Prax.Document"), path, iface, QStringLiteral("Closed"), &m_log,
                        SLOT(onClosed(uint))));
}

QDBusInterface *ContainerTest::server()
{
    if (!m_server)
        m_server = std::make_unique<QDBusInterface>(QStringLiteral("Prax.Document"),
                                                    QLatin1String(CEmbedServer::kObjectPath),
                                                    QLatin1String(CEmbedServer::kInterface));
    return m_server.get();
}

uint ContainerTest::embed(const QByteArray &contents)
{
    if (!writeFile(m_storage + QStringLiteral("/Contents"), contents))
        return 0;
    // The first request starts the server through the bus.
    QDBusReply<uint> reply = server()->call(QStringLiteral("CreateEmbedded"), m_storage, QStringLiteral("Report 1"));
    if (!reply.isValid()) {
        qWarning("CreateEmbedded: %s", qPrintable(reply.error().message()));
        return 0;
    }
    m_handles << reply.value();
    return reply.value();
}

void ContainerTest::embedEditAndReadBack()
{
    const uint handle = embed("select 1;\n");
    QVERIFY(handle);
    // Bytes a codec or a line-end translation would change.
    const QByteArray text = QByteArray("select a\r\n  from t -- caf\xe9\r\n\xff\xfe") + QByteArray(2, '\0') + "\n";
    QCOMPARE(server()->call(QStringLiteral("Open"), handle).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(server()->call(QStringLiteral("SetText"), handle, text).type(), QDBusMessage::ReplyMessage);
    // Nothing reaches the storage before the user (here: Update) says so.
    QCOMPARE(readFile(m_storage + QStringLiteral("/Contents")), QByteArray("select 1;\n"));

    QDBusReply<bool> updated = server()->call(QStringLiteral("RunCommand"), handle, 57610);
    QVERIFY2(updated.isValid() && updated.value(), qPrintable(updated.error().message()));
    QCOMPARE(readFile(m_storage + QStringLiteral("/Contents")), text);
    QTRY_COMPARE(m_log.saved, QList<uint>{handle});

    // Save is the container's own request: written, no signal.
    writeFile(m_storage + QStringLiteral("/Contents"), "overwritten");
    QCOMPARE(server()->call(QStringLiteral("Save"), handle).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(readFile(m_storage + QStringLiteral("/Contents")), text);
    QTest::qWait(100);
    QCOMPARE(m_log.saved.size(), 1);
}

void ContainerTest::beautifyThroughTheInterface()
{
    const QByteArray input = "select a, b from t where x = 1 and y = 2;\n";
    const uint handle = embed(input);
    QVERIFY(handle);
    // Not open in a window: no view to beautify in.
    QDBusMessage notOpen = server()->call(QStringLiteral("RunCommand"), handle, 32771);
    QCOMPARE(notOpen.errorName(), QLatin1String(CEmbedServer::kErrorNotOpen));

    QCOMPARE(server()->call(QStringLiteral("Open"), handle).type(), QDBusMessage::ReplyMessage);
    QDBusReply<bool> beautified = server()->call(QStringLiteral("RunCommand"), handle, 32771);
    QVERIFY2(beautified.isValid() && beautified.value(), qPrintable(beautified.error().message()));
    QCOMPARE(server()->call(QStringLiteral("Save"), handle).type(), QDBusMessage::ReplyMessage);

    // The same text formatted here by the engine.
    const QString in = m_dir.filePath(QStringLiteral("in.sql")), out = m_dir.filePath(QStringLiteral("out.sql"));
    QVERIFY(writeFile(in, input));
    QCOMPARE(prax::format_file(QFile::encodeName(in).constData(), QFile::encodeName(out).constData()), 0);
    const QByteArray expected = readFile(out);
    QVERIFY(expected != input);
    QCOMPARE(readFile(m_storage + QStringLiteral("/Contents")), expected);

    // Commands outside the offered few are refused.
    QDBusMessage refused = server()->call(QStringLiteral("RunCommand"), handle, 57665);
    QCOMPARE(refused.errorName(), QLatin1String(CEmbedServer::kErrorInvalidArgument));
}

void ContainerTest::extentDrawingAndType()
{
    QVERIFY(!m_handles.isEmpty());
    const uint handle = m_handles.constFirst();
    QDBusMessage extent = server()->call(QStringLiteral("GetExtent"), handle, 1u);
    QCOMPARE(extent.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(extent.arguments(), QVariantList({3000, 3000}));
    QCOMPARE(server()->call(QStringLiteral("GetExtent"), handle, 4u).errorName(),
             QLatin1String(CEmbedServer::kErrorInvalidArgument));

    QDBusReply<QByteArray> drawing = server()->call(QStringLiteral("Draw"), handle, 1u, 40, 30);
    QVERIFY(drawing.isValid());
    const QImage image = QImage::fromData(drawing.value(), "PNG");
    QCOMPARE(image.size(), QSize(40, 30));
    QCOMPARE(image.pixelColor(20, 15).alpha(), 0);

    QCOMPARE(server()->property("TypeName").toString(), QStringLiteral("Sql Document"));

    // Each document is an object with its (empty) automation interface.
    QDBusInterface introspect(QStringLiteral("Prax.Document"), QStringLiteral("/Prax/Document/%1").arg(handle),
                              QStringLiteral("org.freedesktop.DBus.Introspectable"));
    QDBusReply<QString> xml = introspect.call(QStringLiteral("Introspect"));
    QVERIFY(xml.isValid());
    QVERIFY2(xml.value().contains(QLatin1String("<interface name=\"Prax.Document.Automation\">")),
             qPrintable(xml.value()));
}

void ContainerTest::refusedRequests()
{
    QCOMPARE(server()->call(QStringLiteral("CreateEmbedded"), QStringLiteral("relative/dir"), QString()).errorName(),
             QLatin1String(CEmbedServer::kErrorInvalidStorage));
    QCOMPARE(server()->call(QStringLiteral("Open"), 9999u).errorName(),
             QLatin1String(CEmbedServer::kErrorUnknownHandle));
    QCOMPARE(server()->call(QStringLiteral("ActivateInPlace"), m_handles.constFirst(), qulonglong(0), 0, 0, 10, 10)
                 .errorName(),
             QLatin1String(CEmbedServer::kErrorInvalidArgument));
    // Places out of range, the most negative int among them, and a window
    // the X server does not know (here there is none at all).
    for (const QVariantList &place : {QVariantList{qulonglong(0x200001), INT_MIN, 0, 10, 10},
                                      QVariantList{qulonglong(0x200001), 0, INT_MIN, 10, 10},
                                      QVariantList{qulonglong(0x200001), 0, 0, INT_MAX, 10},
                                      QVariantList{qulonglong(0x200001), 0, 0, 10, 10}}) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("Prax.Document"),
                                                           QLatin1String(CEmbedServer::kObjectPath),
                                                           QLatin1String(CEmbedServer::kInterface),
                                                           QStringLiteral("ActivateInPlace"));
        call.setArguments(QVariantList{m_handles.constFirst()} + place);
        QCOMPARE(QDBusConnection::sessionBus().call(call).errorName(),
                 QLatin1String(CEmbedServer::kErrorInvalidArgument));
    }
    // A text over the size limit (64 MiB) cannot travel: a D-Bus array holds
    // at most 64 MiB. The server's own refusal is tested in process.
}

void ContainerTest::beautifyWithoutSqlAnswersAnError()
{
    const uint handle = embed("Dear diary, nothing to format today.\n");
    QVERIFY(handle);
    QCOMPARE(server()->call(QStringLiteral("Open"), handle).type(), QDBusMessage::ReplyMessage);
    // A box in the server would hold the call until the bus gives up.
    server()->setTimeout(10000);
    const QDBusMessage reply = server()->call(QStringLiteral("RunCommand"), handle, 32771);
    QCOMPARE(reply.errorName(), QLatin1String(CEmbedServer::kErrorFailed));
    QCOMPARE(reply.errorMessage(), QStringLiteral("Fail formatting the text"));
    QCOMPARE(server()->call(QStringLiteral("Release"), m_handles.takeLast()).type(), QDBusMessage::ReplyMessage);
}

void ContainerTest::handlesBelongToTheirCreator()
{
    QVERIFY(!m_handles.isEmpty());
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    QVERIFY(other.isConnected());
    QDBusInterface otherServer(QStringLiteral("Prax.Document"), QLatin1String(CEmbedServer::kObjectPath),
                               QLatin1String(CEmbedServer::kInterface), other);
    for (const char *method : {"Open", "Save", "Release"})
        QCOMPARE(otherServer.call(QLatin1String(method), m_handles.constFirst()).errorName(),
                 QLatin1String(CEmbedServer::kErrorUnknownHandle));
    QDBusReply<uint> mine = otherServer.call(QStringLiteral("CreateEmbedded"), m_storage, QStringLiteral("Other"));
    QVERIFY(mine.isValid());
    QCOMPARE(server()->call(QStringLiteral("Open"), mine.value()).errorName(),
             QLatin1String(CEmbedServer::kErrorUnknownHandle));
    // The other container goes away without Release: its document must not
    // keep the server alive (the next test needs the server to end).
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
}

void ContainerTest::releasingTheLastDocumentEndsTheServer()
{
    QDBusServiceWatcher watcher(QStringLiteral("Prax.Document"), QDBusConnection::sessionBus(),
                                QDBusServiceWatcher::WatchForUnregistration);
    QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
    QVERIFY(m_handles.size() >= 2);
    const uint last = m_handles.takeLast();
    for (uint handle : std::as_const(m_handles))
        QCOMPARE(server()->call(QStringLiteral("Release"), handle).type(), QDBusMessage::ReplyMessage);
    QTest::qWait(300);
    QCOMPARE(gone.size(), 0); // one document is still embedded
    QCOMPARE(server()->call(QStringLiteral("Release"), last).type(), QDBusMessage::ReplyMessage);
    QVERIFY(gone.size() == 1 || gone.wait(10000));
    // Closing the windows with changes did not write the released storage.
    QVERIFY(m_log.closed.size() >= 1);
}

QTEST_MAIN(ContainerTest)
#include "tst_container.moc"
