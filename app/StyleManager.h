// The visual styles the program knows by name, and the choice of one at
// start-up.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QStyle;
class TDialogService;

class TStyleManager {
public:
    using TStyleFactory = std::function<std::unique_ptr<QStyle>()>;

    // Makes a style available under a name; names compare without regard to case.
    static void RegisterStyle(const QString& name, TStyleFactory factory);
    static bool IsRegistered(const QString& name);
    // Puts the named style on the application. An unknown name leaves the
    // platform's look and, when asked, shows the style manager's error box.
    static bool TrySetStyle(const QString& name, TDialogService& dialogs, bool showErrorDialog = true);
};

// Registers the program's own styles ("Windows10").
void RegisterPelmoraStyles();
