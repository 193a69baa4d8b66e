// The prax editor: answers --help and --version (no window system needed),
// creates the Qt application and the application object, runs start-up and
// the event loop. Start-up failures end the process with status 1 (the reason
// has been shown, where there is one to show); a command line it does not
// understand ends it with status 2.
#include "app/praxapp.h"

#include "prax_version.h" // generated into the build tree

#include <QApplication>

#include <cstdio>

namespace {

// Prints what the command line asks for; returns the exit status, or -1 when
// the start goes on.
int answer(const PraxCommandLine &commandLine)
{
    switch (commandLine.action) {
    case PraxCommandLine::ShowHelp:
    case PraxCommandLine::ShowVersion:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
        return 0;
    case PraxCommandLine::Error:
        std::fprintf(stderr, "prax: %s\nTry 'prax --help' for more information.\n",
                     commandLine.text.toLocal8Bit().constData());
        return 2;
    case PraxCommandLine::Run:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt's own options (-platform offscreen, -style fusion) are unknown here;
    // they are judged again below, once QApplication has taken them out.
    const PraxCommandLine early = parsePraxCommandLine(arguments);
    if (early.action != PraxCommandLine::Error) {
        if (const int status = answer(early); status >= 0)
            return status;
    }

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(PRAX_APP_ID));
    if (const int status = answer(parsePraxCommandLine(QApplication::arguments())); status >= 0)
        return status;
    CPraxApp app;
    // A process started by a container ends when it has nothing left to serve.
    QObject::connect(&app, &CPraxApp::exitRequested, &application, &QApplication::quit, Qt::QueuedConnection);
    if (!app.InitInstance(QApplication::arguments()))
        return 1;
    return application.exec();
}
