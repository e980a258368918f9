#include "app/ui/StoreEditing.h"

#include <QApplication>
#include <QDate>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/ui/AppWindows.h"
#include "app/ui/AttachmentList.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtInteraction.h"
#include "app/util/Interaction.h"
#include "forms/FormTypes.h"
#include "forms/ui/FormEditor.h"
#include "store/GlobalKonfig.h"
#include "store/ui/NotesWindow.h"
#include "store/ui/ReferencePickers.h"
#include "xml/ui/XmlErrorWindow.h"
#include "xml/ui/XmlExportCommand.h"

namespace {

QString errorText(const std::exception& e) {
    return QString::fromUtf8(e.what());
}

// The window names of the editors now open, kept by the main window.
QStringList* openEditors() {
    return App.frmMain ? &App.frmMain->OpenEditors : nullptr;
}

} // namespace

void UpdateFormColumn(TDane& dane, int forId, FormColumn column, const QVariant& value) {
    QString name;
    QVariant stored = value;
    switch (column) {
    case FormColumn::Remark: {
        const QString text = value.toString().left(250); // the length of the list's field
        stored = text.isEmpty() ? QVariant() : QVariant(text);
        name = QStringLiteral("FOR_UWAGI");
        break;
    }
    case FormColumn::Notes:
        stored = value.toString().isEmpty() ? QVariant() : value;
        name = QStringLiteral("FOR_NOTATKI");
        break;
    case FormColumn::Type:
        stored = value.toString().toUpper().left(13);
        name = QStringLiteral("FOR_TYP");
        break;
    case FormColumn::Date:
        name = QStringLiteral("FOR_DATA_WYPELNIENIA");
        break;
    case FormColumn::Master:
        name = QStringLiteral("FOR_MASTER_ID");
        break;
    }
    dane.BazaDanych().execute(dane.Transakcja(),
                              QStringLiteral("update FORMS set %1 = ? where FOR_ID = ?").arg(name),
                              {stored, forId});
}

QList<FormRow> CurrentAttachments(TDane& dane) {
    QList<FormRow> rows;
    for (const FormRow& r : dane.Zalaczniki().rows()) {
        std::optional<FormRow> fresh = dane.DocumentById(r.FOR_ID);
        if (!fresh) continue;
        // The list's own calculated fields.
        fresh->C_FOR_NAZIMIE = (fresh->FOR_NAZWISKO + u' ' + fresh->FOR_IMIE).left(100);
        fresh->C_FOR_TYP = FormTypeCaption(FormDisplayName(fresh->FOR_TYP).left(20));
        rows.append(*fresh);
    }
    // Rows added since the list was read stand at its end; the database lists them by type.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const FormRow& a, const FormRow& b) { return a.FOR_TYP < b.FOR_TYP; });
    return rows;
}

bool SaveEditorDocument(TDane& dane, FormEditorWindow& editor, bool isNew, bool isAttachment) {
    // The data module writes the remark it holds in its copy of the row; one changed behind it
    // in the attachment list must survive the save.
    std::optional<QString> remark;
    const FormsDataSet& ds = isAttachment ? dane.Zalaczniki() : dane.Forms();
    if (!isNew && ds.current()) {
        const std::optional<FormRow> stored = dane.DocumentById(ds.current()->FOR_ID);
        if (stored && stored->FOR_UWAGI != ds.current()->FOR_UWAGI) remark = stored->FOR_UWAGI;
    }
    dane.Notatki = editor.Notes();
    const bool changed = dane.SaveDocument(isNew, editor.Document(), isAttachment);
    if (remark && ds.current()) UpdateFormColumn(dane, ds.current()->FOR_ID, FormColumn::Remark, *remark);
    return changed;
}

bool OpenEditor(TDane& dane, bool isNew, const QString& typeCode, bool isAttachment, QWidget* parent) {
    ShowInfoBox(QStringLiteral("Trwa otwieranie formularza..."));
    StoreEditorHost host(dane);
    std::unique_ptr<FormEditorWindow> editor;
    QString name;
    try {
        if (!dane.Connected()) throw std::runtime_error("Brak połączenia z bazą danych");
        const FormType* type = FindFormType(typeCode);
        if (!type)
            throw LayoutError(QStringLiteral("Nieznany typ formularza: %1").arg(typeCode).toStdString());
        name = type->windowName();
        // Editors are modal, so the same one can only be asked for again from inside itself.
        if (openEditors() && openEditors()->contains(name))
            throw std::runtime_error(
                QStringLiteral("Formularz %1 jest już otwarty.").arg(type->displayName()).toStdString());
        editor = FormEditorWindow::Create(type->typeCode(), &host, parent);
        editor->SetIsAttachment(isAttachment);
        editor->SetTestTools(TestMode);
        if (isNew) {
            dane.Notatki.clear();
        } else {
            const FormsDataSet& ds = isAttachment ? dane.Zalaczniki() : dane.Forms();
            if (!ds.current()) throw std::runtime_error("Brak dokumentu do otwarcia");
            dane.LoadDocument(editor->Document(), isAttachment);
            editor->SetStoredText(ds.current()->FOR_DANE);
            // Notes as stored now: an attachment's row in the list may predate changes made to it.
            if (const std::optional<FormRow> stored = dane.DocumentById(ds.current()->FOR_ID))
                dane.Notatki = stored->FOR_NOTATKI;
        }
        editor->SetNotes(dane.Notatki);
        editor->SetIsNew(isNew);
    } catch (const std::exception& e) {
        HideInfoBox();
        ShowBox(BoxError, errorText(e));
        return false;
    }
    if (QStringList* names = openEditors()) names->append(name);
    HideInfoBox();
    editor->SetProgramVersionText(ProgramVersion());

    bool saved = false;
    for (;;) {
        if (editor->exec() != QDialog::Accepted) {
            if (!isAttachment) {
                try {
                    dane.CommitAndRefresh(false);
                } catch (const std::exception& e) {
                    ShowBox(BoxError, errorText(e));
                }
            }
            break;
        }
        try {
            SaveEditorDocument(dane, *editor, editor->IsNew(), isAttachment);
            editor->SetIsNew(false); // stored now: a second attempt must not add another row
            if (!isAttachment) dane.CommitAndRefresh(true);
            saved = true;
            break;
        } catch (const std::exception& e) {
            // The editor comes back with everything typed; cancelling it then drops the work.
            ShowBox(BoxError, errorText(e));
        }
    }
    if (QStringList* names = openEditors()) names->removeOne(name);
    return saved;
}

int CopyDocumentWithAttachments(TDane& dane) {
    const FormRow* source = dane.Forms().current();
    if (!source) return 0;
    const int sourceId = source->FOR_ID;
    int copyId = 0;
    // No half copy: a copy without some of its attachments would pass for a whole one.
    CommitOrRollBack(dane, [&] {
        dane.DuplicateRecord(dane.Forms());
        copyId = dane.Forms().current()->FOR_ID;
        UpdateFormColumn(dane, copyId, FormColumn::Date, QDate::currentDate());
        // Back on the source, the attachment list shows its attachments.
        if (!dane.Forms().locate(sourceId)) throw std::runtime_error("Brak dokumentu do skopiowania");
        QList<int> attachments;
        for (const FormRow& r : dane.Zalaczniki().rows())
            attachments.append(r.FOR_ID);
        for (int id : attachments) {
            if (!dane.Zalaczniki().locate(id)) continue;
            dane.DuplicateRecord(dane.Zalaczniki());
            UpdateFormColumn(dane, dane.Zalaczniki().current()->FOR_ID, FormColumn::Master, copyId);
        }
        dane.Forms().locate(copyId);
    });
    return copyId;
}

void CommitOrRollBack(TDane& dane, const std::function<void()>& work) {
    try {
        work();
        dane.CommitAndRefresh(true);
    } catch (...) {
        try {
            dane.CommitAndRefresh(false);
        } catch (const std::exception&) {
        }
        throw;
    }
}

void ReportError(const std::exception& e) { ShowBox(BoxError, QString::fromUtf8(e.what())); }

bool AskRemark(QWidget* parent, QString& text) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlg_Notatka"));
    dialog.setWindowTitle(QStringLiteral("Notatka"));
    dialog.setLabelText(QStringLiteral("Wpisz treść notatki:"));
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Anuluj"));
    // Room for a remark of the whole length the list keeps (the dialog sizes itself to its edit).
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(250);
        edit->setMinimumWidth(480);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    text = dialog.textValue();
    return true;
}

// ---------------------------------------------------------------------------------------------

EditorHost::SaveResult StoreEditorHost::SaveDocument(FormEditorWindow& editor, bool isNew,
                                                     bool isAttachment) {
    try {
        return {true, SaveEditorDocument(dane_, editor, isNew, isAttachment)};
    } catch (const std::exception& e) {
        ShowBox(BoxError, errorText(e));
        return {false, false};
    }
}

void StoreEditorHost::EditNotes(FormEditorWindow& editor) {
    if (!App.frmNotatki) {
        NullEditorHost::Instance().EditNotes(editor);
        return;
    }
    QString notes = editor.Notes();
    App.frmNotatki->Execute(notes);
    editor.SetNotes(notes);
}

bool StoreEditorHost::PickTaxOffice(FormEditorWindow& editor, const QString& currentCode, QString* code,
                                    QString* name) {
    QString c = currentCode, n;
    if (!::PickTaxOffice(dane_, &editor, c, n)) return false;
    *code = c;
    *name = n;
    return true;
}

bool StoreEditorHost::PickOrganisation(FormEditorWindow& editor, const QString& currentKrs, QString* krs) {
    QString k = currentKrs;
    if (!::PickOrganisation(dane_, &editor, k)) return false;
    *krs = k;
    return true;
}

void StoreEditorHost::EditAttachments(FormEditorWindow& editor) {
    if (App.frmListaZalacznikow) {
        App.frmListaZalacznikow->ShowAttachments(dane_, editor);
        return;
    }
    TfrmListaZalacznikow list(&editor);
    list.ShowAttachments(dane_, editor);
}

QStringList StoreEditorHost::PrintTemplates(FormEditorWindow&) {
    return {};
}

void StoreEditorHost::Print(FormEditorWindow&, int) {}

bool StoreEditorHost::ExportXml(FormEditorWindow& editor, XmlTarget target) {
    if (target == XmlTarget::Preview) {
        OpenXmlPreview(lastExportFile_);
        return true;
    }
    XmlExportRequest request;
    try {
        // What is exported is what is stored: the editor has just saved the declaration.
        const FormRow* declaration = dane_.Forms().current();
        if (!declaration) throw std::runtime_error("Brak dokumentu do eksportu");
        request.typeCode = editor.Document().typeCode();
        request.declarationText = declaration->FOR_DANE;
        for (const FormRow& a : CurrentAttachments(dane_))
            request.attachments.append({a.FOR_TYP, a.FOR_DANE});
    } catch (const std::exception& e) {
        ShowBox(BoxError, errorText(e));
        return false;
    }
    request.toClipboard = target == XmlTarget::Clipboard;
    const TGlobalKonfig& konfig = dane_.konfig();
    if (!konfig.NazwaFirmy.isEmpty()) request.initialFolder = konfig.KatalogFirmy;
    request.validation.localRepository = konfig.LocalRepository;
    const XmlExportOutcome outcome =
        RunXmlExport(&editor, request, qobject_cast<Tfrm_XMLError*>(App.frm_XMLError));
    if (!outcome.written) return false;
    if (!outcome.fileName.isEmpty()) lastExportFile_ = outcome.fileName;
    if (!outcome.message.isEmpty() && editor.ErrorHint()) {
        QString html = outcome.message.toHtmlEscaped();
        html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
        editor.ErrorHint()->clear();
        editor.ErrorHint()->appendHtml(QStringLiteral("<span style=\"color:#008000\">%1</span>").arg(html));
    }
    return true;
}

bool StoreEditorHost::ImportData(FormEditorWindow&, QString*) {
    ShowBox(BoxInfo, QStringLiteral("Pobieranie danych z innych programów nie jest jeszcze dostępne."));
    return false;
}
