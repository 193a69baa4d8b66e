// The application object; see praxapp.h.
#include "app/praxapp.h"

#include "app/aboutdlg.h"
#include "app/childframe.h"
#include "app/embedding.h"
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
#include <QPalette>
#include <Qsci/qsciprinter.h>

#include <memory>

namespace {

QString g_profilePath;

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

QString praxProfilePath()
{
    if (g_profilePath.isEmpty())
        g_profilePath = QFile::decodeName(QByteArray::fromStdString(prax::default_profile_path()));
    return g_profilePath;
}

void setPraxProfilePath(const QString &path)
{
    g_profilePath = path;
}

PraxCommandLine parsePraxCommandLine(const QStringList &arguments)
{
    PraxCommandLine result;
    // "-Embedding" would read as the short options -E -m -b ... to the parser.
    if (isEmbeddingLaunch(arguments))
        return result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prax: SQL editor and beautifier for scripts and embedded SQL."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Files to open, each in its own window."),
                                 QStringLiteral("[FILE...]"));
    if (!parser.parse(arguments)) {
        result.action = PraxCommandLine::Error;
        result.text = parser.errorText();
    } else if (parser.isSet(help)) {
        result.action = PraxCommandLine::ShowHelp;
        result.text = parser.helpText();
    } else if (parser.isSet(version)) {
        result.action = PraxCommandLine::ShowVersion;
        result.text = QStringLiteral("prax " PRAX_VERSION "\n" PRAX_LICENSE_LINE "\n");
    } else {
        result.files = parser.positionalArguments();
    }
    return result;
}

const char *const CPraxApp::kEmbeddingInitFailed =
    "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version.";

CPraxApp *CPraxApp::s_instance = nullptr;

CPraxApp::CPraxApp(QObject *parent)
    : QObject(parent)
{
    s_instance = this;
}

CPraxApp::~CPraxApp()
{
    delete m_mainFrame; // closes its document windows with it
    delete m_docTemplate;
    if (s_instance == this)
        s_instance = nullptr;
}

CPraxApp *CPraxApp::instance()
{
    return s_instance;
}

CMainFrame *CPraxApp::mainFrame() const
{
    return m_mainFrame;
}

CDocTemplate *CPraxApp::docTemplate() const
{
    return m_docTemplate;
}

bool CPraxApp::InitInstance(const QStringList &arguments)
{
    // 1. Embedding support.
    if (!initEmbeddingSupport()) {
        praxMessageBox(nullptr, QString::fromLatin1(kEmbeddingInitFailed));
        return false;
    }

    // 2. Dialogs (message boxes included) on light grey with black text.
    QPalette dialogPalette = QApplication::palette();
    dialogPalette.setColor(QPalette::Window, QColor(192, 192, 192));
    dialogPalette.setColor(QPalette::WindowText, Qt::black);
    QApplication::setPalette(dialogPalette, "QDialog");

    // 3. The recent-file list.
    loadRecentFileList();

    // 4. The document template, known to the embedding server.
    m_docTemplate = new CDocTemplate;
    connectTemplateServer(m_docTemplate);

    // 5 and 6. The main window.
    auto *frame = new CMainFrame;
    if (!frame->LoadFrame()) {
        delete frame;
        return false;
    }
    m_mainFrame = frame;

    // 7. A container started us: the window stays hidden until the embedding
    // layer shows it, and the options keep their built-in values. The process
    // ends when the embedding layer has nothing left to serve, not when its
    // last window closes.
    m_embeddingLaunch = isEmbeddingLaunch(arguments);
    if (m_embeddingLaunch) {
        QApplication::setQuitOnLastWindowClosed(false);
        startEmbeddingServer(this);
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
    prax::load_format_options(localPath(praxProfilePath()));
    return true;
}

void CPraxApp::loadRecentFileList()
{
    m_recentFiles.clear();
    prax::IniProfile profile;
    profile.load(localPath(praxProfilePath()));
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
    const std::string path = localPath(praxProfilePath());
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
    if (!m_mainFrame || !m_docTemplate || path.isEmpty())
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
    CPraxDoc *doc = m_docTemplate->OpenDocumentFile(m_mainFrame, path);
    if (doc)
        addToRecentFileList(doc->path());
    return doc;
}

void CPraxApp::OnFileNew()
{
    if (m_mainFrame && m_docTemplate)
        m_docTemplate->OpenNewDocument(m_mainFrame);
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
