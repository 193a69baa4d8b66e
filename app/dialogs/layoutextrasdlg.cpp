// The "Layout Extras" dialog; see layoutextrasdlg.h. The extras' boxes come
// from the option table (kLayoutExtras), so a new extra gets its box here
// without a change to this file; a label below only makes its text read well.
#include "app/dialogs/layoutextrasdlg.h"

#include "app/dialogs/formatoptionsdlg.h"
#include "app/editorsettings.h"
#include "app/profilepath.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstring>

namespace {

struct ExtraLabel {
    const char *name;
    const char *label;
};

constexpr ExtraLabel kLabels[] = {
    {"trim_trailing_blanks", "Trim trailing blanks"},
    {"statement_reset", "Reset each statement to the left edge"},
    {"set_operators", "UNION, EXCEPT, INTERSECT on lines of their own"},
    {"with_clauses", "WITH: one common table expression a line"},
    {"join_clauses", "JOIN as a clause keyword"},
    {"keywords_in_parens", "Clause keywords inside function parentheses stay in the flow"},
    {"case_layout", "CASE: WHEN and ELSE on lines of their own"},
    {"between_and", "BETWEEN ... AND on one line"},
    {"compact_operators", "Compact operators: count(*), t.*, -1"},
    {"keep_punctuation", "No wrapped line starts with a comma, semicolon or parenthesis"},
    {"all_keyword_case", "Key word case for all keywords"},
    {"list_per_line", "One list item per line"},
    {"step_indent", "Indent subqueries and parentheses by 4 columns"},
};

// The label of an extra; an extra without one shows its profile key.
QString labelOf(const prax::LayoutExtra &extra)
{
    for (const ExtraLabel &l : kLabels) {
        if (std::strcmp(l.name, extra.name) == 0)
            return QString::fromLatin1(l.label);
    }
    return QString::fromLatin1(extra.key);
}

// The option table's help text without its "1: " value prefix.
QString helpOf(const prax::LayoutExtra &extra)
{
    const prax::OptionInfo *info = prax::find_option(extra.name);
    QString help = info ? QString::fromLatin1(info->help) : QString();
    if (help.startsWith(QLatin1String("1: ")))
        help.remove(0, 3);
    return help;
}

} // namespace

CLayoutExtrasDlg::CLayoutExtrasDlg(QWidget *parent, const QString &profilePath)
    : QDialog(parent),
      profile_path_(profilePath.isEmpty() ? praxProfilePath() : profilePath),
      options_(prax::format_options)
{
    setWindowTitle(QStringLiteral("Layout Extras"));
    auto *layout = new QVBoxLayout(this);

    modern_ = new QCheckBox(QStringLiteral("&Modern layout"), this);
    modern_->setObjectName(QStringLiteral("modernLayout"));
    modern_->setToolTip(QStringLiteral("Every extra of the modern style, as prax-format --style modern"));
    layout->addWidget(modern_);

    auto *group = new QGroupBox(QStringLiteral("Layout"), this);
    auto *groupLayout = new QVBoxLayout(group);
    for (const prax::LayoutExtra &extra : prax::kLayoutExtras) {
        auto *box = new QCheckBox(labelOf(extra), group);
        box->setObjectName(QString::fromLatin1(extra.name));
        box->setToolTip(helpOf(extra));
        groupLayout->addWidget(box);
        boxes_.push_back({&extra, box});
        connect(box, &QCheckBox::toggled, this, [this, &extra](bool on) {
            options_.*extra.field = on ? 1 : 0;
            showValues();
        });
    }
    layout->addWidget(group);

    format_on_save_ = new QCheckBox(QStringLiteral("&Format on save"), this);
    format_on_save_->setObjectName(QStringLiteral("formatOnSave"));
    format_on_save_->setToolTip(QStringLiteral("Save and Save As beautify the whole text first"));
    format_on_save_->setChecked(praxFormatOnSave());
    layout->addWidget(format_on_save_);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("IDOK"));
    QPushButton *okSave = buttons->addButton(QStringLiteral("OK/Save"), QDialogButtonBox::ActionRole);
    okSave->setObjectName(QStringLiteral("IDC_OK_SAVE"));
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &CLayoutExtrasDlg::accept);
    connect(okSave, &QPushButton::clicked, this, &CLayoutExtrasDlg::OnOkSave);
    connect(cancel, &QPushButton::clicked, this, &CLayoutExtrasDlg::reject);
    connect(modern_, &QCheckBox::clicked, this, &CLayoutExtrasDlg::onModernClicked);

    showValues();
}

QCheckBox *CLayoutExtrasDlg::extraBox(const char *name) const
{
    for (const ExtraBox &b : boxes_) {
        if (std::strcmp(b.extra->name, name) == 0)
            return b.box;
    }
    return nullptr;
}

void CLayoutExtrasDlg::onModernClicked()
{
    // Whatever state the click moved the box to: a full set is cleared,
    // anything less becomes the full set, as "--style modern" sets it.
    prax::set_layout_extras(options_, !prax::is_modern_style(options_));
    showValues();
}

void CLayoutExtrasDlg::showValues()
{
    bool anyModern = false;
    for (const ExtraBox &b : boxes_) {
        const QSignalBlocker block(b.box);
        b.box->setChecked(options_.*b.extra->field != 0);
        anyModern = anyModern || (b.extra->modern && options_.*b.extra->field != 0);
    }
    const Qt::CheckState modern = prax::is_modern_style(options_) ? Qt::Checked
                                  : anyModern                     ? Qt::PartiallyChecked
                                                                  : Qt::Unchecked;
    modern_->setTristate(modern == Qt::PartiallyChecked);
    modern_->setCheckState(modern);
}

void CLayoutExtrasDlg::commit()
{
    // Only the extras: the classic options stay as the record holds them.
    for (const ExtraBox &b : boxes_)
        prax::format_options.*b.extra->field = options_.*b.extra->field;
    setPraxFormatOnSave(format_on_save_->isChecked());
}

void CLayoutExtrasDlg::accept()
{
    commit();
    QDialog::accept();
}

void CLayoutExtrasDlg::OnOkSave()
{
    commit();
    saveOptionsToProfile(this, profile_path_, &saveEditorSettings);
    QDialog::accept();
}
