#pragma once
// What the form editor needs from the rest of the program: storing the document while the
// editor is open, its notes, the reference registers, the attachment list, printing, the XML
// export and the import. The document registry plugs the store in; NullEditorHost stands in
// where there is none (tests, a window opened without a database).
#include <QString>
#include <QStringList>

class FormEditorWindow;

enum class XmlTarget { File, Clipboard, Preview };

class EditorHost {
public:
    virtual ~EditorHost() = default;

    struct SaveResult {
        bool saved = false;       // false: the save failed and the host has told the person
        bool textChanged = false; // the stored document text differs from what was stored before
    };
    // Appends (isNew) or updates the document's row inside the transaction that stays open
    // while the editor is open.
    virtual SaveResult SaveDocument(FormEditorWindow& editor, bool isNew, bool isAttachment) = 0;
    // "Notatka": the notes of the document, shown modally.
    virtual void EditNotes(FormEditorWindow& editor) = 0;
    // The tax office register, positioned on `currentCode` when it is a four-character code.
    // True with the four-digit code and the office's name when the person accepts an office.
    virtual bool PickTaxOffice(FormEditorWindow& editor, const QString& currentCode, QString* code,
                               QString* name) = 0;
    // The register of public-benefit organisations; true with the KRS number when accepted.
    virtual bool PickOrganisation(FormEditorWindow& editor, const QString& currentKrs, QString* krs) = 0;
    // The attachment list of the document (the document is saved before).
    virtual void EditAttachments(FormEditorWindow& editor) = 0;
    // The captions of the print templates of the form, and printing one of them.
    virtual QStringList PrintTemplates(FormEditorWindow& editor) = 0;
    virtual void Print(FormEditorWindow& editor, int templateIndex) = 0;
    // The e-declaration export; true when it succeeded.
    virtual bool ExportXml(FormEditorWindow& editor, XmlTarget target) = 0;
    // The import definition of the form; true with the document text to apply when it succeeded.
    virtual bool ImportData(FormEditorWindow& editor, QString* documentText) = 0;
};

// No store behind the editor: saving succeeds without storing, registers and imports offer
// nothing, there are no print templates, the notes are edited in the editor's own text.
class NullEditorHost : public EditorHost {
public:
    SaveResult SaveDocument(FormEditorWindow&, bool, bool) override { return {true, false}; }
    void EditNotes(FormEditorWindow& editor) override;
    bool PickTaxOffice(FormEditorWindow&, const QString&, QString*, QString*) override { return false; }
    bool PickOrganisation(FormEditorWindow&, const QString&, QString*) override { return false; }
    void EditAttachments(FormEditorWindow&) override {}
    QStringList PrintTemplates(FormEditorWindow&) override { return {}; }
    void Print(FormEditorWindow&, int) override {}
    bool ExportXml(FormEditorWindow&, XmlTarget) override { return false; }
    bool ImportData(FormEditorWindow&, QString*) override { return false; }

    static NullEditorHost& Instance();
};
