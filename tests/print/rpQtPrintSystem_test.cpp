// The program's own printing services, through their PDF file printer (the
// one printer that needs no print server).
#include "FakeDialogService.h"
#include "rpPrinter.h"
#include "rpQtPrintSystem.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(QtPrintSystem, PdfPrinterMeasuresPapersAndWritesEveryPage)
{
    TrpQtPrintSystem system;
    TFakeDialogService dialogs;
    TrpPrinter printer(TrpQtPrintSystem::PdfPrinterName(), QString(), system, dialogs);
    printer.Init();
    ASSERT_TRUE(printer.Initialized());
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_GT(printer.DPI().x(), 0);
    EXPECT_EQ(printer.DPI().x(), printer.DPI().y());
    EXPECT_EQ(printer.DefPaper(), 9);
    EXPECT_EQ(printer.PaperWidth(), 210);
    EXPECT_EQ(printer.PaperHeight(), 297);
    EXPECT_NE(printer.PaperIndex(8), -1);
    EXPECT_EQ(printer.Papers()[0].Number, 256);

    printer.SetViewParams(8, 0, 0, poLandscape);
    EXPECT_EQ(printer.PaperWidth(), 420);
    EXPECT_EQ(printer.PaperHeight(), 297);
    // Margins are whole millimetres and leave room to print.
    EXPECT_GE(printer.LeftMargin(), 0);
    EXPECT_LT(printer.LeftMargin() + printer.RightMargin(), printer.PaperWidth());

    QTemporaryDir dir;
    const QString file = dir.filePath("out.prn");
    printer.SetFileName(file);
    printer.SetPrintParams(9, 0, 0, poPortrait, 7, 0, 1);
    printer.BeginDoc();
    for (int page = 0; page < 2; ++page) {
        printer.BeginPage();
        printer.Canvas()->Painter()->drawText(100, 100, QStringLiteral("page %1").arg(page + 1));
        printer.EndPage();
    }
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray data = pdf.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_EQ(data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page "), 2)
        << "two pages expected";
}

TEST(QtPrintSystem, PdfPrinterWithoutAFileWritesANewDocumentInTheDocumentsFolder)
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toLocal8Bit());
    TrpQtPrintSystem system;
    TFakeDialogService dialogs;
    TrpPrinter printer(TrpQtPrintSystem::PdfPrinterName(), QString(), system, dialogs);
    printer.Init();
    printer.SetTitle(QStringLiteral("Expenses"));
    // The folder does not exist yet; the second job does not replace the first.
    for (int job = 0; job < 2; ++job) {
        printer.SetPrintParams(9, 0, 0, poPortrait, 7, 0, 1);
        printer.BeginDoc();
        printer.BeginPage();
        printer.Canvas()->Painter()->drawText(100, 100, QStringLiteral("job"));
        printer.EndPage();
        printer.EndDoc();
    }
    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_TRUE(QFile::exists(home.filePath("Documents/Expenses.pdf")));
    EXPECT_TRUE(QFile::exists(home.filePath("Documents/Expenses (2).pdf")));
}

} // namespace
