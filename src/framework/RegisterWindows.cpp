// Every window that is opened by its class name, one line each:
//   registerWindow("TF11_FindBook", [](QWidget* owner) { return openSingle(F11_FindBook, owner); });
#include "framework/WindowRegistry.h"

#include "framework/UF00_FindChose.h"

void registerWindows()
{
    registerWindow(QStringLiteral("TF00_FindChose"), [](QWidget* owner) { return openSingle(F00_FindChose, owner); });
}
