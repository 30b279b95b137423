#pragma once

#include <QtCore/QString>
#include <QtCore/QVariant>
#include <QtGui/QIcon>
#include <QtGui/QRgb>

#include <memory>
#include <mutex>

class CXItem;
class QWidget;

// Message-box flags and answers keep the values the program's message texts and handlers
// were written against.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// A progress window for long work: destroying it closes the window.
class XProgress
{
public:
    virtual ~XProgress() = default;
    // Sets the text when it is not empty and advances one step when steps were given.
    virtual void Step(const QString& text) = 0;
};

// What the support library and the record layer need of the application object, so that
// they never include the application or a widget. The application installs its own at
// start-up; tests install a fake. UI-thread identity is IsUiThread() (XThread.h).
class XAppServices
{
public:
    virtual ~XAppServices() = default;

    // The built-in administrator (operator of rows written without a logged-in user).
    virtual const CXItem* Admin() const { return nullptr; }

    // The logged-in desktop user (null before login): rights, field access, and the settings
    // section of remembered dialog sizes.
    virtual const CXItem* User() const { return nullptr; }

    // The lock that guards the current preferences and the command icons.
    virtual std::mutex& Mutex() { return m_mutex; }

    // A value of the current preferences, read under Mutex(); invalid when not set, so the
    // caller's default applies.
    virtual QVariant SetupValue(const QString& key) const
    {
        Q_UNUSED(key);
        return QVariant();
    }

    // The icon of a command; a tint of 0xFFFFFF gives the faded look of a disabled command.
    virtual QIcon CommandIcon(int id, QRgb tint, bool large) const
    {
        Q_UNUSED(id);
        Q_UNUSED(tint);
        Q_UNUSED(large);
        return QIcon();
    }

    // The database error dialog: task, the statement or operation, the provider's message.
    virtual void ShowSqlError(const QString& task, const QString& sql, const QString& message);

    // A modal message box; returns IDOK, IDCANCEL, IDYES or IDNO. Without a desktop it
    // answers the safe way: IDOK to a plain notice, "cancel"/"no" to any question.
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);

    // A progress window over the main window; steps <= 0 gives a bar without a range.
    virtual std::unique_ptr<XProgress> BeginProgress(const QString& title, int steps);

private:
    std::mutex m_mutex;
};

// The installed services; a headless default until the application or a test installs its own.
XAppServices& AppServices();
// Installs services (not owned; null restores the default) and returns the previous ones.
XAppServices* SetAppServices(XAppServices* services);
