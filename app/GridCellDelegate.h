// Paints the data cells of the record grid through the window's draw
// handler, which picks the colours and then asks for the default painting.
#pragma once

#include <QStyledItemDelegate>
#include <functional>

class TGridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using TDrawColumnCell = std::function<void(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)>;
    using QStyledItemDelegate::QStyledItemDelegate;

    // Called for every data cell painted; empty: the default painting.
    void SetOnDrawColumnCell(TDrawColumnCell handler) { FOnDrawColumnCell = std::move(handler); }
    // The grid's own cell painting: background, then the text in the given
    // palette's text colour; neither selection nor focus is drawn, the
    // colours of the option decide alone.
    void DefaultDrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index, const QColor& background, const QColor& text) const;

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TDrawColumnCell FOnDrawColumnCell;
};
