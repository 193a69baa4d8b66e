// The embedding layer's first version; see embedding.h.
#include "app/embedding.h"

bool initEmbeddingSupport()
{
    return true;
}

void connectTemplateServer(CDocTemplate *)
{
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

void updateServerRegistration()
{
}
