// Every input a fuzz target keeps, replayed through the target's body in the
// ordinary build: the regression inputs of faults the fuzzer found
// (data/<target>) and the kept corpus (fuzz/corpus/<target>). A body stops
// the process when a property it checks does not hold, so an input that
// fails again shows up as this test dying right after naming the input.
#include "fuzz_carlist.h"
#include "fuzz_format.h"
#include "fuzz_ini.h"
#include "fuzz_picturecache.h"
#include "fuzz_rpd.h"
#include "fuzz_script.h"
#include "fuzz_serializer.h"
#include "fuzz_xml.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct TFuzzTarget {
    const char* Name;
    void (*Body)(QByteArrayView input);
};

const TFuzzTarget Targets[] = {
    { "fuzz_xml", FuzzXml },
    { "fuzz_serializer", FuzzSerializer },
    { "fuzz_picturecache", FuzzPictureCache },
    { "fuzz_script", FuzzScript },
    { "fuzz_format", FuzzFormat },
    { "fuzz_ini", FuzzIni },
    { "fuzz_carlist", FuzzCarList },
    { "fuzz_rpd", FuzzRpd },
};

void PrintTo(const TFuzzTarget& target, std::ostream* out)
{
    *out << target.Name;
}

// Runs every file of the folder; the number of files run.
int Replay(const TFuzzTarget& target, const QString& folder)
{
    int count = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray input = file.readAll();
        std::fprintf(stderr, "%s %s\n", target.Name, qPrintable(file.fileName()));
        target.Body(input);
        ++count;
    }
    return count;
}

class FuzzReplay : public testing::TestWithParam<TFuzzTarget> { };

TEST_P(FuzzReplay, RegressionInputsAndKeptCorpus)
{
    const TFuzzTarget& target = GetParam();
    Replay(target, QStringLiteral(PELMORA_TEST_DATA_DIR "/") + QLatin1String(target.Name));
    EXPECT_GT(Replay(target, QStringLiteral(PELMORA_FUZZ_CORPUS_DIR "/") + QLatin1String(target.Name)), 0)
        << "every target keeps a seed corpus";
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(Targets),
    [](const testing::TestParamInfo<TFuzzTarget>& info) { return std::string(info.param.Name); });

} // namespace
