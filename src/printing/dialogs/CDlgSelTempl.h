#pragma once

#include <QtWidgets/QDialog>

class CXArray;
class CXItem;
class QListWidget;

// Chooses one of a module's enabled print templates. Callers run it only with two or more:
// one template is chosen without asking, none is "无可用的打印模板！".
class CDlgSelTempl : public QDialog
{
    Q_OBJECT
public:
    CDlgSelTempl(const CXArray& templs, QWidget* parent = nullptr);

    QListWidget* List() const { return m_list; }
    CXItem* m_chosen = nullptr;

private:
    void OnOk();
    const CXArray& m_templs;
    QListWidget* m_list;
};
