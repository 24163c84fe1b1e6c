#pragma once
// Facts about and actions on the program's own process, the desktop shell
// and the calendar, each behind a small interface with a real implementation
// and a test double.
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

// The environment variable that points the program at another directory
// than its own (tests use it so they never write next to the binaries).
inline constexpr const char* ProgramDirVariable = "PELMORA_PROGRAM_DIR";

class TProcessService {
public:
    virtual ~TProcessService() = default;
    // Ends the process at once with exit code 0: no destructors, nothing saved.
    virtual void TerminateSelf() = 0;
    // The program's directory with a trailing "/" (settings and car list live there).
    virtual QString ProgramDir() const = 0;
    // The user's documents folder with a trailing "/" (exported workbooks go there).
    virtual QString DocumentsDir() const = 0;
};

// Where the program keeps its settings file and car list: overridden when
// given, else applicationDir when the user may write there, else
// configDir/"Pelmora" (created when missing). An installed program's
// directory belongs to the system, so its files go to the user's
// configuration folder. The result ends with "/".
QString ResolveProgramDir(const QString& overridden, const QString& applicationDir, const QString& configDir);

class TRealProcessService : public TProcessService {
public:
    [[noreturn]] void TerminateSelf() override;
    // ResolveProgramDir of $PELMORA_PROGRAM_DIR, the executable's directory
    // and the user's configuration folder (~/.config).
    QString ProgramDir() const override;
    // The desktop's documents folder (created when missing), else the home folder.
    QString DocumentsDir() const override;
};

// Thrown by the test double's TerminateSelf so the caller's flow stops as it
// would with a real exit. Deliberately not a std::exception: the program's
// error handlers must not catch it.
struct ETerminateSelfCalled { };

class TFakeProcessService : public TProcessService {
public:
    // The documents folder is the program directory unless set.
    explicit TFakeProcessService(QString programDir)
        : FProgramDir(std::move(programDir))
    {
    }
    void TerminateSelf() override;
    QString ProgramDir() const override;
    QString DocumentsDir() const override;
    void SetDocumentsDir(QString dir) { FDocumentsDir = std::move(dir); }
    int TerminateCount() const { return FTerminateCount; }

private:
    QString FProgramDir;
    QString FDocumentsDir;
    int FTerminateCount = 0;
};

// Opening a document or web address with the desktop's default program.
class TShellService {
public:
    virtual ~TShellService() = default;
    // target: a web address or a local file path. False when nothing could open it.
    virtual bool OpenDocument(const QString& target) = 0;
};

class TRealShellService : public TShellService {
public:
    bool OpenDocument(const QString& target) override;
};

class TFakeShellService : public TShellService {
public:
    bool OpenDocument(const QString& target) override;
    const QStringList& Opened() const { return FOpened; }
    void SetResult(bool result) { FResult = result; }

private:
    QStringList FOpened;
    bool FResult = true;
};

// Today's date and the user's short date format.
class TCalendarService {
public:
    virtual ~TCalendarService() = default;
    virtual QDate Today() const = 0;
    virtual QLocale Locale() const = 0;
    // The user's short date format (e.g. "dd.MM.yyyy" in a Russian locale).
    QString ShortDateFormat() const { return Locale().dateFormat(QLocale::ShortFormat); }
    // date written with the short date format.
    QString FormatShortDate(QDate date) const { return Locale().toString(date, ShortDateFormat()); }
};

class TRealCalendarService : public TCalendarService {
public:
    QDate Today() const override { return QDate::currentDate(); }
    QLocale Locale() const override { return QLocale::system(); }
};

// Pins the date and the locale so expectations do not depend on the machine.
class TFixedCalendarService : public TCalendarService {
public:
    TFixedCalendarService(QDate today, QLocale locale)
        : FToday(today)
        , FLocale(std::move(locale))
    {
    }
    QDate Today() const override { return FToday; }
    QLocale Locale() const override { return FLocale; }
    void SetToday(QDate today) { FToday = today; }

private:
    QDate FToday;
    QLocale FLocale;
};
