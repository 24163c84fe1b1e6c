// The program's printing services on Qt PrintSupport: CUPS printers through
// QPrinterInfo/QPrinter and one PDF file printer.
//
// A device mode becomes a QPrinter's page layout, copies, duplex mode and
// paper source; capabilities are read back from that printer in device
// pixels. Device coordinates start at the printable area (fullPage off).
// One QPrinter serves the idle questions; each job gets its own.
#include "rpQtPrintSystem.h"

#include "PelmoraError.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace {
constexpr int CustomPaper = 256;

// Source numbers of the device mode against Qt's paper sources.
int BinNumber(QPrinter::PaperSource Source)
{
    switch (Source) {
    case QPrinter::Cassette:
        return 14;
    case QPrinter::FormSource:
        return 15;
    case QPrinter::CustomSource:
        return rpBinAuto;
    default:
        return int(Source) + 1;
    }
}

QPrinter::PaperSource PaperSourceOf(int Number)
{
    if (Number == 14)
        return QPrinter::Cassette;
    if (Number == 15)
        return QPrinter::FormSource;
    if (Number >= 1 && Number <= 11)
        return QPrinter::PaperSource(Number - 1);
    return QPrinter::Auto;
}

int DuplexNumber(QPrinter::DuplexMode Mode)
{
    switch (Mode) {
    case QPrinter::DuplexLongSide:
        return rpDuplexVertical;
    case QPrinter::DuplexShortSide:
        return rpDuplexHorizontal;
    default:
        return rpDuplexSimplex;
    }
}

QPrinter::DuplexMode DuplexModeOf(int Number)
{
    switch (Number) {
    case rpDuplexVertical:
        return QPrinter::DuplexLongSide;
    case rpDuplexHorizontal:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

QPageSize PageSizeOf(const TrpDeviceMode& Mode)
{
    const bool custom = Mode.PaperSize == CustomPaper || (Mode.Fields & dmPaperLengthField);
    if (custom && Mode.PaperWidth > 0 && Mode.PaperLength > 0)
        return QPageSize(QSizeF(Mode.PaperWidth / 10.0, Mode.PaperLength / 10.0), QPageSize::Millimeter);
    const QPageSize::PageSizeId id = QPageSize::id(Mode.PaperSize);
    return QPageSize(id == QPageSize::Custom ? QPageSize::A4 : id);
}

void ApplyMode(QPrinter& Printer, const TrpDeviceMode& Mode)
{
    Printer.setPageSize(PageSizeOf(Mode));
    Printer.setPageOrientation(Mode.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    Printer.setCopyCount(std::max(1, Mode.Copies));
    Printer.setDuplex(DuplexModeOf(Mode.Duplex));
    if (Mode.DefaultSource != rpBinAuto)
        Printer.setPaperSource(PaperSourceOf(Mode.DefaultSource));
}

void ReadMode(const QPrinter& Printer, TrpDeviceMode& Mode)
{
    const QPageSize size = Printer.pageLayout().pageSize();
    Mode.PaperSize = size.windowsId() > 0 ? size.windowsId() : CustomPaper;
    if (Mode.PaperSize == CustomPaper) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        Mode.PaperWidth = qRound(mm.width() * 10);
        Mode.PaperLength = qRound(mm.height() * 10);
    }
    Mode.Orientation = Printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    Mode.Copies = Printer.copyCount();
    Mode.Duplex = DuplexNumber(Printer.duplex());
    Mode.DefaultSource = BinNumber(Printer.paperSource());
}

class TQtPrintDevice : public TrpPrintDevice {
public:
    // Info: the CUPS printer, or a null info for the PDF file printer.
    explicit TQtPrintDevice(const QPrinterInfo& Info)
        : FInfo(Info)
        , FIdle(MakePrinter())
    {
    }

    bool DefaultDeviceMode(TrpDeviceMode& Mode) override
    {
        Mode = TrpDeviceMode();
        if (!FInfo.isNull()) {
            const int id = FInfo.defaultPageSize().windowsId();
            Mode.PaperSize = id > 0 ? id : 9;
            Mode.Duplex = DuplexNumber(FInfo.defaultDuplexMode());
        }
        return true;
    }

    TrpDeviceCaps Capabilities(const TrpDeviceMode& Mode) override
    {
        ApplyMode(*FIdle, Mode);
        return CapsOf(*FIdle);
    }

    std::vector<TrpDeviceEntry> Papers() override
    {
        std::vector<TrpDeviceEntry> list;
        const QList<QPageSize> sizes = FInfo.isNull() ? AllStandardSizes() : FInfo.supportedPageSizes();
        for (const QPageSize& s : sizes) {
            const int id = s.windowsId();
            if (id <= 0)
                continue;
            const bool known = std::any_of(
                list.begin(), list.end(), [id](const TrpDeviceEntry& e) { return e.Number == id; });
            if (!known)
                list.push_back({ id, s.name() });
        }
        return list;
    }

    // Qt names no paper sources on this platform; the printer's own choice
    // ("Default") is the only one.
    std::vector<TrpDeviceEntry> Bins() override { return {}; }

    bool PropertiesDialog(TrpDeviceMode& Mode) override
    {
        ApplyMode(*FIdle, Mode);
        QPrintDialog dialog(FIdle.get(), QApplication::activeWindow());
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        ReadMode(*FIdle, Mode);
        return true;
    }

    QPaintDevice* StartDoc(const QString& Title, const QString& FileName, const TrpDeviceMode& Mode) override
    {
        FJob = MakePrinter();
        ApplyMode(*FJob, Mode);
        FJob->setDocName(Title);
        QString file = FileName;
        if (file.isEmpty() && FInfo.isNull())
            file = DocumentsFile(Title);
        if (!file.isEmpty()) {
            FJob->setOutputFormat(QPrinter::PdfFormat);
            FJob->setOutputFileName(file);
        }
        FPagesStarted = 0;
        return FJob.get();
    }

    void ResetDevice(const TrpDeviceMode& Mode) override
    {
        // Idle there is nothing to reset: every question applies its mode.
        if (FJob)
            ApplyMode(*FJob, Mode);
    }

    void StartPage() override
    {
        // The first sheet is open once the painter begins; later ones start here.
        if (FJob && FPagesStarted++ > 0)
            FJob->newPage();
    }
    void EndPage() override { }
    void EndDoc() override { FJob.reset(); }
    void AbortDoc() override
    {
        if (FJob)
            FJob->abort();
    }

    void StartRawDoc(const QString&, const QString& FileName) override
    {
        if (FileName.isEmpty())
            throw EPelmoraError(QStringLiteral("Raw printing needs an output file"));
        FRaw = std::make_unique<QFile>(FileName);
        if (!FRaw->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            FRaw.reset();
            throw EPelmoraError(QStringLiteral("Cannot create file \"%1\"").arg(FileName));
        }
    }
    void WriteRaw(const QByteArray& Buffer) override
    {
        if (FRaw)
            FRaw->write(Buffer);
    }
    void EndRawDoc() override { FRaw.reset(); }

private:
    std::unique_ptr<QPrinter> MakePrinter() const
    {
        auto p = FInfo.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                : std::make_unique<QPrinter>(FInfo, QPrinter::HighResolution);
        if (FInfo.isNull())
            p->setOutputFormat(QPrinter::PdfFormat);
        p->setFullPage(false);
        return p;
    }

    // Where the PDF printer puts a job that names no file: the documents
    // folder (made when missing), under the job's title, never over an
    // earlier document ("Title (2).pdf" and so on).
    static QString DocumentsFile(const QString& Title)
    {
        QDir dir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        if (!dir.mkpath(QStringLiteral(".")))
            throw EPelmoraError(QStringLiteral("Cannot create the folder \"%1\"").arg(dir.path()));
        QString base = Title;
        base.replace(QLatin1Char('/'), QLatin1Char('_'));
        QString file = dir.filePath(base + QStringLiteral(".pdf"));
        for (int n = 2; QFile::exists(file); ++n)
            file = dir.filePath(QStringLiteral("%1 (%2).pdf").arg(base).arg(n));
        return file;
    }

    static TrpDeviceCaps CapsOf(QPrinter& Printer)
    {
        TrpDeviceCaps caps;
        caps.LogPixelsX = Printer.logicalDpiX();
        caps.LogPixelsY = Printer.logicalDpiY();
        const QRectF paper = Printer.paperRect(QPrinter::DevicePixel);
        const QRectF page = Printer.pageRect(QPrinter::DevicePixel);
        caps.PhysicalWidth = qRound(paper.width());
        caps.PhysicalHeight = qRound(paper.height());
        caps.PhysicalOffsetX = qRound(page.left() - paper.left());
        caps.PhysicalOffsetY = qRound(page.top() - paper.top());
        caps.HorzRes = qRound(page.width());
        caps.VertRes = qRound(page.height());
        return caps;
    }

    static QList<QPageSize> AllStandardSizes()
    {
        QList<QPageSize> list;
        for (int id = 1; id <= 68; ++id) {
            const QPageSize::PageSizeId ps = QPageSize::id(id);
            if (ps != QPageSize::Custom)
                list.append(QPageSize(ps));
        }
        return list;
    }

    QPrinterInfo FInfo;
    std::unique_ptr<QPrinter> FIdle;
    std::unique_ptr<QPrinter> FJob;
    std::unique_ptr<QFile> FRaw;
    int FPagesStarted = 0;
};
} // namespace

std::vector<TrpPrinterEntry> TrpQtPrintSystem::EnumPrinters()
{
    std::vector<TrpPrinterEntry> list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        list.push_back({ info.printerName(), info.location() });
    list.push_back({ PdfPrinterName(), QStringLiteral("FILE:") });
    return list;
}

QString TrpQtPrintSystem::DefaultPrinter()
{
    return QPrinterInfo::defaultPrinterName();
}

std::unique_ptr<TrpPrintDevice> TrpQtPrintSystem::OpenPrinter(const QString& Name)
{
    if (Name == PdfPrinterName())
        return std::make_unique<TQtPrintDevice>(QPrinterInfo());
    const QPrinterInfo info = QPrinterInfo::printerInfo(Name);
    if (info.isNull())
        return nullptr;
    return std::make_unique<TQtPrintDevice>(info);
}
