// Document windows: the child frame that holds a document and its view, and
// its document commands (Close, Save, Save As, Mail To) with the questions
// they ask the user.
//
// A child frame owns its document; closing the frame ends the document. An
// embedded document is the exception: it belongs to the embedding server and
// outlives its window, which "saves" it by updating the container.
#pragma once

#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>

#include "app/praxdoc.h"

class CPraxView;

// Questions of the document commands, replaceable by tests.
namespace DocumentPrompts {
// "Save changes to %1?" with Yes, No and Cancel.
using SaveChangesHook = std::function<QMessageBox::StandardButton(const QString &text)>;
// A file name for Open (`save` false) or Save As (`save` true, `suggested`
// the proposed name); empty when the user cancels.
using FileNameHook = std::function<QString(bool save, const QString &suggested)>;
// A question about a file changed on disk: true to reload it, false to keep
// the text as it is in the editor.
using ReloadHook = std::function<bool(const QString &text)>;
void setSaveChangesHook(SaveChangesHook hook);
void setFileNameHook(FileNameHook hook);
void setReloadHook(ReloadHook hook);

// The extension Save As proposes for a document without a file.
inline constexpr char kSaveExtension[] = ".sql";
// The file types of the Open and Save As dialogs, SQL files first.
QStringList fileFilters();

QMessageBox::StandardButton askSaveChanges(QWidget *parent, const QString &name);
bool askReload(QWidget *parent, const QString &text);
QString getOpenFileName(QWidget *parent);
QString getSaveFileName(QWidget *parent, const QString &suggested);
} // namespace DocumentPrompts

class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    // Takes ownership of `doc` and creates its view.
    explicit CChildFrame(CPraxDoc *doc, QWidget *parent = nullptr);
    ~CChildFrame() override;

    CPraxDoc *document() const { return m_doc.data(); }
    CPraxView *view() const { return m_view; }

    // Asks "Save changes to %1?" when the document is modified and saves on
    // Yes. True when the document may be closed.
    bool SaveModified();
    // Saves to the document's file, or asks for a name when it has none (or
    // `askName`). True when saved.
    bool DoSave(bool askName);
    // Runs the document command `id` (a PRAX_DOC_COMMANDS id); false for any other.
    bool runCommand(int id);
    // Looks whether another program changed or deleted the document's file
    // since it was read or saved here, and asks (once per change) whether to
    // reload it; a deleted file is reported and its text kept, modified.
    void checkFileOnDisk();

signals:
    // The document was saved to its file `path` (Save, Save As).
    void documentSaved(const QString &path);

public slots:
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileSendMail();
    // Embedded documents: write the container's storage and tell it (Update,
    // Ctrl+S), and save the text to a file of the user's without taking its name.
    void OnUpdateDocument();
    void OnFileSaveCopyAs();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateTitle();
    // The proposed name of Save As and Save Copy As.
    QString suggestedSaveName() const;

    QPointer<CPraxDoc> m_doc;
    CPraxView *m_view;
};
