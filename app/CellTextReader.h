// How the workbook reads a text handed to a cell, the way a spreadsheet
// program reads what is typed into it: a plain whole number becomes a
// number, a date in the user's short date format a date; the rest stays text.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <vector>

struct TCellReading {
    enum class TKind { Text, Number, Date };
    TKind Kind = TKind::Text;
    double Number = 0; // for Number
    QDate Date; // for Date
};

class TCellTextReader {
public:
    // locale: its short date format decides which texts are dates.
    explicit TCellTextReader(const QLocale& locale);

    // Number: "-"? digits, no leading zero, at most 15 digits (so the number
    // keeps every digit and shows exactly as the text). Date: a text that the
    // short date format gives for a date of the years 1900 to 9999 (so the
    // cell shows it unchanged); two-digit years 00-29 are 2000-2029.
    TCellReading Read(const QString& text) const;

    // The short date format in the workbook's number-format notation.
    const QString& DateFormat() const { return FDateFormat; }

private:
    struct TToken {
        enum TKind { Literal, Day, Month, Year2, Year4, Other };
        TKind Kind;
        int Width; // digits (1 = one or two digits) for fields
        QString Text; // for Literal
    };
    bool ReadDate(const QString& text, QDate& date) const;

    QLocale FLocale;
    QString FQtFormat;
    QString FDateFormat;
    std::vector<TToken> FTokens;
    bool FNumericFormat = true; // only day, month, year and literals
};
