// The Batch job dialog: a file chooser (file name box, the files of the current
// directory filtered by type, directory and drive navigation) beside the list
// of files to be beautified, with buttons to add, remove, beautify, and save or
// load the list as a job-list file.
//
// The dialog only gathers the list; formatting, backups and job-list files are
// the batch core's (batch/batch.h). The list lives while the dialog is open.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CBatchJobDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids of the dialog template; each widget carries its id in the
    // "controlId" property and a matching object name.
    enum ControlId {
        IDOK = 1,
        IDCANCEL = 2,
        IDC_JOB_LIST = 1008,
        IDC_REMOVE = 1009,
        IDC_ADD = 1010,
        IDC_LOAD_LIST = 1013,
        IDC_SAVE_LIST = 1014,
        IDC_BEAUTIFY = 1018,
        IDC_DIR_LABEL = 1088,
        IDC_TYPE_LABEL = 1089,
        IDC_NAME_LABEL = 1090,
        IDC_FILE_LIST = 1120,
        IDC_DIR_LIST = 1121,
        IDC_TYPE_COMBO = 1136,
        IDC_DRIVE_COMBO = 1137,
        IDC_FILE_NAME = 1152,
    };

    explicit CBatchJobDlg(QWidget *parent = nullptr);

    // The current directory, as its label shows it.
    QString currentDirectory() const;
    // Enters `path` (the directory list and the drive list do the same).
    // Returns false, changing nothing, when it is not a readable directory.
    bool setDirectory(const QString &path);
    // The job list's entries in list order, as the bytes of their paths.
    std::vector<std::string> jobList() const;

protected:
    // The name of the job-list file to write or read; empty when the user
    // cancels. Tests override these to answer without a file dialog.
    virtual QString askSaveListName();
    virtual QString askLoadListName();

private slots:
    void OnAdd();
    void OnFileDoubleClicked(QListWidgetItem *item);
    void OnRemove();
    void OnBeautify();
    void OnSaveList();
    void OnLoadList();
    void OnClose();
    void OnTypeChanged(int index);
    void OnDriveChanged(int index);
    void OnDirDoubleClicked(QListWidgetItem *item);

private:
    void createControls();
    void placeControls();
    void connectControls();
    void fillTypes();
    void fillDrives();
    void fillDirectoryList();
    void fillFileList();
    void selectDrive();
    void setPatterns(const QStringList &patterns);
    bool addEntry(const std::string &entry);

    QLabel *m_nameLabel = nullptr;
    QLineEdit *m_fileName = nullptr;
    QListWidget *m_fileList = nullptr;
    QLabel *m_dirsLabel = nullptr;
    QLabel *m_dirLabel = nullptr;
    QListWidget *m_dirList = nullptr;
    QLabel *m_typeLabel = nullptr;
    QComboBox *m_typeCombo = nullptr;
    QLabel *m_drivesLabel = nullptr;
    QComboBox *m_driveCombo = nullptr;
    QLabel *m_jobLabel = nullptr;
    QListWidget *m_jobList = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QPushButton *m_loadButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_beautifyButton = nullptr;
    QPushButton *m_cancelButton = nullptr;

    QString m_directory;   // the current directory, absolute and clean
    QStringList m_patterns; // file-name patterns of the file list, e.g. "*.sql"
};
