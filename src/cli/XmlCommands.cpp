#include "cli/XmlCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "app/util/Encoding.h"
#include "cli/CliSupport.h"
#include "forms/FormTypes.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "xml/DeclarationExport.h"
#include "xml/XmlDom.h"
#include "xml/XmlValidation.h"

namespace {

const FormType& formType(const QString& name) {
    const FormType* t = FindFormType(name);
    if (!t) throw UsageError(("unknown form type " + name).toStdString());
    return *t;
}

// The document goes to the named file, or to standard output.
int writeExport(const XmlExportResult& result, bool toFile, const QString& out) {
    if (!result.produced) {
        if (!result.templatePath.isEmpty())
            throw std::runtime_error(
                ("the template " + result.templatePath + " has no Naglowek").toStdString());
        return 1; // the missing template has been reported
    }
    if (toFile) {
        QSaveFile f(out);
        if (!f.open(QIODevice::WriteOnly) || f.write(result.xml) != result.xml.size() || !f.commit())
            throw std::runtime_error(("cannot write " + out + ": " + f.errorString()).toStdString());
    } else {
        std::fwrite(result.xml.constData(), 1, size_t(result.xml.size()), stdout);
    }
    return 0;
}

// "export --db DB --id N": a stored declaration with its stored attachments, in the order the
// program's attachment list holds them, exactly as the editor's export reads them.
int exportStoredCommand(QStringList args) {
    const QString db = takeOption(args, QStringLiteral("--db"));
    bool hasId = false, toFile = false;
    const QString idText = takeOption(args, QStringLiteral("--id"), &hasId);
    const QString out = takeOption(args, QStringLiteral("-o"), &toFile);
    bool hasUser = false, hasPassword = false;
    const QString user = takeOption(args, QStringLiteral("--user"), &hasUser);
    const QString password = takeOption(args, QStringLiteral("--password"), &hasPassword);
    if (db.isEmpty() || !hasId || !args.isEmpty())
        throw UsageError("export: expected --db DB --id N [-o FILE]");
    bool ok = false;
    const int id = idText.toInt(&ok);
    if (!ok) throw UsageError(("not a document number: " + idText).toStdString());

    TGlobalKonfig konfig;
    // "host:path" names a server; a plain path is opened by the embedded engine.
    const qsizetype colon = db.indexOf(u':');
    const QString host = colon > 1 ? db.left(colon) : QString();
    if (!host.isEmpty() && !host.contains(u'\\') && !host.startsWith(u'/') && !host.startsWith(u'.')) {
        konfig.AdresSieciowySerwera = host;
        konfig.BazaDanych = db.mid(colon + 1);
    } else {
        konfig.BazaDanych = QFileInfo(db).absoluteFilePath();
    }
    konfig.Uzytkownik = hasUser ? user : QString::fromLatin1(kDefaultUser);
    konfig.Haslo = hasPassword ? password : QString::fromLatin1(kDefaultPassword);
    TDane dane(konfig);
    dane.OpenDatabase();
    const std::optional<FormRow> row = dane.DocumentById(id);
    if (!row) throw std::runtime_error(("no document with FOR_ID " + idText).toStdString());
    if (row->FOR_MASTER_ID)
        throw std::runtime_error(QStringLiteral("document %1 is an attachment of document %2")
                                     .arg(id)
                                     .arg(*row->FOR_MASTER_ID)
                                     .toStdString());
    if (!FindDeclarationMapping(row->FOR_TYP))
        throw UsageError(("no e-declaration export for " + row->FOR_TYP).toStdString());
    // The attachment list follows the current document.
    if (!dane.Forms().locate(id))
        throw std::runtime_error(("no main document with FOR_ID " + idText).toStdString());
    QList<StoredAttachment> attachments;
    for (const FormRow& a : dane.Zalaczniki().rows())
        attachments.append({a.FOR_TYP, a.FOR_DANE});
    const XmlExportResult result = ExportDeclarationXml(row->FOR_TYP, row->FOR_DANE, attachments);
    return writeExport(result, toFile, out);
}

int exportCommand(QStringList args) {
    if (args.contains(QStringLiteral("--db"))) return exportStoredCommand(args);
    QList<StoredAttachment> attachments;
    for (bool present = true; present;) {
        const QString option = takeOption(args, QStringLiteral("--attachment"), &present);
        if (!present) break;
        const qsizetype eq = option.indexOf(u'=');
        if (eq <= 0) throw UsageError("--attachment expects TYPE=FILE");
        attachments.append({formType(option.left(eq)).typeCode(), readDocumentText(option.mid(eq + 1))});
    }
    bool toFile = false;
    const QString out = takeOption(args, QStringLiteral("-o"), &toFile);
    if (args.size() != 2) throw UsageError("export: expected TYPE FILE");
    const FormType& type = formType(args[0]);
    if (!FindDeclarationMapping(type.typeCode()))
        throw UsageError(("no e-declaration export for " + type.typeCode()).toStdString());
    const XmlExportResult result =
        ExportDeclarationXml(type.typeCode(), readDocumentText(args[1]), attachments);
    return writeExport(result, toFile, out);
}

void repositoryOptions(QStringList& args, XmlValidationOptions& options) {
    options.repositoryFolder = takeOption(args, QStringLiteral("--repository"));
    options.registryMirror = takeOption(args, QStringLiteral("--registry"));
}

// The namespace of a document's root element; empty when it cannot be read.
QString rootNamespace(const QString& file) {
    try {
        return XmlDocument::load(file).documentElement().namespaceUri();
    } catch (const XmlError&) {
        return QString();
    }
}

int validateCommand(QStringList args, const Output& output) {
    XmlValidationOptions options;
    repositoryOptions(args, options);
    options.localRepository = !takeFlag(args, QStringLiteral("--remote"));
    bool hasType = false, hasSchema = false;
    const QString typeName = takeOption(args, QStringLiteral("--type"), &hasType);
    QString location = takeOption(args, QStringLiteral("--schema"), &hasSchema);
    QString ns = takeOption(args, QStringLiteral("--namespace"));
    if (args.size() != 1 || (hasType && hasSchema))
        throw UsageError("validate: expected FILE [--type TYPE | --schema XSD]");
    const QString file = args[0];

    const DeclarationMapping* mapping = nullptr;
    if (hasType) {
        mapping = FindDeclarationMapping(formType(typeName).typeCode());
        if (!mapping) throw UsageError(("no e-declaration schema for " + typeName).toStdString());
    } else if (!hasSchema) {
        // The form is known by the document's namespace; otherwise its registry address is used.
        ns = rootNamespace(file);
        for (const DeclarationMapping* m : AllDeclarationMappings())
            if (m->namespaceUri() == ns) mapping = m;
        if (!mapping && ns.startsWith(u"http", Qt::CaseInsensitive))
            location = ns + QStringLiteral("schemat.xsd");
    }
    if (!mapping && location.isEmpty())
        throw UsageError("validate: the document's namespace names no schema; give --type or --schema");
    if (mapping) {
        location = mapping->schemaLocation();
        ns = mapping->namespaceUri();
        options.componentName = mapping->componentName();
    }

    const XmlValidationResult r = ValidateXmlData(location, file, false, ns, options);
    switch (r.status) {
    case XmlValidationStatus::Valid:
        return 0;
    case XmlValidationStatus::Invalid:
        output.write(XmlErrorMessage(r).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
        return 1;
    case XmlValidationStatus::SchemaUnavailable:
        output.write(SchemaUnavailableMessage().replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
                         u'\n' + r.detail + u'\n',
                     stderr);
        return 1;
    case XmlValidationStatus::LoadFailed:
        output.write(XmlLoadFailedMessage(file, r.detail).replace(u'\r', u'\n') + u'\n', stderr);
        return 1;
    }
    return 1;
}

int schemasCommand(QStringList args, const Output& output) {
    XmlValidationOptions options;
    repositoryOptions(args, options);
    if (args.isEmpty()) throw UsageError("schemas: expected fetch or list");
    const QString verb = args.takeFirst();
    QList<const DeclarationMapping*> mappings;
    for (const QString& name : args) {
        const DeclarationMapping* m = FindDeclarationMapping(formType(name).typeCode());
        if (!m) throw UsageError(("no e-declaration schema for " + name).toStdString());
        mappings.append(m);
    }
    if (mappings.isEmpty()) mappings = AllDeclarationMappings();

    if (verb == u"list") {
        for (const DeclarationMapping* m : mappings) {
            const bool local =
                QFileInfo::exists(LocalSchemaPath(m->componentName(), options.repositoryFolder));
            output.write(m->componentName() + u'\t' + m->schemaLocation() + u'\t' +
                         (local ? QStringLiteral("lokalnie") : QStringLiteral("brak")) + u'\n');
        }
        return 0;
    }
    if (verb != u"fetch") throw UsageError(("schemas: unknown verb " + verb).toStdString());
    int status = 0;
    for (const DeclarationMapping* m : mappings) {
        options.componentName = m->componentName();
        QString error;
        if (FetchSchemaToRepository(m->schemaLocation(), m->namespaceUri(), options, &error)) {
            output.write(m->componentName() + QStringLiteral(": OK\n"));
        } else {
            output.write(m->componentName() + QStringLiteral(": ") + error + u'\n');
            status = 1;
        }
    }
    return status;
}

void printError(const QString& text) {
    const QByteArray bytes = ("sumaris-cli: " + text.simplified() + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

int RunXmlCommand(const QString& command, QStringList args, bool utf8) {
    Output output{utf8};
    try {
        if (command == u"export") return exportCommand(args);
        if (command == u"validate") return validateCommand(args, output);
        if (command == u"schemas") return schemasCommand(args, output);
        throw UsageError(("unknown command " + command).toStdString());
    } catch (const UsageError& e) {
        printError(QString::fromUtf8(e.what()));
        return 2;
    } catch (const std::exception& e) {
        printError(QString::fromUtf8(e.what()));
        return 1;
    }
}
