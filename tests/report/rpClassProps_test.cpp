// The property tables against the objects: over every registered class, a
// fresh object writes no value that has a declared default (so the table
// and the object agree on every default), and every property survives a
// write and read and a table-driven copy.
#include "qt_print.h"
#include "rpAssign.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpXMLSerializer.h"

#include <QBuffer>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The property an attribute name (dotted for nested objects) stands for.
const TrpPropInfo* PropOf(const TrpPersistent& Obj, const QString& Attribute)
{
    const TrpPersistent* o = &Obj;
    const QStringList parts = Attribute.split(u'.');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const TrpPropInfo* p = o->ClassInfo().FindProp(parts[i]);
        if (!p || i == parts.size() - 1 || p->Kind != TrpPropKind::Object)
            return p;
        o = p->GetObj(*o);
        if (!o)
            return nullptr;
    }
    return nullptr;
}

QStringList AttributeNames(const QString& Text)
{
    static const QRegularExpression Attr(QStringLiteral(R"(([A-Za-z0-9_.]+)=")"));
    QStringList names;
    for (const auto& m : Attr.globalMatch(Text))
        names << m.captured(1);
    return names;
}

// Gives every writable property a value other than its current one.
void ChangeEveryProperty(TrpPersistent& Obj, int Seed)
{
    const bool isComponent = dynamic_cast<TrpPersistentComponent*>(&Obj) != nullptr;
    for (const TrpPropInfo* p : Obj.ClassInfo().Props()) {
        if (p->IsStored && !p->IsStored(Obj) && p->Kind != TrpPropKind::Object
            && p->Kind != TrpPropKind::Float && p->Kind != TrpPropKind::String)
            continue; // never written (a picture's cache number)
        switch (p->Kind) {
        case TrpPropKind::Integer:
        case TrpPropKind::Int64:
            p->SetOrd(Obj, p->GetOrd(Obj) + 3 + Seed);
            break;
        case TrpPropKind::Enum:
            p->SetOrd(Obj, (p->GetOrd(Obj) + 1) % p->Enum->Count());
            break;
        case TrpPropKind::Set:
            p->SetOrd(Obj, p->GetOrd(Obj) ^ 1);
            break;
        case TrpPropKind::Float:
            p->SetFloat(Obj, p->GetFloat(Obj) + 2.5L + Seed);
            break;
        case TrpPropKind::String:
            if (!(isComponent && p->Name == QLatin1String("Name")))
                p->SetStr(Obj, p->GetStr(Obj) + QStringLiteral("x%1").arg(Seed));
            break;
        case TrpPropKind::Strings:
            p->SetList(Obj, p->GetList(Obj) << QStringLiteral("line %1").arg(Seed));
            break;
        case TrpPropKind::Object: {
            TrpPersistent* nested = p->GetObj(Obj);
            if (!nested && p->MakeObj)
                nested = p->MakeObj(Obj);
            if (nested)
                ChangeEveryProperty(*nested, Seed + 1);
            break;
        }
        case TrpPropKind::Component:
            break;
        }
    }
}

} // namespace

TEST(PropertyTables, FreshObjectsWriteOnlyWhatIsAlwaysWritten)
{
    const auto classes = TrpClassRegistry::Classes();
    ASSERT_GT(classes.size(), 25u);
    for (const TrpClassInfo* cls : classes) {
        auto fresh = cls->Create();
        ASSERT_NE(fresh, nullptr) << qPrintable(cls->ClassName());
        const QString text = TrpXMLSerializer().ObjToXML(fresh.get());
        for (const QString& name : AttributeNames(text)) {
            if (name == QLatin1String("Text") && !cls->TextProp().isEmpty())
                continue; // a memo's lines close its text, even when there are none
            const TrpPropInfo* p = PropOf(*fresh, name);
            ASSERT_NE(p, nullptr) << qPrintable(cls->ClassName() + u' ' + name);
            // Floats, texts and ordinals without a declared default are
            // written whenever they hold something; an ordinal with a
            // declared default is written only when it differs, so on a
            // fresh object it means the table's default and the object's
            // initial value disagree.
            const bool always = !p->Default.has_value();
            EXPECT_TRUE(always) << qPrintable(cls->ClassName() + u' ' + name + u' ' + text);
        }
    }
}

TEST(PropertyTables, EveryPropertySurvivesAWriteAReadAndACopy)
{
    for (const TrpClassInfo* cls : TrpClassRegistry::Classes()) {
        auto changed = cls->Create();
        ChangeEveryProperty(*changed, 1);
        TrpXMLSerializer s;
        const QString text = s.ObjToXML(changed.get());

        auto read = cls->Create();
        s.XMLToObj(text, read.get());
        EXPECT_TRUE(s.Errors().isEmpty()) << qPrintable(cls->ClassName() + u' ' + s.Errors().join(u'|'));
        EXPECT_EQ(s.ObjToXML(read.get()), text) << qPrintable(cls->ClassName());

        auto copy = cls->Create();
        rpAssignProps(*copy, *changed);
        EXPECT_EQ(s.ObjToXML(copy.get()), text) << qPrintable(cls->ClassName());
    }
}

// A copy made without the picture carries none of its bytes, only what the
// rebuilt view needs; a memo's copy takes every format and highlight.
TEST(PropertyTables, ComponentCopiesLeaveOutThePictureWhenAskedAndKeepCollections)
{
    TrpPictureView picture;
    picture.SetBounds(1, 2, 30, 40);
    picture.SetCenter(true);
    picture.SetPicture(QStringLiteral("TPNGObject"), QByteArray(40 * 1024, 'p'));
    TrpPictureView light, full;
    light.Assign(picture, false);
    full.Assign(picture);
    EXPECT_FALSE(light.HasImage());
    EXPECT_TRUE(light.Center());
    EXPECT_EQ(light.Width(), 30);
    EXPECT_LT(TrpXMLSerializer().ObjToXML(&light).size(), 1000);
    EXPECT_EQ(full.PictureBytes(), picture.PictureBytes());
    EXPECT_EQ(full.PictureClass(), QStringLiteral("TPNGObject"));

    TrpMemoView memo;
    memo.SetText(QStringLiteral("[A] [B]"));
    memo.DisplayFormat()->SetKind(fkNumeric);
    memo.Formats().push_back(std::make_unique<TrpFormat>());
    memo.Formats().back()->SetFormatStr(QStringLiteral("dd.mm"));
    memo.Highlight()->SetCondition(QStringLiteral("Value > 0"));
    memo.Highlights().push_back(std::make_unique<TrpHighlight>());
    memo.Highlights().back()->Font()->SetColor(0xFF);
    TrpMemoView memoCopy;
    memoCopy.Assign(memo);
    EXPECT_EQ(memoCopy.Text(), memo.Text());
    ASSERT_EQ(memoCopy.Formats().size(), 2u);
    EXPECT_EQ(memoCopy.Formats()[0]->Kind(), fkNumeric);
    EXPECT_EQ(memoCopy.Formats()[1]->FormatStr(), QStringLiteral("dd.mm"));
    ASSERT_EQ(memoCopy.Highlights().size(), 2u);
    EXPECT_EQ(memoCopy.Highlights()[0]->Condition(), QStringLiteral("Value > 0"));
    EXPECT_EQ(memoCopy.Highlights()[1]->Font()->Color(), TrpColor(0xFF));
}

// A number the cache gave names nothing once the cache is cleared: the view
// reads 0 and its next write hands the picture to the cache again.
TEST(PropertyTables, PictureNumberExpiresWithTheCache)
{
    TrpPictureCache cache;
    TrpPictureView first, second;
    first.SetPicture(QStringLiteral("TPNGObject"), QByteArray("\x89PNG\r\n\x1a\n first", 15));
    second.SetPicture(QStringLiteral("TPNGObject"), QByteArray("\x89PNG\r\n\x1a\n second", 16));
    cache.AddPicture(&first);
    EXPECT_EQ(first.ImageIndex(), 1);
    cache.Clear();
    EXPECT_EQ(first.ImageIndex(), 0);
    cache.AddPicture(&second);
    EXPECT_EQ(second.ImageIndex(), 1);
    EXPECT_EQ(first.ImageIndex(), 0) << "the old number must not name the new picture";

    TrpPictureView rebuilt; // a number read from a prepared page has no cache life
    rebuilt.SetImageIndex(1);
    cache.GetPicture(&rebuilt);
    EXPECT_EQ(rebuilt.PictureBytes(), second.PictureBytes());
}

// A picture taken from a data field follows the row; a field of no known
// image kind, or an empty one, clears it.
TEST(PropertyTables, PictureFromADataField)
{
    class Pictures : public TrpUserDataSet {
    public:
        QByteArray Bytes;
        bool IsBlobField(const QString& Field) override { return Field == QLatin1String("photo"); }
        void AssignBlobTo(const QString&, TrpBlobTarget Target) override
        {
            if (auto* stream = std::get_if<QIODevice*>(&Target))
                (*stream)->write(Bytes);
        }
    } data;
    data.SetUserName(QStringLiteral("Pictures"));
    TrpPictureView view;
    view.SetDataSet(&data);
    view.SetDataField(QStringLiteral("photo"));
    const QByteArray png("\x89PNG\r\n\x1a\n row one", 17);
    const struct {
        QByteArray Field;
        QByteArray Expected;
    } rows[] = { { png, png }, { "not a picture", {} }, { png, png }, { {}, {} } };
    for (const auto& row : rows) {
        data.Bytes = row.Field;
        view.GetData();
        EXPECT_EQ(view.PictureBytes(), row.Expected);
    }
}
