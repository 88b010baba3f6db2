// The window registry.
#include "framework/WindowRegistry.h"

#include "framework/ShopApplication.h"

#include <QHash>

namespace {

QHash<QString, WindowOpener>& openers()
{
    static QHash<QString, WindowOpener> table;
    return table;
}

} // namespace

void registerWindow(const QString& className, WindowOpener opener)
{
    openers().insert(className, std::move(opener));
}

void unregisterWindow(const QString& className)
{
    openers().remove(className);
}

bool isWindowRegistered(const QString& className)
{
    return openers().contains(className);
}

QWidget* openWindow(const QString& className, QWidget* owner)
{
    const auto it = openers().constFind(className);
    if (it == openers().constEnd() || !*it)
        return nullptr;
    QWidget* window = nullptr;
    const WindowOpener opener = *it; // the opener may register windows itself
    guarded([&] { window = opener(owner); });
    return window;
}
