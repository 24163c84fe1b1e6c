// libFuzzer target: ReadRootComponent into a fresh report, then writing the
// result and reading one component string. Bad documents end in an
// exception or in Errors, never in a crash.
#include "fuzz_serializer.h"
#include "rpClass.h"
#include "rpXMLSerializer.h"

#include <QBuffer>

void FuzzSerializer(QByteArrayView input)
{
    QByteArray bytes = input.toByteArray();
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TrpReport report;
    try {
        TrpXMLSerializer reader(&in);
        reader.ReadRootComponent(&report);
    } catch (const EPelmoraError&) {
        return;
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TrpXMLSerializer writer(&out);
    writer.WriteRootComponent(&report);

    TrpXMLSerializer strings;
    if (TrpPersistentComponent* obj = strings.ReadComponentStr(&report, QString::fromUtf8(bytes.left(4096))))
        (void)strings.WriteComponentStr(obj);
}
