// The main window's commands on a log of 100,000 rows, each measured as the
// user meets it: the handler, its total, the grid following the table and
// one round of painting of the shown window. Add, Edit selected and Delete
// write to the file; a car filter, removing it and a title click only
// change the view.
#include "BenchExpenseLog.h"
#include "PrivateProfile.h"
#include "Services.h"
#include "Unit1.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Prices stay small enough for the total of all rows to be a 32-bit number.
TBenchLogShape LogShape()
{
    TBenchLogShape shape;
    shape.PriceLimit = 1000;
    return shape;
}

// A program directory with settings, car list and a log of 100,000 rows;
// each benchmark copies the log so the writes of one do not shape the next.
class TProgramDir {
public:
    TProgramDir()
    {
        static QTemporaryDir master;
        static const QString masterLog
            = CreateBenchExpenseLog(master.filePath(QStringLiteral("master.mdb")), LogShape());
        const QString log = FDir.filePath(QStringLiteral("log.mdb"));
        QFile::copy(masterLog, log);
        const QString ini = FDir.filePath(QStringLiteral("pelmora.ini"));
        WritePrivateProfileString(
            QStringLiteral("Settings"), QStringLiteral("Check"), QStringLiteral("0"), ini);
        WritePrivateProfileString(QStringLiteral("Settings"), QStringLiteral("Path"), log, ini);
        QFile cars(FDir.filePath(QStringLiteral("cars.lst")));
        if (cars.open(QIODevice::WriteOnly))
            cars.write("Car 1\r\nCar 2\r\n");
    }
    QString Path() const { return FDir.path(); }

private:
    QTemporaryDir FDir;
};

struct TShownWindow {
    TProgramDir Dir;
    TTestServices Services { Dir.Path() };
    std::unique_ptr<TForm1> Form = TForm1::Create(Services.Services);

    TShownWindow()
    {
        Form->show();
        QApplication::processEvents();
        Form->ComboBox1->setCurrentIndex(0);
        Form->LabeledEdit1->setText(QStringLiteral("oil"));
        Form->LabeledEdit2->setText(QStringLiteral("bench"));
        Form->LabeledEdit3->setText(QStringLiteral("1000"));
        Form->LabeledEdit4->setText(QStringLiteral("100"));
    }
    void Paint() { QApplication::processEvents(); }
    bool Failed(benchmark::State& state)
    {
        if (Services.Dialogs->Messages().empty())
            return false;
        state.SkipWithError(Services.Dialogs->MessageTexts().join(QLatin1Char('|')).toStdString().c_str());
        return true;
    }
};

void BM_Add(benchmark::State& state)
{
    TShownWindow w;
    for (auto _ : state) {
        w.Form->Button1Click();
        w.Paint();
    }
    w.Failed(state);
}
BENCHMARK(BM_Add)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_EditSelected(benchmark::State& state)
{
    TShownWindow w;
    int price = 0;
    for (auto _ : state) {
        w.Form->LabeledEdit4->setText(QString::number(++price));
        w.Form->SpeedButton7Click();
        w.Paint();
    }
    w.Failed(state);
}
BENCHMARK(BM_EditSelected)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_Delete(benchmark::State& state)
{
    TShownWindow w;
    for (auto _ : state) {
        w.Services.Dialogs->QueueAnswer(TMsgResult::Yes);
        w.Form->N1Click();
        w.Paint();
    }
    w.Services.Dialogs->Clear();
}
BENCHMARK(BM_Delete)->Unit(benchmark::kMillisecond)->Iterations(100);

// The car filter typed anew: 2,000 of the rows are in view each time.
void BM_CarFilterChange(benchmark::State& state)
{
    TShownWindow w;
    int car = 0;
    for (auto _ : state) {
        w.Form->ComboBox2->setEditText(QStringLiteral("Car %1").arg(car++ % 50));
        w.Form->ComboBox2Change();
        w.Paint();
    }
    w.Failed(state);
}
BENCHMARK(BM_CarFilterChange)->Unit(benchmark::kMillisecond);

// Removing the filter brings all 100,000 rows back into view.
void BM_RemoveFilter(benchmark::State& state)
{
    TShownWindow w;
    w.Form->ComboBox2->setEditText(QStringLiteral("Car 1"));
    w.Form->ComboBox2Change();
    for (auto _ : state) {
        state.PauseTiming();
        w.Form->ComboBox2->setEditText(QStringLiteral("Car 1"));
        w.Form->ComboBox2Change();
        w.Paint();
        state.ResumeTiming();
        w.Form->SpeedButton4Click();
        w.Paint();
    }
    w.Failed(state);
}
BENCHMARK(BM_RemoveFilter)->Unit(benchmark::kMillisecond);

// A title click: ascending and descending in turn.
void BM_TitleClick(benchmark::State& state)
{
    TShownWindow w;
    const int column = int(state.range(0));
    for (auto _ : state) {
        w.Form->DBGrid1TitleClick(column);
        w.Paint();
    }
    w.Failed(state);
}
BENCHMARK(BM_TitleClick)->Unit(benchmark::kMillisecond)->ArgName("column")->Arg(0)->Arg(3)->Arg(5);

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
