#include "startup/RecordHandOver.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace veltrano {

namespace {
constexpr qint64 kMaxPathBytes = 64 * 1024;
const QByteArray kTaken = "ok\n";
} // namespace

QString recordHandOverPath(const QString& guardFolder)
{
    return guardFolder.isEmpty() ? QString() : QDir(guardFolder).filePath(QStringLiteral("Veltrano.exe.record"));
}

bool handOverRecordFile(const QString& path, const QString& file, int timeoutMs)
{
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(QFileInfo(file).absoluteFilePath().toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.endsWith('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    return answer == kTaken;
}

RecordFileReceiver::RecordFileReceiver(const QString& path, QObject* parent)
    : QObject(parent)
{
    // This copy holds the single-instance lock, so a socket left at path
    // belongs to a copy that ended without cleaning up.
    if (path.isEmpty())
        return;
    QLocalServer::removeServer(path);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &RecordFileReceiver::takeConnection);
    m_server.listen(path);
}

void RecordFileReceiver::takeConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxPathBytes) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QString file = QString::fromUtf8(socket->readLine()).trimmed();
            socket->write(kTaken);
            socket->flush();
            socket->disconnectFromServer();
            if (!file.isEmpty())
                emit fileReceived(file);
        });
    }
}

} // namespace veltrano
