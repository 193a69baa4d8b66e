// The "Beautifier Settings" dialog: edits copies of the ten user settings of
// the process-wide prax::format_options record. OK puts them into the record,
// OK/Save also writes them to the profile, Cancel drops them, and Default
// resets the record itself at once (it stays reset even after Cancel).
//
// The controls are placed from the dialog template in dialog units, converted
// with the dialog font's metrics, and exchanged with the int fields by the
// classic dialog-data rules: fields to controls without range tests, controls
// to fields in a fixed order with the first failure reported and stopping the
// exchange. The dialog never touches the record or the profile except in OK,
// OK/Save and Default.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QHash>
#include <QLineEdit>
#include <QPixmap>
#include <QString>

#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;

// An owner-drawn, disabled button that shows a bitmap chosen by its caption:
// autoLoad() loads "<caption>U.png" from the bitmap directory and sizes the
// button to the image. Used for the "FMTLOGO" logo.
class CLogoButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CLogoButton(const QString &caption, QWidget *parent = nullptr);

    // Loads the up image; false (and no image) when it cannot be loaded.
    bool autoLoad();
    const QPixmap &image() const { return image_; }

    QSize sizeHint() const override;

    // Where autoLoad() looks for images; the default is the built-in
    // resources (":/options"). Tests point it elsewhere.
    static void setBitmapDirectory(const QString &dir);
    static QString bitmapDirectory();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap image_;
};

// An edit box that selects its whole text whenever it receives the keyboard
// focus, also when the focus comes from a mouse click, so that typing
// replaces the value.
class CSelectAllEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool select_on_press_ = false;
};

// OK/Save's write, shared by the option dialogs: prax::format_options into
// the profile at `profilePath`, then `alsoWrite` (when given) into the same
// file. The first failure is reported in a message box under `parent`, so
// that the user does not believe the values saved; false then.
bool saveOptionsToProfile(QWidget *parent, const QString &profilePath,
                          bool (*alsoWrite)(const std::string &path, std::string *error) = nullptr);

class CFormatOptionsDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 102 };

    // Control ids of the dialog template (IDD_FORMAT_OPTIONS). Every control
    // also carries its IDC_ name as objectName, so tests find it by findChild.
    enum ControlId {
    IDOK = 1,
    IDCANCEL = 2,
    IDC_DEFAULT = 1000,
    IDC_OK_SAVE = 1001,
    IDC_ALIGN_LEFT = 1002,
    IDC_ALIGN_CENTER = 1003,
    IDC_ALIGN_RIGHT = 1004,
    IDC_WRAP_LENGTH = 1005,
    IDC_INTERVAL = 1007,
    IDC_ANDOR_END = 1008,
    IDC_ANDOR_ANYWHERE = 1009,
    IDC_ANDOR_BEGINNING = 1010,
    IDC_INDENTATION = 1011,
    IDC_CASE_UPPER = 1012,
    IDC_CASE_NO_CHANGE = 1013,
    IDC_CASE_LOWER = 1014,
    IDC_NEWLINE_ON_SELECT = 1015,
    IDC_NEWLINE_AFTER_SELECT = 1016,
    IDC_MATCH_PARENTHESIS = 1017,
    IDC_MULTI_ITEM = 1021,
    IDC_LOGO = 1022,
    };

    // Copies the ten user settings of prax::format_options into the fields,
    // builds the controls, fills them from the fields and loads the logo
    // ("fail load bitmaps" when it cannot be loaded). The profile written by
    // OK/Save is prax::default_profile_path() unless setProfilePath is used.
    explicit CFormatOptionsDlg(QWidget *parent = nullptr);
    CFormatOptionsDlg(QWidget *parent, const QString &profilePath);

    void setProfilePath(const QString &path) { profile_path_ = path; }
    QString profilePath() const { return profile_path_; }

    // The control with template id `id`, or nullptr.
    QWidget *control(int id) const { return controls_.value(id); }

    // Fields to controls (false) or controls to fields with validation
    // (true). A failed validation shows its message, puts the focus on the
    // offending box with its text selected and returns false.
    bool updateData(bool saveAndValidate = true);

    // The ten fields, copies of the record's user settings.
    int starting_indentation = 0;
    int interval = 0;
    int alignment = 0;
    int match_parenthesis = 0;
    int multi_item = 0;
    int newline_after_select = 0;
    int newline_on_select = 0;
    int keyword_case = 0;
    int wrap_length = 0;
    int and_or_position = 0;

public slots:
    // OK: validate, copy the fields into the record, close.
    void accept() override;
    // OK/Save: as OK, then write the record to the profile.
    void OnOkSave();
    // Default: the record takes default_format_options at once; the controls
    // show the defaults; the dialog stays open.
    void OnDefault();

private:
    // The first box that failed validation and the message it gave.
    struct ExchangeFailure {
        int control_id = 0;
        QString message;
    };

    void createControls();
    void wireControls();
    QRect mapDialogRect(int x, int y, int w, int h) const;
    void fieldsToControls();
    std::optional<ExchangeFailure> controlsToFields();
    bool commitFields();
    void copyFieldsFromRecord();

    QString profile_path_;
    QHash<int, QWidget *> controls_;
    QButtonGroup *alignment_group_ = nullptr;
    QButtonGroup *and_or_group_ = nullptr;
    QButtonGroup *case_group_ = nullptr;
    CLogoButton *logo_ = nullptr;
};
