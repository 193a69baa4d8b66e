// Message boxes of the editor: every one has an OK button, the exclamation
// (warning) icon and the application title as its caption.
#pragma once

#include <QString>

class QWidget;

inline const char kAppTitle[] = "Prax";

// Shows `text` modally. Under automated tests (see setMessageBoxRecorder) the
// text is recorded instead and no box is shown.
void praxMessageBox(QWidget *parent, const QString &text);

// Test support: when set, message boxes are not shown; their texts are passed
// to the recorder instead. Pass nullptr to show boxes again.
using MessageBoxRecorder = void (*)(const QString &text);
void setMessageBoxRecorder(MessageBoxRecorder recorder);
