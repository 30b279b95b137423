#pragma once

#include "XPrintEditServices.h"

// The edit frame's services as the program runs them: printing, and the WeChat notices of
// the web service (its access token and the notice dialog).
class XWxEditServices : public XPrintEditServices
{
public:
    QString GetWxAccessToken() override;
    void SendWxMsg(QWidget* parent, CXItem* item) override;
    bool IsAvailable() const override { return true; }
};

// The program's instance.
XEditServices& AppEditServices();
