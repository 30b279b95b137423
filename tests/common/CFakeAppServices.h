#pragma once

#include "XAppServices.h"

#include <QtCore/QStringList>

#include <map>

// Answers message boxes with a set reply and remembers everything it was asked, so that
// tests run headless and check what the user would have seen. A message box or database
// error dialog fails the running test unless the test expects them (expectPrompts).
class CFakeAppServices : public XAppServices
{
public:
    struct Message
    {
        QString text;
        QString caption;
        unsigned type = 0;
    };

    static CFakeAppServices& Installed(); // the instance the test main installed

    CFakeAppServices();
    ~CFakeAppServices() override;

    const CXItem* User() const override { return user; }
    QVariant SetupValue(const QString& key) const override;
    void ShowSqlError(const QString& task, const QString& sql, const QString& message) override;
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;
    std::unique_ptr<XProgress> BeginProgress(const QString& title, int steps) override;

    void Clear();

    int answer = IDOK;
    bool expectPrompts = false;   // set by a test that scripts message boxes; Clear resets it
    const CXItem* user = nullptr; // the logged-in user tests set; Clear resets it
    std::map<QString, QVariant> setup;
    std::vector<Message> messages;
    std::vector<QStringList> sqlErrors;
    QStringList progress; // "begin:<title>:<steps>", "step:<text>", "end"
};
