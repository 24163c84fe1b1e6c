// libFuzzer target: the XML reader on arbitrary bytes, then the writer and
// attribute access on whatever was read. Malformed input must end in
// TrpStorageError, never in a crash, a hang or unbounded memory.
#include "fuzz_xml.h"
#include "rpXML.h"

#include <QBuffer>

void FuzzXml(QByteArrayView input)
{
    QByteArray bytes = input.toByteArray();
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TrpXMLDocument doc;
    try {
        doc.LoadFromStream(in);
    } catch (const TrpStorageError&) {
        return;
    }
    // Walk what was read without recursion, touching attributes.
    std::vector<TrpXMLItem*> stack { doc.Root() };
    while (!stack.empty()) {
        TrpXMLItem* item = stack.back();
        stack.pop_back();
        (void)item->Prop(QStringLiteral("Name"));
        item->SetProp(QStringLiteral("x"), item->Text());
        for (int i = 0; i < item->Count(); ++i)
            stack.push_back(item->Items(i));
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    doc.SaveToStream(out);
    // What the writer wrote must read back.
    out.close();
    out.open(QIODevice::ReadOnly);
    TrpXMLDocument again;
    again.LoadFromStream(out);
    (void)rpXMLToStr(QString::fromUtf8(bytes));
}
