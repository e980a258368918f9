#include "xml/LibXmlSupport.h"

#include <libxml/globals.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>

namespace {

thread_local LibXmlLoaderScope* g_currentLoader = nullptr;
thread_local const LibXmlResourceLoader* g_currentFunction = nullptr;

xmlParserInputPtr scopedLoader(const char* url, const char* /*id*/, xmlParserCtxtPtr ctxt) {
    xmlParserInputPtr input = nullptr;
    if (url && g_currentFunction && *g_currentFunction) input = (*g_currentFunction)(url, ctxt);
    if (!input && g_currentLoader) g_currentLoader->refuse(QString::fromUtf8(url ? url : ""));
    return input;
}

void silentGeneric(void*, const char*, ...) {}

} // namespace

void LibXmlInit() {
    static const bool done = [] {
        xmlInitParser();
        return true;
    }();
    (void)done;
}

LibXmlErrorScope::LibXmlErrorScope()
    : previousStructured_(xmlStructuredError), previousStructuredContext_(xmlStructuredErrorContext),
      previousGeneric_(xmlGenericError), previousGenericContext_(xmlGenericErrorContext) {
    LibXmlInit();
    xmlSetStructuredErrorFunc(this, &LibXmlErrorScope::handler);
    xmlSetGenericErrorFunc(nullptr, silentGeneric);
}

LibXmlErrorScope::~LibXmlErrorScope() {
    xmlSetStructuredErrorFunc(previousStructuredContext_, previousStructured_);
    xmlSetGenericErrorFunc(previousGenericContext_, previousGeneric_);
}

void LibXmlErrorScope::record(const xmlError* error) {
    if (!error || first_.present) return;
    if (error->level < XML_ERR_ERROR) return;
    first_.present = true;
    first_.line = error->line;
    if (first_.line <= 0 && error->node)
        first_.line = int(xmlGetLineNo(static_cast<xmlNodePtr>(error->node)));
    first_.message = QString::fromUtf8(error->message ? error->message : "unknown error").trimmed();
    first_.file = QString::fromUtf8(error->file ? error->file : "");
}

void LibXmlErrorScope::handler(void* scope, xmlErrorPtr error) {
    static_cast<LibXmlErrorScope*>(scope)->record(error);
}

LibXmlLoaderScope::LibXmlLoaderScope(LibXmlResourceLoader loader)
    : loader_(std::move(loader)), outer_(g_currentLoader), previous_(xmlGetExternalEntityLoader()) {
    LibXmlInit();
    g_currentLoader = this;
    g_currentFunction = &loader_;
    xmlSetExternalEntityLoader(scopedLoader);
}

LibXmlLoaderScope::~LibXmlLoaderScope() {
    g_currentLoader = outer_;
    g_currentFunction = outer_ ? &outer_->loader_ : nullptr;
    xmlSetExternalEntityLoader(previous_);
}

xmlParserInputPtr LibXmlInputFromMemory(const QByteArray& bytes, const char* url, xmlParserCtxtPtr ctxt) {
    xmlParserInputBufferPtr buffer =
        xmlParserInputBufferCreateMem(bytes.constData(), int(bytes.size()), XML_CHAR_ENCODING_NONE);
    if (!buffer) return nullptr;
    xmlParserInputPtr input = xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE);
    if (!input) {
        xmlFreeParserInputBuffer(buffer);
        return nullptr;
    }
    input->filename = reinterpret_cast<const char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url)));
    return input;
}
