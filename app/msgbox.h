// Message boxes of the editor: every one has an OK button, the exclamation
// (warning) icon and the application title as its caption.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

inline const char kAppTitle[] = "Prax";

// Shows `text` modally. Under automated tests (see setMessageBoxRecorder) the
// text is recorded instead and no box is shown.
void praxMessageBox(QWidget *parent, const QString &text);

// Test support: when set, message boxes are not shown; their texts are passed
// to the recorder instead. Pass nullptr to show boxes again.
using MessageBoxRecorder = void (*)(const QString &text);
void setMessageBoxRecorder(MessageBoxRecorder recorder);

// While one lives, message boxes are not shown: their texts are collected
// here (innermost capture first). For work done on behalf of another program,
// which must get an answer, never a modal box in a window nobody looks at.
class MessageBoxCapture
{
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture &) = delete;
    MessageBoxCapture &operator=(const MessageBoxCapture &) = delete;

    QStringList texts() const { return m_texts; }

private:
    friend void praxMessageBox(QWidget *parent, const QString &text);
    MessageBoxCapture *m_outer;
    QStringList m_texts;
};
