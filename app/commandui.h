// Widgets made from the command table, for the main frame and the in-place
// frame alike: one QAction per command (menu text, prompt, the command's id in
// QAction::data()), the key table of a menu variant, and a toolbar whose
// buttons show the commands' icons.
#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

#include "app/commands.h"

class QAction;
class QMainWindow;
class QToolBar;
class QWidget;

// An action for command `id` showing `text`, with the command's prompt as
// status tip and What's This text; triggering it calls run(id). The action is
// added to `owner`, so its keys work anywhere in that window.
QAction *createCommandAction(int id, const QString &text, QWidget *owner, std::function<void(int)> run);

// The menu text of `entry` in `variant`, or else its first text in any
// variant, or else its name.
QString commandText(const CommandEntry &entry, MenuVariant variant);

// The keys of each command in the key table of `variant`.
QHash<int, QList<QKeySequence>> commandKeys(MenuVariant variant);

// A fixed toolbar at the top of `host` with the commands of `layout` (0 is a
// separator), each button showing its command's icon (paletteicon.h).
// nullptr, and nothing added, when a command of `layout` has no icon.
QToolBar *createCommandToolBar(QMainWindow *host, const std::vector<int> &layout,
                               const std::function<QAction *(int)> &actionFor);
