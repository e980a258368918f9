// The document windows on a real database: the registry page (filter, sorting, remark, copy,
// delete, refresh), the attachment list, the stored-document picker and the ledger company page.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

#include "DocumentsFixture.h"
#include "support/QtPrint.h"

#include "app/ui/AttachmentList.h"
#include "app/ui/CompanyPage.h"
#include "app/ui/FormsModel.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RegistryPage.h"
#include "app/ui/SelectFormWindow.h"
#include "app/ui/StoreEditing.h"
#include "app/util/CodePage.h"
#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "forms/ui/FormEditor.h"

namespace {

QStringList Column(const TFormsModel& model, int column) {
    QStringList cells;
    for (int r = 0; r < model.rowCount(); ++r)
        cells << model.data(model.index(r, column), Qt::DisplayRole).toString();
    return cells;
}

// Answers the remark question with `text` (or cancels it when null).
void AnswerRemark(ModalScript& script, const std::optional<QString>& text) {
    script.when([] { return qobject_cast<QInputDialog*>(QApplication::activeModalWidget()) != nullptr; },
                [text] {
                    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Notatka"));
                    EXPECT_EQ(dialog->labelText(), QStringLiteral("Wpisz treść notatki:"));
                    if (!text) {
                        dialog->reject();
                        return;
                    }
                    dialog->setTextValue(*text);
                    dialog->accept();
                });
}

class RegistryTest : public DocumentsTest {
protected:
    void SetFirma(int id, const QString& firma) {
        dane->BazaDanych().execute(dane->Transakcja(),
                                   QStringLiteral("update FORMS set FOR_FIRMA = ? where FOR_ID = ?"),
                                   {firma, id});
    }
};

TEST_F(RegistryTest, FilterAndSortingRequeryTheList) {
    const int kowalski = Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("KOWALSKI"));
    Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("NOWAK"), std::nullopt, {}, {}, {},
           QStringLiteral("5912345678"));
    Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("KOWALCZYK"));
    Insert(QStringLiteral("TFRMPIT_36"), QStringLiteral("ZIELIŃSKI"));
    Insert(QStringLiteral("TFRMPIT_O"), QStringLiteral("KOWALSKI"), kowalski); // an attachment: never listed
    SetFirma(kowalski, QStringLiteral("KOWAL"));
    Commit();

    TRegistryPage page(konfig);
    page.SetFilter(true);
    EXPECT_TRUE(page.FilterOn());
    EXPECT_FALSE(page.lbl_Filtr->isHidden());
    EXPECT_EQ(page.pnl_Filtr->height(), 80);
    page.ShowDocuments(QStringLiteral("TFRMPIT_37"));
    EXPECT_EQ(page.Model->rowCount(), 3);
    EXPECT_TRUE(page.btn_Nowy->isEnabled());
    EXPECT_EQ(page.Model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "NIP/PESEL");
    EXPECT_EQ(page.Model->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), "Kontekst KPR");

    // Identifier, surname and first name, in any letter case.
    page.ed_Filter->setText(QStringLiteral("kow"));
    EXPECT_EQ(page.Model->rowCount(), 2);
    page.ed_Filter->setText(QStringLiteral("59123"));
    EXPECT_EQ(Column(*page.Model, 1), QStringList{"NOWAK JAN"});
    page.ed_Filter->clear();
    // The company condition comes with the combo.
    dane->SetCompanyContext(QStringLiteral("KOWAL"));
    page.cbb_DlaFirm->setCurrentIndex(1);
    EXPECT_EQ(Column(*page.Model, 4), QStringList{"KOWAL"});
    // A type chosen in the tree keeps the condition the filter shows; all types: no "Nowy".
    page.ShowDocuments(QStringLiteral("TFRMPIT_ALL"));
    EXPECT_EQ(page.CompanyCondition(), QStringLiteral("KOWAL"));
    EXPECT_EQ(page.Model->rowCount(), 1);
    EXPECT_FALSE(page.btn_Nowy->isEnabled());
    page.cbb_DlaFirm->setCurrentIndex(0);
    page.ShowDocuments(QStringLiteral("TFRMPIT_ALL"));
    EXPECT_EQ(page.Model->rowCount(), 4);

    page.cbb_DlaFirm->setCurrentIndex(1);
    page.ed_Filter->setText(QStringLiteral("x"));
    page.SetFilter(false);
    EXPECT_TRUE(page.lbl_Filtr->isHidden());
    EXPECT_TRUE(page.ed_Filter->isHidden());
    EXPECT_EQ(page.ed_Filter->text(), QString());
    EXPECT_EQ(page.cbb_DlaFirm->currentIndex(), 0);
    EXPECT_EQ(page.CompanyCondition(), QString());
    EXPECT_LT(page.pnl_Filtr->height(), 80);
    EXPECT_EQ(page.Model->rowCount(), 4);

    // A new column sorts ascending, the same one again descending; the title turns green.
    page.ShowDocuments(QStringLiteral("TFRMPIT_37"));
    page.SortByColumn(1);
    EXPECT_EQ(dane->SortOrder(), QStringLiteral("FOR_NAZWISKO ASC"));
    EXPECT_EQ(konfig.Sortowanie, QStringLiteral("FOR_NAZWISKO ASC"));
    EXPECT_EQ(Column(*page.Model, 1), (QStringList{"KOWALCZYK JAN", "KOWALSKI JAN", "NOWAK JAN"}));
    EXPECT_EQ(page.Model->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(0, 128, 0));
    page.SortByColumn(1);
    EXPECT_EQ(dane->SortOrder(), QStringLiteral("FOR_NAZWISKO DESC"));
    EXPECT_EQ(Column(*page.Model, 1).first(), QStringLiteral("NOWAK JAN"));
    page.SortByColumn(2);
    EXPECT_EQ(dane->SortOrder(), QStringLiteral("FOR_TYP ASC"));
    EXPECT_FALSE(page.Model->headerData(1, Qt::Horizontal, Qt::ForegroundRole).isValid());
    page.SortByColumn(0);
    EXPECT_EQ(dane->SortOrder(), QStringLiteral("FOR_NIP ASC"));
    EXPECT_EQ(Column(*page.Model, 0).first(), QStringLiteral("44051401359"));
}

TEST_F(RegistryTest, CopyDeleteRemarkAndRefresh) {
    const int source = Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("KOWALSKI"), std::nullopt,
                              QStringLiteral("1=44051401359\r\n12=KOWALSKI\r\n"), QStringLiteral("uwaga"),
                              QStringLiteral("notatki"));
    SetFirma(source, QStringLiteral("KOWAL"));
    for (const char* type : {"TFRMPIT_O", "TFRMPIT_D", "TFRMPIT_2K"})
        Insert(QString::fromLatin1(type), QStringLiteral("KOWALSKI"), source,
               QStringLiteral("4=%1\r\n").arg(type));
    Commit();

    TRegistryPage page(konfig);
    page.ShowDocuments(QStringLiteral("TFRMPIT_37"));
    ASSERT_EQ(page.Model->rowCount(), 1);
    page.UtworzKopie();
    EXPECT_TRUE(interaction.boxes.isEmpty()); // no question
    ASSERT_EQ(page.Model->rowCount(), 2);

    const QList<FormRow> mains = Committed(QStringLiteral("FOR_MASTER_ID is null"));
    ASSERT_EQ(mains.size(), 2);
    const FormRow& copy = mains[1];
    EXPECT_EQ(dane->Forms().current()->FOR_ID, copy.FOR_ID); // the copy is the current row
    EXPECT_EQ(copy.FOR_DATA_WYPELNIENIA, QDate::currentDate());
    for (auto field : {&FormRow::FOR_TYP, &FormRow::FOR_NIP, &FormRow::FOR_NAZWISKO, &FormRow::FOR_DANE,
                       &FormRow::FOR_UWAGI, &FormRow::FOR_NOTATKI, &FormRow::FOR_FIRMA})
        EXPECT_EQ(copy.*field, mains[0].*field);
    QList<FormRow> copied = Committed(QStringLiteral("FOR_MASTER_ID = %1").arg(copy.FOR_ID));
    QList<FormRow> kept = Committed(QStringLiteral("FOR_MASTER_ID = %1").arg(source));
    const auto byType = [](const FormRow& a, const FormRow& b) { return a.FOR_TYP < b.FOR_TYP; };
    std::sort(copied.begin(), copied.end(), byType);
    std::sort(kept.begin(), kept.end(), byType);
    ASSERT_EQ(copied.size(), 3);
    ASSERT_EQ(kept.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copied[i].FOR_DANE, kept[i].FOR_DANE);
        EXPECT_EQ(copied[i].FOR_TYP, kept[i].FOR_TYP);
        EXPECT_EQ(copied[i].FOR_DATA_WYPELNIENIA, QDate(2023, 3, 1)); // attachments keep their dates
    }

    // Deleting asks first; No keeps the document.
    interaction.boxAnswers = {BoxResult::No};
    page.Usun();
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].kind, int(BoxYesNo));
    EXPECT_EQ(interaction.boxes[0].caption, QStringLiteral("Kasowanie dokumentu"));
    EXPECT_EQ(interaction.boxes[0].text,
              QStringLiteral("Wraz z dokumentem skojarzone z nim\nzałączniki zostaną "
                             "automatycznie usunięte.\nCzy na pewno usunąć wskazany dokument?"));
    EXPECT_EQ(Committed().size(), 8);
    interaction.boxAnswers = {BoxResult::Yes};
    page.Usun(); // the copy, current since it was made
    EXPECT_EQ(Committed().size(), 4);
    EXPECT_EQ(Committed(QStringLiteral("FOR_MASTER_ID is null")).first().FOR_ID, source);

    // The remark: cancelled changes nothing, accepted is committed.
    ModalScript script;
    AnswerRemark(script, std::nullopt);
    AnswerRemark(script, QStringLiteral("Do sprawdzenia"));
    script.start();
    page.Uwagi();
    page.Uwagi();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(Committed(QStringLiteral("FOR_ID = %1").arg(source)).first().FOR_UWAGI,
              QStringLiteral("Do sprawdzenia"));
    EXPECT_EQ(Column(*page.Model, 5), QStringList{"Do sprawdzenia"});

    // "Odśwież" drops what is pending.
    Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("NIEZAPISANY"));
    page.RequeryDocuments();
    EXPECT_EQ(page.Model->rowCount(), 2);
    page.Odswiez();
    EXPECT_EQ(page.Model->rowCount(), 1);

    // An empty list: the row buttons are off and do nothing.
    interaction.boxes.clear();
    page.ShowDocuments(QStringLiteral("TFRMPIT_38"));
    EXPECT_EQ(page.Model->rowCount(), 0);
    EXPECT_FALSE(page.btn_Usun->isEnabled());
    page.Usun();
    page.UtworzKopie();
    page.Uwagi();
    EXPECT_TRUE(interaction.boxes.isEmpty());
    EXPECT_EQ(Committed().size(), 4);
}

// ---------------------------------------------------------------------------------------------

TEST(AttachmentTypes, FromTheLineOfTheDeclaration) {
    const QString file = QStringLiteral("tfrmpit_36;TFRMPIT_B;tfrmpit_bm\r\nTFRMPIT_36L;TFRMPIT_Z\r\n"
                                        "TFRMPIT_37;TFRMPIT_O;TFRMORD_ZU\r\nTFRMPIT_4R\r\n");
    EXPECT_EQ(TfrmListaZalacznikow::AttachmentTypes(file, QStringLiteral("FRMPIT_36")),
              (QStringList{"TFRMPIT_B", "TFRMPIT_BM"}));
    // The first line that holds the name anywhere: PIT-36L's own line comes after PIT-36's.
    EXPECT_EQ(TfrmListaZalacznikow::AttachmentTypes(file, QStringLiteral("FRMPIT_36L")),
              QStringList{"TFRMPIT_Z"});
    EXPECT_EQ(TfrmListaZalacznikow::AttachmentTypes(file, QStringLiteral("frmPit_37")),
              (QStringList{"TFRMPIT_O", "TFRMORD_ZU"}));
    EXPECT_TRUE(TfrmListaZalacznikow::AttachmentTypes(file, QStringLiteral("FRMPIT_4R")).isEmpty());
    EXPECT_TRUE(TfrmListaZalacznikow::AttachmentTypes(file, QStringLiteral("FRMPIT_38")).isEmpty());
    EXPECT_EQ(TfrmListaZalacznikow::MenuCaption(QStringLiteral("TFRMPIT_O")), QStringLiteral("PIT-O"));
    EXPECT_EQ(TfrmListaZalacznikow::MenuCaption(QStringLiteral("TFRMPIT_BM")),
              QStringLiteral("PIT-B(Małżonek)"));
    EXPECT_EQ(TfrmListaZalacznikow::MenuCaption(QStringLiteral("TFRMORD_ZU")), QStringLiteral("ORD-ZU"));
}

class AttachmentListTest : public DocumentsTest {
protected:
    // The declaration of `id` as the current row of the document list.
    void Select(int id) {
        dane->QueryDocuments(QString(), QString(), QString(), QString());
        ASSERT_TRUE(dane->Forms().locate(id));
    }
    static TfrmListaZalacznikow* List() {
        return qobject_cast<TfrmListaZalacznikow*>(
            ModalScript::ActiveModal(QStringLiteral("frmListaZalacznikow")));
    }
    static void SelectRow(TfrmListaZalacznikow* list, int row) { SelectGridRow(list->grd_Zalaczniki, row); }
};

TEST_F(AttachmentListTest, NothingToShowIsSaidAndTheListStaysClosed) {
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("_BIN2022"));
    SetAppFolder(data.path());
    TfrmListaZalacznikow list;
    list.ShowAttachments(*dane, QStringLiteral("FRMPIT_37"));
    ASSERT_EQ(interaction.boxes.size(), 1); // no zalaczniki.dat: the file error
    EXPECT_EQ(interaction.boxes[0].kind, int(BoxError));
    EXPECT_TRUE(interaction.boxes[0].text.contains(QStringLiteral("zalaczniki.dat")));

    QFile f(data.filePath(QStringLiteral("_BIN2022/ZALACZNIKI.DAT")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("TFRMPIT_37\r\n");
    f.close();
    for (const char* name : {"FRMPIT_37", "FRMPIT_38"}) {
        interaction.boxes.clear();
        list.ShowAttachments(*dane, QString::fromLatin1(name));
        ASSERT_EQ(interaction.boxes.size(), 1) << name;
        EXPECT_EQ(interaction.boxes[0].text,
                  QStringLiteral("Dla tego typu dokumentu nie przewidziano załączników."));
        EXPECT_EQ(interaction.boxes[0].caption, QStringLiteral("Informacja"));
    }
    EXPECT_FALSE(list.isVisible());
}

TEST_F(AttachmentListTest, ChangesStayInTheDeclarationsTransaction) {
    const int pit36 = Insert(QStringLiteral("TFRMPIT_36"), QStringLiteral("KOWALSKI"));
    const int pitB = Insert(QStringLiteral("TFRMPIT_B"), QStringLiteral("KOWALSKI"), pit36,
                            QStringLiteral("1=44051401359\r\n111=Firma A\r\n211=Firma B\r\n"),
                            QStringLiteral("uwaga"), QStringLiteral("notatki"));
    Insert(QStringLiteral("TFRMPIT_O"), QStringLiteral("KOWALSKI"), pit36);
    Commit();
    const QList<FormRow> before = Committed();
    Select(pit36);

    TfrmListaZalacznikow list;
    ModalScript script;
    script.when([] { return List() != nullptr; },
                [&] {
                    TfrmListaZalacznikow* l = List();
                    EXPECT_EQ(l->windowTitle(), QStringLiteral("Załączniki do zeznania PIT-36"));
                    EXPECT_EQ(l->pm_Nowy->actions().size(), 26);
                    EXPECT_EQ(Column(*l->Model, 2), (QStringList{"PIT-B", "PIT-O"}));
                    // P/M switches PIT/B to the spouse's form and back; PIT/O has no spouse form.
                    SelectRow(l, 0);
                    l->btn_PM->click();
                    EXPECT_EQ(Column(*l->Model, 2), (QStringList{"PIT-B(Małżonek)", "PIT-O"}));
                    l->btn_PM->click();
                    EXPECT_EQ(Column(*l->Model, 2)[0], QStringLiteral("PIT-B"));
                    SelectRow(l, 1);
                    l->btn_PM->click();
                    EXPECT_EQ(dane->DocumentById(l->Model->RowAt(1)->FOR_ID)->FOR_TYP,
                              QStringLiteral("TFRMPIT_O"));

                    // A copy: the same form filled in the same way, today's, without notes and remark.
                    SelectRow(l, 0);
                    l->btn_Kopia->click();
                    ASSERT_EQ(l->Model->rowCount(), 3);
                    const FormRow* copy = l->Model->RowAt(l->grd_Zalaczniki->currentIndex().row());
                    ASSERT_NE(copy, nullptr);
                    EXPECT_NE(copy->FOR_ID, pitB);
                    EXPECT_EQ(copy->FOR_TYP, QStringLiteral("TFRMPIT_B"));
                    EXPECT_EQ(copy->FOR_DANE, before[1].FOR_DANE);
                    EXPECT_EQ(copy->FOR_MASTER_ID, std::optional<int>(pit36));
                    EXPECT_EQ(copy->FOR_DATA_WYPELNIENIA, QDate::currentDate());
                    EXPECT_EQ(copy->FOR_UWAGI, QString());
                    EXPECT_EQ(copy->FOR_NOTATKI, QString());
                    EXPECT_EQ(Column(*l->Model, 4), (QStringList{"uwaga", "", ""}));

                    // Deleting asks; No keeps the row, Yes takes it.
                    interaction.boxAnswers = {BoxResult::No, BoxResult::Yes};
                    PressKey(l->grd_Zalaczniki, Qt::Key_Delete);
                    EXPECT_EQ(l->Model->rowCount(), 3);
                    EXPECT_EQ(interaction.boxes.last().caption, QStringLiteral("Usuwanie dokumentu"));
                    EXPECT_EQ(interaction.boxes.last().text,
                              QStringLiteral("Czy na pewno usunąć wskazany dokument?"));
                    PressKey(l->grd_Zalaczniki, Qt::Key_Delete);
                    EXPECT_EQ(l->Model->rowCount(), 2);

                    // The export to the declaration is not there yet: it says so and changes nothing.
                    l->btn_EksportWszystkie->click();
                    EXPECT_EQ(interaction.boxes.last().caption, QStringLiteral("Informacja"));
                    l->btn_Zamknij->click();
                });
    script.start();
    list.ShowAttachments(*dane, QStringLiteral("FRMPIT_36"));
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(script.timedOut());

    // Nothing is committed by the list: the declaration's editor decides.
    dane->CommitAndRefresh(false);
    const QList<FormRow> after = Committed();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].FOR_TYP, before[i].FOR_TYP);
        EXPECT_EQ(after[i].FOR_UWAGI, before[i].FOR_UWAGI);
    }
}

TEST_F(AttachmentListTest, RemarkSurvivesEditingAndCopiesOpenWithoutTheSourcesNotes) {
    const int pit37 = Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("KOWALSKI"));
    auto pito = FormDocument::create(QStringLiteral("TFRMPIT_O"));
    pito->ApplyDocumentText(QStringLiteral("1=44051401359\r\n5=KOWALSKI\r\n6=JAN\r\n"));
    Insert(QStringLiteral("TFRMPIT_O"), QStringLiteral("KOWALSKI"), pit37, pito->BuildDocumentText(), {},
           QStringLiteral("notatki źródła"));
    Commit();
    Select(pit37);

    TfrmListaZalacznikow list;
    QString notesOfCopy = QStringLiteral("<not opened>");
    ModalScript script;
    script.when([] { return List() != nullptr; },
                [] {
                    TfrmListaZalacznikow* l = List();
                    SelectRow(l, 0);
                    l->btn_Uwagi->click(); // answered below
                });
    AnswerRemark(script, QStringLiteral("po zmianie"));
    // Back in the list with the remark shown: open the attachment and save it.
    script.when([] { return List() && Column(*List()->Model, 4) == QStringList{"po zmianie"}; },
                [] { PressKey(List()->grd_Zalaczniki, Qt::Key_Return); });
    script.inModal(QStringLiteral("frmPit_O"), [](QWidget* editor) {
        auto* e = static_cast<FormEditorWindow*>(editor);
        EXPECT_EQ(e->Notes(), QStringLiteral("notatki źródła"));
        e->Document().SetFieldText(3, QStringLiteral("NR-1"));
        e->findChild<QPushButton*>(QStringLiteral("btn_Zapisz"))->click();
    });
    script.when([] { return List() && !ModalScript::ActiveModal(QStringLiteral("frmPit_O")); },
                [] {
                    TfrmListaZalacznikow* l = List();
                    EXPECT_EQ(Column(*l->Model, 4), QStringList{"po zmianie"});
                    l->btn_Kopia->click();
                    PressKey(l->grd_Zalaczniki, Qt::Key_F2); // the copy is current
                });
    script.inModal(QStringLiteral("frmPit_O"), [&](QWidget* editor) {
        auto* e = static_cast<FormEditorWindow*>(editor);
        notesOfCopy = e->Notes();
        EXPECT_EQ(e->Document().GetFieldText(3), QStringLiteral("NR-1"));
        interaction.boxAnswers = {BoxResult::Yes}; // should the close question come
        e->reject();
    });
    script.when([] { return List() && !ModalScript::ActiveModal(QStringLiteral("frmPit_O")); },
                [] { List()->reject(); });
    script.start();
    list.ShowAttachments(*dane, QStringLiteral("FRMPIT_37"));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(notesOfCopy, QString());

    dane->CommitAndRefresh(true);
    const QList<FormRow> attachments = Committed(QStringLiteral("FOR_MASTER_ID = %1").arg(pit37));
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments[0].FOR_UWAGI, QStringLiteral("po zmianie"));
    EXPECT_EQ(attachments[0].FOR_NOTATKI, QStringLiteral("notatki źródła"));
    EXPECT_TRUE(attachments[0].FOR_DANE.contains(QStringLiteral("3=NR-1\r\n")));
    EXPECT_EQ(attachments[1].FOR_UWAGI, QString());
    EXPECT_EQ(attachments[1].FOR_NOTATKI, QString());
}

// ---------------------------------------------------------------------------------------------

TEST_F(DocumentsTest, StoredDocumentPickerGivesTheLinesOfTheChosenDocument) {
    Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("NOWAK"), std::nullopt,
           QStringLiteral("1=2\r\n12=NOWAK\r\n"));
    Insert(QStringLiteral("TFRMPIT_37"), QStringLiteral("ADAMSKI"), std::nullopt,
           QStringLiteral("12=ADAMSKI\r\n5=2022\r\n"));
    Insert(QStringLiteral("TFRMPIT_36"), QStringLiteral("BABACKI"));
    Commit();

    TfrmSelectForm picker;
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Wybierz dokument do pobrania"));
    picker.SetFormType(QStringLiteral("tfrmpit_37"));
    picker.SetCaptionText(QStringLiteral("PIT-37"));
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Wybierz formularz PIT-37"));
    EXPECT_EQ(picker.btn_Zatwierdz->text(), QStringLiteral("F2 Zatwierdź"));
    ModalScript script;
    script.inModal(QStringLiteral("frmSelectForm"), [&](QWidget*) {
        EXPECT_EQ(Column(*picker.Model, 1), (QStringList{"ADAMSKI JAN", "NOWAK JAN"}));
        SelectGridRow(picker.grd_Dokumenty, 1);
        PressKey(picker.grd_Dokumenty, Qt::Key_F2);
    });
    script.inModal(QStringLiteral("frmSelectForm"),
                   [&](QWidget*) { PressKey(picker.grd_Dokumenty, Qt::Key_Escape); });
    script.start();
    EXPECT_TRUE(picker.Execute());
    EXPECT_EQ(picker.Result, (QStringList{"1=2", "12=NOWAK"}));
    EXPECT_FALSE(picker.Execute());
    EXPECT_TRUE(picker.Result.isEmpty());
}

// ---------------------------------------------------------------------------------------------

class CompanyPageTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        ASSERT_TRUE(ledger.isValid());
        konfig.SciezkaKPR = ledger.path();
        konfig.KPR_PL = 0; // Mazovia, as the fixture
    }
    void WriteList(const QByteArray& bytes) {
        QFile f(ledger.filePath(QStringLiteral("spisfirm.dat")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray Fixture() {
        QFile f(QStringLiteral(SOURCE_ROOT "/tests/import/fixtures/spisfirm.dat"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QTemporaryDir ledger;
};

TEST_F(CompanyPageTest, OneCompanyIsChosenAtOnceMoreWaitForThePerson) {
    TCompanyPage page(konfig);
    QSignalSpy changed(&page, &TCompanyPage::companyChanged);
    page.LoadCompanyList(); // no file
    EXPECT_EQ(page.grd_Lista->rowCount(), 0);
    EXPECT_TRUE(interaction.boxes.isEmpty());

    WriteList(Fixture().left(103));
    page.LoadCompanyList();
    EXPECT_EQ(page.CompanyFolder(), QStringLiteral("LACKA"));
    EXPECT_EQ(dane->CompanyContext(), QStringLiteral("LACKA"));
    EXPECT_EQ(konfig.NazwaFirmy, QStringLiteral("Łącka Ewa - Usługi Księgowe"));
    EXPECT_EQ(konfig.KatalogFirmy, AddBackslash(ledger.path()) + QStringLiteral("LACKA/"));
    EXPECT_EQ(page.lbl_AktualnaFirma->text(), konfig.NazwaFirmy);
    EXPECT_EQ(changed.last()[1].toString(), QStringLiteral("LACKA"));

    WriteList(Fixture());
    page.LoadCompanyList();
    EXPECT_EQ(page.grd_Lista->rowCount(), 3);
    EXPECT_EQ(page.grd_Lista->item(2, 0)->text(), QStringLiteral("ŻÓŁW Sp. z o.o. (trzydzieści z"));
    EXPECT_EQ(page.CompanyFolder(), QString());
    EXPECT_EQ(dane->CompanyContext(), QString());
    EXPECT_EQ(konfig.KatalogFirmy, QString());
    page.ChooseCompany(1);
    EXPECT_EQ(dane->CompanyContext(), QStringLiteral("KOWAL"));
    page.btn_Odlacz->click();
    EXPECT_EQ(dane->CompanyContext(), QString());
    EXPECT_EQ(page.lbl_AktualnaFirma->text(), QString());

    // A damaged list: the error, the companies before the damage, none chosen.
    WriteList(Fixture().left(103 + 50));
    page.LoadCompanyList();
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].kind, int(BoxError));
    EXPECT_EQ(page.grd_Lista->rowCount(), 1);
    EXPECT_EQ(page.CompanyFolder(), QString());
}

TEST_F(CompanyPageTest, SearchChoosesAsTypedAndRefusesWhatMatchesNothing) {
    WriteList(Fixture());
    // The main window's pages read the program's settings.
    GlobalKonfig().SciezkaKPR = konfig.SciezkaKPR;
    GlobalKonfig().KPR_PL = konfig.KPR_PL;
    TfrmMain main;
    TCompanyPage& page = *main.pg_KPRList;
    page.LoadCompanyList();
    main.show();
    main.RunMenuAction(QStringLiteral("PG_KPRLIST"));
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_TRUE(page.grd_Lista->hasFocus());

    // Typing in the grid goes on in the search edit.
    TypeText(page.grd_Lista, QStringLiteral("ż"));
    EXPECT_TRUE(page.ed_SeekCompanyName->hasFocus());
    EXPECT_EQ(page.ed_SeekCompanyName->text(), QStringLiteral("ż"));
    EXPECT_EQ(page.CompanyFolder(), QStringLiteral("ZOLW"));
    EXPECT_EQ(main.pnl_CurrentCompany->text(),
              QStringLiteral(" Bieżąca firma: ŻÓŁW Sp. z o.o. (trzydzieści z, Katalog: ZOLW"));
    page.ed_SeekCompanyName->clear();
    TypeText(page.ed_SeekCompanyName, QStringLiteral("kow"));
    EXPECT_EQ(page.CompanyFolder(), QStringLiteral("KOWAL"));
    TypeText(page.ed_SeekCompanyName, QStringLiteral("x")); // matches nothing: taken back
    EXPECT_EQ(page.ed_SeekCompanyName->text(), QStringLiteral("kow"));
    EXPECT_EQ(page.CompanyFolder(), QStringLiteral("KOWAL"));

    // Enter goes to the first document list; leaving the edit empties it.
    PressKey(page.ed_SeekCompanyName, Qt::Key_Return);
    EXPECT_EQ(main.pg_1->currentWidget(), main.pg_PITY);
    EXPECT_EQ(main.CurrentAction, 2);
    EXPECT_EQ(main.pg_PITY->Action(), QStringLiteral("TFRMPIT_37"));
    EXPECT_EQ(page.ed_SeekCompanyName->text(), QString());

    page.Disconnect();
    EXPECT_EQ(main.pnl_CurrentCompany->text(), QStringLiteral(" Wybierz firmę Welkor ..."));
    main.close();
}

} // namespace
