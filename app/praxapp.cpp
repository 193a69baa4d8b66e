// The application object; see praxapp.h.
#include "app/praxapp.h"

#include "app/aboutdlg.h"
#include "app/childframe.h"
#include "app/editorsettings.h"
#include "app/embedding.h"
#include "app/embedserver.h"
#include "app/mainframe.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"

#include "engine/options.h"
#include "engine/profile.h"

#include "prax_version.h" // generated into the build tree

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <Qsci/qsciprinter.h>

#include <memory>

namespace {

std::string localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// An installed prax finds its D-Bus service file at its own place
// (/usr/bin/prax: /usr/share/dbus-1/services/Prax.Document.service); the
// bus reads that one, so no per-user copy is needed.
bool installedServiceFilePresent()
{
#ifdef PRAX_INSTALLED_SERVICE_FILE
    return QFileInfo::exists(QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(PRAX_INSTALLED_SERVICE_FILE));
#else
    return false;
#endif
}

} // namespace

PraxCommandLine parsePraxCommandLine(const QStringList &arguments)
{
    PraxCommandLine result;
    // "-Embedding" would read as the short options -E -m -b ... to the parser.
    if (isEmbeddingLaunch(arguments))
        return result;
    QCommandLineParser parser;
    // "-platform offscreen" is one option to Qt, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Prax: SQL editor and beautifier for scripts and embedded SQL."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Files to open, each in its own window."),
                                 QStringLiteral("[FILE...]"));
    if (!parser.parse(arguments)) {
        result.action = PraxCommandLine::Error;
        result.text = parser.errorText();
        result.unknownOptions = parser.unknownOptionNames();
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = PraxCommandLine::ShowHelp;
        // Without a QCoreApplication yet, Qt cannot name the program itself.
        result.text = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("prax"));
    } else if (parser.isSet(version)) {
        result.action = PraxCommandLine::ShowVersion;
        result.text = QStringLiteral("prax " PRAX_VERSION "\n" PRAX_LICENSE_LINE "\n");
    } else {
        result.files = parser.positionalArguments();
    }
    return result;
}

bool PraxCommandLine::onlyQtOptionsUnknown() const
{
    static const QStringList qtOptions{
        "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
        "qwindowtitle", "qwindowicon", "reverse", "session", "style", "stylesheet", "widgetcount", "display",
        "geometry", "title", "name", "visual", "ncols", "cmap", "nograb", "dograb", "sync", "fn", "font", "bg",
        "background", "fg", "foreground", "btn", "button", "im", "inputstyle"};
    if (action != Error || unknownOptions.isEmpty())
        return false;
    for (const QString &name : unknownOptions) {
        if (!qtOptions.contains(name))
            return false;
    }
    return true;
}

const char *const CPraxApp::kEmbeddingInitFailed =
    "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version.";

CPraxApp::CPraxApp(QObject *parent)
    : QObject(parent)
{
}

CPraxApp::~CPraxApp()
{
    delete m_mainFrame; // closes its document windows with it
}

CMainFrame *CPraxApp::mainFrame() const
{
    return m_mainFrame;
}

bool CPraxApp::runCommand(int id)
{
#define PRAX_APP_HANDLER(cid, value, handler, remote) {cid, &CPraxApp::handler},
    static constexpr CommandHandler<CPraxApp> kHandlers[] = {PRAX_APP_COMMANDS(PRAX_APP_HANDLER)};
#undef PRAX_APP_HANDLER
    return runOwnCommand(this, kHandlers, id);
}

bool CPraxApp::InitInstance(const QStringList &arguments)
{
    // 1. Embedding support.
    if (!initEmbeddingSupport()) {
        praxMessageBox(nullptr, QString::fromLatin1(kEmbeddingInitFailed));
        return false;
    }

    // 2. Dialogs (message boxes included) keep the desktop's colours: a
    // palette of their own would put light grey boxes on a dark desktop.

    // 3. The recent-file list.
    loadRecentFileList();

    // 4. The embedding server, which makes its documents as File New does.
    m_server = connectTemplateServer(this);

    // 5 and 6. The main window, wired to this object and to the server.
    auto *frame = new CMainFrame;
    if (!frame->LoadFrame()) {
        delete frame;
        return false;
    }
    m_mainFrame = frame;
    connect(frame, &CMainFrame::appCommandRequested, this, &CPraxApp::runCommand);
    connect(frame, &CMainFrame::recentFileRequested, this, &CPraxApp::OnOpenRecentFile);
    connect(frame, &CMainFrame::documentSaved, this, &CPraxApp::addToRecentFileList);
    connect(frame, &CMainFrame::filesDropped, this, [this](const QStringList &paths) {
        // Each file in its own window, as from the command line; one that
        // does not open says why and the others still open.
        for (const QString &path : paths)
            OpenDocumentFile(path);
    });
    connect(this, &CPraxApp::recentFilesChanged, frame, [this] { m_mainFrame->setRecentFiles(m_recentFiles); });
    frame->setRecentFiles(m_recentFiles);
    frame->updateActions();
    m_server->setMainFrame(frame);
    connect(m_server, &CEmbedServer::appCommandRequested, this, &CPraxApp::runCommand);

    // 7. A container started us: the window stays hidden until the embedding
    // layer shows it, and the options keep their built-in values. The process
    // ends when the embedding layer has nothing left to serve, not when its
    // last window closes.
    m_embeddingLaunch = isEmbeddingLaunch(arguments);
    if (m_embeddingLaunch) {
        QApplication::setQuitOnLastWindowClosed(false);
        startEmbeddingServer(m_server, this, [this] { requestExit(); });
        return true;
    }

    // 8. The files named on the command line, each in its own window (one
    // that does not open says why and the others still open); without any,
    // or when none of them opened, one new, empty document.
    if (!installedServiceFilePresent())
        updateServerRegistration();
    const PraxCommandLine commandLine = parsePraxCommandLine(arguments);
    bool opened = false;
    for (const QString &file : commandLine.files)
        opened = OpenDocumentFile(file) || opened;
    if (!opened)
        OnFileNew();

    // 9. Show the window and paint it now.
    frame->show();
    frame->repaint();

    // 10. The formatting options of the profile.
    prax::load_format_options(praxProfileFile());
    loadEditorSettings(praxProfileFile());
    return true;
}

void CPraxApp::loadRecentFileList()
{
    m_recentFiles.clear();
    prax::IniProfile profile;
    profile.load(praxProfileFile());
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const auto value = profile.get_string(kRecentSection, "File" + std::to_string(i));
        if (value && !value->empty())
            m_recentFiles << QFile::decodeName(QByteArray::fromStdString(*value));
    }
}

void CPraxApp::saveRecentFileList() const
{
    // Read the profile afresh so that the other sections (options, settings)
    // written meanwhile are kept as they are.
    const std::string path = praxProfileFile();
    prax::IniProfile profile;
    if (!profile.load(path))
        return;
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::string key = "File" + std::to_string(i + 1);
        if (i < m_recentFiles.size())
            profile.set_string(kRecentSection, key, localPath(m_recentFiles.at(i)));
        else
            profile.remove_key(kRecentSection, key);
    }
    std::string error;
    if (!profile.save(path, &error))
        qWarning("prax: recent-file list not saved: %s", error.c_str());
}

void CPraxApp::addToRecentFileList(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    saveRecentFileList();
    emit recentFilesChanged();
}

void CPraxApp::removeFromRecentFileList(const QString &path)
{
    if (m_recentFiles.removeAll(QFileInfo(path).absoluteFilePath()) == 0)
        return;
    saveRecentFileList();
    emit recentFilesChanged();
}

CPraxDoc *CPraxApp::OpenDocumentFile(const QString &path)
{
    if (!m_mainFrame || path.isEmpty())
        return nullptr;
    // A file already open is shown, not read a second time.
    const QFileInfo wanted(path);
    for (CChildFrame *child : m_mainFrame->childFrames()) {
        const QString open = child->document()->path();
        if (!open.isEmpty() && QFileInfo(open) == wanted) {
            m_mainFrame->mdiArea()->setActiveSubWindow(child);
            return child->document();
        }
    }
    // The text is read before a window exists, so a file that does not open
    // leaves no empty window behind; the view takes the text when it attaches.
    auto *doc = new CPraxDoc;
    if (!doc->openDocument(path)) {
        delete doc;
        return nullptr;
    }
    openWindow(doc);
    addToRecentFileList(doc->path());
    return doc;
}

void CPraxApp::openWindow(CPraxDoc *doc)
{
    m_mainFrame->addChildFrame(new CChildFrame(doc));
}

void CPraxApp::OnFileNew()
{
    if (!m_mainFrame)
        return;
    auto *doc = new CPraxDoc;
    if (!doc->OnNewDocument()) {
        delete doc;
        return;
    }
    openWindow(doc);
}

void CPraxApp::OnFileOpen()
{
    const QString path = DocumentPrompts::getOpenFileName(m_mainFrame);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CPraxApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&praxPrinter(), m_mainFrame);
    dialog.exec();
}

void CPraxApp::OnAppExit()
{
    if (m_mainFrame)
        m_mainFrame->close();
}

void CPraxApp::OnAppAbout()
{
    CAboutDlg dialog(m_mainFrame);
    dialog.exec();
}

void CPraxApp::requestExit()
{
    emit exitRequested();
}

void CPraxApp::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.size())
        return;
    const QString path = m_recentFiles.at(index);
    // An entry that no longer opens leaves the list.
    if (!OpenDocumentFile(path))
        removeFromRecentFileList(path);
}
