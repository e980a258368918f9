#include "xml/ui/XmlErrorWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// The maker's support desk (a placeholder until the real address is known); one place to change it.
const QString Tfrm_XMLError::SupportAddress = QStringLiteral("pomoc@morvek.example");

Tfrm_XMLError::Tfrm_XMLError(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_XMLError"));
    setWindowTitle(QStringLiteral("Straszny error"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(620, 420);

    mmo_Error = new QPlainTextEdit(this);
    mmo_Error->setObjectName(QStringLiteral("mmo_Error"));
    mmo_Error->setReadOnly(true);
    mmo_Error->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_Schowek = new QPushButton(QStringLiteral("Skopiuj do schowka"), this);
    btn_Schowek->setObjectName(QStringLiteral("btn_Schowek"));
    btn_Send = new QPushButton(QStringLiteral("Wyślij do analizy komunikat z błędem "), this);
    btn_Send->setObjectName(QStringLiteral("btn_Send"));
    btn_Select = new QPushButton(QStringLiteral("Przejdź do pliku XML"), this);
    btn_Select->setObjectName(QStringLiteral("btn_Select"));

    lbl_1 = new QLabel(this);
    lbl_1->setObjectName(QStringLiteral("lbl_1"));
    lbl_1->setWordWrap(true);
    lbl_1->setText(
        QStringLiteral("Uwaga! Przesłanie danych do analizy wymaga zainstalowania na komputerze "
                       "odpowiedniego klienta poczty obsługującego rozszerzenie \"mailto\"\n"
                       "W przypadku braku takiego klienta, treść komunikatu można skopiować do "
                       "schowka, a następnie wkleić w nowej wiadmości, utworzonej w dowolnym "
                       "programie pocztowym.\n"
                       "Jeżeli w wiadomości występują dane osobowe to należy bezwględnie je USUNĄĆ "
                       "przed wysłaniem e-maila."));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn_Schowek);
    buttons->addWidget(btn_Send);
    buttons->addWidget(btn_Select);
    buttons->addStretch(1);
    buttons->addWidget(btn_OK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mmo_Error, 1);
    layout->addLayout(buttons);
    layout->addWidget(lbl_1);

    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_Schowek, &QPushButton::clicked, this, &Tfrm_XMLError::btn_SchowekClick);
    connect(btn_Send, &QPushButton::clicked, this, &Tfrm_XMLError::btn_SendClick);
    connect(btn_Select, &QPushButton::clicked, this, &Tfrm_XMLError::btn_SelectClick);
}

void Tfrm_XMLError::SetError(const QString& message, const QString& componentName, const QString& fileName) {
    mmo_Error->setPlainText(QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    componentName_ = componentName;
    fileName_ = fileName;
    // In clipboard mode there is no file to show.
    btn_Select->setEnabled(!fileName.isEmpty());
}

QUrl Tfrm_XMLError::MailLink() const {
    const QString subject = QStringLiteral("Błąd parsowania dokumentu XML ") + componentName_.left(10);
    QByteArray body;
    for (const QString& line : mmo_Error->toPlainText().split(u'\n'))
        body += QUrl::toPercentEncoding(line) + "%0A";
    body += "%0A%0A" + QUrl::toPercentEncoding(QStringLiteral("Wysłane z programu Sumaris"));
    const QByteArray link = "mailto:" + QUrl::toPercentEncoding(SupportAddress, "@") +
                            "?subject=" + QUrl::toPercentEncoding(subject) + "&body=" + body;
    return QUrl::fromEncoded(link);
}

void Tfrm_XMLError::btn_SchowekClick() {
    mmo_Error->selectAll();
    QApplication::clipboard()->setText(mmo_Error->toPlainText());
}

void Tfrm_XMLError::btn_SendClick() {
    QDesktopServices::openUrl(MailLink());
}

void Tfrm_XMLError::btn_SelectClick() {
    if (fileName_.isEmpty()) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName_).absolutePath()));
}

void ShowXmlError(Tfrm_XMLError& window, const QString& message, const QString& componentName,
                  const QString& fileName) {
    window.SetError(message, componentName, fileName);
    window.exec();
}
