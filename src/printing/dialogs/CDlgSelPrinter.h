#pragma once

#include <QtWidgets/QDialog>

class QTreeWidget;

// The printer chooser: every printer with its queued jobs and state; OK with one chosen.
class CDlgSelPrinter : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgSelPrinter(QWidget* parent = nullptr);

    void Refresh();
    QTreeWidget* List() const { return m_list; }

    QString m_strPrinter; // the chosen printer after OK

private:
    void OnOk();
    QTreeWidget* m_list;
};
