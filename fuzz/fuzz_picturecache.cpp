// libFuzzer target: the picture cache's stored form from a prepared-report
// file. Each input line is one item's "stream" text; every number is then
// fetched into a picture view (which recognises the image kind) and the
// cache is written back. Nothing may crash or read past a picture.
#include "fuzz_picturecache.h"
#include "rpClass.h"
#include "rpXML.h"

void FuzzPictureCache(QByteArrayView input)
{
    const QByteArray bytes = input.toByteArray();
    TrpXMLItem item(QStringLiteral("picturecache"));
    for (const QByteArray& line : bytes.split('\n'))
        item.Add(QStringLiteral("item"))->SetProp(QStringLiteral("stream"), QString::fromLatin1(line));
    TrpPictureCache cache(64); // small segments, so pictures span several
    cache.LoadFromXML(&item);
    TrpPictureView view;
    const int count = cache.Count();
    for (int i = -1; i <= count + 1; ++i) {
        view.SetImageIndex(i);
        cache.GetPicture(&view);
        if (view.HasImage())
            cache.AddPicture(&view);
    }
    TrpXMLItem out(QStringLiteral("picturecache"));
    cache.SaveToXML(&out);
}
