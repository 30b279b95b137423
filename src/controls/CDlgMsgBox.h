#pragma once

#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtWidgets/QDialog>

class QLabel;
class QTreeWidget;

// A message box with a list: the text, an icon by message type and a two-column list of
// items with an explanation each ("项目", "说明"), OK and Cancel. Beeps when it opens.
class CDlgMsgBox : public QDialog
{
    Q_OBJECT
public:
    // type: the MB_ICON* bits; caption: the command's name, empty for "提示标题".
    explicit CDlgMsgBox(unsigned type, const QString& caption = QString(), QWidget* parent = nullptr);

    void SetText(const QString& text);
    void AddItem(const QString& item, const QString& explanation);

    // The standard icon a type shows: error, question, warning, information; any other
    // type the warning icon.
    static int IconFor(unsigned type);

    QLabel* m_pIcon;
    QLabel* m_pText;
    QTreeWidget* m_pList;

protected:
    void showEvent(QShowEvent* event) override;
};
