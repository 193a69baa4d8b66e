// The embedding layer; see embedding.h.
#include "app/embedding.h"

#include "app/embedserver.h"

#include <QCoreApplication>
#include <QTimer>

bool initEmbeddingSupport()
{
    return true;
}

CEmbedServer *connectTemplateServer(QObject *owner)
{
    // Documents are made by the server itself, as the user's File New makes them.
    auto *server = new CEmbedServer(owner);
    server->RegisterAll();
    return server;
}

bool isEmbeddingLaunch(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg.size() < 2 || (arg.front() != u'/' && arg.front() != u'-'))
            continue;
        const QString word = arg.mid(1);
        if (word.compare(u"Embedding", Qt::CaseInsensitive) == 0
            || word.compare(u"Automation", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void startEmbeddingServer(CEmbedServer *server, QObject *owner, std::function<void()> exit)
{
    if (server)
        server->setContainerLaunch(true);
    if (server && server->isRegistered()) {
        server->beginServerLaunch(std::move(exit));
        return;
    }
    // Nobody can reach this process: it would wait hidden for ever.
    QTimer::singleShot(0, owner, std::move(exit));
}

void updateServerRegistration()
{
    ServerRegistration::writeServiceFile(QCoreApplication::applicationFilePath());
}
