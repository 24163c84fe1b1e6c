// libFuzzer target: the picture cache's stored form from a prepared-report
// file. Each input line is one item's "stream" text; every number is then
// fetched into a picture view (which recognises the image kind) and the
// cache is written back. Nothing may crash or read past a picture.
#include "rpClass.h"
#include "rpXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
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
    return 0;
}
