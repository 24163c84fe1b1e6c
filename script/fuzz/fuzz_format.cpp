// libFuzzer target for the picture formatters: the input is split at its
// first NUL into a picture (or edit mask) and a value text, which is also
// read as a number. Every formatter must end in a text or an error message;
// a crash, a hang or a giant allocation is a failure.
#include "fuzz_format.h"
#include "PelmoraError.h"
#include "sc_iformat.h"
#include "sc_imask.h"

#include <QLocale>
#include <QString>

void FuzzFormat(QByteArrayView input)
{
    const qsizetype nul = input.indexOf('\0');
    const QString picture = QString::fromUtf8(nul < 0 ? input : input.first(nul));
    const QString valueText = nul < 0 ? QString() : QString::fromUtf8(input.sliced(nul + 1));
    Variant number;
    const double value
        = Variant::TextToNumber(valueText, number) ? number.AsDouble() : static_cast<double>(input.size());
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
}
