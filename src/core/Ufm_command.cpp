#include "core/Ufm_command.h"

#include "core/Prompts.h"
#include "core/UCustomDB.h"

#include <QDir>

Tcommand* command = nullptr;

Tcommand::Tcommand() { command = this; }

Tcommand::~Tcommand()
{
    if (command == this)
        command = nullptr;
}

bool Tcommand::KeyExists(const QString& table, const QString& field, const QString& value)
{
    try {
        // A unary plus before the column would make SQLite compare without the
        // column's case-insensitive collation, so the column stands bare.
        Statement st(db(), QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + field
                               + QStringLiteral(" = :CODE"));
        st.bind({{"CODE", value}});
        return st.step();
    } catch (const DbError&) {
        Prompts::plain(QStringLiteral("SQL查詢錯誤！"));
        return false;
    }
}

QString Tcommand::SystemDir()
{
    QString dir = QStringLiteral("/usr/bin");
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
