// Test printing services: devices computed from a printer model, every call logged.
// Capabilities follow the paper and orientation of the device mode the way
// a driver's would: physical size of the paper, printable area inside the
// model's margins, all in device pixels at the model's resolution.
#include "rpFakePrintSystem.h"

#include "PelmoraError.h"

#include <tuple>

namespace {
int Pixels(int Tenths, int Dpi)
{
    return qRound(Tenths / 254.0 * Dpi);
}

class TFakeDevice : public TrpPrintDevice {
public:
    explicit TFakeDevice(TrpFakePrinterModel& AModel)
        : FModel(AModel)
    {
    }

    bool DefaultDeviceMode(TrpDeviceMode& Mode) override
    {
        if (FModel.DeviceModeFails)
            return false;
        Mode = FModel.DefaultMode;
        return true;
    }

    TrpDeviceCaps Capabilities(const TrpDeviceMode& Mode) override
    {
        TrpDeviceCaps caps;
        if (FModel.InvalidCaps)
            return caps;
        int w = Mode.PaperWidth, h = Mode.PaperLength;
        for (const auto& p : FModel.Papers)
            if (p.Number == Mode.PaperSize) {
                w = p.Width;
                h = p.Height;
            }
        int ml = FModel.MarginLeft, mt = FModel.MarginTop, mr = FModel.MarginRight, mb = FModel.MarginBottom;
        if (Mode.Orientation == 2) {
            std::swap(w, h);
            // Turned paper: the long edge's margins now run across.
            std::tie(ml, mt, mr, mb) = std::make_tuple(mt, mr, mb, ml);
        }
        caps.LogPixelsX = FModel.DpiX;
        caps.LogPixelsY = FModel.DpiY;
        caps.PhysicalWidth = Pixels(w, FModel.DpiX);
        caps.PhysicalHeight = Pixels(h, FModel.DpiY);
        caps.PhysicalOffsetX = Pixels(ml, FModel.DpiX);
        caps.PhysicalOffsetY = Pixels(mt, FModel.DpiY);
        caps.HorzRes = Pixels(w - ml - mr, FModel.DpiX);
        caps.VertRes = Pixels(h - mt - mb, FModel.DpiY);
        return caps;
    }

    std::vector<TrpDeviceEntry> Papers() override
    {
        std::vector<TrpDeviceEntry> list;
        for (const auto& p : FModel.Papers)
            list.push_back({ p.Number, p.Name });
        return list;
    }

    std::vector<TrpDeviceEntry> Bins() override
    {
        if (FModel.BinsThrow)
            throw EPelmoraError(QStringLiteral("source names unavailable"));
        return FModel.Bins;
    }

    bool PropertiesDialog(TrpDeviceMode& Mode) override
    {
        return FModel.Properties && FModel.Properties(Mode);
    }

    QPaintDevice* StartDoc(const QString& Title, const QString& FileName, const TrpDeviceMode&) override
    {
        FModel.Calls << QStringLiteral("StartDoc %1|%2").arg(Title, FileName);
        FModel.Drawing = QPicture();
        return &FModel.Drawing;
    }
    void ResetDevice(const TrpDeviceMode& Mode) override
    {
        FModel.Calls << QStringLiteral("Reset");
        FModel.LastReset = Mode;
    }
    void StartPage() override { FModel.Calls << QStringLiteral("StartPage"); }
    void EndPage() override { FModel.Calls << QStringLiteral("EndPage"); }
    void EndDoc() override { FModel.Calls << QStringLiteral("EndDoc"); }
    void AbortDoc() override { FModel.Calls << QStringLiteral("AbortDoc"); }
    void StartRawDoc(const QString&, const QString&) override { FModel.Calls << QStringLiteral("StartRaw"); }
    void WriteRaw(const QByteArray& Buffer) override
    {
        FModel.Calls << QStringLiteral("Raw ") + QString::fromLatin1(Buffer);
    }
    void EndRawDoc() override { FModel.Calls << QStringLiteral("EndRaw"); }

private:
    TrpFakePrinterModel& FModel;
};
} // namespace

TrpFakePrinterModel TrpFakePrintSystem::StandardPrinter(const QString& Name)
{
    TrpFakePrinterModel model;
    model.Name = Name;
    model.Port = Name + QStringLiteral(":");
    model.Papers = { { 1, QStringLiteral("Letter"), 2159, 2794 }, { 8, QStringLiteral("A3"), 2970, 4200 },
        { 9, QStringLiteral("A4"), 2100, 2970 } };
    model.Bins = { { rpBinAuto, QStringLiteral("Automatic") }, { 2, QStringLiteral("Lower tray") },
        { 4, QStringLiteral("Manual") } };
    model.DefaultMode.PaperSize = 9;
    model.DefaultMode.DefaultSource = 2;
    model.DefaultMode.Duplex = rpDuplexSimplex;
    return model;
}

TrpFakePrinterModel& TrpFakePrintSystem::Add(TrpFakePrinterModel Model)
{
    FModels.push_back(std::make_unique<TrpFakePrinterModel>(std::move(Model)));
    return *FModels.back();
}

TrpFakePrinterModel& TrpFakePrintSystem::Model(const QString& Name)
{
    for (auto& s : FModels)
        if (s->Name == Name)
            return *s;
    throw EPelmoraError(QStringLiteral("no fake printer ") + Name);
}

std::vector<TrpPrinterEntry> TrpFakePrintSystem::EnumPrinters()
{
    std::vector<TrpPrinterEntry> list;
    for (const auto& s : FModels)
        list.push_back({ s->Name, s->Port });
    return list;
}

std::unique_ptr<TrpPrintDevice> TrpFakePrintSystem::OpenPrinter(const QString& Name)
{
    for (auto& s : FModels)
        if (s->Name == Name)
            return s->OpenFails ? nullptr : std::make_unique<TFakeDevice>(*s);
    return nullptr;
}
