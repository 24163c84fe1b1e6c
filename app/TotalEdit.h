// The total box: a read-only text box whose text can be written many times
// in a row (once per row of a walk) while it is laid out and painted once.
#pragma once

#include <QLineEdit>

#include <optional>

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
        FPendingNumber.reset();
    }
    void EndUpdate();
    void WriteText(const QString& text);
    // Writes the decimal text of value; between BeginUpdate and EndUpdate the
    // text is only made for the last value written.
    void WriteNumber(qint32 value);
    // The text last written, shown or not yet.
    QString WrittenText() const;
    int WriteCount() const { return FWriteCount; } // writes since construction

private:
    bool FUpdating = false;
    bool FPendingValid = false;
    QString FPending;
    std::optional<qint32> FPendingNumber; // FPending is its text when set
    int FWriteCount = 0;
};
