// The status bar's CAP, NUM and SCRL under a real X server (Xvfb): each
// follows its lock key, pressed through the XTEST extension by xdotool.
#include "app/mainframe.h"

#include <QLabel>
#include <QProcess>
#include <QTest>

class TestLockKeys : public QObject
{
    Q_OBJECT

private slots:
    void indicatorsFollowTheLockKeys_data();
    void indicatorsFollowTheLockKeys();
};

void TestLockKeys::indicatorsFollowTheLockKeys_data()
{
    QTest::addColumn<QString>("key"); // as xdotool names it
    QTest::addColumn<QString>("pane");
    // Not Scroll Lock: the X server's usual keymap binds the key to no lock,
    // so pressing it lights nothing there (nor in SCRL).
    QTest::newRow("Caps Lock") << QStringLiteral("Caps_Lock") << QStringLiteral("CAP");
    QTest::newRow("Num Lock") << QStringLiteral("Num_Lock") << QStringLiteral("NUM");
}

void TestLockKeys::indicatorsFollowTheLockKeys()
{
    QFETCH(QString, key);
    QFETCH(QString, pane);
    CMainFrame frame;
    QVERIFY(frame.LoadFrame());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QLabel *label = frame.findChild<QLabel *>(pane);
    QVERIFY(label);
    QVERIFY(label->isVisible());
    const auto others = [&] {
        QStringList on;
        for (QLabel *l : frame.indicatorPanes()) {
            if (l != label && l->isEnabled())
                on << l->objectName();
        }
        return on;
    };

    // A fresh server starts with every lock off: every pane dimmed.
    QVERIFY(!label->isEnabled());
    for (const bool on : {true, false}) {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}), 0);
        QTRY_COMPARE(label->isEnabled(), on);
        QCOMPARE(others(), QStringList());
    }
}

QTEST_MAIN(TestLockKeys)
#include "tst_lockkeys.moc"
