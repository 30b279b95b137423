#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// The data word of the request a second start sends to the running instance.
inline constexpr quint32 ACTIVATE_DATA_WORD = 4663;

// One program instance per key. The first instance takes a lock file and listens on a local
// socket named after the key; a later start finds the lock taken, sends the running
// instance the activation request and ends. The lock decides who is first, so two
// simultaneous starts cannot both win, and a socket file left by a killed instance does not
// stand in a new one's way.
class CInstanceGuard : public QObject
{
    Q_OBJECT

public:
    explicit CInstanceGuard(const QString& key, QObject* parent = nullptr);
    ~CInstanceGuard() override;

    // True when another instance holds the key; it has then been sent the activation
    // request (waiting up to waitMs for it to listen). False: this is the first instance,
    // and it now receives the requests of later starts.
    bool ActivateOtherInstance(int waitMs = 5000);

    QString ServerName() const;
    QString LockFilePath() const;

    // Sends one request word to the instance listening under the server name.
    static bool SendRequest(const QString& serverName, quint32 dataWord, int waitMs);

signals:
    void activateRequested(quint32 dataWord);

private:
    void OnNewConnection();
    void TakeRequest(QLocalSocket* socket);

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

// The key of this program: the MD5 of the program file's path together with the program
// folder (LORVAN_HOME when set). Paths are not lower-cased: on Linux "/opt/App" and
// "/opt/app" are different programs, and one executable serving two data folders is two.
QString GetInstanceKey();
QString GetInstanceKey(const QString& programPath, const QString& programFolder);

// The process-wide guard with GetInstanceKey(): true means another instance runs and has
// been asked to come forward, so start-up must end. Needs the application object.
bool ActivateOtherInstance();

// What the first instance does with a request (on the UI thread).
void SetActivateRequestHandler(std::function<void(quint32)> handler);
