#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int kWaitMs = 2000;
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    name_ = "Fabulor-" + QString::fromLatin1(hash.toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

// A request is a first line saying what is wanted ("OPEN" or "PROBE"), then
// one picture path per line, then an empty line.
namespace {
QByteArray Request(const char* verb, const QStringList& pictures) {
    QByteArray request = QByteArray(verb) + '\n';
    for (const QString& picture : pictures)
        request += picture.toUtf8() + '\n';
    return request + '\n';
}

bool Send(const QString& name, const QByteArray& request, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(waitMs)) return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(waitMs)) return false;
    socket.waitForReadyRead(waitMs);  // the acknowledgement
    return true;
}
}  // namespace

bool SingleInstance::HandOver(const QStringList& pictures) {
    return Send(name_, Request("OPEN", pictures), kWaitMs);
}

bool SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket file left by a program that crashed: nobody answers it.
        if (OtherInstanceRunning()) return false;
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadRequest);
    return true;
}

bool SingleInstance::OtherInstanceRunning() {
    if (server_ && server_->isListening()) server_->close();
    return Send(name_, Request("PROBE", {}), 300);
}

void SingleInstance::ReadRequest() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QByteArray request;
        while (!request.contains("\n\n")) {
            if (!socket->bytesAvailable() && !socket->waitForReadyRead(kWaitMs)) break;
            request += socket->readAll();
        }
        socket->write("ok");
        socket->flush();
        socket->disconnectFromServer();
        socket->deleteLater();

        QList<QByteArray> lines = request.split('\n');
        if (lines.isEmpty() || lines.takeFirst() != "OPEN") continue;
        QStringList pictures;
        for (const QByteArray& line : lines) {
            if (!line.isEmpty()) pictures.append(QString::fromUtf8(line));
        }
        emit activated(pictures);
    }
}
