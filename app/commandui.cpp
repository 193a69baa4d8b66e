// Widgets made from the command table; see commandui.h.
#include "app/commandui.h"

#include "app/paletteicon.h"

#include <QAction>
#include <QMainWindow>
#include <QIcon>
#include <QToolBar>

QAction *createCommandAction(int id, const QString &text, QWidget *owner, std::function<void(int)> run)
{
    auto *action = new QAction(text, owner);
    action->setData(id);
    if (const CommandEntry *entry = findCommand(id); entry && entry->prompt) {
        action->setStatusTip(QString::fromLatin1(entry->prompt));
        action->setWhatsThis(QString::fromLatin1(entry->prompt));
    }
    QObject::connect(action, &QAction::triggered, owner, [run = std::move(run), id] { run(id); });
    owner->addAction(action);
    return action;
}

QString commandText(const CommandEntry &entry, MenuVariant variant)
{
    if (const char *own = entry.menu_text[int(variant)])
        return QString::fromLatin1(own);
    for (const char *text : entry.menu_text) {
        if (text)
            return QString::fromLatin1(text);
    }
    return QString::fromLatin1(entry.name);
}

QHash<int, QList<QKeySequence>> commandKeys(MenuVariant variant)
{
    QHash<int, QList<QKeySequence>> keys;
    for (const Accelerator &a : acceleratorTable(variant))
        keys[a.id] << QKeySequence(QString::fromLatin1(a.key), QKeySequence::PortableText);
    return keys;
}

QToolBar *createCommandToolBar(QMainWindow *host, const std::vector<int> &layout,
                               const std::function<QAction *(int)> &actionFor)
{
    if (!host)
        return nullptr;
    // Every icon first: a toolbar with blank buttons is not made at all.
    QList<QIcon> icons;
    for (int id : layout) {
        if (id == kSeparator)
            continue;
        icons << paletteSvgIcon(commandIconPath(id));
        if (icons.last().isNull())
            return nullptr;
    }
    auto *toolBar = new QToolBar(QStringLiteral("Toolbar"), host);
    toolBar->setObjectName(QStringLiteral("AFX_IDW_TOOLBAR"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    host->addToolBar(Qt::TopToolBarArea, toolBar);
    qsizetype image = 0;
    for (int id : layout) {
        if (id == kSeparator) {
            toolBar->addSeparator();
            continue;
        }
        QAction *action = actionFor(id);
        action->setIcon(icons.at(image++));
        action->setIconVisibleInMenu(false);
        toolBar->addAction(action);
    }
    return toolBar;
}
