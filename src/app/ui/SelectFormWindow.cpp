#include "app/ui/SelectFormWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>
#include <climits>

#include "app/ui/AppWindows.h"
#include "app/ui/FormsModel.h"
#include "app/ui/MainWindow.h"
#include "app/util/Interaction.h"
#include "store/Dane.h"

TfrmSelectForm::TfrmSelectForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectForm"));
    setWindowTitle(QStringLiteral("Wybierz dokument do pobrania"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(6, 6, 6, 3);
    btn_Zatwierdz = new QPushButton(QStringLiteral("F2 Zatwierdź"), this);
    btn_Zatwierdz->setObjectName(QStringLiteral("btn_Zatwierdz"));
    btn_Porzuc = new QPushButton(QStringLiteral("ESC Porzuć"), this);
    btn_Porzuc->setObjectName(QStringLiteral("btn_Porzuc"));
    for (QPushButton* b : {btn_Zatwierdz, btn_Porzuc}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(b->sizeHint().width() + 16);
        tools->addWidget(b);
    }
    tools->addStretch(1);

    Model = new TFormsModel(FormsList::SelectForm, this);
    grd_Dokumenty = MakeFormsGrid(QStringLiteral("grd_Dokumenty"), Model, this);
    // This picker shows the type before the name.
    grd_Dokumenty->horizontalHeader()->moveSection(2, 1);
    grd_Dokumenty->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(tools);
    layout->addWidget(grd_Dokumenty, 1);

    connect(btn_Zatwierdz, &QPushButton::clicked, this, &TfrmSelectForm::Confirm);
    connect(btn_Porzuc, &QPushButton::clicked, this, &QDialog::reject);
    connect(grd_Dokumenty, &QTableView::doubleClicked, this, &TfrmSelectForm::Confirm);

    resize(760, 420);
    // Centred when made; where the person left it afterwards.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect r(QPoint(0, 0), size());
    r.moveCenter(area.center());
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const QPoint stored(settings->value(QStringLiteral("frmSelectForm/Left"), INT_MIN).toInt(),
                        settings->value(QStringLiteral("frmSelectForm/Top"), INT_MIN).toInt());
    settings->endGroup();
    if (stored.x() != INT_MIN && area.intersects(QRect(stored, size()))) r.moveTopLeft(stored);
    move(r.topLeft());
}

TDane* TfrmSelectForm::Store() const {
    return dane_ ? dane_ : App.Dane;
}

void TfrmSelectForm::SetFormType(const QString& typeCode) {
    const QString type = typeCode.trimmed().toUpper();
    TDane* dane = Store();
    if (type.isEmpty() || !dane) return;
    try {
        dane->OpenDocumentsOfType(type);
    } catch (const std::exception& e) {
        ShowBox(BoxError, QString::fromUtf8(e.what()));
    }
}

void TfrmSelectForm::SetCaptionText(const QString& text) {
    setWindowTitle(QStringLiteral("Wybierz formularz ") + text);
}

bool TfrmSelectForm::Execute() {
    Result.clear();
    TDane* dane = Store();
    const bool open = dane && dane->SelectForm().isOpen();
    Model->SetRows(open ? dane->SelectForm().rows() : QList<FormRow>());
    if (open) SelectGridRow(grd_Dokumenty, qMax(0, dane->SelectForm().currentIndex()));
    grd_Dokumenty->setFocus();
    return exec() == QDialog::Accepted;
}

void TfrmSelectForm::Confirm() {
    TDane* dane = Store();
    if (dane && dane->SelectForm().isOpen()) {
        if (const FormRow* row = Model->RowAt(grd_Dokumenty->currentIndex().row())) {
            dane->SelectForm().locate(row->FOR_ID);
            QString text = row->FOR_DANE;
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            Result = text.split(u'\n');
            // A final line break ends the last line rather than starting an empty one.
            if (!Result.isEmpty() && Result.last().isEmpty()) Result.removeLast();
        }
    }
    accept();
}

bool TfrmSelectForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grd_Dokumenty && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            Confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSelectForm::done(int result) {
    savePlacement();
    QDialog::done(result);
}

void TfrmSelectForm::savePlacement() {
    if (!isVisible()) return;
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    settings->setValue(QStringLiteral("frmSelectForm/Left"), geometry().left());
    settings->setValue(QStringLiteral("frmSelectForm/Top"), geometry().top());
    settings->endGroup();
}
