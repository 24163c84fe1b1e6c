// CalcTotal of the main window over a log of 100,000 rows in view: the full
// walk, the write of the total box after every row and the grid following
// the last row. The window runs on the offscreen platform with the test
// doubles of the platform services.
#include "DbConnection.h"
#include "ExpenseDatabase.h"
#include "PrivateProfile.h"
#include "Services.h"
#include "TotalEdit.h"
#include "Unit1.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;

// A program directory with settings, car list and a database of RowCount rows.
const QTemporaryDir& ProgramDir()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        const QString file = dir.filePath(QStringLiteral("log.mdb"));
        CreateDatabaseFile(file);
        TDbConnection connection;
        connection.Open(file);
        connection.Execute(ExpenseCreateTableSql());
        connection.Execute(QStringLiteral("BEGIN"));
        auto insert = connection.Prepare(QStringLiteral(
            "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < RowCount; ++i) {
            insert->Bind(1, TDbValue::Text(QStringLiteral("Car %1").arg(i % 50)));
            insert->Bind(2, TDbValue::Text(QStringLiteral("part %1").arg(i)));
            insert->Bind(3,
                TDbValue::Text(QStringLiteral("%1.%2.20%3")
                                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                   .arg(10 + i % 15)));
            insert->Bind(4, TDbValue::Integer(i));
            insert->Bind(5, TDbValue::Text(QStringLiteral("job %1").arg(i)));
            insert->Bind(6, TDbValue::Integer(i % 1000));
            insert->Step();
            insert->Reset();
        }
        connection.Execute(QStringLiteral("COMMIT"));
        WritePrivateProfileString(QStringLiteral("Settings"), QStringLiteral("Check"), QStringLiteral("0"),
            dir.filePath(QStringLiteral("pelmora.ini")));
        WritePrivateProfileString(QStringLiteral("Settings"), QStringLiteral("Path"), file,
            dir.filePath(QStringLiteral("pelmora.ini")));
        QFile cars(dir.filePath(QStringLiteral("cars.lst")));
        return cars.open(QIODevice::WriteOnly) && cars.write("Car 1\r\n") > 0;
    }();
    (void)filled;
    return dir;
}

void BM_CalcTotal(benchmark::State& state)
{
    TTestServices services(ProgramDir().path());
    std::unique_ptr<TForm1> form = TForm1::Create(services.Services);
    for (auto _ : state)
        form->CalcTotal();
    if (form->Edit2->text() != QString::number(qint64(RowCount / 1000) * (999 * 1000 / 2)))
        state.SkipWithError("wrong total");
}
BENCHMARK(BM_CalcTotal)->Unit(benchmark::kMillisecond);

// The same with the window shown, so the box and the grid really paint.
void BM_CalcTotalShown(benchmark::State& state)
{
    TTestServices services(ProgramDir().path());
    std::unique_ptr<TForm1> form = TForm1::Create(services.Services);
    form->show();
    for (auto _ : state) {
        form->CalcTotal();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CalcTotalShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
