#pragma once
// A stand-in for the schema registry in tests: a tiny HTTP server on 127.0.0.1 that answers GET
// requests from a table of paths, in a thread of its own so that a child process can use it too.
#include <QCoreApplication>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

class LoopbackRegistry {
public:
    // `files`: URL path ("/wzor/.../schemat.xsd") -> body. Other paths get 404.
    explicit LoopbackRegistry(QHash<QString, QByteArray> files) : files_(std::move(files)) {
        anchor_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &anchor_, [this] { startServer(); }, Qt::BlockingQueuedConnection);
    }
    ~LoopbackRegistry() { stop(); }

    // Stops answering; the port is closed.
    void stop() {
        if (!thread_.isRunning()) return;
        QMetaObject::invokeMethod(
            &anchor_,
            [this] {
                delete server_;
                server_ = nullptr;
                anchor_.moveToThread(QCoreApplication::instance()->thread());
            },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    quint16 port() const { return port_; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    QStringList requests() const {
        QMutexLocker lock(&mutex_);
        return requests_;
    }

private:
    void startServer() {
        server_ = new QTcpServer;
        server_->listen(QHostAddress::LocalHost, 0);
        port_ = server_->serverPort();
        QObject::connect(server_, &QTcpServer::newConnection, server_, [this] {
            while (QTcpSocket* socket = server_->nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
    }

    void answer(QTcpSocket* socket) {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n")) return;
        const QList<QByteArray> first = buffer.left(buffer.indexOf("\r\n")).split(' ');
        const QString path =
            first.size() > 1 ? QString::fromUtf8(QByteArray::fromPercentEncoding(first[1])) : QString();
        pending_.remove(socket);
        {
            QMutexLocker lock(&mutex_);
            requests_.append(path);
        }
        QByteArray response;
        if (files_.contains(path)) {
            const QByteArray& body = files_[path];
            response =
                "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nConnection: close\r\nContent-Length: " +
                QByteArray::number(body.size()) + "\r\n\r\n" + body;
        } else {
            response = "HTTP/1.1 404 Not Found\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
        }
        socket->write(response);
        socket->disconnectFromHost();
    }

    QHash<QString, QByteArray> files_;
    QThread thread_;
    QObject anchor_; // lives in the server's thread; work is sent to it
    QTcpServer* server_ = nullptr;
    quint16 port_ = 0;
    QHash<QTcpSocket*, QByteArray> pending_;
    mutable QMutex mutex_;
    QStringList requests_;
};
