// The "Beautifier Settings" dialog. See formatoptionsdlg.h for what it does;
// this file holds the template table, the number reading of the edit boxes and
// the exchange between the int fields and the controls.
#include "app/dialogs/formatoptionsdlg.h"

#include "app/dialogunits.h"
#include "app/msgbox.h"
#include "app/profilepath.h"
#include "engine/options.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// ---------------------------------------------------------------------------
// The dialog template: every control with its id, text and place in dialog
// units (x, y, width, height), in tab order. A radio button marked first
// begins a new group that runs to the next such button.

enum class Kind { GroupBox, RadioFirst, Radio, CheckBox, LabelRight, Edit, Logo, Button, DefaultButton };

constexpr int IDC_STATIC = -1;

struct TemplateItem {
    int id;
    Kind kind;
    const char *text;
    int x, y, w, h;
    const char *name; // objectName; the IDC_ name of the id
};

using D = CFormatOptionsDlg;

constexpr int kDialogWidth = 296;
constexpr int kDialogHeight = 213;

constexpr TemplateItem kTemplate[] = {
    {IDC_STATIC, Kind::GroupBox, "Alignment", 113, 20, 63, 63, nullptr},
    {D::IDC_ALIGN_LEFT, Kind::RadioFirst, "Left", 121, 34, 35, 11, "IDC_ALIGN_LEFT"},
    {D::IDC_ALIGN_CENTER, Kind::Radio, "Center", 121, 50, 35, 11, "IDC_ALIGN_CENTER"},
    {D::IDC_ALIGN_RIGHT, Kind::Radio, "Right", 121, 65, 35, 11, "IDC_ALIGN_RIGHT"},
    {IDC_STATIC, Kind::GroupBox, "AND/OR Position", 212, 21, 73, 63, nullptr},
    {D::IDC_ANDOR_BEGINNING, Kind::RadioFirst, "Beginning", 222, 37, 51, 11, "IDC_ANDOR_BEGINNING"},
    {D::IDC_ANDOR_END, Kind::Radio, "End of line", 222, 51, 51, 11, "IDC_ANDOR_END"},
    {D::IDC_ANDOR_ANYWHERE, Kind::Radio, "Anywhere", 222, 65, 51, 11, "IDC_ANDOR_ANYWHERE"},
    {IDC_STATIC, Kind::GroupBox, "Key Word Case", 6, 104, 65, 63, nullptr},
    {D::IDC_CASE_UPPER, Kind::RadioFirst, "Upper", 15, 120, 42, 11, "IDC_CASE_UPPER"},
    {D::IDC_CASE_NO_CHANGE, Kind::Radio, "No Change", 15, 136, 47, 11, "IDC_CASE_NO_CHANGE"},
    {D::IDC_CASE_LOWER, Kind::Radio, "Lower", 15, 151, 43, 11, "IDC_CASE_LOWER"},
    {IDC_STATIC, Kind::GroupBox, "Style", 84, 106, 93, 63, nullptr},
    {D::IDC_MULTI_ITEM, Kind::CheckBox, "Multi Item in a line", 92, 117, 80, 10, "IDC_MULTI_ITEM"},
    {D::IDC_NEWLINE_ON_SELECT, Kind::CheckBox, "Newline on SELECT", 92, 129, 80, 11, "IDC_NEWLINE_ON_SELECT"},
    {D::IDC_NEWLINE_AFTER_SELECT, Kind::CheckBox, "Newline after SELECT", 92, 142, 80, 10,
     "IDC_NEWLINE_AFTER_SELECT"},
    {D::IDC_MATCH_PARENTHESIS, Kind::CheckBox, "Match Parenthesis", 92, 154, 80, 11, "IDC_MATCH_PARENTHESIS"},
    {IDC_STATIC, Kind::LabelRight, "Wrap length", 200, 109, 41, 8, nullptr},
    {D::IDC_WRAP_LENGTH, Kind::Edit, "", 244, 107, 25, 12, "IDC_WRAP_LENGTH"},
    {IDC_STATIC, Kind::LabelRight, "Interval ", 200, 134, 41, 8, nullptr},
    {D::IDC_INTERVAL, Kind::Edit, "", 244, 132, 25, 12, "IDC_INTERVAL"},
    {IDC_STATIC, Kind::LabelRight, "Indentation", 200, 157, 41, 8, nullptr},
    {D::IDC_INDENTATION, Kind::Edit, "", 244, 155, 25, 12, "IDC_INDENTATION"},
    {D::IDC_LOGO, Kind::Logo, "FMTLOGO", 13, 21, 50, 36, "IDC_LOGO"},
    {D::IDC_DEFAULT, Kind::Button, "Default", 49, 184, 44, 13, "IDC_DEFAULT"},
    {D::IDOK, Kind::DefaultButton, "OK", 104, 184, 44, 13, "IDOK"},
    {D::IDC_OK_SAVE, Kind::Button, "OK/Save", 159, 183, 44, 13, "IDC_OK_SAVE"},
    {D::IDCANCEL, Kind::Button, "Cancel", 220, 183, 44, 13, "IDCANCEL"},
};

// ---------------------------------------------------------------------------
// Number reading of the edit boxes.

// The messages of the dialog-data exchange, word for word.
const char kNotPositiveInteger[] = "Please enter a positive integer.";
const char kNotInteger[] = "Please enter an integer.";
const char kOutOfRange[] = "Please enter an integer between %1 and %2.";

constexpr int kMinUnsigned = 0, kMaxUnsigned = 25600; // Wrap length, Indentation
constexpr int kMinInterval = -4, kMaxInterval = 256;

bool is_blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Reads a decimal number with blanks and tabs around it and an optional "+"
// (and "-" when `is_signed`). A value of 0 must be written with the digit 0,
// so "", "+" and "+0" are refused. A value too large for 32 bits saturates
// (UINT_MAX unsigned, INT_MAX or INT_MIN signed), so it then fails the range
// test instead of wrapping into range: "4294967296" must not read as 0.
std::optional<int64_t> read_decimal(const QString &text, bool is_signed)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && is_blank(text[i]))
        ++i;
    const QChar first = i < n ? text[i] : QChar();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        if (negative && !is_signed)
            return std::nullopt;
        ++i;
    }
    const qsizetype digits = i;
    int64_t magnitude = 0;
    constexpr int64_t kCap = int64_t(UINT32_MAX) + 1; // anything above saturates alike
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        magnitude = std::min(kCap, magnitude * 10 + (text[i].unicode() - '0'));
    if (i == digits)
        return std::nullopt;
    if (magnitude == 0 && first != QLatin1Char('0'))
        return std::nullopt;
    while (i < n && is_blank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;

    if (!is_signed)
        return std::min<int64_t>(magnitude, UINT32_MAX);
    return negative ? std::max<int64_t>(-magnitude, INT_MIN) : std::min<int64_t>(magnitude, INT_MAX);
}

QString range_message(int low, int high)
{
    return QString::fromLatin1(kOutOfRange).arg(QString::number(low), QString::number(high));
}

} // namespace

// ---------------------------------------------------------------------------
// CLogoButton

namespace {
QString g_bitmap_directory = QStringLiteral(":/options");
}

CLogoButton::CLogoButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
}

void CLogoButton::setBitmapDirectory(const QString &dir)
{
    g_bitmap_directory = dir;
}

QString CLogoButton::bitmapDirectory()
{
    return g_bitmap_directory;
}

bool CLogoButton::autoLoad()
{
    // The up image is named by the caption followed by "U": "FMTLOGO" loads
    // "FMTLOGOU". The button takes the image's size.
    image_ = QPixmap(g_bitmap_directory + QLatin1Char('/') + text() + QStringLiteral("U.png"));
    if (image_.isNull())
        return false;
    resize(image_.deviceIndependentSize().toSize());
    updateGeometry();
    update();
    return true;
}

QSize CLogoButton::sizeHint() const
{
    return image_.isNull() ? QSize(0, 0) : image_.deviceIndependentSize().toSize();
}

void CLogoButton::paintEvent(QPaintEvent *)
{
    // Drawn as is, also while disabled: the logo is disabled only so that it
    // takes no clicks and no focus, and must not look greyed.
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, image_);
}

// ---------------------------------------------------------------------------
// CSelectAllEdit

void CSelectAllEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    selectAll();
    // A click delivers the focus first and then the press, which would put
    // the caret under the mouse; select again after that press.
    select_on_press_ = event->reason() == Qt::MouseFocusReason;
}

void CSelectAllEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (select_on_press_) {
        select_on_press_ = false;
        selectAll();
    }
}

// ---------------------------------------------------------------------------
// CFormatOptionsDlg

CFormatOptionsDlg::CFormatOptionsDlg(QWidget *parent)
    : CFormatOptionsDlg(parent, QString())
{
}

CFormatOptionsDlg::CFormatOptionsDlg(QWidget *parent, const QString &profilePath)
    : QDialog(parent),
      profile_path_(profilePath.isEmpty() ? praxProfilePath() : profilePath)
{
    copyFieldsFromRecord();
    createControls();
    wireControls();

    // Dialog initialisation: fill the controls, then load the logo. Qt
    // centres a dialog over its parent when it is shown.
    updateData(false);
    if (!logo_->autoLoad())
        praxMessageBox(parentWidget(), QStringLiteral("fail load bitmaps"));
}

void CFormatOptionsDlg::copyFieldsFromRecord()
{
    const prax::FormatOptions &o = prax::format_options;
    starting_indentation = o.starting_indentation;
    interval = o.interval;
    alignment = o.alignment;
    match_parenthesis = o.match_parenthesis;
    multi_item = o.multi_item;
    newline_after_select = o.newline_after_select;
    newline_on_select = o.newline_on_select;
    keyword_case = o.keyword_case;
    wrap_length = o.wrap_length;
    and_or_position = o.and_or_position;
}

QRect CFormatOptionsDlg::mapDialogRect(int x, int y, int w, int h) const
{
    return ::mapDialogRect(font(), x, y, w, h);
}

void CFormatOptionsDlg::createControls()
{
    setWindowTitle(QStringLiteral("Beautifier Settings"));
    setFixedSize(mapDialogRect(0, 0, kDialogWidth, kDialogHeight).size());

    QButtonGroup *group = nullptr;
    QLabel *pending_label = nullptr;
    for (const TemplateItem &item : kTemplate) {
        const QString text = QString::fromLatin1(item.text);
        QWidget *w = nullptr;
        switch (item.kind) {
        case Kind::GroupBox:
            w = new QGroupBox(text, this);
            break;
        case Kind::RadioFirst:
            group = new QButtonGroup(this);
            group->setExclusive(true);
            if (item.id == IDC_ALIGN_LEFT)
                alignment_group_ = group;
            else if (item.id == IDC_ANDOR_BEGINNING)
                and_or_group_ = group;
            else
                case_group_ = group;
            [[fallthrough]];
        case Kind::Radio: {
            auto *radio = new QRadioButton(text, this);
            // The button's value is its position in the group.
            group->addButton(radio, int(group->buttons().size()));
            w = radio;
            break;
        }
        case Kind::CheckBox:
            w = new QCheckBox(text, this);
            break;
        case Kind::LabelRight:
            pending_label = new QLabel(text, this);
            pending_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            w = pending_label;
            break;
        case Kind::Edit:
            w = new CSelectAllEdit(this);
            if (pending_label)
                pending_label->setBuddy(w);
            pending_label = nullptr;
            break;
        case Kind::Logo:
            logo_ = new CLogoButton(text, this);
            logo_->setEnabled(false);
            w = logo_;
            break;
        case Kind::Button:
        case Kind::DefaultButton: {
            auto *button = new QPushButton(text, this);
            button->setDefault(item.kind == Kind::DefaultButton);
            w = button;
            break;
        }
        }
        QRect place = mapDialogRect(item.x, item.y, item.w, item.h);
        // The template's widths were made for a font whose capitals are
        // narrow; with a wider font "Newline after SELECT" would be cut off.
        // A radio button or check box grows to fit its text instead.
        if (item.kind == Kind::RadioFirst || item.kind == Kind::Radio || item.kind == Kind::CheckBox)
            place.setWidth(std::max(place.width(), w->sizeHint().width()));
        w->setGeometry(place);
        if (item.id != IDC_STATIC) {
            w->setObjectName(QString::fromLatin1(item.name));
            controls_.insert(item.id, w);
        }
    }
}

void CFormatOptionsDlg::wireControls()
{
    connect(qobject_cast<QPushButton *>(control(IDOK)), &QPushButton::clicked, this, &CFormatOptionsDlg::accept);
    connect(qobject_cast<QPushButton *>(control(IDC_OK_SAVE)), &QPushButton::clicked, this,
            &CFormatOptionsDlg::OnOkSave);
    connect(qobject_cast<QPushButton *>(control(IDC_DEFAULT)), &QPushButton::clicked, this,
            &CFormatOptionsDlg::OnDefault);
    connect(qobject_cast<QPushButton *>(control(IDCANCEL)), &QPushButton::clicked, this, &CFormatOptionsDlg::reject);

    // A check box shows a stored 2 as partly checked; once the user clicks
    // it, it is a plain two-state box again.
    for (int id : {IDC_MULTI_ITEM, IDC_NEWLINE_ON_SELECT, IDC_NEWLINE_AFTER_SELECT, IDC_MATCH_PARENTHESIS}) {
        auto *box = qobject_cast<QCheckBox *>(control(id));
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
}

// ---------------------------------------------------------------------------
// Exchange between the fields and the controls.

namespace {

QLineEdit *edit_of(const CFormatOptionsDlg *dlg, int id)
{
    return qobject_cast<QLineEdit *>(dlg->control(id));
}

QCheckBox *check_of(const CFormatOptionsDlg *dlg, int id)
{
    return qobject_cast<QCheckBox *>(dlg->control(id));
}

// Check box: 0 clear, 1 set, 2 partly set; any other value is first made 0.
void check_to_control(QCheckBox *box, int &value)
{
    if (value < 0 || value > 2)
        value = 0;
    box->setTristate(value == 2);
    box->setCheckState(value == 2 ? Qt::PartiallyChecked : value == 1 ? Qt::Checked : Qt::Unchecked);
}

int check_from_control(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// Radio group: the button at position `value` is selected, the others not; a
// value outside the group leaves none selected (an exclusive group refuses
// to uncheck its last button, hence the detour).
void radio_to_control(QButtonGroup *group, int value)
{
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(group->id(button) == value);
    group->setExclusive(true);
}

} // namespace

void CFormatOptionsDlg::fieldsToControls()
{
    // No range test this way: a value from the profile is shown as it is,
    // the unsigned boxes as unsigned numbers.
    edit_of(this, IDC_INDENTATION)->setText(QString::number(uint(starting_indentation)));
    edit_of(this, IDC_INTERVAL)->setText(QString::number(interval));
    radio_to_control(alignment_group_, alignment);
    check_to_control(check_of(this, IDC_MATCH_PARENTHESIS), match_parenthesis);
    check_to_control(check_of(this, IDC_MULTI_ITEM), multi_item);
    check_to_control(check_of(this, IDC_NEWLINE_AFTER_SELECT), newline_after_select);
    check_to_control(check_of(this, IDC_NEWLINE_ON_SELECT), newline_on_select);
    radio_to_control(case_group_, keyword_case);
    edit_of(this, IDC_WRAP_LENGTH)->setText(QString::number(uint(wrap_length)));
    radio_to_control(and_or_group_, and_or_position);
}

std::optional<CFormatOptionsDlg::ExchangeFailure> CFormatOptionsDlg::controlsToFields()
{
    // Fields are taken over one by one in this order and the first failure
    // stops: with Interval and Wrap length both wrong, only Interval's
    // message is shown.
    auto read_unsigned = [this](int id, int &field) -> std::optional<ExchangeFailure> {
        const std::optional<int64_t> v = read_decimal(edit_of(this, id)->text(), false);
        if (!v)
            return ExchangeFailure{id, QString::fromLatin1(kNotPositiveInteger)};
        field = int(uint32_t(*v));
        if (*v < kMinUnsigned || *v > kMaxUnsigned)
            return ExchangeFailure{id, range_message(kMinUnsigned, kMaxUnsigned)};
        return std::nullopt;
    };

    if (auto failure = read_unsigned(IDC_INDENTATION, starting_indentation))
        return failure;

    const std::optional<int64_t> v = read_decimal(edit_of(this, IDC_INTERVAL)->text(), true);
    if (!v)
        return ExchangeFailure{IDC_INTERVAL, QString::fromLatin1(kNotInteger)};
    interval = int(*v);
    if (*v < kMinInterval || *v > kMaxInterval)
        return ExchangeFailure{IDC_INTERVAL, range_message(kMinInterval, kMaxInterval)};

    alignment = alignment_group_->checkedId(); // -1 when none is selected
    match_parenthesis = check_from_control(check_of(this, IDC_MATCH_PARENTHESIS));
    multi_item = check_from_control(check_of(this, IDC_MULTI_ITEM));
    newline_after_select = check_from_control(check_of(this, IDC_NEWLINE_AFTER_SELECT));
    newline_on_select = check_from_control(check_of(this, IDC_NEWLINE_ON_SELECT));
    keyword_case = case_group_->checkedId();

    if (auto failure = read_unsigned(IDC_WRAP_LENGTH, wrap_length))
        return failure;

    and_or_position = and_or_group_->checkedId();
    return std::nullopt;
}

bool CFormatOptionsDlg::updateData(bool saveAndValidate)
{
    if (!saveAndValidate) {
        fieldsToControls();
        return true;
    }
    const std::optional<ExchangeFailure> failure = controlsToFields();
    if (!failure)
        return true;
    praxMessageBox(this, failure->message);
    QLineEdit *box = edit_of(this, failure->control_id);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return false;
}

bool CFormatOptionsDlg::commitFields()
{
    if (!updateData(true))
        return false;
    prax::FormatOptions &o = prax::format_options;
    o.starting_indentation = starting_indentation;
    o.interval = interval;
    o.alignment = alignment;
    o.match_parenthesis = match_parenthesis;
    o.multi_item = multi_item;
    o.newline_after_select = newline_after_select;
    o.newline_on_select = newline_on_select;
    o.keyword_case = keyword_case;
    o.wrap_length = wrap_length;
    o.and_or_position = and_or_position;
    return true;
}

// ---------------------------------------------------------------------------
// Buttons

void CFormatOptionsDlg::accept()
{
    if (commitFields())
        QDialog::accept();
}

bool saveOptionsToProfile(QWidget *parent, const QString &profilePath,
                          bool (*alsoWrite)(const std::string &path, std::string *error))
{
    // The record already holds the new values, as after OK; a failed write
    // is reported so that the user does not believe them saved.
    std::string error;
    const std::string path = QFile::encodeName(profilePath).toStdString();
    if (prax::save_format_options(path, prax::format_options, &error) == 0 && (!alsoWrite || alsoWrite(path, &error)))
        return true;
    praxMessageBox(parent, QStringLiteral("The formatting options could not be saved to %1:\n%2")
                               .arg(profilePath, QString::fromStdString(error)));
    return false;
}

void CFormatOptionsDlg::OnOkSave()
{
    if (!commitFields())
        return;
    saveOptionsToProfile(this, profile_path_);
    QDialog::accept();
}

void CFormatOptionsDlg::OnDefault()
{
    // The whole record, wrap_enabled and tab_width included, takes the
    // defaults at once; Cancel afterwards does not bring the old values back.
    prax::format_options = prax::default_format_options;
    copyFieldsFromRecord();
    updateData(false);
}
