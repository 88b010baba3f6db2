// Shared routines: the one insert of the money journal, the book loader, and
// the per-category counters with the first-digit rule and the rental limit.
#pragma once

#include "core/Records.h"

#include <QDateTime>
#include <QString>

class Dataset;

class TDMMain {
public:
    TDMMain();
    ~TDMMain();

    // Appends one journal row; on failure shows the plain message with the
    // statement and returns false.
    bool SetGuestCost(const QString& GuestCode, const QString& Mode, const QString& TranCode, const QString& Worker,
                      qint32 Cost, qint32 Piece, const QDateTime& CostDate);
    // The same insert for callers that must not go on without the row (inside a
    // transaction): throws the engine's error, returns the new row's NO.
    qint64 appendGuestCost(const QString& GuestCode, const QString& Mode, const QString& TranCode,
                           const QString& Worker, qint32 Cost, qint32 Piece, const QDateTime& CostDate);

    static TBook LoadBook(const Dataset& book);

    static int FirstDigit(qint32 n);
    static void ClearCounts(CategoryCounts& counts);
    static void AddCount(CategoryCounts& counts, qint32 classNum);
    static int CountOf(const CategoryCounts& counts, int digit);
    static void RecountRentals(const TBookAry& lines, CategoryCounts& counts);
    static bool ExceedsLimit(const TBook& book, const TGuest& guest, const CategoryCounts& counts);
    // The customer's limit column for a category digit.
    static int LimitOf(const TGuest& guest, int digit);

    static const QString kInsertGuestCost;
};

extern TDMMain* DMMain;
