// The store printing and exporting itself: every page reaches the printer
// with one rebuilt page at a time, no printer at all is reported, and the
// PDF export writes one page per prepared page.
#include "FakeDialogService.h"
#include "StoreFixture.h"
#include "rpFakePrintSystem.h"
#include "rpPrinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct StorePrintFixture : ::testing::Test {
    ExpenseTemplate T;
    TrpFakePrintSystem* System = nullptr;
    TFakeDialogService* Dialogs = nullptr;

    void Install(bool WithPrinter)
    {
        auto system = std::make_unique<TrpFakePrintSystem>();
        auto dialogs = std::make_unique<TFakeDialogService>();
        System = system.get();
        Dialogs = dialogs.get();
        if (WithPrinter)
            System->Add(TrpFakePrintSystem::StandardPrinter(QStringLiteral("Laser")));
        rpSetPrintSystem(std::move(system), std::move(dialogs));
        T.Report->PrintOptions()->ShowDialog = false;
    }
    void TearDown() override { rpSetPrintSystem(nullptr); }
};

TEST_F(StorePrintFixture, PrintsEveryPageAndKeepsNoRebuiltPageBehind)
{
    T.Fill(3, 2);
    Install(true);
    int drawn = 0;
    T.Report->OnPrintPage = [&](TrpReport*, int, int) {
        ++drawn;
        // Only the page about to print may be rebuilt.
        EXPECT_LE(T.Store().CachedPageIndexes().size(), 1u);
    };
    EXPECT_TRUE(T.Store().Print());
    EXPECT_EQ(drawn, 3);
    const TrpFakePrinterModel& model = System->Model(QStringLiteral("Laser"));
    EXPECT_EQ(model.Calls.count(QStringLiteral("StartPage")), 3);
    EXPECT_GT(model.Drawing.size(), 0u);
    EXPECT_TRUE(T.Store().CachedPageIndexes().empty());
    EXPECT_EQ(T.Store().CopyNo(), 0);
}

TEST_F(StorePrintFixture, WithoutPrintersPrintSaysSo)
{
    T.Fill(1, 1);
    Install(false);
    EXPECT_FALSE(T.Store().Print());
    EXPECT_EQ(Dialogs->MessageTexts(), QStringList { "No printers installed on your system" });
}

TEST_F(StorePrintFixture, ExportWritesOnePdfPagePerPreparedPage)
{
    T.Fill(4, 2);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    EXPECT_TRUE(T.Store().Export(file));
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page/")
            + bytes.count("/Type /Page "),
        4)
        << "pages";
    // The footer picture is stored once for the four pages.
    EXPECT_EQ(bytes.count("/Subtype /Image"), 1);
    EXPECT_TRUE(T.Store().CachedPageIndexes().empty());
}

} // namespace
