// Progress calls of a report: host events, the progress window, the attached
// preview, cancelling; and the window on its own.
#include "rpClass.h"
#include "rpCustomPreview.h"
#include "rpEngine.h"
#include "rpProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct RecordingPreview : TrpCustomPreview {
    QStringList Calls;
    void InternalOnProgressStart(TrpReport*, TrpProgressType, int Progress) override
    {
        Calls << QStringLiteral("start %1").arg(Progress);
    }
    void InternalOnProgress(TrpReport*, TrpProgressType, int Progress) override
    {
        Calls << QStringLiteral("page %1").arg(Progress);
    }
    void InternalOnProgressStop(TrpReport*, TrpProgressType, int Progress) override
    {
        Calls << QStringLiteral("stop %1").arg(Progress);
    }
};

struct RecordingPreviewForm : TrpCustomPreviewForm {
    QStringList Texts;
    void SetMessageText(const QString& Value, bool IsHint) override
    {
        Texts << (IsHint ? QStringLiteral("hint ") : QStringLiteral("message ")) + Value;
    }
};

struct TestEngine : TrpCustomEngine {
    using TrpCustomEngine::SetPass;
    using TrpCustomEngine::SetRunning;
    using TrpCustomEngine::TrpCustomEngine;
    int LogicalPageNo() const override { return 1; }
    int LogicalTotalPages() const override { return 1; }
    int CurPage() const override { return 0; }
    Variant GetAggregateValue(const QString&, const QString&, TrpBand*, int) override { return Variant(); }
};

// Records the host's events as "start/page/stop <type> <progress>".
void HookEvents(TrpReport& Report, QStringList& Log)
{
    auto record = [&Log](const char* What) {
        return [&Log, What](TrpReport*, TrpProgressType Type, int Progress) {
            Log << QStringLiteral("%1 %2 %3").arg(What).arg(int(Type)).arg(Progress);
        };
    };
    Report.OnProgressStart = record("start");
    Report.OnProgress = record("page");
    Report.OnProgressStop = record("stop");
}

TEST(ReportProgress, WindowShowsOnlyWhereAllowedWhileEventsAlwaysFire)
{
    struct Case {
        const char* Why;
        bool ShowProgress, OldStyle;
        TrpProgressType Type;
        bool Window;
    };
    const Case cases[] = {
        { "printing shows the window", true, false, ptPrinting, true },
        { "exporting shows the window", true, false, ptExporting, true },
        { "preparing shows none with the new style", true, false, ptRunning, false },
        { "preparing shows one with the old style", true, true, ptRunning, true },
        { "ShowProgress off: never while printing", false, false, ptPrinting, false },
        { "ShowProgress off: never, old style or not", false, true, ptRunning, false },
    };
    for (const Case& c : cases) {
        TrpReport report;
        report.SetShowProgress(c.ShowProgress);
        report.SetOldStyleProgress(c.OldStyle);
        QStringList log;
        HookEvents(report, log);
        report.InternalOnProgressStart(c.Type);
        EXPECT_EQ(report.ProgressWindow() != nullptr, c.Window) << c.Why;
        if (c.Window) {
            EXPECT_TRUE(report.ProgressWindow()->isVisible()) << c.Why;
            EXPECT_TRUE(report.ProgressWindow()->CancelB()->isVisible()) << c.Why;
            EXPECT_FALSE(report.ProgressWindow()->ShowProgress()) << c.Why;
        }
        report.InternalOnProgress(c.Type, 1);
        report.InternalOnProgressStop(c.Type);
        EXPECT_EQ(report.ProgressWindow(), nullptr) << c.Why;
        const int t = int(c.Type);
        EXPECT_EQ(log,
            (QStringList { QStringLiteral("start %1 0").arg(t), QStringLiteral("page %1 1").arg(t),
                QStringLiteral("stop %1 0").arg(t) }))
            << c.Why;
    }
}

TEST(ReportProgress, PageMessagesByTypeAndPass)
{
    struct Case {
        const char* Why;
        TrpProgressType Type;
        bool DoublePass, FinalPass;
        QString Expected;
    };
    const Case cases[] = {
        { "single pass", ptRunning, false, false, "Preparing page 7" },
        { "first of two passes", ptRunning, true, false, "First pass: page 7" },
        { "final of two passes", ptRunning, true, true, "Preparing page 7" },
        { "export", ptExporting, true, false, "Exporting page 7" },
        { "print", ptPrinting, false, false, "Printing page 7" },
    };
    for (const Case& c : cases) {
        TrpReport report;
        report.SetOldStyleProgress(true);
        report.EngineOptions()->SetDoublePass(c.DoublePass);
        TestEngine engine(&report);
        engine.SetPass(c.FinalPass, 0);
        report.SetEngine(&engine);
        report.InternalOnProgressStart(c.Type);
        report.InternalOnProgress(c.Type, 7);
        ASSERT_TRUE(report.ProgressWindow()) << c.Why;
        EXPECT_EQ(report.ProgressWindow()->Message(), c.Expected) << c.Why;
        report.InternalOnProgressStop(c.Type);
        report.SetEngine(nullptr);
    }
}

TEST(ReportProgress, PreparingFeedsTheAttachedPreviewZeroBasedPages)
{
    // The preview outlives the report, which tells it when it goes.
    RecordingPreview preview;
    TrpReport report;
    report.SetPreview(&preview);
    report.InternalOnProgressStart(ptRunning);
    for (int page = 1; page <= 3; ++page)
        report.InternalOnProgress(ptRunning, page);
    report.InternalOnProgressStop(ptRunning);
    EXPECT_EQ(report.ProgressWindow(), nullptr);
    EXPECT_EQ(preview.Calls, (QStringList { "start 0", "page 0", "page 1", "page 2", "stop 0" }));

    // Printing is none of the preview's business.
    preview.Calls.clear();
    report.InternalOnProgressStart(ptPrinting);
    report.InternalOnProgress(ptPrinting, 1);
    report.InternalOnProgressStop(ptPrinting);
    EXPECT_TRUE(preview.Calls.isEmpty());
}

TEST(ReportProgress, PrintingThreePagesDisablesTheActiveWindowMeanwhile)
{
    QWidget main;
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_EQ(QApplication::activeWindow(), &main);

    TrpReport report;
    report.InternalOnProgressStart(ptPrinting);
    TrpProgress* window = report.ProgressWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->ActiveForm(), &main);
    EXPECT_FALSE(main.isEnabled());
    QStringList shown;
    for (int page = 1; page <= 3; ++page) {
        report.InternalOnProgress(ptPrinting, page);
        ASSERT_EQ(report.ProgressWindow(), window);
        shown << window->Message();
    }
    EXPECT_EQ(shown, (QStringList { "Printing page 1", "Printing page 2", "Printing page 3" }));
    report.InternalOnProgressStop(ptPrinting);
    EXPECT_EQ(report.ProgressWindow(), nullptr);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_FALSE(report.Terminated());
}

TEST(ReportProgress, CancelClosesAtOnceAndTerminatesAtTheNextCall)
{
    QWidget main;
    main.show();
    QApplication::setActiveWindow(&main);
    TrpReport report;
    report.InternalOnProgressStart(ptPrinting);
    report.InternalOnProgress(ptPrinting, 1);
    TrpProgress* window = report.ProgressWindow();
    ASSERT_TRUE(window);

    QTest::mouseClick(window->CancelB(), Qt::LeftButton);
    EXPECT_TRUE(window->Terminated());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_FALSE(report.Terminated());

    report.InternalOnProgress(ptPrinting, 2);
    EXPECT_TRUE(report.Terminated());
    // Hidden, not freed, until the stop.
    EXPECT_EQ(report.ProgressWindow(), window);
    report.InternalOnProgressStop(ptPrinting);
    EXPECT_EQ(report.ProgressWindow(), nullptr);
}

TEST(ReportProgress, ANewStartReplacesAnOpenWindow)
{
    TrpReport report;
    report.InternalOnProgressStart(ptPrinting);
    QPointer<TrpProgress> first = report.ProgressWindow();
    report.InternalOnProgressStart(ptExporting);
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(report.ProgressWindow(), nullptr);
}

TEST(ReportProgress, ThreadSafeReportsDoNothing)
{
    RecordingPreview preview;
    RecordingPreviewForm form;
    TrpReport report;
    report.EngineOptions()->SetEnableThreadSafe(true);
    report.SetOldStyleProgress(true);
    QStringList log;
    HookEvents(report, log);
    report.SetPreview(&preview);
    report.SetPreviewForm(&form);
    for (TrpProgressType type : { ptRunning, ptPrinting }) {
        report.InternalOnProgressStart(type);
        EXPECT_EQ(report.ProgressWindow(), nullptr);
        report.InternalOnProgress(type, 1);
        report.InternalOnProgressStop(type);
    }
    report.SetProgressMessage("Saving");
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(preview.Calls.isEmpty());
    EXPECT_TRUE(form.Texts.isEmpty());
}

TEST(ReportProgress, ProgressMessageGoesToWindowWhileRunningAndToThePreviewForm)
{
    TrpReport report;
    report.SetOldStyleProgress(true);
    RecordingPreviewForm form;
    report.SetPreviewForm(&form);
    TestEngine engine(&report);
    report.SetEngine(&engine);
    report.InternalOnProgressStart(ptRunning);

    report.SetProgressMessage("Before the run", false);
    EXPECT_EQ(report.ProgressWindow()->Message(), QString());
    engine.SetRunning(true);
    report.SetProgressMessage("Grouping", false);
    EXPECT_EQ(report.ProgressWindow()->Message(), "Grouping");
    report.SetProgressMessage("Field hint", true);
    EXPECT_EQ(form.Texts, (QStringList { "message Before the run", "message Grouping", "hint Field hint" }));
    report.InternalOnProgressStop(ptRunning);
    report.SetEngine(nullptr);
}

TEST(ProgressWindow, LayoutFollowsTheBarAndCancelButton)
{
    TrpProgress window;
    EXPECT_EQ(window.size(), QSize(271, 101));
    EXPECT_EQ(window.CancelB()->text(), "Cancel");
    EXPECT_EQ(window.CancelB()->geometry(), QRect(100, 64, 75, 25));
    EXPECT_EQ(window.Bar()->geometry(), QRect(16, 37, 237, 17));
    EXPECT_EQ(window.LMessage()->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);

    window.Execute(3, "Working", false, true);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_FALSE(window.CancelB()->isVisible());
    EXPECT_TRUE(window.Bar()->isVisible());
    EXPECT_EQ(window.LMessage()->y(), 15);
    EXPECT_EQ(window.Message(), "Working");
    EXPECT_EQ(window.Bar()->maximum(), 3);

    // Tick stops at the maximum; Reset goes back to 0.
    for (int i = 0; i < 5; ++i)
        window.Tick();
    EXPECT_EQ(window.Position(), 3);
    window.Reset();
    EXPECT_EQ(window.Position(), 0);

    window.Execute(0, "Again", true, false);
    EXPECT_FALSE(window.Bar()->isVisible());
    EXPECT_TRUE(window.CancelB()->isVisible());
    EXPECT_EQ(window.LMessage()->y(), 35);
}

TEST(ProgressWindow, EscapePressesCancel)
{
    TrpProgress window;
    window.Execute(0, QString(), true, false);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.Terminated());
    EXPECT_FALSE(window.isVisible());

    // A new run starts untouched.
    window.Execute(0, QString(), true, false);
    EXPECT_FALSE(window.Terminated());
}

TEST(ProgressWindow, DraggingTheBodyMovesTheWindow)
{
    TrpProgress window;
    window.Execute(0, QString(), true, false);
    const QPoint start = window.pos();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(25, 15), window.mapToGlobal(QPointF(25, 15)), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(25, 15));
    EXPECT_EQ(window.pos(), start + QPoint(20, 10));
}

} // namespace

namespace {
TEST(ProgressWindow, RightToLeftReadingMirrorsTheControls)
{
    QApplication::setLayoutDirection(Qt::RightToLeft);
    TrpProgress window;
    QApplication::setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(window.CancelB()->geometry(), QRect(271 - 100 - 75, 64, 75, 25));
    EXPECT_EQ(window.Bar()->x(), 271 - 16 - 237);
}
} // namespace
