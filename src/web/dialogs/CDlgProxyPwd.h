#pragma once

#include "CXDialogEx.h"

// Asks for the relay server's access password.
class CDlgProxyPwd : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgProxyPwd(QWidget* parent = nullptr);

    QString m_strPassword; // the last typed one when it opens, the typed one after OK

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
