#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#include <memory>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// A request: this mark, the length of the path in bytes, the path in UTF-8,
// all integers big-endian. The answer is one byte.
constexpr quint32 kRequestMark = 0x564C4D31; // "VLM1"
constexpr int kHeaderBytes = 8;
// Far beyond any real path; a longer request is not from this program.
constexpr quint32 kMaxPathBytes = 64 * 1024;
constexpr char kTaken = '1';
// A socket file with no program behind it refuses at once; this only bounds
// a connection that neither succeeds nor fails.
constexpr int kConnectTimeout = 2000;

QString UserPart() {
#if defined(Q_OS_UNIX)
    return QString::number(::getuid());
#else
    const QByteArray name = qEnvironmentVariable("USERNAME").toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(8));
#endif
}

} // namespace

QString SingleInstance::KeyFor(const QString &programDir) {
    const QFileInfo info(programDir);
    QString folder = info.canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return u"velmora-"_s + UserPart() + u"-"_s + QString::fromLatin1(hash);
}

QString SingleInstance::PathFromArguments(const QStringList &arguments) {
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    return QFileInfo(arguments.last()).absoluteFilePath();
}

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::Claim(const QString &path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (HandOver(path)) {
        case Contact::HandedOver:
            return Role::HandedOver;
        case Contact::NoAnswer:
            return Role::Alone;
        case Contact::NoOneThere:
            break;
        }
        if (Listen())
            return Role::First;
        // The name is taken. Either a program started at the same moment
        // and listens now (the next hand-over reaches it), or a program that
        // crashed left its socket file, which nobody answers on.
        if (attempt == 0 && HandOver(path) == Contact::NoOneThere)
            QLocalServer::removeServer(key_);
    }
    return Role::Alone;
}

SingleInstance::Contact SingleInstance::HandOver(const QString &path) const {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kConnectTimeout))
        return Contact::NoOneThere;
    const QByteArray bytes = path.toUtf8();
    QByteArray request(kHeaderBytes, '\0');
    qToBigEndian<quint32>(kRequestMark, request.data());
    qToBigEndian<quint32>(quint32(bytes.size()), request.data() + 4);
    request += bytes;
    socket.write(request);
    QElapsedTimer clock;
    clock.start();
    while (socket.bytesAvailable() < 1) {
        const qint64 left = answerTimeout_ - clock.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            return Contact::NoAnswer;
    }
    char answer = 0;
    socket.getChar(&answer);
    return answer == kTaken ? Contact::HandedOver : Contact::NoAnswer;
}

bool SingleInstance::Listen() {
    auto server = std::make_unique<QLocalServer>(this);
    // Only the same user may hand pages over.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(key_))
        return false;
    server_ = server.release();
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
    return true;
}

void SingleInstance::AcceptConnections() {
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        // A caller that never finishes its request is not waited for.
        QTimer::singleShot(answerTimeout_, socket, [socket] { socket->abort(); });
        ReadRequest(socket);
    }
}

void SingleInstance::ReadRequest(QLocalSocket *socket) {
    if (socket->bytesAvailable() < kHeaderBytes)
        return;
    const QByteArray header = socket->peek(kHeaderBytes);
    const quint32 mark = qFromBigEndian<quint32>(header.constData());
    const quint32 length = qFromBigEndian<quint32>(header.constData() + 4);
    if (mark != kRequestMark || length > kMaxPathBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kHeaderBytes + qint64(length))
        return;
    socket->skip(kHeaderBytes);
    const QString path = QString::fromUtf8(socket->read(length));
    socket->putChar(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    // Opening the page may ask questions in a window of their own; that
    // waits until this connection is done with.
    QMetaObject::invokeMethod(
        this, [this, path] { emit PathReceived(path); }, Qt::QueuedConnection);
}

} // namespace velmora
