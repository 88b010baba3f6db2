#include "framework/Application.h"

#include "core/Prompts.h"
#include "core/UCustomDB.h"
#include "core/UDMMain.h"
#include "core/Ufm_command.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMessageBox>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(Prompts::kAppTitle);
    QApplication::setApplicationDisplayName(QString());
    const QStringList args = QApplication::arguments();
    const QString path = args.size() > 1 ? args.at(1) : QStringLiteral("BookDB.mdb");

    std::unique_ptr<TCustomerData> data;
    try {
        data = std::make_unique<TCustomerData>(path);
    } catch (const DbError& e) {
        QMessageBox::critical(nullptr, Prompts::kAppTitle, e.text());
        return 1;
    }
    if (data->created())
        QMessageBox::information(nullptr, Prompts::kAppTitle,
                                 QStringLiteral("已建立新的資料庫：\n%1").arg(QDir(path).absolutePath()));
    TDMMain dm;
    QMainWindow desk;
    desk.setWindowTitle(QStringLiteral("租書系統"));
    desk.resize(1024, 700);
    Tcommand cmd;
    desk.show();
    return app.exec();
}
