// libFuzzer target: ReadRootComponent into a fresh report, then writing the
// result and reading one component string. Bad documents end in an
// exception or in Errors, never in a crash.
#include "rpClass.h"
#include "rpXMLSerializer.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    QByteArray bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TrpReport report;
    try {
        TrpXMLSerializer reader(&in);
        reader.ReadRootComponent(&report);
    } catch (const EPelmoraError&) {
        return 0;
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TrpXMLSerializer writer(&out);
    writer.WriteRootComponent(&report);

    TrpXMLSerializer strings;
    if (TrpPersistentComponent* obj = strings.ReadComponentStr(&report, QString::fromUtf8(bytes.left(4096))))
        (void)strings.WriteComponentStr(obj);
    return 0;
}
