#pragma once
// One column of an open table: its name, kind and size, the integer tag the
// grid uses as a sort-direction memory, and the key by which filters and
// sorts compare its values.
#include "DbValue.h"
#include <functional>

enum class TFieldKind { AutoInc, Integer, String };

// Maps a stored value to the key that filters and sorts compare. It must be
// a pure function: the same value always gives the same key.
using TFieldKeyFunction = std::function<TDbValue(const TDbValue& value)>;

class TDbField {
public:
    TDbField(QString name, TFieldKind kind, int size, int index);

    const QString& FieldName() const { return FFieldName; }
    TFieldKind Kind() const { return FKind; }
    int Size() const { return FSize; } // characters for text; 0: no limit
    int Index() const { return FIndex; } // position in the table's field list
    bool IsNumeric() const { return FKind != TFieldKind::String; }

    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    // Default key: texts without regard to letter case, numbers as numbers.
    void SetKeyFunction(TFieldKeyFunction function) { FKeyFunction = std::move(function); }
    TDbValue Key(const TDbValue& value) const;

    // Checks and converts a value to what this field stores. Throws
    // EConvertError (out-of-range number, text that is no whole number, text
    // over the size) or EDatabaseError (writing an auto-numbered field).
    TDbValue Convert(const TDbValue& value) const;
    // The same for a text handed over: empty text is Null for a number field.
    TDbValue ConvertText(const QString& text) const;

    // Text shown for a value: Null empty, numbers plain decimal.
    static QString DisplayText(const TDbValue& value) { return value.ToString(); }

private:
    QString FFieldName;
    TFieldKind FKind;
    int FSize;
    int FIndex;
    int FTag = 0;
    TFieldKeyFunction FKeyFunction;
};

// Parses a 32-bit decimal whole number as the program's conversions do
// (blanks around it and a sign allowed). Throws EConvertError
// "'<text>' is not a valid integer value".
qint32 StrToInt(const QString& text);
