#pragma once
// `veltrano FILE` while the program already runs: the second copy hands the
// record file to the running one, which opens it in its record window, and
// ends without a word.  The two meet at a local socket beside the
// single-instance lock, in the folder only this user can reach.

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace veltrano {

// The socket's path in the guard's folder; empty without a folder.
QString recordHandOverPath(const QString& guardFolder);

// Hands file (made absolute) to the copy listening at path; true once that
// copy has taken it.  False when nobody listens or it does not answer within
// timeoutMs.
bool handOverRecordFile(const QString& path, const QString& file, int timeoutMs = 3000);

// The running copy's side: listens at path and reports every file handed in.
class RecordFileReceiver : public QObject {
    Q_OBJECT
public:
    explicit RecordFileReceiver(const QString& path, QObject* parent = nullptr);
    bool isListening() const { return m_server.isListening(); }

signals:
    void fileReceived(const QString& file);

private:
    void takeConnection();
    QLocalServer m_server;
};

} // namespace veltrano
