// Registry of named visual styles. Invariant: a name is registered at most
// once (a later registration replaces the factory); lookups ignore letter case.
#include "StyleManager.h"

#include "MessageBoxes.h"
#include "Windows10Style.h"

#include <QApplication>
#include <QStyle>

#include <map>

namespace {

std::map<QString, TStyleManager::TStyleFactory>& Registry()
{
    static std::map<QString, TStyleManager::TStyleFactory> registry; // key: lower-case name
    return registry;
}

} // namespace

void TStyleManager::RegisterStyle(const QString& name, TStyleFactory factory)
{
    Registry()[name.toLower()] = std::move(factory);
}

bool TStyleManager::IsRegistered(const QString& name)
{
    return Registry().count(name.toLower()) != 0;
}

bool TStyleManager::TrySetStyle(const QString& name, TDialogService& dialogs, bool showErrorDialog)
{
    const auto found = Registry().find(name.toLower());
    if (found == Registry().end()) {
        if (showErrorDialog)
            ShowStyleNotFound(dialogs, name);
        return false;
    }
    // QApplication takes ownership of the style it is given.
    QApplication::setStyle(found->second().release());
    return true;
}

void RegisterPelmoraStyles()
{
    TStyleManager::RegisterStyle(QStringLiteral("Windows10"),
        [] { return std::unique_ptr<QStyle>(std::make_unique<TWindows10Style>()); });
}
