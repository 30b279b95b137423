#pragma once

#include "XAppServices.h"

// The desktop's answers to what the lower layers ask of the application: real message
// boxes and progress windows on the UI thread.
class CAppServices : public XAppServices
{
public:
    void ShowSqlError(const QString& task, const QString& sql, const QString& message) override;
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;
    std::unique_ptr<XProgress> BeginProgress(const QString& title, int steps) override;
};
