// In-place activation under Xvfb: a container window of this process, the
// server started by the bus in another; the in-place frame's X11 window must
// become a child of the container's window at the asked rectangle, and leave
// it again on Deactivate.
#include "app/embedserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// The X11 connection of its own, so the test does not lean on Qt's internals.
struct Xcb {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ~Xcb() { xcb_disconnect(c); }
    bool ok() const { return c && !xcb_connection_has_error(c); }

    // The parent of `window`, or 0 when the window does not exist.
    xcb_window_t parent(xcb_window_t window) const
    {
        xcb_query_tree_reply_t *r = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        const xcb_window_t p = r ? r->parent : 0;
        std::free(r);
        return p;
    }
    QList<xcb_window_t> children(xcb_window_t window) const
    {
        QList<xcb_window_t> list;
        if (xcb_query_tree_reply_t *r = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr)) {
            const xcb_window_t *w = xcb_query_tree_children(r);
            for (int i = 0; i < xcb_query_tree_children_length(r); ++i)
                list << w[i];
            std::free(r);
        }
        return list;
    }
    QRect geometry(xcb_window_t window) const
    {
        QRect g;
        if (xcb_get_geometry_reply_t *r = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)) {
            g = QRect(r->x, r->y, r->width, r->height);
            std::free(r);
        }
        return g;
    }
};

} // namespace

class InPlaceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void activateInContainerWindow();

private:
    QTemporaryDir m_dir;
};

void InPlaceTest::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    QVERIFY(ServerRegistration::writeServiceFile(QStringLiteral(PRAX_EXECUTABLE)));
    QDBusInterface daemon(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"));
    QCOMPARE(daemon.call(QStringLiteral("ReloadConfig")).type(), QDBusMessage::ReplyMessage);
}

void InPlaceTest::activateInContainerWindow()
{
    Xcb x;
    QVERIFY(x.ok());
    const QString storage = m_dir.filePath(QStringLiteral("storage"));
    QVERIFY(QDir().mkpath(storage));
    QFile contents(storage + QStringLiteral("/Contents"));
    QVERIFY(contents.open(QIODevice::WriteOnly));
    contents.write("select a from t;\n");
    contents.close();

    // The container's document window.
    QWidget container;
    container.resize(400, 300);
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    const xcb_window_t containerId = xcb_window_t(container.winId());

    QDBusInterface server(QStringLiteral("Prax.Document"), QLatin1String(CEmbedServer::kObjectPath),
                          QLatin1String(CEmbedServer::kInterface));
    QDBusReply<uint> created = server.call(QStringLiteral("CreateEmbedded"), storage, QStringLiteral("Sheet 1"));
    QVERIFY2(created.isValid(), qPrintable(created.error().message()));
    const uint handle = created.value();

    // A window id the X server does not know (a window that is gone) is
    // refused, not taken on trust.
    qulonglong goneId = 0;
    {
        QWidget gone;
        gone.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gone));
        goneId = gone.winId();
    }
    QTest::qWait(100);
    QCOMPARE(server.call(QStringLiteral("ActivateInPlace"), handle, goneId, 20, 10, 300, 200).errorName(),
             QLatin1String(CEmbedServer::kErrorInvalidArgument));

    QDBusReply<qulonglong> activated = server.call(QStringLiteral("ActivateInPlace"), handle,
                                                   qulonglong(containerId), 20, 10, 300, 200);
    QVERIFY2(activated.isValid(), qPrintable(activated.error().message()));
    const xcb_window_t frameId = xcb_window_t(activated.value());
    QVERIFY(frameId != 0);
    QTRY_COMPARE(x.parent(frameId), containerId);
    QVERIFY(x.children(containerId).contains(frameId));
    QTRY_COMPARE(x.geometry(frameId), QRect(20, 10, 300, 200));

    // A second activation in the same place keeps the one frame.
    QDBusReply<qulonglong> again = server.call(QStringLiteral("ActivateInPlace"), handle,
                                               qulonglong(containerId), 20, 10, 300, 200);
    QVERIFY(again.isValid());
    QCOMPARE(xcb_window_t(again.value()), frameId);
    QCOMPARE(x.children(containerId).count(frameId), 1);

    // Deactivated, the frame leaves the container's window.
    QCOMPARE(server.call(QStringLiteral("Deactivate"), handle).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY(!x.children(containerId).contains(frameId));

    // The text survived the session.
    QCOMPARE(server.call(QStringLiteral("Save"), handle).type(), QDBusMessage::ReplyMessage);
    QVERIFY(contents.open(QIODevice::ReadOnly));
    QCOMPARE(contents.readAll(), QByteArray("select a from t;\n"));
    contents.close();

    QCOMPARE(server.call(QStringLiteral("Release"), handle).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY_WITH_TIMEOUT(
        !QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("Prax.Document")).value(),
        10000);
}

QTEST_MAIN(InPlaceTest)
#include "tst_inplace.moc"
