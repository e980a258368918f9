#pragma once
// The editor window of one form document. One generic window builds any form from its layout
// file: pages of sections, rows and numbered fields that read like the paper form. The document
// model is the truth; the widgets show it and write what the person types back into it. Rules
// run on every field exit and every click of a check box or radio button.
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <memory>

#include "forms/FormDocument.h"
#include "forms/ui/EditorHost.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QVBoxLayout;
class RuleEngine;
class TPageControl;
struct FormType;

// One entry of the editor registry: what a form's editor is called and which handlers it has.
struct EditorEntry {
    QString objectName; // frmPit_37: the window's name
    QString windowName; // FRMPIT_37: base of the rule file and import definition names
    QString caption;    // Formularz PIT-37
    int taxOfficeCodeField = 0;
    int taxOfficeNameField = 0;
    int oppField = 0;

    static EditorEntry ForType(const FormType& type);
};

class FormEditorWindow : public QDialog {
    Q_OBJECT
public:
    FormEditorWindow(std::unique_ptr<FormDocument> document, const EditorEntry& entry,
                     EditorHost* host = nullptr, QWidget* parent = nullptr);
    ~FormEditorWindow() override;
    // The editor of a form type with a new, cleared document; throws LayoutError when the type is
    // unknown or its layout cannot be read.
    static std::unique_ptr<FormEditorWindow> Create(const QString& typeCode, EditorHost* host = nullptr,
                                                    QWidget* parent = nullptr);

    FormDocument& Document() { return *doc_; }
    const FormDocument& Document() const { return *doc_; }
    RuleEngine& Engine() { return *engine_; }
    const EditorEntry& Entry() const { return entry_; }
    EditorHost& Host() const { return *host_; }

    // State the document registry sets and reads.
    bool IsNew() const { return isNew_; }
    void SetIsNew(bool on) { isNew_ = on; }
    bool IsAttachment() const { return isAttachment_; }
    void SetIsAttachment(bool on);
    int SaveCount() const { return saveCount_; }
    // The stored document text (FOR_DANE) the modified-check compares with.
    QString StoredText() const { return storedText_; }
    void SetStoredText(const QString& text) { storedText_ = text; }
    QString Notes() const { return notes_; }
    void SetNotes(const QString& text) { notes_ = text; }
    QString ProgramVersionText() const { return versionText_; }
    void SetProgramVersionText(const QString& text) { versionText_ = text; }
    // Shows or hides "Test", "bez EXPR" and "Czysc".
    void SetTestTools(bool visible);

    // -1 first page, -2 last, -3 next, -4 previous, otherwise a page index; out of range: nothing.
    void GoToPage(int code);
    void LoadRules(const QString& fileName);
    QString EvaluateRule(const QString& expression);
    void Recalculate();
    void UpdateErrorHint();
    bool IsModified() const;
    void FillTaxOfficeFields(int codeField, int nameField);
    void FillOppField(int krsField);
    void FillWithFieldNumbers();
    void ClearFields();
    void AddSeriesRow(const QString& buttonName);
    void RemoveSeriesRow(const QString& buttonName);
    // The rows of every series from a FOR_SERIES text (a stored document being opened).
    void ExpandSeries(const QString& seriesText);
    // What showing the window does: rules loaded and run, first page, focus on field 1. Runs once.
    void PrepareShow();
    // Saves inside the editor (before printing, exporting, attachments); false when it failed.
    bool SaveIntermediate(bool recalculate);

    // The buttons and keys.
    void Zapisz();
    void Drukuj();
    void Notatka();
    void PobierzDane();
    void EdytujZalaczniki();
    void EksportXml(XmlTarget target);

    // The widget of the first field with that number, or nullptr.
    QWidget* FieldWidget(int number) const;
    QList<QWidget*> FieldWidgets() const;
    TPageControl* Pages() const { return pages_; }
    QPlainTextEdit* ErrorHint() const { return errorHint_; }
    QScrollArea* PageScrollArea(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    struct Metrics;
    struct Canvas;
    struct RunRow;

    void buildWindow();
    void buildPages();
    QWidget* newPage(const QString& caption, QVBoxLayout** layout);
    void layoutItems(QWidget* page, QVBoxLayout* pageLayout, int from, int to, bool first);
    void layoutTitle(Canvas& c, FormField* header);
    void layoutSection(Canvas& c, const QString& text);
    void layoutNote(Canvas& c, const QString& text, int indent);
    void layoutSingle(Canvas& c, FormField* f);
    void layoutChoices(Canvas& c, const QList<FormField*>& fields);
    void layoutRun(Canvas& c, const QList<RunRow>& rows, bool ownLabels);
    QWidget* buildSeries(int k, QWidget* sheet);
    void buildSeriesRow(int k, int i);
    void dropSeriesRow(int k, int i);
    int boxWidth(const FieldDef& d) const;
    QLabel* addNumber(QWidget* parent, int number, int x, int y);
    QPushButton* addPickerButton(QWidget* parent, const QString& name, QWidget* beside);

    QWidget* createFieldWidget(FormField* f, QWidget* parent);
    void showValue(QWidget* w, const FormField* f);
    void onFieldChanged(FormField* f);
    void unregister(QWidget* container);
    FormField* fieldOf(QWidget* w) const { return fieldOf_.value(w); }
    // The field widget that is `w` or holds it (a combo box's line edit, a radio group's buttons).
    QWidget* registeredField(QWidget* w) const;

    QList<QWidget*> navigationOrder() const;
    void moveFocus(bool forward);
    void focusFirstFieldOfPage(int index);
    bool handleKey(QWidget* target, QKeyEvent* e);
    void onFocusChanged(QWidget* now);
    void showHints();
    void restorePlacement();
    void savePlacement();

    std::unique_ptr<FormDocument> doc_;
    std::unique_ptr<RuleEngine> engine_;
    EditorEntry entry_;
    EditorHost* host_;
    std::unique_ptr<Metrics> m_;

    bool isNew_ = true;
    bool isAttachment_ = false;
    int saveCount_ = 0;
    QString storedText_;
    QString baselineText_; // the document as shown, before the person changed anything
    QString notes_;
    QString versionText_;
    bool prepared_ = false;
    bool recalculating_ = false;

    QWidget* panel1_ = nullptr;
    QWidget* panel5_ = nullptr;
    QPushButton* btnZapisz_ = nullptr;
    QPushButton* btnDrukuj_ = nullptr;
    QPushButton* btnPobierz_ = nullptr;
    QPushButton* btnTest_ = nullptr;
    QPushButton* btnCzysc_ = nullptr;
    QCheckBox* chkNieObliczaj_ = nullptr;
    QPushButton* btnPodgladXml_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TPageControl* pages_ = nullptr;
    QScrollArea* singlePage_ = nullptr; // a form without pages
    QPlainTextEdit* errorHint_ = nullptr;

    QHash<const FormField*, QWidget*> widgetOf_;
    QHash<QWidget*, FormField*> fieldOf_;
    QHash<QWidget*, QLabel*> rowCaptionOf_;
    QPointer<QLabel> highlightedCaption_;
    QColor captionColor_;
    QHash<int, QWidget*> seriesRows_; // k: the container of the rows of series k
    QHash<int, QWidget*> seriesTemplates_;
};
