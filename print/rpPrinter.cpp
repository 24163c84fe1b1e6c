// Printer access: the printer list, real and virtual printers, the printer
// canvas and the standard paper table.
//
// Invariants:
//  1. The list is never empty: without installed printers it holds one
//     virtual printer, and HasPhysicalPrinters is false.
//  2. A printer's first paper entry is "Custom" (256) and its first source
//     "Default" (7); whatever Init adds follows them.
//  3. Init works once. A real printer whose device mode or capabilities
//     cannot be read stays uninitialised and the print job refuses it.
//  4. Sizes and margins read from a device are whole millimetres (rounded,
//     halves to even); they change only when the capabilities were valid.
//  5. A real printer is idle or printing (BeginDoc..EndDoc); EndDoc puts the
//     default source and duplex mode back into the device mode.
#include "rpPrinter.h"

#include "DialogService.h"
#include "PelmoraError.h"
#include "QtDialogService.h"
#include "rpQtPrintSystem.h"
#include "rpReportError.h"
#include "rpRes.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <cfenv>

namespace {

constexpr Extended MmPerInch = 25.4L;
constexpr Extended VirtualMargin = 5; // mm on every side

// A device length in whole millimetres.
Extended DeviceMm(int Pixels, int Dpi)
{
    return Extended(rpRound(Pixels / Extended(Dpi) * MmPerInch));
}

int OrientationCode(TrpPrinterOrientation Value)
{
    return Value == poLandscape ? 2 : 1;
}

int IndexOfNumber(const std::vector<TrpDeviceEntry>& List, int Number)
{
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i].Number == Number)
            return int(i);
    return -1;
}

int NumberOfName(const std::vector<TrpDeviceEntry>& List, const QString& Name)
{
    for (const TrpDeviceEntry& e : List)
        if (e.Name == Name)
            return e.Number;
    return List.front().Number;
}
} // namespace

// ------------------------------------------------------------ canvas

TrpPrinterCanvas::~TrpPrinterCanvas() = default;

void TrpPrinterCanvas::SetFont(const QFont& Value)
{
    FFont = Value;
    Changed();
}

QFont TrpPrinterCanvas::DeviceFont() const
{
    QFont f = FFont;
    f.setPixelSize(std::max(1, int(rpRound(FFont.pointSizeF() * FPixelsPerInch / 72.0L))));
    return f;
}

void TrpPrinterCanvas::SetDevice(QPaintDevice* Device)
{
    if (FPainter && FPainter->isActive())
        FPainter->end();
    FPainter.reset();
    if (Device)
        FPainter = std::make_unique<QPainter>(Device);
    Changed();
}

void TrpPrinterCanvas::Changed()
{
    if (FPrinter->DPI().y() > 0)
        FPixelsPerInch = FPrinter->DPI().y();
    if (FPainter && FPainter->isActive())
        FPainter->setFont(DeviceFont());
}

// ------------------------------------------------------------ custom printer

TrpCustomPrinter::TrpCustomPrinter(const QString& AName, const QString& APort)
    : FCanvas(std::make_unique<TrpPrinterCanvas>(this))
    , FName(AName)
    , FPort(APort)
{
    FBins.push_back({ rpBinAuto, rpGet(QStringLiteral("prDefault")) });
    FPapers.push_back({ rpCustomPaper, rpGet(QStringLiteral("prCustom")) });
}

TrpCustomPrinter::~TrpCustomPrinter() = default;

int TrpCustomPrinter::PaperIndex(int Number) const
{
    return IndexOfNumber(FPapers, Number);
}
int TrpCustomPrinter::BinIndex(int Number) const
{
    return IndexOfNumber(FBins, Number);
}
int TrpCustomPrinter::PaperNameToNumber(const QString& Name) const
{
    return NumberOfName(FPapers, Name);
}
int TrpCustomPrinter::BinNameToNumber(const QString& Name) const
{
    return NumberOfName(FBins, Name);
}

// ------------------------------------------------------------ virtual printer

void TrpVirtualPrinter::Init()
{
    if (FInitialized)
        return;
    FDPI = QPoint(600, 600);
    FDefPaper = 9;
    FDefOrientation = poPortrait;
    FDefPaperWidth = 210;
    FDefPaperHeight = 297;
    for (const TrpPaperInfo& p : rpPaperTable())
        FPapers.push_back({ p.Number, QString() });
    FBin = -1;
    FDuplex = -1;
    // Start on the default paper so that sizes are never zero.
    FPaper = FDefPaper;
    FOrientation = FDefOrientation;
    FPaperWidth = FDefPaperWidth;
    FPaperHeight = FDefPaperHeight;
    FInitialized = true;
    FCanvas->Refresh();
}

void TrpVirtualPrinter::SetViewParams(
    int APaperSize, Extended APaperWidth, Extended APaperHeight, TrpPrinterOrientation AOrientation)
{
    Extended w, h;
    if (rpGetPaperSize(APaperSize, w, h)) {
        if (AOrientation == poLandscape)
            std::swap(w, h);
        FPaper = APaperSize;
    } else {
        FPaper = rpCustomPaper;
        w = APaperWidth;
        h = APaperHeight;
    }
    FPaperWidth = w;
    FPaperHeight = h;
    FOrientation = AOrientation;
    FLeftMargin = FTopMargin = FRightMargin = FBottomMargin = VirtualMargin;
}

void TrpVirtualPrinter::SetPrintParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
    TrpPrinterOrientation AOrientation, int ABin, int, int)
{
    SetViewParams(APaperSize, APaperWidth, APaperHeight, AOrientation);
    FBin = ABin;
}

// ------------------------------------------------------------ real printer

TrpPrinter::TrpPrinter(
    const QString& AName, const QString& APort, TrpPrintSystem& ASystem, TDialogService& ADialogs)
    : TrpCustomPrinter(AName, APort)
    , FSystem(ASystem)
    , FDialogs(ADialogs)
{
}

TrpPrinter::~TrpPrinter()
{
    // The painter must go before the device it paints on.
    FCanvas->SetDevice(nullptr);
}

void TrpPrinter::Init()
{
    if (FInitialized)
        return;
    FDevice = FSystem.OpenPrinter(FName);
    if (!FDevice)
        return;
    TrpDeviceMode mode;
    if (!FDevice->DefaultDeviceMode(mode)) {
        FDevice.reset();
        return;
    }
    FMode = mode;
    if (!UpdateDeviceCaps()) {
        FDevice.reset();
        FMode = TrpDeviceMode();
        return;
    }
    FDefPaper = FMode.PaperSize;
    FDefBin = FMode.DefaultSource;
    FDefDuplex = FMode.Duplex;
    FPaper = FDefPaper;
    FDefPaperWidth = FPaperWidth;
    FDefPaperHeight = FPaperHeight;
    FDefOrientation = FMode.Orientation != 1 ? poLandscape : poPortrait;
    FOrientation = FDefOrientation;

    for (const TrpDeviceEntry& p : FDevice->Papers())
        if (p.Number != rpCustomPaper)
            FPapers.push_back(p);
    try {
        for (const TrpDeviceEntry& b : FDevice->Bins())
            if (b.Number != rpBinAuto)
                FBins.push_back(b);
    } catch (...) {
        // A driver that cannot name its sources still prints.
    }
    FBin = -1;
    FDuplex = -1;
    FInitialized = true;
}

// Reads resolution, paper size and margins for the device mode. Invalid
// capabilities show "Printer selected is not valid" and change nothing.
bool TrpPrinter::UpdateDeviceCaps()
{
    const TrpDeviceCaps caps = FDevice->Capabilities(FMode);
    if (caps.LogPixelsX == 0 || caps.LogPixelsY == 0) {
        TMessageRequest box;
        box.Caption = rpGet(QStringLiteral("mbError"));
        box.Text = QStringLiteral("Printer selected is not valid");
        box.Icon = TMsgIcon::Error;
        box.Buttons = { TMsgButton::OK };
        FDialogs.MessageBox(box);
        return false;
    }
    const int dpiX = caps.LogPixelsX;
    const int dpiY = caps.LogPixelsY;
    FDPI = QPoint(dpiX, dpiY);
    FPaperHeight = DeviceMm(caps.PhysicalHeight, dpiY);
    FPaperWidth = DeviceMm(caps.PhysicalWidth, dpiX);
    FLeftMargin = DeviceMm(caps.PhysicalOffsetX, dpiX);
    FTopMargin = DeviceMm(caps.PhysicalOffsetY, dpiY);
    FRightMargin = FPaperWidth - DeviceMm(caps.HorzRes, dpiX) - FLeftMargin;
    FBottomMargin = FPaperHeight - DeviceMm(caps.VertRes, dpiY) - FTopMargin;
    FCanvas->Refresh();
    return true;
}

void TrpPrinter::SetViewParams(
    int APaperSize, Extended APaperWidth, Extended APaperHeight, TrpPrinterOrientation AOrientation)
{
    if (!FDevice)
        return;
    if (APaperSize != rpCustomPaper && PaperIndex(APaperSize) == -1)
        APaperSize = rpCustomPaper;
    if (APaperSize == rpCustomPaper) {
        // A custom size keeps A4's margins; a printer without A4 keeps the
        // margins it has (asking it for A4 would come back here forever).
        if (PaperIndex(9) != -1)
            SetViewParams(9, 0, 0, AOrientation);
        FPaperWidth = APaperWidth;
        FPaperHeight = APaperHeight;
    } else {
        const TrpDeviceMode before = FMode;
        FMode.Fields = dmOrientationField | dmPaperSizeField;
        FMode.PaperSize = APaperSize;
        FMode.Orientation = OrientationCode(AOrientation);
        if (!UpdateDeviceCaps()) {
            FMode = before;
            return;
        }
    }
    FPaper = APaperSize;
    FOrientation = AOrientation;
}

void TrpPrinter::SetPrintParams(int APaperSize, Extended APaperWidth, Extended APaperHeight,
    TrpPrinterOrientation AOrientation, int ABin, int ADuplex, int ACopies)
{
    if (!FDevice)
        return;
    FMode.Fields |= dmOrientationField | dmPaperSizeField | dmCopiesField | dmDefaultSourceField;
    if (APaperSize != rpCustomPaper && PaperIndex(APaperSize) == -1)
        APaperSize = rpCustomPaper;
    if (APaperSize == rpCustomPaper) {
        FMode.Fields |= dmPaperLengthField | dmPaperWidthField;
        const bool landscape = AOrientation == poLandscape;
        FMode.PaperLength = int(rpRound(10 * (landscape ? APaperWidth : APaperHeight)));
        FMode.PaperWidth = int(rpRound(10 * (landscape ? APaperHeight : APaperWidth)));
    } else {
        FMode.PaperLength = 0;
        FMode.PaperWidth = 0;
    }
    FMode.PaperSize = APaperSize;
    FMode.Orientation = OrientationCode(AOrientation);
    FMode.Copies = ACopies;
    FMode.DefaultSource = ABin != rpBinAuto ? ABin : (FBin != -1 ? FBin : FDefBin);

    // Job duplex modes count from "none" (0); the driver's from simplex (1).
    int duplex = ADuplex == 0 ? FDefDuplex : ADuplex + 1;
    if (FDuplex != -1)
        duplex = FDuplex;
    if (duplex == 4)
        duplex = rpDuplexSimplex;
    if (duplex != rpDuplexSimplex)
        FMode.Fields |= dmDuplexField;
    FMode.Duplex = duplex;

    // Some drivers take a changed mode only on the second reset.
    FDevice->ResetDevice(FMode);
    FDevice->ResetDevice(FMode);
    FCanvas->Refresh();
    if (UpdateDeviceCaps()) {
        FPaper = APaperSize;
        FOrientation = AOrientation;
    }
}

void TrpPrinter::BeginDoc()
{
    if (!FDevice)
        return;
    const QString title = FTitle.isEmpty() ? QStringLiteral("Report Document") : FTitle;
    QPaintDevice* device = FDevice->StartDoc(title, FFileName, FMode);
    FCanvas->SetDevice(device);
    if (!FCanvas->Painter() || !FCanvas->Painter()->isActive()) {
        FCanvas->SetDevice(nullptr);
        FDevice->AbortDoc();
        throw TrpReportError(QStringLiteral("Could not start printing on \"%1\"").arg(FName));
    }
    FPrinting = true;
}

void TrpPrinter::BeginPage()
{
    if (FDevice && FPrinting)
        FDevice->StartPage();
}

void TrpPrinter::EndPage()
{
    if (FDevice && FPrinting)
        FDevice->EndPage();
}

void TrpPrinter::EndDoc()
{
    if (!FDevice)
        return;
    FCanvas->SetDevice(nullptr);
    if (FPrinting) {
        // Drivers may fail or raise floating-point traps while ending; the
        // pages are out by then, so neither reaches the caller.
        std::fenv_t saved;
        std::feholdexcept(&saved);
        try {
            FDevice->EndDoc();
        } catch (...) {
        }
        std::fesetenv(&saved);
    }
    FPrinting = false;
    FBin = -1;
    FDuplex = -1;
    FMode.DefaultSource = FDefBin;
    FMode.Duplex = FDefDuplex;
    FDevice->ResetDevice(FMode);
}

void TrpPrinter::Abort()
{
    if (FDevice && FPrinting) {
        FDevice->AbortDoc();
        FCanvas->SetDevice(nullptr);
        FPrinting = false;
    }
    EndDoc();
}

void TrpPrinter::BeginRAWDoc()
{
    if (!FDevice)
        return;
    FDevice->StartRawDoc(FTitle.isEmpty() ? QStringLiteral("Report Document") : FTitle, FFileName);
    FPrinting = true;
}

void TrpPrinter::WriteRAWDoc(const QByteArray& Buffer)
{
    if (FDevice && FPrinting)
        FDevice->WriteRaw(Buffer);
}

void TrpPrinter::EndRAWDoc()
{
    if (FDevice && FPrinting)
        FDevice->EndRawDoc();
    FPrinting = false;
}

void TrpPrinter::PropertiesDlg()
{
    if (!FDevice)
        return;
    TrpDeviceMode mode = FMode;
    const int duplexBefore = FMode.Duplex;
    if (!FDevice->PropertiesDialog(mode))
        return;
    FMode = mode;
    FBin = FMode.DefaultSource;
    if (FMode.Duplex != duplexBefore)
        FDuplex = FMode.Duplex;
}

// ------------------------------------------------------------ printer list

TrpPrinters::TrpPrinters(TrpPrintSystem& ASystem, TDialogService& ADialogs)
    : FSystem(ASystem)
    , FDialogs(ADialogs)
{
    FillPrinters();
}

TrpPrinters::~TrpPrinters() = default;

void TrpPrinters::FillPrinters()
{
    FPrinterList.clear();
    FPrinters.clear();
    for (const TrpPrinterEntry& e : FSystem.EnumPrinters()) {
        FPrinterList.push_back(std::make_unique<TrpPrinter>(e.Name, e.Port, FSystem, FDialogs));
        FPrinters.append(e.Name);
    }
    FHasPhysicalPrinters = !FPrinterList.empty();
    if (FHasPhysicalPrinters) {
        // Exact name first: the system's default is named as it is listed.
        FDefaultIndex = int(FPrinters.indexOf(FSystem.DefaultPrinter()));
        if (FDefaultIndex < 0)
            FDefaultIndex = 0;
    } else {
        const QString name = rpGet(QStringLiteral("prVirtual"));
        FPrinterList.push_back(std::make_unique<TrpVirtualPrinter>(name, QString()));
        FPrinters.append(name);
        FDefaultIndex = 0;
    }
    SetPrinterIndex(-1);
}

void TrpPrinters::SetPrinterIndex(int Value)
{
    FPrinterIndex = (Value >= 0 && Value < Count()) ? Value : FDefaultIndex;
    Printer()->Init();
}

int TrpPrinters::IndexOf(const QString& Name) const
{
    const QLocale locale;
    const QString wanted = locale.toUpper(Name);
    for (int i = 0; i < FPrinters.size(); ++i)
        if (locale.toUpper(FPrinters[i]) == wanted)
            return i;
    return -1;
}

// ------------------------------------------------------------ process-wide list

namespace {
struct TPrinterGlobals {
    std::unique_ptr<TrpPrintSystem> System;
    std::unique_ptr<TDialogService> Dialogs;
    std::unique_ptr<TrpPrinters> List; // declared last: goes first
};

TPrinterGlobals& Globals()
{
    static TPrinterGlobals g;
    return g;
}
} // namespace

TrpPrinters& rpPrinters()
{
    TPrinterGlobals& g = Globals();
    if (!g.System)
        g.System = std::make_unique<TrpQtPrintSystem>();
    if (!g.Dialogs)
        g.Dialogs = std::make_unique<TQtDialogService>();
    if (!g.List) {
        g.List = std::make_unique<TrpPrinters>(*g.System, *g.Dialogs);
        // Printer devices must not outlive the application object.
        static bool cleanupAdded = false;
        if (!cleanupAdded && QCoreApplication::instance()) {
            qAddPostRoutine([] { Globals().List.reset(); });
            cleanupAdded = true;
        }
    }
    return *g.List;
}

TDialogService& rpPrinterDialogs()
{
    rpPrinters();
    return *Globals().Dialogs;
}

void rpSetPrintSystem(std::unique_ptr<TrpPrintSystem> System, std::unique_ptr<TDialogService> Dialogs)
{
    TPrinterGlobals& g = Globals();
    g.List.reset();
    g.System = std::move(System);
    g.Dialogs = std::move(Dialogs);
}

void rpSelectPrinter(const QString& PrinterName)
{
    TrpPrinters& printers = rpPrinters();
    const int index = printers.IndexOf(PrinterName);
    if (index != -1)
        printers.SetPrinterIndex(index);
}
