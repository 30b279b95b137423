#include "XAppServices.h"

#include "XService.h"

#include <QtCore/QDebug>

#include <atomic>

namespace {

class NullProgress final : public XProgress
{
public:
    void Step(const QString&) override {}
};

XAppServices& DefaultServices()
{
    static XAppServices services;
    return services;
}

XService<XAppServices> g_services;

} // namespace

void XAppServices::ShowSqlError(const QString& task, const QString& sql, const QString& message)
{
    qWarning().noquote() << "数据库访问错误:" << task << "|" << sql << "|" << message;
}

int XAppServices::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned type)
{
    qInfo().noquote() << caption << ":" << text;
    switch (type & 0xF) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

std::unique_ptr<XProgress> XAppServices::BeginProgress(const QString&, int) { return std::make_unique<NullProgress>(); }

XAppServices& AppServices() { return g_services.GetOr(DefaultServices()); }

XAppServices* SetAppServices(XAppServices* services) { return g_services.Install(services); }
