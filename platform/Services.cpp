// Construction of the real service bundle and of its test doubles.
// Invariant: every member of a TServices is set.
#include "Services.h"
#include "QtDialogService.h"

TServices TServices::Real()
{
    TServices s;
    s.Dialogs = std::make_unique<TQtDialogService>();
    s.Process = std::make_unique<TRealProcessService>();
    s.Shell = std::make_unique<TRealShellService>();
    s.Calendar = std::make_unique<TRealCalendarService>();
    return s;
}

TTestServices::TTestServices(const QString& programDir, QDate today, QLocale locale)
{
    auto dialogs = std::make_unique<TFakeDialogService>();
    auto process = std::make_unique<TFakeProcessService>(programDir);
    auto shell = std::make_unique<TFakeShellService>();
    auto calendar = std::make_unique<TFixedCalendarService>(today, std::move(locale));
    Dialogs = dialogs.get();
    Process = process.get();
    Shell = shell.get();
    Calendar = calendar.get();
    Services.Dialogs = std::move(dialogs);
    Services.Process = std::move(process);
    Services.Shell = std::move(shell);
    Services.Calendar = std::move(calendar);
}
