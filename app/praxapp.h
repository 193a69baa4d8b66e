// The application object: start-up in a fixed order (embedding support,
// dialog colours, recent-file list, document template, main frame, first
// document, showing the window, formatting options), the application-level
// commands (New, Open, Print Setup, recent files, Exit, About) and the
// process-wide profile path and printer.
//
// CPraxApp is not the QApplication: main() (or a test) creates the
// QApplication first and then one CPraxApp, so tests can run start-up
// repeatedly under QTest's own QApplication.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class CMainFrame;
class CPraxDoc;
class CDocTemplate;

// The profile file the editor reads and writes ("Formatting Options",
// "Recent File List", "Settings"): prax::default_profile_path() unless set.
QString praxProfilePath();
// Points the editor at another profile (tests, a second configuration).
void setPraxProfilePath(const QString &path);

// What the command line asks of a start: `prax [FILE...]`, `prax --help`,
// `prax --version`, or an embedding start ("-Embedding", "/Automation"),
// whose other words are left alone as before.
struct PraxCommandLine {
    enum Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Run;
    QStringList files; // Run: opened one document window each, in this order
    QString text;      // ShowHelp, ShowVersion: what to print; Error: the reason
};
// `arguments[0]` is the program. Needs no QCoreApplication, so main() can
// answer --help and --version before any window system is touched.
PraxCommandLine parsePraxCommandLine(const QStringList &arguments);


class CPraxApp : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRecentFileCount = 4;
    static constexpr const char *kRecentSection = "Recent File List";
    // "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version."
    static const char *const kEmbeddingInitFailed;

    CPraxApp(QObject *parent = nullptr);
    ~CPraxApp() override;

    // The one application object; nullptr before construction or after destruction.
    static CPraxApp *instance();

    // Runs start-up with the program's arguments (arguments[0] is the program).
    // Returns false when start-up fails; the caller then ends the process.
    bool InitInstance(const QStringList &arguments);

    CMainFrame *mainFrame() const;
    CDocTemplate *docTemplate() const;
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

    static CPraxApp *s_instance;
    QPointer<CMainFrame> m_mainFrame;
    CDocTemplate *m_docTemplate = nullptr;
    QStringList m_recentFiles;
    bool m_embeddingLaunch = false;
};
