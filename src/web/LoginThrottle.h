#pragma once

#include <QtCore/QString>

namespace xInternet {

// Failed password logins counted per key: an account ("322:7") or an address ("a:10.0.0.5").
// The first few failures cost nothing; from then on every further try waits, twice as long
// after each failure, up to a quarter of an hour. A key's count is forgotten an hour after
// its last failure and at once after a successful login of the account. Times come from the
// program's clock, so tests move it instead of waiting.
class XLoginThrottle
{
public:
    static constexpr int kFreeFailures = 5;
    static constexpr int kFirstWaitSeconds = 30;
    static constexpr int kLongestWaitSeconds = 15 * 60;
    static constexpr int kForgetSeconds = 60 * 60;

    // Seconds the key must still wait before its next try; 0 when it may try now.
    int WaitSeconds(const QString& key) const;
    void Failed(const QString& key);
    void Succeeded(const QString& key);
    void Clear();
};

// The throttle of the web logins.
XLoginThrottle& LoginThrottle();

} // namespace xInternet
