#include "WebService.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace xInternet {

bool IsUsableIpv4(const QString& dotted)
{
    return !dotted.isEmpty() && !dotted.startsWith(QStringLiteral("127")) && !dotted.startsWith(QStringLiteral("0."));
}

QString GetHostIpv4(const QString& host)
{
    if (host.isEmpty())
        return QString();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &list) != 0)
        return QString();
    QString found;
    for (const addrinfo* a = list; a && found.isEmpty(); a = a->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr, text, sizeof text);
        if (IsUsableIpv4(QString::fromLatin1(text)))
            found = QString::fromLatin1(text);
    }
    freeaddrinfo(list);
    return found;
}

} // namespace xInternet
