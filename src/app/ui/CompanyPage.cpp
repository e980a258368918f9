#include "app/ui/CompanyPage.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ui/AppWindows.h"
#include "app/ui/MainWindow.h"
#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

TCompanyPage::TCompanyPage(TGlobalKonfig& konfig, QWidget* parent) : QWidget(parent), konfig_(konfig) {
    setObjectName(QStringLiteral("pg_KPRList"));

    auto* current = new QLabel(QStringLiteral("Aktualna firma:"), this);
    current->setObjectName(QStringLiteral("lbl_Aktualna"));
    lbl_AktualnaFirma = new QLabel(this);
    lbl_AktualnaFirma->setObjectName(QStringLiteral("lbl_AktualnaFirma"));
    QFont bold = lbl_AktualnaFirma->font();
    bold.setBold(true);
    lbl_AktualnaFirma->setFont(bold);
    btn_Odlacz = new QPushButton(QStringLiteral("&Odłącz się od bazy firm Welkor"), this);
    btn_Odlacz->setObjectName(QStringLiteral("btn_Odlacz"));
    btn_Odlacz->setAutoDefault(false);
    btn_Odswiez = new QPushButton(QStringLiteral("Odśwież"), this);
    btn_Odswiez->setObjectName(QStringLiteral("btn_Odswiez"));
    btn_Odswiez->setAutoDefault(false);
    btn_Odlacz->setMinimumWidth(btn_Odlacz->sizeHint().width() + 16);
    btn_Odswiez->setMinimumWidth(btn_Odswiez->sizeHint().width() + 24);

    auto* seek = new QLabel(QStringLiteral("Szukaj"), this);
    ed_SeekCompanyName = new QLineEdit(this);
    ed_SeekCompanyName->setObjectName(QStringLiteral("ed_SeekCompanyName"));
    ed_SeekCompanyName->setStyleSheet(QStringLiteral("QLineEdit:focus { background: #ffff80; }"));
    seek->setBuddy(ed_SeekCompanyName);

    grd_Lista = new QTableWidget(0, 3, this);
    grd_Lista->setObjectName(QStringLiteral("grd_Lista"));
    grd_Lista->setHorizontalHeaderLabels(
        {QStringLiteral("Firma"), QStringLiteral("Katalog"), QStringLiteral("Info")});
    grd_Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    grd_Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_Lista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grd_Lista->setTabKeyNavigation(false);
    grd_Lista->setWordWrap(false);
    grd_Lista->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grd_Lista->verticalHeader()->setDefaultSectionSize(20);
    grd_Lista->verticalHeader()->hide();
    grd_Lista->horizontalHeader()->setHighlightSections(false);
    grd_Lista->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QFont titles = grd_Lista->horizontalHeader()->font();
    titles.setBold(true);
    grd_Lista->horizontalHeader()->setFont(titles);
    {
        QPalette p = grd_Lista->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(g, QPalette::Highlight, QColor(0, 0, 128));
            p.setColor(g, QPalette::HighlightedText, Qt::white);
        }
        grd_Lista->setPalette(p);
    }
    grd_Lista->installEventFilter(this);
    grd_Lista->viewport()->installEventFilter(this);
    ed_SeekCompanyName->installEventFilter(this);

    auto* chosen = new QHBoxLayout;
    chosen->setSpacing(8);
    chosen->addWidget(current);
    chosen->addWidget(lbl_AktualnaFirma, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(btn_Odlacz);
    buttons->addWidget(btn_Odswiez);
    buttons->addStretch(1);
    auto* search = new QHBoxLayout;
    search->setSpacing(8);
    search->addWidget(seek);
    search->addWidget(ed_SeekCompanyName, 1);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 8);
    body->setSpacing(8);
    body->addLayout(chosen);
    body->addLayout(buttons);
    body->addLayout(search);
    body->addWidget(grd_Lista, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageTitle(QStringLiteral("Wybierz firmę Welkor"), this));
    layout->addLayout(body, 1);

    connect(btn_Odlacz, &QPushButton::clicked, this, &TCompanyPage::Disconnect);
    connect(btn_Odswiez, &QPushButton::clicked, this, &TCompanyPage::LoadCompanyList);
    connect(ed_SeekCompanyName, &QLineEdit::textChanged, this, &TCompanyPage::searchChanged);
    connect(grd_Lista, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!filling_ && row >= 0) ChooseCompany(row);
    });
    connect(grd_Lista, &QTableWidget::cellDoubleClicked, this, [this] { emit documentListRequested(); });
}

TDane* TCompanyPage::Store() const {
    return dane_ ? dane_ : App.Dane;
}

void TCompanyPage::setCompany(const QString& name, const QString& folder, const QString& path) {
    name_ = name;
    folder_ = folder;
    path_ = path;
    lbl_AktualnaFirma->setText(name);
    konfig_.KatalogFirmy = path;
    konfig_.NazwaFirmy = name;
    if (TDane* dane = Store()) dane->SetCompanyContext(folder);
    emit companyChanged(name, folder);
}

void TCompanyPage::ChooseCompany(int row) {
    if (row < 0 || row >= companies_.size()) {
        Disconnect();
        return;
    }
    const LedgerCompany& c = companies_[row];
    const QString root = AddBackslash(konfig_.SciezkaKPR);
    const QString path = c.folder.isEmpty() ? QString() : root + c.folder + root.back();
    setCompany(c.name, c.folder, path);
    if (grd_Lista->currentRow() != row) {
        filling_ = true;
        grd_Lista->setCurrentCell(row, 0);
        filling_ = false;
    }
}

void TCompanyPage::Disconnect() {
    filling_ = true;
    grd_Lista->setCurrentCell(-1, -1);
    grd_Lista->clearSelection();
    filling_ = false;
    setCompany(QString(), QString(), QString());
}

void TCompanyPage::LoadCompanyList() {
    filling_ = true;
    grd_Lista->setRowCount(0);
    companies_.clear();
    const LedgerCompanyList list = ReadCompanyListOf(konfig_.SciezkaKPR, konfig_.KPR_PL + 1);
    companies_ = list.companies;
    grd_Lista->setRowCount(int(companies_.size()));
    for (int i = 0; i < companies_.size(); ++i) {
        const LedgerCompany& c = companies_[i];
        grd_Lista->setItem(i, 0, new QTableWidgetItem(c.name));
        grd_Lista->setItem(i, 1, new QTableWidgetItem(c.folder));
        grd_Lista->setItem(i, 2, new QTableWidgetItem(c.info));
    }
    filling_ = false;
    if (!list.error.isEmpty()) {
        // The list is incomplete: none is chosen for the person.
        Disconnect();
        ShowBox(BoxError, list.error);
        return;
    }
    if (companies_.size() == 1)
        ChooseCompany(0);
    else
        Disconnect();
}

void TCompanyPage::searchChanged(const QString& text) {
    const int found = FindCompany(companies_, text);
    if (found >= 0) {
        ChooseCompany(found);
        grd_Lista->scrollToItem(grd_Lista->item(found, 0));
        return;
    }
    if (!text.isEmpty() && ed_SeekCompanyName->hasFocus()) {
        // What is typed always names a company: the last character is taken back.
        QApplication::beep();
        const QSignalBlocker block(ed_SeekCompanyName);
        ed_SeekCompanyName->setText(text.left(text.size() - 1));
        ed_SeekCompanyName->end(false);
    }
}

bool TCompanyPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grd_Lista->viewport() && event->type() == QEvent::Resize) fitColumns();
    if (watched == ed_SeekCompanyName && event->type() == QEvent::FocusOut) {
        const QSignalBlocker block(ed_SeekCompanyName);
        ed_SeekCompanyName->clear();
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ed_SeekCompanyName) {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit documentListRequested();
            return true;
        case Qt::Key_Escape:
            ed_SeekCompanyName->clear();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            grd_Lista->setFocus();
            return true;
        default:
            break;
        }
    } else if (watched == grd_Lista) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit documentListRequested();
            return true;
        }
        const QString text = key->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable) {
            ed_SeekCompanyName->setFocus();
            ed_SeekCompanyName->setText(ed_SeekCompanyName->text() + text);
            ed_SeekCompanyName->end(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCompanyPage::fitColumns() {
    const int width = grd_Lista->viewport()->width();
    const int first = qRound(width * 0.5), second = qRound(width * 0.25);
    grd_Lista->setColumnWidth(0, first);
    grd_Lista->setColumnWidth(1, second);
    grd_Lista->setColumnWidth(2, width - first - second);
}

void TCompanyPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    grd_Lista->setFocus();
}
