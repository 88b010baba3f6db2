// The guard around the steps of the data-bound controls.
#include "framework/DataGuard.h"

#include "core/Prompts.h"
#include "db/Database.h"

#include <exception>

bool runDataStep(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const Abort&) {
    } catch (const DbError& e) {
        Prompts::msgBox(e.text(), QStringLiteral("錯誤"), QStringLiteral("Err"));
    } catch (const std::exception& e) {
        Prompts::msgBox(QString::fromUtf8(e.what()), QStringLiteral("錯誤"), QStringLiteral("Err"));
    }
    return false;
}
