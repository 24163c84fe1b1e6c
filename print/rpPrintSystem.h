// The printing services as the printer list uses them: enumerate the
// printers, name the default one, and per printer its device mode, its
// capabilities, its paper and source tables, its properties dialog and its
// jobs. The program's one is Qt PrintSupport over CUPS plus a PDF file
// printer; tests install one that needs no print server.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QPaintDevice;

// Field mask bits of a device mode: which fields the driver applies.
enum TrpDeviceModeField : uint32_t {
    dmOrientationField = 0x1,
    dmPaperSizeField = 0x2,
    dmPaperLengthField = 0x4,
    dmPaperWidthField = 0x8,
    dmCopiesField = 0x100,
    dmDefaultSourceField = 0x200,
    dmDuplexField = 0x1000,
};

// Paper-source number "automatic", and the duplex values of a device mode.
inline constexpr int rpBinAuto = 7;
inline constexpr int rpDuplexSimplex = 1;
inline constexpr int rpDuplexVertical = 2;
inline constexpr int rpDuplexHorizontal = 3;

// The settings a printer's driver keeps for it.
struct TrpDeviceMode {
    uint32_t Fields = 0;
    int PaperSize = 9;
    int PaperLength = 0; // tenths of a millimetre, for a custom paper
    int PaperWidth = 0; // tenths of a millimetre, for a custom paper
    int Orientation = 1; // 1 portrait, 2 landscape
    int Copies = 1;
    int DefaultSource = rpBinAuto;
    int Duplex = rpDuplexSimplex;

    bool operator==(const TrpDeviceMode&) const = default;
};

// Device capabilities for a device mode, in device pixels. A zero
// resolution means the driver gave no valid context.
struct TrpDeviceCaps {
    int LogPixelsX = 0, LogPixelsY = 0;
    int PhysicalWidth = 0, PhysicalHeight = 0;
    int PhysicalOffsetX = 0, PhysicalOffsetY = 0;
    int HorzRes = 0, VertRes = 0;
};

// A paper or a paper source of a driver's table.
struct TrpDeviceEntry {
    int Number = 0;
    QString Name;
};

struct TrpPrinterEntry {
    QString Name;
    QString Port;
};

// One opened printer. Idle it answers capabilities for a device mode; between
// StartDoc and EndDoc/AbortDoc it is printing on the device StartDoc returns.
class TrpPrintDevice {
public:
    virtual ~TrpPrintDevice() = default;
    // The driver's default device mode; false when it cannot be obtained.
    virtual bool DefaultDeviceMode(TrpDeviceMode& Mode) = 0;
    // The capabilities of the paper and orientation in Mode.
    virtual TrpDeviceCaps Capabilities(const TrpDeviceMode& Mode) = 0;
    virtual std::vector<TrpDeviceEntry> Papers() = 0;
    // May throw when the driver cannot name its sources.
    virtual std::vector<TrpDeviceEntry> Bins() = 0;
    // The driver's own dialog on a copy of Mode; true when the user
    // confirmed, with Mode updated.
    virtual bool PropertiesDialog(TrpDeviceMode& Mode) = 0;

    // Starts a document named Title, written to FileName when that is not
    // empty. Returns the device to draw on, valid until the document ends;
    // throws EPelmoraError when the job cannot start.
    virtual QPaintDevice* StartDoc(const QString& Title, const QString& FileName, const TrpDeviceMode& Mode)
        = 0;
    // Applies a changed device mode (to the next page while printing).
    virtual void ResetDevice(const TrpDeviceMode& Mode) = 0;
    virtual void StartPage() = 0;
    virtual void EndPage() = 0;
    virtual void EndDoc() = 0;
    virtual void AbortDoc() = 0;

    // Raw jobs: bytes passed to the printer unchanged.
    virtual void StartRawDoc(const QString& Title, const QString& FileName) = 0;
    virtual void WriteRaw(const QByteArray& Buffer) = 0;
    virtual void EndRawDoc() = 0;
};

class TrpPrintSystem {
public:
    virtual ~TrpPrintSystem() = default;
    // Installed printers in the system's order.
    virtual std::vector<TrpPrinterEntry> EnumPrinters() = 0;
    // Name of the system's default printer; empty when none.
    virtual QString DefaultPrinter() = 0;
    // Opens a printer by name; nullptr when it cannot be opened.
    virtual std::unique_ptr<TrpPrintDevice> OpenPrinter(const QString& Name) = 0;
};
