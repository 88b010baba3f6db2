// Generated shops: a small demo shop for newcomers to try, and a large one for
// measuring the desk. Both are made by playing out months or years of visits,
// so every counter, balance and daily figure agrees with the ledgers.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace DemoShop {

struct Options {
    std::uint64_t seed = 20260310;
    bool large = false; // a catalogue made up from word pools instead of the hand-picked one
    int guests = 40;
    int books = 0;         // large only: number of books (volumes) to make up
    int days = 182;        // days of history, ending yesterday
    int benchGuests = 1;   // customers left with exactly 10 open loans: B00001, B00002, ...
    double activity = 1.0; // scales how often customers come
};

// The two sizes of the tool: `demoshop PATH` and `demoshop --large PATH`.
Options demo();
Options large();

struct Summary {
    qint64 guests = 0, books = 0, loans = 0, openLoans = 0, overdueLoans = 0, journal = 0, days = 0, shifts = 0,
           reservations = 0;
    qint64 guestsWithTenOrMore = 0; // customers holding 10 or more books
    QStringList benchGuests;        // each holds exactly 10 open loans
    QStringList benchLoans;         // barcodes the first of them holds
    QStringList shelfBooks;         // barcodes with a copy on the shelf, held by none of them, not reserved
    QStringList idleGuests;         // open accounts without a loan out
    QStringList passwordGuests;     // "code/password" of customers asked for a password
    QString closedGuest;            // a closed account
    QStringList hints;              // things a newcomer may want to know
    qint64 msecs = 0;
};

// Makes a new shop at `path` and fills it. Refuses (DbError, nothing touched)
// when anything exists at `path`; a shop left half-made by a failure is removed.
Summary create(const QString& path, const Options& options);

} // namespace DemoShop
