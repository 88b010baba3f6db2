// The general error report around every event and every guarded command.
#include "framework/ShopApplication.h"

#include "core/Prompts.h"
#include "db/Database.h"

#include <cstdio>
#include <exception>

namespace {

// Keeps a failing error box from raising again inside the report.
void showSafely(const QString& text)
{
    try {
        reportError(text);
    } catch (...) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

} // namespace

ShopApplication::ShopApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ShopApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Abort&) {
    } catch (const DbError& e) {
        showSafely(e.text());
    } catch (const std::exception& e) {
        showSafely(QString::fromUtf8(e.what()));
    } catch (...) {
        showSafely(QStringLiteral("未知的錯誤"));
    }
    return false;
}

bool guarded(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const Abort&) {
    } catch (const DbError& e) {
        showSafely(e.text());
    } catch (const std::exception& e) {
        showSafely(QString::fromUtf8(e.what()));
    } catch (...) {
        showSafely(QStringLiteral("未知的錯誤"));
    }
    return false;
}

void reportError(const QString& text)
{
    Prompts::msgBox(text, kErrorCaption, QStringLiteral("Err"));
}
