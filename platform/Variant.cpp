// The tagged value and its value model: conversions, arithmetic, bit and
// logical operations and comparison across kinds.
//
// Invariants: FKind names the one live union member; a string variant owns a
// live QString, an array variant owns its list (never null). Operations on
// Integer, Int64 and Double operands never allocate.

#include "Variant.h"

#include "DayCount.h"

#include <QLocale>
#include <QObject>
#include <cmath>
#include <limits>

namespace {

const QString& EmptyString()
{
    static const QString empty;
    return empty;
}

// Round to nearest, halves to the even neighbour.
double RoundEven(double v)
{
    return std::nearbyint(v);
}

bool FitsInt32(int64_t v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

Variant FromInt64(int64_t v)
{
    return FitsInt32(v) ? Variant(static_cast<int32_t>(v)) : Variant(v);
}

// The numeric class an operand takes part in arithmetic with.
enum class NumClass { Int, Int64, Float };

} // namespace

Variant::Variant(const QList<Variant>& elements)
    : FKind(vkArray)
{
    FArray = new QList<Variant>(elements);
}

Variant Variant::Null() noexcept
{
    Variant v;
    v.FKind = vkNull;
    return v;
}

Variant Variant::Date(double days) noexcept
{
    Variant v;
    v.FKind = vkDate;
    v.FDouble = days;
    return v;
}

Variant Variant::Object(QObject* obj) noexcept
{
    Variant v;
    v.FKind = vkObject;
    v.FObject = obj;
    return v;
}

Variant Variant::Dispatch(QObject* obj) noexcept
{
    Variant v;
    v.FKind = vkDispatch;
    v.FObject = obj;
    return v;
}

Variant::Variant(const Variant& other)
    : FKind(vkEmpty)
{
    CopyFrom(other);
}

Variant::Variant(Variant&& other) noexcept
    : FKind(other.FKind)
{
    switch (FKind) {
    case vkString:
        new (&FString) QString(std::move(other.FString));
        other.FString.~QString();
        break;
    case vkArray:
        FArray = other.FArray;
        break;
    default:
        FInt64 = other.FInt64;
        break;
    }
    other.FKind = vkEmpty;
    other.FInt64 = 0;
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other) {
        if (FKind == vkString && other.FKind == vkString) {
            FString = other.FString;
            return *this;
        }
        Release();
        CopyFrom(other);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        Release();
        new (this) Variant(std::move(other));
    }
    return *this;
}

void Variant::ReleaseHeld() noexcept
{
    if (FKind == vkString)
        FString.~QString();
    else
        delete FArray;
}

void Variant::CopyFrom(const Variant& other)
{
    switch (other.FKind) {
    case vkString:
        new (&FString) QString(other.FString);
        break;
    case vkArray:
        FArray = new QList<Variant>(*other.FArray);
        break;
    default:
        FInt64 = other.FInt64;
        break;
    }
    FKind = other.FKind;
}

QString Variant::KindName(Kind kind)
{
    switch (kind) {
    case vkEmpty:
        return QStringLiteral("Empty");
    case vkNull:
        return QStringLiteral("Null");
    case vkBoolean:
        return QStringLiteral("Boolean");
    case vkInteger:
        return QStringLiteral("Integer");
    case vkInt64:
        return QStringLiteral("Int64");
    case vkDouble:
        return QStringLiteral("Double");
    case vkDate:
        return QStringLiteral("Date");
    case vkString:
        return QStringLiteral("String");
    case vkArray:
        return QStringLiteral("Array");
    case vkObject:
        return QStringLiteral("Object");
    case vkDispatch:
        return QStringLiteral("Dispatch");
    }
    return QString();
}

void Variant::ThrowConvertError(Kind target) const
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                            .arg(KindName(), KindName(target)));
}

// ---- conversions ----------------------------------------------------------

bool Variant::TextToNumber(const QString& text, Variant& result)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    if (t.startsWith(QLatin1Char('$')) || t.startsWith(QLatin1String("-$"))) {
        const bool neg = t.startsWith(QLatin1Char('-'));
        const qulonglong u = t.mid(neg ? 2 : 1).toULongLong(&ok, 16);
        if (!ok)
            return false;
        const int64_t v = static_cast<int64_t>(u);
        result = FromInt64(neg ? -v : v);
        return true;
    }
    const qlonglong i = t.toLongLong(&ok, 10);
    if (ok) {
        result = FromInt64(i);
        return true;
    }
    QString f = t;
    const QString dp = QLocale().decimalPoint();
    if (dp != QLatin1String("."))
        f.replace(dp, QLatin1String("."));
    const double d = f.toDouble(&ok);
    if (!ok)
        return false;
    result = Variant(d);
    return true;
}

QString Variant::FloatToText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    QString s;
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        s = QString::number(static_cast<int64_t>(value));
    } else {
        s = QString::number(value, 'g', 15);
        const int e = s.indexOf(QLatin1Char('e'));
        if (e >= 0) {
            // "1e+15" -> "1E15", "1e-05" -> "1E-5"
            QString mant = s.left(e);
            QString exp = s.mid(e + 1);
            bool neg = exp.startsWith(QLatin1Char('-'));
            if (exp.startsWith(QLatin1Char('+')) || neg)
                exp.remove(0, 1);
            while (exp.size() > 1 && exp.startsWith(QLatin1Char('0')))
                exp.remove(0, 1);
            s = mant + QLatin1Char('E') + (neg ? QStringLiteral("-") : QString()) + exp;
        }
    }
    const QString dp = QLocale().decimalPoint();
    if (dp != QLatin1String("."))
        s.replace(QLatin1Char('.'), dp);
    return s;
}

bool Variant::AsBoolean() const
{
    switch (FKind) {
    case vkEmpty:
        return false;
    case vkBoolean:
        return FBool;
    case vkInteger:
        return FInt != 0;
    case vkInt64:
        return FInt64 != 0;
    case vkDouble:
    case vkDate:
        return FDouble != 0;
    case vkObject:
    case vkDispatch:
        return FObject != nullptr;
    case vkString: {
        if (FString.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (FString.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        Variant n;
        if (TextToNumber(FString, n))
            return n.AsBoolean();
        break;
    }
    default:
        break;
    }
    ThrowConvertError(vkBoolean);
}

int64_t Variant::AsInt64() const
{
    switch (FKind) {
    case vkEmpty:
        return 0;
    case vkBoolean:
        return FBool ? -1 : 0;
    case vkInteger:
        return FInt;
    case vkInt64:
        return FInt64;
    case vkDouble:
    case vkDate: {
        const double r = RoundEven(FDouble);
        if (r >= -9223372036854775808.0 && r < 9223372036854775808.0)
            return static_cast<int64_t>(r);
        break;
    }
    case vkObject:
    case vkDispatch:
        return static_cast<int64_t>(reinterpret_cast<intptr_t>(FObject));
    case vkString: {
        Variant n;
        if (TextToNumber(FString, n))
            return n.AsInt64();
        break;
    }
    default:
        break;
    }
    ThrowConvertError(vkInt64);
}

int32_t Variant::AsInteger() const
{
    if (FKind == vkInteger)
        return FInt;
    try {
        const int64_t v = AsInt64();
        if (FitsInt32(v))
            return static_cast<int32_t>(v);
    } catch (const EVariantError&) {
    }
    ThrowConvertError(vkInteger);
}

double Variant::AsDouble() const
{
    switch (FKind) {
    case vkDouble:
    case vkDate:
        return FDouble;
    case vkInteger:
        return FInt;
    case vkInt64:
        return static_cast<double>(FInt64);
    case vkEmpty:
        return 0;
    case vkBoolean:
        return FBool ? -1 : 0;
    case vkObject:
    case vkDispatch:
        return static_cast<double>(reinterpret_cast<intptr_t>(FObject));
    case vkString: {
        Variant n;
        if (TextToNumber(FString, n))
            return n.AsDouble();
        break;
    }
    default:
        break;
    }
    ThrowConvertError(vkDouble);
}

QString Variant::AsString() const
{
    switch (FKind) {
    case vkString:
        return FString;
    case vkEmpty:
    case vkNull:
        return QString();
    case vkBoolean:
        return FBool ? QStringLiteral("True") : QStringLiteral("False");
    case vkInteger:
        return QString::number(FInt);
    case vkInt64:
        return QString::number(FInt64);
    case vkDouble:
        return FloatToText(FDouble);
    case vkDate:
        if (const auto dt = DayCountToDateTime(FDouble))
            return DateTimeText(QLocale(), *dt);
        break;
    case vkObject:
    case vkDispatch:
        return QString::number(static_cast<qint64>(reinterpret_cast<intptr_t>(FObject)));
    default:
        break;
    }
    ThrowConvertError(vkString);
}

QObject* Variant::AsObject() const
{
    switch (FKind) {
    case vkObject:
    case vkDispatch:
        return FObject;
    case vkEmpty:
    case vkNull:
        return nullptr;
    case vkInteger:
    case vkInt64:
        if (AsInt64() == 0)
            return nullptr;
        break;
    default:
        break;
    }
    ThrowConvertError(vkObject);
}

QList<Variant> Variant::AsArray() const
{
    if (FKind == vkArray)
        return *FArray;
    ThrowConvertError(vkArray);
}

const QString& Variant::StringRef() const
{
    return FKind == vkString ? FString : EmptyString();
}

int Variant::ArrayCount() const
{
    return FKind == vkArray ? static_cast<int>(FArray->size()) : 0;
}

const Variant& Variant::ArrayItem(int index) const
{
    return FArray->at(index);
}

bool Variant::IsIdentical(const Variant& other) const
{
    if (FKind != other.FKind)
        return false;
    switch (FKind) {
    case vkEmpty:
    case vkNull:
        return true;
    case vkBoolean:
        return FBool == other.FBool;
    case vkInteger:
        return FInt == other.FInt;
    case vkInt64:
        return FInt64 == other.FInt64;
    case vkDouble:
    case vkDate:
        return FDouble == other.FDouble || (std::isnan(FDouble) && std::isnan(other.FDouble));
    case vkString:
        return FString == other.FString;
    case vkArray: {
        if (FArray->size() != other.FArray->size())
            return false;
        for (qsizetype i = 0; i < FArray->size(); ++i)
            if (!FArray->at(i).IsIdentical(other.FArray->at(i)))
                return false;
        return true;
    }
    case vkObject:
    case vkDispatch:
        return FObject == other.FObject;
    }
    return false;
}

// ---- arithmetic -------------------------------------------------------------

namespace {

// Reads an operand for arithmetic: Empty and Booleans become integers, strings
// numbers; anything else cannot take part. `target` names the kind in the error.
Variant Numeric(const Variant& v, Variant::Kind target)
{
    switch (v.VarKind()) {
    case Variant::vkInteger:
    case Variant::vkInt64:
    case Variant::vkDouble:
        return v;
    case Variant::vkDate:
        return Variant(v.AsDouble());
    case Variant::vkEmpty:
        return Variant(0);
    case Variant::vkBoolean:
        return Variant(v.AsBoolean() ? -1 : 0);
    case Variant::vkString: {
        Variant n;
        if (Variant::TextToNumber(v.StringRef(), n))
            return n;
        break;
    }
    case Variant::vkObject:
    case Variant::vkDispatch:
        return Variant(v.AsInt64());
    default:
        break;
    }
    v.ThrowConvertError(target);
}

NumClass ClassOf(const Variant& a, const Variant& b)
{
    if (a.VarKind() == Variant::vkDouble || b.VarKind() == Variant::vkDouble)
        return NumClass::Float;
    if (a.VarKind() == Variant::vkInt64 || b.VarKind() == Variant::vkInt64)
        return NumClass::Int64;
    return NumClass::Int;
}

// The day count of an operand beside a date: text may be a date in the
// locale's short format or a number. `isDate` tells which it was.
double DayCountOperand(const Variant& v, bool* isDate = nullptr)
{
    if (isDate)
        *isDate = v.IsDate();
    if (v.IsDate())
        return v.AsDouble();
    if (v.IsString()) {
        double days = 0;
        if (TextToDayCount(QLocale(), v.StringRef(), days)) {
            if (isDate)
                *isDate = true;
            return days;
        }
        Variant n;
        if (Variant::TextToNumber(v.StringRef(), n))
            return n.AsDouble();
        v.ThrowConvertError(Variant::vkDate);
    }
    return Numeric(v, Variant::vkDouble).AsDouble();
}

enum class ArithOp { Add, Sub, Mul };

// Date + number and date - number move the date; date - date is the number
// of days between; a product of days is no date.
Variant DateArith(const Variant& a, const Variant& b, ArithOp op)
{
    bool aDate = false, bDate = false;
    const double x = DayCountOperand(a, &aDate), y = DayCountOperand(b, &bDate);
    switch (op) {
    case ArithOp::Add:
        return Variant::Date(x + y);
    case ArithOp::Sub:
        return aDate && !bDate ? Variant::Date(x - y) : Variant(x - y);
    case ArithOp::Mul:
        break;
    }
    return Variant(x * y);
}

Variant Arith(const Variant& a0, const Variant& b0, ArithOp op)
{
    if (a0.IsNull() || b0.IsNull())
        return Variant::Null();
    if (a0.IsDate() || b0.IsDate())
        return DateArith(a0, b0, op);
    // Fast path: no copies for plain numbers.
    const Variant& a = a0.IsNumber() ? a0 : Numeric(a0, Variant::vkDouble);
    const Variant& b = b0.IsNumber() ? b0 : Numeric(b0, Variant::vkDouble);
    switch (ClassOf(a, b)) {
    case NumClass::Float: {
        const double x = a.AsDouble(), y = b.AsDouble();
        return Variant(op == ArithOp::Add ? x + y : op == ArithOp::Sub ? x - y : x * y);
    }
    case NumClass::Int: {
        const int64_t x = a.AsInt64(), y = b.AsInt64();
        return FromInt64(op == ArithOp::Add ? x + y : op == ArithOp::Sub ? x - y : x * y);
    }
    case NumClass::Int64: {
        const int64_t x = a.AsInt64(), y = b.AsInt64();
        int64_t r = 0;
        bool overflow = op == ArithOp::Add ? __builtin_add_overflow(x, y, &r)
            : op == ArithOp::Sub           ? __builtin_sub_overflow(x, y, &r)
                                           : __builtin_mul_overflow(x, y, &r);
        if (overflow) {
            const double dx = static_cast<double>(x), dy = static_cast<double>(y);
            return Variant(op == ArithOp::Add ? dx + dy : op == ArithOp::Sub ? dx - dy : dx * dy);
        }
        return Variant(r);
    }
    }
    return Variant();
}

// Integer operands for div, mod, shifts and bit operations.
int64_t IntOperand(const Variant& v, Variant::Kind target)
{
    if (v.VarKind() == Variant::vkInteger || v.VarKind() == Variant::vkInt64)
        return v.AsInt64();
    const Variant n = Numeric(v, target);
    if (n.VarKind() == Variant::vkDouble) {
        try {
            return n.AsInt64();
        } catch (const EVariantError&) {
            v.ThrowConvertError(target);
        }
    }
    return n.AsInt64();
}

bool IsWide(const Variant& a, const Variant& b)
{
    auto wide = [](const Variant& v) {
        if (v.VarKind() == Variant::vkInt64 || v.VarKind() == Variant::vkDouble || v.IsDate())
            return true;
        if (v.IsString()) {
            Variant n;
            return Variant::TextToNumber(v.StringRef(), n) && n.VarKind() != Variant::vkInteger;
        }
        return false;
    };
    return wide(a) || wide(b);
}

Variant IntResult(int64_t r, bool wide)
{
    return wide ? Variant(r) : FromInt64(r);
}

} // namespace

Variant Variant::Add(const Variant& a, const Variant& b)
{
    if (a.FKind == vkString && (b.FKind == vkString || b.FKind == vkEmpty))
        return Variant(a.FString + b.StringRef());
    if (a.FKind == vkEmpty && b.FKind == vkString)
        return b;
    return Arith(a, b, ArithOp::Add);
}

Variant Variant::Subtract(const Variant& a, const Variant& b)
{
    return Arith(a, b, ArithOp::Sub);
}

Variant Variant::Multiply(const Variant& a, const Variant& b)
{
    return Arith(a, b, ArithOp::Mul);
}

Variant Variant::DivideFloat(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return Null();
    const double y = Numeric(b, vkDouble).AsDouble();
    const double x = Numeric(a, vkDouble).AsDouble();
    if (y == 0)
        throw EVariantError(QStringLiteral("Floating point division by zero"));
    return Variant(x / y);
}

Variant Variant::DivideInt(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return Null();
    const int64_t x = IntOperand(a, vkInt64);
    const int64_t y = IntOperand(b, vkInt64);
    if (y == 0)
        throw EVariantError(QStringLiteral("Division by zero"));
    if (y == -1)
        return x == std::numeric_limits<int64_t>::min() ? Variant(-static_cast<double>(x))
                                                        : IntResult(-x, IsWide(a, b));
    return IntResult(x / y, IsWide(a, b));
}

Variant Variant::Modulus(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return Null();
    const int64_t x = IntOperand(a, vkInt64);
    const int64_t y = IntOperand(b, vkInt64);
    if (y == 0)
        throw EVariantError(QStringLiteral("Division by zero"));
    if (y == -1)
        return IntResult(0, IsWide(a, b));
    return IntResult(x % y, IsWide(a, b));
}

Variant Variant::ShiftLeft(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return Null();
    const int64_t x = IntOperand(a, vkInt64);
    const int64_t n = IntOperand(b, vkInt64);
    if (IsWide(a, Variant()))
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(x) << (n & 63)));
    return Variant(static_cast<int32_t>(static_cast<uint32_t>(x) << (n & 31)));
}

Variant Variant::ShiftRight(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return Null();
    const int64_t x = IntOperand(a, vkInt64);
    const int64_t n = IntOperand(b, vkInt64);
    if (IsWide(a, Variant()))
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(x) >> (n & 63)));
    return Variant(static_cast<int32_t>(static_cast<uint32_t>(x) >> (n & 31)));
}

namespace {

enum class BitOp { And, Or, Xor };

Variant Bitwise(const Variant& a, const Variant& b, BitOp op)
{
    if (a.IsNull() || b.IsNull())
        return Variant::Null();
    if (a.VarKind() == Variant::vkBoolean && b.VarKind() == Variant::vkBoolean) {
        const bool x = a.AsBoolean(), y = b.AsBoolean();
        return Variant(op == BitOp::And ? (x && y) : op == BitOp::Or ? (x || y) : (x != y));
    }
    const int64_t x = IntOperand(a, Variant::vkInt64);
    const int64_t y = IntOperand(b, Variant::vkInt64);
    const int64_t r = op == BitOp::And ? (x & y) : op == BitOp::Or ? (x | y) : (x ^ y);
    return IntResult(r, IsWide(a, b));
}

} // namespace

Variant Variant::And(const Variant& a, const Variant& b)
{
    return Bitwise(a, b, BitOp::And);
}

Variant Variant::Or(const Variant& a, const Variant& b)
{
    return Bitwise(a, b, BitOp::Or);
}

Variant Variant::Xor(const Variant& a, const Variant& b)
{
    return Bitwise(a, b, BitOp::Xor);
}

Variant Variant::Negate(const Variant& a)
{
    switch (a.FKind) {
    case vkNull:
        return Null();
    case vkInteger:
        return a.FInt == std::numeric_limits<int32_t>::min() ? Variant(-static_cast<int64_t>(a.FInt))
                                                             : Variant(-a.FInt);
    case vkInt64:
        return a.FInt64 == std::numeric_limits<int64_t>::min() ? Variant(-static_cast<double>(a.FInt64))
                                                               : Variant(-a.FInt64);
    case vkDouble:
        return Variant(-a.FDouble);
    default:
        return Negate(Numeric(a, vkDouble));
    }
}

Variant Variant::Not(const Variant& a)
{
    switch (a.FKind) {
    case vkNull:
        return Null();
    case vkBoolean:
        return Variant(!a.FBool);
    case vkInteger:
        return Variant(~a.FInt);
    case vkInt64:
        return Variant(~a.FInt64);
    default:
        break;
    }
    if (a.FKind == vkString
        && (a.FString.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || a.FString.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0))
        return Variant(!a.AsBoolean());
    return IntResult(~IntOperand(a, vkInteger), IsWide(a, Variant()));
}

// ---- comparison -----------------------------------------------------------

int Variant::Compare(const Variant& a, const Variant& b)
{
    auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (a.FKind == vkNull || b.FKind == vkNull)
        return (a.FKind == vkNull ? 0 : 1) - (b.FKind == vkNull ? 0 : 1);
    if (a.FKind == vkString || b.FKind == vkString) {
        const bool textual
            = (a.FKind == vkString || a.FKind == vkEmpty) && (b.FKind == vkString || b.FKind == vkEmpty);
        if (textual) {
            const int c = a.StringRef().compare(b.StringRef(), Qt::CaseSensitive);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
    }
    if (a.FKind == vkBoolean && b.FKind == vkBoolean)
        return sign(int(a.FBool), int(b.FBool));
    if (a.FKind == vkArray || b.FKind == vkArray) {
        if (a.FKind == vkArray && b.FKind == vkArray && a.IsIdentical(b))
            return 0;
        (a.FKind == vkArray ? a : b).ThrowConvertError(vkDouble);
    }
    if (a.FKind == vkDate || b.FKind == vkDate)
        return sign(DayCountOperand(a), DayCountOperand(b));
    const Variant& x = a.IsNumber() ? a : Numeric(a, vkDouble);
    const Variant& y = b.IsNumber() ? b : Numeric(b, vkDouble);
    if (ClassOf(x, y) == NumClass::Float)
        return sign(x.AsDouble(), y.AsDouble());
    return sign(x.AsInt64(), y.AsInt64());
}

bool Variant::Equals(const Variant& a, const Variant& b)
{
    if (a.FKind == vkNull || b.FKind == vkNull)
        return a.FKind == b.FKind;
    if (a.FKind == vkArray || b.FKind == vkArray) {
        if (a.FKind != b.FKind || a.FArray->size() != b.FArray->size())
            return false;
        for (qsizetype i = 0; i < a.FArray->size(); ++i)
            if (!Equals(a.FArray->at(i), b.FArray->at(i)))
                return false;
        return true;
    }
    return Compare(a, b) == 0;
}
