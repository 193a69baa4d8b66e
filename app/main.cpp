// The prax editor: creates the Qt application and the application object,
// runs start-up and the event loop. Start-up failures end the process with
// status 1 (the reason has been shown, where there is one to show).
#include "app/praxapp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    CPraxApp app;
    // A process started by a container ends when it has nothing left to serve.
    QObject::connect(&app, &CPraxApp::exitRequested, &application, &QApplication::quit, Qt::QueuedConnection);
    if (!app.InitInstance(QApplication::arguments()))
        return 1;
    return application.exec();
}
