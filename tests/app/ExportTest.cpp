// The workbook export: the automation calls and their order, the workbook
// read back from the written .xlsx file (unpacked with the system's unzip,
// sheet and styles parsed as XML), the reading of cell texts, and the
// window's state after an export or a failed one.
#include "AppFixture.h"
#include "refused_writes.h"

#include "Automation.h"
#include "CellTextReader.h"
#include "ErrorBox.h"
#include "ExcelExport.h"
#include "WorkbookServer.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QToolButton>
#include <QXmlStreamReader>

#include <map>

namespace {

// One cell as stored: text, or a number with the format code it shows in.
struct TStoredCell {
    bool IsNumber = false;
    QString Text;
    double Number = 0;
    QString Format; // number format code; empty for "General"
    bool operator==(const TStoredCell&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TStoredCell& c)
{
    if (c.IsNumber)
        return os << c.Number << " [" << c.Format.toStdString() << "]";
    return os << '"' << c.Text.toStdString() << '"';
}

TStoredCell Text(const QString& text)
{
    return { false, text, 0, {} };
}
TStoredCell Number(double value)
{
    return { true, {}, value, {} };
}
TStoredCell DateCell(double serial)
{
    return { true, {}, serial, QStringLiteral("dd.mm.yyyy") };
}

// A workbook file read back: the first sheet's cells by row and column (from 1).
class TWorkbookFile {
public:
    explicit TWorkbookFile(const QString& path)
    {
        ReadStyles(Unzip(path, "xl/styles.xml"));
        ReadSheet(Unzip(path, "xl/worksheets/sheet1.xml"));
    }
    std::map<std::pair<int, int>, TStoredCell> Cells;
    int RowCount() const { return Cells.empty() ? 0 : Cells.rbegin()->first.first; }
    // Cells 1 to 6 of a row; a missing cell reads as empty text.
    std::vector<TStoredCell> Row(int row) const
    {
        std::vector<TStoredCell> cells;
        for (int column = 1; column <= 6; ++column) {
            const auto found = Cells.find({ row, column });
            cells.push_back(found == Cells.end() ? Text({}) : found->second);
        }
        return cells;
    }

private:
    static QByteArray Unzip(const QString& path, const char* member)
    {
        QProcess unzip;
        unzip.start("unzip", { "-p", path, member });
        EXPECT_TRUE(unzip.waitForFinished(30000));
        const QByteArray xml = unzip.readAllStandardOutput();
        EXPECT_FALSE(xml.isEmpty()) << member;
        return xml;
    }
    void ReadStyles(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        std::map<int, QString> formats;
        bool inCellXfs = false;
        while (reader.readNextStartElement() || !reader.atEnd()) {
            if (reader.isEndElement() && reader.name() == u"cellXfs")
                inCellXfs = false;
            if (!reader.isStartElement())
                continue;
            if (reader.name() == u"numFmt")
                formats[reader.attributes().value("numFmtId").toInt()]
                    = reader.attributes().value("formatCode").toString();
            else if (reader.name() == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && reader.name() == u"xf")
                FStyleFormats.push_back(formats[reader.attributes().value("numFmtId").toInt()]);
        }
    }
    void ReadSheet(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement() || reader.name() != u"c")
                continue;
            const QString ref = reader.attributes().value("r").toString();
            const QString type = reader.attributes().value("t").toString();
            const int style = reader.attributes().value("s").toInt();
            int column = 0;
            qsizetype i = 0;
            for (; i < ref.size() && ref[i].isLetter(); ++i)
                column = column * 26 + (ref[i].unicode() - 'A' + 1);
            const int row = ref.mid(i).toInt();
            TStoredCell cell;
            while (!(reader.isEndElement() && reader.name() == u"c") && !reader.atEnd()) {
                reader.readNext();
                if (reader.isStartElement() && reader.name() == u"t")
                    cell.Text += reader.readElementText();
                else if (reader.isStartElement() && reader.name() == u"v") {
                    cell.IsNumber = type.isEmpty() || type == u"n";
                    cell.Number = reader.readElementText().toDouble();
                }
            }
            if (cell.IsNumber && style > 0 && size_t(style) < FStyleFormats.size())
                cell.Format = FStyleFormats[size_t(style)];
            EXPECT_TRUE(cell.IsNumber || type == u"inlineStr" || type == u"str") << type.toStdString();
            Cells[{ row, column }] = cell;
        }
    }
    std::vector<QString> FStyleFormats; // number format code of each cell style
};

const std::vector<TStoredCell> TitleRow = { Text("Автомобиль"), Text("Наименование"), Text("Пробег"),
    Text("Дата"), Text("Описание"), Text("Цена") };

} // namespace

class ExportTest : public AppFixture {
protected:
    std::unique_ptr<TForm1> Form;

    void StartWith(const std::vector<TRow>& rows)
    {
        Configure(MakeDatabase("log.mdb", rows));
        WriteBytes(CarList(), "Lada\r\n");
        Form = Start();
        ASSERT_TRUE(Form);
    }
    // Clicks the export button; the workbook that was opened.
    std::unique_ptr<TWorkbookFile> Export()
    {
        const qsizetype opened = Test.Shell->Opened().size();
        Form->SpeedButton3->click();
        EXPECT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
        if (Test.Shell->Opened().size() != opened + 1)
            return nullptr;
        const QString file = Test.Shell->Opened().back();
        Written << file;
        EXPECT_TRUE(file.endsWith(".xlsx"));
        EXPECT_EQ(QFileInfo(file).absolutePath(), QDir(Test.Services.Process->DocumentsDir()).absolutePath());
        return std::make_unique<TWorkbookFile>(file);
    }
    void TearDown() override
    {
        for (const QString& file : Written)
            QFile::remove(file);
    }
    QStringList Written;
};

TEST_F(ExportTest, NoRowInViewGivesTheTitleRowOnly)
{
    StartWith({});
    const auto book = Export();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->RowCount(), 1);
    EXPECT_EQ(book->Row(1), TitleRow);
}

// Prices and mileages become numbers, dates date cells in the short date
// format (serials count days from 30 December 1899); texts that would not
// show unchanged as numbers or dates stay text; an empty description leaves
// its cell empty; names outside ASCII arrive intact.
TEST_F(ExportTest, CellsAreNumbersDatesOrTextAsTheyRead)
{
    // The prices keep the total within 32 bits so the start-up total raises no error.
    StartWith({ { "Лада Нива", "Масло 5W-40", "09.05.2024", "120500", "", "3500" },
        { "Volga", "007", "1.2.2024", "0", "31.12.1899", "-3515" },
        { "Ауди", "12345678901234567", "01.01.1900", "7", "описание", "2147483647" } });
    const auto book = Export();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->RowCount(), 4);
    EXPECT_EQ(book->Row(1), TitleRow);
    EXPECT_EQ(book->Row(2),
        (std::vector { Text("Лада Нива"), Text("Масло 5W-40"), Number(120500), DateCell(45421), Text(""),
            Number(3500) }));
    EXPECT_EQ(book->Cells.count({ 2, 5 }), 0u) << "an empty description is an empty cell";
    EXPECT_EQ(book->Row(3),
        (std::vector {
            Text("Volga"), Text("007"), Number(0), Text("1.2.2024"), Text("31.12.1899"), Number(-3515) }));
    EXPECT_EQ(book->Row(4),
        (std::vector { Text("Ауди"), Text("12345678901234567"), Number(7), DateCell(1), Text("описание"),
            Number(2147483647) }));
}

// A car filter with a sort by price descending: rows 2 to 4 hold the three
// rows in view in the grid's order. The current row ends on the last row in
// view, the total is not recomputed, the cursor and painting are back.
TEST_F(ExportTest, FilteredRowsInTheGridsOrderAndTheWindowAfterwards)
{
    StartWith(
        { { "Lada", "a", "01.01.2024", "1", "x", "300" }, { "Volga", "b", "02.01.2024", "2", "y", "100" },
            { "Lada", "c", "03.01.2024", "3", "z", "500" }, { "Lada", "d", "04.01.2024", "4", "w", "400" } });
    Form->ADOTable1->SetFilter("car = 'Lada'");
    Form->ADOTable1->SetFiltered(true);
    Form->ADOTable1->SetSort("price DESC");
    Form->ADOTable1->First();
    Form->Edit2->setText("stale");
    const auto book = Export();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->RowCount(), 4);
    EXPECT_EQ(book->Row(2)[1], Text("c"));
    EXPECT_EQ(book->Row(3)[1], Text("d"));
    EXPECT_EQ(book->Row(4)[1], Text("a"));
    EXPECT_EQ(book->Row(4),
        (std::vector { Text("Lada"), Text("a"), Number(1), DateCell(45292), Text("x"), Number(300) }));

    EXPECT_EQ(Form->ADOTable1->RecNo(), 3);
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 2);
    EXPECT_EQ(Form->Edit2->text(), "stale");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Form->DBGrid1->updatesEnabled());
}

TEST_F(ExportTest, NoProgramToOpenTheWorkbookNamesTheWrittenFile)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "x", "300" } });
    Test.Shell->SetResult(false);
    Form->SpeedButton3->click();
    ASSERT_EQ(Test.Shell->Opened().size(), 1u);
    const QString file = Test.Shell->Opened().back();
    Written << file;
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0],
        ErrorBoxRequest(
            QStringLiteral("No program could be found to open the workbook. It has been saved as \"%1\".")
                .arg(file)));
    EXPECT_EQ(TWorkbookFile(file).Row(2)[5], Number(300)) << "the data is in the file";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Form->DBGrid1->updatesEnabled());
}

namespace {

// An automation server that records every call and can fail at one of them.
class TRecordingObject : public TAutomationObject {
public:
    TRecordingObject(QStringList& log, QString failAt)
        : FLog(log)
        , FFailAt(std::move(failAt))
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        QStringList texts;
        for (const Variant& arg : args)
            texts << arg.KindName() + ":" + arg.AsString();
        const char* kinds[] = { "call", "get", "put" };
        const QString entry = QStringLiteral("%1 %2(%3)").arg(kinds[int(kind)], name, texts.join(','));
        FLog << entry;
        if (entry == FFailAt)
            throw EAutomationError("The server went away");
        return std::make_shared<TRecordingObject>(FLog, FFailAt);
    }

private:
    QStringList& FLog;
    QString FFailAt;
};

} // namespace

class ExportCallsTest : public AppFixture {
protected:
    QStringList Log;
    int Freezes = 0, Thaws = 0;

    void Run(const QString& failAt, const QString& progId = WorkbookProgId)
    {
        QString db = File("log.mdb");
        if (!QFileInfo::exists(db))
            MakeDatabase("log.mdb",
                { { "Lada", "a", "01.01.2024", "1", "", "300" },
                    { "Volga", "b", "02.01.2024", "2", "y", "100" } });
        TDbTable table;
        table.SetDatabaseFile(db);
        table.SetTableName(ExpenseTableName);
        table.Open();
        TAutomationServers servers;
        servers.Register(progId, [this, failAt] {
            Log << "create";
            return std::make_shared<TRecordingObject>(Log, failAt);
        });
        TExportDisplay display { [this] { ++Freezes; }, [this] { ++Thaws; } };
        table.Next(); // the export starts from the first row whatever row is current
        ExportToExcel(table, { { "Автомобиль", "car" }, { "Описание", "descr" } }, servers, display);
        EXPECT_EQ(table.RecNo(), 2);
    }
};

TEST_F(ExportCallsTest, CallsInTheirOrderWithTheirArguments)
{
    Run({});
    EXPECT_EQ(Log,
        (QStringList { "create", "call workbooks()", "call add()", "get workbooks(Integer:1)",
            "get worksheets(Integer:1)", "get cells(Integer:1,Integer:1)", "put value(String:Автомобиль)",
            "get cells(Integer:1,Integer:2)", "put value(String:Описание)", "get cells(Integer:2,Integer:1)",
            "put value(String:Lada)", "get cells(Integer:2,Integer:2)", "put value(String:)",
            "get cells(Integer:3,Integer:1)", "put value(String:Volga)", "get cells(Integer:3,Integer:2)",
            "put value(String:y)", "put visible(Boolean:True)" }));
    EXPECT_EQ(Freezes, 1);
    EXPECT_EQ(Thaws, 1);
}

TEST_F(ExportCallsTest, FailuresRestoreCursorAndDisplay)
{
    try {
        Run("put value(String:Volga)");
        FAIL() << "no error";
    } catch (const EAutomationError& error) {
        EXPECT_EQ(error.Message(), "The server went away");
    }
    EXPECT_EQ(Log.last(), "put value(String:Volga)");
    EXPECT_EQ(Thaws, 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    Log.clear();
    try {
        Run({}, "Other.Application");
        FAIL() << "no error";
    } catch (const EAutomationError& error) {
        EXPECT_EQ(error.Message(), "Invalid class string");
    }
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WorkbookServer, RowsAboveTheCurrentOneFailInsteadOfBeingLost)
{
    TFakeShellService shell;
    QTemporaryDir dir;
    TAutomationRef app
        = CreateWorkbookApplication(shell, QLocale(QLocale::Russian), dir.path(), QDate(2024, 3, 15));
    app->CallMethod("Workbooks")->CallMethod("Add");
    TAutomationRef sheet = app->GetProperty("WORKBOOKS", { 1 })->GetProperty("worksheets", { 1 });
    sheet->GetProperty("Cells", { 3, 1 })->PutProperty("Value", QString("x"));
    EXPECT_THROW(sheet->GetProperty("Cells", { 2, 1 })->PutProperty("Value", QString("y")), EAutomationError);
    EXPECT_THROW(sheet->GetProperty("Cells", { 0, 1 })->PutProperty("Value", QString("z")), EAutomationError);
    EXPECT_THROW(app->GetProperty("Workbooks", { 2 }), EAutomationError);
    EXPECT_THROW(app->CallMethod("Quit"), EAutomationError);
    // Released without being shown: nothing is left behind.
    sheet.reset();
    app.reset();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

struct ReadCase {
    const char* Text;
    TCellReading::TKind Kind;
    double Number;
    QDate Date;
};

TEST(CellTextReader, PlainWholeNumbersAndShortDatesOnly)
{
    const TCellTextReader russian(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(russian.DateFormat(), "dd.mm.yyyy");
    const ReadCase cases[] = {
        { "120500", TCellReading::TKind::Number, 120500, {} },
        { "-15", TCellReading::TKind::Number, -15, {} }, { "0", TCellReading::TKind::Number, 0, {} },
        { "999999999999999", TCellReading::TKind::Number, 999999999999999.0, {} },
        { "1000000000000000", TCellReading::TKind::Text, 0, {} }, // 16 digits would lose precision
        { "007", TCellReading::TKind::Text, 0, {} }, // the zeros would vanish
        { "-0", TCellReading::TKind::Text, 0, {} }, { "+5", TCellReading::TKind::Text, 0, {} },
        { "1 000", TCellReading::TKind::Text, 0, {} }, { "", TCellReading::TKind::Text, 0, {} },
        { "09.05.2024", TCellReading::TKind::Date, 0, QDate(2024, 5, 9) },
        { "29.02.2024", TCellReading::TKind::Date, 0, QDate(2024, 2, 29) },
        { "29.02.2023", TCellReading::TKind::Text, 0, {} },
        { "9.05.2024", TCellReading::TKind::Text, 0, {} }, // not how the format writes it
        { "09.05.2024 ", TCellReading::TKind::Text, 0, {} },
        { "31.12.1899", TCellReading::TKind::Text, 0, {} }, // before the workbook's first date
    };
    for (const ReadCase& c : cases) {
        const TCellReading reading = russian.Read(QString::fromUtf8(c.Text));
        EXPECT_EQ(reading.Kind, c.Kind) << c.Text;
        if (c.Kind == TCellReading::TKind::Number) {
            EXPECT_EQ(reading.Number, c.Number) << c.Text;
        }
        if (c.Kind == TCellReading::TKind::Date) {
            EXPECT_EQ(reading.Date, c.Date) << c.Text;
        }
    }

    // Another short format: one-digit fields and a two-digit year.
    const TCellTextReader american(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(american.DateFormat(), "m/d/yy");
    EXPECT_EQ(american.Read("5/9/24").Date, QDate(2024, 5, 9));
    EXPECT_EQ(american.Read("12/31/99").Date, QDate(1999, 12, 31));
    EXPECT_EQ(american.Read("05/09/24").Kind, TCellReading::TKind::Text);
}

// A workbook that cannot be written leaves nothing behind in the folder,
// neither the dated file nor the hidden one it was being written under.
TEST(WorkbookServer, AWorkbookThatCannotBeWrittenLeavesNoPartialFile)
{
    TFakeShellService shell;
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    TAutomationRef app
        = CreateWorkbookApplication(shell, QLocale(QLocale::Russian), dir.path(), QDate(2024, 3, 15));
    app->CallMethod("Workbooks")->CallMethod("Add");
    app->GetProperty("Workbooks", { 1 })
        ->GetProperty("WorkSheets", { 1 })
        ->GetProperty("Cells", { 1, 1 })
        ->PutProperty("Value", QString("x"));
    // The file the workbook is being written into turns read-only.
    const QStringList hidden = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(hidden.size(), 1);
    EXPECT_TRUE(hidden[0].startsWith(".Pelmora-")) << hidden[0].toStdString();
    ASSERT_TRUE(QFile::setPermissions(QDir(dir.path()).filePath(hidden[0]), QFileDevice::ReadOwner));
    {
        TModesBind modes;
        try {
            app->PutProperty("Visible", true);
            FAIL() << "no error";
        } catch (const EAutomationError& error) {
            EXPECT_TRUE(error.Message().startsWith(
                "Cannot write the workbook \"" + QDir(dir.path()).filePath("Pelmora 2024-03-15.xlsx") + "\""))
                << error.Message().toStdString();
        }
    }
    EXPECT_TRUE(shell.Opened().isEmpty());
    app.reset();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ExportTest, WorkbooksGoToTheDocumentsFolderUnderADatedNameThatIsNeverReused)
{
    StartWith({ { "Lada", "oil", "09.05.2024", "1", "", "2" } });
    const QString documents = File("Documents");
    ASSERT_TRUE(QDir().mkpath(documents));
    Test.Process->SetDocumentsDir(documents);
    const auto first = Export();
    const auto second = Export();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Test.Shell->Opened(),
        QStringList({ QDir(documents).filePath("Pelmora 2024-03-15.xlsx"),
            QDir(documents).filePath("Pelmora 2024-03-15 (2).xlsx") }));
    EXPECT_EQ(QDir(documents).entryList(QDir::Files | QDir::Hidden),
        QStringList({ "Pelmora 2024-03-15 (2).xlsx", "Pelmora 2024-03-15.xlsx" }));
    EXPECT_EQ(first->Row(2)[0], Text("Lada"));
}
