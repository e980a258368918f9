#include "xml/HttpSchemaFetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

bool HttpSchemaFetcher::fetch(const QUrl& url, QByteArray* body, QString* error) {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Sumaris 2022"));
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs_);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    const bool timedOut = !timer.isActive();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    bool ok = reply->error() == QNetworkReply::NoError && (status == 0 || status == 200);
    if (ok) {
        *body = reply->readAll();
    } else if (error) {
        *error = url.toString() + QStringLiteral(": ") +
                 (timedOut ? QStringLiteral("no answer") : reply->errorString());
    }
    delete reply;
    return ok;
}
