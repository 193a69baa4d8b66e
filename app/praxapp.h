// The application object: start-up in a fixed order (embedding support,
// dialog colours, recent-file list, embedding server, main frame, first
// document, showing the window, formatting options), the application-level
// commands (New, Open, Print Setup, recent files, Exit, About), and the wiring
// of the windows: the main frame, the document windows and the embedding
// server know nothing of this object; it connects to their signals.
//
// CPraxApp is not the QApplication: main() (or a test) creates the
// QApplication first and then one CPraxApp, so tests can run start-up
// repeatedly under QTest's own QApplication.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/commandids.h"

#include "app/profilepath.h"

class CEmbedServer;
class CMainFrame;
class CPraxDoc;

// What the command line asks of a start: `prax [FILE...]`, `prax --help`,
// `prax --version`, or an embedding start ("-Embedding", "/Automation"),
// whose other words are left alone as before.
struct PraxCommandLine {
    enum Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Run;
    QStringList files; // Run: opened one document window each, in this order
    QString text;      // ShowHelp, ShowVersion: what to print; Error: the reason
    QStringList unknownOptions; // Error: the options not understood, without dashes

    // True when every option not understood is one of Qt's own (-platform,
    // -style, ...), which QApplication takes out of the arguments.
    bool onlyQtOptionsUnknown() const;
};
// `arguments[0]` is the program. Needs no QCoreApplication, so main() can
// answer --help and --version before any window system is touched.
PraxCommandLine parsePraxCommandLine(const QStringList &arguments);


class CPraxApp : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRecentFileCount = ::kRecentFileCount;
    static constexpr const char *kRecentSection = "Recent File List";
    // "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version."
    static const char *const kEmbeddingInitFailed;

    CPraxApp(QObject *parent = nullptr);
    ~CPraxApp() override;

    // Runs start-up with the program's arguments (arguments[0] is the program).
    // Returns false when start-up fails; the caller then ends the process.
    bool InitInstance(const QStringList &arguments);

    CMainFrame *mainFrame() const;
    // True when start-up found an "Embedding" or "Automation" switch.
    bool embeddingLaunch() const { return m_embeddingLaunch; }

    // Opens `path` in a new document window, or activates the window that
    // already shows it. Returns the document, or nullptr when it failed (the
    // document has shown why).
    CPraxDoc *OpenDocumentFile(const QString &path);

    // The recent-file list, most recent first, at most kRecentFileCount entries.
    QStringList recentFiles() const { return m_recentFiles; }
    // Puts `path` at the top of the list and writes the list to the profile.
    void addToRecentFileList(const QString &path);
    void removeFromRecentFileList(const QString &path);

public slots:
    // Runs the application command `id` (a PRAX_APP_COMMANDS id); false for any other.
    bool runCommand(int id);

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnAppAbout();
    // Opens entry `index` (0-based) of the recent-file list; an entry that no
    // longer opens is dropped from the list.
    void OnOpenRecentFile(int index);
    // A process started by a container has nothing left to serve: asks the
    // owner of the event loop (main) to end it.
    void requestExit();

signals:
    void recentFilesChanged();
    void exitRequested();

private:
    void loadRecentFileList();
    void saveRecentFileList() const;
    // Puts `doc` (taken over) into a new document window of the main frame.
    void openWindow(CPraxDoc *doc);

    QPointer<CMainFrame> m_mainFrame;
    CEmbedServer *m_server = nullptr;
    QStringList m_recentFiles;
    bool m_embeddingLaunch = false;
};
