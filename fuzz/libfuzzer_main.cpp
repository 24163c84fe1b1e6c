// The libFuzzer entry of every fuzz target: it hands each input to the
// target's body, which the build names in PELMORA_FUZZ_BODY.
#include <QByteArrayView>
#include <cstddef>
#include <cstdint>

void PELMORA_FUZZ_BODY(QByteArrayView input);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PELMORA_FUZZ_BODY(QByteArrayView(data, qsizetype(size)));
    return 0;
}
