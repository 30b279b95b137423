#pragma once

#include <QtCore/QString>

#include <thread>

namespace xInternet {

// The WeChat template industry id of a (first class, second class) pair, compared without
// regard to case; 0 for a pair WeChat's list does not have. 16 is education / training.
int GetWxIndustryId(const QString& firstClass, const QString& secondClass);

// The token thread's state between passes, and one pass of it. A full pass (asked for by
// the refresh event) also makes the permanent QR code and checks the account's industries.
struct XWxTokenLoop
{
    // Milliseconds until the next pass: 60 s after a failure or a lifetime too short to wait
    // on, else three minutes before the token expires.
    long long waitMs = 60000;
    int failures = 0; // consecutive failed passes
    void Pass(bool full);
};

// Keeps the WeChat access token until the web stop event: waits on the refresh event or the
// program's clock reaching the next pass, runs a pass, and sets the refreshed event after
// each.
void WxTokenThread();

// Runs WxTokenThread at most once per service run: the relay side starts it after its first
// successful join (Start may be called after every join); the destructor joins it, so the
// owner keeps it until the web stop event is set.
class XWxTokenThread
{
public:
    XWxTokenThread() = default;
    XWxTokenThread(const XWxTokenThread&) = delete;
    XWxTokenThread& operator=(const XWxTokenThread&) = delete;
    ~XWxTokenThread();
    void Start();
    bool IsStarted() const { return m_thread.joinable(); }

private:
    std::thread m_thread;
};

} // namespace xInternet
