// The Batch job dialog; see batchjobdlg.h.
//
// The chooser half behaves as the classic file-open dialog did: the file name
// box starts with the type's pattern, clicking a file copies its name into the
// box, double-clicking a directory enters it, and Close (Enter) handles the
// box's text: a pattern becomes the filter, a directory is entered, a file
// name ends the dialog. The job-list half is the dialog's own.
#include "app/dialogs/batchjobdlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>

#include <algorithm>

#include "batch/batch.h"
#include "app/dialogunits.h"
#include "app/msgbox.h"

namespace {

// The type list as the dialog has always been given it: pairs of a description
// and its patterns, separated by "|", blanks around the patterns included.
const char kTypeFilter[] = "Text Files (*.txt)| *.txt |SQL Files (*.sql)| *.sql | All files (*.*)| *.* ||";

// Dialog size and the job list's place, in dialog units.
constexpr int kDialogWidth = 281;
constexpr int kDialogHeight = 258;

// Where a job-list entry keeps the bytes of its path; the text shown is their
// decoding, which need not round-trip for names that are not valid UTF-8.
constexpr int kRawPathRole = Qt::UserRole;
// Where a directory-list or drive-list item keeps the directory it enters.
constexpr int kDirPathRole = Qt::UserRole;

std::string toBytes(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString fromBytes(const std::string &path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

// "*.*" means every file, as it did where file names always had an extension.
QStringList toNameFilters(const QStringList &patterns)
{
    QStringList filters;
    for (const QString &pattern : patterns)
        filters << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    return filters;
}

QStringList splitPatterns(const QString &text)
{
    QStringList patterns;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            patterns << pattern;
    }
    return patterns;
}

void tagControl(QWidget *widget, int id, const char *name)
{
    widget->setProperty("controlId", id);
    widget->setObjectName(QLatin1String(name));
}

} // namespace

CBatchJobDlg::CBatchJobDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Batch job"));
    createControls();
    placeControls();
    connectControls();
    fillTypes();
    fillDrives();
    setPatterns(splitPatterns(m_typeCombo->currentData().toString()));
    m_fileName->setText(m_patterns.join(QLatin1Char(';')));
    if (!setDirectory(QDir::currentPath()))
        setDirectory(QDir::homePath());
}

void CBatchJobDlg::createControls()
{
    m_nameLabel = new QLabel(QStringLiteral("File &Name:"), this);
    tagControl(m_nameLabel, IDC_NAME_LABEL, "nameLabel");
    m_fileName = new QLineEdit(this);
    tagControl(m_fileName, IDC_FILE_NAME, "fileName");
    m_fileList = new QListWidget(this);
    tagControl(m_fileList, IDC_FILE_LIST, "fileList");

    m_dirsLabel = new QLabel(QStringLiteral("&Directories:"), this);
    m_dirLabel = new QLabel(this);
    tagControl(m_dirLabel, IDC_DIR_LABEL, "dirLabel");
    m_dirList = new QListWidget(this);
    tagControl(m_dirList, IDC_DIR_LIST, "dirList");

    m_typeLabel = new QLabel(QStringLiteral("List Files of &Type:"), this);
    tagControl(m_typeLabel, IDC_TYPE_LABEL, "typeLabel");
    m_typeCombo = new QComboBox(this);
    tagControl(m_typeCombo, IDC_TYPE_COMBO, "typeCombo");
    m_drivesLabel = new QLabel(QStringLiteral("Dri&ves:"), this);
    m_driveCombo = new QComboBox(this);
    tagControl(m_driveCombo, IDC_DRIVE_COMBO, "driveCombo");

    m_jobLabel = new QLabel(QStringLiteral("Files to be beautified"), this);
    m_jobList = new QListWidget(this);
    tagControl(m_jobList, IDC_JOB_LIST, "jobList");
    // Several entries selectable at once; long paths scroll sideways.
    m_jobList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_jobList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_jobList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_jobList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    tagControl(m_closeButton, IDOK, "closeButton");
    m_closeButton->setDefault(true);
    m_addButton = new QPushButton(QStringLiteral("&Add"), this);
    tagControl(m_addButton, IDC_ADD, "addButton");
    m_removeButton = new QPushButton(QStringLiteral("Remove"), this);
    tagControl(m_removeButton, IDC_REMOVE, "removeButton");
    // Created disabled, and nothing in the dialog enables them.
    m_loadButton = new QPushButton(QStringLiteral("Load list"), this);
    tagControl(m_loadButton, IDC_LOAD_LIST, "loadButton");
    m_loadButton->setEnabled(false);
    m_saveButton = new QPushButton(QStringLiteral("Save list"), this);
    tagControl(m_saveButton, IDC_SAVE_LIST, "saveButton");
    m_saveButton->setEnabled(false);
    m_beautifyButton = new QPushButton(QStringLiteral("&Beautify"), this);
    tagControl(m_beautifyButton, IDC_BEAUTIFY, "beautifyButton");
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    tagControl(m_cancelButton, IDCANCEL, "cancelButton");

    m_nameLabel->setBuddy(m_fileName);
    m_dirsLabel->setBuddy(m_dirList);
    m_typeLabel->setBuddy(m_typeCombo);
    m_drivesLabel->setBuddy(m_driveCombo);
    m_jobLabel->setBuddy(m_jobList);
}

// Places every control from the template's table in dialog units: one
// horizontal unit is a quarter of the font's average character width, one
// vertical unit an eighth of its height, so the proportions hold on any font.
void CBatchJobDlg::placeControls()
{
    struct Place {
        QWidget *widget;
        int x, y, width, height;
    };
    const Place places[] = {
        {m_nameLabel, 106, 8, 76, 10},     {m_fileName, 106, 19, 90, 12},
        {m_fileList, 112, 31, 84, 68},     {m_dirsLabel, 2, 5, 92, 9},
        {m_dirLabel, 7, 21, 92, 9},        {m_dirList, 8, 31, 92, 68},
        {m_typeLabel, 110, 102, 90, 9},    {m_typeCombo, 108, 112, 90, 63},
        {m_drivesLabel, 8, 102, 92, 9},    {m_driveCombo, 10, 112, 92, 68},
        {m_jobLabel, 12, 141, 102, 7},     {m_jobList, 12, 153, 193, 64},
        {m_closeButton, 212, 15, 50, 14},  {m_addButton, 212, 35, 50, 14},
        {m_removeButton, 212, 156, 50, 14}, {m_loadButton, 212, 177, 50, 14},
        {m_saveButton, 212, 198, 50, 14},  {m_beautifyButton, 39, 227, 50, 14},
        {m_cancelButton, 119, 227, 50, 14},
    };
    for (const Place &place : places) {
        QRect rect = mapDialogRect(font(), place.x, place.y, place.width, place.height);
        // A drop-down list's height in the template includes its open list;
        // closed, it is as high as the combo box itself.
        if (qobject_cast<QComboBox *>(place.widget))
            rect.setHeight(place.widget->sizeHint().height());
        place.widget->setGeometry(rect);
    }
    setFixedSize(mapDialogRect(font(), 0, 0, kDialogWidth, kDialogHeight).size());
}

void CBatchJobDlg::connectControls()
{
    connect(m_addButton, &QPushButton::clicked, this, &CBatchJobDlg::OnAdd);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, &CBatchJobDlg::OnFileDoubleClicked);
    connect(m_fileList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_fileName->setText(item->text()); });
    connect(m_removeButton, &QPushButton::clicked, this, &CBatchJobDlg::OnRemove);
    connect(m_beautifyButton, &QPushButton::clicked, this, &CBatchJobDlg::OnBeautify);
    connect(m_saveButton, &QPushButton::clicked, this, &CBatchJobDlg::OnSaveList);
    connect(m_loadButton, &QPushButton::clicked, this, &CBatchJobDlg::OnLoadList);
    connect(m_closeButton, &QPushButton::clicked, this, &CBatchJobDlg::OnClose);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_typeCombo, &QComboBox::activated, this, &CBatchJobDlg::OnTypeChanged);
    connect(m_driveCombo, &QComboBox::activated, this, &CBatchJobDlg::OnDriveChanged);
    connect(m_dirList, &QListWidget::itemDoubleClicked, this, &CBatchJobDlg::OnDirDoubleClicked);
}

void CBatchJobDlg::fillTypes()
{
    const QStringList parts = QString::fromLatin1(kTypeFilter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty())
            break; // "||" ends the list
        m_typeCombo->addItem(description, parts[i + 1].trimmed());
    }
}

// The places a Linux user starts from: the file system's root, the home
// directory and every mounted volume.
void CBatchJobDlg::fillDrives()
{
    QStringList roots{QStringLiteral("/"), QDir::cleanPath(QDir::homePath())};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            roots << QDir::cleanPath(volume.rootPath());
    }
    roots.removeDuplicates();
    for (const QString &root : roots)
        m_driveCombo->addItem(root, root);
}

QString CBatchJobDlg::currentDirectory() const
{
    return m_dirLabel->text();
}

bool CBatchJobDlg::setDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        return false;
    m_directory = QDir::cleanPath(info.absoluteFilePath());
    m_dirLabel->setText(m_directory);
    m_dirLabel->setToolTip(m_directory);
    fillDirectoryList();
    fillFileList();
    selectDrive();
    return true;
}

std::vector<std::string> CBatchJobDlg::jobList() const
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(m_jobList->count()));
    for (int row = 0; row < m_jobList->count(); ++row) {
        const QByteArray raw = m_jobList->item(row)->data(kRawPathRole).toByteArray();
        entries.emplace_back(raw.constData(), static_cast<size_t>(raw.size()));
    }
    return entries;
}

// The directory list shows the path from the root down to the current
// directory, one level per line, then the current directory's subdirectories
// one level deeper:
//   /
//     work
//       main        <- current
//         app
void CBatchJobDlg::fillDirectoryList()
{
    m_dirList->clear();
    auto addLevel = [this](const QString &name, const QString &path, int depth) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, m_dirList);
        item->setData(kDirPathRole, path);
        return item;
    };
    addLevel(QStringLiteral("/"), QStringLiteral("/"), 0);
    QString path;
    int depth = 0;
    QListWidgetItem *current = m_dirList->item(0);
    for (const QString &part : m_directory.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        current = addLevel(part, path, ++depth);
    }
    m_dirList->setCurrentItem(current);
    const QDir dir(m_directory);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        addLevel(name, dir.absoluteFilePath(name), depth + 1);
}

void CBatchJobDlg::fillFileList()
{
    m_fileList->clear();
    QDir dir(m_directory);
    dir.setNameFilters(toNameFilters(m_patterns)); // without regard to case
    m_fileList->addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

// Shows the drive the current directory lies on: the longest root above it.
void CBatchJobDlg::selectDrive()
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_driveCombo->count(); ++i) {
        const QString root = m_driveCombo->itemData(i).toString();
        const bool above = root == QLatin1String("/") || m_directory == root ||
                           m_directory.startsWith(root + QLatin1Char('/'));
        if (above && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    m_driveCombo->setCurrentIndex(best);
}

void CBatchJobDlg::setPatterns(const QStringList &patterns)
{
    m_patterns = patterns;
    if (!m_directory.isEmpty())
        fillFileList();
}

// Appends `entry` unless an equal entry (ignoring case) is listed.
bool CBatchJobDlg::addEntry(const std::string &entry)
{
    for (const std::string &present : jobList()) {
        if (prax::same_job_entry(present, entry))
            return false;
    }
    auto *item = new QListWidgetItem(fromBytes(entry), m_jobList);
    item->setData(kRawPathRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
    return true;
}

void CBatchJobDlg::OnAdd()
{
    const std::string entry = prax::make_job_entry(toBytes(currentDirectory()), toBytes(m_fileName->text()));
    if (!entry.empty())
        addEntry(entry);
}

// A double-click adds the file instead of picking it and closing the dialog.
void CBatchJobDlg::OnFileDoubleClicked(QListWidgetItem *item)
{
    if (!item)
        item = m_fileList->currentItem();
    if (!item)
        return;
    // The list shows real files only, so the name needs none of the name box's tests:
    // " a.sql" is a file name like any other here.
    addEntry(prax::join_path(toBytes(currentDirectory()), toBytes(item->text())));
}

void CBatchJobDlg::OnRemove()
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_jobList->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    // Highest index first, so that the indexes still to delete stay valid.
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        delete m_jobList->takeItem(row);
}

void CBatchJobDlg::OnBeautify()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Results are not reported per file; the engine's status messages are.
    prax::run_batch(jobList());
    QApplication::restoreOverrideCursor();
}

QString CBatchJobDlg::askSaveListName()
{
    QFileDialog dialog(this, QString(), m_directory, QStringLiteral("Job list (*.lis)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("lis"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString CBatchJobDlg::askLoadListName()
{
    QFileDialog dialog(this, QString(), m_directory, QStringLiteral("Job list (*.lis)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("lis"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void CBatchJobDlg::OnSaveList()
{
    const QString name = askSaveListName();
    if (name.isEmpty())
        return;
    // A list that was not written completely (a full disk) is a failure too,
    // never "saved".
    if (prax::write_job_list(toBytes(name), jobList()) != 0) {
        praxMessageBox(this, QStringLiteral("fail open file to save the list"));
        return;
    }
    praxMessageBox(this, QStringLiteral("List of files saved to ") + QFileInfo(name).absoluteFilePath());
}

void CBatchJobDlg::OnLoadList()
{
    const QString name = askLoadListName();
    if (name.isEmpty())
        return;
    std::vector<std::string> entries;
    if (prax::read_job_list(toBytes(name), entries) != 0) {
        praxMessageBox(this, QStringLiteral("fail open file"));
        return;
    }
    for (const std::string &entry : entries)
        addEntry(entry);
}

// Close is the chooser's OK: it acts on the file name box.
void CBatchJobDlg::OnClose()
{
    const QString text = m_fileName->text().trimmed();
    if (text.isEmpty())
        return;
    if (text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'))) {
        setPatterns(splitPatterns(text)); // "*.sql" lists the SQL files
        return;
    }
    QString target = text;
    if (target == QLatin1String("~") || target.startsWith(QLatin1String("~/")))
        target = QDir::homePath() + target.mid(1);
    else if (!QDir::isAbsolutePath(target))
        target = m_directory + QLatin1Char('/') + target;
    if (QFileInfo(target).isDir()) {
        setDirectory(target);
        m_fileName->setText(m_patterns.join(QLatin1Char(';')));
        return;
    }
    accept(); // a file name ends the dialog; the name itself is not used
}

void CBatchJobDlg::OnTypeChanged(int index)
{
    setPatterns(splitPatterns(m_typeCombo->itemData(index).toString()));
    m_fileName->setText(m_patterns.join(QLatin1Char(';')));
}

void CBatchJobDlg::OnDriveChanged(int index)
{
    if (!setDirectory(m_driveCombo->itemData(index).toString()))
        selectDrive();
}

void CBatchJobDlg::OnDirDoubleClicked(QListWidgetItem *item)
{
    if (item)
        setDirectory(item->data(kDirPathRole).toString());
}
