// Printer access: the process-wide printer list, the printer objects with
// their papers, sources, resolution, current paper and margins, the canvas a
// job draws on, and the table of standard papers. Sizes and margins are
// millimetres; device lengths are pixels at DPI (L mm = L * DPI / 25.4 px).
#pragma once

#include "rpPaperTable.h"
#include "rpPrintSystem.h"
#include "rpTypes.h"

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class TDialogService;
class TrpCustomPrinter;

// ------------------------------------------------------------ paper table

// ------------------------------------------------------------ canvas

// The canvas of a printer. Its font is measured at the printer's vertical
// resolution: every change of the canvas sets the font's pixels per inch to
// it, keeping the point size.
class TrpPrinterCanvas {
public:
    explicit TrpPrinterCanvas(TrpCustomPrinter* APrinter)
        : FPrinter(APrinter)
    {
    }
    ~TrpPrinterCanvas();

    // The painter of the running job; nullptr while no job is open.
    QPainter* Painter() const { return FPainter.get(); }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& Value);
    int FontPixelsPerInch() const { return FPixelsPerInch; }
    // The font sized in device pixels (point size * pixels per inch / 72).
    QFont DeviceFont() const;
    // Binds the canvas to a job's device (nullptr: unbinds).
    void SetDevice(QPaintDevice* Device);
    void Refresh() { Changed(); }

private:
    void Changed();

    TrpCustomPrinter* FPrinter;
    std::unique_ptr<QPainter> FPainter;
    QFont FFont { QStringLiteral("Arial"), 10 };
    int FPixelsPerInch = 96;
};

// ------------------------------------------------------------ printers

class TrpCustomPrinter {
public:
    TrpCustomPrinter(const QString& AName, const QString& APort);
    virtual ~TrpCustomPrinter();
    TrpCustomPrinter(const TrpCustomPrinter&) = delete;
    TrpCustomPrinter& operator=(const TrpCustomPrinter&) = delete;

    // Reads the printer's tables and defaults; only the first call works.
    virtual void Init() = 0;
    virtual void Abort() = 0;
    virtual void BeginDoc() = 0;
    virtual void BeginPage() = 0;
    virtual void BeginRAWDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void EndPage() = 0;
    virtual void EndRAWDoc() = 0;
    virtual void WriteRAWDoc(const QByteArray& Buffer) = 0;
    // Makes APaperSize current to learn its size and margins, no job needed.
    virtual void SetViewParams(
        int APaperSize, Extended APaperWidth, Extended APaperHeight, TrpPrinterOrientation AOrientation)
        = 0;
    // Sets up the paper, source, duplex mode and copies of the next page.
    virtual void SetPrintParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
        TrpPrinterOrientation AOrientation, int ABin, int ADuplex, int ACopies)
        = 0;
    virtual void PropertiesDlg() = 0;

    // List position of a number, or -1.
    int PaperIndex(int Number) const;
    int BinIndex(int Number) const;
    // The number of a name; for an unknown name the first entry's (256, 7).
    int PaperNameToNumber(const QString& Name) const;
    int BinNameToNumber(const QString& Name) const;

    int Bin() const { return FBin; }
    int Duplex() const { return FDuplex; }
    const std::vector<TrpDeviceEntry>& Bins() const { return FBins; }
    TrpPrinterCanvas* Canvas() const { return FCanvas.get(); }
    TrpPrinterOrientation DefOrientation() const { return FDefOrientation; }
    int DefPaper() const { return FDefPaper; }
    Extended DefPaperHeight() const { return FDefPaperHeight; }
    Extended DefPaperWidth() const { return FDefPaperWidth; }
    int DefDuplex() const { return FDefDuplex; }
    int DefBin() const { return FDefBin; }
    QPoint DPI() const { return FDPI; }
    QString FileName() const { return FFileName; }
    void SetFileName(const QString& Value) { FFileName = Value; }
    bool Initialized() const { return FInitialized; }
    QString Name() const { return FName; }
    int Paper() const { return FPaper; }
    const std::vector<TrpDeviceEntry>& Papers() const { return FPapers; }
    Extended PaperHeight() const { return FPaperHeight; }
    Extended PaperWidth() const { return FPaperWidth; }
    Extended LeftMargin() const { return FLeftMargin; }
    Extended TopMargin() const { return FTopMargin; }
    Extended RightMargin() const { return FRightMargin; }
    Extended BottomMargin() const { return FBottomMargin; }
    TrpPrinterOrientation Orientation() const { return FOrientation; }
    QString Port() const { return FPort; }
    bool Printing() const { return FPrinting; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }

protected:
    int FBin = -1;
    int FDuplex = -1;
    std::vector<TrpDeviceEntry> FBins;
    std::unique_ptr<TrpPrinterCanvas> FCanvas;
    TrpPrinterOrientation FDefOrientation = poPortrait;
    int FDefPaper = 0;
    Extended FDefPaperHeight = 0;
    Extended FDefPaperWidth = 0;
    int FDefDuplex = 0;
    int FDefBin = 0;
    QPoint FDPI;
    QString FFileName;
    bool FInitialized = false;
    QString FName;
    int FPaper = 0;
    std::vector<TrpDeviceEntry> FPapers;
    Extended FPaperHeight = 0;
    Extended FPaperWidth = 0;
    Extended FLeftMargin = 0;
    Extended FTopMargin = 0;
    Extended FRightMargin = 0;
    Extended FBottomMargin = 0;
    TrpPrinterOrientation FOrientation = poPortrait;
    QString FPort;
    bool FPrinting = false;
    QString FTitle;
};

// Stands in when no printer is installed: 600 dpi, the table's papers,
// 5 mm margins; jobs do nothing.
class TrpVirtualPrinter : public TrpCustomPrinter {
public:
    using TrpCustomPrinter::TrpCustomPrinter;
    void Init() override;
    void Abort() override { }
    void BeginDoc() override { }
    void BeginPage() override { }
    void BeginRAWDoc() override { }
    void EndDoc() override { }
    void EndPage() override { }
    void EndRAWDoc() override { }
    void WriteRAWDoc(const QByteArray&) override { }
    void SetViewParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
        TrpPrinterOrientation AOrientation) override;
    void SetPrintParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
        TrpPrinterOrientation AOrientation, int ABin, int ADuplex, int ACopies) override;
    void PropertiesDlg() override { }
};

// An installed printer, reached through the printing services. Keeps the
// driver's device mode for its whole life.
class TrpPrinter : public TrpCustomPrinter {
public:
    // System and Dialogs must outlive the printer.
    TrpPrinter(const QString& AName, const QString& APort, TrpPrintSystem& ASystem, TDialogService& ADialogs);
    ~TrpPrinter() override;

    void Init() override;
    void Abort() override;
    void BeginDoc() override;
    void BeginPage() override;
    void BeginRAWDoc() override;
    void EndDoc() override;
    void EndPage() override;
    void EndRAWDoc() override;
    void WriteRAWDoc(const QByteArray& Buffer) override;
    void SetViewParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
        TrpPrinterOrientation AOrientation) override;
    void SetPrintParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
        TrpPrinterOrientation AOrientation, int ABin, int ADuplex, int ACopies) override;
    void PropertiesDlg() override;

    // The driver's settings as last applied.
    const TrpDeviceMode& DeviceMode() const { return FMode; }

private:
    bool UpdateDeviceCaps();

    TrpPrintSystem& FSystem;
    TDialogService& FDialogs;
    std::unique_ptr<TrpPrintDevice> FDevice; // open while initialised
    TrpDeviceMode FMode;
};

// The printer list. When the system has no printer it holds one virtual
// printer, so that page layout still works.
class TrpPrinters {
public:
    // System and Dialogs must outlive the list.
    TrpPrinters(TrpPrintSystem& ASystem, TDialogService& ADialogs);
    ~TrpPrinters();

    // Rebuilds the list from the printing services; the default printer
    // becomes current.
    void FillPrinters();
    int Count() const { return int(FPrinterList.size()); }
    TrpCustomPrinter* Items(int Index) const { return FPrinterList[size_t(Index)].get(); }
    const QStringList& Printers() const { return FPrinters; }
    // The current printer; never null.
    TrpCustomPrinter* Printer() const { return Items(FPrinterIndex); }
    int PrinterIndex() const { return FPrinterIndex; }
    // -1 selects the system default printer; the selected one is initialised.
    void SetPrinterIndex(int Value);
    // Position of the printer whose name equals Name without regard to case
    // (by the locale's rules), or -1.
    int IndexOf(const QString& Name) const;
    bool HasPhysicalPrinters() const { return FHasPhysicalPrinters; }

private:
    TrpPrintSystem& FSystem;
    TDialogService& FDialogs;
    std::vector<std::unique_ptr<TrpCustomPrinter>> FPrinterList;
    QStringList FPrinters;
    int FPrinterIndex = 0;
    int FDefaultIndex = 0;
    bool FHasPhysicalPrinters = false;
};

// The process-wide printer list, built on first use from the installed
// printing services (Qt's unless rpSetPrintSystem chose others).
TrpPrinters& rpPrinters();
// Replaces the printing services and the dialog service the printers report
// through; the list is rebuilt on its next use. Tests install doubles here.
// nullptr restores the program's own.
void rpSetPrintSystem(
    std::unique_ptr<TrpPrintSystem> System, std::unique_ptr<TDialogService> Dialogs = nullptr);

// The dialog service the printers report through (message boxes of the
// printer list, the print dialog and the print job).
TDialogService& rpPrinterDialogs();

// What a report does with PrintOptions.Printer before printing: a name of an
// installed printer (any letter case) makes it current; any other name, such
// as "Default", leaves the current printer as it is.
void rpSelectPrinter(const QString& PrinterName);
