// Page settings applied to all pages of the expense report: the template
// pages take them and the report is prepared again over the log, so the page
// count follows the new paper; the preview ends on page 1.
#include "ExpenseReport.h"
#include "FakeDialogService.h"
#include "expense_log.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpPreview.h"
#include "rpPreviewPageSettings.h"
#include "rpPreviewPages.h"

#include <QPainter>

#include "rpFakePrintSystem.h"
#include "rpPrinter.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PageSettings, ApplyToAllPagesPreparesTheReportAgainOnTheNewPaper)
{
    auto system = std::make_unique<TrpFakePrintSystem>();
    system->Add(TrpFakePrintSystem::StandardPrinter("Laser"));
    rpSetPrintSystem(std::move(system), std::make_unique<TFakeDialogService>());
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    const QString path = dir.filePath(QStringLiteral("log.mdb"));
    CreateExpenseLogFile(path);
    {
        TDbConnection connection;
        connection.Open(path);
        connection.Execute(QStringLiteral("BEGIN"));
        auto insert
            = connection.Prepare(QStringLiteral("INSERT INTO table1 (car, partname, jobdate, mileage, "
                                                "descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int n = 1; n <= 80; ++n) {
            insert->Bind(1, TDbValue::Text(QStringLiteral("Car %1").arg(n % 3)));
            insert->Bind(2, TDbValue::Text(QStringLiteral("Part %1").arg(n)));
            insert->Bind(3, TDbValue::Text(QStringLiteral("01.02.2020")));
            insert->Bind(4, TDbValue::Integer(n * 10));
            insert->Bind(5, TDbValue::Text(QString()));
            insert->Bind(6, TDbValue::Integer(n));
            insert->Step();
            insert->Reset();
        }
        connection.Execute(QStringLiteral("COMMIT"));
    }
    rpRegisterPreviewPages();
    std::unique_ptr<TDbTable> table = OpenExpenseLog(path);
    TrpDBDataset dataSet;
    dataSet.SetDataSet(table.get());
    TrpReport report;
    BuildExpenseReport(report, dataSet);
    report.EngineOptions()->SetEnableThreadSafe(true);
    report.EngineOptions()->SetSilentMode(simReThrow);
    TrpPreview preview;
    preview.resize(800, 600);
    preview.SetReport(&report, report.PreviewPages());
    report.SetPreview(&preview);
    ASSERT_TRUE(report.PrepareReport(true));
    ASSERT_EQ(preview.PageCount(), 3);
    preview.SetPageNo(2);

    preview.OnRunPageSettings = [](TrpPageSettingsForm& Form) {
        Form.FillControls();
        Form.LandscapeRB->click();
        Form.ApplyToAllRB->setChecked(true);
        return true;
    };
    preview.PageSetupDlg();
    // Landscape A4 holds fewer rows a page: more pages, all landscape.
    EXPECT_GT(preview.PageCount(), 3);
    EXPECT_EQ(preview.PageNo(), 1);
    for (int i = 0; i < preview.PageCount(); ++i) {
        TrpReportPage* page = report.PreviewPages()->GetPage(i);
        EXPECT_EQ(page->Orientation(), poLandscape) << i;
        EXPECT_NEAR(double(page->PaperWidth()), 297, 0.01) << i;
    }
    // The template keeps the settings for the next run.
    const int pages = preview.PageCount();
    ASSERT_TRUE(report.PrepareReport(true));
    EXPECT_EQ(preview.PageCount(), pages);
    report.SetPreview(nullptr);
    rpSetPrintSystem(nullptr);
}
