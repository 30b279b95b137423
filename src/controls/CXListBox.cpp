#include "CXListBox.h"

#include "XDrawing.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QStyledItemDelegate>

namespace {

class XListBoxDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), RowHeight());
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->save();
        p->fillRect(option.rect, pal.color(selected ? QPalette::Highlight : QPalette::Base));
        p->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect rc = option.rect.adjusted(5, 0, 0, 0);
        p->drawText(rc, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                    option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, rc.width()));
        p->restore();
    }
};

} // namespace

CXListBox::CXListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new XListBoxDelegate(this));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
}

void CXListBox::mousePressEvent(QMouseEvent* e)
{
    if (!indexAt(e->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QListWidget::mousePressEvent(e);
}

void CXListBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (!indexAt(e->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QListWidget::mouseReleaseEvent(e);
}

void CXListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!indexAt(e->position().toPoint()).isValid())
        return;
    QListWidget::mouseDoubleClickEvent(e);
}
