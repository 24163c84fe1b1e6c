// The print button: the expense report over the rows in view, shown in the
// preview window; the grid follows the walk; no table, no preview.
#include "AppFixture.h"
#include "DbTable.h"
#include "ExpenseGridModel.h"
#include "Unit1.h"
#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpPreview.h"
#include "rpPreviewForm.h"
#include "rpPreviewPages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

class PrintCommandTest : public AppFixture {
protected:
    std::unique_ptr<TForm1> Form;

    void SetUp() override
    {
        rpRegisterPreviewPages();
        rpInstallPreview(Test.Services);
    }
    void TearDown() override { TrpReport::SetShowPreview(nullptr); }

    void StartWith(const std::vector<TRow>& rows)
    {
        const QString database = MakeDatabase("log.mdb", rows);
        Configure(database);
        WriteBytes(CarList(), "Lada\r\nVolga\r\n");
        Form = Start();
        ASSERT_TRUE(Form);
    }
    // Presses the print button; returns the first status panel of the
    // preview window that opened ("" when none did), closing it with Esc.
    // While the window shows, Use gets to work with it.
    QString Print(const std::function<void(TrpPreviewForm*)>& Use = {})
    {
        QString status;
        // The report pumps events while it prepares, so the window may not be
        // up at the first tick: keep looking until it shows.
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* form = qobject_cast<TrpPreviewForm*>(w); form && form->isVisible()) {
                    watch.stop();
                    if (Use)
                        Use(form);
                    status = form->StatusPanels[0]->text();
                    QTest::keyClick(form, Qt::Key_Escape);
                    return;
                }
        });
        watch.start();
        Form->SpeedButton2->click();
        watch.stop();
        return status;
    }
    // The car texts printed on page Index.
    QStringList CarsOnPage(int Index)
    {
        QStringList cars;
        TrpReportPage* page = Form->rpReport1->PreviewPages()->GetPage(Index);
        for (TrpComponent* c : page->AllObjects())
            if (auto* memo = dynamic_cast<TrpMemoView*>(c);
                memo && memo->Name() == QStringLiteral("rpDBDataset1car"))
                cars << memo->Text().trimmed();
        return cars;
    }
};

TEST_F(PrintCommandTest, EmptyLogGivesOnePage)
{
    StartWith({});
    EXPECT_EQ(Print(), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(Form->rpReport1->PreviewPages()->Count(), 1);
    EXPECT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
    // The window let go of the report when it closed.
    EXPECT_EQ(Form->rpReport1->Preview(), nullptr);
}

TEST_F(PrintCommandTest, FilteredLogPrintsOnlyTheRowsInViewAndTheGridEndsOnTheLast)
{
    std::vector<TRow> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back({ i % 2 ? "Volga" : "Lada", QStringLiteral("part %1").arg(i), "01.02.2023", "100", "",
            QString::number(i) });
    StartWith(rows);
    Form->ComboBox2->setEditText("Volga");
    Form->ComboBox2Change();
    const QString totalBefore = Form->Edit2->property("text").toString();
    // 25 Volga rows fit on the first page.
    EXPECT_EQ(Print(), QStringLiteral("Page 1 of 1"));
    const QStringList cars = CarsOnPage(0);
    EXPECT_EQ(cars.size(), 25);
    EXPECT_EQ(cars.count(QStringLiteral("Volga")), 25);
    // The walk left the table, and the grid, on the last row in view.
    EXPECT_TRUE(
        Form->ADOTable1->Eof() || Form->DataSource1->CurrentRow() == Form->DataSource1->rowCount() - 1);
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), Form->DataSource1->rowCount() - 1);
}

TEST_F(PrintCommandTest, ManyRowsMakeSeveralPages)
{
    std::vector<TRow> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back({ "Lada", QStringLiteral("part %1").arg(i), "01.02.2023", "100", "", "1" });
    StartWith(rows);
    // 36 rows on the first page, 41 on the next: 100 rows make 3 pages.
    EXPECT_EQ(Print(), QStringLiteral("Page 1 of 3"));
}

TEST_F(PrintCommandTest, RefreshPreparesAgainKeepingThePageOrGoingToTheLast)
{
    std::vector<TRow> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back({ i < 90 ? "Lada" : "Volga", QStringLiteral("part %1").arg(i), "01.02.2023", "100", "",
            QString::number(i) });
    StartWith(rows);
    int keptPage = 0, keptCount = 0, fewerPage = 0, fewerCount = 0;
    QStringList carsAfter;
    const QString status = Print([&](TrpPreviewForm* form) {
        TrpPreview* preview = form->Preview();
        preview->SetPageNo(2);
        preview->RefreshReport();
        keptPage = preview->PageNo();
        keptCount = preview->PageCount();
        // The rows in view shrink to ten: one page, so the control goes to it.
        preview->SetPageNo(3);
        Form->ComboBox2->setEditText("Volga");
        Form->ComboBox2Change();
        preview->RefreshReport();
        fewerPage = preview->PageNo();
        fewerCount = preview->PageCount();
        carsAfter = CarsOnPage(0);
    });
    EXPECT_EQ(keptCount, 3);
    EXPECT_EQ(keptPage, 2);
    EXPECT_EQ(fewerCount, 1);
    EXPECT_EQ(fewerPage, 1);
    EXPECT_EQ(status, QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(carsAfter, QStringList(10, QStringLiteral("Volga")));
    EXPECT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
}

TEST_F(PrintCommandTest, NoTableOpenShowsTheErrorAndNoPreview)
{
    StartWith({});
    Form->ADOTable1->Close();
    Form->ADOTable1->SetDatabaseFile(File(QStringLiteral("missing/none.mdb")));
    Dialogs.Clear();
    EXPECT_EQ(Print(), QString());
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Caption, QStringLiteral("Pelmora"));
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
}

} // namespace
