#pragma once
// The platform services a window needs, passed to it as one object instead of
// process-wide singletons. Real() gives the program's; TTestServices gives
// doubles that a test can inspect.
#include "DialogService.h"
#include "FakeDialogService.h"
#include "ProcessServices.h"
#include <memory>

struct TServices {
    std::unique_ptr<TDialogService> Dialogs;
    std::unique_ptr<TProcessService> Process;
    std::unique_ptr<TShellService> Shell;
    std::unique_ptr<TCalendarService> Calendar;

    // Qt dialogs, _exit, xdg-open, the system clock and locale.
    static TServices Real();
};

// Doubles with typed access. The Services member owns them; the pointers
// stay valid as long as this object lives.
struct TTestServices {
    // programDir: where the program's files go; today and locale pin the calendar.
    TTestServices(const QString& programDir, QDate today = QDate(2024, 3, 15),
        QLocale locale = QLocale(QLocale::Russian, QLocale::Russia));

    TServices Services;
    TFakeDialogService* Dialogs;
    TFakeProcessService* Process;
    TFakeShellService* Shell;
    TFixedCalendarService* Calendar;
};
