// The application object of the windowed program and the general error report:
// an error that no handler caught ends the current command, its text is shown in
// the error box, and the program goes on.
#pragma once

#include <QApplication>

#include <functional>

class ShopApplication : public QApplication {
    Q_OBJECT
public:
    ShopApplication(int& argc, char** argv);

    // Delivers the event; an exception that escapes its handler is reported here and
    // never reaches Qt's event loop.
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs one command. An Abort ends it silently (a check already told the user why); an engine
// error or any other exception ends it and shows the error box. Returns true when the command
// ran to its end. What the command wrote before the error stays written.
bool guarded(const std::function<void()>& command);

// The error box of the general error report.
void reportError(const QString& text);

// Caption of the error box.
inline const QString kErrorCaption = QStringLiteral("錯誤");
