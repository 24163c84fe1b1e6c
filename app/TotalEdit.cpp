// The total box. Laying out a line edit's text costs microseconds, so a
// walk of 100,000 rows that shows every intermediate sum would spend most of
// its time there although nobody can see those sums: the walk runs on the
// user-interface thread and nothing paints until it ends. Invariant: after
// EndUpdate the box shows the last text written, exactly as if every write
// had gone to the box directly.
#include "TotalEdit.h"

void TTotalEdit::WriteText(const QString& text)
{
    ++FWriteCount;
    if (FUpdating) {
        FPending = text;
        FPendingNumber.reset();
        FPendingValid = true;
    } else {
        setText(text);
    }
}

void TTotalEdit::WriteNumber(qint32 value)
{
    if (!FUpdating) {
        WriteText(QString::number(value));
        return;
    }
    // Making the text of every intermediate sum would cost one allocation
    // per row of a walk; only the last one is ever shown.
    ++FWriteCount;
    FPendingNumber = value;
    FPendingValid = true;
}

QString TTotalEdit::WrittenText() const
{
    if (!FUpdating || !FPendingValid)
        return text();
    return FPendingNumber ? QString::number(*FPendingNumber) : FPending;
}

void TTotalEdit::EndUpdate()
{
    FUpdating = false;
    if (FPendingValid)
        setText(FPendingNumber ? QString::number(*FPendingNumber) : FPending);
    FPendingValid = false;
    FPendingNumber.reset();
}
