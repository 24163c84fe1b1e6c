// Typed values and the total order on comparison keys. Invariant: CompareKeys
// is a strict weak order (Null < numbers < texts) so sorting by it is stable
// and well defined for mixed or damaged column contents.
#include "DbValue.h"

QString TDbValue::ToString() const
{
    if (IsInteger())
        return QString::number(AsInteger());
    if (IsText())
        return AsText();
    return QString();
}

int CompareKeys(const TDbValue& a, const TDbValue& b)
{
    const auto rank = [](const TDbValue& v) { return v.IsNull() ? 0 : v.IsInteger() ? 1 : 2; };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 1)
        return a.AsInteger() < b.AsInteger() ? -1 : a.AsInteger() > b.AsInteger() ? 1 : 0;
    if (ra == 2)
        return QString::compare(a.AsText(), b.AsText(), Qt::CaseSensitive);
    return 0;
}
