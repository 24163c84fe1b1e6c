// The workbook server behind "Excel.Application": application, workbooks
// collection, workbook, worksheet and cell objects over libxlsxwriter.
//
// A workbook is created with one sheet "Sheet1" in constant-memory mode:
// each row goes to disk when a later row is started, so memory stays flat
// for any number of rows. Invariants of a workbook:
//   1. cells are written in row order; a row above the current one can no
//      longer be written and such a write fails instead of being lost;
//   2. a cell text is read once (TCellTextReader) and stored as a number, a
//      date cell in the short date format, or text;
//   3. it is handed over (written to its file and opened) at most once, when
//      the application becomes visible, and is read-only afterwards;
//   4. it is written under a hidden temporary name in the target folder and
//      gets its dated name only once it is complete, so a failed or dropped
//      workbook leaves no file behind, partial or empty;
//   5. a dated name is never taken twice: a second export of the day gets
//      " (2)", and an existing file is never replaced.
#include "WorkbookServer.h"

#include "CellTextReader.h"
#include "ProcessServices.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace {

constexpr int MaxRows = LXW_ROW_MAX;
constexpr int MaxColumns = LXW_COL_MAX;
constexpr qsizetype MaxCellText = 32767; // characters a cell can hold

QString LibraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

class TBook {
public:
    TBook(const QString& folder, const QLocale& locale, QDate date)
        : FReader(locale)
        , FFolder(folder)
        , FDate(date)
    {
        // Reserve a unique hidden name; the library writes the workbook over it.
        QTemporaryFile placeholder(QDir(folder).filePath(QStringLiteral(".Pelmora-XXXXXX.xlsx.part")));
        placeholder.setAutoRemove(false);
        if (!placeholder.open())
            throw EAutomationError(QStringLiteral("Cannot create a workbook file in \"%1\". %2")
                                       .arg(QDir(folder).absolutePath(), placeholder.errorString()));
        FPath = placeholder.fileName();
        placeholder.close();

        const QByteArray path = QFile::encodeName(FPath);
        // The library's own scratch files are unnamed and go with the process.
        QByteArray tmpdir = QFile::encodeName(QDir::tempPath());
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir.data();
        FBook = workbook_new_opt(path.constData(), &options);
        FSheet = FBook ? workbook_add_worksheet(FBook, nullptr) : nullptr;
        FDateFormat = FBook ? workbook_add_format(FBook) : nullptr;
        if (!FSheet || !FDateFormat) {
            Drop();
            throw EAutomationError(QStringLiteral("Cannot create a workbook"));
        }
        format_set_num_format(FDateFormat, FReader.DateFormat().toUtf8().constData());
    }
    ~TBook() { Drop(); }
    TBook(const TBook&) = delete;
    TBook& operator=(const TBook&) = delete;

    const QString& Path() const { return FPath; }
    bool HandedOver() const { return FHandedOver; }

    // row and column count from 1.
    void Write(int row, int column, const Variant& value)
    {
        if (!FBook)
            throw EAutomationError(QStringLiteral("The workbook \"%1\" is closed").arg(FPath));
        if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
            throw EAutomationError(QStringLiteral("Cell (%1, %2) is outside the sheet").arg(row).arg(column));
        if (row < FLastRow)
            throw EAutomationError(
                QStringLiteral("Row %1 can no longer be written: row %2 was started").arg(row).arg(FLastRow));
        FLastRow = row;
        const lxw_row_t r = lxw_row_t(row - 1);
        const lxw_col_t c = lxw_col_t(column - 1);
        lxw_error error = LXW_NO_ERROR;
        if (value.VarKind() == Variant::vkBoolean) {
            error = worksheet_write_boolean(FSheet, r, c, value.AsBoolean(), nullptr);
        } else if (value.IsNumber()) {
            error = worksheet_write_number(FSheet, r, c, value.AsDouble(), nullptr);
        } else {
            const QString text = value.AsString();
            const TCellReading reading = FReader.Read(text);
            if (reading.Kind == TCellReading::TKind::Number) {
                error = worksheet_write_number(FSheet, r, c, reading.Number, nullptr);
            } else if (reading.Kind == TCellReading::TKind::Date) {
                lxw_datetime date { reading.Date.year(), reading.Date.month(), reading.Date.day(), 0, 0, 0 };
                error = worksheet_write_datetime(FSheet, r, c, &date, FDateFormat);
            } else if (!text.isEmpty()) {
                if (text.size() > MaxCellText)
                    throw EAutomationError(QStringLiteral(
                        "Cell (%1, %2): a text longer than %3 characters does not fit in a cell")
                                               .arg(row)
                                               .arg(column)
                                               .arg(MaxCellText));
                error = worksheet_write_string(FSheet, r, c, text.toUtf8().constData(), nullptr);
            }
            // Empty text leaves the cell empty.
        }
        if (error != LXW_NO_ERROR)
            throw EAutomationError(QStringLiteral("Cell (%1, %2) cannot be written: %3")
                                       .arg(row)
                                       .arg(column)
                                       .arg(LibraryError(error)));
    }

    // Writes the file and gives it its dated name; the workbook is
    // read-only afterwards. A failure removes what was written.
    void Save()
    {
        lxw_workbook* book = std::exchange(FBook, nullptr);
        FHandedOver = true;
        if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR) {
            QFile::remove(FPath);
            throw EAutomationError(QStringLiteral("Cannot write the workbook \"%1\": %2")
                                       .arg(QDir::toNativeSeparators(DatedName(1)), LibraryError(error)));
        }
        for (int copy = 1;; ++copy) {
            const QString target = DatedName(copy);
            // Never over an existing file; QFile::rename refuses one.
            if (QFile::rename(FPath, target)) {
                FPath = target;
                return;
            }
            if (!QFileInfo::exists(target) || copy == MaxCopies) {
                QFile::remove(FPath);
                throw EAutomationError(QStringLiteral("Cannot write the workbook \"%1\".")
                                           .arg(QDir::toNativeSeparators(target)));
            }
        }
    }

private:
    static constexpr int MaxCopies = 1000;

    // "Pelmora 2024-03-15.xlsx", then "Pelmora 2024-03-15 (2).xlsx" and so on.
    QString DatedName(int copy) const
    {
        QString name = QStringLiteral("Pelmora ") + FDate.toString(Qt::ISODate);
        if (copy > 1)
            name += QStringLiteral(" (%1)").arg(copy);
        return QDir(FFolder).filePath(name + QStringLiteral(".xlsx"));
    }

    void Drop()
    {
        if (FBook)
            lxw_workbook_free(std::exchange(FBook, nullptr));
        if (!FHandedOver && !FPath.isEmpty())
            QFile::remove(FPath);
    }

    TCellTextReader FReader;
    QString FFolder;
    QDate FDate;
    QString FPath;
    lxw_workbook* FBook = nullptr;
    lxw_worksheet* FSheet = nullptr; // owned by FBook
    lxw_format* FDateFormat = nullptr; // owned by FBook
    int FLastRow = 1;
    bool FHandedOver = false;
};

using TBookRef = std::shared_ptr<TBook>;

class TCellObject : public TAutomationObject {
public:
    TCellObject(TBookRef book, int row, int column)
        : FBook(std::move(book))
        , FRow(row)
        , FColumn(column)
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        if (name != QLatin1String("value") || kind != TInvokeKind::PropertyPut)
            UnknownMember(name);
        CheckArgCount(name, args, 1);
        FBook->Write(FRow, FColumn, args[0]);
        return nullptr;
    }

private:
    TBookRef FBook;
    int FRow, FColumn;
};

class TSheetObject : public TAutomationObject {
public:
    explicit TSheetObject(TBookRef book)
        : FBook(std::move(book))
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        if (name != QLatin1String("cells") || kind == TInvokeKind::PropertyPut)
            UnknownMember(name);
        CheckArgCount(name, args, 2);
        return std::make_shared<TCellObject>(FBook, IntegerArg(args, 0), IntegerArg(args, 1));
    }

private:
    TBookRef FBook;
};

class TBookObject : public TAutomationObject {
public:
    explicit TBookObject(TBookRef book)
        : FBook(std::move(book))
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        if (name != QLatin1String("worksheets") || kind == TInvokeKind::PropertyPut)
            UnknownMember(name);
        CheckArgCount(name, args, 1);
        if (IntegerArg(args, 0) != 1) // a new workbook has one sheet
            throw EAutomationError(QStringLiteral("Invalid index"));
        return std::make_shared<TSheetObject>(FBook);
    }

private:
    TBookRef FBook;
};

// The state the application and its workbooks collection share.
struct TApplicationState {
    TShellService& Shell;
    QLocale Locale;
    QString Folder;
    QDate Date;
    std::vector<TBookRef> Books;
};

class TBooksObject : public TAutomationObject {
public:
    explicit TBooksObject(std::shared_ptr<TApplicationState> state)
        : FState(std::move(state))
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        if (name != QLatin1String("add") || kind != TInvokeKind::Method)
            UnknownMember(name);
        CheckArgCount(name, args, 0);
        FState->Books.push_back(std::make_shared<TBook>(FState->Folder, FState->Locale, FState->Date));
        return std::make_shared<TBookObject>(FState->Books.back());
    }

private:
    std::shared_ptr<TApplicationState> FState;
};

class TApplicationObject : public TAutomationObject {
public:
    explicit TApplicationObject(std::shared_ptr<TApplicationState> state)
        : FState(std::move(state))
    {
    }

protected:
    TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) override
    {
        if (name == QLatin1String("workbooks") && kind != TInvokeKind::PropertyPut) {
            if (args.isEmpty())
                return std::make_shared<TBooksObject>(FState);
            CheckArgCount(name, args, 1);
            const int index = IntegerArg(args, 0);
            if (index < 1 || index > int(FState->Books.size()))
                throw EAutomationError(QStringLiteral("Invalid index"));
            return std::make_shared<TBookObject>(FState->Books[size_t(index - 1)]);
        }
        if (name == QLatin1String("visible") && kind == TInvokeKind::PropertyPut) {
            CheckArgCount(name, args, 1);
            if (args[0].AsBoolean())
                ShowBooks();
            return nullptr;
        }
        UnknownMember(name);
    }

private:
    void ShowBooks()
    {
        for (const TBookRef& book : FState->Books) {
            if (book->HandedOver())
                continue;
            book->Save();
            if (!FState->Shell.OpenDocument(book->Path()))
                throw EAutomationError(QStringLiteral("No program could be found to open the workbook. "
                                                      "It has been saved as \"%1\".")
                                           .arg(QDir::toNativeSeparators(book->Path())));
        }
    }

    std::shared_ptr<TApplicationState> FState;
};

} // namespace

TAutomationRef CreateWorkbookApplication(
    TShellService& shell, const QLocale& locale, const QString& folder, QDate date)
{
    return std::make_shared<TApplicationObject>(
        std::make_shared<TApplicationState>(TApplicationState { shell, locale, folder, date, {} }));
}

void RegisterWorkbookServer(TAutomationServers& servers, TShellService& shell, const QLocale& locale,
    const QString& folder, QDate date)
{
    servers.Register(WorkbookProgId,
        [&shell, locale, folder, date] { return CreateWorkbookApplication(shell, locale, folder, date); });
}
