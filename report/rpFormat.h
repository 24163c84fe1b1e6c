// The display format record of a memo's values.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>

class TrpFormat : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(TrpFormatKind, Kind, fkText)
    RP_FIELD(QString, FormatStr, QString())
    // Used when one character long.
    RP_FIELD(QString, DecimalSeparator, QString())
    RP_FIELD(QString, ThousandSeparator, QString())
};
