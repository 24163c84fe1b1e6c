// Cell painting of the record grid. The selection highlight of the view is
// never drawn: the draw handler's colours are the only marking of a row, so
// the current record looks the same whichever of its cells has the focus.
#include "GridCellDelegate.h"

#include <QPainter>

void TGridCellDelegate::DefaultDrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option,
    const QModelIndex& index, const QColor& background, const QColor& text) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    opt.backgroundBrush = background;
    opt.palette.setColor(QPalette::Text, text);
    opt.palette.setColor(QPalette::HighlightedText, text);
    painter->fillRect(opt.rect, background);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style)
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

void TGridCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (FOnDrawColumnCell)
        FOnDrawColumnCell(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
}
