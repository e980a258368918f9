#pragma once
// Export of one declaration: its form's template filled by its mapping from the stored text of
// the declaration and of its attachments. The ui (save dialog, clipboard) and the command-line
// tool put the bytes where they belong and then validate them.
#include <QByteArray>
#include <QList>
#include <QString>

#include "xml/XmlExport.h"

// What a declaration form contributes to the export.
class DeclarationMapping {
public:
    virtual ~DeclarationMapping() = default;
    // The declaration's type code ("TFRMPIT_37").
    virtual QString typeCode() const = 0;
    // The form's namespace in the schema registry; the schema is this followed by "schemat.xsd".
    virtual QString namespaceUri() const = 0;
    // The suggested output file name ("PIT-37_Kowalski_Jan.xml").
    virtual QString suggestedFileName(const XmlExport& x) const = 0;
    // Fills the template once its header has been found.
    virtual void Fill(XmlExport& x, XmlNode naglowek) const = 0;

    // The editor's component name ("frmPit_37"): the base name of the template and of the
    // local schema copy.
    QString componentName() const;
    QString schemaLocation() const { return namespaceUri() + QStringLiteral("schemat.xsd"); }
};

// The mapping of a declaration type (type code or class name, any case); nullptr when the form
// has no e-declaration export.
const DeclarationMapping* FindDeclarationMapping(const QString& typeCode);
QList<const DeclarationMapping*> AllDeclarationMappings();

struct XmlExportResult {
    // False when the template is missing (the person has been told) or has no header.
    bool produced = false;
    QByteArray xml; // the document, UTF-8
    QString suggestedFileName;
    QString componentName;
    QString schemaLocation;
    QString namespaceUri;
    QString templatePath;
};

// The template of a form ("XMLTEMPL/frmPit_37.xml" in the data folder); empty when missing.
QString XmlTemplatePath(const QString& componentName);

// Exports a declaration from its stored text and its attachments (store order). Throws
// XmlError for a damaged template and XmlExportError for an unknown form or a stored value
// that cannot be used; nothing is written in either case.
XmlExportResult ExportDeclarationXml(const QString& typeCode, const QString& declarationText,
                                     const QList<StoredAttachment>& attachments);
