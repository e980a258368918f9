#include "xml/XmlValidation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSaveFile>
#include <libxml/schemasInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>
#include <memory>

#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "xml/HttpSchemaFetcher.h"
#include "xml/LibXmlSupport.h"
#include "xml/XmlDom.h"

namespace {

const QString kRegistryHost = QStringLiteral("crd.gov.pl");

bool isHttp(const QString& url) {
    return url.startsWith(u"http://", Qt::CaseInsensitive) ||
           url.startsWith(u"https://", Qt::CaseInsensitive);
}

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool insideFolder(const QString& path, const QString& folder) {
    const QString root = cleanAbsolute(folder);
    const QString p = cleanAbsolute(path);
    return p == root || p.startsWith(root + u'/');
}

// The rewrite and mapping entries of an OASIS catalog; prefixes are made absolute.
class Catalog {
public:
    explicit Catalog(const QString& file) {
        if (!QFileInfo::exists(file)) return;
        const QString base = QFileInfo(file).absolutePath() + u'/';
        try {
            const XmlDocument doc = XmlDocument::load(file);
            for (XmlNode e = doc.documentElement().firstChild(); e; e = e.nextSibling()) {
                const xmlNode* n = e.raw();
                auto attr = [n](const char* name) {
                    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
                    QString s = v ? QString::fromUtf8(reinterpret_cast<const char*>(v)) : QString();
                    xmlFree(v);
                    return s;
                };
                const QString kind = e.localName();
                if (kind == u"rewriteURI" || kind == u"rewriteSystem") {
                    const QString start =
                        attr(kind == u"rewriteURI" ? "uriStartString" : "systemIdStartString");
                    if (!start.isEmpty()) rewrites_.append({start, absolute(base, attr("rewritePrefix"))});
                } else if (kind == u"uri" || kind == u"system") {
                    const QString name = attr(kind == u"uri" ? "name" : "systemId");
                    if (!name.isEmpty()) exact_.insert(name, absolute(base, attr("uri")));
                }
            }
        } catch (const XmlError&) {
            // A damaged catalog maps nothing; the registry paths below still apply.
        }
    }

    // The local file an address maps to, or empty.
    QString resolve(const QString& url) const {
        if (exact_.contains(url)) return exact_.value(url);
        qsizetype best = -1;
        QString path;
        for (const auto& [start, prefix] : rewrites_) {
            if (url.startsWith(start) && start.size() > best) {
                best = start.size();
                path = prefix + url.mid(start.size());
            }
        }
        return path;
    }

private:
    static QString absolute(const QString& base, const QString& target) {
        if (target.startsWith(u"file://")) return QUrl(target).toLocalFile();
        if (QDir::isAbsolutePath(target)) return target;
        return base + target;
    }
    QList<std::pair<QString, QString>> rewrites_;
    QHash<QString, QString> exact_;
};

// Where a registry address is kept in the repository: the host, then the path.
QString mirrorPath(const QString& repository, const QUrl& url) {
    QString path = url.path();
    if (path.isEmpty() || path.endsWith(u'/')) return QString();
    return AddBackslash(repository) + url.host() + QDir::cleanPath(path);
}

QByteArray readFile(const QString& path, bool* ok) {
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

// Resolves every reference made while a schema compiles: registry addresses through the
// repository (local mode) or the registry (remote mode), files only inside the repository and
// the folder of the schema itself.
class SchemaLoader {
public:
    SchemaLoader(const XmlValidationOptions& options, const QString& repository, const QString& schemaFolder)
        : options_(options), repository_(repository), schemaFolder_(schemaFolder),
          catalog_(AddBackslash(repository) + QStringLiteral("catalog.xml")) {
        if (!options.localRepository && !options.fetcher) {
            http_ = std::make_unique<HttpSchemaFetcher>();
        }
    }

    xmlParserInputPtr load(const char* rawUrl, xmlParserCtxtPtr ctxt) {
        const QString url = QString::fromUtf8(rawUrl);
        QByteArray bytes;
        if (isHttp(url)) {
            if (!options_.localRepository) {
                if (!fetchRemote(url, &bytes)) return nullptr;
            } else if (!readLocal(url, &bytes)) {
                return nullptr;
            }
        } else {
            const QString path =
                url.startsWith(u"file:", Qt::CaseInsensitive) ? QUrl(url).toLocalFile() : url;
            const bool allowed = insideFolder(path, repository_) ||
                                 (!schemaFolder_.isEmpty() && insideFolder(path, schemaFolder_));
            bool ok = false;
            if (allowed) bytes = readFile(path, &ok);
            if (!ok) {
                fail(allowed ? QStringLiteral("cannot read ") + path
                             : QStringLiteral("refused to load ") + path);
                return nullptr;
            }
        }
        return LibXmlInputFromMemory(bytes, rawUrl, ctxt);
    }

    const QString& failure() const { return failure_; }
    const QList<std::pair<QString, QByteArray>>& fetched() const { return fetched_; }

private:
    void fail(const QString& why) {
        if (failure_.isEmpty()) failure_ = why;
    }

    bool readLocal(const QString& url, QByteArray* bytes) {
        QString path = catalog_.resolve(url);
        if (path.isEmpty()) path = mirrorPath(repository_, QUrl(url));
        bool ok = false;
        if (!path.isEmpty() && insideFolder(path, repository_)) *bytes = readFile(path, &ok);
        if (!ok) fail(url + QStringLiteral(" is not in the local repository ") + repository_);
        return ok;
    }

    bool fetchRemote(const QString& url, QByteArray* bytes) {
        QUrl from(url);
        if (!options_.registryMirror.isEmpty() &&
            from.host().compare(kRegistryHost, Qt::CaseInsensitive) == 0)
            from = QUrl(AddBackslash(options_.registryMirror) + from.path().mid(1));
        SchemaFetcher* fetcher = options_.fetcher ? options_.fetcher : http_.get();
        QString error;
        if (!fetcher->fetch(from, bytes, &error) || bytes->isEmpty()) {
            fail(error.isEmpty() ? from.toString() + QStringLiteral(": empty answer") : error);
            return false;
        }
        fetched_.append({url, *bytes});
        return true;
    }

    const XmlValidationOptions& options_;
    QString repository_;
    QString schemaFolder_;
    Catalog catalog_;
    std::unique_ptr<HttpSchemaFetcher> http_;
    QString failure_;
    QList<std::pair<QString, QByteArray>> fetched_;
};

struct SchemaDeleter {
    void operator()(xmlSchema* s) const { xmlSchemaFree(s); }
};
using SchemaPtr = std::unique_ptr<xmlSchema, SchemaDeleter>;

QString repositoryOf(const XmlValidationOptions& options) {
    return options.repositoryFolder.isEmpty() ? DefaultRepositoryFolder()
                                              : AddBackslash(options.repositoryFolder);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) f.commit();
}

// Keeps what the registry gave under its own paths, and the form's schema under its name too.
// A repository that cannot be written to only means the next validation needs the network.
void storeFetched(const SchemaLoader& loader, const XmlValidationOptions& options, const QString& repository,
                  const QString& schemaLocation) {
    for (const auto& [url, bytes] : loader.fetched()) {
        const QString path = mirrorPath(repository, QUrl(url));
        if (!path.isEmpty() && insideFolder(path, repository)) writeFile(path, bytes);
        if (url == schemaLocation && !options.componentName.isEmpty())
            writeFile(AddBackslash(repository) + options.componentName + QStringLiteral(".xsd"), bytes);
    }
}

// Compiles the schema; on failure the reason is in `why`.
SchemaPtr compileSchema(const QString& location, const QString& namespaceUri,
                        const XmlValidationOptions& options, QString* why) {
    const QString repository = repositoryOf(options);
    const QString folder = isHttp(location) ? QString() : QFileInfo(location).absolutePath();
    SchemaLoader loader(options, repository, folder);
    LibXmlErrorScope errors;
    SchemaPtr schema;
    {
        LibXmlLoaderScope scope(
            [&](const char* url, xmlParserCtxtPtr ctxt) { return loader.load(url, ctxt); });
        const QByteArray url = location.toUtf8();
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(url.constData());
        if (parser) {
            xmlSchemaSetParserStructuredErrors(parser, &LibXmlErrorScope::handler, &errors);
            schema.reset(xmlSchemaParse(parser));
            xmlSchemaFreeParserCtxt(parser);
        }
    }
    if (!schema) {
        *why = !loader.failure().isEmpty() ? loader.failure()
               : errors.first().present    ? errors.first().message
                                           : QStringLiteral("the schema did not load");
        return nullptr;
    }
    const QString target = QString::fromUtf8(reinterpret_cast<const char*>(schema->targetNamespace));
    if (!namespaceUri.isEmpty() && target != namespaceUri) {
        *why = QStringLiteral("the schema's namespace is %1, not %2").arg(target, namespaceUri);
        return nullptr;
    }
    if (!options.localRepository && options.storeFetched) storeFetched(loader, options, repository, location);
    return schema;
}

QString lineOf(const QByteArray& bytes, int line) {
    if (line <= 0) return QString();
    qsizetype start = 0;
    for (int i = 1; i < line; ++i) {
        start = bytes.indexOf('\n', start);
        if (start < 0) return QString();
        ++start;
    }
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0) end = bytes.size();
    return QString::fromUtf8(bytes.mid(start, end - start)).trimmed();
}

} // namespace

QString DefaultRepositoryFolder() {
    const QString found = FindDataFile(QStringLiteral("Repozytorium"));
    return found.isEmpty() ? DataFolder() + QStringLiteral("Repozytorium/") : AddBackslash(found);
}

QString LocalSchemaPath(const QString& componentName, const QString& repositoryFolder) {
    const QString base =
        repositoryFolder.isEmpty() ? DefaultRepositoryFolder() : AddBackslash(repositoryFolder);
    const QString name = componentName + QStringLiteral(".xsd");
    const QString found = FindDataFile(name, base);
    return found.isEmpty() ? base + name : found;
}

XmlValidationResult ValidateXmlData(QString schemaLocation, const QString& data, bool textMode,
                                    const QString& namespaceUri, const XmlValidationOptions& options) {
    XmlValidationResult result;
    if (options.localRepository && !options.componentName.isEmpty())
        schemaLocation = LocalSchemaPath(options.componentName, options.repositoryFolder);
    result.schemaLocation = schemaLocation;

    SchemaPtr schema;
    if (!schemaLocation.isEmpty()) {
        schema = compileSchema(schemaLocation, namespaceUri, options, &result.detail);
        if (!schema) {
            result.status = XmlValidationStatus::SchemaUnavailable;
            return result;
        }
    }

    QByteArray bytes;
    if (textMode) {
        bytes = data.toUtf8();
    } else {
        QFile f(data);
        if (!f.open(QIODevice::ReadOnly)) {
            result.status = XmlValidationStatus::LoadFailed;
            result.detail = f.errorString();
            return result;
        }
        bytes = f.readAll();
    }

    LibXmlErrorScope errors;
    xmlDocPtr doc = nullptr;
    QString refused;
    {
        LibXmlLoaderScope nothingExternal;
        const QByteArray name = textMode ? QByteArray("clipboard.xml") : data.toUtf8();
        doc = xmlReadMemory(bytes.constData(), int(bytes.size()), name.constData(),
                            textMode ? "UTF-8" : nullptr,
                            XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_BIG_LINES);
        if (!nothingExternal.refused().isEmpty()) refused = nothingExternal.refused().first();
    }
    if (doc && !errors.first().present && !refused.isEmpty()) {
        // An e-declaration refers to nothing outside itself; such a reference is not followed.
        xmlFreeDoc(doc);
        result.status = XmlValidationStatus::Invalid;
        const qsizetype at = bytes.indexOf(refused.toUtf8());
        result.line = at < 0 ? 1 : int(bytes.left(at).count('\n')) + 1;
        result.reason = QStringLiteral("External resource not loaded: ") + refused;
        result.sourceText = lineOf(bytes, result.line);
        return result;
    }
    if (doc && !errors.first().present && schema) {
        xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema.get());
        xmlSchemaSetValidStructuredErrors(validator, &LibXmlErrorScope::handler, &errors);
        const int rc = xmlSchemaValidateDoc(validator, doc);
        xmlSchemaFreeValidCtxt(validator);
        if (rc != 0 && !errors.first().present) {
            result.status = XmlValidationStatus::Invalid;
            result.reason = QStringLiteral("the document could not be validated");
        }
    }
    if (doc) xmlFreeDoc(doc);
    if (errors.first().present || !doc) {
        result.status = XmlValidationStatus::Invalid;
        result.line = errors.first().line;
        result.reason =
            errors.first().present ? errors.first().message : QStringLiteral("not an XML document");
        result.sourceText = lineOf(bytes, result.line);
    }
    return result;
}

XmlValidationResult ValidateXml(const QString& schemaLocation, const QString& data, bool textMode,
                                const QString& namespaceUri, const XmlValidationOptions& options) {
    Interaction& person = CurrentInteraction();
    if (!options.localRepository) person.infoBox(QStringLiteral("Weryfikacja ze zdalnym schematem...."));
    XmlValidationResult result = ValidateXmlData(schemaLocation, data, textMode, namespaceUri, options);
    if (!options.localRepository) person.infoBox(QString());
    if (result.status == XmlValidationStatus::SchemaUnavailable)
        ShowBox(BoxWarning, SchemaUnavailableMessage(), QStringLiteral("Błąd"));
    else if (result.status == XmlValidationStatus::LoadFailed)
        ShowBox(BoxInfo, XmlLoadFailedMessage(data, result.detail), QStringLiteral("Sumaris 2022"));
    return result;
}

bool FetchSchemaToRepository(const QString& schemaLocation, const QString& namespaceUri,
                             const XmlValidationOptions& options, QString* error) {
    XmlValidationOptions remote = options;
    remote.localRepository = false;
    remote.storeFetched = true;
    QString why;
    const bool ok = compileSchema(schemaLocation, namespaceUri, remote, &why) != nullptr;
    if (!ok && error) *error = why;
    return ok;
}

QString XmlErrorMessage(const XmlValidationResult& result) {
    return QStringLiteral("Linia:") + QString::number(result.line) + QStringLiteral("\r\n") + result.reason +
           QStringLiteral("\r\n") + result.sourceText.trimmed();
}

QString SchemaUnavailableMessage() {
    return QStringLiteral("Nie można połączyć się ze zdalnym źródłem schematów.\r\n\r\n"
                          "Dokument zostanie zapisany, ale weryfikacja \r\n"
                          "struktury dokumentu nie bedzie przeprowadzona.");
}

QString XmlLoadFailedMessage(const QString& data, const QString& error) {
    return QStringLiteral("Błąd \"XML.load(%1);\"\r%2").arg(data, error);
}

QString XmlSavedMessage(bool textMode, const QString& fileName) {
    if (textMode) return QStringLiteral("Dokument XML pomyślnie zapisano w SCHOWKU SYSTEMOWYM.");
    return QStringLiteral("Dokument XML pomyślnie zapisano w pliku \r\n") + fileName;
}
