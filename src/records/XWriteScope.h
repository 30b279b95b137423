#pragma once

#include <QtCore/QString>

#include <memory>

class CXDBSession;
class XDeferredReports;

// A write of several statements that is committed together or not at all.
//
// Without a session the scope connects and owns a transaction on that connection (on the UI
// thread's shared connection a transaction already open there is joined).
// Given a session it joins the caller's work there, and the caller's transaction decides: a
// writer that calls another writer passes its session down, and only the outermost scope
// commits. Told to own a transaction on a given session (a session the caller opened, not in
// a transaction yet), the scope begins one there; when one is open already it joins it.
//
// Begin, run the statements on Session(), then Finish with whether they all succeeded. A
// scope that ends without Finish (an early return) rolls its own transaction back. Reports
// raised while the own transaction is open are given on after it ended, since a report may
// be a log row that needs the write lock.
class XWriteScope
{
public:
    enum class Given {
        Join,         // the caller's transaction (or none) decides
        OwnUnlessOpen // a transaction of the scope's own unless the session has one open
    };

    explicit XWriteScope(CXDBSession* given, Given mode = Given::Join);
    ~XWriteScope();
    XWriteScope(const XWriteScope&) = delete;
    XWriteScope& operator=(const XWriteScope&) = delete;

    CXDBSession& Session() { return *m_session; }
    // True while the scope's own transaction is open (false for a joining scope).
    bool OwnsTransaction() const { return m_bBegun; }

    // Begins the own transaction; a joining scope has nothing to begin. False after a
    // reported failure (the task names it), and then the scope is to be finished failed.
    bool Begin(const QString& task);

    // Commits the own transaction when ok, or rolls it back, then gives on the held reports.
    // True when ok and the commit held; a failed commit is reported ("提交事务") and rolled
    // back. A joining scope returns ok and leaves the transaction to the caller. Finishing
    // again does nothing more.
    bool Finish(bool ok);

private:
    std::unique_ptr<CXDBSession> m_own;
    CXDBSession* m_session = nullptr;
    std::unique_ptr<XDeferredReports> m_deferred; // set when the scope owns the transaction
    bool m_bOwn = false;                          // the scope is to begin and end the transaction
    bool m_bBegun = false;                        // it has begun it and not ended it yet
};
