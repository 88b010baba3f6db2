// The window registry: how a menu entry or the query launcher opens a window by its
// class name without knowing the window's unit. Each window adds its line to
// registerWindows() (RegisterWindows.cpp); until then its entries do nothing.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Creates the single instance of the window when it has none (owned by `owner`), shows it and
// returns it; openSingle() of Ufm_Base.h does exactly this.
using WindowOpener = std::function<QWidget*(QWidget* owner)>;

// A later registration of the same class replaces the earlier one.
void registerWindow(const QString& className, WindowOpener opener);
void unregisterWindow(const QString& className);
bool isWindowRegistered(const QString& className);
// Opens the window of the class; nullptr when none is registered or its opening failed
// (the failure is shown in the error box).
QWidget* openWindow(const QString& className, QWidget* owner);

// Registers every window of the program; run once at start (and by tests).
void registerWindows();
