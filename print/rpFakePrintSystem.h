// Printing services for tests: printers described in memory, no print
// server. Every call a printer receives is logged in order, and jobs draw
// into pictures that the test can inspect.
#pragma once

#include "rpPrintSystem.h"

#include <QPicture>
#include <QStringList>
#include <functional>

// One printer as the fake system offers it.
struct TrpFakePrinterModel {
    QString Name;
    QString Port;
    int DpiX = 600, DpiY = 600;
    // Papers with their portrait size in tenths of a millimetre.
    struct TPaper {
        int Number;
        QString Name;
        int Width, Height;
    };
    std::vector<TPaper> Papers;
    std::vector<TrpDeviceEntry> Bins;
    TrpDeviceMode DefaultMode;
    // Unprintable margins in tenths of a millimetre (left, top, right, bottom).
    int MarginLeft = 40, MarginTop = 40, MarginRight = 40, MarginBottom = 40;
    bool OpenFails = false;
    bool DeviceModeFails = false;
    bool BinsThrow = false;
    // Capabilities report a zero resolution (no valid context).
    bool InvalidCaps = false;
    // The driver's dialog: changes the mode and answers true to confirm.
    std::function<bool(TrpDeviceMode&)> Properties;

    // What the printer received, in order: "Reset", "StartDoc <title>|<file>",
    // "StartPage", "EndPage", "EndDoc", "AbortDoc", "StartRaw", "Raw <bytes>", "EndRaw".
    QStringList Calls;
    // The device mode of the last reset.
    TrpDeviceMode LastReset;
    // What the last job drew.
    QPicture Drawing;
};

class TrpFakePrintSystem : public TrpPrintSystem {
public:
    // A printer with A4 (9), Letter (1) and A3 (8), 600 dpi, 4 mm margins.
    static TrpFakePrinterModel StandardPrinter(const QString& Name);

    // The models stay at their addresses until the system is destroyed.
    TrpFakePrinterModel& Add(TrpFakePrinterModel Model);
    TrpFakePrinterModel& Model(const QString& Name);
    QString Default;

    std::vector<TrpPrinterEntry> EnumPrinters() override;
    QString DefaultPrinter() override { return Default; }
    std::unique_ptr<TrpPrintDevice> OpenPrinter(const QString& Name) override;

private:
    std::vector<std::unique_ptr<TrpFakePrinterModel>> FModels;
};
