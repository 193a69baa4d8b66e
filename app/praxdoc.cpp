// The document: raw-bytes load and save of its view's text; see praxdoc.h.
#include "app/praxdoc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/editorsettings.h"
#include "app/embedlock.h"
#include "app/msgbox.h"
#include "app/praxview.h"
#include "engine/engine.h"

namespace {

// Running number of untitled documents in this process: "Sql1", "Sql2", ...
int g_untitledCount = 0;

QWidget *messageParent(CPraxView *view)
{
    return view ? view->window() : nullptr;
}

} // namespace

QString CPraxDoc::docString(DocStringIndex index)
{
    const QStringList fields = QString::fromLatin1(kDocTypeString).split(QLatin1Char('\n'));
    return index >= 0 && index < fields.size() ? fields.at(index) : QString();
}

CPraxDoc::CPraxDoc(QObject *parent)
    : QObject(parent)
{
    // The process stays alive while the document exists.
    praxLockApp();
}

CPraxDoc::~CPraxDoc()
{
    praxUnlockApp();
}

QString CPraxDoc::title() const
{
    if (!m_path.isEmpty())
        return QFileInfo(m_path).fileName();
    if (m_untitledNumber == 0)
        m_untitledNumber = ++g_untitledCount;
    return docString(docName) + QString::number(m_untitledNumber);
}

QString CPraxDoc::path() const
{
    return m_path;
}

bool CPraxDoc::isModified() const
{
    return m_modified;
}

void CPraxDoc::SetModifiedFlag(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    // The text as it stands is the saved one: undoing back to it later
    // clears the flag again (the view's save point).
    if (!modified && m_view)
        m_view->markSavePoint();
    emit modifiedChanged(modified);
}

bool CPraxDoc::OnNewDocument()
{
    title(); // draws the running number
    return true;
}

bool CPraxDoc::readFile(const QString &path, QByteArray &bytes) const
{
    QWidget *parent = messageParent(m_view);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        praxMessageBox(parent, QStringLiteral("Failed to open document."));
        return false;
    }
    // Read one byte beyond the limit rather than trusting size(): a pipe or a
    // file that grows while being read has no reliable size.
    bytes = file.read(kMaxTextBytes + 1);
    if (bytes.size() > kMaxTextBytes) {
        praxMessageBox(parent, QStringLiteral("The file is too large to open."));
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        praxMessageBox(parent, QStringLiteral("Failed to open document."));
        return false;
    }
    return true;
}

bool CPraxDoc::openDocument(const QString &path)
{
    QByteArray bytes;
    if (!readFile(path, bytes))
        return false;
    if (m_view)
        m_view->setTextBytes(bytes);
    else
        m_pendingText = bytes;
    setPath(path);
    acceptDiskState();
    SetModifiedFlag(false);
    return true;
}

CPraxDoc::DiskState CPraxDoc::diskStateOf(const QString &path)
{
    DiskState state;
    const QFileInfo info(path);
    if (!info.exists())
        return state;
    state.exists = true;
    state.modified = info.lastModified();
    state.size = info.size();
    return state;
}

CPraxDoc::DiskChange CPraxDoc::diskChange() const
{
    if (m_path.isEmpty() || IsEmbedded())
        return DiskChange::None;
    const DiskState now = diskStateOf(m_path);
    if (now == m_diskState)
        return DiskChange::None;
    return now.exists ? DiskChange::Changed : DiskChange::Deleted;
}

void CPraxDoc::acceptDiskState()
{
    if (!m_path.isEmpty())
        m_diskState = diskStateOf(m_path);
}

bool CPraxDoc::reloadDocument()
{
    // The state is taken before reading: a write that lands while we read
    // is then noticed at the next check instead of being taken as read.
    const DiskState state = diskStateOf(m_path);
    QByteArray bytes;
    if (m_path.isEmpty() || !readFile(m_path, bytes))
        return false;
    if (!m_view)
        m_pendingText = bytes;
    else if (!m_view->replaceTextBytes(bytes))
        return false;
    m_diskState = state;
    // An unmodified document stays so, but its save point moves to the new
    // text (SetModifiedFlag(false) does that only on a change of the flag).
    if (!m_modified && m_view)
        m_view->markSavePoint();
    SetModifiedFlag(false);
    return true;
}

bool CPraxDoc::writeText(const QString &path)
{
    const QByteArray bytes = text();
    // QSaveFile writes a new file beside the old one and renames it over the
    // old one only when every byte is on disk: a full disk never leaves the
    // user with half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        praxMessageBox(messageParent(m_view), QStringLiteral("Failed to save document."));
        return false;
    }
    return true;
}

bool CPraxDoc::saveDocument(const QString &path)
{
    // Format on save decides by the name the text is saved under: Save As of
    // "query.txt" to "query.pc" formats it as host-language source. An empty
    // text has nothing to format (and no reason to report).
    QString unformatted;
    if (praxFormatOnSave() && m_view && m_view->canBeautify())
        m_view->beautifyForSave(prax::is_host_source_path(QFile::encodeName(path).toStdString()), unformatted);
    if (!writeText(path))
        return false;
    setPath(path);
    acceptDiskState();
    SetModifiedFlag(false);
    if (!unformatted.isEmpty()) {
        const QString status = QStringLiteral("Saved without formatting: %1\n").arg(unformatted);
        prax::show_status_message(status.toLocal8Bit().toStdString());
    }
    return true;
}

QByteArray CPraxDoc::text() const
{
    return m_view ? m_view->textBytes() : m_pendingText;
}

void CPraxDoc::setText(const QByteArray &bytes)
{
    if (m_view)
        m_view->setTextBytes(bytes);
    else
        m_pendingText = bytes;
    SetModifiedFlag(true);
}

bool CPraxDoc::saveCopy(const QString &path)
{
    return writeText(path);
}

bool CPraxDoc::Serialize(QIODevice &archive, bool storing)
{
    if (storing) {
        // Also without a view: an embedded document whose window is closed
        // still has its text, and storing nothing would empty the container's copy.
        const QByteArray bytes = text();
        return archive.write(bytes) == bytes.size();
    }
    const QByteArray bytes = archive.read(kMaxTextBytes + 1);
    if (bytes.size() > kMaxTextBytes)
        return false;
    if (m_view)
        m_view->setTextBytes(bytes);
    else
        m_pendingText = bytes;
    return true;
}

void CPraxDoc::SetEmbedded(const QString &containerName, std::function<bool()> saveEmbedding)
{
    m_containerName = containerName;
    m_saveEmbedding = std::move(saveEmbedding);
}

bool CPraxDoc::SaveEmbedding()
{
    if (!m_saveEmbedding || !m_saveEmbedding())
        return false;
    SetModifiedFlag(false);
    return true;
}

void CPraxDoc::detachView(CPraxView *view)
{
    if (!view || m_view != view)
        return;
    m_pendingText = view->textBytes();
    m_view = nullptr;
}

CPraxView *CPraxDoc::view() const
{
    return m_view;
}

void CPraxDoc::setView(CPraxView *view)
{
    m_view = view;
    if (view && !m_pendingText.isEmpty()) {
        const bool modified = m_modified;
        view->setTextBytes(m_pendingText);
        m_pendingText.clear();
        SetModifiedFlag(modified);
    }
}

void CPraxDoc::setPath(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute == m_path)
        return;
    m_path = absolute;
    emit titleChanged();
}
