#include "CInstanceGuard.h"

#include "CMD5.h"
#include "ProgramPaths.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QLockFile>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtCore/QtEndian>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>

namespace {

constexpr int REQUEST_BYTES = 4;
// a client that connects and sends nothing is dropped after this
constexpr int REQUEST_TIMEOUT_MS = 5000;

QPointer<CInstanceGuard> g_guard;
std::function<void(quint32)> g_handler;

} // namespace

CInstanceGuard::CInstanceGuard(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

CInstanceGuard::~CInstanceGuard()
{
    if (m_server)
        m_server->close();
}

QString CInstanceGuard::ServerName() const { return QStringLiteral("lorvan-") + m_key; }

QString CInstanceGuard::LockFilePath() const
{
    return QDir::tempPath() + QStringLiteral("/lorvan-") + m_key + QStringLiteral(".lock");
}

bool CInstanceGuard::ActivateOtherInstance(int waitMs)
{
    if (m_server)
        return false;
    m_lock = std::make_unique<QLockFile>(LockFilePath());
    // The lock is held for the life of the instance: it is stale only when its process has
    // gone, never because it is old.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
        m_lock.reset();
        SendRequest(ServerName(), ACTIVATE_DATA_WORD, waitMs);
        return true;
    }
    // First instance (or the lock cannot be made at all, when running beats refusing to).
    // A socket file left by a killed instance would make listen() fail.
    QLocalServer::removeServer(ServerName());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceGuard::OnNewConnection);
    if (!m_server->listen(ServerName()))
        qWarning("lorvan: cannot listen for later starts: %s", qPrintable(m_server->errorString()));
    return false;
}

void CInstanceGuard::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { TakeRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            TakeRequest(socket);
            socket->deleteLater();
        });
        QTimer::singleShot(REQUEST_TIMEOUT_MS, socket, [socket] { socket->abort(); });
        TakeRequest(socket);
    }
}

// One request per connection; anything after its word is ignored.
void CInstanceGuard::TakeRequest(QLocalSocket* socket)
{
    if (socket->property("taken").toBool() || socket->bytesAvailable() < REQUEST_BYTES)
        return;
    socket->setProperty("taken", true);
    char word[REQUEST_BYTES];
    socket->read(word, REQUEST_BYTES);
    socket->disconnectFromServer();
    emit activateRequested(qFromLittleEndian<quint32>(word));
}

bool CInstanceGuard::SendRequest(const QString& serverName, quint32 dataWord, int waitMs)
{
    // The running instance may hold the lock but not listen yet: try again until it does.
    const QDeadlineTimer deadline(waitMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(std::max<qint64>(1, std::min<qint64>(500, deadline.remainingTime())))) {
            char word[REQUEST_BYTES];
            qToLittleEndian(dataWord, word);
            socket.write(word, REQUEST_BYTES);
            const bool sent = socket.waitForBytesWritten(std::max<qint64>(1, deadline.remainingTime()));
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(200);
            return sent;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

QString GetInstanceKey(const QString& programPath, const QString& programFolder)
{
    return Md5HexW(programPath + u'\n' + programFolder);
}

QString GetInstanceKey()
{
    QString program = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(program).canonicalFilePath();
    if (!canonical.isEmpty())
        program = canonical;
    return GetInstanceKey(program, GetExeFolder());
}

bool ActivateOtherInstance()
{
    if (!g_guard) {
        g_guard = new CInstanceGuard(GetInstanceKey(), QCoreApplication::instance());
        QObject::connect(g_guard, &CInstanceGuard::activateRequested, [](quint32 word) {
            if (g_handler)
                g_handler(word);
        });
    }
    return g_guard->ActivateOtherInstance();
}

void SetActivateRequestHandler(std::function<void(quint32)> handler) { g_handler = std::move(handler); }
