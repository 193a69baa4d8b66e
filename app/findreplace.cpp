// Find and Replace; see findreplace.h.
#include "app/findreplace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

#include "app/msgbox.h"

ByteClasses ByteClasses::defaults()
{
    ByteClasses classes;
    for (int c = 0; c < 256; ++c) {
        unsigned char kind = Punctuation;
        if (c == '\r' || c == '\n')
            kind = Newline;
        else if (c <= ' ')
            kind = Space;
        else if (c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            kind = Word;
        classes.of[static_cast<size_t>(c)] = kind;
    }
    return classes;
}

namespace {

unsigned char foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

QByteArray foldedCopy(const QByteArray &bytes)
{
    QByteArray folded(bytes.size(), Qt::Uninitialized);
    std::transform(bytes.cbegin(), bytes.cend(), folded.begin(),
                   [](char c) { return static_cast<char>(foldAscii(static_cast<unsigned char>(c))); });
    return folded;
}

// A match [from, to) is a whole word when the byte class changes at both of
// its ends and its end bytes are word or punctuation bytes: "id" matches in
// "id = 1" and "(id)", not in "x_id"; "." matches in "t.id".
bool isWholeWord(std::string_view text, size_t from, size_t to, const ByteClasses &classes)
{
    const auto cls = [&](size_t i) { return classes.of[static_cast<unsigned char>(text[i])]; };
    const auto wordish = [](unsigned char c) { return c == ByteClasses::Word || c == ByteClasses::Punctuation; };
    if (from > 0 && (!wordish(cls(from)) || cls(from) == cls(from - 1)))
        return false;
    if (to < text.size() && (!wordish(cls(to - 1)) || cls(to - 1) == cls(to)))
        return false;
    return true;
}

} // namespace

ReplaceAllResult replaceAllBytes(const QByteArray &text, const QByteArray &what, const QByteArray &with,
                                 bool matchCase, bool wholeWord, const ByteClasses &classes)
{
    ReplaceAllResult result;
    if (what.isEmpty() || what.size() > text.size())
        return result;
    // Without case, search a folded copy: positions are the same in both.
    const QByteArray haystackBytes = matchCase ? text : foldedCopy(text);
    const QByteArray needleBytes = matchCase ? what : foldedCopy(what);
    const std::string_view haystack(haystackBytes.constData(), static_cast<size_t>(haystackBytes.size()));
    const std::string_view needle(needleBytes.constData(), static_cast<size_t>(needleBytes.size()));
    const std::string_view original(text.constData(), static_cast<size_t>(text.size()));
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());

    size_t copied = 0; // bytes of the text up to here are in result.replaced
    for (size_t from = 0; from + needle.size() <= haystack.size();) {
        const auto hit = std::search(haystack.begin() + static_cast<std::ptrdiff_t>(from), haystack.end(), searcher);
        if (hit == haystack.end())
            break;
        const size_t at = static_cast<size_t>(hit - haystack.begin());
        const size_t end = at + needle.size();
        if (wholeWord && !isWholeWord(original, at, end, classes)) {
            from = at + 1;
            continue;
        }
        if (result.count++ == 0)
            result.begin = copied = at;
        result.replaced.append(original.data() + copied, static_cast<qsizetype>(at - copied));
        result.replaced.append(with);
        copied = from = end;
    }
    result.end = result.count ? static_cast<qsizetype>(copied) : result.begin;
    return result;
}

CFindReplaceDlg::CFindReplaceDlg(CPraxView *view, bool withReplace, const CPraxView::SearchState &last)
    : QDialog(view), m_view(view)
{
    setWindowTitle(withReplace ? tr("Replace") : tr("Find"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_what = new QLineEdit(last.text, this);
    m_what->setObjectName(QStringLiteral("findWhat"));
    if (withReplace) {
        m_with = new QLineEdit(this);
        m_with->setObjectName(QStringLiteral("replaceWith"));
    }
    m_wholeWord = new QCheckBox(tr("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWord->setChecked(last.wholeWord);
    m_matchCase->setChecked(last.matchCase);
    if (!withReplace) {
        m_up = new QRadioButton(tr("&Up"), this);
        m_down = new QRadioButton(tr("&Down"), this);
    }
    auto *findNext = new QPushButton(tr("&Find Next"), this);
    auto *replace = withReplace ? new QPushButton(tr("&Replace"), this) : nullptr;
    auto *replaceAll = withReplace ? new QPushButton(tr("Replace &All"), this) : nullptr;
    if (replaceAll)
        replaceAll->setObjectName(QStringLiteral("replaceAll"));
    auto *cancel = new QPushButton(tr("Cancel"), this);

    auto *form = new QFormLayout;
    form->addRow(tr("Fi&nd what:"), m_what);
    if (m_with)
        form->addRow(tr("Re&place with:"), m_with);
    auto *options = new QVBoxLayout;
    options->addLayout(form);
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    if (m_up) {
        auto *direction = new QHBoxLayout;
        direction->addWidget(m_up);
        direction->addWidget(m_down);
        (last.forward ? m_down : m_up)->setChecked(true);
        options->addLayout(direction);
    }
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(findNext);
    if (replace) {
        buttons->addWidget(replace);
        buttons->addWidget(replaceAll);
    }
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *top = new QHBoxLayout(this);
    top->addLayout(options);
    top->addLayout(buttons);

    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, [this] { report(m_view->findNext(state())); });
    if (replace) {
        connect(replace, &QPushButton::clicked, this,
                [this] { report(m_view->replaceNext(state(), m_with->text())); });
        // A text that would grow past the size limit says so itself (-1).
        connect(replaceAll, &QPushButton::clicked, this, [this] {
            const int count = m_view->replaceAll(state(), m_with->text());
            if (count >= 0)
                report(count > 0);
        });
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

CPraxView::SearchState CFindReplaceDlg::state() const
{
    CPraxView::SearchState s;
    s.text = m_what->text();
    s.matchCase = m_matchCase->isChecked();
    s.wholeWord = m_wholeWord->isChecked();
    s.forward = !m_up || !m_up->isChecked();
    s.valid = !s.text.isEmpty();
    return s;
}

void CFindReplaceDlg::report(bool found)
{
    if (!found)
        praxMessageBox(this, tr("Cannot find the string \"%1\".").arg(m_what->text()));
}
