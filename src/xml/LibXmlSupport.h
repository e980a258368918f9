#pragma once
// Scoped control of libxml2's process-wide hooks: which external resources a parse may load,
// and where its error reports go. Everything runs on one thread; the scopes nest and restore
// what was there before.
#include <QString>
#include <QStringList>
#include <functional>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

// The first error (not warning) libxml2 reported while the scope was alive.
struct LibXmlFirstError {
    bool present = false;
    int line = 0;
    QString message;
    QString file;
};

class LibXmlErrorScope {
public:
    LibXmlErrorScope();
    ~LibXmlErrorScope();
    LibXmlErrorScope(const LibXmlErrorScope&) = delete;
    LibXmlErrorScope& operator=(const LibXmlErrorScope&) = delete;

    const LibXmlFirstError& first() const { return first_; }
    void record(const xmlError* error);
    // For the validation and schema parser contexts, which take their handler directly.
    static void handler(void* scope, xmlErrorPtr error);

private:
    LibXmlFirstError first_;
    xmlStructuredErrorFunc previousStructured_;
    void* previousStructuredContext_;
    xmlGenericErrorFunc previousGeneric_;
    void* previousGenericContext_;
};

// Decides what an external reference (a DTD, an entity, a schema import) resolves to. Returns
// a new input, or nullptr to refuse. While no scope is alive nothing is loaded at all.
using LibXmlResourceLoader = std::function<xmlParserInputPtr(const char* url, xmlParserCtxtPtr ctxt)>;

class LibXmlLoaderScope {
public:
    // An empty loader refuses everything: the policy for documents.
    explicit LibXmlLoaderScope(LibXmlResourceLoader loader = {});
    ~LibXmlLoaderScope();
    LibXmlLoaderScope(const LibXmlLoaderScope&) = delete;
    LibXmlLoaderScope& operator=(const LibXmlLoaderScope&) = delete;

    // What was asked for and not given (libxml2 itself only warns, or says nothing).
    const QStringList& refused() const { return refused_; }
    void refuse(const QString& url) { refused_.append(url); }

private:
    LibXmlResourceLoader loader_;
    QStringList refused_;
    LibXmlLoaderScope* outer_;
    xmlExternalEntityLoader previous_;
};

// An input over bytes held in memory, named `url` so that relative references resolve from it.
xmlParserInputPtr LibXmlInputFromMemory(const QByteArray& bytes, const char* url, xmlParserCtxtPtr ctxt);

// Initialises the library once.
void LibXmlInit();
