// Find and Replace: the small modeless dialog a view opens for Find and
// Replace, and Replace All as one pass over the text's bytes.
//
// Replace All must not go through the editor match by match: every
// replacement in a long line makes the editor re-measure that line, so 3,000
// replacements on one 1 MB line took close to a minute. It works on a copy of
// the bytes instead and hands the view one splice (one Undo step).
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <array>

#include "app/praxview.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// Classes of the bytes for "whole word" matching, as the editor classifies
// them (word characters, blanks, line ends, punctuation).
struct ByteClasses {
    enum Class : unsigned char { Space, Newline, Word, Punctuation };
    std::array<unsigned char, 256> of{};
    // The editor's default: letters, digits, "_" and bytes 128-255 are word
    // characters; CR and LF line ends; other control bytes and blank white space.
    static ByteClasses defaults();
};

// The result of a Replace All over `text`: the bytes [begin, end) of the text
// are to be replaced by `replaced`, which holds every replacement (and the
// unchanged bytes between them). No match: count 0, begin == end, nothing to do.
struct ReplaceAllResult {
    int count = 0;
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray replaced;
};

// Finds the matches of `what` in `text` from the start, left to right, none
// overlapping another, and replaces each by `with`. Without `matchCase` ASCII
// letters match either case (other bytes match exactly). With `wholeWord` a
// match must start and end at a change of byte class, as the editor's own
// search decides it: "id" matches in "id = x_id" once (at the start).
ReplaceAllResult replaceAllBytes(const QByteArray &text, const QByteArray &what, const QByteArray &with,
                                 bool matchCase, bool wholeWord, const ByteClasses &classes);

// The Find dialog (what, whole word, case, direction) or the Replace dialog
// (what, with, whole word, case). "Find Next" searches from the caret; the
// replace buttons act on the view's text. Deletes itself when closed.
class CFindReplaceDlg : public QDialog
{
    Q_OBJECT

public:
    CFindReplaceDlg(CPraxView *view, bool withReplace, const CPraxView::SearchState &last);

private:
    CPraxView::SearchState state() const;
    void report(bool found);

    CPraxView *m_view;
    QLineEdit *m_what;
    QLineEdit *m_with = nullptr;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
};
