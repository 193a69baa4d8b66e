// Qt Tests of the "Layout Extras" dialog: every box shows and sets its
// extra, "Modern layout" sets what --style modern sets, and OK, OK/Save and
// Cancel apply, write or drop the extras and Format on save. Message boxes
// are recorded instead of shown.
#include "app/dialogs/layoutextrasdlg.h"
#include "app/editorsettings.h"
#include "app/msgbox.h"
#include "engine/options.h"
#include "engine/profile.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

QStringList g_messages;

void recordMessage(const QString &text)
{
    g_messages << text;
}

bool sameRecord(const prax::FormatOptions &a, const prax::FormatOptions &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

prax::FormatOptions styled(prax::FormatOptions options, const char *style)
{
    prax::apply_style(options, style);
    return options;
}

} // namespace

class TestLayoutExtrasDlg : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString profile_;

    std::unique_ptr<CLayoutExtrasDlg> openDialog()
    {
        auto dlg = std::make_unique<CLayoutExtrasDlg>(nullptr, profile_);
        dlg->show();
        return dlg;
    }
    static void press(CLayoutExtrasDlg &dlg, const char *button)
    {
        auto *b = dlg.findChild<QPushButton *>(QString::fromLatin1(button));
        QVERIFY2(b, button);
        b->click();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        setMessageBoxRecorder(&recordMessage);
    }
    void init()
    {
        g_messages.clear();
        prax::format_options = prax::default_format_options;
        setPraxFormatOnSave(false);
        profile_ = dir_.filePath(QStringLiteral("prax.ini"));
        QFile::remove(profile_);
    }

    void eachBoxShowsAndClearsItsExtra_data();
    void eachBoxShowsAndClearsItsExtra();
    void modernLayout_data();
    void modernLayout();
    void buttons_data();
    void buttons();
    void okSaveFailureIsReported();
};

// ---------------------------------------------------------------------------

void TestLayoutExtrasDlg::eachBoxShowsAndClearsItsExtra_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("modern"); // the modern style sets it
    for (const prax::LayoutExtra &e : prax::kLayoutExtras)
        QTest::newRow(e.name) << QString::fromLatin1(e.name) << e.modern;
}

void TestLayoutExtrasDlg::eachBoxShowsAndClearsItsExtra()
{
    // The record with this one extra on: its box alone is checked, and
    // "Modern layout" is partly checked when the modern style has it.
    QFETCH(QString, name);
    QFETCH(bool, modern);
    const QByteArray field = name.toLatin1();
    *prax::option_field(prax::format_options, field.toStdString()) = 1;
    const prax::FormatOptions before = prax::format_options;

    auto dlg = openDialog();
    for (const prax::LayoutExtra &e : prax::kLayoutExtras) {
        QCheckBox *box = dlg->extraBox(e.name);
        QVERIFY2(box, e.name);
        QVERIFY2(!box->text().isEmpty(), e.name);
        QCOMPARE(box->isChecked(), name == QLatin1String(e.name));
    }
    QCOMPARE(dlg->modernBox()->checkState(), modern ? Qt::PartiallyChecked : Qt::Unchecked);

    // A click clears it, OK takes that over and nothing else.
    dlg->extraBox(field.constData())->click();
    QCOMPARE(dlg->modernBox()->checkState(), Qt::Unchecked);
    press(*dlg, "IDOK");
    prax::FormatOptions expected = before;
    *prax::option_field(expected, field.toStdString()) = 0;
    QVERIFY(sameRecord(prax::format_options, expected));
}

void TestLayoutExtrasDlg::modernLayout_data()
{
    // The record the dialog opens on, the state "Modern layout" shows, and
    // the record after one click on it and OK.
    QTest::addColumn<QString>("setOn"); // an extra on besides the style, or ""
    QTest::addColumn<QString>("style"); // "classic" or "modern"
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("after");

    QTest::newRow("classic: sets all") << "" << "classic" << int(Qt::Unchecked) << "modern";
    QTest::newRow("one extra: partly, sets all") << "case_layout" << "classic" << int(Qt::PartiallyChecked)
                                                 << "modern";
    QTest::newRow("the last extra: partly, sets all") << "step_indent" << "classic" << int(Qt::PartiallyChecked)
                                                      << "modern";
    QTest::newRow("modern: clears all") << "" << "modern" << int(Qt::Checked) << "classic";
    QTest::newRow("modern and a density choice: clears all") << "list_per_line" << "modern" << int(Qt::Checked)
                                                             << "classic";
}

void TestLayoutExtrasDlg::modernLayout()
{
    QFETCH(QString, setOn);
    QFETCH(QString, style);
    QFETCH(int, shown);
    QFETCH(QString, after);
    prax::format_options.wrap_length = 100; // a classic option the dialog must keep
    prax::apply_style(prax::format_options, style.toStdString());
    if (!setOn.isEmpty())
        *prax::option_field(prax::format_options, setOn.toStdString()) = 1;
    const prax::FormatOptions before = prax::format_options;

    auto dlg = openDialog();
    QCOMPARE(int(dlg->modernBox()->checkState()), shown);
    dlg->modernBox()->click();
    const bool allOn = after == QLatin1String("modern");
    QCOMPARE(dlg->modernBox()->checkState(), allOn ? Qt::Checked : Qt::Unchecked);
    for (const prax::LayoutExtra &e : prax::kLayoutExtras)
        QCOMPARE(dlg->extraBox(e.name)->isChecked(), allOn && e.modern);
    QVERIFY(sameRecord(prax::format_options, before)); // nothing before OK

    press(*dlg, "IDOK");
    QVERIFY(sameRecord(prax::format_options, styled(before, after.toLatin1().constData())));
}

// ---------------------------------------------------------------------------

void TestLayoutExtrasDlg::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<bool>("written");

    QTest::newRow("OK applies for the session") << "IDOK" << true << false;
    QTest::newRow("OK/Save applies and writes") << "IDC_OK_SAVE" << true << true;
    QTest::newRow("Cancel changes nothing") << "IDCANCEL" << false << false;
}

void TestLayoutExtrasDlg::buttons()
{
    QFETCH(QString, button);
    QFETCH(bool, applied);
    QFETCH(bool, written);
    const QByteArray before = "[Recent File List]\nFile1=/tmp/a.sql\n";
    QFile f(profile_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    prax::format_options.interval = 9;
    const prax::FormatOptions old = prax::format_options;

    auto dlg = openDialog();
    dlg->extraBox("join_clauses")->click();
    dlg->extraBox("list_per_line")->click();
    dlg->formatOnSaveBox()->click();
    press(*dlg, button.toLatin1().constData());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(g_messages, QStringList());

    prax::FormatOptions changed = old;
    changed.join_clauses = 1;
    changed.list_per_line = 1;
    QVERIFY(sameRecord(prax::format_options, applied ? changed : old));
    QCOMPARE(praxFormatOnSave(), applied);

    prax::IniProfile ini;
    QVERIFY(ini.load(profile_.toStdString()));
    if (!written) {
        QCOMPARE(QString::fromStdString(ini.text()), QString::fromLatin1(before));
        return;
    }
    // Every extra's key with its value, Format on save beside them, the
    // classic section as the Options dialog writes it, and the rest kept.
    for (const prax::LayoutExtra &e : prax::kLayoutExtras)
        QCOMPARE(ini.get_int(prax::kLayoutExtrasSection, e.key, -1), changed.*e.field);
    QCOMPARE(ini.get_int(prax::kLayoutExtrasSection, "Format On Save", -1), 1);
    QCOMPARE(ini.get_int(prax::kOptionsSection, "Interval", -1), 9);
    QCOMPARE(QString::fromStdString(ini.get_string("Recent File List", "File1").value_or("")),
             QStringLiteral("/tmp/a.sql"));

    // What was written is what a new session starts with.
    prax::FormatOptions loaded = prax::default_format_options;
    prax::load_format_options(profile_.toStdString(), loaded);
    for (const prax::LayoutExtra &e : prax::kLayoutExtras)
        QCOMPARE(loaded.*e.field, changed.*e.field);
    setPraxFormatOnSave(false);
    loadEditorSettings(profile_.toStdString());
    QVERIFY(praxFormatOnSave());
}

void TestLayoutExtrasDlg::okSaveFailureIsReported()
{
    // A profile "inside" a regular file cannot be written, even as root.
    const QString blocker = dir_.filePath(QStringLiteral("not-a-dir"));
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    profile_ = blocker + QStringLiteral("/prax.ini");

    auto dlg = openDialog();
    dlg->formatOnSaveBox()->click();
    press(*dlg, "IDC_OK_SAVE");
    QCOMPARE(g_messages.size(), 1);
    QVERIFY2(g_messages.first().startsWith(QStringLiteral("The formatting options could not be saved to ")),
             qPrintable(g_messages.first()));
    // In force for the session as after OK; only the save failed.
    QVERIFY(praxFormatOnSave());
}

QTEST_MAIN(TestLayoutExtrasDlg)
#include "test_layoutextrasdlg.moc"
