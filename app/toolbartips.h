// Names and tool tips of toolbar buttons, for screen readers and the pointer.
//
// A button's command text is its menu text, which carries a mnemonic and the
// key after a tab ("&Open...\tCtrl+O"): read aloud or shown as it is, the tab
// and the "&" come out literally. The button gets the bare name instead, and
// a tool tip with the key in parentheses: "Open (Ctrl+O)".
#pragma once

#include <QString>

class QAction;
class QToolBar;

// "&Open...\tCtrl+O" -> "Open"; "Beautify &N Copy" -> "Beautify N Copy".
QString commandName(const QString &menuText);

// "Open (Ctrl+O)", or the name alone for a command without a key.
QString commandToolTip(const QAction *action);

// Gives every button of `toolBar` its name, tool tip and description (the
// command's status-bar prompt).
void describeToolBarButtons(QToolBar *toolBar);
