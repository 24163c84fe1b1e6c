// Text search: what it finds in the drawn text outputs of prepared pages,
// in which order, with and without case, from which page; that pages it
// skips without drawing could not have shown the text; and the preview's
// Find, F3, mark and "Text not found". Also the preview's Open and Save and
// its page settings for the current page.
#include "Services.h"
#include "StoreFixture.h"
#include <QPainter>

#include "rpFakePrintSystem.h"
#include "rpPreview.h"
#include "rpPreviewForm.h"
#include "rpPreviewPageSettings.h"
#include "rpPreviewWorkspace.h"
#include "rpPrinter.h"
#include "rpSearchDialog.h"
#include "rpTextSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct THit {
    int Page;
    QString Text;
    bool operator==(const THit&) const = default;
};

void PrintTo(const THit& Hit, std::ostream* Out)
{
    *Out << Hit.Page << ":" << Hit.Text.toStdString();
}

// Every hit from a start, F3 after F3, until the search runs out.
std::vector<THit> AllHits(TrpPreviewPages& Store, const QString& Text, bool Case, int From = 0)
{
    TrpTextSearch search;
    search.Start(Text, Case, From);
    std::vector<THit> hits;
    while (search.Next(Store))
        hits.push_back({ search.LastFoundPage(), search.HitOutput()->Text });
    EXPECT_EQ(search.LastFoundPage(), Store.Count());
    return hits;
}

} // namespace

TEST(TextSearch, FindsDrawnTextInDrawingOrderAndDoesNotWrap)
{
    ExpenseTemplate t;
    t.Fill(3, 4); // rows 0..3, 4..7, 8..11
    // Rows 1, 10 and 11 hold "Part 1"; the page footers' page numbers and
    // sums are separate outputs.
    EXPECT_EQ(AllHits(t.Store(), QStringLiteral("part 1"), false),
        (std::vector<THit> { { 0, QStringLiteral("Part 1") }, { 2, QStringLiteral("Part 10") },
            { 2, QStringLiteral("Part 11") } }));
    EXPECT_TRUE(AllHits(t.Store(), QStringLiteral("part 1"), true).empty());
    EXPECT_EQ(AllHits(t.Store(), QStringLiteral("PART 1"), false).size(), 3u);
    // From the third page, text only on the first is not found.
    EXPECT_TRUE(AllHits(t.Store(), QStringLiteral("Part 3"), false, 2).empty());
    // Template texts are found on every page; an empty text nowhere.
    EXPECT_EQ(AllHits(t.Store(), QStringLiteral("Mileage"), true).size(), 3u);
    EXPECT_TRUE(AllHits(t.Store(), QString(), false).empty());
    // A match lies within one output: no phrase across two memos.
    EXPECT_TRUE(AllHits(t.Store(), QStringLiteral("Car 1Part"), false).empty());
}

TEST(TextSearch, TheHitRectangleBoundsTheTextOnThePage)
{
    ExpenseTemplate t;
    t.Fill(1, 2);
    TrpTextSearch search;
    search.Start(QStringLiteral("Part 1"), true, 0);
    ASSERT_TRUE(search.Next(t.Store()));
    const QRect hit = search.HitRect();
    // Second row: printable area at 10 mm, header band, first row; the
    // part column starts at 128.5 pixels.
    const double rowTop = 10 * rp01cm + 79.37013 + 41.57483 + 22.67718;
    EXPECT_GE(hit.top(), int(rowTop));
    EXPECT_LE(hit.bottom(), int(rowTop + 22.68) + 1);
    EXPECT_GE(hit.left(), int(10 * rp01cm + 128.5));
    EXPECT_LT(hit.right(), int(10 * rp01cm + 128.5 + 325));
    EXPECT_GT(hit.width(), 20);
}

TEST(TextSearch, APageSkippedWithoutDrawingCouldNotShowTheText)
{
    ExpenseTemplate t;
    t.Fill(4, 5);
    TrpRecordingCanvas canvas;
    int skipped = 0;
    for (const QString& text : { QStringLiteral("Part 13"), QStringLiteral("car 6"), QStringLiteral("07.07"),
             QStringLiteral("SUM"), QStringLiteral("17"), QStringLiteral("expense"), QStringLiteral("zzz") })
        for (bool matchCase : { false, true })
            for (int i = 0; i < t.Store().Count(); ++i) {
                if (t.Store().MayHoldText(i, text, matchCase))
                    continue;
                ++skipped;
                TrpTextSearch::RecordPage(t.Store(), i, canvas);
                for (const TrpTextOutput& o : canvas.Outputs())
                    EXPECT_FALSE(TrpTextSearch::Matches(o.Text, text, matchCase))
                        << text.toStdString() << " on page " << i << " in " << o.Text.toStdString();
            }
    // The filter does skip pages.
    EXPECT_GT(skipped, 20);
}

namespace {

struct SearchFormFixture : ::testing::Test {
    QTemporaryDir Dir;
    TTestServices Services { Dir.path() };
    ExpenseTemplate T;
    std::unique_ptr<TrpPreviewForm> Form;

    void Open(int Pages, int Rows)
    {
        T.Fill(Pages, Rows);
        Form = std::make_unique<TrpPreviewForm>(Services.Services);
        Form->Preview()->SetReport(T.Report.get(), &T.Store());
        T.Report->SetPreview(Form->Preview());
        T.Report->SetPreviewForm(Form.get());
        // The window's own size stays put, so only the tests change layouts.
        Form->setFixedSize(900, 700);
        Form->show();
        Form->Init();
        QApplication::processEvents();
    }
    TrpPreview& Preview() { return *Form->Preview(); }
    // Answers the next Find Text dialog.
    void AnswerFind(const QString& Text, bool FromTop, bool Case, bool Ok = true)
    {
        Preview().OnRunSearchDialog = [=](TrpSearchDialog& Dialog) {
            Dialog.TextE->setText(Text);
            Dialog.TopCB->setChecked(FromTop);
            Dialog.CaseCB->setChecked(Case);
            return Ok;
        };
    }
    QImage Shot()
    {
        QApplication::processEvents();
        return Preview().Workspace()->viewport()->grab().toImage();
    }
};

} // namespace

TEST_F(SearchFormFixture, FindShowsAndMarksTheHitAndF3MovesOn)
{
    Open(3, 4);
    Shot();
    AnswerFind(QStringLiteral("part 1"), true, false);
    Form->FindB->click();
    ASSERT_TRUE(Preview().FindTextFound());
    EXPECT_EQ(Preview().Search().LastFoundPage(), 0);
    EXPECT_EQ(Preview().SearchDialogText(), QStringLiteral("part 1"));
    QApplication::processEvents();
    QTest::keyClick(Form.get(), Qt::Key_F3);
    EXPECT_EQ(Preview().Search().LastFoundPage(), 2);
    // Scrolled so that the hit is in view.
    const QRect page = Preview().Workspace()->PageRect(2);
    const QRect hit = Preview().Search().HitRect().translated(page.topLeft());
    EXPECT_TRUE(Preview().Workspace()->viewport()->rect().contains(hit)) << hit.top();
    QTest::keyClick(Form.get(), Qt::Key_F3);
    EXPECT_EQ(Preview().Search().HitOutput()->Text, QStringLiteral("Part 11"));
    EXPECT_TRUE(Services.Dialogs->Messages().empty());
    // The mark inverts the hit on screen and goes with FindTextClear.
    const QImage marked = Shot();
    Preview().FindTextClear();
    EXPECT_NE(Shot(), marked);
    // No wrap: once the search ran out, F3 ends with the message.
    ASSERT_TRUE(Preview().FindText(QStringLiteral("part 11"), false, false));
    QTest::keyClick(Form.get(), Qt::Key_F3);
    EXPECT_FALSE(Preview().FindTextFound());
    EXPECT_EQ(Services.Dialogs->MessageTexts(), QStringList { QStringLiteral("Text not found") });
}

TEST_F(SearchFormFixture, CancelAndCaseAndTheCurrentPage)
{
    Open(3, 4);
    // F3 before any search does nothing.
    QTest::keyClick(Form.get(), Qt::Key_F3);
    EXPECT_TRUE(Services.Dialogs->Messages().empty());
    AnswerFind(QStringLiteral("PART 1"), true, true);
    Form->FindB->click();
    EXPECT_FALSE(Preview().FindTextFound());
    EXPECT_EQ(Services.Dialogs->MessageTexts().size(), 1);
    // From the current page (3), text on the first page only is not found.
    Preview().SetPageNo(3);
    AnswerFind(QStringLiteral("Part 2"), false, false);
    Form->FindB->click();
    EXPECT_FALSE(Preview().FindTextFound());
    EXPECT_EQ(Services.Dialogs->MessageTexts().size(), 2);
    // Cancel searches nothing.
    AnswerFind(QStringLiteral("Part 2"), true, false, false);
    Form->FindB->click();
    EXPECT_EQ(Services.Dialogs->MessageTexts().size(), 2);
    EXPECT_TRUE(Preview().FindText(QStringLiteral("Part 2"), true, false));
}

TEST_F(SearchFormFixture, SaveAndOpenThroughTheWindow)
{
    Open(3, 4);
    const QString name = Dir.filePath(QStringLiteral("costs"));
    Services.Dialogs->QueueFile(name);
    Form->SaveB->click();
    ASSERT_TRUE(QFile::exists(name + QStringLiteral(".rpd")));
    // A broken file: the message, and the pages as they were.
    const QString broken = Dir.filePath(QStringLiteral("broken.rpd"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a report");
    }
    Preview().SetPageNo(2);
    Services.Dialogs->QueueFile(broken);
    Form->OpenB->click();
    EXPECT_EQ(Services.Dialogs->MessageTexts(), QStringList { QStringLiteral("Invalid file format.") });
    EXPECT_EQ(Preview().PageCount(), 3);
    EXPECT_EQ(Preview().PageNo(), 2);
    // A name that does not exist loads nothing and says nothing.
    Services.Dialogs->QueueFile(Dir.filePath(QStringLiteral("missing.rpd")));
    Form->OpenB->click();
    EXPECT_EQ(Services.Dialogs->MessageTexts().size(), 1);
    EXPECT_EQ(Preview().PageCount(), 3);
    // The saved file comes back on page 1.
    Services.Dialogs->QueueFile(name + QStringLiteral(".rpd"));
    Form->OpenB->click();
    EXPECT_EQ(Preview().PageCount(), 3);
    EXPECT_EQ(Preview().PageNo(), 1);
    EXPECT_TRUE(Preview().FindText(QStringLiteral("Part 11"), true, true));
}

TEST_F(SearchFormFixture, PageSettingsForTheCurrentPageChangeThatPageOnly)
{
    auto system = std::make_unique<TrpFakePrintSystem>();
    system->Add(TrpFakePrintSystem::StandardPrinter("Laser"));
    rpSetPrintSystem(std::move(system), std::make_unique<TFakeDialogService>());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Dir.path());
    Open(3, 4);
    Preview().SetPageNo(2);
    QString shownWidth, unit;
    Preview().OnRunPageSettings = [&](TrpPageSettingsForm& Form) {
        Form.FillControls();
        shownWidth = Form.WidthE->text();
        unit = Form.UnitL1->text();
        Form.LandscapeRB->click();
        Form.MarginLeftE->setText(QStringLiteral("2,5"));
        return true;
    };
    Preview().PageSetupDlg();
    EXPECT_EQ(shownWidth, QStringLiteral("21"));
    EXPECT_EQ(unit, QStringLiteral("cm"));
    EXPECT_EQ(Preview().PageCount(), 3);
    TrpReportPage* second = T.Store().GetPage(1);
    EXPECT_EQ(second->Orientation(), poLandscape);
    EXPECT_NEAR(double(second->PaperWidth()), 297, 0.01);
    EXPECT_NEAR(double(second->LeftMargin()), 25, 0.01);
    EXPECT_EQ(T.Store().GetPage(0)->Orientation(), poPortrait);
    EXPECT_EQ(T.Store().GetPage(2)->Orientation(), poPortrait);
    // A value that is not a number changes nothing.
    Preview().OnRunPageSettings = [&](TrpPageSettingsForm& Form) {
        Form.FillControls();
        Form.MarginTopE->setText(QStringLiteral("abc"));
        return true;
    };
    EXPECT_THROW(Preview().PageSetupDlg(), EConvertError);
    EXPECT_NEAR(double(T.Store().GetPage(1)->TopMargin()), 10, 0.01);
    // Units 1 in the settings store: inches.
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pelmora Reports"));
        store.setValue(QStringLiteral("Form5.TrpDesignerForm/Units"), 1);
    }
    Preview().OnRunPageSettings = [&](TrpPageSettingsForm& Form) {
        Form.FillControls();
        unit = Form.UnitL1->text();
        shownWidth = Form.HeightE->text();
        return false;
    };
    Preview().SetPageNo(1);
    Preview().PageSetupDlg();
    EXPECT_EQ(unit, QStringLiteral("in"));
    EXPECT_EQ(shownWidth, QLocale().toString(297 / 25.4, 'f', 2));
    rpSetPrintSystem(nullptr);
}
