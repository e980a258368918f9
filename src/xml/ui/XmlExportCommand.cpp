#include "xml/ui/XmlExportCommand.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QUrl>
#include <exception>

#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "xml/DeclarationExport.h"
#include "xml/ui/XmlErrorWindow.h"

namespace {

QString askFileName(QWidget* editor, const QString& initialFolder, const QString& suggested) {
    QFileDialog dialog(editor);
    dialog.setObjectName(QStringLiteral("sd_1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    dialog.setNameFilters({QStringLiteral("Pliki XML (*.xml)"), QStringLiteral("Wszystkie pliki (*.*)")});
    if (!initialFolder.isEmpty()) dialog.setDirectory(initialFolder);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace

XmlExportOutcome RunXmlExport(QWidget* editor, const XmlExportRequest& request, Tfrm_XMLError* errorWindow) {
    XmlExportOutcome outcome;
    Interaction& person = CurrentInteraction();
    XmlExportResult result;
    person.infoBox(QStringLiteral("Tworzenie pliku XML"));
    try {
        result = ExportDeclarationXml(request.typeCode, request.declarationText, request.attachments);
    } catch (const std::exception& e) {
        person.infoBox(QString());
        ShowBox(BoxError, QString::fromUtf8(e.what()));
        return outcome;
    }
    person.infoBox(QString());
    if (!result.produced) return outcome;

    QString data;
    if (request.toClipboard) {
        QApplication::clipboard()->setText(QString::fromUtf8(result.xml));
        data = QApplication::clipboard()->text();
    } else {
        const QString folder =
            request.initialFolder.isEmpty() ? QString() : AddBackslash(request.initialFolder);
        outcome.fileName = askFileName(editor, folder, result.suggestedFileName);
        if (outcome.fileName.isEmpty()) return outcome;
        QSaveFile f(outcome.fileName);
        if (!f.open(QIODevice::WriteOnly) || f.write(result.xml) != result.xml.size() || !f.commit()) {
            ShowBox(BoxError, QStringLiteral("cannot write ") + outcome.fileName + QStringLiteral(": ") +
                                  f.errorString());
            outcome.fileName.clear();
            return outcome;
        }
        data = outcome.fileName;
    }
    outcome.written = true;

    XmlValidationOptions options = request.validation;
    if (options.componentName.isEmpty()) options.componentName = result.componentName;
    const XmlValidationResult check =
        ValidateXml(result.schemaLocation, data, request.toClipboard, result.namespaceUri, options);
    outcome.validated =
        check.status == XmlValidationStatus::Valid || check.status == XmlValidationStatus::Invalid;
    outcome.valid = check.valid();
    if (check.valid()) {
        outcome.message = XmlSavedMessage(request.toClipboard, outcome.fileName);
    } else if (check.status == XmlValidationStatus::Invalid) {
        Tfrm_XMLError temporary(editor);
        ShowXmlError(errorWindow ? *errorWindow : temporary, XmlErrorMessage(check), result.componentName,
                     outcome.fileName);
    }
    return outcome;
}

void OpenXmlPreview(const QString& fileName) {
    if (!fileName.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}
