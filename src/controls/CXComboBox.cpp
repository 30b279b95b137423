#include "CXComboBox.h"

#include "CDlgSelHistory.h"
#include "CXDialogEx.h"
#include "XDrawing.h"
#include "XHistoryLogic.h"
#include "CXArray.h"
#include "CXItem.h"
#include "RecordLookups.h"
#include "XCtrlProps.h"
#include "XWinStyles.h"

#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtWidgets/QLineEdit>

CXComboBox::CXComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, &CXComboBox::OnSelEndOk);
    auto changed = [this] {
        CXDialogEx* dlg = CXDialogEx::FromControl(this);
        if (dlg && !IsWndReadOnly(this) && isVisibleTo(dlg))
            dlg->RequestUpdate();
    };
    connect(this, &QComboBox::currentIndexChanged, this, changed);
    connect(this, &QComboBox::editTextChanged, this, changed);
}

void CXComboBox::SaveItems()
{
    m_arrItems.clear();
    for (int i = 0; i < count(); ++i)
        m_arrItems << itemText(i);
    WatchEdit();
}

void CXComboBox::WatchEdit()
{
    // the edit of an editable combo: the read-only and input-method rules apply to it too
    if (QLineEdit* edit = lineEdit()) {
        edit->removeEventFilter(this);
        edit->installEventFilter(this);
    }
}

void CXComboBox::FillHistory()
{
    if (count() != 0)
        return;
    QStringList history;
    if (!m_strTable.isEmpty() && !m_strColumn.isEmpty()) {
        CXArray values;
        ReadInputHistory(values, m_strTable, m_strColumn);
        for (int i = 0; i < values.GetSize(); ++i)
            history << values.GetAt(i)->m_strName;
    }
    QStringList present;
    const QString keep = currentText();
    for (const auto& [text, data] : ComboFillItems(present, m_arrItems, history)) {
        addItem(text, data);
        setItemData(count() - 1, QSize(0, RowHeight() - 4), Qt::SizeHintRole);
    }
    if (isEditable())
        setEditText(keep);
}

void CXComboBox::showPopup()
{
    if (IsWndReadOnly(this))
        return;
    m_strBeforeDrop = currentText();
    FillHistory();
    QComboBox::showPopup();
}

void CXComboBox::OnSelEndOk(int index)
{
    const int data = itemData(index).toInt();
    if ((data & 0xFFFF) == 0xFFFF) {
        m_strText.clear();
    } else if (data == 0) {
        return;
    } else {
        m_strText = m_strBeforeDrop;
    }
    // after Qt has copied the item's text into the edit
    QTimer::singleShot(0, this, [this, data] {
        RestoreText();
        if (data == XCB_MORE)
            OnHistory();
    });
}

void CXComboBox::RestoreText()
{
    const int at = findText(m_strText);
    const int data = at >= 0 ? itemData(at).toInt() : 0;
    setCurrentIndex(at >= 0 && data == 0 ? at : -1);
    if (isEditable()) {
        setEditText(m_strText);
        lineEdit()->selectAll();
    }
}

void CXComboBox::OnHistory()
{
    CDlgSelHistory history;
    history.m_strTable = m_strTable;
    history.m_strColumn = m_strColumn;
    history.m_strValue = m_strText;
    if (history.RunHistory() == IDOK) {
        m_strText = history.m_strValue;
        if (history.IsAdmin())
            clear(); // read again: the administrator may have corrected values
    }
    RestoreText();
}

bool CXComboBox::ShowsItself() const { return isEnabled() && !IsWndReadOnly(this); }

void CXComboBox::OnReadOnlyChanged(bool readOnly)
{
    WatchEdit();
    if (lineEdit()) {
        lineEdit()->setReadOnly(readOnly);
        lineEdit()->setVisible(ShowsItself());
    }
    update();
}

void CXComboBox::paintEvent(QPaintEvent* e)
{
    if (lineEdit())
        lineEdit()->setVisible(ShowsItself());
    if (ShowsItself()) {
        QComboBox::paintEvent(e);
        return;
    }
    QPainter p(this);
    DrawComboFrame(&p, rect(), false, this);
    if (!isEnabled() || currentText().isEmpty())
        return;
    const QRect r = rect().adjusted(5, 0, -2, 0);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(currentText(), Qt::ElideRight, r.width()));
}

void CXComboBox::keyPressEvent(QKeyEvent* e)
{
    if (!IsWndReadOnly(this))
        QComboBox::keyPressEvent(e);
}

void CXComboBox::mousePressEvent(QMouseEvent* e)
{
    if (!IsWndReadOnly(this))
        QComboBox::mousePressEvent(e);
}

bool CXComboBox::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lineEdit()) {
        if (IsReadOnlyInput(this, e))
            return true;
        if ((e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) && HasStyle(this, CBS_OEMCONVERT))
            lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, e->type() == QEvent::FocusOut);
    }
    return QComboBox::eventFilter(watched, e);
}
