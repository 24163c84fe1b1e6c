// The preview window: toolbar, zoom box, page box and status texts, the
// right-click menu, full screen, closing, and the commands that are not
// part of the program yet.
#include "FakePreviewPages.h"
#include "Services.h"
#include "qt_print.h"
#include "rpClass.h"
#include "rpPreview.h"
#include "rpPreviewForm.h"
#include "rpPreviewWorkspace.h"
#include "rpReportError.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct FormFixture : ::testing::Test {
    QTemporaryDir Dir;
    TTestServices Services { Dir.path() };
    TrpReport Report;
    FakePreviewPages* Pages = nullptr;
    std::unique_ptr<TrpPreviewForm> Form;

    void Open(int PageCount)
    {
        auto pages = std::make_unique<FakePreviewPages>(PageCount, QPointF(794, 1123), &Report);
        Pages = pages.get();
        Report.SetPreviewPages(std::move(pages));
        Form = std::make_unique<TrpPreviewForm>(Services.Services);
        Form->Preview()->SetReport(&Report, Report.PreviewPages());
        Report.SetPreview(Form->Preview());
        Report.SetPreviewForm(Form.get());
        Form->show();
        Form->Init();
        QApplication::processEvents();
    }
    void TypeZoom(const QString& Text)
    {
        Form->ZoomCB->setEditText(Text);
        QTest::keyClick(Form->ZoomCB->lineEdit(), Qt::Key_Return);
        QApplication::processEvents();
    }
    QStringList VisibleToolbar()
    {
        QStringList names;
        for (QAction* item : Form->ToolBar->actions()) {
            if (!item->isVisible())
                continue;
            if (item->isSeparator()) {
                names << QStringLiteral("|");
                continue;
            }
            QWidget* w = Form->ToolBar->widgetForAction(item);
            if (auto* b = qobject_cast<QToolButton*>(w))
                names << b->toolTip();
            else if (auto* p = qobject_cast<QPushButton*>(w))
                names << p->text();
            else if (w->findChild<QComboBox*>())
                names << QStringLiteral("[zoom %1]").arg(Form->ZoomCB->currentText());
            else if (w->findChild<QLineEdit*>())
                names << QStringLiteral("[page] %1").arg(Form->OfNL->text());
        }
        return names;
    }
};

TEST_F(FormFixture, ToolbarForThisProgramsOptions)
{
    Open(3);
    const QStringList expected = { "Print", "Open", "Save", "Export to PDF", "Find", "|", "Zoom In",
        "[zoom 100%]", "Zoom Out", "Full Screen", "|", "Report outline", "Thumbnails", "Page Settings",
        "Edit Page", "|", "First Page", "Prior Page", "[page] of 3", "Next Page", "Last Page", "Close" };
    EXPECT_EQ(VisibleToolbar(), expected);
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Preview"));
    EXPECT_TRUE(Form->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(Form->Preview()->OutlineVisible());
    EXPECT_FALSE(Form->Preview()->ThumbnailVisible());
    EXPECT_EQ(Form->PrintB->text(), QStringLiteral("Print"));
    EXPECT_EQ(Form->CancelB->size(), QSize(68, 23));
    EXPECT_FALSE(Form->PrintB->icon().isNull());
}

TEST_F(FormFixture, OptionsHideButtonsAndNameTheWindow)
{
    Report.PreviewOptions()->Buttons = TrpPreviewButtons(pbPrint | pbNavigator | pbNoClose);
    Report.ReportOptions()->SetName(QStringLiteral("Expenses"));
    Open(2);
    EXPECT_EQ(VisibleToolbar(),
        QStringList({ "Print", "|", "First Page", "Prior Page", "[page] of 2", "Next Page", "Last Page" }));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Expenses"));
}

TEST_F(FormFixture, StatusTextsFollowThePages)
{
    Open(3);
    EXPECT_EQ(Form->StatusPanels[0]->text(), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(Form->OfNL->text(), QStringLiteral("of 3"));
    EXPECT_EQ(Form->PageE->text(), QStringLiteral("1"));
    Form->NextB->click();
    EXPECT_EQ(Form->StatusPanels[0]->text(), QStringLiteral("Page 2 of 3"));
    EXPECT_EQ(Form->PageE->text(), QStringLiteral("2"));
    Form->LastB->click();
    EXPECT_EQ(Form->StatusPanels[0]->text(), QStringLiteral("Page 3 of 3"));
    Form->FirstB->click();
    EXPECT_EQ(Form->StatusPanels[0]->text(), QStringLiteral("Page 1 of 3"));

    // The page box: Enter goes there, clamped to the pages there are.
    Form->PageE->setText(QStringLiteral("2"));
    QTest::keyClick(Form->PageE, Qt::Key_Return);
    EXPECT_EQ(Form->Preview()->PageNo(), 2);
    Form->PageE->setText(QStringLiteral("99"));
    QTest::keyClick(Form->PageE, Qt::Key_Return);
    EXPECT_EQ(Form->Preview()->PageNo(), 3);
    // Digits only.
    Form->PageE->clear();
    QTest::keyClicks(Form->PageE, QStringLiteral("a1b"));
    EXPECT_EQ(Form->PageE->text(), QStringLiteral("1"));
    // Empty: a conversion error in the error box, the page stays.
    Form->PageE->clear();
    QTest::keyClick(Form->PageE, Qt::Key_Return);
    EXPECT_EQ(Form->Preview()->PageNo(), 3);
    ASSERT_EQ(Services.Dialogs->Messages().size(), 1u);
    EXPECT_EQ(Services.Dialogs->Messages()[0].Text, QStringLiteral("'' is not a valid integer value."));

    // Panels: the last two share what the page panel leaves.
    Form->resize(1000, 600);
    EXPECT_EQ(Form->StatusPanels[1]->width(), 400);
    EXPECT_EQ(Form->StatusPanels[2]->geometry(), QRect(600, 0, 400, Form->StatusBar->height()));
    // They never make the window wider than it was made.
    EXPECT_LE(Form->minimumSizeHint().width(), 1000);
    Form->resize(700, 600);
    EXPECT_EQ(Form->width(), 700);
    EXPECT_EQ(Form->StatusPanels[1]->width(), 250);
    Form->SetMessageText(QStringLiteral("working"), false);
    Form->SetMessageText(QStringLiteral("a hint"), true);
    EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("working"));
    EXPECT_EQ(Form->StatusPanels[2]->text(), QStringLiteral("a hint"));
}

TEST_F(FormFixture, ZoomBoxAcceptsPercentagesAndModes)
{
    Open(3);
    struct Case {
        const char* name;
        QString typed;
        double zoom;
        QString shown;
    };
    const Case cases[] = {
        { "plain_number", "75", 0.75, "75%" },
        { "with_percent", "75%", 0.75, "75%" },
        { "spaces_removed", "7 5 %", 0.75, "75%" },
        { "below_the_limit", "10", 0.25, "25%" },
        { "large", "200%", 2.0, "200%" },
    };
    // The edit field holds a three-digit percentage whole, whatever the font.
    const QLineEdit* edit = Form->ZoomCB->lineEdit();
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QStringLiteral("200%")));
    for (const Case& c : cases) {
        TypeZoom(c.typed);
        EXPECT_DOUBLE_EQ(double(Form->Preview()->Zoom()), c.zoom) << c.name;
        EXPECT_EQ(Form->ZoomCB->currentText(), c.shown) << c.name;
    }
    // Not a number: an error box, the zoom stays.
    TypeZoom(QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(double(Form->Preview()->Zoom()), 2.0);
    ASSERT_EQ(Services.Dialogs->Messages().size(), 1u);
    EXPECT_EQ(Services.Dialogs->Messages()[0].Caption, QStringLiteral("Pelmora"));

    // Choosing "Page width" shows the computed percentage afterwards.
    Form->ZoomCB->setCurrentIndex(6);
    emit Form->ZoomCB->activated(6);
    QApplication::processEvents();
    EXPECT_EQ(Form->Preview()->ZoomMode(), zmPageWidth);
    const int percent = int(std::lround(double(Form->Preview()->Zoom() * 100)));
    EXPECT_EQ(Form->ZoomCB->currentText(), QString::number(percent) + QStringLiteral("%"));
    Form->ZoomCB->setCurrentIndex(7);
    emit Form->ZoomCB->activated(7);
    EXPECT_EQ(Form->Preview()->ZoomMode(), zmWholePage);

    Form->ZoomPlusB->click();
    EXPECT_EQ(Form->Preview()->ZoomMode(), zmDefault);
    Form->Preview()->SetZoom(0.4L);
    Form->ZoomMinusB->click();
    EXPECT_DOUBLE_EQ(double(Form->Preview()->Zoom()), 0.25);
}

TEST_F(FormFixture, RightClickMenuCopiesTheFirstToolbarGroups)
{
    Open(3);
    QStringList items;
    for (QAction* a : Form->RightMenu->actions())
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("|") : a->text());
    EXPECT_EQ(items,
        QStringList(
            { "Print", "Open", "Save", "Export to PDF", "Find", "|", "Zoom In", "Zoom Out", "Full Screen" }));
    // Save carries the drop-down's items.
    QAction* save = Form->RightMenu->actions()[5];
    ASSERT_NE(save->menu(), nullptr);
    ASSERT_EQ(save->menu()->actions().size(), 3);
    EXPECT_EQ(save->menu()->actions()[0]->text(), QStringLiteral("Prepared Report..."));
    EXPECT_TRUE(save->menu()->actions()[1]->isSeparator());
    EXPECT_EQ(save->menu()->actions()[2]->text(), QStringLiteral("Export to PDF..."));
    // Collapse / Expand are hidden: no drill-down groups.
    EXPECT_FALSE(Form->CollapseMI->isVisible());
}

TEST_F(FormFixture, CommandsAreEnabledOncePagesExist)
{
    Open(3);
    for (QToolButton* b :
        { Form->PrintB, Form->OpenB, Form->SaveB, Form->PdfB, Form->FindB, Form->PageSettingsB })
        EXPECT_TRUE(b->isEnabled()) << b->toolTip().toStdString();
    // Their menu copies follow.
    EXPECT_TRUE(Form->RightMenu->actions()[3]->isEnabled());
    // Edit is enabled and has no visible effect.
    EXPECT_TRUE(Form->DesignerB->isEnabled());
    Form->DesignerB->click();
    EXPECT_EQ(Form->Preview()->PageNo(), 1);
}

TEST_F(FormFixture, PdfExportAsksForAFileAndLeavesTheRestToTheStore)
{
    Open(3);
    Services.Dialogs->QueueFile(std::nullopt);
    Form->PdfBClick();
    EXPECT_TRUE(Pages->Exports.isEmpty());
    Services.Dialogs->QueueFile(Dir.filePath(QStringLiteral("report")));
    Form->ExportPopup->actions().back()->trigger();
    EXPECT_EQ(Pages->Exports, QStringList { Dir.filePath(QStringLiteral("report.pdf")) });
    const TFileDialogRequest& asked = Services.Dialogs->FileDialogs().back();
    EXPECT_EQ(asked.Kind, TFileDialogKind::Save);
    EXPECT_EQ(asked.FilterPattern, "*.pdf");
    EXPECT_TRUE(asked.OverwritePrompt);
}

TEST_F(FormFixture, FullScreenTogglesAndDoubleClickLeavesIt)
{
    Open(2);
    QTest::keyClick(Form.get(), Qt::Key_F11);
    EXPECT_TRUE(Form->FullScreen());
    EXPECT_FALSE(Form->ToolBar->isVisible());
    EXPECT_FALSE(Form->StatusBar->isVisible());
    QTest::keyClick(Form.get(), Qt::Key_F11);
    EXPECT_FALSE(Form->FullScreen());
    EXPECT_TRUE(Form->ToolBar->isVisible());
    EXPECT_TRUE(Form->StatusBar->isVisible());
    Form->FullScreenBtn->click();
    QTest::mouseDClick(Form->Preview()->Workspace()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(Form->FullScreen());
}

TEST_F(FormFixture, OutlineAndThumbnailButtonsExcludeEachOther)
{
    Open(2);
    Form->OutlineB->click();
    EXPECT_TRUE(Form->Preview()->OutlineVisible());
    Form->ThumbB->click();
    EXPECT_TRUE(Form->Preview()->ThumbnailVisible());
    EXPECT_FALSE(Form->OutlineB->isChecked());
}

TEST_F(FormFixture, EscClosesButNotWhilePreparing)
{
    Open(2);
    Form->Preview()->InternalOnProgressStart(&Report, ptRunning, 0);
    EXPECT_EQ(Form->CancelB->text(), QStringLiteral("Cancel"));
    EXPECT_FALSE(Form->PrintB->isEnabled());
    QTest::keyClick(Form.get(), Qt::Key_Escape);
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Report.Terminated());
    Form->close();
    EXPECT_TRUE(Form->isVisible());
    Form->Preview()->InternalOnProgressStop(&Report, ptRunning, 0);
    EXPECT_EQ(Form->CancelB->text(), QStringLiteral("Close"));
    QTest::keyClick(Form.get(), Qt::Key_Escape);
    EXPECT_FALSE(Form->isVisible());
}

} // namespace

namespace {

TEST(ShowPreparedReport, OpensAModalMaximisedWindowAndLetsGoOfTheReportAfterwards)
{
    QTemporaryDir dir;
    TTestServices services(dir.path());
    rpInstallPreview(services.Services);
    TrpReport report;
    report.SetPreviewPages(std::make_unique<FakePreviewPages>(3, QPointF(794, 1123), &report));
    int previews = 0;
    report.OnPreview = [&](TrpReport*) { ++previews; };
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TrpPreviewForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        seen = form->StatusPanels[0]->text() + QStringLiteral(" | ") + form->windowTitle()
            + (form->isMaximized() ? QStringLiteral(" | maximized") : QString());
        QTest::keyClick(form, Qt::Key_Escape);
    });
    report.ShowPreparedReport();
    EXPECT_EQ(seen, QStringLiteral("Page 1 of 3 | Preview | maximized"));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(report.Preview(), nullptr);
    EXPECT_EQ(report.PreviewForm(), nullptr);
    TrpReport::SetShowPreview(nullptr);
}

TEST(ShowPreparedReport, WithoutAWindowMakerFailsClearly)
{
    TrpReport report;
    TrpReport::SetShowPreview(nullptr);
    EXPECT_THROW(report.ShowPreparedReport(), TrpReportError);
}

} // namespace
