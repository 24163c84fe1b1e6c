// Fuzz body for prepared-report files.
//
// Input: one byte choosing whole (even) or partial (odd) loading, then the
// file. The store holds a one-page report before the load. Properties:
//  - a file that is refused ends in the program's own error and leaves the
//    earlier report in the store;
//  - an accepted file draws (up to 16 pages) onto a recording canvas, a page
//    that cannot be rebuilt saying so with the program's error;
//  - what the store then saves loads again.
#include "fuzz_rpd.h"
#include "FuzzCheck.h"
#include "PelmoraError.h"
#include "rpClass.h"
#include "rpPreviewPages.h"
#include "rpRecordingCanvas.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>

#include <cstdlib>

namespace {

// Drawing needs fonts, and fonts a GUI application (the test suite has its
// own).
void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "fuzz_rpd";
    static char* argv[] = { name, nullptr };
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    new QGuiApplication(argc, argv); // lives for the process
}

// A small report saved once, loaded before every input so that a failed
// load can be checked to keep it.
const QByteArray& Seed()
{
    static const QByteArray bytes = [] {
        TrpReport report;
        auto* page = report.Create<TrpReportPage>();
        page->SetName(QStringLiteral("Page1"));
        auto* band = page->Create<TrpMasterData>();
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 0, 700, 20);
        auto* memo = band->Create<TrpMemoView>();
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(0, 0, 200, 18);
        memo->SetText(QStringLiteral("seed"));
        TrpPreviewPages& store = *static_cast<TrpPreviewPages*>(report.PreviewPages());
        store.Initialize();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPage(page);
        store.AddObject(band);
        store.Finish();
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        store.SaveToStream(&out);
        return out.data();
    }();
    return bytes;
}

void LoadBytes(TrpPreviewPages& Store, QByteArray Bytes, bool Partial)
{
    QBuffer in(&Bytes);
    in.open(QIODevice::ReadOnly);
    Store.LoadFromStream(&in, Partial);
}

} // namespace

void FuzzRpd(QByteArrayView input)
{
    EnsureApplication();
    rpRegisterPreviewPages();
    if (input.isEmpty())
        return;
    const bool partial = input[0] & 1;
    const QByteArray bytes(input.data() + 1, input.size() - 1);

    TrpReport report;
    report.EngineOptions()->SetEnableThreadSafe(true);
    TrpPreviewPages& store = *static_cast<TrpPreviewPages*>(report.PreviewPages());
    LoadBytes(store, Seed(), false);
    try {
        LoadBytes(store, bytes, partial);
    } catch (const EPelmoraError&) {
        FuzzCheck(store.Count() == 1 && store.GetPage(0), "a refused file leaves the earlier report");
        return;
    }
    TrpRecordingCanvas canvas;
    for (int i = 0; i < store.Count() && i < 16; ++i) {
        try {
            QPainter painter(&canvas);
            store.DrawPage(i, &painter, 1, 1, 0, 0);
            (void)store.MayHoldText(i, QStringLiteral("seed"), false);
        } catch (const EPelmoraError&) {
        }
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    try {
        store.SaveToStream(&out);
    } catch (const EPelmoraError&) {
        return;
    }
    TrpReport again;
    bool loaded = true;
    try {
        LoadBytes(*static_cast<TrpPreviewPages*>(again.PreviewPages()), out.data(), false);
    } catch (const EPelmoraError&) {
        loaded = false;
    }
    FuzzCheck(loaded, "a file the store wrote loads again");
}
