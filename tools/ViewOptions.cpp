// Command-line filters and sort of pelmora-tool, applied through the same
// filter texts, job-date key and sort texts as the main window.
#include "ViewOptions.h"

#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "ExpenseGridModel.h"
#include "ExpenseQuery.h"

#include <QDate>
#include <QLocale>

namespace {

QDate ReadDate(const QString& text, const QLocale& locale, const QString& format)
{
    const QDate date = locale.toDate(text, format);
    if (!date.isValid())
        throw EUsage { QStringLiteral("'%1' is not a date in the short date format %2").arg(text, format) };
    return date;
}

} // namespace

TViewOptions ParseViewOptions(const QStringList& args, bool AllowTotal)
{
    TViewOptions options;
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
        else if (AllowTotal && arg == QLatin1String("--total"))
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

void OpenView(TDbTable& Table, const TViewOptions& Options)
{
    const QLocale locale = QLocale::system();
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    Table.SetDatabaseFile(Options.Database);
    Table.SetTableName(ExpenseTableName);
    InstallJobDateKey(Table, locale, format);
    if (Options.Car) {
        Table.SetFilter(CarFilterText(*Options.Car));
        Table.SetFiltered(true);
    } else if (Options.From) {
        const QDate from = ReadDate(*Options.From, locale, format);
        const QDate to = ReadDate(*Options.To, locale, format);
        if (to < from)
            throw EUsage { QStringLiteral("the date range is invalid: --to is before --from") };
        Table.SetFilter(DateRangeFilterText(locale.toString(from, format), locale.toString(to, format)));
        Table.SetFiltered(true);
    }
    Table.Open();
    if (Options.SortColumn)
        Table.SetSort(
            *Options.SortColumn + (Options.Descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
}
