// Qt Tests of the Batch job dialog, driven through its widgets (offscreen):
// Add and its refusals, the file list's double-click, Remove of several
// entries, Close on the file name box, Beautify over real files, and saving
// and loading the job list with the dialog's messages.
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
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry"); // empty: nothing added
        QTest::newRow("name joined to directory") << m_dir.path() << "a.sql" << m_dir.path() + "/a.sql";
        QTest::newRow("root gets no second separator") << "/" << "A.SQL" << "/A.SQL";
        QTest::newRow("pattern adds nothing") << m_dir.path() << "*.sql" << "";
        QTest::newRow("leading blank adds nothing") << m_dir.path() << " a.sql" << "";
        QTest::newRow("empty name adds nothing") << m_dir.path() << "" << "";
    }
    void add()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, entry);
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory(dir));
        QCOMPARE(dlg.currentDirectory(), dir);
        addByName(dlg, name);
        QCOMPARE(entries(dlg), entry.isEmpty() ? QStringList() : QStringList{entry});
    }

    void addKeepsOrderAndSkipsEqualEntries()
    {
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory("/"));
        addByName(dlg, "B.SQL");
        addByName(dlg, "a.sql");
        addByName(dlg, "b.sql");
        addByName(dlg, "A.SQL");
        QCOMPARE(entries(dlg), (QStringList{"/B.SQL", "/a.sql"}));
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
        CBatchJobDlg dlg;
        QVERIFY(dlg.setDirectory("/"));
        for (const char *name : {"0.sql", "1.sql", "2.sql", "3.sql", "4.sql"})
            addByName(dlg, name);
        auto *jobs = control<QListWidget>(dlg, "jobList");
        auto *remove = control<QPushButton>(dlg, "removeButton");

        QTest::mouseClick(remove, Qt::LeftButton); // nothing selected: nothing happens
        QCOMPARE(jobs->count(), 5);

        for (int row : {1, 3, 4})
            jobs->item(row)->setSelected(true);
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(entries(dlg), (QStringList{"/0.sql", "/2.sql"}));
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
        QVERIFY(g_messages.isEmpty());
    }

    void saveAndLoadTheJobList()
    {
        AnsweringBatchJobDlg saver;
        QVERIFY(saver.setDirectory("/"));
        for (const char *name : {"one.sql", "two.sql", "three.sql"})
            addByName(saver, name);
        auto *save = control<QPushButton>(saver, "saveButton");
        save->setEnabled(true); // created disabled; the command behind it still works

        saver.listName = m_dir.filePath("jobs.lis");
        writeAll(saver.listName, "an older list that is replaced without a question\n");
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(g_messages, QStringList{"List of files saved to " + saver.listName});
        QCOMPARE(readAll(saver.listName), QByteArray("/three.sql\r\n/two.sql\r\n/one.sql\r\n"));

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
        QCOMPARE(entries(loader), (QStringList{"/three.sql", "/two.sql", "/one.sql"}));
    }
};

QTEST_MAIN(TestBatchJobDlg)
#include "batch_dialog_test.moc"
