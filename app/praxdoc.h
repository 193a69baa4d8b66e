// The document: one SQL text, held by its view (CPraxView), loaded from and
// saved to a file as raw bytes.
//
// A document file is exactly the bytes of the view's text: no header, no
// trailer, no line-end or character-set translation. Files longer than
// kMaxTextBytes are refused. The document owns no text of its own once a view
// is attached; before that, a loaded text waits here until setView hands it on.
//
// A document may be embedded in a container's document: it then belongs to
// the embedding server, not to a window, and "saving" it means writing the
// container's storage through the function the server gives it. Every
// document holds a lock on the application while it exists (embedlock.h).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CPraxView;
class QIODevice;

class CPraxDoc : public QObject
{
    Q_OBJECT

public:
    // The largest text a document holds: 64 MiB (67,108,864 bytes), for
    // files, Beautify results and embedded contents alike. A file of
    // 67,108,865 bytes or more is refused with "The file is too large to open."
    static constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

    // The document type description, its fields separated by line feeds:
    // window title (empty), document name, new-file name, filter name, filter
    // extension, registry type id, registry type name.
    static constexpr const char *kDocTypeString =
        "\nSql\nSql Document\nsqltext  (*.txt)\n.txt\nPrax.Document\nSql Document";
    enum DocStringIndex {
        windowTitle = 0, // empty: the frame's title comes from the document
        docName,         // "Sql": root of the titles of new documents
        fileNewName,     // "Sql Document"
        filterName,      // "sqltext  (*.txt)": an Open/Save dialog filter as it stands
        filterExt,       // ".txt": default extension of saved files
        regFileTypeId,   // "Prax.Document"
        regFileTypeName, // "Sql Document"
    };
    // One field of kDocTypeString; empty for an index out of range.
    static QString docString(DocStringIndex index);

    explicit CPraxDoc(QObject *parent = nullptr);
    ~CPraxDoc() override;

    // "Sql1", "Sql2", ... for a document without a file (the number is drawn
    // when the title is first needed, so a document that is opened from a
    // file never uses one up), else the file name without its directory.
    QString title() const;
    // The file this document was opened from or saved to; empty when untitled.
    QString path() const;

    bool isModified() const;
    void SetModifiedFlag(bool modified = true);

    // Starts an empty, untitled document: draws its "SqlN" title now.
    bool OnNewDocument();

    // Replaces the text by the raw bytes of the file at `path`. Refuses files
    // of more than kMaxTextBytes ("The file is too large to open.") and shows
    // its own message box for every failure, leaving the document unchanged.
    // On success the document takes the path, its title and is unmodified.
    bool openDocument(const QString &path);

    // Writes exactly the text's bytes to `path` (replacing the file only once
    // every byte is written). Shows a message box on failure. On success the
    // document takes the path, its title and is unmodified. With format on
    // save (editorsettings.h) the view beautifies the whole text first; when
    // the engine does not format it, the text is saved as it is and the
    // status bar says why. saveCopy and an embedded document's update never
    // format.
    bool saveDocument(const QString &path);

    // The document's text: its view's bytes, or the loaded text waiting for a view.
    QByteArray text() const;
    // Replaces the whole text, as an edit does: the document is modified.
    void setText(const QByteArray &bytes);

    // What happened to the document's file on disk since it was last read,
    // written or its state accepted: nothing, changed (written by another
    // program, or created again after it was gone), or deleted. Always None
    // for a document without a file.
    enum class DiskChange { None, Changed, Deleted };
    DiskChange diskChange() const;
    // Takes the file's present state as the known one: diskChange() is None
    // until the file changes again.
    void acceptDiskState();
    // Reads the file again into the view as one undo step (so Undo brings
    // back the text as it was), keeping the caret's line; the document is
    // then unmodified. Shows a message box and changes nothing on failure.
    bool reloadDocument();

    // Writes a copy of the text to `path` and leaves the document's own file,
    // title and modified flag alone. Shows a message box on failure.
    bool saveCopy(const QString &path);

    // Stores (`storing`) the whole text into `archive` as raw bytes, or loads
    // it from there (at most kMaxTextBytes). A document without a view stores
    // and loads the text that waits for one. False when the device fails or a
    // loaded text is too large; the document is then unchanged.
    bool Serialize(QIODevice &archive, bool storing);

    // Embedding: `saveEmbedding` writes the text into the container's storage
    // and tells the container; `containerName` is the container's name for
    // its document ("&Update %1").
    void SetEmbedded(const QString &containerName, std::function<bool()> saveEmbedding);
    bool IsEmbedded() const { return bool(m_saveEmbedding); }
    QString containerName() const { return m_containerName; }
    // Writes the text into the container's storage; on success the document
    // is unmodified. False for a document that is not embedded.
    bool SaveEmbedding();

    CPraxView *view() const;
    // Attaches the view that holds the text; a text loaded before any view
    // existed is handed to it. Called by CPraxView's constructor.
    void setView(CPraxView *view);
    // `view` is about to go while the document stays (an embedded document
    // whose window closes): its text waits here for the next view.
    void detachView(CPraxView *view);

signals:
    void titleChanged();
    void modifiedChanged(bool modified);

private:
    // Writes the text to `path` whole or not at all; says so when it cannot.
    bool writeText(const QString &path);
    // Reads the file at `path` (at most kMaxTextBytes); says why when it cannot.
    bool readFile(const QString &path, QByteArray &bytes) const;
    void setPath(const QString &path);

    QString m_path;
    mutable int m_untitledNumber = 0; // 0: not drawn yet
    bool m_modified = false;
    QPointer<CPraxView> m_view;
    QByteArray m_pendingText; // text loaded while no view was attached
    QString m_containerName;  // embedded: the container's document name
    std::function<bool()> m_saveEmbedding; // embedded: writes the container's storage
    // The file as last read, written or accepted (see diskChange).
    struct DiskState {
        bool exists = false;
        QDateTime modified;
        qint64 size = -1;
        bool operator==(const DiskState &other) const
        {
            return exists == other.exists && modified == other.modified && size == other.size;
        }
    };
    static DiskState diskStateOf(const QString &path);
    DiskState m_diskState;
};
