// Document windows and the document commands; see childframe.h.
#include "app/childframe.h"

#include "app/commands.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace DocumentPrompts {
namespace {
SaveChangesHook g_saveChangesHook;
FileNameHook g_fileNameHook;
ReloadHook g_reloadHook;
} // namespace

QStringList fileFilters()
{
    return {QStringLiteral("SQL files (*.sql)"),
            QStringLiteral("Embedded SQL sources (*.pc *.pgc *.ec *.sqc *.c *.h)"),
            QStringLiteral("All files (*)")};
}

void setSaveChangesHook(SaveChangesHook hook)
{
    g_saveChangesHook = std::move(hook);
}

void setFileNameHook(FileNameHook hook)
{
    g_fileNameHook = std::move(hook);
}

void setReloadHook(ReloadHook hook)
{
    g_reloadHook = std::move(hook);
}

bool askReload(QWidget *parent, const QString &text)
{
    if (g_reloadHook)
        return g_reloadHook(text);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), text, QMessageBox::NoButton, parent);
    QPushButton *reload = box.addButton(QStringLiteral("&Reload"), QMessageBox::AcceptRole);
    QPushButton *keep = box.addButton(QStringLiteral("&Keep"), QMessageBox::RejectRole);
    box.setDefaultButton(keep); // Enter pressed by habit loses nothing
    box.exec();
    return box.clickedButton() == reload;
}

QMessageBox::StandardButton askSaveChanges(QWidget *parent, const QString &name)
{
    const QString text = QStringLiteral("Save changes to %1?").arg(name);
    if (g_saveChangesHook)
        return g_saveChangesHook(text);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString getOpenFileName(QWidget *parent)
{
    if (g_fileNameHook)
        return g_fileNameHook(false, QString());
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(),
                                        fileFilters().join(QStringLiteral(";;")));
}

QString getSaveFileName(QWidget *parent, const QString &suggested)
{
    if (g_fileNameHook)
        return g_fileNameHook(true, suggested);
    QFileDialog dialog(parent, QStringLiteral("Save As"), suggested, fileFilters().join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // ".sql" is added to a name typed without an extension.
    dialog.setDefaultSuffix(QString::fromLatin1(kSaveExtension).mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace DocumentPrompts

CChildFrame::CChildFrame(CPraxDoc *doc, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_doc(doc)
{
    setAttribute(Qt::WA_DeleteOnClose);
    if (!m_doc->IsEmbedded())
        m_doc->setParent(this);
    m_view = new CPraxView(m_doc, this);
    setWidget(m_view);
    // Ctrl+F4 is the frame's Close command (which asks about saving the
    // same way); left on the window menu's Close as well, the key would be
    // ambiguous and do nothing at all.
    if (QMenu *menu = systemMenu()) {
        const QKeySequence closeKey(Qt::CTRL | Qt::Key_F4);
        for (QAction *action : menu->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            if (keys.removeAll(closeKey))
                action->setShortcuts(keys);
        }
    }
    setWindowIcon(QIcon(QStringLiteral(":/prax/IDR_SQLTYPE_icon.png")));
    setWhatsThis(QStringLiteral("A document window: the SQL text being edited. Select text and choose "
                                "Beautify to format it."));
    connect(m_doc, &CPraxDoc::titleChanged, this, &CChildFrame::updateTitle);
    connect(m_doc, &CPraxDoc::modifiedChanged, this, &CChildFrame::updateTitle);
    updateTitle();
}

CChildFrame::~CChildFrame()
{
    // An embedded document stays with the server: it keeps the text for the
    // next window or the container's next save.
    if (m_doc && m_doc->IsEmbedded())
        m_doc->detachView(m_view);
}

void CChildFrame::updateTitle()
{
    // "[*]" shows the modified mark where the window system draws titles.
    setWindowTitle(m_doc->title() + QStringLiteral("[*]"));
    setWindowModified(m_doc->isModified());
}

bool CChildFrame::SaveModified()
{
    if (!m_doc->isModified())
        return true;
    // The container's copy is brought up to date without a question; when
    // that fails the window stays open so that no change is lost.
    if (m_doc->IsEmbedded()) {
        if (m_doc->SaveEmbedding())
            return true;
        praxMessageBox(this, QStringLiteral("Failed to save document."));
        return false;
    }
    const QString name = m_doc->path().isEmpty() ? m_doc->title() : QDir::toNativeSeparators(m_doc->path());
    switch (DocumentPrompts::askSaveChanges(this, name)) {
    case QMessageBox::Yes:
        return DoSave(false);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CChildFrame::DoSave(bool askName)
{
    QString path = m_doc->path();
    if (askName || path.isEmpty()) {
        path = DocumentPrompts::getSaveFileName(this, suggestedSaveName());
        if (path.isEmpty())
            return false;
    }
    if (!m_doc->saveDocument(path))
        return false;
    emit documentSaved(m_doc->path());
    return true;
}

void CChildFrame::OnFileClose()
{
    close();
}

void CChildFrame::OnFileSave()
{
    if (m_doc->IsEmbedded())
        OnUpdateDocument();
    else
        DoSave(false);
}

void CChildFrame::OnUpdateDocument()
{
    if (m_doc->IsEmbedded() && !m_doc->SaveEmbedding())
        praxMessageBox(this, QStringLiteral("Failed to save document."));
}

QString CChildFrame::suggestedSaveName() const
{
    // An untitled document proposes its title as an SQL file: "Sql1.sql".
    if (m_doc->path().isEmpty())
        return m_doc->title() + QString::fromLatin1(DocumentPrompts::kSaveExtension);
    return m_doc->path();
}

void CChildFrame::checkFileOnDisk()
{
    const QString name = QDir::toNativeSeparators(m_doc->path());
    switch (m_doc->diskChange()) {
    case CPraxDoc::DiskChange::None:
        return;
    case CPraxDoc::DiskChange::Deleted:
        // Said once: the gone file is the known state from now on. The text
        // is all that is left of it, so closing must offer to save it.
        m_doc->acceptDiskState();
        praxMessageBox(this, QStringLiteral("%1\n\nThe file has been deleted by another program. "
                                            "Its text stays open here; save it to keep it.")
                                 .arg(name));
        m_doc->SetModifiedFlag(true);
        return;
    case CPraxDoc::DiskChange::Changed:
        break;
    }
    QString text = QStringLiteral("%1\n\nThe file has been changed by another program. Reload it?").arg(name);
    if (m_doc->isModified())
        text += QStringLiteral("\n\nThe changes made here are not saved; reloading replaces them "
                               "(Undo brings them back).");
    if (DocumentPrompts::askReload(this, text) && m_doc->reloadDocument())
        return;
    // Kept (or the reload failed, and said why): not asked again until the
    // file changes again. The editor's text now differs from the file, so it
    // counts as unsaved.
    m_doc->acceptDiskState();
    m_doc->SetModifiedFlag(true);
}

void CChildFrame::OnFileSaveCopyAs()
{
    const QString path = DocumentPrompts::getSaveFileName(this, suggestedSaveName());
    if (!path.isEmpty())
        m_doc->saveCopy(path);
}

void CChildFrame::OnFileSaveAs()
{
    DoSave(true);
}

void CChildFrame::OnFileSendMail()
{
    // The mail client gets a file: the document's own when it is saved and
    // unchanged, else a copy of the present text in a private directory. The
    // copy stays behind because the mail client reads it after we return.
    QString attachment = m_doc->path();
    if (attachment.isEmpty() || m_doc->isModified()) {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/prax-mail-XXXXXX"));
        dir.setAutoRemove(false);
        QString name = QFileInfo(m_doc->title()).fileName();
        if (QFileInfo(name).suffix().isEmpty())
            name += CPraxDoc::docString(CPraxDoc::filterExt);
        attachment = dir.filePath(name);
        QFile file(attachment);
        const QByteArray text = m_doc->text();
        if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            praxMessageBox(this, QStringLiteral("Send Mail failed to send message."));
            return;
        }
    }
    const QString mailer = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (mailer.isEmpty()) {
        praxMessageBox(this, QStringLiteral("Unable to load mail system support."));
        return;
    }
    auto *process = new QProcess(this);
    QPointer<CChildFrame> self(this);
    connect(process, &QProcess::finished, process, [process, self](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (!self)
            return;
        // xdg-email: 3 means no mail client could be found.
        if (status == QProcess::NormalExit && code == 3)
            praxMessageBox(self, QStringLiteral("Unable to load mail system support."));
        else if (status != QProcess::NormalExit || code != 0)
            praxMessageBox(self, QStringLiteral("Send Mail failed to send message."));
    });
    connect(process, &QProcess::errorOccurred, process, [process, self](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        if (self)
            praxMessageBox(self, QStringLiteral("Unable to load mail system support."));
    });
    process->start(mailer, {QStringLiteral("--attach"), attachment});
}

void CChildFrame::closeEvent(QCloseEvent *event)
{
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

bool CChildFrame::runCommand(int id)
{
#define PRAX_DOC_HANDLER(cid, value, handler, remote) {cid, &CChildFrame::handler},
    static constexpr CommandHandler<CChildFrame> kHandlers[] = {PRAX_DOC_COMMANDS(PRAX_DOC_HANDLER)};
#undef PRAX_DOC_HANDLER
    return runOwnCommand(this, kHandlers, id);
}
