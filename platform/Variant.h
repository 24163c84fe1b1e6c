#pragma once

// The program's tagged value: report values, expression results and script
// variables all use this one type. Numbers and Booleans live inline, so making,
// copying and combining them never allocates; strings share their buffer.

#include "PelmoraError.h"

#include <QList>
#include <QString>
#include <cstdint>

class QObject;

// Run-time error of the value model ("Division by zero", failed conversions).
class EVariantError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};

class Variant {
public:
    enum Kind : uint8_t {
        vkEmpty, // never assigned
        vkNull,
        vkBoolean,
        vkInteger, // 32-bit signed
        vkInt64,
        vkDouble,
        vkDate, // day count from 30 December 1899 (DayCount.h); prints as a date
        vkString,
        vkArray, // one-dimensional, zero-based
        vkObject, // host object reference
        vkDispatch, // automation object
    };

    Variant() noexcept
        : FKind(vkEmpty)
    {
        FInt64 = 0;
    }
    Variant(bool v) noexcept
        : FKind(vkBoolean)
    {
        FBool = v;
    }
    Variant(int32_t v) noexcept
        : FKind(vkInteger)
    {
        FInt = v;
    }
    Variant(int64_t v) noexcept
        : FKind(vkInt64)
    {
        FInt64 = v;
    }
    Variant(double v) noexcept
        : FKind(vkDouble)
    {
        FDouble = v;
    }
    Variant(const QString& v)
        : FKind(vkString)
    {
        new (&FString) QString(v);
    }
    Variant(QString&& v) noexcept
        : FKind(vkString)
    {
        new (&FString) QString(std::move(v));
    }
    Variant(const char* v)
        : Variant(QString::fromUtf8(v))
    {
    }
    Variant(const QList<Variant>& elements);
    Variant(const char16_t*) = delete;
    Variant(const void*) = delete; // pointers are objects: use Object()

    static Variant Null() noexcept;
    static Variant Date(double days) noexcept;
    static Variant Object(QObject* obj) noexcept;
    static Variant Dispatch(QObject* obj) noexcept;

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { Release(); }

    Kind VarKind() const { return FKind; }
    bool IsEmpty() const { return FKind == vkEmpty; }
    bool IsNull() const { return FKind == vkNull; }
    bool IsString() const { return FKind == vkString; }
    bool IsArray() const { return FKind == vkArray; }
    bool IsObject() const { return FKind == vkObject; }
    bool IsDate() const { return FKind == vkDate; }
    // Integer, Int64 or Double.
    bool IsNumber() const { return FKind == vkInteger || FKind == vkInt64 || FKind == vkDouble; }

    // Conversions; each fails with "Could not convert variant of type (%s) into
    // type (%s)" when the value has no such reading. AsString reads Null and
    // Empty as empty text, as the report shows them, and a date by the
    // locale (DateTimeText); a date's number is its day count.
    bool AsBoolean() const;
    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    QString AsString() const;
    QObject* AsObject() const; // nullptr for Empty, Null and a zero number
    QList<Variant> AsArray() const;
    // Direct access to a stored string or array (empty unless of that kind).
    const QString& StringRef() const;
    int ArrayCount() const;
    const Variant& ArrayItem(int index) const;

    // "Empty", "Null", "Boolean", "Integer", "Int64", "Double", "Date", ...
    QString KindName() const { return KindName(FKind); }
    static QString KindName(Kind kind);

    // Same kind and same value (Null is identical to Null); for tests and caches.
    bool IsIdentical(const Variant& other) const;

    // The value model's operations. Null in arithmetic yields Null; Booleans
    // count as -1 and 0; Integer results that overflow widen to Int64, Int64
    // ones to Double. A date plus or minus a number is a date, a date minus a
    // date the Double number of days between; otherwise a date takes part as
    // its day count, and text beside a date may be a date in the locale's
    // short format.
    static Variant Add(const Variant& a, const Variant& b); // strings join
    static Variant Subtract(const Variant& a, const Variant& b);
    static Variant Multiply(const Variant& a, const Variant& b);
    static Variant DivideFloat(const Variant& a, const Variant& b);
    static Variant DivideInt(const Variant& a, const Variant& b);
    static Variant Modulus(const Variant& a, const Variant& b);
    static Variant ShiftLeft(const Variant& a, const Variant& b);
    static Variant ShiftRight(const Variant& a, const Variant& b);
    static Variant And(const Variant& a, const Variant& b); // logical on two Booleans
    static Variant Or(const Variant& a, const Variant& b);
    static Variant Xor(const Variant& a, const Variant& b);
    static Variant Negate(const Variant& a);
    static Variant Not(const Variant& a);

    // -1, 0 or 1. Null equals Null and orders below every other value; dates
    // compare by day count.
    static int Compare(const Variant& a, const Variant& b);
    static bool Equals(const Variant& a, const Variant& b);

    // Text of a floating number in the locale's general format ("3.5", "1E15").
    static QString FloatToText(double value);
    // Reads a number from text: decimal or "$" hex integers, else a float with
    // "." or the locale's decimal separator. Returns false when it is none.
    static bool TextToNumber(const QString& text, Variant& result);

    [[noreturn]] void ThrowConvertError(Kind target) const;

private:
    // Only strings and arrays hold anything to free; the rest stays inline.
    void Release() noexcept
    {
        if (FKind == vkString || FKind == vkArray)
            ReleaseHeld();
        FKind = vkEmpty;
        FInt64 = 0;
    }
    void ReleaseHeld() noexcept;
    void CopyFrom(const Variant& other);

    Kind FKind;
    union {
        bool FBool;
        int32_t FInt;
        int64_t FInt64;
        double FDouble;
        QObject* FObject;
        QString FString;
        QList<Variant>* FArray; // owned, copied with the variant
    };
};
