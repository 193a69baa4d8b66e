// The editor's embedding layer: the steps of start-up that concern embedding
// documents in other programs over the session D-Bus (embedserver.h). With no
// session bus, or with another process serving already, the editor starts and
// works as usual: embedding is simply not offered, and nothing is shown.
#pragma once

#include <QStringList>

#include <functional>

class CEmbedServer;
class QObject;

// Initialises the embedding support; false makes start-up fail. The bus is
// not needed to start, so this cannot fail.
bool initEmbeddingSupport();

// Creates the embedding server, owned by `owner`, and offers it on the
// session bus as the single server of "Prax.Document".
CEmbedServer *connectTemplateServer(QObject *owner);

// True when one argument after the program name is "Embedding" or
// "Automation" (any case) directly after a "/" or "-": the launch switches a
// container uses. "--Embedding" or "-Embedding2" are not switches.
bool isEmbeddingLaunch(const QStringList &arguments);

// A container started the process: serve until nothing is embedded any more
// and no window of the user's is open, then call `exit`. A process that
// cannot serve (no bus, name taken) calls it at once (from the event loop,
// with `owner` as context).
void startEmbeddingServer(CEmbedServer *server, QObject *owner, std::function<void()> exit);

// Writes the server's registration afresh (a start by the user): the bus's
// service file that starts this executable with "-Embedding".
void updateServerRegistration();
