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
        FPendingValid = true;
    } else {
        setText(text);
    }
}

void TTotalEdit::EndUpdate()
{
    FUpdating = false;
    if (FPendingValid)
        setText(FPending);
    FPendingValid = false;
}
