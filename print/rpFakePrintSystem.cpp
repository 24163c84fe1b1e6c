// Test printing services: devices computed from a spec, every call logged.
// Capabilities follow the paper and orientation of the device mode the way
// a driver's would: physical size of the paper, printable area inside the
// spec's margins, all in device pixels at the spec's resolution.
#include "rpFakePrintSystem.h"

#include "PelmoraError.h"

#include <tuple>

namespace {
int Pixels(int Tenths, int Dpi) { return qRound(Tenths / 254.0 * Dpi); }

class TFakeDevice : public TrpPrintDevice
{
public:
    explicit TFakeDevice(TrpFakePrinterSpec &ASpec) : FSpec(ASpec) {}

    bool DefaultDeviceMode(TrpDeviceMode &Mode) override
    {
        if (FSpec.DeviceModeFails)
            return false;
        Mode = FSpec.DefaultMode;
        return true;
    }

    TrpDeviceCaps Capabilities(const TrpDeviceMode &Mode) override
    {
        TrpDeviceCaps caps;
        if (FSpec.InvalidCaps)
            return caps;
        int w = Mode.PaperWidth, h = Mode.PaperLength;
        for (const auto &p : FSpec.Papers)
            if (p.Number == Mode.PaperSize) {
                w = p.Width;
                h = p.Height;
            }
        int ml = FSpec.MarginLeft, mt = FSpec.MarginTop, mr = FSpec.MarginRight, mb = FSpec.MarginBottom;
        if (Mode.Orientation == 2) {
            std::swap(w, h);
            // Turned paper: the long edge's margins now run across.
            std::tie(ml, mt, mr, mb) = std::make_tuple(mt, mr, mb, ml);
        }
        caps.LogPixelsX = FSpec.DpiX;
        caps.LogPixelsY = FSpec.DpiY;
        caps.PhysicalWidth = Pixels(w, FSpec.DpiX);
        caps.PhysicalHeight = Pixels(h, FSpec.DpiY);
        caps.PhysicalOffsetX = Pixels(ml, FSpec.DpiX);
        caps.PhysicalOffsetY = Pixels(mt, FSpec.DpiY);
        caps.HorzRes = Pixels(w - ml - mr, FSpec.DpiX);
        caps.VertRes = Pixels(h - mt - mb, FSpec.DpiY);
        return caps;
    }

    std::vector<TrpDeviceEntry> Papers() override
    {
        std::vector<TrpDeviceEntry> list;
        for (const auto &p : FSpec.Papers)
            list.push_back({p.Number, p.Name});
        return list;
    }

    std::vector<TrpDeviceEntry> Bins() override
    {
        if (FSpec.BinsThrow)
            throw EPelmoraError(QStringLiteral("source names unavailable"));
        return FSpec.Bins;
    }

    bool PropertiesDialog(TrpDeviceMode &Mode) override { return FSpec.Properties && FSpec.Properties(Mode); }

    QPaintDevice *StartDoc(const QString &Title, const QString &FileName, const TrpDeviceMode &) override
    {
        FSpec.Calls << QStringLiteral("StartDoc %1|%2").arg(Title, FileName);
        FSpec.Drawing = QPicture();
        return &FSpec.Drawing;
    }
    void ResetDevice(const TrpDeviceMode &Mode) override
    {
        FSpec.Calls << QStringLiteral("Reset");
        FSpec.LastReset = Mode;
    }
    void StartPage() override { FSpec.Calls << QStringLiteral("StartPage"); }
    void EndPage() override { FSpec.Calls << QStringLiteral("EndPage"); }
    void EndDoc() override { FSpec.Calls << QStringLiteral("EndDoc"); }
    void AbortDoc() override { FSpec.Calls << QStringLiteral("AbortDoc"); }
    void StartRawDoc(const QString &, const QString &) override { FSpec.Calls << QStringLiteral("StartRaw"); }
    void WriteRaw(const QByteArray &Buffer) override { FSpec.Calls << QStringLiteral("Raw ") + QString::fromLatin1(Buffer); }
    void EndRawDoc() override { FSpec.Calls << QStringLiteral("EndRaw"); }

private:
    TrpFakePrinterSpec &FSpec;
};
} // namespace

TrpFakePrinterSpec TrpFakePrintSystem::StandardPrinter(const QString &Name)
{
    TrpFakePrinterSpec spec;
    spec.Name = Name;
    spec.Port = Name + QStringLiteral(":");
    spec.Papers = {{1, QStringLiteral("Letter"), 2159, 2794},
                   {8, QStringLiteral("A3"), 2970, 4200},
                   {9, QStringLiteral("A4"), 2100, 2970}};
    spec.Bins = {{rpBinAuto, QStringLiteral("Automatic")}, {2, QStringLiteral("Lower tray")}, {4, QStringLiteral("Manual")}};
    spec.DefaultMode.PaperSize = 9;
    spec.DefaultMode.DefaultSource = 2;
    spec.DefaultMode.Duplex = rpDuplexSimplex;
    return spec;
}

TrpFakePrinterSpec &TrpFakePrintSystem::Add(TrpFakePrinterSpec Spec)
{
    FSpecs.push_back(std::make_unique<TrpFakePrinterSpec>(std::move(Spec)));
    return *FSpecs.back();
}

TrpFakePrinterSpec &TrpFakePrintSystem::Spec(const QString &Name)
{
    for (auto &s : FSpecs)
        if (s->Name == Name)
            return *s;
    throw EPelmoraError(QStringLiteral("no fake printer ") + Name);
}

std::vector<TrpPrinterEntry> TrpFakePrintSystem::EnumPrinters()
{
    std::vector<TrpPrinterEntry> list;
    for (const auto &s : FSpecs)
        list.push_back({s->Name, s->Port});
    return list;
}

std::unique_ptr<TrpPrintDevice> TrpFakePrintSystem::OpenPrinter(const QString &Name)
{
    for (auto &s : FSpecs)
        if (s->Name == Name)
            return s->OpenFails ? nullptr : std::make_unique<TFakeDevice>(*s);
    return nullptr;
}
