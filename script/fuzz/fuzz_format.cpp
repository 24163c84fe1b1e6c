// libFuzzer target for the picture formatters: the input is split at its
// first NUL into a picture (or edit mask) and a value text, which is also
// read as a number. Every formatter must end in a text or an error message;
// a crash, a hang or a giant allocation is a failure.
#include "PelmoraError.h"
#include "sc_iformat.h"
#include "sc_imask.h"

#include <QLocale>
#include <QString>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const char* text = reinterpret_cast<const char*>(Data);
    const void* nul = std::memchr(Data, 0, Size);
    const size_t split = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - Data) : Size;
    const QString picture = QString::fromUtf8(text, static_cast<qsizetype>(split));
    const QString valueText = split < Size
        ? QString::fromUtf8(text + split + 1, static_cast<qsizetype>(Size - split - 1))
        : QString();
    Variant number;
    const double value
        = Variant::TextToNumber(valueText, number) ? number.AsDouble() : static_cast<double>(Size);
    // Russian names and separators exercise the non-C paths.
    static const bool once = (QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)), true);
    (void)once;
    auto guarded = [](auto&& f) {
        try {
            (void)f();
        } catch (const EPelmoraError&) {
        }
    };
    guarded([&] { return scFormatDateTime(picture, value); });
    guarded([&] { return scFormatMaskText(picture, valueText); });
    guarded([&] { return scFormatFloat(picture, value); });
    guarded([&] { return scFormat(picture, Variant(QList<Variant> { value, valueText })); });
    return 0;
}
