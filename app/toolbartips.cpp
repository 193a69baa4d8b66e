// Names and tool tips of toolbar buttons; see toolbartips.h.
#include "app/toolbartips.h"

#include <QAction>
#include <QKeySequence>
#include <QToolBar>
#include <QWidget>

QString commandName(const QString &menuText)
{
    QString name = menuText.section(QLatin1Char('\t'), 0, 0);
    name.replace(QLatin1String("&&"), QStringLiteral("\x01")); // a literal "&" stays
    name.remove(QLatin1Char('&'));
    name.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    if (name.endsWith(QLatin1String("...")))
        name.chop(3);
    return name.trimmed();
}

QString commandToolTip(const QAction *action)
{
    const QString name = commandName(action->text());
    QString key = action->shortcut().toString(QKeySequence::NativeText);
    if (key.isEmpty())
        key = action->text().section(QLatin1Char('\t'), 1, 1).trimmed();
    return key.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, key);
}

void describeToolBarButtons(QToolBar *toolBar)
{
    for (QAction *action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        action->setToolTip(commandToolTip(action));
        if (QWidget *button = toolBar->widgetForAction(action)) {
            button->setAccessibleName(commandName(action->text()));
            button->setAccessibleDescription(action->statusTip());
        }
    }
}
