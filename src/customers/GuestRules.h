// The rules behind the customer windows, without a widget: the defaults of a new
// customer, the check before a customer row is saved, the age shown beside the
// birthday, the password confirmation, and the statements of the customer search.
#pragma once

#include "db/Dataset.h"

#include <QDate>
#include <QString>

namespace GuestRules {

// Loans and reservations hold customer codes of this length: a longer code could never rent.
inline constexpr int kMaxCodeLength = 10;

// Fills the defaults of a row just appended to a Guest table dataset.
void fillNewRow(Dataset& guest);

// Before every save of a Guest row: a missing, too long or already used code is shown
// to the user and the save abandoned (Abort); the row stays in edit.
void checkBeforePost(Dataset& guest);

// Whole years between the birthday and today followed by "歲"; empty without a birthday.
QString ageText(const QDate& birthday, const QDate& today);

// What the password field does once its confirmation is over.
struct PasswordVerdict {
    bool restore = false; // write the old password back
    bool refocus = false; // put the focus back into the field
};
// The focus leaves the password field holding `typed`; `old` was there when it took the focus.
// Asks the confirmation and shows the messages through Prompts.
PasswordVerdict leavePassword(const QString& typed, const QString& old);

} // namespace GuestRules

namespace GuestSearch {

enum class Field { Name, Code, IdNumber, Phone };

// A where clause over Guest with its parameters and order, for Dataset::setTable.
struct Filter {
    QString where;
    QString orderBy; // empty: the table's own order
    Params params;
};

// The customers whose chosen field begins with the literal text `value` (a quote, "%" or "_"
// in it is matched as itself), never the shop's own account; closed accounts only when asked.
// An empty value gives the starting list: every open account but the shop's own, by code.
Filter search(Field field, const QString& value, bool includeClosed);
// Every open account, the shop's own included, by code.
Filter allOpen();

// The loan history of the customer bound as :code, newest rental first; with onlyOut the
// rows in state "RetB" alone. Columns: those of Rent_Back, those of BookDetail and "Book.Vol".
QString historySql(bool onlyOut);

// `value` as a LIKE pattern matching it literally as a prefix (escape character "\").
QString likePrefix(const QString& value);

} // namespace GuestSearch
