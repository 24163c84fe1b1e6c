// Drawing a prepared page: which objects are drawn on screen and on the
// printer, where (margins, mirrored margins) and with what run values.
#include "StoreFixture.h"
#include "qt_print.h"
#include "rpCustomPreview.h"
#include "rpPreview.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DrawCall {
    QString Name;
    double X; // left edge on the canvas
    bool Printing;
    int TotalPages;
};

std::vector<DrawCall>& Calls()
{
    static std::vector<DrawCall> calls;
    return calls;
}

// A memo that records how the store asks it to draw.
class RecordingMemo : public TrpMemoView {
public:
    static const TrpClassInfo& StaticClassInfo()
    {
        static const TrpClassInfo info(QStringLiteral("RecordingMemo"), &TrpMemoView::StaticClassInfo(),
            [] { return std::make_unique<RecordingMemo>(); });
        return info;
    }
    const TrpClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void Draw(QPainter*, Extended ScaleX, Extended, Extended OffsetX, Extended) override
    {
        Calls().push_back({ Name(), double(AbsLeft() * ScaleX + OffsetX), IsPrinting(), TotalPages });
    }
};

// One band with three recording memos: on screen only, printed only, both.
struct DrawFixture : ExpenseTemplate {
    DrawFixture()
    {
        auto* band = Band<TrpMasterData>(QStringLiteral("Marks"), 0, 30);
        Add(band, QStringLiteral("ScreenOnly"), 10, vsPreview);
        Add(band, QStringLiteral("PrintOnly"), 200, vsPrint);
        Add(band, QStringLiteral("Both"), 400, vsPreview | vsPrint);
        Page->SetLeftMargin(10);
        Page->SetRightMargin(30);
        Page->SetMirrorMargins(true);
        Engine->SetRunning(true);
        Engine->SetFinalPass(true);
        Store().Initialize();
        Store().AddSourcePage(Page);
        Store().BeginPass();
        for (int p = 0; p < 2; ++p) {
            Store().AddPage(Page);
            band->SetTop(100);
            Store().AddObject(band);
        }
        Store().Finish();
        Engine->SetRunning(false);
        Calls().clear();
    }
    void Add(TrpBand* Band, const QString& Name, long double Left, TrpVisibilityTypes Visibility)
    {
        auto* memo = static_cast<RecordingMemo*>(Band->InsertChild(std::make_unique<RecordingMemo>()));
        memo->SetName(Name);
        memo->SetBounds(Left, 0, 50, 20);
        memo->SetVisibility(Visibility);
    }
    QStringList Drawn() const
    {
        QStringList names;
        for (const DrawCall& c : Calls())
            names << c.Name;
        return names;
    }
};

} // namespace

TEST(DrawPage, TheScreenShowsPreviewObjectsAndThePrinterPrintObjects)
{
    DrawFixture f;
    QImage screen(900, 1200, QImage::Format_ARGB32);
    {
        QPainter painter(&screen);
        f.Store().DrawPage(0, &painter, 1, 1, 0, 0);
    }
    EXPECT_EQ(f.Drawn(), (QStringList { QStringLiteral("ScreenOnly"), QStringLiteral("Both") }));
    EXPECT_FALSE(Calls()[0].Printing);
    EXPECT_EQ(Calls()[0].TotalPages, 2);

    Calls().clear();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
    {
        QPainter painter(&printer);
        f.Store().DrawPage(0, &painter, 1, 1, 0, 0);
    }
    EXPECT_EQ(f.Drawn(), (QStringList { QStringLiteral("PrintOnly"), QStringLiteral("Both") }));
    EXPECT_TRUE(Calls()[0].Printing);
    // Printing is only set for the drawing itself.
    EXPECT_FALSE(f.Store().GetPage(0)->IsPrinting());
}

TEST(DrawPage, OddPagesWithMirroredMarginsStartAtTheRightMargin)
{
    DrawFixture f;
    QImage screen(900, 1200, QImage::Format_ARGB32);
    QPainter painter(&screen);
    f.Store().DrawPage(0, &painter, 1, 1, 5, 0);
    f.Store().DrawPage(1, &painter, 1, 1, 5, 0);
    ASSERT_EQ(Calls().size(), 4u);
    EXPECT_NEAR(Calls()[0].X, 5 + 10 * 3.77953 + 10, 1e-6); // page 1: left margin
    EXPECT_NEAR(Calls()[2].X, 5 + 30 * 3.77953 + 10, 1e-6); // page 2: the right one
    TrpReportPage* odd = f.Store().GetPage(1);
    EXPECT_EQ(odd->LeftMargin(), 10); // put back after drawing
    EXPECT_EQ(odd->RightMargin(), 30);
}

TEST(DrawPage, ThePageDrawsItsBackPictureUnderTheObjects)
{
    ExpenseTemplate t;
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(true);
    t.Store().Initialize();
    t.Store().AddSourcePage(t.Page);
    t.Store().BeginPass();
    t.Store().AddPage(t.Page);
    t.Store().Finish();
    t.Engine->SetRunning(false);
    // Set on the prepared page itself: the stored page form carries no
    // back picture.
    TrpReportPage* page = t.Store().GetPage(0);
    page->SetBackPicture(png);
    page->SetBackPictureStretched(false);

    QImage screen(900, 1200, QImage::Format_RGB32);
    screen.fill(Qt::white);
    {
        QPainter painter(&screen);
        t.Store().DrawPage(0, &painter, 1, 1, 5, 0);
    }
    // At the printable area's corner, 16 pixels square.
    const int x = int(5 + t.Page->LeftMargin() * 3.77953);
    const int y = int(t.Page->TopMargin() * 3.77953);
    EXPECT_EQ(screen.pixelColor(x + 8, y + 8), QColor(Qt::red));
    EXPECT_EQ(screen.pixelColor(x + 20, y + 20), QColor(Qt::white));
}

TEST(DrawPage, ObjectsOutsideTheVisibleAreaAreSkipped)
{
    DrawFixture f;
    QImage screen(900, 1200, QImage::Format_ARGB32);
    QPainter painter(&screen);
    // Only the canvas strip left of x = 100 is visible: the first memo
    // (x 47.8 to 97.8) is inside, the last (from x 437.8) far outside.
    painter.setClipRect(QRect(0, 0, 100, 1200));
    f.Store().DrawPage(0, &painter, 1, 1, 0, 0);
    EXPECT_EQ(f.Drawn(), QStringList { QStringLiteral("ScreenOnly") });
    // "Both" ends at x 487.8; widened by 20 its box reaches 508.
    Calls().clear();
    painter.setClipRect(QRect(505, 0, 100, 1200));
    f.Store().DrawPage(0, &painter, 1, 1, 0, 0);
    EXPECT_EQ(f.Drawn(), QStringList { QStringLiteral("Both") });
    Calls().clear();
    painter.setClipRect(QRect(510, 0, 100, 1200));
    f.Store().DrawPage(0, &painter, 1, 1, 0, 0);
    EXPECT_TRUE(Calls().empty());
    // Out of range: nothing, no failure.
    Calls().clear();
    f.Store().DrawPage(7, &painter, 1, 1, 0, 0);
    EXPECT_TRUE(Calls().empty());
}

namespace {

// The status line of a preview window.
class StatusLine : public TrpCustomPreviewForm {
public:
    void SetMessageText(const QString& Value, bool IsHint) override { (IsHint ? Hint : Message) = Value; }
    QString Message = QStringLiteral("<none>");
    QString Hint;
};

} // namespace

TEST(ObjectOver, AHyperlinkShowsItsValueAndTheHandCursor)
{
    ExpenseTemplate t;
    t.Report->EngineOptions()->SetEnableThreadSafe(false); // status texts reach the window
    t.Report->SetShowProgress(false);
    t.Cells[0]->Hyperlink()->SetValue(QStringLiteral("https://example.org/car"));
    t.Cells[1]->SetCursor(-4); // an I-beam of its own
    t.Cells[1]->Hyperlink()->SetValue(QStringLiteral("part"));
    t.Fill(1, 1);
    StatusLine status;
    t.Report->SetPreviewForm(&status);
    TrpPreviewPages& store = t.Store();
    // The first row's band lies at 120.94 below the top margin (37.8).
    const int rowY = int(37.8 + 120.94 + 5);
    Qt::CursorShape cursor = Qt::ArrowCursor;
    store.ObjectOver(0, int(37.8 + 20), rowY, Qt::NoButton, {}, 1, 0, 0, cursor, meMouseMove);
    EXPECT_EQ(cursor, Qt::PointingHandCursor);
    EXPECT_EQ(status.Message, QStringLiteral("https://example.org/car"));
    cursor = Qt::ArrowCursor;
    store.ObjectOver(0, int(37.8 + 200), rowY, Qt::NoButton, {}, 1, 0, 0, cursor, meMouseMove);
    EXPECT_EQ(cursor, Qt::IBeamCursor);
    EXPECT_EQ(status.Message, QStringLiteral("part"));
    // Over a memo without a link: the status line is cleared, the cursor kept.
    cursor = Qt::ArrowCursor;
    store.ObjectOver(0, int(37.8 + 500), rowY, Qt::NoButton, {}, 1, 0, 0, cursor, meMouseMove);
    EXPECT_EQ(cursor, Qt::ArrowCursor);
    EXPECT_TRUE(status.Message.isEmpty());
    // Nothing happens while the engine runs or for a page that does not exist.
    status.Message = QStringLiteral("unchanged");
    store.ObjectOver(5, 10, 10, Qt::NoButton, {}, 1, 0, 0, cursor, meMouseMove);
    t.Engine->SetRunning(true);
    store.ObjectOver(0, int(37.8 + 20), rowY, Qt::NoButton, {}, 1, 0, 0, cursor, meMouseMove);
    t.Engine->SetRunning(false);
    EXPECT_EQ(status.Message, QStringLiteral("unchanged"));
    t.Report->SetPreviewForm(nullptr);
}

TEST(ObjectOver, EventsHintsAndLinksFollowTheObjectUnderTheMouse)
{
    ExpenseTemplate t;
    t.Report->EngineOptions()->SetEnableThreadSafe(false);
    t.Report->SetShowProgress(false);
    t.Cells[0]->Hyperlink()->SetValue(QStringLiteral("https://example.org/car"));
    t.Cells[1]->Hyperlink()->SetKind(hkPageNumber);
    t.Cells[1]->Hyperlink()->SetValue(QStringLiteral("3"));
    t.Cells[2]->SetHint(QStringLiteral("Job date|The day the work was done"));
    t.Cells[2]->SetShowHint(true);
    t.Fill(3, 1);
    StatusLine status;
    t.Report->SetPreviewForm(&status);
    TrpPreview preview;
    preview.resize(900, 700);
    preview.show();
    t.Report->SetPreview(&preview);
    preview.Init(t.Report.get(), &t.Store());
    QStringList opened;
    preview.OnOpenURL = [&](const QString& Target) {
        opened << Target;
        return true;
    };
    QStringList events;
    t.Report->OnMouseEnter = [&](TrpView* v) { events << QStringLiteral("enter ") + v->Name(); };
    t.Report->OnMouseLeave = [&](TrpView* v) { events << QStringLiteral("leave ") + v->Name(); };
    t.Report->OnClickObject = [&](TrpView* v, Qt::MouseButton, Qt::KeyboardModifiers, bool& Modified) {
        events << QStringLiteral("click ") + v->Name();
        if (auto* memo = dynamic_cast<TrpMemoView*>(v); memo && memo->Name() == "rpDBDataset1mileage") {
            memo->SetText(QStringLiteral("edited"));
            Modified = true;
        }
    };
    TrpPreviewPages& store = t.Store();
    const int rowY = int(37.8 + 120.94 + 5);
    const auto at = [&](int X, TrpMouseEventType Event, int Y = -1) {
        Qt::CursorShape cursor = Qt::ArrowCursor;
        const Qt::MouseButton button = Event == meMouseMove ? Qt::NoButton : Qt::LeftButton;
        store.ObjectOver(0, int(37.8 + X), Y < 0 ? rowY : Y, button, {}, 1, 0, 0, cursor, Event);
    };

    // Moving across: enter and leave in order; the hint's long part is the
    // status hint.
    at(20, meMouseMove);
    at(500, meMouseMove);
    EXPECT_EQ(status.Hint, QStringLiteral("The day the work was done"));
    at(500, meMouseMove, 1000); // below every object
    EXPECT_EQ(events,
        QStringList({ "enter rpDBDataset1car", "leave rpDBDataset1car", "enter rpDBDataset1jobdate",
            "leave rpDBDataset1jobdate" }));

    // Clicks follow the links: the web address through the window's shell,
    // the page number in the control.
    events.clear();
    at(20, meClick);
    EXPECT_EQ(opened, QStringList { QStringLiteral("https://example.org/car") });
    at(200, meClick);
    EXPECT_EQ(preview.PageNo(), 3);
    EXPECT_EQ(events,
        QStringList({ "enter rpDBDataset1car", "click rpDBDataset1car", "leave rpDBDataset1car",
            "enter rpDBDataset1partname", "click rpDBDataset1partname" }));

    // A handler that changes the object has its page written back.
    at(580, meClick);
    store.EmptyPageCache();
    QString mileage;
    for (TrpComponent* c : store.GetPage(0)->AllObjects())
        if (c->Name() == QStringLiteral("rpDBDataset1mileage"))
            mileage = static_cast<TrpMemoView*>(c)->Text();
    EXPECT_EQ(mileage, QStringLiteral("edited"));
    t.Report->SetPreviewForm(nullptr);
}
