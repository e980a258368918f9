#pragma once
// Documents between the store and their editors: opening a stored or new document in the
// editor of its form type, the store behind an open editor, and the row operations of the
// document and attachment lists.
#include <QList>
#include <QString>
#include <QVariant>

#include "forms/ui/EditorHost.h"
#include <functional>
#include <stdexcept>

#include "store/Dane.h"

class QWidget;

// Columns of a stored row the data module has no operation for. They are changed inside its
// open transaction, so that a commit or a roll-back takes them with the rest of the work.
enum class FormColumn { Remark, Notes, Type, Date, Master };
void UpdateFormColumn(TDane& dane, int forId, FormColumn column, const QVariant& value);

// The attachments of the current document as the database holds them now, in store order
// (by type). The attachment list reads its rows again through this, as its own changes of a
// remark or type do not reach the data module's copy of the rows.
QList<FormRow> CurrentAttachments(TDane& dane);

// Stores the editor's document into the current row of the document list (or of the attachment
// list), or a new row; true when the stored text changed. The notes go with it. Throws when
// nothing could be stored.
bool SaveEditorDocument(TDane& dane, FormEditorWindow& editor, bool isNew, bool isAttachment);

// Opens a document in the editor of its type, modally: a new, cleared one, or the current row
// of the document list (attachment list). Closed with OK the document is stored and, for a main
// document, everything done while the editor was open is committed; cancelled, a main
// document's editor rolls it all back, intermediate saves and attachments included. An
// attachment's editor leaves both to its declaration's. Failures are reported to the person.
// Returns true when the document was stored.
bool OpenEditor(TDane& dane, bool isNew, const QString& typeCode, bool isAttachment, QWidget* parent);

// "Utwórz kopię": a copy of the current main document dated today, with copies of its
// attachments pointing to it, committed; the copy becomes the current row. Returns its FOR_ID.
// Throws after rolling back when any step fails.
int CopyDocumentWithAttachments(TDane& dane);

// Runs work on the store and commits it; when anything fails, everything since the last commit
// is rolled back and the failure passed on.
void CommitOrRollBack(TDane& dane, const std::function<void()>& work);
// A failure of a store operation, in the error box.
void ReportError(const std::exception& e);

// The remark of a row asked with the system input dialog ("Notatka"); true when accepted.
bool AskRemark(QWidget* parent, QString& text);

// The store behind an open editor.
class StoreEditorHost : public EditorHost {
public:
    explicit StoreEditorHost(TDane& dane) : dane_(dane) {}

    SaveResult SaveDocument(FormEditorWindow& editor, bool isNew, bool isAttachment) override;
    void EditNotes(FormEditorWindow& editor) override;
    bool PickTaxOffice(FormEditorWindow& editor, const QString& currentCode, QString* code,
                       QString* name) override;
    bool PickOrganisation(FormEditorWindow& editor, const QString& currentKrs, QString* krs) override;
    void EditAttachments(FormEditorWindow& editor) override;
    QStringList PrintTemplates(FormEditorWindow& editor) override;
    void Print(FormEditorWindow& editor, int templateIndex) override;
    bool ExportXml(FormEditorWindow& editor, XmlTarget target) override;
    bool ImportData(FormEditorWindow& editor, QString* documentText) override;

    // The file the last export wrote (for "Podgląd X&ML").
    QString LastExportFile() const { return lastExportFile_; }

private:
    TDane& dane_;
    QString lastExportFile_;
};
