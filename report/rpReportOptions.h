// The report's option records: engine options and report information.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>
#include <QStringList>

class TrpEngineOptions : public TrpPersistent {
    RP_CLASS_INFO
    // Prepare twice so that the total page count is known.
    RP_FIELD(bool, DoublePass, false)
    RP_FIELD(bool, ConvertNulls, true)
    RP_FIELD(bool, PrintIfEmpty, true)
    RP_FIELD(int, MaxMemSize, 10)
    RP_FIELD(TrpSilentMode, SilentMode, simMessageBoxes)
    RP_FIELD(TrpSilentMode, NewSilentMode, simMessageBoxes)
    RP_FIELD(bool, UseFileCache, false)
    RP_FIELD(QString, TempDir, QString())
    RP_FIELD(bool, DestroyForms, true)
    RP_FIELD(bool, UseGlobalDataSetList, true)
    RP_FIELD(bool, IgnoreDevByZero, false)
    // No message pumping and no progress window while preparing.
    RP_FIELD(bool, EnableThreadSafe, false)
};

class TrpReportOptions : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(QString, Author, QString())
    RP_FIELD(bool, Compressed, false)
    RP_FIELD(QString, ConnectionName, QString())
    RP_FIELD(double, CreateDate, 0) // day count from 30 December 1899
    RP_FIELD(double, LastChange, 0)
    RP_FIELD(QStringList, Description, QStringList())
    RP_FIELD(QString, InitString, QString())
    RP_FIELD(QString, Name, QString())
    RP_FIELD(QString, Password, QString())
    RP_FIELD(QString, VersionBuild, QString())
    RP_FIELD(QString, VersionMajor, QString())
    RP_FIELD(QString, VersionMinor, QString())
    RP_FIELD(QString, VersionRelease, QString())
public:
    // Creation and last change are "now".
    TrpReportOptions();
};
