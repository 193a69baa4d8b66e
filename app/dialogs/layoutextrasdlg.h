// The "Layout Extras" dialog: one check box per layout extra of the option
// table, "Modern layout" for the set the modern style turns on, and the
// editor's "Format on save". It edits copies; OK puts them into the
// process-wide prax::format_options record and the editor's settings for
// this session, OK/Save also writes them to the profile, Cancel drops them.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "engine/options.h"

class QCheckBox;

class CLayoutExtrasDlg : public QDialog {
    Q_OBJECT
public:
    // Copies the layout extras of prax::format_options and the format on
    // save setting. OK/Save writes to `profilePath`, or to
    // prax::default_profile_path() when it is empty.
    explicit CLayoutExtrasDlg(QWidget *parent = nullptr, const QString &profilePath = QString());

    // The check box of the extra named `name` ("trim_trailing_blanks", ...),
    // or nullptr for a name that is no layout extra.
    QCheckBox *extraBox(const char *name) const;
    QCheckBox *modernBox() const { return modern_; }
    QCheckBox *formatOnSaveBox() const { return format_on_save_; }

public slots:
    // OK: the record and the editor settings take the dialog's values.
    void accept() override;
    // OK/Save: as OK, then the profile is written (a failure says so).
    void OnOkSave();

private:
    struct ExtraBox {
        const prax::LayoutExtra *extra;
        QCheckBox *box;
    };

    void onModernClicked();
    // The boxes from the copy; "Modern layout" checked when every extra of
    // the modern style is set, partly checked when some are.
    void showValues();
    void commit();

    QString profile_path_;
    prax::FormatOptions options_; // the record's copy that the boxes edit
    std::vector<ExtraBox> boxes_;
    QCheckBox *modern_ = nullptr;
    QCheckBox *format_on_save_ = nullptr;
};
