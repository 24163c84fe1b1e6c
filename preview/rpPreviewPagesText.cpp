// Which pages a text search must draw. Every text output of a drawn page is
// a piece of one object's text, and that text is stored in the page item
// (the object's differences) or in its source object; a page whose stored
// texts, with those of the source objects, do not hold the search text
// cannot show it. The few ways drawing adds text of its own (page macros
// filled in at drawing, a hyphen at a line break, tabs, soft hyphens,
// characters the file escapes) make the answer "maybe".
#include "rpPreviewPages.h"

#include "rpClass.h"

#include <QLocale>

namespace {

QString Plain(const QString& Text)
{
    return Text.contains(u'&') ? rpXMLToStr(Text) : Text;
}

void AppendTexts(const TrpXMLItem* Item, QString& Out)
{
    Out += Item->Name();
    Out += u'\n';
    Out += Plain(Item->Text());
    Out += u'\n';
    for (int i = 0; i < Item->Count(); ++i)
        AppendTexts(Item->Items(i), Out);
}

bool DrawingMayAdd(const QString& Upper)
{
    return Upper.contains(QLatin1String("[TOTALPAGES#]")) || Upper.contains(QLatin1String("[COPYNAME#]"))
        || Upper.contains(u'\t') || Upper.contains(QChar(0x00AD));
}

} // namespace

bool TrpPreviewPages::MayHoldText(int Index, const QString& Text, bool CaseSensitive)
{
    if (Text.isEmpty())
        return false; // an empty text never matches
    for (QChar c : Text)
        if (c == u'-' || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\t' || c == u'\r'
            || c == u'\n' || c.unicode() == 0x00AD || c.unicode() == 0)
            return true;
    if (Index < 0 || Index >= Count())
        return true;

    QString hay;
    for (const auto& page : FSourcePages)
        for (TrpComponent* o : std::vector<TrpComponent*>(page->AllObjects())) {
            hay += Plain(o->BaseName());
            hay += u'\n';
        }
    AppendTexts(ReadablePageItem(Index), hay);

    const QLocale locale;
    const QString upper = CaseSensitive ? locale.toUpper(hay) : QString();
    const QString& checked = CaseSensitive ? hay : upper;
    const QString upperHay = CaseSensitive ? upper : locale.toUpper(hay);
    if (DrawingMayAdd(upperHay))
        return true;
    return CaseSensitive ? checked.contains(Text, Qt::CaseSensitive)
                         : upperHay.contains(locale.toUpper(Text), Qt::CaseSensitive);
}
