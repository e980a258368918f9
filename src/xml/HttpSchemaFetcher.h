#pragma once
// Fetches schemas from the registry over HTTP(S), waiting in a local event loop.
#include "xml/XmlValidation.h"

class HttpSchemaFetcher : public SchemaFetcher {
public:
    explicit HttpSchemaFetcher(int timeoutMs = 30000) : timeoutMs_(timeoutMs) {}
    bool fetch(const QUrl& url, QByteArray* body, QString* error) override;

private:
    int timeoutMs_;
};
