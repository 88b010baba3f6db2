#include "framework/Application.h"

#include "core/Prompts.h"
#include "core/UCustomDB.h"
#include "core/UDMMain.h"
#include "core/Ufm_command.h"
#include "desk/UF00_Main.h"
#include "framework/QtPrompts.h"
#include "framework/ShopApplication.h"
#include "framework/WindowRegistry.h"

#include <QDir>
#include <QFile>
#include <QPointer>

#include <cstdio>
#include <memory>

namespace {

bool haveDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runApplication(int argc, char** argv)
{
    if (!haveDisplay()) {
        std::fprintf(stderr, "租書系統 needs a graphical display, and none was found (DISPLAY is not set).\n"
                             "Start it under a virtual display instead, for example:\n"
                             "  xvfb-run -a build/bookrental\n");
        return 2;
    }
    // Without TZ the C library looks at /etc/localtime again on every local-time
    // conversion; naming it once makes reading stored moments several times faster.
    if (qEnvironmentVariableIsEmpty("TZ") && QFile::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
    ShopApplication app(argc, argv);
    QtPrompts prompts;
    Prompts::setHandler(&prompts);
    registerWindows();
    QApplication::setApplicationName(Prompts::kAppTitle);
    QApplication::setApplicationDisplayName(QString());
    const QStringList args = QApplication::arguments();
    const QString path = args.size() > 1 ? args.at(1) : QStringLiteral("BookDB.mdb");

    std::unique_ptr<TCustomerData> data;
    try {
        data = std::make_unique<TCustomerData>(path);
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        Prompts::msgBox(e.text(), Prompts::kAppTitle, QStringLiteral("Err"));
        Prompts::setHandler(nullptr);
        return 1;
    }
    if (data->created())
        Prompts::msgBox(QStringLiteral("已建立新的資料庫：\n%1").arg(QDir(path).absolutePath()), Prompts::kAppTitle,
                        QStringLiteral("Inf"));
    TDMMain dm;
    // The desk is the main window: closing it ends the program. It is deleted before the
    // holders it works on.
    QPointer<TF00_Main> desk;
    try {
        desk = new TF00_Main;
    } catch (const std::exception& e) {
        // The desk could not even start (its first statements failed): say why and end.
        std::fprintf(stderr, "%s\n", e.what());
        Prompts::msgBox(QString::fromUtf8(e.what()), Prompts::kAppTitle, QStringLiteral("Err"));
        Prompts::setHandler(nullptr);
        return 1;
    }
    QObject::connect(desk, &QObject::destroyed, &app, &QCoreApplication::quit);
    Tcommand cmd;
    desk->show();
    desk->activateWindow(); // the clerk types at once, also where no window manager hands out the focus
    const int rc = app.exec();
    delete desk.data();
    Prompts::setHandler(nullptr);
    return rc;
}
