// The hyperlink record of a view.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>

class TrpHyperlink : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(TrpHyperlinkKind, Kind, hkURL)
    RP_FIELD(QString, Value, QString())
    RP_FIELD(QString, DetailReport, QString())
    RP_FIELD(QString, DetailPage, QString())
    RP_FIELD(QString, ReportVariable, QString())
    // Evaluated while a report runs; its value becomes Value.
    RP_FIELD(QString, Expression, QString())
    RP_FIELD(QString, TabCaption, QString())
    RP_FIELD(QString, ValuesSeparator, QString())
public:
    // Attributes Add.Kind ... Add.ValuesSeparator that differ from AHyperlink.
    QString Diff(const TrpHyperlink* AHyperlink, const QString& Add) const;
};
