// The list command of pelmora-tool. It opens the expense table as the main
// window does (job dates compared as dates, the filter texts of the filter
// row, the sort texts of a title click) and prints the rows in the table's
// order, or only the total as the window's total box would show it.
// Invariants: nothing is written to the database; every failure ends with a
// message on standard error and exit status 1, never with partial output
// presented as success (the CSV is built whole before it is written).
#include "ListCommand.h"

#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "ExpenseQuery.h"
#include "PelmoraError.h"
#include "ViewOptions.h"

#include <cstdio>

namespace {

const char* const ListUsage = "usage: pelmora-tool list DATABASE [--car NAME | --from DATE --to DATE] "
                              "[--sort COLUMN [--desc]] [--total]\n";

void Write(FILE* out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

} // namespace

QString CsvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields) {
        if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
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
        const TViewOptions options = ParseViewOptions(args, true);
        TDbTable table;
        OpenView(table, options);

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
