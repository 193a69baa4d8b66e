// Qt Tests of the Batch job dialog, driven through its widgets (offscreen):
// Add and its refusals, the file list's double-click, Remove of several
// entries, Close on the file name box, Beautify over real files, and saving
// and loading the job list with the dialog's messages.
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "batch/batch.h"
#include "app/dialogs/batchjobdlg.h"
#include "app/msgbox.h"
#include "engine/engine.h"

namespace {

QStringList g_messages;

void recordMessage(const QString &text)
{
    g_messages << text;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Answers the job-list file questions without a file dialog.
class AnsweringBatchJobDlg : public CBatchJobDlg {
public:
    QString listName;

protected:
    QString askSaveListName() override { return listName; }
    QString askLoadListName() override { return listName; }
};

} // namespace

class TestBatchJobDlg : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    template <typename T> static T *control(QWidget &dlg, const char *name)
    {
        T *widget = dlg.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static QStringList entries(QWidget &dlg)
    {
        QStringList texts;
        auto *list = control<QListWidget>(dlg, "jobList");
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    static void addByName(QWidget &dlg, const QString &name)
    {
        control<QLineEdit>(dlg, "fileName")->setText(name);
        QTest::mouseClick(control<QPushButton>(dlg, "addButton"), Qt::LeftButton);
    }

    // Files in a directory of their own, so that Add finds them.
    QString makeFiles(const QString &sub, const QStringList &names)
    {
        const QString dir = m_dir.filePath(sub);
        QDir().mkpath(dir);
        for (const QString &name : names)
            writeAll(dir + "/" + name, "select 1;\n");
        return dir;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setMessageBoxRecorder(recordMessage);
    }
    void init() { g_messages.clear(); }

    void opensWithTheTemplatesParts()
    {
        CBatchJobDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Batch job"));
        QVERIFY(!control<QPushButton>(dlg, "loadButton")->isEnabled());
        QVERIFY(!control<QPushButton>(dlg, "saveButton")->isEnabled());
        QVERIFY(control<QPushButton>(dlg, "closeButton")->isDefault());
        auto *jobs = control<QListWidget>(dlg, "jobList");
        QCOMPARE(jobs->count(), 0);
        QCOMPARE(jobs->selectionMode(), QAbstractItemView::ExtendedSelection);
        // Screen readers hear that several entries can be selected.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(jobs);
        QVERIFY(accessible);
        QVERIFY(accessible->text(QAccessible::Description).contains(QLatin1String("several")));
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Files to be beautified"));
        auto *types = control<QComboBox>(dlg, "typeCombo");
        QCOMPARE(types->count(), 3);
        QCOMPARE(types->itemText(2), QStringLiteral("All files (*.*)"));
        QCOMPARE(control<QLineEdit>(dlg, "fileName")->text(), QStringLiteral("*.txt"));
        // The job list sits below the chooser and the buttons beside it.
        QVERIFY(jobs->geometry().top() > control<QListWidget>(dlg, "fileList")->geometry().bottom());
        QVERIFY(control<QPushButton>(dlg, "removeButton")->geometry().left() > jobs->geometry().right());
    }

    void add_data()
    {
        const QString dir = makeFiles("add", {"a.sql", "b.sql"});
        makeFiles("add/sub", {});
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry");   // empty: nothing added
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("name joined to directory") << dir << "a.sql" << dir + "/a.sql" << "";
        QTest::newRow("directory with its separator") << dir + "/" << "a.sql" << dir + "/a.sql" << "";
        QTest::newRow("absolute path as it is") << "/" << dir + "/b.sql" << dir + "/b.sql" << "";
        QTest::newRow("pattern adds nothing") << dir << "*.sql" << "" << "";
        QTest::newRow("leading blank adds nothing") << dir << " a.sql" << "" << "";
        QTest::newRow("empty name adds nothing") << dir << "" << "" << "";
        QTest::newRow("missing file refused") << dir << "c.sql" << ""
                                              << "Not added to the list:\n" + dir + "/c.sql: no such file";
        QTest::newRow("missing absolute path refused") << "/" << dir + "/c.sql" << ""
                                                       << "Not added to the list:\n" + dir + "/c.sql: no such file";
        QTest::newRow("directory refused") << dir << "sub" << "" << "Not added to the list:\n" + dir + "/sub: not a file";
    }
    void add()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        addByName(dlg, name);
        QCOMPARE(entries(dlg), entry.isEmpty() ? QStringList() : QStringList{entry});
        QCOMPARE(g_messages, message.isEmpty() ? QStringList() : QStringList{message});
    }

    void addKeepsOrderAndSkipsEqualEntries()
    {
        const QString dir = makeFiles("order", {"B.SQL", "a.sql", "b.sql", "A.SQL"});
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        addByName(dlg, "B.SQL");
        addByName(dlg, "a.sql");
        addByName(dlg, "b.sql");
        addByName(dlg, "A.SQL");
        QCOMPARE(entries(dlg), (QStringList{dir + "/B.SQL", dir + "/a.sql"}));
    }

    void severalPickedFilesAreAddedAtOnce()
    {
        const QString dir = makeFiles("pick", {"one.sql", "two.sql", "three.sql"});
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        control<QComboBox>(dlg, "typeCombo")->setCurrentIndex(2); // All files
        control<QLineEdit>(dlg, "fileName")->setText("*.*");
        QTest::mouseClick(control<QPushButton>(dlg, "closeButton"), Qt::LeftButton);
        auto *files = control<QListWidget>(dlg, "fileList");
        for (const char *name : {"one.sql", "three.sql"})
            files->findItems(name, Qt::MatchExactly).first()->setSelected(true);
        QCOMPARE(control<QLineEdit>(dlg, "fileName")->text(), QStringLiteral("\"one.sql\" \"three.sql\""));
        QTest::mouseClick(control<QPushButton>(dlg, "addButton"), Qt::LeftButton);
        QCOMPARE(entries(dlg), (QStringList{dir + "/one.sql", dir + "/three.sql"}));
    }

    void enterInTheNameBoxAddsTheFile()
    {
        const QString dir = makeFiles("enter", {"q.sql"});
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(m_dir.path()));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto *name = control<QLineEdit>(dlg, "fileName");
        name->setFocus();
        name->setText("enter"); // a directory is entered, as with Close
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(dlg.currentDirectory(), dir);
        name->setText("q.sql"); // a file is added; the dialog and its list stay
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Enter);
        QVERIFY(dlg.isVisible());
        QCOMPARE(entries(dlg), QStringList{dir + "/q.sql"});
    }

    void closeActsOnTheFileNameBox()
    {
        QDir(m_dir.path()).mkpath("sub");
        writeAll(m_dir.filePath("sub/q.sql"), "select 1;\n");
        writeAll(m_dir.filePath("sub/Q2.SQL"), "select 2;\n");
        writeAll(m_dir.filePath("sub/notes.txt"), "notes\n");
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(m_dir.path()));
        auto *name = control<QLineEdit>(dlg, "fileName");
        auto *files = control<QListWidget>(dlg, "fileList");
        auto *close = control<QPushButton>(dlg, "closeButton");

        name->setText("sub"); // a directory is entered
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(dlg.currentDirectory(), m_dir.filePath("sub"));
        QCOMPARE(name->text(), QStringLiteral("*.txt"));
        QCOMPARE(files->count(), 1);

        name->setText("*.sql"); // a pattern becomes the filter, whatever the case
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(files->count(), 2);
        QVERIFY(!files->findItems("Q2.SQL", Qt::MatchExactly).isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        dlg.show();
        name->setText("q.sql"); // a file name ends the dialog
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void cancelEndsTheDialog()
    {
        CBatchJobDlg dlg;
        dlg.show();
        QTest::mouseClick(control<QPushButton>(dlg, "cancelButton"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void fileListDoubleClickAddsTheFile()
    {
        QDir(m_dir.path()).mkpath("dbl");
        writeAll(m_dir.filePath("dbl/one.txt"), "x\n");
        writeAll(m_dir.filePath("dbl/two.txt"), "y\n");
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(m_dir.filePath("dbl")));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto *files = control<QListWidget>(dlg, "fileList");
        const QList<QListWidgetItem *> found = files->findItems("two.txt", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const QPoint at = files->visualItemRect(found.first()).center();
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        // Added once, and the dialog stays open instead of picking the file.
        QCOMPARE(entries(dlg), QStringList{m_dir.filePath("dbl/two.txt")});
        QVERIFY(dlg.isVisible());
    }

    void removeDeletesEverySelectedEntry()
    {
        const QString dir = makeFiles("remove", {"0.sql", "1.sql", "2.sql", "3.sql", "4.sql"});
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        for (const char *name : {"0.sql", "1.sql", "2.sql", "3.sql", "4.sql"})
            addByName(dlg, name);
        auto *jobs = control<QListWidget>(dlg, "jobList");
        auto *remove = control<QPushButton>(dlg, "removeButton");

        QTest::mouseClick(remove, Qt::LeftButton); // nothing selected: nothing happens
        QCOMPARE(jobs->count(), 5);

        for (int row : {1, 3, 4})
            jobs->item(row)->setSelected(true);
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(entries(dlg), (QStringList{dir + "/0.sql", dir + "/2.sql"}));
    }

    // Two SQL files and one without SQL, from the project's own samples and,
    // where this machine has it, from the shared real-world corpus as well.
    void beautifyFormatsEveryFileInPlace_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("own samples") << QStringLiteral(PRAX_SAMPLES_DIR)
                                     << QStringList{"sql/orders_report.sql", "sql/windows_crlf.sql", "nosql/checksum.c"};
        QTest::newRow("shared corpus") << QStringLiteral(PRAX_CORPUS_DIR)
                                       << QStringList{"sql/duckdb-tpch-q02.sql", "sql/pg-regress-delete.sql",
                                                      "nosql/pg-port-strlcpy.c"};
    }
    void beautifyFormatsEveryFileInPlace()
    {
        QFETCH(QString, root);
        QFETCH(QStringList, names);
        if (!QFileInfo(root).isDir())
            QSKIP(qPrintable("skipped: no corpus at " + root));
        QStringList sources;
        for (const QString &name : names)
            sources << root + '/' + name;
        QTemporaryDir work, reference;
        QVERIFY(work.isValid() && reference.isValid());
        QStringList files, expected;
        for (const QString &source : sources) {
            const QByteArray original = readAll(source);
            QVERIFY2(original != "<unreadable>", qPrintable(source));
            const QString file = work.filePath(QFileInfo(source).fileName());
            writeAll(file, original);
            files << file;
            // What the engine makes of it on its own; a file without SQL stays as it was.
            const QString out = reference.filePath(QFileInfo(source).fileName());
            const int result = prax::format_file(QFile::encodeName(source).constData(), QFile::encodeName(out).constData());
            expected << (result == prax::kFormatOk ? QString::fromLatin1(readAll(out).toBase64()) : QString());
        }
        QVERIFY(!expected[0].isEmpty());
        QVERIFY(expected[2].isEmpty());

        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(work.path()));
        for (const QString &file : files)
            addByName(dlg, QFileInfo(file).fileName());
        const QStringList before = entries(dlg);
        dlg.show();
        QTest::mouseClick(control<QPushButton>(dlg, "beautifyButton"), Qt::LeftButton);

        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString backup = QString::fromStdString(prax::backup_name(files[i].toStdString()));
            if (expected[i].isEmpty()) {
                QCOMPARE(readAll(files[i]), readAll(sources[i]));
                QVERIFY(!QFile::exists(backup));
            } else {
                QCOMPARE(QString::fromLatin1(readAll(files[i]).toBase64()), expected[i]);
                QCOMPARE(readAll(backup), readAll(sources[i]));
            }
        }
        QCOMPARE(entries(dlg), before);
        QVERIFY(dlg.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(g_messages, QStringList{"2 files formatted, 1 left unchanged (no SQL, or formatted already), 0 failed."});
    }

    void secondBeautifyKeepsTheFirstBackups()
    {
        const QString dir = makeFiles("twice", {"a.sql", "gone.sql"});
        writeAll(dir + "/notes.txt", "no statements here\n");
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        for (const char *name : {"a.sql", "notes.txt", "gone.sql"})
            addByName(dlg, name);
        QFile::remove(dir + "/gone.sql"); // vanished between Add and Beautify
        auto *beautify = control<QPushButton>(dlg, "beautifyButton");
        const QString failed = "1 failed:\n" + dir + "/gone.sql: ";

        QTest::mouseClick(beautify, Qt::LeftButton);
        const QByteArray formatted = readAll(dir + "/a.sql");
        QVERIFY(formatted != "select 1;\n");
        QCOMPARE(g_messages.size(), 1);
        QVERIFY2(g_messages[0].startsWith("1 file formatted, 1 left unchanged (no SQL, or formatted already), " + failed),
                 qPrintable(g_messages[0]));

        g_messages.clear();
        QTest::mouseClick(beautify, Qt::LeftButton);
        QCOMPARE(readAll(dir + "/a.sql"), formatted);
        QCOMPARE(readAll(dir + "/a.sq~"), QByteArray("select 1;\n")); // the text before any formatting
        QCOMPARE(g_messages.size(), 1);
        QVERIFY2(g_messages[0].startsWith("0 files formatted, 2 left unchanged (no SQL, or formatted already), " + failed),
                 qPrintable(g_messages[0]));
    }

    void saveAndLoadTheJobList()
    {
        const QString dir = makeFiles("list", {"one.sql", "two.sql", "three.sql"});
        AnsweringBatchJobDlg saver;
        QVERIFY(saver.setDirectory(dir));
        for (const char *name : {"one.sql", "two.sql", "three.sql"})
            addByName(saver, name);
        auto *save = control<QPushButton>(saver, "saveButton");
        save->setEnabled(true); // created disabled; the command behind it still works

        saver.listName = m_dir.filePath("jobs.lis");
        writeAll(saver.listName, "an older list that is replaced without a question\n");
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(g_messages, QStringList{"List of files saved to " + saver.listName});
        const QByteArray d = QFile::encodeName(dir);
        QCOMPARE(readAll(saver.listName), d + "/three.sql\r\n" + d + "/two.sql\r\n" + d + "/one.sql\r\n");

        g_messages.clear();
        saver.listName = m_dir.path(); // a directory cannot be written
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(g_messages, QStringList{"fail open file to save the list"});

        AnsweringBatchJobDlg loader;
        auto *load = control<QPushButton>(loader, "loadButton");
        load->setEnabled(true);
        g_messages.clear();
        loader.listName = m_dir.filePath("missing.lis");
        QTest::mouseClick(load, Qt::LeftButton);
        QCOMPARE(g_messages, QStringList{"fail open file"});
        QCOMPARE(entries(loader), QStringList());

        g_messages.clear();
        loader.listName = m_dir.filePath("jobs.lis");
        QTest::mouseClick(load, Qt::LeftButton);
        QTest::mouseClick(load, Qt::LeftButton); // loading again adds no equal entries
        QVERIFY(g_messages.isEmpty());
        QCOMPARE(entries(loader), (QStringList{dir + "/three.sql", dir + "/two.sql", dir + "/one.sql"}));
    }
};

QTEST_MAIN(TestBatchJobDlg)
#include "batch_dialog_test.moc"
