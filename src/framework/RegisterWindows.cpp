// Every window that is opened by its class name, one line each:
//   registerWindow("TF11_FindBook", [](QWidget* owner) { return openSingle(F11_FindBook, owner); });
#include "framework/WindowRegistry.h"

#include "customers/UF01_NewGuest.h"
#include "customers/UF03_PayRtMoney.h"
#include "customers/UF11_FindGuest.h"
#include "customers/UF83_advancePay.h"
#include "framework/UF00_FindChose.h"

void registerWindows()
{
    registerWindow(QStringLiteral("TF00_FindChose"), [](QWidget* owner) { return openSingle(F00_FindChose, owner); });
    registerWindow(QStringLiteral("TF83_advancePay"), [](QWidget* owner) { return openSingle(F83_advancePay, owner); });
    registerWindow(QStringLiteral("TF03_PayRtMoney"), [](QWidget* owner) { return openSingle(F03_PayRtMoney, owner); });
    registerWindow(QStringLiteral("TF01_NewGuest"), [](QWidget* owner) { return TF01_NewGuest::OpenForNew(owner); });
    registerWindow(QStringLiteral("TF11_FindGuest"), [](QWidget* owner) { return openSingle(F11_FindGuest, owner); });
}
