// The form editor window: building PIT-37 from its layout, recalculation on field exit, the
// keyboard, the close check, intermediate saves, the pickers, the test tools and the series.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/ui/AppWindows.h"
#include "app/util/Folders.h"
#include "forms/FormTypes.h"
#include "forms/rules/RuleEngine.h"
#include "forms/ui/FormEditor.h"
#include "forms/ui/MorvekCalcEdit.h"
#include "forms/ui/MorvekEdit.h"
#include "forms/ui/PageControl.h"
#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

namespace {

void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, ch.isDigit() ? Qt::Key_0 + ch.digitValue() : Qt::Key_unknown,
                        Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, Qt::Key(key), mods);
}

class FakeHost : public NullEditorHost {
public:
    bool textChanged = true;
    int saves = 0;
    QStringList pickedWith;
    bool accept = true;
    SaveResult SaveDocument(FormEditorWindow&, bool, bool) override {
        ++saves;
        return {true, textChanged};
    }
    bool PickTaxOffice(FormEditorWindow&, const QString& current, QString* code, QString* name) override {
        pickedWith << current;
        if (!accept) return false;
        *code = QStringLiteral("1471");
        *name = QStringLiteral("Pierwszy Urząd Skarbowy Warszawa-Śródmieście");
        return true;
    }
    bool PickOrganisation(FormEditorWindow&, const QString& current, QString* krs) override {
        pickedWith << current;
        if (!accept) return false;
        *krs = QStringLiteral("00000123456789");
        return true;
    }
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QGuiApplication::setQuitOnLastWindowClosed(false);
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        TestMode = false;
    }
    void TearDown() override {
        TestMode = false;
        SetAppFolder(QString());
    }

    std::unique_ptr<FormEditorWindow> Open(const QString& type = QStringLiteral("TFRMPIT_37"),
                                           EditorHost* host = nullptr) {
        auto w = FormEditorWindow::Create(type, host);
        Show(*w);
        return w;
    }
    void Show(FormEditorWindow& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    static TMorvekCalcEdit* Calc(FormEditorWindow& w, int n) {
        return qobject_cast<TMorvekCalcEdit*>(w.FieldWidget(n));
    }
    static TMorvekEdit* Edit(FormEditorWindow& w, int n) {
        return qobject_cast<TMorvekEdit*>(w.FieldWidget(n));
    }
    // Puts the focus into field n, on whichever page it stands.
    static void Enter(FormEditorWindow& w, int n) {
        QWidget* f = w.FieldWidget(n);
        ASSERT_NE(f, nullptr);
        for (int p = 0; w.Pages() && p < w.Pages()->count(); ++p)
            if (w.Pages()->page(p)->isAncestorOf(f)) w.Pages()->setCurrentIndex(p);
        f->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(f->hasFocus());
    }

    QTemporaryDir dir;
    ScriptedInteraction interaction;
};

TEST_F(EditorTest, OpensPit37WithEveryNumberedControlInItsPlace) {
    auto w = Open();
    EXPECT_EQ(w->objectName(), "frmPit_37");
    EXPECT_EQ(w->windowTitle(), "Formularz PIT-37");

    int numbered = 0;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (c->property("Tag").toInt() > 0) ++numbered;
    EXPECT_EQ(numbered, 184);
    for (int i = 0; i < w->Document().fieldCount(); ++i) {
        const FormField* f = w->Document().fieldAt(i);
        QWidget* c = w->FieldWidget(f->number());
        ASSERT_NE(c, nullptr) << f->number();
        EXPECT_EQ(c->toolTip(), QStringLiteral("Pole %1").arg(f->number()));
        EXPECT_EQ(c->isEnabled(), !f->def().calculated) << f->number();
    }

    ASSERT_NE(w->Pages(), nullptr);
    EXPECT_EQ(w->Pages()->objectName(), "Pages");
    ASSERT_EQ(w->Pages()->count(), 5);
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(w->Pages()->pageButton(p)->text(), QStringLiteral("Strona%1").arg(p + 1));
    EXPECT_EQ(w->Pages()->currentIndex(), 0);
    // Page one opens with the title and the tax year; the focus waits in field 1.
    auto* title = w->findChild<QLabel*>(QStringLiteral("lblTitle"));
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->text().startsWith("PIT-37 (29) Zeznanie o wysokości osiągniętego dochodu"));
    EXPECT_TRUE(w->Pages()->page(0)->isAncestorOf(w->FieldWidget(5)));
    EXPECT_TRUE(w->FieldWidget(1)->hasFocus());

    for (const char* name : {"btn_Zapisz", "btn_Porzuc", "btn_Drukuj", "btn_Notatka", "btn_PobierzDane",
                             "Panel5", "btn_PodgladXML", "btn_PobUS", "btn_PobOPP"})
        EXPECT_NE(w->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(w->findChild<QPushButton*>("btn_Zapisz")->text(), "&Zapisz");
    EXPECT_EQ(w->findChild<QPushButton*>("btn_Drukuj")->text(), "&Drukuj F8");
    EXPECT_FALSE(w->findChild<QPushButton*>("btn_PodgladXML")->isEnabled());
    QPlainTextEdit* hint = w->ErrorHint();
    EXPECT_EQ(hint->objectName(), "ErrorHintControl1");
    EXPECT_TRUE(hint->isReadOnly());
    EXPECT_EQ(hint->focusPolicy(), Qt::NoFocus);
    EXPECT_GE(hint->minimumHeight(), 50);
    // The test tools belong to /TEST only.
    EXPECT_FALSE(w->findChild<QCheckBox*>("chk_NieObliczaj")->isVisible());
    TestMode = true;
    auto t = Open();
    for (const char* name : {"btn_Test", "chk_NieObliczaj", "btn_Czysc"})
        EXPECT_TRUE(t->findChild<QWidget*>(QString::fromLatin1(name))->isVisible()) << name;
}

TEST_F(EditorTest, LeavingAFieldRecalculatesTheForm) {
    auto w = Open();
    Enter(*w, 52);
    Type(w->FieldWidget(52), "10000,50");
    Key(Qt::Key_Return);
    EXPECT_TRUE(w->FieldWidget(53)->hasFocus()); // Enter moves on
    Type(w->FieldWidget(53), "2500");
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Document().GetFieldText(54), "7500.5");
    EXPECT_EQ(w->Document().GetFieldText(55), "0");
    EXPECT_EQ(Calc(*w, 54)->text(), QStringLiteral("7\u00A0500.50"));
    EXPECT_EQ(Calc(*w, 55)->text(), "");
    EXPECT_EQ(Calc(*w, 52)->text(), QStringLiteral("10\u00A0000.50"));

    // A click on a check box recalculates at once: the spouse's address copies the taxpayer's.
    Enter(*w, 22);
    Type(w->FieldWidget(22), "Warszawa");
    auto* copy = qobject_cast<QCheckBox*>(w->FieldWidget(1000));
    ASSERT_NE(copy, nullptr);
    QTest::mouseClick(copy, Qt::LeftButton, Qt::NoModifier, QPoint(6, copy->height() / 2));
    EXPECT_EQ(w->Document().GetFieldText(1000), "1");
    EXPECT_EQ(Edit(*w, 34)->text().toUpper(), "WARSZAWA");
}

TEST_F(EditorTest, CalculatedFieldsRefuseTypingButShowWhatTheRulesWrite) {
    auto w = Open();
    TMorvekCalcEdit* income = Calc(*w, 54);
    ASSERT_NE(income, nullptr);
    EXPECT_FALSE(income->isEnabled());
    EXPECT_EQ(income->palette().color(QPalette::Disabled, QPalette::Base), income->colorDisabled());
    income->setFocus();
    EXPECT_FALSE(income->hasFocus());
    Type(income, "123");
    EXPECT_EQ(w->Document().GetFieldText(54), "0");
    w->Document().SetFieldText(54, "15.5");
    EXPECT_EQ(income->text(), "15.50");
}

TEST_F(EditorTest, PageKeysMoveBetweenPagesWithoutWrapping) {
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int page;
    } steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 1},      {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::ControlModifier, 4}, {Qt::Key_PageDown, Qt::NoModifier, 4},
        {Qt::Key_PageUp, Qt::NoModifier, 3},        {Qt::Key_PageUp, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 0},
    };
    auto w = Open();
    for (const auto& s : steps) {
        Key(s.key, s.mods);
        EXPECT_EQ(w->Pages()->currentIndex(), s.page);
        // The keyboard carries on in the first field of the page.
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(w->Pages()->page(s.page)->isAncestorOf(focus));
    }
    w->GoToPage(7);
    EXPECT_EQ(w->Pages()->currentIndex(), 0);
    w->GoToPage(3);
    EXPECT_EQ(w->Pages()->currentIndex(), 3);
}

TEST_F(EditorTest, EnterUpAndDownMoveFromControlToControl) {
    auto w = Open();
    EXPECT_TRUE(w->FieldWidget(1)->hasFocus());
    Key(Qt::Key_Down);
    EXPECT_TRUE(w->FieldWidget(2)->hasFocus());
    Key(Qt::Key_Up);
    EXPECT_TRUE(w->FieldWidget(1)->hasFocus());
    Key(Qt::Key_Up); // field 5 stands beside the title, above field 1
    EXPECT_TRUE(w->FieldWidget(5)->hasFocus());
    // Enter on the last control of a page continues on the next page.
    Enter(*w, 35);
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Pages()->currentIndex(), 1);
    EXPECT_TRUE(w->FieldWidget(36)->hasFocus());
}

TEST_F(EditorTest, BezExprStopsTheRules) {
    TestMode = true;
    auto w = Open();
    auto* chk = w->findChild<QCheckBox*>("chk_NieObliczaj");
    ASSERT_NE(chk, nullptr);
    chk->setChecked(true);
    Enter(*w, 52);
    Type(w->FieldWidget(52), "1000");
    Key(Qt::Key_Tab);
    EXPECT_EQ(w->Document().GetFieldText(54), "0");
    chk->setChecked(false);
    Key(Qt::Key_Tab);
    EXPECT_EQ(w->Document().GetFieldText(54), "1000");
}

TEST_F(EditorTest, ModifiedCheck) {
    const struct {
        const char* what;
        bool stored;
        int field;
        QString typed;
        bool modified;
    } cases[] = {
        {"new, untouched", false, 0, "", false},          {"new, a surname", false, 12, "KOWALSKA", true},
        {"new, an amount only", false, 44, "1500", true}, // typed work is never dropped silently
        {"stored, untouched", true, 0, "", false},        {"stored, an amount", true, 44, "1500", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = Open();
        if (c.stored) {
            w->SetIsNew(false);
            w->SetStoredText(w->Document().BuildDocumentText());
        }
        if (c.field) {
            Enter(*w, c.field);
            Type(w->FieldWidget(c.field), c.typed);
        }
        EXPECT_EQ(w->IsModified(), c.modified);
    }
}

TEST_F(EditorTest, EscAsksBeforeDroppingChanges) {
    const struct {
        const char* what;
        bool change;
        QList<BoxResult> answers;
        int questions;
        bool closed;
    } cases[] = {
        {"nothing changed", false, {}, 0, true},
        {"changed, No", true, {BoxResult::No}, 1, false},
        {"changed, Cancel", true, {BoxResult::Cancel}, 1, false},
        {"changed, Yes", true, {BoxResult::Yes}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedInteraction answers;
        answers.boxAnswers = c.answers;
        auto w = Open();
        if (c.change) Type(w->FieldWidget(1), "12345678903");
        Key(Qt::Key_Escape);
        ASSERT_EQ(answers.boxes.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(answers.boxes[0].text, "Czy na pewno chcesz zamknąć formularz bez zapisania zmian?");
            EXPECT_EQ(answers.boxes[0].caption, "Uwaga!");
            EXPECT_EQ(answers.boxes[0].kind, BoxYesNoCancel);
        }
        EXPECT_EQ(!w->isVisible(), c.closed);
        if (c.closed) {
            EXPECT_EQ(w->result(), QDialog::Rejected);
        }
    }
}

TEST_F(EditorTest, PrintingSavesFirstAndThenTheCloseCheckAlwaysAsks) {
    FakeHost host;
    auto w = Open(QStringLiteral("TFRMPIT_37"), &host);
    EXPECT_TRUE(w->IsNew());
    Key(Qt::Key_F8);
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(w->SaveCount(), 1);
    EXPECT_FALSE(w->IsNew());
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].text, "Brak skryptów wydruku.");
    // Nothing changed since printing, but what printing stored is rolled back on Esc: ask.
    interaction.boxAnswers = {BoxResult::No};
    Key(Qt::Key_Escape);
    EXPECT_EQ(interaction.boxes.size(), 2);
    EXPECT_TRUE(w->isVisible());
    // F2 saves: recalculates and closes with OK, no question.
    Enter(*w, 52);
    Type(w->FieldWidget(52), "300");
    Key(Qt::Key_F2);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(w->Document().GetFieldText(54), "300");
    EXPECT_EQ(interaction.boxes.size(), 2);
}

TEST_F(EditorTest, PickersFillTheirFieldsOnlyWhenAccepted) {
    FakeHost host;
    auto w = Open(QStringLiteral("TFRMPIT_37"), &host);
    auto* office = w->findChild<QPushButton*>("btn_PobUS");
    auto* opp = w->findChild<QPushButton*>("btn_PobOPP");
    ASSERT_TRUE(office && opp);

    w->Document().SetFieldText(509, "12");
    office->click();
    EXPECT_EQ(w->Document().GetFieldText(509), "1471");
    EXPECT_EQ(Edit(*w, 509)->text(), "1471");
    EXPECT_EQ(Edit(*w, 9)->text(), QStringLiteral("Pierwszy Urząd Skarbowy Warszawa-Śródmieście"));
    office->click(); // now positioned on the code the field holds
    opp->click();
    EXPECT_EQ(w->Document().GetFieldText(147), "0000012345"); // at most ten characters
    EXPECT_EQ(host.pickedWith, QStringList({"", "1471", ""}));

    host.accept = false;
    w->Document().SetFieldText(509, "0202");
    office->click();
    opp->click();
    EXPECT_EQ(w->Document().GetFieldText(509), "0202");
    EXPECT_EQ(w->Document().GetFieldText(147), "0000012345");
    EXPECT_EQ(host.pickedWith.mid(3), QStringList({"0202", "0000012345"}));
}

TEST_F(EditorTest, TestToolsFillNumbersAndClear) {
    auto w = Open();
    w->FillWithFieldNumbers();
    EXPECT_EQ(Calc(*w, 44)->text(), "44.00");
    EXPECT_EQ(Edit(*w, 12)->text(), "12");
    EXPECT_EQ(w->Document().GetFieldText(6), "0"); // a radio button takes only "1"
    w->ClearFields();
    EXPECT_EQ(Calc(*w, 44)->text(), "");
    EXPECT_EQ(Edit(*w, 12)->text(), "");
    EXPECT_EQ(Edit(*w, 14)->text(), "__.__.____");
}

TEST_F(EditorTest, EveryFormWithALayoutOpensWithAControlPerField) {
    int opened = 0;
    for (const FormType& type : AllFormTypes()) {
        if (LayoutFilePath(type.layoutName()).isEmpty()) continue;
        SCOPED_TRACE(type.className.toStdString());
        auto w = Open(type.typeCode());
        ++opened;
        EXPECT_EQ(w->objectName(), type.className.mid(1));
        for (int i = 0; i < w->Document().fieldCount(); ++i)
            EXPECT_NE(w->FieldWidget(w->Document().fieldAt(i)->number()), nullptr)
                << w->Document().fieldAt(i)->number();
        const bool hasRules =
            !FindDataFile(QStringLiteral("EXPR/") + type.windowName() + QStringLiteral(".EXP")).isEmpty();
        EXPECT_EQ(!w->Engine().Rules().isEmpty(), hasRules);
        for (const SeriesDef& s : w->Document().layout().series) {
            w->AddSeriesRow(QStringLiteral("btn_%1_add").arg(s.k));
            EXPECT_NE(w->findChild<QWidget*>(QStringLiteral("seriesPnl_%1_1").arg(s.k)), nullptr);
        }
    }
    EXPECT_GE(opened, 1);
}

TEST_F(EditorTest, DamagedInputNeverCrashesTheEditor) {
    EXPECT_THROW(FormEditorWindow::Create(QStringLiteral("TFRMNIEMA")), LayoutError);
    auto w = Open();
    w->Engine().SetRules({"54=[52", "IF [52 THEN", "54=", "=", "ERROR1=IF(", "ITERATION=1;2", "55=[52]*2"});
    Enter(*w, 52);
    Type(w->FieldWidget(52), "10");
    Key(Qt::Key_Tab);
    EXPECT_EQ(w->Document().GetFieldText(55), "20"); // the good line still runs
    EXPECT_EQ(w->ErrorHint()->toPlainText(), "");
}

// A small form of our own with one series, a memo and a sum over the rows.
class SeriesEditorTest : public EditorTest {
protected:
    std::unique_ptr<FormEditorWindow> OpenFixture() {
        auto layout = std::make_shared<FormLayout>(FormLayout::parse(
            QStringLiteral("form frmTest \"TEST (1) Formularz próbny\"\n"
                           "page \"Strona1\"\n"
                           "field 1 masked mask=\"99999999999;1;_\" max=11 key=IDEN1 \"NIP\"\n"
                           "field 1000 count key=SERIA \"Liczba wierszy\"\n"
                           "series 1 count=1000 \"C.@. Wiersz (@)\"\n"
                           "field 11 text \"Nazwa\"\n"
                           "field 12 amount \"Kwota\"\n"
                           "endseries\n"
                           "field 50 amount calc \"Razem\"\n"
                           "field 60 memo \"Uwagi\"\n"
                           "field 61 text \"Po uwagach\"\n")));
        EditorEntry entry;
        entry.objectName = QStringLiteral("frmTest");
        entry.windowName = QStringLiteral("FRMTEST");
        entry.caption = QStringLiteral("Formularz TEST");
        auto w = std::make_unique<FormEditorWindow>(std::make_unique<FormDocument>(layout), entry);
        Show(*w);
        w->Engine().SetRules({"50=DYNSUM([112],100,seriesCountEdt_1)"});
        return w;
    }
    static QWidget* Panel(FormEditorWindow& w, int k, int i) {
        return w.findChild<QWidget*>(QStringLiteral("seriesPnl_%1_%2").arg(k).arg(i));
    }
};

TEST_F(SeriesEditorTest, DodajAndUsunAddAndRemoveRows) {
    auto w = OpenFixture();
    auto* add = w->findChild<QPushButton*>("btn_1_add");
    auto* remove = w->findChild<QPushButton*>("btn_1_Remove");
    ASSERT_TRUE(add && remove);
    EXPECT_EQ(add->text(), "Dodaj");
    EXPECT_EQ(remove->text(), QStringLiteral("Usuń"));
    QWidget* tpl = w->findChild<QWidget*>("seriesPnl_1");
    ASSERT_NE(tpl, nullptr);
    EXPECT_FALSE(tpl->isVisible());

    add->click();
    add->click();
    ASSERT_NE(Panel(*w, 1, 1), nullptr);
    ASSERT_NE(Panel(*w, 1, 2), nullptr);
    EXPECT_TRUE(Panel(*w, 1, 2)->isVisible());
    EXPECT_EQ(w->findChild<TMorvekCalcEdit*>("seriesCountEdt_1")->text(), "2");
    bool captioned = false;
    for (QLabel* l : Panel(*w, 1, 2)->findChildren<QLabel*>())
        captioned |= l->text() == "C.2. Wiersz (2)";
    EXPECT_TRUE(captioned);
    ASSERT_NE(Calc(*w, 212), nullptr);
    EXPECT_TRUE(Panel(*w, 1, 2)->isAncestorOf(w->FieldWidget(212)));

    Enter(*w, 112);
    Type(w->FieldWidget(112), "10");
    Key(Qt::Key_Return);
    EXPECT_TRUE(w->FieldWidget(211)->hasFocus()); // the next row follows the first
    Type(w->FieldWidget(211), "Druga");
    Key(Qt::Key_Return);
    Type(w->FieldWidget(212), "5,25");
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Document().GetFieldText(50), "15.25");

    remove->click();
    EXPECT_EQ(Panel(*w, 1, 2), nullptr);
    EXPECT_EQ(w->FieldWidget(212), nullptr);
    EXPECT_EQ(w->Document().GetFieldText(50), "10"); // removing recalculates
    remove->click();
    remove->click(); // nothing left: only the recalculation
    EXPECT_EQ(Panel(*w, 1, 1), nullptr);
    EXPECT_EQ(w->Document().GetFieldText(50), "0");
    EXPECT_EQ(w->Document().GetFieldText(1000), "0");
}

TEST_F(SeriesEditorTest, TestToolsAndStoredRowsKeepTheSeriesInStep) {
    auto w = OpenFixture();
    w->ExpandSeries(QStringLiteral("2;"));
    ASSERT_NE(Panel(*w, 1, 2), nullptr);
    w->ExpandSeries(QStringLiteral("1;"));
    EXPECT_EQ(Panel(*w, 1, 2), nullptr);
    ASSERT_NE(Panel(*w, 1, 1), nullptr);

    w->FillWithFieldNumbers();
    EXPECT_EQ(Edit(*w, 111)->text(), "111");
    EXPECT_EQ(Calc(*w, 112)->text(), "112.00");
    EXPECT_EQ(Edit(*w, 11)->text(), ""); // the hidden template keeps its values
    EXPECT_EQ(w->Document().GetFieldText(1000), "1");
    w->ClearFields();
    EXPECT_EQ(Edit(*w, 111)->text(), "");
    EXPECT_EQ(w->Document().GetFieldText(1000), "1"); // the row is still there, so is its count
    w->findChild<QPushButton*>("btn_1_add")->click();
    EXPECT_NE(Panel(*w, 1, 2), nullptr);
}

TEST_F(SeriesEditorTest, EnterInAMemoNeitherMovesNorBreaksTheLine) {
    auto w = OpenFixture();
    Enter(*w, 60);
    Type(w->FieldWidget(60), "ab");
    Key(Qt::Key_Return);
    EXPECT_TRUE(w->FieldWidget(60)->hasFocus());
    EXPECT_EQ(w->Document().GetFieldText(60), "ab");
    Key(Qt::Key_Down); // the memo keeps its arrows
    EXPECT_TRUE(w->FieldWidget(60)->hasFocus());
    Key(Qt::Key_Tab);
    EXPECT_TRUE(w->FieldWidget(61)->hasFocus());
}

} // namespace
