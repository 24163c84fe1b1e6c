// String table of the report engine.
//
// Stored form (the built-in resource and any replacement table):
//   <Resources CodePage="...">
//     <StrRes Name="key" Text="text"/> ...
//   </Resources>
// Text is decoded twice: once as an attribute value and once more, so
// "&#38;#34;" yields a double quote.
#include "rpRes.h"

#include "rpTextSource.h"
#include "rpXML.h"

#include <QFile>

TrpResources::TrpResources()
{
    QFile builtIn(QStringLiteral(":/rpStrings.xml"));
    if (builtIn.open(QIODevice::ReadOnly))
        LoadFromStream(builtIn);
}

TrpResources& TrpResources::Instance()
{
    static TrpResources table;
    return table;
}

QString TrpResources::Get(const QString& StrName) const
{
    auto it = FTable.constFind(StrName);
    if (it == FTable.constEnd())
        return StrName;
    if (it->startsWith(u'!'))
        return it->mid(1);
    return *it;
}

void TrpResources::Add(const QString& Ref, const QString& Str)
{
    FTable.insert(Ref, Str);
}

void TrpResources::AddStrings(const QStringList& Lines)
{
    for (const QString& line : Lines) {
        const int eq = line.indexOf(u'=');
        if (eq > 0)
            Add(line.left(eq), line.mid(eq + 1));
    }
}

void TrpResources::LoadFromStream(QIODevice& Stream)
{
    TrpXMLDocument doc;
    doc.LoadFromStream(Stream);
    const TrpXMLItem* root = doc.Root();
    if (root->Name().compare(QStringLiteral("Resources"), Qt::CaseInsensitive) != 0)
        return;
    for (int i = 0; i < root->Count(); ++i) {
        const TrpXMLItem* item = root->Items(i);
        if (item->Name().compare(QStringLiteral("StrRes"), Qt::CaseInsensitive) == 0)
            Add(item->Prop(QStringLiteral("Name")), rpXMLToStr(item->Prop(QStringLiteral("Text"))));
    }
}

QString rpGet(const QString& Key)
{
    return TrpResources::Instance().Get(Key);
}

namespace {
// The storage layer (serializer messages) reads its texts through this table.
[[maybe_unused]] const bool LookupInstalled = (rpSetTextLookup(&rpGet), true);
} // namespace
