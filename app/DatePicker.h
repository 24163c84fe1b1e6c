// A date-only picker in which Tab leaves the control, as in every other box
// of the window, instead of walking through the day, month and year parts.
#pragma once

#include <QDateEdit>

class TDatePicker : public QDateEdit {
    Q_OBJECT
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};
