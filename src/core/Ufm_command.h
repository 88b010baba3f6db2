// The utility holder: the keyed existence lookup and the system directory.
#pragma once

#include <QString>

class Tcommand {
public:
    Tcommand();
    ~Tcommand();

    // True when `table` has a row whose `field` equals `value`; on an engine
    // error shows "SQL查詢錯誤！" and returns false. Table and field come from
    // the program, never from the user.
    bool KeyExists(const QString& table, const QString& field, const QString& value);
    // The directory of the system's own programs, with a trailing separator.
    static QString SystemDir();
};

extern Tcommand* command;
