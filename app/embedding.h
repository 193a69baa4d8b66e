// The editor's embedding layer: the steps of start-up that concern embedding
// documents in other applications. This is the thin first version: support
// always initialises, and registration has nothing to write yet; the command
// line test for an embedding or automation launch is complete.
#pragma once

#include <QStringList>

class CDocTemplate;

// Initialises the embedding support; false makes start-up fail.
bool initEmbeddingSupport();

// Connects the document template to the embedding server.
void connectTemplateServer(CDocTemplate *docTemplate);

// True when one argument after the program name is "Embedding" or
// "Automation" (any case) directly after a "/" or "-": the launch switches a
// container uses. "--Embedding" or "-Embedding2" are not switches.
bool isEmbeddingLaunch(const QStringList &arguments);

// Writes the server's registration afresh (a start by the user).
void updateServerRegistration();
