#pragma once
// A typed value of the table layer: Null, a whole number or a text.
// Integer columns hold 32-bit values; the 64-bit store leaves room to detect
// out-of-range input before it is refused.
#include <QString>
#include <variant>

class TDbValue {
public:
    TDbValue() = default; // Null
    static TDbValue Integer(qint64 value) { return TDbValue(value); }
    static TDbValue Text(QString value) { return TDbValue(std::move(value)); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(FData); }
    bool IsInteger() const { return std::holds_alternative<qint64>(FData); }
    bool IsText() const { return std::holds_alternative<QString>(FData); }

    // Only valid for the matching kind.
    qint64 AsInteger() const { return std::get<qint64>(FData); }
    const QString& AsText() const { return std::get<QString>(FData); }

    // Null: empty text; whole number: plain decimal; text: itself.
    QString ToString() const;

    bool operator==(const TDbValue&) const = default;

private:
    explicit TDbValue(qint64 v)
        : FData(v)
    {
    }
    explicit TDbValue(QString v)
        : FData(std::move(v))
    {
    }
    std::variant<std::monostate, qint64, QString> FData;
};

// Order of two comparison keys: Null first, then numbers, then texts;
// numbers by value, texts by UTF-16 code units. Returns <0, 0 or >0.
int CompareKeys(const TDbValue& a, const TDbValue& b);
