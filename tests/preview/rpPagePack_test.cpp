// The compact form of finished pages: items come back exactly as packed,
// whatever their texts, and damaged bytes fail cleanly.
#include "StoreFixture.h"
#include "error_text.h"
#include "qt_print.h"
#include "rpPagePack.h"

#include <gtest/gtest.h>

namespace {

// Name, text and children of every item below Item, one line each.
QStringList Flatten(const TrpXMLItem* Item, int Depth = 0)
{
    QStringList lines;
    for (int i = 0; i < Item->Count(); ++i) {
        const TrpXMLItem* c = Item->Items(i);
        lines << QString(Depth, u'>') + c->Name() + u'|' + c->Text();
        lines += Flatten(c, Depth + 1);
    }
    return lines;
}

} // namespace

TEST(PagePack, ItemsComeBackExactly)
{
    struct Case {
        const char* Rule;
        QString Text;
    } cases[] = {
        { "empty_text", QString() },
        { "one_position", QStringLiteral(" t=\"143.62214\"") },
        { "digits_of_odd_length_as_nibbles", QStringLiteral(" u=\"12345\" l=\"-0.5\"") },
        { "date_and_time_characters", QStringLiteral(" u=\"01.02.2020 10:30/2,5\"") },
        { "plain_text", QStringLiteral(" u=\"Part 12345\"") },
        { "escaped_markup", QStringLiteral(" u=\"a &#34;b&#34; &#60;c&#62; &amp;\"") },
        { "latin1_bytes_of_utf8", QString::fromLatin1(QStringLiteral(" u=\"Пробег\"").toUtf8()) },
        { "characters_beyond_latin1", QStringLiteral(" TagStr=\"Пробег ✓\"") },
        { "two_blanks_are_kept", QStringLiteral("  ImageIndex=\"1\"") },
        { "no_leading_blank_is_kept", QStringLiteral("Left=\"1\" Top=\"2\"") },
        { "unterminated_value_is_kept", QStringLiteral(" u=\"abc") },
        { "more_pairs_than_usual",
            QStringLiteral(" a=\"1\" b=\"2\" c=\"3\" d=\"4\" e=\"5\" f=\"6\" g=\"7\" h=\"8\" i=\"9\" "
                           "j=\"10\" k=\"11\" l=\"12\" m=\"13\" n=\"14\" o=\"15\" p=\"16\" q=\"17\"") },
        { "empty_value", QStringLiteral(" u=\"\"") },
        { "single_digit", QStringLiteral(" u=\"7\"") },
    };
    TrpXMLItem page(QStringLiteral("page0"));
    for (const Case& c : cases) {
        TrpXMLItem* band = page.Add(QStringLiteral("b3"));
        band->SetText(QStringLiteral(" t=\"1\""));
        band->Add(QString::fromLatin1(c.Rule))->SetText(c.Text);
    }
    page.Add(QStringLiteral("TrpMemoView"))->Add(QStringLiteral("m1"))->Add(QStringLiteral("m2"));
    TrpPagePack pack;
    const QByteArray bytes = pack.Pack(&page);
    EXPECT_EQ(TrpPagePack::Count(bytes), page.Count());
    TrpXMLItem back(QStringLiteral("page0"));
    pack.Unpack(bytes, &back);
    const QStringList want = Flatten(&page);
    const QStringList got = Flatten(&back);
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i], want[i]);
    // A row of five memos takes a few bytes per value.
    TrpXMLItem row(QStringLiteral("page0"));
    TrpXMLItem* b = row.Add(QStringLiteral("b3"));
    b->SetText(QStringLiteral(" t=\"143.62214\""));
    for (const char* v : { "Car 3", "Part 12345", "01.01.2020", "123450", "345" })
        b->Add(QStringLiteral("m7"))->SetText(QStringLiteral(" u=\"%1\"").arg(QLatin1String(v)));
    EXPECT_LE(pack.Pack(&row).size(), 75);
}

TEST(PagePack, DamagedBytesFailWithoutReadingPastTheEnd)
{
    TrpXMLItem page(QStringLiteral("page0"));
    TrpXMLItem* band = page.Add(QStringLiteral("b1"));
    band->SetText(QStringLiteral(" t=\"10.5\""));
    band->Add(QStringLiteral("m1"))->SetText(QStringLiteral(" u=\"Car 1\" Visible=\"0\""));
    TrpPagePack pack;
    const QByteArray bytes = pack.Pack(&page);
    // Every truncation fails cleanly.
    for (qsizetype n = 1; n < bytes.size(); ++n) {
        TrpXMLItem back;
        EXPECT_EQ(ErrorOf([&] { pack.Unpack(bytes.left(n), &back); }), QStringLiteral("Damaged packed page"))
            << n;
    }
    // Unknown name numbers and lengths beyond the end as well.
    for (const QByteArray& bad : { QByteArray("\x01\x7f\x00\x00", 4), QByteArray("\x01\x00\x01\xff\x01", 5),
             QByteArray("\x01\x00\x03\x05\x00\x00", 6),
             QByteArray("\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff", 11) }) {
        TrpXMLItem back;
        EXPECT_EQ(ErrorOf([&] { pack.Unpack(bad, &back); }), QStringLiteral("Damaged packed page"));
    }
}

TEST(PagePack, AStoreGivesBackTheItemsItPacked)
{
    // The same run kept packed and kept as items (the file cache turns
    // packing off; its limit is never reached here).
    ExpenseTemplate packed;
    packed.Fill(4, 12);
    ExpenseTemplate plain;
    plain.Report->EngineOptions()->SetUseFileCache(true);
    plain.Report->EngineOptions()->SetMaxMemSize(1000);
    plain.Fill(4, 12);
    const TrpXMLItem* packedPages = packed.Store().XMLDoc().Root()->FindItem(QStringLiteral("previewpages"));
    EXPECT_EQ(packedPages->Items(1)->Count(), 0); // nothing in memory but the packed form
    packed.Store().LoadAllPages();
    const TrpXMLItem* plainPages = plain.Store().XMLDoc().Root()->FindItem(QStringLiteral("previewpages"));
    EXPECT_EQ(Flatten(packedPages), Flatten(plainPages));
    EXPECT_GT(Flatten(packedPages).size(), 4 * 12 * 6);
}

TEST(PreviewPages, ASecondRunStoresThePictureAgain)
{
    ExpenseTemplate t;
    t.Fill(2, 1);
    t.Store().Clear();
    t.Fill(2, 1);
    EXPECT_EQ(t.Store().PictureCache().Count(), 1);
    auto* picture
        = dynamic_cast<TrpPictureView*>(t.Store().GetPage(1)->FindObject(QStringLiteral("Picture1")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->PictureBytes(), t.Png);
}
