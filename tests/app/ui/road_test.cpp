// The road an accountant takes: the PIT-37 list chosen in the menu, "Nowy" from the keyboard,
// the taxpayer and the income typed in and computed, a PIT/O with two children added from the
// attachment list, saved, found again and reopened; then a change abandoned after the
// attachment list had saved it in between, which must leave the store as it was.
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DocumentsFixture.h"
#include "support/QtPrint.h"

#include "app/ui/AttachmentList.h"
#include "app/ui/FormsModel.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RegistryPage.h"
#include "forms/FormDocument.h"
#include "forms/rules/RuleEngine.h"
#include "forms/ui/FormEditor.h"
#include "forms/ui/MorvekCalcEdit.h"
#include "forms/ui/PageControl.h"

namespace {

FormEditorWindow* Editor(const QString& name) {
    return qobject_cast<FormEditorWindow*>(ModalScript::ActiveModal(name));
}

TfrmListaZalacznikow* List() {
    return qobject_cast<TfrmListaZalacznikow*>(
        ModalScript::ActiveModal(QStringLiteral("frmListaZalacznikow")));
}

// Puts the keyboard into field n as a click would, on whichever page it stands.
QWidget* Field(FormEditorWindow* e, int n) {
    QWidget* f = e->FieldWidget(n);
    EXPECT_NE(f, nullptr) << "field " << n;
    if (!f) return e;
    for (int p = 0; e->Pages() && p < e->Pages()->count(); ++p)
        if (e->Pages()->page(p)->isAncestorOf(f) && e->Pages()->currentIndex() != p)
            e->Pages()->setCurrentIndex(p);
    f->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(f->hasFocus()) << "field " << n;
    return f;
}

QWidget* Focused() {
    return QApplication::focusWidget();
}

void Activate(QWidget* w) {
    QApplication::setActiveWindow(w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
}

// The same form filled in by its document and rules alone: what the editor must have stored.
std::unique_ptr<FormDocument> Filled(const QString& type, const QString& series, const QString& values,
                                     const QString& rules) {
    auto doc = FormDocument::create(type);
    doc->ExpandSeries(series);
    doc->ApplyDocumentText(values);
    RuleEngine engine(*doc);
    engine.LoadRules(rules);
    engine.Recalculate();
    return doc;
}
QString Computed(const QString& type, const QString& series, const QString& values, const QString& rules) {
    return Filled(type, series, values, rules)->BuildDocumentText();
}

const QString kPit37Typed =
    QStringLiteral("1=44051401359\r\n5=2022\r\n6=1\r\n10=1\r\n12=Kowalski\r\n13=Jan\r\n"
                   "14=14.05.1944\r\n52=85000.5\r\n53=3000\r\n56=6500\r\n");
const QString kPitOTyped = QStringLiteral("1=44051401359\r\n4=1\r\n5=Kowalski\r\n6=Jan\r\n201=15232901234\r\n"
                                          "205=12\r\n301=17261001239\r\n305=12\r\n3000=1\r\n");

class RoadTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        main = std::make_unique<TfrmMain>();
        App.frmMain = main.get();
        App.frmListaZalacznikow = new TfrmListaZalacznikow(main.get());
        main->show();
        Activate(main.get());
        QTest::qWait(20); // the first show's work: company list, filter off
        // The menu tree: "PIT-37 (29)".
        QTreeWidgetItemIterator it(main->tv_Menu);
        while (*it && (*it)->text(0) != QStringLiteral("PIT-37 (29)"))
            ++it;
        ASSERT_NE(*it, nullptr);
        main->tv_Menu->setCurrentItem(*it);
        ASSERT_EQ(main->pg_1->currentWidget(), main->pg_PITY);
        ASSERT_EQ(main->pg_PITY->Action(), QStringLiteral("TFRMPIT_37"));
        ASSERT_FALSE(main->pg_PITY->FilterOn());
    }
    void TearDown() override {
        main.reset();
        DocumentsTest::TearDown();
    }
    QTableView* Grid() const { return main->pg_PITY->grd_Pity; }
    // Runs the script while the person works from the registry grid, which gets `key`.
    void Drive(ModalScript& script, int key) {
        Grid()->setFocus();
        script.start();
        PressKey(Grid(), key);
        EXPECT_TRUE(script.finished()) << "steps done: " << script.stepsDone();
        EXPECT_TRUE(main->OpenEditors.isEmpty());
    }

    std::unique_ptr<TfrmMain> main;
};

TEST_F(RoadTest, NewPit37WithPitOIsStoredAsTypedAndComputedAndOpensAgain) {
    QStringList openWhileEditing;
    ModalScript script;
    script.inModal(QStringLiteral("frmPit_37"), [&](QWidget* w) {
        auto* e = static_cast<FormEditorWindow*>(w);
        Activate(e);
        openWhileEditing = main->OpenEditors;
        EXPECT_TRUE(e->IsNew());
        EXPECT_TRUE(e->FieldWidget(1)->hasFocus()); // the identifier waits first
        TypeText(Focused(), QStringLiteral("44051401359"));
        TypeText(Field(e, 5), QStringLiteral("22"));
        PressKey(Field(e, 6), Qt::Key_Space);
        PressKey(Field(e, 10), Qt::Key_Space);
        TypeText(Field(e, 12), QStringLiteral("Kowalski"));
        PressKey(Focused(), Qt::Key_Return);
        TypeText(Focused(), QStringLiteral("Jan"));
        PressKey(Focused(), Qt::Key_Return);
        TypeText(Focused(), QStringLiteral("14051944"));
        PressKey(Focused(), Qt::Key_Return);
        TypeText(Field(e, 52), QStringLiteral("85000,50"));
        PressKey(Focused(), Qt::Key_Return);
        TypeText(Focused(), QStringLiteral("3000"));
        PressKey(Focused(), Qt::Key_Return);
        EXPECT_EQ(Focused(), e->FieldWidget(56)); // the computed boxes are passed over
        TypeText(Focused(), QStringLiteral("6500"));
        PressKey(Focused(), Qt::Key_Return);
        EXPECT_EQ(e->Document().GetFieldText(54), QStringLiteral("82000.5"));
        EXPECT_EQ(qobject_cast<TMorvekCalcEdit*>(e->FieldWidget(54))->text(),
                  QStringLiteral("82\u00A0000.50"));
        // "&Edytuj załączniki": the declaration is stored first, so the attachment has a master.
        QTest::keyClick(Focused(), Qt::Key_E, Qt::AltModifier);
    });
    script.when([] { return List() != nullptr; },
                [&] {
                    TfrmListaZalacznikow* l = List();
                    Activate(l);
                    EXPECT_EQ(l->windowTitle(), QStringLiteral("Załączniki do zeznania PIT-37"));
                    EXPECT_FALSE(Editor(QStringLiteral("frmPit_37")));
                    EXPECT_EQ(dane->Forms().current()->FOR_TYP,
                              QStringLiteral("TFRMPIT_37")); // saved in between
                    EXPECT_EQ(l->Model->rowCount(), 0);
                    PressKey(l->grd_Zalaczniki, Qt::Key_Insert);
                });
    script.when([] { return List() && QApplication::activePopupWidget() == List()->pm_Nowy; },
                [] {
                    QMenu* menu = List()->pm_Nowy;
                    QStringList captions;
                    for (QAction* a : menu->actions())
                        captions << a->text();
                    EXPECT_EQ(captions, (QStringList{"PIT-O", "PIT-D", "PIT-2K", "ORD-ZU"}));
                    PressKey(menu, Qt::Key_Down);
                    PressKey(menu, Qt::Key_Return);
                });
    script.inModal(QStringLiteral("frmPit_O"), [&](QWidget* w) {
        auto* e = static_cast<FormEditorWindow*>(w);
        Activate(e);
        EXPECT_TRUE(e->IsAttachment());
        EXPECT_FALSE(e->findChild<QWidget*>(QStringLiteral("Panel5"))->isVisible());
        EXPECT_EQ(main->OpenEditors, (QStringList{"FRMPIT_37", "FRMPIT_O"}));
        TypeText(Focused(), QStringLiteral("44051401359"));
        TypeText(Field(e, 4), QStringLiteral("1"));
        TypeText(Field(e, 5), QStringLiteral("Kowalski"));
        PressKey(Focused(), Qt::Key_Return);
        TypeText(Focused(), QStringLiteral("Jan"));
        PressKey(Focused(), Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(e->Pages()->currentIndex(), e->Pages()->count() - 1);
        auto* add = e->findChild<QPushButton*>(QStringLiteral("btn_2_add"));
        ASSERT_NE(add, nullptr);
        QTest::mouseClick(add, Qt::LeftButton);
        QTest::mouseClick(add, Qt::LeftButton);
        TypeText(Field(e, 201), QStringLiteral("15232901234"));
        TypeText(Field(e, 205), QStringLiteral("12"));
        TypeText(Field(e, 301), QStringLiteral("17261001239"));
        TypeText(Field(e, 305), QStringLiteral("12"));
        PressKey(Field(e, 3000), Qt::Key_Space);
        EXPECT_EQ(e->Document().GetFieldText(1012), QStringLiteral("2224.08"));
        PressKey(Focused(), Qt::Key_F2);
    });
    script.when(
        [] { return List() && !Editor(QStringLiteral("frmPit_O")) && List()->Model->rowCount() == 1; },
        [] {
            TfrmListaZalacznikow* l = List();
            EXPECT_EQ(TFormsModel::CellText(*l->Model->RowAt(0), QStringLiteral("C_FOR_TYP")),
                      QStringLiteral("PIT-O"));
            EXPECT_EQ(TFormsModel::CellText(*l->Model->RowAt(0), QStringLiteral("C_FOR_NAZIMIE")),
                      QStringLiteral("Kowalski Jan"));
            PressKey(l->grd_Zalaczniki, Qt::Key_Escape);
        });
    script.when([] { return !List() && Editor(QStringLiteral("frmPit_37")); },
                [] { PressKey(Editor(QStringLiteral("frmPit_37")), Qt::Key_F2); });
    Drive(script, Qt::Key_Insert);
    EXPECT_EQ(openWhileEditing, QStringList{"FRMPIT_37"});
    EXPECT_TRUE(interaction.boxes.isEmpty());

    // Stored and committed: exactly what was typed, and what the rules make of it.
    const QList<FormRow> rows = Committed();
    ASSERT_EQ(rows.size(), 2);
    const FormRow& pit37 = rows[0];
    const FormRow& pitO = rows[1];
    EXPECT_EQ(pit37.FOR_TYP, QStringLiteral("TFRMPIT_37"));
    EXPECT_FALSE(pit37.FOR_MASTER_ID.has_value());
    EXPECT_EQ(pit37.FOR_NIP, QStringLiteral("44051401359"));
    EXPECT_EQ(pit37.FOR_NAZWISKO, QStringLiteral("Kowalski"));
    EXPECT_EQ(pit37.FOR_IMIE, QStringLiteral("Jan"));
    EXPECT_EQ(pit37.FOR_KOREKTA, std::optional<int>(0));
    EXPECT_EQ(pit37.FOR_DATA_WYPELNIENIA, QDate::currentDate());
    EXPECT_EQ(pit37.FOR_DANE, Computed(QStringLiteral("TFRMPIT_37"), QString(), kPit37Typed,
                                       QStringLiteral("FRMPIT_37.EXP")));
    EXPECT_EQ(pitO.FOR_TYP, QStringLiteral("TFRMPIT_O"));
    EXPECT_EQ(pitO.FOR_MASTER_ID, std::optional<int>(pit37.FOR_ID));
    const auto expectedO = Filled(QStringLiteral("TFRMPIT_O"), QStringLiteral("0;2;"), kPitOTyped,
                                  QStringLiteral("FRMPIT_O.EXP"));
    EXPECT_EQ(pitO.FOR_SERIES, expectedO->keyValues().series); // no donees, two children
    EXPECT_EQ(pitO.FOR_DANE, expectedO->BuildDocumentText());
    EXPECT_TRUE(pitO.FOR_DANE.contains(QStringLiteral("\r\n1012=2224.08\r\n")));

    // Found in the list, and opened again as it was left.
    ASSERT_EQ(main->pg_PITY->Model->rowCount(), 1);
    EXPECT_EQ(TFormsModel::CellText(*main->pg_PITY->Model->RowAt(0), QStringLiteral("C_FOR_NAZIMIE")),
              QStringLiteral("Kowalski Jan"));
    ModalScript reopen;
    reopen.inModal(QStringLiteral("frmPit_37"), [](QWidget* w) {
        auto* e = static_cast<FormEditorWindow*>(w);
        EXPECT_FALSE(e->IsNew());
        EXPECT_FALSE(e->IsModified());
        EXPECT_EQ(qobject_cast<TMorvekCalcEdit*>(e->FieldWidget(54))->text(),
                  QStringLiteral("82\u00A0000.50"));
        EXPECT_EQ(e->Document().GetFieldText(13), QStringLiteral("Jan"));
        PressKey(e, Qt::Key_Escape); // nothing changed: no question
    });
    Drive(reopen, Qt::Key_Return);
    EXPECT_TRUE(interaction.boxes.isEmpty());
    EXPECT_EQ(Committed()[0].FOR_DANE, pit37.FOR_DANE);
}

TEST_F(RoadTest, CancelAfterAnIntermediateSaveLeavesTheStoreAsItWas) {
    // A stored PIT-37 with its PIT/O, as the first road left them.
    auto decl = FormDocument::create(QStringLiteral("TFRMPIT_37"));
    decl->ApplyDocumentText(kPit37Typed);
    const int id = Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("Kowalski"), std::nullopt,
                          decl->BuildDocumentText(), QStringLiteral("uwaga"), QStringLiteral("notatki"));
    Insert(QStringLiteral("TFRMPIT_O"), QStringLiteral("Kowalski"), id,
           Computed(QStringLiteral("TFRMPIT_O"), QStringLiteral("0;2;"), kPitOTyped,
                    QStringLiteral("FRMPIT_O.EXP")));
    Commit();
    main->pg_PITY->RequeryDocuments();
    const QList<FormRow> before = Committed();

    ModalScript script;
    script.inModal(QStringLiteral("frmPit_37"), [](QWidget* w) {
        auto* e = static_cast<FormEditorWindow*>(w);
        Activate(e);
        EXPECT_EQ(e->Notes(), QStringLiteral("notatki"));
        QWidget* revenue = Field(e, 52);
        PressKey(revenue, Qt::Key_A, Qt::ControlModifier);
        TypeText(revenue, QStringLiteral("90000"));
        PressKey(revenue, Qt::Key_Tab);
        EXPECT_EQ(e->Document().GetFieldText(54), QStringLiteral("87000"));
        QTest::keyClick(Focused(), Qt::Key_E, Qt::AltModifier);
    });
    script.when([] { return List() != nullptr; },
                [&] {
                    TfrmListaZalacznikow* l = List();
                    Activate(l);
                    // The change is stored in between, inside the open transaction.
                    EXPECT_TRUE(
                        dane->Forms().current()->FOR_DANE.contains(QStringLiteral("\r\n52=90000\r\n")));
                    ASSERT_EQ(l->Model->rowCount(), 1);
                    interaction.boxAnswers = {BoxResult::Yes};
                    PressKey(l->grd_Zalaczniki, Qt::Key_Delete);
                    EXPECT_EQ(l->Model->rowCount(), 0);
                    PressKey(l->grd_Zalaczniki, Qt::Key_Escape);
                });
    script.when([] { return !List() && Editor(QStringLiteral("frmPit_37")); },
                [&] {
                    FormEditorWindow* e = Editor(QStringLiteral("frmPit_37"));
                    EXPECT_GT(e->SaveCount(), 0);
                    interaction.boxAnswers = {BoxResult::Yes}; // "bez zapisania zmian": yes
                    PressKey(e, Qt::Key_Escape);
                });
    Drive(script, Qt::Key_Return);
    ASSERT_FALSE(interaction.boxes.isEmpty());
    EXPECT_EQ(interaction.boxes.last().text,
              QStringLiteral("Czy na pewno chcesz zamknąć formularz bez zapisania zmian?"));

    const QList<FormRow> after = Committed();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(after[i].FOR_ID, before[i].FOR_ID);
        EXPECT_EQ(after[i].FOR_DANE, before[i].FOR_DANE);
        EXPECT_EQ(after[i].FOR_MASTER_ID, before[i].FOR_MASTER_ID);
        EXPECT_EQ(after[i].MODIFIED_AT, before[i].MODIFIED_AT);
    }
    // The list stays on the document, which the data module holds as stored.
    ASSERT_NE(dane->Forms().current(), nullptr);
    EXPECT_EQ(dane->Forms().current()->FOR_ID, id);
    EXPECT_EQ(dane->Forms().current()->FOR_DANE, before[0].FOR_DANE);
    EXPECT_EQ(dane->Zalaczniki().recordCount(), 1);
}

TEST_F(RoadTest, NewDocumentAbandonedAfterItsAttachmentListLeavesNothing) {
    ModalScript script;
    script.inModal(QStringLiteral("frmPit_37"), [](QWidget* w) {
        auto* e = static_cast<FormEditorWindow*>(w);
        Activate(e);
        TypeText(Field(e, 12), QStringLiteral("Porzucony"));
        QTest::keyClick(Focused(), Qt::Key_E, Qt::AltModifier);
    });
    script.when([] { return List() != nullptr; }, [] { PressKey(List()->grd_Zalaczniki, Qt::Key_Escape); });
    script.when([] { return !List() && Editor(QStringLiteral("frmPit_37")); },
                [&] {
                    interaction.boxAnswers = {BoxResult::Yes};
                    PressKey(Editor(QStringLiteral("frmPit_37")), Qt::Key_Escape);
                });
    Drive(script, Qt::Key_Insert);
    EXPECT_TRUE(Committed().isEmpty());
    EXPECT_EQ(main->pg_PITY->Model->rowCount(), 0);
}

} // namespace
