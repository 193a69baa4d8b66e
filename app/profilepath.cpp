// The editor's profile path; see profilepath.h.
#include "app/profilepath.h"

#include "engine/options.h"

#include <QFile>

namespace {
QString g_profilePath;
} // namespace

QString praxProfilePath()
{
    if (g_profilePath.isEmpty())
        g_profilePath = QFile::decodeName(QByteArray::fromStdString(prax::default_profile_path()));
    return g_profilePath;
}

std::string praxProfileFile()
{
    return QFile::encodeName(praxProfilePath()).toStdString();
}

void setPraxProfilePath(const QString &path)
{
    g_profilePath = path;
}
