// Table fields: kinds, conversion on write and comparison keys. Invariant:
// a value accepted by Convert fits its column (32-bit range for numbers,
// Size characters for text), so what is posted is what the column can keep.
#include "DbField.h"
#include "PelmoraError.h"
#include <limits>

TDbField::TDbField(QString name, TFieldKind kind, int size, int index)
    : FFieldName(std::move(name))
    , FKind(kind)
    , FSize(size)
    , FIndex(index)
{
}

TDbValue TDbField::Key(const TDbValue& value) const
{
    if (FKeyFunction)
        return FKeyFunction(value);
    if (value.IsText())
        return TDbValue::Text(value.AsText().toCaseFolded());
    return value;
}

qint32 StrToInt(const QString& text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return qint32(v);
}

TDbValue TDbField::Convert(const TDbValue& value) const
{
    if (FKind == TFieldKind::AutoInc)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(FFieldName));
    if (value.IsNull())
        return value;
    if (FKind == TFieldKind::Integer) {
        if (value.IsText())
            return TDbValue::Integer(StrToInt(value.AsText()));
        const qint64 v = value.AsInteger();
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            throw EConvertError(QStringLiteral("%1 is not a valid value for field '%2'. "
                                               "The allowed range is -2147483648 to 2147483647")
                                    .arg(v)
                                    .arg(FFieldName));
        return value;
    }
    const QString text = value.ToString();
    if (FSize > 0 && text.size() > FSize)
        throw EConvertError(
            QStringLiteral("The text for field '%1' is too long: %2 characters, at most %3 allowed")
                .arg(FFieldName)
                .arg(text.size())
                .arg(FSize));
    return TDbValue::Text(text);
}

TDbValue TDbField::ConvertText(const QString& text) const
{
    if (FKind != TFieldKind::String && text.isEmpty())
        return Convert(TDbValue());
    return Convert(TDbValue::Text(text));
}
