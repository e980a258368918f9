#pragma once
// Validation of an exported document against the XSD schema of its form: from the local
// repository beside the program ("Repozytorium/" in the data folder, which also holds the
// shared schemas under the registry's own paths and a catalog mapping registry addresses onto
// them), or from the tax authority's schema registry over HTTP, whose schemas are then kept in
// the local repository for the next validation without network.
//
// The document is parsed with network access and external entities off; only the schema and
// its imports are loaded, through the repository or the registry.
#include <QByteArray>
#include <QString>
#include <QUrl>

// Gets one resource of the schema registry.
class SchemaFetcher {
public:
    virtual ~SchemaFetcher() = default;
    // The body of a successful answer; false with a reason otherwise.
    virtual bool fetch(const QUrl& url, QByteArray* body, QString* error) = 0;
};

struct XmlValidationOptions {
    // The setting "Używaj lokalnego repozytorium dla weryfikacji XSD".
    bool localRepository = true;
    // The editor's component name: the local schema is Repozytorium/<componentName>.xsd, and a
    // schema fetched from the registry is also kept under that name.
    QString componentName;
    // Default: DataFolder() + "Repozytorium/".
    QString repositoryFolder;
    // Remote mode; nullptr uses HTTP.
    SchemaFetcher* fetcher = nullptr;
    // When set, registry addresses (http(s)://crd.gov.pl/...) are fetched from this base
    // instead (a mirror); they are still kept under the registry's own path.
    QString registryMirror;
    // Remote mode: keep what was fetched in the local repository.
    bool storeFetched = true;
};

enum class XmlValidationStatus {
    Valid,
    Invalid,           // not well-formed or not valid: line, reason and source text
    SchemaUnavailable, // the schema could not be fetched or did not load; nothing was checked
    LoadFailed,        // the data could not be read
};

struct XmlValidationResult {
    XmlValidationStatus status = XmlValidationStatus::Valid;
    int line = 0;
    QString reason;
    QString sourceText; // the text of the line, trimmed
    QString detail;     // why the schema or the data could not be loaded
    QString schemaLocation;
    bool valid() const { return status == XmlValidationStatus::Valid; }
};

QString DefaultRepositoryFolder();
// Repozytorium/<componentName>.xsd (found without regard to case when it exists).
QString LocalSchemaPath(const QString& componentName, const QString& repositoryFolder = QString());

// Validates without asking or telling anybody. `data` is the file's path, or in text mode the
// document itself. With the local repository the schema location is replaced by the form's
// local copy when a component name is given, and registry addresses are read from the
// repository's copies. An empty schema location checks well-formedness only.
XmlValidationResult ValidateXmlData(QString schemaLocation, const QString& data, bool textMode,
                                    const QString& namespaceUri, const XmlValidationOptions& options);

// The validation step of an export: as ValidateXmlData, and a schema that cannot be had or data
// that cannot be read is reported through the interaction. The caller shows the outcome (the
// success text, or the error window with XmlErrorMessage).
XmlValidationResult ValidateXml(const QString& schemaLocation, const QString& data, bool textMode,
                                const QString& namespaceUri, const XmlValidationOptions& options);

// Compiles the schema from the registry and keeps it with its imports in the local repository.
// Returns false with the reason when it cannot.
bool FetchSchemaToRepository(const QString& schemaLocation, const QString& namespaceUri,
                             const XmlValidationOptions& options, QString* error);

// "Linia:" and the line, the reason and the source text, on three lines (CR LF).
QString XmlErrorMessage(const XmlValidationResult& result);
QString SchemaUnavailableMessage();
QString XmlLoadFailedMessage(const QString& data, const QString& error);
// The success text of the editor's message area.
QString XmlSavedMessage(bool textMode, const QString& fileName);
