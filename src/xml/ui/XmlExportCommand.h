#pragma once
// The editor's export commands ("Eksport do pliku &XML", "Eksport do schowka X&ML" and
// "Podgląd X&ML") around the core export: the save dialog or the clipboard, then validation
// with its report. The editor saves and recalculates the document before calling.
#include <QList>
#include <QString>

#include "xml/XmlExport.h"
#include "xml/XmlValidation.h"

class QWidget;
class Tfrm_XMLError;

struct XmlExportRequest {
    QString typeCode;
    QString declarationText;
    QList<StoredAttachment> attachments; // in store order
    bool toClipboard = false;
    QString initialFolder; // the ledger company's folder, when one is chosen
    XmlValidationOptions validation;
};

struct XmlExportOutcome {
    bool written = false;   // a file was saved or the clipboard filled
    QString fileName;       // file mode: the file written (for the preview)
    bool validated = false; // the schema check ran
    bool valid = false;
    QString message; // the success text for the editor's message area (green)
};

// Runs one export; asks through dialogs and reports failures in message boxes. An invalid
// document opens `errorWindow` (a temporary one when null).
XmlExportOutcome RunXmlExport(QWidget* editor, const XmlExportRequest& request, Tfrm_XMLError* errorWindow);

// "Podgląd X&ML": opens the file in the system's viewer.
void OpenXmlPreview(const QString& fileName);
