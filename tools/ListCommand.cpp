// The list command of pelmora-tool. It opens the expense table as the main
// window does (job dates compared as dates, the filter texts of the filter
// row, the sort texts of a title click) and prints the rows in the table's
// order, or only the total as the window's total box would show it.
// Invariants: nothing is written to the database (it is opened read-only, so
// a log in a read-only folder lists as well); every failure ends with a
// message on standard error and exit status 1, never with partial output
// presented as success (the CSV is built whole before it is written); no
// field reaches a spreadsheet as a formula.
#include "ListCommand.h"

#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "ExpenseGridModel.h"
#include "ExpenseQuery.h"
#include "PelmoraError.h"

#include <QDate>
#include <QLocale>
#include <cstdio>
#include <optional>

namespace {

const char* const ListUsage = "usage: pelmora-tool list DATABASE [--car NAME | --from DATE --to DATE] "
                              "[--sort COLUMN [--desc]] [--total]\n";

struct TListOptions {
    QString Database;
    std::optional<QString> Car;
    std::optional<QString> From, To;
    std::optional<QString> SortColumn;
    bool Descending = false;
    bool Total = false;
};

struct EUsage {
    QString Message;
};

void Write(FILE* out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

TListOptions ParseOptions(const QStringList& args)
{
    TListOptions options;
    auto value = [&](qsizetype& i, std::optional<QString>& slot) {
        const QString& name = args[i];
        if (slot)
            throw EUsage { QStringLiteral("%1 given twice").arg(name) };
        if (i + 1 >= args.size())
            throw EUsage { QStringLiteral("%1 needs a value").arg(name) };
        slot = args[++i];
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--car"))
            value(i, options.Car);
        else if (arg == QLatin1String("--from"))
            value(i, options.From);
        else if (arg == QLatin1String("--to"))
            value(i, options.To);
        else if (arg == QLatin1String("--sort"))
            value(i, options.SortColumn);
        else if (arg == QLatin1String("--desc"))
            options.Descending = true;
        else if (arg == QLatin1String("--total"))
            options.Total = true;
        else if (arg.startsWith(QLatin1String("--")))
            throw EUsage { QStringLiteral("unknown option '%1'").arg(arg) };
        else if (options.Database.isNull())
            options.Database = arg;
        else
            throw EUsage { QStringLiteral("unexpected argument '%1'").arg(arg) };
    }
    if (options.Database.isEmpty())
        throw EUsage { QStringLiteral("no database file given") };
    if (options.Car && (options.From || options.To))
        throw EUsage { QStringLiteral(
            "--car cannot be combined with --from/--to: only one filter is active") };
    if (options.From.has_value() != options.To.has_value())
        throw EUsage { QStringLiteral("--from and --to must be given together") };
    if (options.Descending && !options.SortColumn)
        throw EUsage { QStringLiteral("--desc needs --sort") };
    if (options.SortColumn) {
        bool known = false;
        for (const char* name : TExpenseGridModel::FieldNames)
            known = known || *options.SortColumn == QLatin1String(name);
        if (!known)
            throw EUsage { QStringLiteral(
                "unknown column '%1' (car, partname, jobdate, mileage, descr, price)")
                               .arg(*options.SortColumn) };
    }
    return options;
}

QDate ReadDate(const QString& text, const QLocale& locale, const QString& format)
{
    const QDate date = locale.toDate(text, format);
    if (!date.isValid())
        throw EUsage { QStringLiteral("'%1' is not a date in the short date format %2").arg(text, format) };
    return date;
}

} // namespace

namespace {

// A text a spreadsheet would run as a formula: one that begins with "=",
// "+", "-" or "@" and is not a plain number (a negative price stays a number).
bool LooksLikeFormula(const QString& field)
{
    if (field.isEmpty())
        return false;
    const QChar first = field.front();
    if (first != QLatin1Char('=') && first != QLatin1Char('+') && first != QLatin1Char('-')
        && first != QLatin1Char('@'))
        return false;
    bool number = false;
    field.toLongLong(&number, 10);
    return !number || first == QLatin1Char('+');
}

} // namespace

QString CsvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields) {
        if (LooksLikeFormula(field)) {
            // An apostrophe in front makes the spreadsheet show the text as text.
            QString inner = field;
            inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
            quoted << QStringLiteral("\"'") + inner + QLatin1Char('"');
        } else if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
            || field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'))) {
            QString inner = field;
            inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
            quoted << QLatin1Char('"') + inner + QLatin1Char('"');
        } else {
            quoted << field;
        }
    }
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

int RunListCommand(const QStringList& args)
{
    try {
        const TListOptions options = ParseOptions(args);
        const QLocale locale = QLocale::system();
        const QString format = locale.dateFormat(QLocale::ShortFormat);

        TDbTable table;
        table.SetDatabaseFile(options.Database);
        table.SetTableName(ExpenseTableName);
        table.SetReadOnly(true);
        InstallJobDateKey(table, locale, format);
        if (options.Car) {
            table.SetFilter(CarFilterText(*options.Car));
            table.SetFiltered(true);
        } else if (options.From) {
            const QDate from = ReadDate(*options.From, locale, format);
            const QDate to = ReadDate(*options.To, locale, format);
            if (to < from)
                throw EUsage { QStringLiteral("the date range is invalid: --to is before --from") };
            table.SetFilter(DateRangeFilterText(locale.toString(from, format), locale.toString(to, format)));
            table.SetFiltered(true);
        }
        table.Open();
        if (options.SortColumn)
            table.SetSort(*options.SortColumn
                + (options.Descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));

        if (options.Total) {
            Write(stdout, QString::number(WalkTotal(table)) + QLatin1Char('\n'));
            return 0;
        }
        // The columns in the order of the exported log, not of the grid.
        const QStringList order { QStringLiteral("car"), QStringLiteral("partname"),
            QStringLiteral("jobdate"), QStringLiteral("mileage"), QStringLiteral("descr"),
            QStringLiteral("price") };
        std::vector<int> fields;
        for (const QString& name : order)
            fields.push_back(table.FieldByName(name).Index());
        QString csv = CsvLine(order);
        for (int row = 0; row < table.RecordCount(); ++row) {
            QStringList values;
            for (int field : fields)
                values << TDbField::DisplayText(table.ValueAt(row, field));
            csv += CsvLine(values);
        }
        Write(stdout, csv);
        std::fflush(stdout);
        return 0;
    } catch (const EUsage& usage) {
        Write(stderr, QStringLiteral("pelmora-tool list: %1\n").arg(usage.Message));
        std::fputs(ListUsage, stderr);
    } catch (const std::exception& error) {
        Write(stderr, QStringLiteral("pelmora-tool list: %1\n").arg(QString::fromUtf8(error.what())));
    }
    return 1;
}
