#include "xml/DeclarationExport.h"

#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "forms/FormTypes.h"
#include "xml/Pit37Mapping.h"

QString DeclarationMapping::componentName() const {
    const FormType* type = FindFormType(typeCode());
    return type ? type->className.mid(1) : typeCode().mid(1);
}

QList<const DeclarationMapping*> AllDeclarationMappings() {
    return {&Pit37Mapping()};
}

const DeclarationMapping* FindDeclarationMapping(const QString& typeCode) {
    const FormType* type = FindFormType(typeCode);
    if (!type) return nullptr;
    for (const DeclarationMapping* m : AllDeclarationMappings())
        if (m->typeCode().compare(type->typeCode(), Qt::CaseInsensitive) == 0) return m;
    return nullptr;
}

QString XmlTemplatePath(const QString& componentName) {
    return FindDataFile(QStringLiteral("XMLTEMPL/") + componentName + QStringLiteral(".xml"));
}

XmlExportResult ExportDeclarationXml(const QString& typeCode, const QString& declarationText,
                                     const QList<StoredAttachment>& attachments) {
    const DeclarationMapping* mapping = FindDeclarationMapping(typeCode);
    if (!mapping) throw XmlExportError(("no e-declaration export for form type " + typeCode).toStdString());
    XmlExportResult result;
    result.componentName = mapping->componentName();
    result.schemaLocation = mapping->schemaLocation();
    result.namespaceUri = mapping->namespaceUri();
    result.templatePath = XmlTemplatePath(result.componentName);
    if (result.templatePath.isEmpty()) {
        ShowBox(BoxWarning, QStringLiteral("Brak pliku schematu XML dla wybranego dokumentu."));
        return result;
    }
    XmlDocument doc = XmlDocument::load(result.templatePath);
    doc.setEncoding(QStringLiteral("UTF-8"));
    XmlExport x(doc, declarationText, attachments);
    result.suggestedFileName = mapping->suggestedFileName(x);
    const XmlNode naglowek = FindXmlNode(x.root(), QStringLiteral("Naglowek"));
    if (!naglowek) return result;
    mapping->Fill(x, naglowek);
    const XmlNode zalaczniki = FindXmlNode(x.root(), QStringLiteral("Zalaczniki"));
    if (zalaczniki && !x.AnyAttachmentExported) zalaczniki.parent().removeChild(zalaczniki);
    result.xml = doc.serialize();
    result.produced = true;
    return result;
}
