// The total box: a read-only text box whose text can be written many times
// in a row (once per row of a walk) while it is laid out and painted once.
#pragma once

#include <QLineEdit>

class TTotalEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // Between BeginUpdate and EndUpdate, WriteText only records the text;
    // EndUpdate shows the last text written. Outside, WriteText is setText.
    void BeginUpdate()
    {
        FUpdating = true;
        FPendingValid = false;
    }
    void EndUpdate();
    void WriteText(const QString& text);
    // The text last written, shown or not yet.
    QString WrittenText() const { return FUpdating && FPendingValid ? FPending : text(); }
    int WriteCount() const { return FWriteCount; } // writes since construction

private:
    bool FUpdating = false;
    bool FPendingValid = false;
    QString FPending;
    int FWriteCount = 0;
};
