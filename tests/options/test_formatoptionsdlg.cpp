// Qt Tests of the "Beautifier Settings" dialog: number reading and its exact
// messages, validation order, focus after a refusal, radio groups and check
// boxes with out-of-range values, Default/Cancel, OK/Save and the profile,
// the logo, and the placement in dialog units. Then the "Layout Extras"
// dialog: every box shows and sets its extra, "Modern layout" sets what
// --style modern sets, and OK, OK/Save and Cancel apply, write or drop the
// extras and Format on save. Message boxes are recorded instead of shown.
#include "app/dialogs/formatoptionsdlg.h"
#include "app/dialogs/layoutextrasdlg.h"
#include "app/editorsettings.h"
#include "app/msgbox.h"
#include "engine/options.h"
#include "engine/profile.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

using D = CFormatOptionsDlg;

namespace {

QStringList g_messages;

void recordMessage(const QString &text)
{
    g_messages << text;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
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

class TestFormatOptionsDlg : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString profile_;

    std::unique_ptr<D> openDialog()
    {
        auto dlg = std::make_unique<D>(nullptr, profile_);
        dlg->show();
        dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(dlg.get()))
            qWarning("dialog did not become active; focus checks may fail");
        return dlg;
    }
    static QLineEdit *edit(D &dlg, int id) { return qobject_cast<QLineEdit *>(dlg.control(id)); }
    static QAbstractButton *button(D &dlg, int id) { return qobject_cast<QAbstractButton *>(dlg.control(id)); }
    static QCheckBox *check(D &dlg, int id) { return qobject_cast<QCheckBox *>(dlg.control(id)); }

    std::unique_ptr<CLayoutExtrasDlg> openExtras()
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
        CLogoButton::setBitmapDirectory(QStringLiteral(":/options"));
    }

    void numberBoxes_data();
    void numberBoxes();
    void validationOrder_data();
    void validationOrder();
    void editBoxSelectsAllOnFocus_data();
    void editBoxSelectsAllOnFocus();
    void radioGroupOutOfRange_data();
    void radioGroupOutOfRange();
    void checkBoxValues();
    void profileValuesShownUnchanged();
    void okStoresEditsWithoutWritingProfile();
    void cancelDropsEdits();
    void defaultThenCancelKeepsDefaults();
    void okSaveRewritesTenKeys();
    void failedOkSaveWritesNothing();
    void okSaveFailureIsReported();
    void logo();
    void placedInDialogUnits_data();
    void placedInDialogUnits();

    void extrasEachBoxShowsAndClearsItsExtra_data();
    void extrasEachBoxShowsAndClearsItsExtra();
    void extrasModernLayout_data();
    void extrasModernLayout();
    void extrasButtons_data();
    void extrasButtons();
    void extrasOkSaveFailureIsReported();
};

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::numberBoxes_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<int>("stored");

    const QString positive = QStringLiteral("Please enter a positive integer.");
    const QString integer = QStringLiteral("Please enter an integer.");
    const QString range0 = QStringLiteral("Please enter an integer between 0 and 25600.");
    const QString rangeInterval = QStringLiteral("Please enter an integer between -4 and 256.");

    for (int box : {int(D::IDC_INDENTATION), int(D::IDC_WRAP_LENGTH)}) {
        const char *n = box == D::IDC_INDENTATION ? "indentation" : "wrap length";
        auto row = [n](const char *what) -> QTestData & { return QTest::addRow("%s: %s", n, what); };
        row("zero accepted") << box << "0" << "" << 0;
        row("upper bound 25600 accepted") << box << "25600" << "" << 25600;
        row("25601 out of range") << box << "25601" << range0 << 0;
        row("minus refused") << box << "-1" << positive << 0;
        row("minus zero refused") << box << "-0" << positive << 0;
        row("empty refused") << box << "" << positive << 0;
        row("blanks only refused") << box << "   " << positive << 0;
        row("blanks and tabs around accepted") << box << " \t12 \t" << "" << 12;
        row("trailing letter refused") << box << "12a" << positive << 0;
        row("blank inside refused") << box << "1 2" << positive << 0;
        row("plus sign accepted") << box << "+7" << "" << 7;
        row("plus zero refused") << box << "+0" << positive << 0;
        row("sign alone refused") << box << "+" << positive << 0;
        row("leading zeros accepted") << box << "007" << "" << 7;
        row("zeros only accepted") << box << "000" << "" << 0;
        row("hex refused") << box << "0x10" << positive << 0;
        row("2^32 saturates, not wraps to 0") << box << "4294967296" << range0 << 0;
        row("huge number out of range") << box << "99999999999999999999" << range0 << 0;
        row("non-ASCII digits refused") << box << QStringLiteral("\u0661\u0662") << positive << 0;
    }

    const int iv = D::IDC_INTERVAL;
    QTest::newRow("interval: lower bound -4 accepted") << iv << "-4" << "" << -4;
    QTest::newRow("interval: upper bound 256 accepted") << iv << "256" << "" << 256;
    QTest::newRow("interval: -5 out of range") << iv << "-5" << rangeInterval << 0;
    QTest::newRow("interval: 257 out of range") << iv << "257" << rangeInterval << 0;
    QTest::newRow("interval: empty refused") << iv << "" << integer << 0;
    QTest::newRow("interval: minus alone refused") << iv << "-" << integer << 0;
    QTest::newRow("interval: minus zero refused") << iv << "-0" << integer << 0;
    QTest::newRow("interval: plus zero refused") << iv << "+0" << integer << 0;
    QTest::newRow("interval: zero accepted") << iv << "0" << "" << 0;
    QTest::newRow("interval: blanks around negative") << iv << "\t -3  " << "" << -3;
    QTest::newRow("interval: double sign refused") << iv << "--3" << integer << 0;
    QTest::newRow("interval: blank after sign refused") << iv << "- 3" << integer << 0;
    QTest::newRow("interval: decimal point refused") << iv << "4.0" << integer << 0;
    QTest::newRow("interval: 2^31 saturates then out of range") << iv << "2147483648" << rangeInterval << 0;
    QTest::newRow("interval: 2^32+4 not wrapped to 4") << iv << "4294967300" << rangeInterval << 0;
    QTest::newRow("interval: huge negative out of range") << iv << "-99999999999" << rangeInterval << 0;
}

void TestFormatOptionsDlg::numberBoxes()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(int, stored);

    auto dlg = openDialog();
    edit(*dlg, box)->setText(text);
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);

    if (message.isEmpty()) {
        QCOMPARE(g_messages, QStringList());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QVERIFY(!dlg->isVisible());
        const int actual = box == D::IDC_INDENTATION ? prax::format_options.starting_indentation
                           : box == D::IDC_INTERVAL  ? prax::format_options.interval
                                                     : prax::format_options.wrap_length;
        QCOMPARE(actual, stored);
        return;
    }
    QCOMPARE(g_messages, QStringList{message});
    QVERIFY(dlg->isVisible());
    // The record is untouched and the offending box has the focus, all selected.
    QCOMPARE(prax::format_options.starting_indentation, prax::default_format_options.starting_indentation);
    QCOMPARE(prax::format_options.interval, prax::default_format_options.interval);
    QCOMPARE(prax::format_options.wrap_length, prax::default_format_options.wrap_length);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(edit(*dlg, box)));
    QCOMPARE(edit(*dlg, box)->selectedText(), text);
}

void TestFormatOptionsDlg::validationOrder_data()
{
    QTest::addColumn<QString>("indentation");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("wrap");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focused");

    QTest::newRow("interval's message wins over wrap length's")
        << "0" << "x" << "y" << "Please enter an integer." << int(D::IDC_INTERVAL);
    QTest::newRow("interval range failure stops before wrap length")
        << "0" << "300" << "-1" << "Please enter an integer between -4 and 256." << int(D::IDC_INTERVAL);
    QTest::newRow("indentation is tested before interval")
        << "26000" << "x" << "y" << "Please enter an integer between 0 and 25600." << int(D::IDC_INDENTATION);
    QTest::newRow("wrap length reported when the others are valid")
        << "0" << "4" << "abc" << "Please enter a positive integer." << int(D::IDC_WRAP_LENGTH);
}

void TestFormatOptionsDlg::validationOrder()
{
    QFETCH(QString, indentation);
    QFETCH(QString, interval);
    QFETCH(QString, wrap);
    QFETCH(QString, message);
    QFETCH(int, focused);

    auto dlg = openDialog();
    edit(*dlg, D::IDC_INDENTATION)->setText(indentation);
    edit(*dlg, D::IDC_INTERVAL)->setText(interval);
    edit(*dlg, D::IDC_WRAP_LENGTH)->setText(wrap);
    button(*dlg, D::IDC_CASE_LOWER)->click();
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);

    QCOMPARE(g_messages, QStringList{message});
    QCOMPARE(QApplication::focusWidget(), dlg->control(focused));
    QVERIFY(dlg->isVisible());
    QCOMPARE(prax::format_options.keyword_case, 0); // nothing taken over
}

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::editBoxSelectsAllOnFocus_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("how");
    QTest::newRow("tab into interval") << int(D::IDC_INTERVAL) << "tab";
    QTest::newRow("click into wrap length") << int(D::IDC_WRAP_LENGTH) << "click";
    QTest::newRow("program moves focus to indentation") << int(D::IDC_INDENTATION) << "program";
}

void TestFormatOptionsDlg::editBoxSelectsAllOnFocus()
{
    QFETCH(int, box);
    QFETCH(QString, how);

    prax::format_options.interval = 12;
    prax::format_options.wrap_length = 132;
    prax::format_options.starting_indentation = 16;
    auto dlg = openDialog();
    QLineEdit *target = edit(*dlg, box);
    if (how == QLatin1String("tab")) {
        // Tab order follows the template: Wrap length comes right before Interval.
        edit(*dlg, D::IDC_WRAP_LENGTH)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (how == QLatin1String("click")) {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(2, target->height() / 2));
    } else {
        target->setFocus(Qt::OtherFocusReason);
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(target));
    QVERIFY(!target->text().isEmpty());
    QCOMPARE(target->selectedText(), target->text());

    // Typing replaces the value.
    QTest::keyClicks(target, "9");
    QCOMPARE(target->text(), QStringLiteral("9"));
}

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::radioGroupOutOfRange_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("alignment 5") << QByteArray("Alignment=5") << int(D::IDC_ALIGN_LEFT) << int(D::IDC_ALIGN_CENTER);
    QTest::newRow("key word case -1") << QByteArray("Key Word Case=-1") << int(D::IDC_CASE_UPPER)
                                      << int(D::IDC_CASE_NO_CHANGE);
    QTest::newRow("and/or position 3") << QByteArray("And/OR position=3") << int(D::IDC_ANDOR_BEGINNING)
                                       << int(D::IDC_ANDOR_END);
}

void TestFormatOptionsDlg::radioGroupOutOfRange()
{
    QFETCH(QByteArray, key);
    QFETCH(int, first);
    QFETCH(int, second);

    writeFile(profile_, "[Formatting Options]\r\n" + key + "\r\n");
    prax::load_format_options(profile_.toStdString());
    int *field = key.startsWith("Alignment")  ? &prax::format_options.alignment
                 : key.startsWith("Key Word") ? &prax::format_options.keyword_case
                                              : &prax::format_options.and_or_position;

    {
        // Opens with no button of the group selected; OK stores -1.
        auto dlg = openDialog();
        const QButtonGroup *group = button(*dlg, first)->group();
        QVERIFY(group);
        QCOMPARE(group->checkedButton(), nullptr);
        QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
        QCOMPARE(g_messages, QStringList());
        QCOMPARE(*field, -1);
    }
    {
        // Once the user picks a button the group is exclusive again.
        auto dlg = openDialog();
        button(*dlg, first)->click();
        button(*dlg, second)->click();
        QVERIFY(!button(*dlg, first)->isChecked());
        QVERIFY(button(*dlg, second)->isChecked());
        // Filling the controls from an out-of-range field clears the group
        // again, also when a button is selected.
        *(first == D::IDC_ALIGN_LEFT ? &dlg->alignment
          : first == D::IDC_CASE_UPPER ? &dlg->keyword_case
                                       : &dlg->and_or_position) = 9;
        dlg->updateData(false);
        QCOMPARE(button(*dlg, first)->group()->checkedButton(), nullptr);
        button(*dlg, second)->click();
        QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
        QCOMPARE(*field, 1);
    }
}

void TestFormatOptionsDlg::checkBoxValues()
{
    prax::format_options.multi_item = 7;        // outside 0-2: made 0
    prax::format_options.match_parenthesis = 2; // kept as 2
    prax::format_options.newline_on_select = -3;
    prax::format_options.newline_after_select = 1;

    auto dlg = openDialog();
    QCOMPARE(dlg->multi_item, 0);
    QCOMPARE(dlg->newline_on_select, 0);
    QCOMPARE(check(*dlg, D::IDC_MULTI_ITEM)->checkState(), Qt::Unchecked);
    QCOMPARE(check(*dlg, D::IDC_NEWLINE_ON_SELECT)->checkState(), Qt::Unchecked);
    QCOMPARE(check(*dlg, D::IDC_NEWLINE_AFTER_SELECT)->checkState(), Qt::Checked);
    QCOMPARE(check(*dlg, D::IDC_MATCH_PARENTHESIS)->checkState(), Qt::PartiallyChecked);

    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    QCOMPARE(prax::format_options.multi_item, 0);
    QCOMPARE(prax::format_options.newline_on_select, 0);
    QCOMPARE(prax::format_options.newline_after_select, 1);
    QCOMPARE(prax::format_options.match_parenthesis, 2);

    // A user's click turns the stored 2 into a plain two-state box.
    auto again = openDialog();
    QCheckBox *box = check(*again, D::IDC_MATCH_PARENTHESIS);
    box->click();
    QCOMPARE(box->checkState(), Qt::Checked);
    box->click();
    QCOMPARE(box->checkState(), Qt::Unchecked);
    box->click();
    QCOMPARE(box->checkState(), Qt::Checked);
    QTest::mouseClick(button(*again, D::IDOK), Qt::LeftButton);
    QCOMPARE(prax::format_options.match_parenthesis, 1);
}

void TestFormatOptionsDlg::profileValuesShownUnchanged()
{
    writeFile(profile_, "[Formatting Options]\nWrap length=30000\nInterval=-40\nStarting indentation=-1\n");
    prax::load_format_options(profile_.toStdString());

    auto dlg = openDialog();
    QCOMPARE(edit(*dlg, D::IDC_WRAP_LENGTH)->text(), QStringLiteral("30000"));
    QCOMPARE(edit(*dlg, D::IDC_INTERVAL)->text(), QStringLiteral("-40"));
    // The unsigned boxes show their fields as unsigned numbers.
    QCOMPARE(edit(*dlg, D::IDC_INDENTATION)->text(), QStringLiteral("4294967295"));

    const QString range0 = QStringLiteral("Please enter an integer between 0 and 25600.");
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    edit(*dlg, D::IDC_INDENTATION)->setText("0");
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    edit(*dlg, D::IDC_INTERVAL)->setText("4");
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    QCOMPARE(g_messages, (QStringList{range0, QStringLiteral("Please enter an integer between -4 and 256."), range0}));
    QVERIFY(dlg->isVisible());
    QCOMPARE(prax::format_options.wrap_length, 30000);

    edit(*dlg, D::IDC_WRAP_LENGTH)->setText("25600");
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(prax::format_options.wrap_length, 25600);
}

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::okStoresEditsWithoutWritingProfile()
{
    const QByteArray before = "[Formatting Options]\nInterval=9\n";
    writeFile(profile_, before);
    prax::format_options.tab_width = 3; // no control: OK must leave it alone

    auto dlg = openDialog();
    button(*dlg, D::IDC_ALIGN_RIGHT)->click();
    button(*dlg, D::IDC_ANDOR_ANYWHERE)->click();
    button(*dlg, D::IDC_CASE_NO_CHANGE)->click();
    check(*dlg, D::IDC_MULTI_ITEM)->click();
    check(*dlg, D::IDC_NEWLINE_ON_SELECT)->click();
    check(*dlg, D::IDC_NEWLINE_AFTER_SELECT)->click();
    check(*dlg, D::IDC_MATCH_PARENTHESIS)->click();
    edit(*dlg, D::IDC_WRAP_LENGTH)->setText("100");
    edit(*dlg, D::IDC_INTERVAL)->setText("-2");
    edit(*dlg, D::IDC_INDENTATION)->setText("6");
    QTest::keyClick(dlg.get(), Qt::Key_Return); // Enter is OK

    QCOMPARE(dlg->result(), int(QDialog::Accepted));
    const prax::FormatOptions &o = prax::format_options;
    QCOMPARE(o.alignment, 2);
    QCOMPARE(o.and_or_position, 2);
    QCOMPARE(o.keyword_case, 1);
    QCOMPARE(o.multi_item, 0);
    QCOMPARE(o.newline_on_select, 1);
    QCOMPARE(o.newline_after_select, 1);
    QCOMPARE(o.match_parenthesis, 0);
    QCOMPARE(o.wrap_length, 100);
    QCOMPARE(o.interval, -2);
    QCOMPARE(o.starting_indentation, 6);
    QCOMPARE(o.tab_width, 3);
    QCOMPARE(o.wrap_enabled, 1);
    QCOMPARE(readFile(profile_), before);
}

void TestFormatOptionsDlg::cancelDropsEdits()
{
    prax::format_options.interval = 7;
    auto dlg = openDialog();
    QCOMPARE(dlg->interval, 7);
    edit(*dlg, D::IDC_INTERVAL)->setText("1");
    button(*dlg, D::IDC_ALIGN_CENTER)->click();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
    QCOMPARE(prax::format_options.interval, 7);
    QCOMPARE(prax::format_options.alignment, 0);
    QVERIFY(!QFile::exists(profile_));
}

void TestFormatOptionsDlg::defaultThenCancelKeepsDefaults()
{
    // A record far from the defaults, as loaded from a profile (interval 5).
    prax::FormatOptions &o = prax::format_options;
    o = prax::default_format_options;
    o.alignment = 2;
    o.wrap_enabled = 0;
    o.wrap_length = 132;
    o.multi_item = 0;
    o.newline_on_select = 1;
    o.newline_after_select = 1;
    o.interval = 5;
    o.and_or_position = 1;
    o.starting_indentation = 10;
    o.keyword_case = 2;
    o.tab_width = 3;
    o.match_parenthesis = 0;

    auto dlg = openDialog();
    edit(*dlg, D::IDC_WRAP_LENGTH)->setText("garbage"); // replaced, never validated
    button(*dlg, D::IDC_DEFAULT)->click();
    QCOMPARE(g_messages, QStringList());
    QVERIFY(dlg->isVisible());

    // The record has every default at once, the fields without a control too.
    QCOMPARE(o.interval, 4);
    QCOMPARE(o.tab_width, 8);
    QCOMPARE(o.wrap_enabled, 1);
    QCOMPARE(o.alignment, 0);
    QCOMPARE(o.wrap_length, 80);
    QCOMPARE(o.keyword_case, 0);

    // The controls show the defaults.
    QVERIFY(button(*dlg, D::IDC_ALIGN_LEFT)->isChecked());
    QVERIFY(!button(*dlg, D::IDC_ALIGN_RIGHT)->isChecked());
    QVERIFY(button(*dlg, D::IDC_ANDOR_BEGINNING)->isChecked());
    QVERIFY(!button(*dlg, D::IDC_ANDOR_END)->isChecked());
    QVERIFY(button(*dlg, D::IDC_CASE_UPPER)->isChecked());
    QVERIFY(!button(*dlg, D::IDC_CASE_LOWER)->isChecked());
    QCOMPARE(check(*dlg, D::IDC_MULTI_ITEM)->checkState(), Qt::Checked);
    QCOMPARE(check(*dlg, D::IDC_MATCH_PARENTHESIS)->checkState(), Qt::Checked);
    QCOMPARE(check(*dlg, D::IDC_NEWLINE_ON_SELECT)->checkState(), Qt::Unchecked);
    QCOMPARE(check(*dlg, D::IDC_NEWLINE_AFTER_SELECT)->checkState(), Qt::Unchecked);
    QCOMPARE(edit(*dlg, D::IDC_WRAP_LENGTH)->text(), QStringLiteral("80"));
    QCOMPARE(edit(*dlg, D::IDC_INTERVAL)->text(), QStringLiteral("4"));
    QCOMPARE(edit(*dlg, D::IDC_INDENTATION)->text(), QStringLiteral("0"));

    button(*dlg, D::IDCANCEL)->click();
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
    QCOMPARE(std::memcmp(&o, &prax::default_format_options, sizeof o), 0);
    QVERIFY(!QFile::exists(profile_));
}

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::okSaveRewritesTenKeys()
{
    // Only some keys present: the load defaults fill the rest (interval 5).
    writeFile(profile_, "[Recent File List]\nFile1=/tmp/a.sql\n[Formatting Options]\nAlignment=2\nWrap length=72\n");
    prax::load_format_options(profile_.toStdString());
    const prax::FormatOptions loaded = prax::format_options;

    auto dlg = openDialog();
    button(*dlg, D::IDC_OK_SAVE)->click();
    QCOMPARE(g_messages, QStringList());
    QCOMPARE(dlg->result(), int(QDialog::Accepted));

    prax::IniProfile ini;
    QVERIFY(ini.load(profile_.toStdString()));
    const struct {
        const char *key;
        int value;
    } expected[] = {
        {"Alignment", 2},
        {"Key Word Case", loaded.keyword_case},
        {"And/OR position", loaded.and_or_position},
        {"Multi Item", loaded.multi_item},
        {"New Line On Select", loaded.newline_on_select},
        {"New Line After Select", loaded.newline_after_select},
        {"Match Parenthesis", loaded.match_parenthesis},
        {"Interval", 5},
        {"Starting indentation", loaded.starting_indentation},
        {"Wrap length", 72},
    };
    for (const auto &e : expected) {
        const std::optional<std::string> v = ini.get_string(prax::kOptionsSection, e.key);
        QVERIFY2(v.has_value(), e.key);
        QCOMPARE(QString::fromStdString(*v), QString::number(e.value));
    }
    QCOMPARE(QString::fromStdString(ini.get_string("Recent File List", "File1").value_or("")),
             QStringLiteral("/tmp/a.sql"));

    // A changed value is written too.
    auto again = openDialog();
    edit(*again, D::IDC_INTERVAL)->setText("-4");
    button(*again, D::IDC_OK_SAVE)->click();
    QVERIFY(ini.load(profile_.toStdString()));
    QCOMPARE(ini.get_int(prax::kOptionsSection, "Interval", 99), -4);
    QCOMPARE(prax::format_options.interval, -4);
}

void TestFormatOptionsDlg::failedOkSaveWritesNothing()
{
    auto dlg = openDialog();
    edit(*dlg, D::IDC_INTERVAL)->setText("");
    button(*dlg, D::IDC_OK_SAVE)->click();
    QCOMPARE(g_messages, QStringList{QStringLiteral("Please enter an integer.")});
    QVERIFY(dlg->isVisible());
    QVERIFY(!QFile::exists(profile_));
}

void TestFormatOptionsDlg::okSaveFailureIsReported()
{
    // A profile "inside" a regular file cannot be written, even as root.
    const QString blocker = dir_.filePath(QStringLiteral("not-a-dir"));
    writeFile(blocker, "x");
    profile_ = blocker + QStringLiteral("/prax.ini");

    auto dlg = openDialog();
    edit(*dlg, D::IDC_INTERVAL)->setText("6");
    button(*dlg, D::IDC_OK_SAVE)->click();
    QCOMPARE(g_messages.size(), 1);
    QVERIFY2(g_messages.first().startsWith(QStringLiteral("The formatting options could not be saved to ")),
             qPrintable(g_messages.first()));
    QVERIFY(g_messages.first().contains(profile_));
    // The values are in force as after OK; only the save failed.
    QCOMPARE(prax::format_options.interval, 6);
    QVERIFY(!dlg->isVisible());
}

void TestFormatOptionsDlg::logo()
{
    {
        auto dlg = openDialog();
        QCOMPARE(g_messages, QStringList());
        auto *logo = qobject_cast<CLogoButton *>(dlg->control(D::IDC_LOGO));
        QVERIFY(logo);
        QCOMPARE(logo->text(), QStringLiteral("FMTLOGO"));
        QVERIFY(!logo->isEnabled());
        QCOMPARE(logo->size(), QSize(144, 96));
    }
    CLogoButton::setBitmapDirectory(dir_.filePath(QStringLiteral("no-such-dir")));
    auto dlg = openDialog();
    QCOMPARE(g_messages, QStringList{QStringLiteral("fail load bitmaps")});
    // The dialog works without its logo.
    edit(*dlg, D::IDC_INTERVAL)->setText("8");
    QTest::mouseClick(button(*dlg, D::IDOK), Qt::LeftButton);
    QCOMPARE(prax::format_options.interval, 8);
}

// ---------------------------------------------------------------------------

void TestFormatOptionsDlg::placedInDialogUnits_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("small font") << 7;
    QTest::newRow("large font") << 16;
}

void TestFormatOptionsDlg::placedInDialogUnits()
{
    QFETCH(int, pointSize);
    const QFont saved = QApplication::font();
    QFont f = saved;
    f.setPointSize(pointSize);
    QApplication::setFont(f);
    auto restore = qScopeGuard([&] { QApplication::setFont(saved); });

    D dlg(nullptr, profile_);
    const QFontMetrics fm(dlg.font());
    // The average character width is taken in whole pixels, as dialog
    // units have always been computed.
    const double unitX =
        qRound(fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0) /
        4.0;
    const double unitY = fm.height() / 8.0;
    QVERIFY(qAbs(dlg.width() - 296 * unitX) <= 2);
    QVERIFY(qAbs(dlg.height() - 213 * unitY) <= 2);
    const QRect ok = dlg.control(D::IDOK)->geometry();
    QVERIFY(qAbs(ok.x() - 104 * unitX) <= 2);
    QVERIFY(qAbs(ok.y() - 184 * unitY) <= 2);

    // Every radio button and check box lies inside its group box.
    const QList<QGroupBox *> boxes = dlg.findChildren<QGroupBox *>();
    QCOMPARE(boxes.size(), 4);
    auto boxTitled = [&](const char *title) -> QRect {
        for (QGroupBox *b : boxes)
            if (b->title() == QLatin1String(title))
                return b->geometry();
        return {};
    };
    const struct {
        const char *title;
        QList<int> ids;
    } groups[] = {
        {"Alignment", {D::IDC_ALIGN_LEFT, D::IDC_ALIGN_CENTER, D::IDC_ALIGN_RIGHT}},
        {"AND/OR Position", {D::IDC_ANDOR_BEGINNING, D::IDC_ANDOR_END, D::IDC_ANDOR_ANYWHERE}},
        {"Key Word Case", {D::IDC_CASE_UPPER, D::IDC_CASE_NO_CHANGE, D::IDC_CASE_LOWER}},
        {"Style",
         {D::IDC_MULTI_ITEM, D::IDC_NEWLINE_ON_SELECT, D::IDC_NEWLINE_AFTER_SELECT, D::IDC_MATCH_PARENTHESIS}},
    };
    for (const auto &g : groups) {
        const QRect frame = boxTitled(g.title);
        QVERIFY2(frame.isValid(), g.title);
        for (int id : g.ids)
            QVERIFY2(frame.contains(dlg.control(id)->geometry()), qPrintable(dlg.control(id)->objectName()));
    }
}

// ---------------------------------------------------------------------------
// The Layout Extras dialog

void TestFormatOptionsDlg::extrasEachBoxShowsAndClearsItsExtra_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("modern"); // the modern style sets it
    for (const prax::LayoutExtra &e : prax::kLayoutExtras)
        QTest::newRow(e.name) << QString::fromLatin1(e.name) << e.modern;
}

void TestFormatOptionsDlg::extrasEachBoxShowsAndClearsItsExtra()
{
    // The record with this one extra on: its box alone is checked, and
    // "Modern layout" is partly checked when the modern style has it.
    QFETCH(QString, name);
    QFETCH(bool, modern);
    const QByteArray field = name.toLatin1();
    *prax::option_field(prax::format_options, field.toStdString()) = 1;
    const prax::FormatOptions before = prax::format_options;

    auto dlg = openExtras();
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

void TestFormatOptionsDlg::extrasModernLayout_data()
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

void TestFormatOptionsDlg::extrasModernLayout()
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

    auto dlg = openExtras();
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

void TestFormatOptionsDlg::extrasButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<bool>("written");

    QTest::newRow("OK applies for the session") << "IDOK" << true << false;
    QTest::newRow("OK/Save applies and writes") << "IDC_OK_SAVE" << true << true;
    QTest::newRow("Cancel changes nothing") << "IDCANCEL" << false << false;
}

void TestFormatOptionsDlg::extrasButtons()
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

    auto dlg = openExtras();
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

void TestFormatOptionsDlg::extrasOkSaveFailureIsReported()
{
    // A profile "inside" a regular file cannot be written, even as root.
    const QString blocker = dir_.filePath(QStringLiteral("not-a-dir"));
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    profile_ = blocker + QStringLiteral("/prax.ini");

    auto dlg = openExtras();
    dlg->formatOnSaveBox()->click();
    press(*dlg, "IDC_OK_SAVE");
    QCOMPARE(g_messages.size(), 1);
    QVERIFY2(g_messages.first().startsWith(QStringLiteral("The formatting options could not be saved to ")),
             qPrintable(g_messages.first()));
    // In force for the session as after OK; only the save failed.
    QVERIFY(praxFormatOnSave());
}

QTEST_MAIN(TestFormatOptionsDlg)
#include "test_formatoptionsdlg.moc"
