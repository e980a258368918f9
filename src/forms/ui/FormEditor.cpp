#include "forms/ui/FormEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ui/AppWindows.h"
#include "app/ui/MainWindow.h"
#include "app/util/Interaction.h"
#include "forms/FormTypes.h"
#include "forms/rules/RuleEngine.h"
#include "forms/ui/EditorMetrics.h"
#include "forms/ui/MorvekCalcEdit.h"
#include "forms/ui/MorvekEdit.h"
#include "forms/ui/PageControl.h"

namespace {

// Marks the widget that stands for a radio group (its buttons are its children).
const char* const kRadioGroupProperty = "radioGroup";

QPushButton* ToolButton(QWidget* parent, QHBoxLayout* row, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus); // the keyboard stays in the form; the buttons have their keys
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

} // namespace

EditorEntry EditorEntry::ForType(const FormType& type) {
    EditorEntry e;
    e.objectName = type.className.mid(1);
    e.windowName = type.windowName();
    e.caption = type.editorCaption();
    e.taxOfficeCodeField = type.taxOfficeCodeField;
    e.taxOfficeNameField = type.taxOfficeNameField;
    e.oppField = type.oppField;
    return e;
}

std::unique_ptr<FormEditorWindow> FormEditorWindow::Create(const QString& typeCode, EditorHost* host,
                                                           QWidget* parent) {
    const FormType* type = FindFormType(typeCode);
    if (!type) throw LayoutError(QStringLiteral("Nieznany typ formularza: %1").arg(typeCode).toStdString());
    auto doc = FormDocument::create(type->typeCode());
    return std::make_unique<FormEditorWindow>(std::move(doc), EditorEntry::ForType(*type), host, parent);
}

FormEditorWindow::FormEditorWindow(std::unique_ptr<FormDocument> document, const EditorEntry& entry,
                                   EditorHost* host, QWidget* parent)
    : QDialog(parent), doc_(std::move(document)), entry_(entry),
      host_(host ? host : &NullEditorHost::Instance()) {
    engine_ = std::make_unique<RuleEngine>(*doc_);
    setObjectName(entry_.objectName);
    setWindowTitle(entry_.caption);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    m_ = std::make_unique<Metrics>(font());

    buildWindow();
    buildPages();

    connect(doc_.get(), &FormDocument::fieldChanged, this, &FormEditorWindow::onFieldChanged);
    connect(doc_.get(), &FormDocument::seriesRowAdded, this, &FormEditorWindow::buildSeriesRow);
    connect(doc_.get(), &FormDocument::seriesRowRemoved, this, &FormEditorWindow::dropSeriesRow);
    // The window sees key presses before its controls do.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
    SetTestTools(TestMode);
    restorePlacement();
}

FormEditorWindow::~FormEditorWindow() {
    // The controls go first, while the document and the rules they talk to still exist.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    doc_->disconnect(this);
    widgetOf_.clear();
    fieldOf_.clear();
    rowCaptionOf_.clear();
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void FormEditorWindow::buildWindow() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    panel1_ = new QWidget(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    auto* row1 = new QHBoxLayout(panel1_);
    row1->setContentsMargins(6, 5, 6, 3);
    row1->setSpacing(6);
    btnZapisz_ = ToolButton(panel1_, row1, QStringLiteral("btn_Zapisz"), QStringLiteral("&Zapisz"));
    QPushButton* porzuc = ToolButton(panel1_, row1, QStringLiteral("btn_Porzuc"), QStringLiteral("&Porzuć"));
    btnDrukuj_ = ToolButton(panel1_, row1, QStringLiteral("btn_Drukuj"), QStringLiteral("&Drukuj F8"));
    QPushButton* notatka =
        ToolButton(panel1_, row1, QStringLiteral("btn_Notatka"), QStringLiteral("Notatka"));
    btnPobierz_ =
        ToolButton(panel1_, row1, QStringLiteral("btn_PobierzDane"), QStringLiteral("P&obierz dane F11"));
    row1->addStretch(1);
    btnTest_ = ToolButton(panel1_, row1, QStringLiteral("btn_Test"), QStringLiteral("Test"));
    chkNieObliczaj_ = new QCheckBox(QStringLiteral("bez EXPR"), panel1_);
    chkNieObliczaj_->setObjectName(QStringLiteral("chk_NieObliczaj"));
    chkNieObliczaj_->setFocusPolicy(Qt::NoFocus);
    row1->addWidget(chkNieObliczaj_);
    btnCzysc_ = ToolButton(panel1_, row1, QStringLiteral("btn_Czysc"), QStringLiteral("Czysc"));
    connect(btnZapisz_, &QPushButton::clicked, this, &FormEditorWindow::Zapisz);
    connect(porzuc, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnDrukuj_, &QPushButton::clicked, this, &FormEditorWindow::Drukuj);
    connect(notatka, &QPushButton::clicked, this, &FormEditorWindow::Notatka);
    connect(btnPobierz_, &QPushButton::clicked, this, &FormEditorWindow::PobierzDane);
    connect(btnTest_, &QPushButton::clicked, this, &FormEditorWindow::FillWithFieldNumbers);
    connect(btnCzysc_, &QPushButton::clicked, this, &FormEditorWindow::ClearFields);
    connect(chkNieObliczaj_, &QCheckBox::toggled, this, [this](bool on) { engine_->disabled = on; });
    root->addWidget(panel1_);

    panel5_ = new QWidget(this);
    panel5_->setObjectName(QStringLiteral("Panel5"));
    auto* row5 = new QHBoxLayout(panel5_);
    row5->setContentsMargins(6, 0, 6, 4);
    row5->setSpacing(6);
    QPushButton* zal =
        ToolButton(panel5_, row5, QStringLiteral("btn_Zalaczniki"), QStringLiteral("&Edytuj załączniki"));
    QPushButton* xml =
        ToolButton(panel5_, row5, QStringLiteral("btn_EksportXML"), QStringLiteral("Eksport do pliku &XML"));
    QPushButton* clip = ToolButton(panel5_, row5, QStringLiteral("btn_EksportSchowek"),
                                   QStringLiteral("Eksport do schowka X&ML"));
    btnPodgladXml_ =
        ToolButton(panel5_, row5, QStringLiteral("btn_PodgladXML"), QStringLiteral("Podgląd X&ML"));
    btnPodgladXml_->setEnabled(false);
    row5->addStretch(1);
    connect(zal, &QPushButton::clicked, this, &FormEditorWindow::EdytujZalaczniki);
    connect(xml, &QPushButton::clicked, this, [this] { EksportXml(XmlTarget::File); });
    connect(clip, &QPushButton::clicked, this, [this] { EksportXml(XmlTarget::Clipboard); });
    connect(btnPodgladXml_, &QPushButton::clicked, this, [this] { EksportXml(XmlTarget::Preview); });
    root->addWidget(panel5_);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);
    if (doc_->layout().pageCount > 0) {
        pages_ = new TPageControl(splitter_);
        pages_->setObjectName(QStringLiteral("Pages"));
        splitter_->addWidget(pages_);
    }
    errorHint_ = new QPlainTextEdit(splitter_);
    errorHint_->setObjectName(QStringLiteral("ErrorHintControl1"));
    errorHint_->setReadOnly(true);
    errorHint_->setFocusPolicy(Qt::NoFocus);
    errorHint_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    errorHint_->setMinimumHeight(50);
    QFont bold = errorHint_->font();
    bold.setBold(true);
    errorHint_->setFont(bold);
    QPalette hp = errorHint_->palette();
    hp.setColor(QPalette::Text, Qt::red);
    errorHint_->setPalette(hp);
    root->addWidget(splitter_, 1);
}

void FormEditorWindow::SetIsAttachment(bool on) {
    isAttachment_ = on;
    panel5_->setVisible(!on);
}

void FormEditorWindow::SetTestTools(bool visible) {
    btnTest_->setVisible(visible);
    chkNieObliczaj_->setVisible(visible);
    btnCzysc_->setVisible(visible);
}

QScrollArea* FormEditorWindow::PageScrollArea(int index) const {
    if (!pages_) return index == 0 ? singlePage_ : nullptr;
    return qobject_cast<QScrollArea*>(pages_->page(index));
}

// ---------------------------------------------------------------------------------------------
// Field widgets and the model

QWidget* FormEditorWindow::createFieldWidget(FormField* f, QWidget* parent) {
    const FieldDef& d = f->def();
    const int n = f->number();
    QWidget* w = nullptr;
    switch (f->kind()) {
    case FieldKind::Edit: {
        auto* e = new TMorvekEdit(parent);
        e->setFieldNumber(n);
        if (!d.mask.isEmpty()) {
            e->setEditMask(d.mask);
            e->setCursorToStart(true);
        } else if (d.maxLength > 0) {
            e->setMaxLength(d.maxLength);
        }
        e->setUpperCase(d.upper);
        connect(e, &TMorvekEdit::bufferEdited, this, [this, e](const QString& buffer) {
            if (FormField* ff = fieldOf(e)) {
                if (ff->mask().isEmpty())
                    doc_->setText(ff, buffer);
                else
                    doc_->setEditBuffer(ff, buffer);
            }
        });
        w = e;
        break;
    }
    case FieldKind::Numeric: {
        auto* c = new TMorvekCalcEdit(parent);
        c->setFieldNumber(n);
        c->setDecimalPlaces(d.decimals);
        c->setDisplayFormat(d.displayFormat);
        c->setAlignLeft(d.alignLeft);
        c->setButtonVisible(false);
        if (d.key == u"SERIA") {
            // The rows follow the count; only "Dodaj" and "Usuń" change it.
            for (const SeriesDef& s : doc_->layout().series)
                if (s.countField == d.number) c->setObjectName(QStringLiteral("seriesCountEdt_%1").arg(s.k));
            c->setReadOnly(true);
            c->setColorNormal(c->colorDisabled());
        }
        connect(c, &TMorvekCalcEdit::valueEdited, this, [this, c](double v) {
            if (FormField* ff = fieldOf(c)) doc_->setNumber(ff, v);
        });
        w = c;
        break;
    }
    case FieldKind::Check: {
        auto* b = new QCheckBox(f->label(), parent);
        connect(b, &QCheckBox::clicked, this, [this, b](bool on) {
            if (FormField* ff = fieldOf(b)) {
                doc_->setChecked(ff, on);
                Recalculate();
            }
        });
        w = b;
        break;
    }
    case FieldKind::Radio: {
        auto* b = new QRadioButton(f->label(), parent);
        b->setAutoExclusive(false); // the document clears the other choices of the box
        connect(b, &QRadioButton::clicked, this, [this, b] {
            if (FormField* ff = fieldOf(b)) {
                doc_->setChecked(ff, true);
                b->setChecked(ff->checked());
                Recalculate();
            }
        });
        w = b;
        break;
    }
    case FieldKind::Memo: {
        auto* memo = new QPlainTextEdit(parent);
        memo->setTabChangesFocus(true);
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
            if (FormField* ff = fieldOf(memo)) {
                QString t = memo->toPlainText();
                t.replace(u'\n', QStringLiteral("\r\n"));
                if (t != ff->text()) doc_->setText(ff, t);
            }
        });
        w = memo;
        break;
    }
    case FieldKind::Caption:
        w = new QLabel(parent);
        break;
    case FieldKind::ComboList:
    case FieldKind::ComboText: {
        auto* combo = new QComboBox(parent);
        combo->addItems(d.items);
        if (f->kind() == FieldKind::ComboText) {
            combo->setEditable(true);
            connect(combo, &QComboBox::editTextChanged, this, [this, combo](const QString& t) {
                if (FormField* ff = fieldOf(combo)) doc_->setText(ff, t);
            });
        } else {
            connect(combo, &QComboBox::activated, this, [this, combo](int index) {
                if (FormField* ff = fieldOf(combo)) doc_->SetControlValue(ff, QString::number(index));
            });
        }
        w = combo;
        break;
    }
    case FieldKind::RadioGroup: {
        auto* box = new QWidget(parent);
        box->setProperty(kRadioGroupProperty, true);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < d.items.size(); ++i) {
            auto* b = new QRadioButton(d.items[i], box);
            group->addButton(b, i);
            row->addWidget(b);
            if (i == 0) box->setFocusProxy(b);
        }
        row->addStretch(1);
        box->setFocusPolicy(Qt::StrongFocus);
        connect(group, &QButtonGroup::idClicked, this, [this, box](int id) {
            if (FormField* ff = fieldOf(box)) {
                doc_->SetControlValue(ff, QString::number(id));
                Recalculate();
            }
        });
        w = box;
        break;
    }
    }
    if (w->objectName().isEmpty()) w->setObjectName(QStringLiteral("Pole%1").arg(n));
    w->setToolTip(QStringLiteral("Pole %1").arg(n));
    w->setProperty("Tag", n);
    widgetOf_.insert(f, w);
    fieldOf_.insert(w, f);
    showValue(w, f);
    return w;
}

void FormEditorWindow::showValue(QWidget* w, const FormField* f) {
    switch (f->kind()) {
    case FieldKind::Edit: {
        auto* e = static_cast<TMorvekEdit*>(w);
        if (e->isMasked()) {
            if (e->editBuffer() != f->editBuffer()) e->setEditBuffer(f->editBuffer());
        } else if (e->text() != f->text()) {
            e->setPlainText(f->text());
        }
        break;
    }
    case FieldKind::Numeric: {
        auto* c = static_cast<TMorvekCalcEdit*>(w);
        if (c->value() != f->value()) c->setValue(f->value());
        break;
    }
    case FieldKind::Check:
    case FieldKind::Radio: {
        auto* b = static_cast<QAbstractButton*>(w);
        if (b->isChecked() != f->checked()) b->setChecked(f->checked());
        break;
    }
    case FieldKind::Memo: {
        auto* memo = static_cast<QPlainTextEdit*>(w);
        QString t = f->text();
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (memo->toPlainText() != t) memo->setPlainText(t);
        break;
    }
    case FieldKind::Caption:
        static_cast<QLabel*>(w)->setText(f->text());
        break;
    case FieldKind::ComboList:
        static_cast<QComboBox*>(w)->setCurrentIndex(f->index());
        break;
    case FieldKind::ComboText: {
        auto* combo = static_cast<QComboBox*>(w);
        if (combo->currentText() != f->text()) combo->setEditText(f->text());
        break;
    }
    case FieldKind::RadioGroup:
        if (auto* group = w->findChild<QButtonGroup*>())
            if (QAbstractButton* b = group->button(f->index())) b->setChecked(true);
        break;
    }
    if (w->testAttribute(Qt::WA_ForceDisabled) == f->enabled()) w->setEnabled(f->enabled());
}

void FormEditorWindow::onFieldChanged(FormField* f) {
    if (QWidget* w = widgetOf_.value(f)) showValue(w, f);
}

void FormEditorWindow::unregister(QWidget* container) {
    for (QWidget* w : container->findChildren<QWidget*>()) {
        if (FormField* f = fieldOf_.take(w)) widgetOf_.remove(f);
        rowCaptionOf_.remove(w);
    }
}

QWidget* FormEditorWindow::registeredField(QWidget* w) const {
    for (; w && w != this; w = w->parentWidget())
        if (fieldOf_.contains(w)) return w;
    return nullptr;
}

QWidget* FormEditorWindow::FieldWidget(int number) const {
    return widgetOf_.value(doc_->FindFieldControl(number));
}

QList<QWidget*> FormEditorWindow::FieldWidgets() const {
    QList<QWidget*> out;
    for (int i = 0; i < doc_->fieldCount(); ++i)
        if (QWidget* w = widgetOf_.value(doc_->fieldAt(i))) out << w;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Rules

void FormEditorWindow::LoadRules(const QString& fileName) {
    engine_->LoadRules(fileName);
    showHints();
}

QString FormEditorWindow::EvaluateRule(const QString& expression) {
    return engine_->EvaluateRule(expression);
}

void FormEditorWindow::Recalculate() {
    if (chkNieObliczaj_->isChecked() || recalculating_) return;
    recalculating_ = true; // a MESSAGEBOX of a rule moves the focus; that exit must not start a pass
    engine_->RunPass();
    recalculating_ = false;
    UpdateErrorHint();
}

void FormEditorWindow::UpdateErrorHint() {
    if (chkNieObliczaj_->isChecked()) return;
    engine_->UpdateErrorHint();
    showHints();
}

void FormEditorWindow::showHints() {
    const QString text = engine_->ErrorHints().join(u'\n');
    if (errorHint_->toPlainText() != text) errorHint_->setPlainText(text);
}

// ---------------------------------------------------------------------------------------------
// Showing, saving, closing

void FormEditorWindow::PrepareShow() {
    if (prepared_) return;
    prepared_ = true;
    LoadRules(entry_.windowName + QStringLiteral(".EXP"));
    if (pages_) pages_->setCurrentIndex(0);
    if (QWidget* first = FieldWidget(1); first && first->isEnabled()) first->setFocus(Qt::OtherFocusReason);
    btnPodgladXml_->setEnabled(false);
    saveCount_ = 0;
    errorHint_->clear();
    baselineText_ = doc_->BuildDocumentText();
}

void FormEditorWindow::showEvent(QShowEvent* e) {
    PrepareShow();
    QDialog::showEvent(e);
}

bool FormEditorWindow::IsModified() const {
    if (!isNew_) return doc_->BuildDocumentText() != storedText_;
    QString joined;
    for (int i = 0; i < doc_->fieldCount(); ++i) {
        const FormField* f = doc_->fieldAt(i);
        if (f->number() > 0 && f->kind() == FieldKind::Edit) joined += doc_->ReadValue(f);
    }
    joined.remove(u'.');
    joined.remove(u'-');
    if (joined.trimmed().size() > 5) return true;
    // Amounts and boxes typed into a new document are work too; closing must not drop them silently.
    return prepared_ && doc_->BuildDocumentText() != baselineText_;
}

bool FormEditorWindow::SaveIntermediate(bool recalculate) {
    if (recalculate) Recalculate();
    const EditorHost::SaveResult r = host_->SaveDocument(*this, isNew_, isAttachment_);
    if (!r.saved) return false;
    if (r.textChanged) ++saveCount_;
    isNew_ = false;
    storedText_ = doc_->BuildDocumentText();
    return true;
}

void FormEditorWindow::done(int result) {
    if (result != QDialog::Accepted && (saveCount_ > 0 || IsModified())) {
        if (ShowBox(BoxYesNoCancel,
                    QStringLiteral("Czy na pewno chcesz zamknąć formularz bez zapisania zmian?"),
                    QStringLiteral("Uwaga!")) != BoxResult::Yes)
            return;
    }
    savePlacement();
    QDialog::done(result);
}

void FormEditorWindow::Zapisz() {
    Recalculate();
    accept();
}

void FormEditorWindow::Drukuj() {
    if (!SaveIntermediate(true)) return;
    const QStringList templates = host_->PrintTemplates(*this);
    if (templates.isEmpty()) {
        ShowBox(BoxInfo, QStringLiteral("Brak skryptów wydruku."));
        return;
    }
    if (templates.size() == 1) {
        host_->Print(*this, 0);
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PopupMenuPrint"));
    for (int i = 0; i < templates.size(); ++i)
        menu.addAction(templates[i])->setData(i);
    if (QAction* chosen = menu.exec(btnDrukuj_->mapToGlobal(QPoint(0, btnDrukuj_->height()))))
        host_->Print(*this, chosen->data().toInt());
}

void FormEditorWindow::Notatka() {
    host_->EditNotes(*this);
}

void FormEditorWindow::PobierzDane() {
    QString text;
    if (!host_->ImportData(*this, &text)) return;
    doc_->ApplyDocumentText(text);
    Recalculate();
}

void FormEditorWindow::EdytujZalaczniki() {
    if (!SaveIntermediate(false)) return;
    host_->EditAttachments(*this);
    Recalculate();
}

void FormEditorWindow::EksportXml(XmlTarget target) {
    if (!SaveIntermediate(true)) return;
    if (host_->ExportXml(*this, target) && target != XmlTarget::Preview) btnPodgladXml_->setEnabled(true);
}

void FormEditorWindow::restorePlacement() {
    QRect area(0, 0, 1280, 1000);
    if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
    QSize size(qMin(m_->sheetW + 60, area.width() - 20), qMin(900, area.height() - 40));
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const int w = settings->value(objectName() + QStringLiteral("/Width"), 0).toInt();
    const int h = settings->value(objectName() + QStringLiteral("/Height"), 0).toInt();
    if (w >= 400 && h >= 300) size = QSize(qMin(w, area.width()), qMin(h, area.height()));
    const bool maximised = settings->value(objectName() + QStringLiteral("/Maximized"), false).toBool();
    resize(size);
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    move(r.topLeft());
    if (maximised) setWindowState(windowState() | Qt::WindowMaximized);
    if (splitter_) splitter_->setSizes({size.height() - 150, 70});
}

void FormEditorWindow::savePlacement() {
    if (!isVisible()) return;
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    settings->setValue(objectName() + QStringLiteral("/Width"), normal.width());
    settings->setValue(objectName() + QStringLiteral("/Height"), normal.height());
    settings->setValue(objectName() + QStringLiteral("/Maximized"), isMaximized());
}

// ---------------------------------------------------------------------------------------------
// Test tools, pickers, series

void FormEditorWindow::FillWithFieldNumbers() {
    for (int i = 0; i < doc_->fieldCount(); ++i) {
        FormField* f = doc_->fieldAt(i);
        const bool hiddenTemplate = f->seriesK() > 0 && f->seriesRow() == 0;
        if (f->number() <= 0 || hiddenTemplate || f->def().key == u"SERIA") continue;
        doc_->SetControlValue(f, QString::number(f->number()));
    }
}

void FormEditorWindow::ClearFields() {
    // Series counts stay: the rows on screen still exist, and a count of 0 beside them would make
    // the next "Dodaj" number a second row 1.
    QList<QPair<FormField*, double>> counts;
    for (const SeriesDef& s : doc_->layout().series)
        if (FormField* c = doc_->FindFieldControl(s.countField)) counts << qMakePair(c, c->value());
    doc_->ClearFields();
    for (const auto& [c, v] : counts)
        doc_->setNumber(c, v);
}

void FormEditorWindow::FillTaxOfficeFields(int codeField, int nameField) {
    FormField* codeF = doc_->FindFieldControl(codeField);
    QString current = codeF ? doc_->GetFieldText(codeField).trimmed() : QString();
    if (current.size() != 4) current.clear();
    QString code, name;
    if (!host_->PickTaxOffice(*this, current, &code, &name)) return;
    if (codeF) doc_->SetControlValue(codeF, code);
    for (int i = 0; i < doc_->fieldCount(); ++i) {
        FormField* f = doc_->fieldAt(i);
        if (f->number() == nameField && f->kind() == FieldKind::Edit) doc_->SetControlValue(f, name);
    }
    Recalculate();
}

void FormEditorWindow::FillOppField(int krsField) {
    FormField* f = doc_->FindFieldControl(krsField);
    if (!f) return;
    QString current = doc_->GetFieldText(krsField).trimmed();
    if (current.size() != 10) current.clear();
    QString krs;
    if (!host_->PickOrganisation(*this, current, &krs)) return;
    doc_->SetControlValue(f, krs.left(10));
    Recalculate();
}

void FormEditorWindow::AddSeriesRow(const QString& buttonName) {
    doc_->AddSeriesRow(buttonName);
    Recalculate();
}

void FormEditorWindow::RemoveSeriesRow(const QString& buttonName) {
    doc_->RemoveSeriesRow(buttonName);
    Recalculate();
}

void FormEditorWindow::ExpandSeries(const QString& seriesText) {
    doc_->ExpandSeries(seriesText);
}

// ---------------------------------------------------------------------------------------------
// Pages and the keyboard

void FormEditorWindow::GoToPage(int code) {
    if (!pages_ || pages_->count() == 0) return;
    const int current = pages_->currentIndex();
    int index = code;
    switch (code) {
    case -1:
        index = 0;
        break;
    case -2:
        index = pages_->count() - 1;
        break;
    case -3:
        index = current + 1;
        break;
    case -4:
        index = current - 1;
        break;
    default:
        break;
    }
    if (index < 0 || index >= pages_->count() || index == current) return;
    const bool leavingField = registeredField(QApplication::focusWidget()) != nullptr;
    // One exit for the whole move, not one for every widget the focus passes on the way.
    recalculating_ = true;
    pages_->setCurrentIndex(index);
    focusFirstFieldOfPage(index);
    recalculating_ = false;
    if (leavingField) Recalculate();
}

QList<QWidget*> FormEditorWindow::navigationOrder() const {
    struct Entry {
        int page;
        QPoint pos;
        QWidget* w;
    };
    QList<QScrollArea*> areas;
    if (pages_)
        for (int p = 0; p < pages_->count(); ++p)
            areas << qobject_cast<QScrollArea*>(pages_->page(p));
    else if (singlePage_)
        areas << singlePage_;
    QList<Entry> entries;
    for (auto it = fieldOf_.cbegin(); it != fieldOf_.cend(); ++it) {
        QWidget* w = it.key();
        if (!w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)) continue;
        for (int p = 0; p < areas.size(); ++p) {
            QWidget* sheetHost = areas[p] ? areas[p]->widget() : nullptr;
            if (!sheetHost || !sheetHost->isAncestorOf(w)) continue;
            if (w->isVisibleTo(sheetHost)) entries.append({p, w->mapTo(sheetHost, QPoint(0, 0)), w});
            break;
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.page != b.page) return a.page < b.page;
        if (a.pos.y() != b.pos.y()) return a.pos.y() < b.pos.y();
        return a.pos.x() < b.pos.x();
    });
    QList<QWidget*> out;
    out.reserve(entries.size());
    for (const Entry& e : entries)
        out << e.w;
    return out;
}

void FormEditorWindow::moveFocus(bool forward) {
    const QList<QWidget*> order = navigationOrder();
    if (order.isEmpty()) return;
    const int at = order.indexOf(registeredField(QApplication::focusWidget()));
    const int next = at < 0 ? 0 : (at + (forward ? 1 : -1) + int(order.size())) % int(order.size());
    QWidget* target = order[next];
    if (pages_) {
        for (int p = 0; p < pages_->count(); ++p)
            if (pages_->page(p)->isAncestorOf(target) && p != pages_->currentIndex())
                pages_->setCurrentIndex(p);
    }
    target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void FormEditorWindow::focusFirstFieldOfPage(int index) {
    QScrollArea* area = PageScrollArea(index);
    if (!area) return;
    for (QWidget* w : navigationOrder())
        if (area->isAncestorOf(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

bool FormEditorWindow::handleKey(QWidget* target, QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool plain =
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
    auto isMemo = [](QWidget* w) { return qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w); };
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (ctrl) return false;
        if (isMemo(target)) return true; // neither a new line nor a move
        auto* calc = qobject_cast<TMorvekCalcEdit*>(target);
        if (calc && calc->isCalculatorShown()) return false;
        moveFocus(true);
        return true;
    }
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_PageUp:
        GoToPage(ctrl ? -1 : -4);
        return true;
    case Qt::Key_PageDown:
        GoToPage(ctrl ? -2 : -3);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!plain) return false;
        if (qobject_cast<QComboBox*>(target) || qobject_cast<QAbstractItemView*>(target) || isMemo(target))
            return false;
        for (QWidget* w = target; w && w != this; w = w->parentWidget())
            if (w->property(kRadioGroupProperty).toBool() || qobject_cast<QComboBox*>(w)) return false;
        moveFocus(e->key() == Qt::Key_Down);
        return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        moveFocus(e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return true;
    }
    case Qt::Key_F2:
        if (!plain) return false;
        btnZapisz_->click();
        return true;
    case Qt::Key_F8:
        if (!plain) return false;
        btnDrukuj_->click();
        return true;
    case Qt::Key_F11:
        if (!plain) return false;
        btnPobierz_->click();
        return true;
    default:
        return false;
    }
}

bool FormEditorWindow::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusOut) return QDialog::eventFilter(watched, e);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || (w != this && !isAncestorOf(w))) return QDialog::eventFilter(watched, e);
    if (type == QEvent::KeyPress) {
        if (handleKey(w, static_cast<QKeyEvent*>(e))) return true;
        return QDialog::eventFilter(watched, e);
    }
    // Leaving a field runs the rules; a deactivated window or a popup of the field is no exit.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !recalculating_ &&
        registeredField(w))
        Recalculate();
    return QDialog::eventFilter(watched, e);
}

void FormEditorWindow::onFocusChanged(QWidget* now) {
    if (highlightedCaption_) {
        QPalette p = highlightedCaption_->palette();
        p.setColor(QPalette::WindowText, captionColor_);
        highlightedCaption_->setPalette(p);
        highlightedCaption_ = nullptr;
    }
    QWidget* field = now && isAncestorOf(now) ? registeredField(now) : nullptr;
    if (!field) return;
    if (QLabel* caption = rowCaptionOf_.value(field)) {
        captionColor_ = caption->palette().color(QPalette::WindowText);
        QPalette p = caption->palette();
        p.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
        caption->setPalette(p);
        highlightedCaption_ = caption;
    }
    for (QWidget* a = field->parentWidget(); a; a = a->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(a)) {
            area->ensureWidgetVisible(field, 40, 56);
            break;
        }
}
