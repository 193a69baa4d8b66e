// The embedding layer; see embedding.h.
#include "app/embedding.h"

#include "app/praxapp.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#ifdef PRAX_HAVE_EMBED
#include "app/embedserver.h"
#endif

bool initEmbeddingSupport()
{
    return true;
}

void connectTemplateServer(CDocTemplate *)
{
#ifdef PRAX_HAVE_EMBED
    // Documents are made by the server itself; the template is the same one
    // the user's File New uses.
    auto *server = new CEmbedServer(CPraxApp::instance());
    server->RegisterAll();
#endif
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

void startEmbeddingServer(CPraxApp *app)
{
    QPointer<CPraxApp> owner(app);
    auto exit = [owner] {
        if (owner)
            owner->requestExit();
    };
#ifdef PRAX_HAVE_EMBED
    CEmbedServer *server = CEmbedServer::instance();
    if (server && server->isRegistered()) {
        server->beginServerLaunch(exit);
        return;
    }
#endif
    // Nobody can reach this process: it would wait hidden for ever.
    QTimer::singleShot(0, app, exit);
}

void updateServerRegistration()
{
#ifdef PRAX_HAVE_EMBED
    ServerRegistration::writeServiceFile(QCoreApplication::applicationFilePath());
#endif
}
