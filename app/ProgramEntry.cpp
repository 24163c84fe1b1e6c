// Program entry: single-instance lock, application object and title, visual
// style, the main window (whose creation runs its bootstrap) and the hidden
// car-list editor, then the event loop.
// Invariants: a second copy ends before it creates any window; the lock is
// held until the process ends; the exit code is always 0.
#include "ProgramEntry.h"

#include "MessageBoxes.h"
#include "QtDialogService.h"
#include "Services.h"
#include "SingleInstanceLock.h"
#include "StyleManager.h"
#include "Unit1.h"
#include "Unit2.h"
#include "rpPreviewForm.h"
#include "rpPreviewPages.h"

#include <QApplication>
#include <QIcon>

int RunPelmora(int& argc, char** argv)
{
    TSingleInstanceLock instanceLock(ApplicationTitle);
    if (!instanceLock.TryAcquire())
        return 0; // another copy runs: leave without a trace

    QApplication application(argc, argv);
    QApplication::setApplicationName(ApplicationTitle);
    QApplication::setDesktopFileName(QStringLiteral("pelmora"));
    QIcon icon;
    for (const int size : { 48, 128, 256 })
        icon.addFile(QStringLiteral(":/icons/pelmora-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setQuitOnLastWindowClosed(true);

    TServices services = TServices::Real();
    rpRegisterPreviewPages();
    rpInstallPreview(services);
    RegisterPelmoraStyles();
    TStyleManager::TrySetStyle(QStringLiteral("Windows10"), *services.Dialogs);

    std::unique_ptr<TForm1> Form1 = TForm1::Create(services);
    // Message boxes belong to the main window from now on.
    if (auto* dialogs = dynamic_cast<TQtDialogService*>(services.Dialogs.get()))
        dialogs->SetParent(Form1.get());
    auto Form2 = std::make_unique<TForm2>(services, *Form1->ComboBox1, Form1->CarListPath());
    Form1->Form2 = Form2.get();
    Form2->setAttribute(Qt::WA_QuitOnClose, false); // closing the main window ends the program
    Form1->show();
    application.exec();
    return 0;
}
