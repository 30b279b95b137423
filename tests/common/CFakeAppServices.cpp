#include "CFakeAppServices.h"

#include <gtest/gtest.h>

namespace {

CFakeAppServices* g_installed = nullptr;

class FakeProgress final : public XProgress
{
public:
    explicit FakeProgress(QStringList& log) : m_log(log) {}
    ~FakeProgress() override { m_log.append(QStringLiteral("end")); }
    void Step(const QString& text) override { m_log.append(QStringLiteral("step:") + text); }

private:
    QStringList& m_log;
};

} // namespace

CFakeAppServices& CFakeAppServices::Installed() { return *g_installed; }

CFakeAppServices::CFakeAppServices()
{
    if (!g_installed)
        g_installed = this;
}

CFakeAppServices::~CFakeAppServices()
{
    if (g_installed == this)
        g_installed = nullptr;
}

QVariant CFakeAppServices::SetupValue(const QString& key) const
{
    auto it = setup.find(key);
    return it == setup.end() ? QVariant() : it->second;
}

void CFakeAppServices::ShowSqlError(const QString& task, const QString& sql, const QString& message)
{
    sqlErrors.push_back({task, sql, message});
    if (!expectPrompts)
        ADD_FAILURE() << "unscripted database error dialog: " << task.toStdString() << " | " << message.toStdString()
                      << " | " << sql.toStdString();
}

int CFakeAppServices::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned type)
{
    messages.push_back({text, caption, type});
    if (!expectPrompts)
        ADD_FAILURE() << "unscripted message box: " << caption.toStdString() << " | " << text.toStdString();
    return answer;
}

std::unique_ptr<XProgress> CFakeAppServices::BeginProgress(const QString& title, int steps)
{
    progress.append(QStringLiteral("begin:%1:%2").arg(title).arg(steps));
    return std::make_unique<FakeProgress>(progress);
}

void CFakeAppServices::Clear()
{
    answer = IDOK;
    expectPrompts = false;
    user = nullptr; // the record it pointed at usually belonged to the test that ends
    setup.clear();
    messages.clear();
    sqlErrors.clear();
    progress.clear();
}
