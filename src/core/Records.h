// The in-memory records that the desk and the shared routines pass around:
// a book or desk line, the desk's list of lines, the open customer with the
// visit's running totals, and the per-category count of pending rentals.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

struct TBook {
    QString Name, Vol, Author, Publish, Index;
    QString Code;
    qint32 idno = 0;
    qint32 Class_Num = 0;
    qint32 Money = 0;
    qint32 Cost_New = 0, Cost_Old = 0, Cost_In = 0;
    qint32 Over_New = 0, Over_Old = 0;
    qint32 piece = 0;
    qint32 Fee = 0;
    qint32 FineRate = 0;
    qint16 Brrow_Total = 0, Spec_Day = 0, New_Day = 0, Sub_Day = 0, RetNum = 0, Number = 0;
    qint16 OverDays = 0;
    bool Over_18 = false, END = false;
    QDateTime RDate;
    QDate IDate;
    std::uint8_t State = 0;
    std::uint8_t Reserved = 0;
};

// Element 0 is a placeholder; lines are 1..size()-1, in the order of the lines grid.
using TBookAry = std::vector<TBook>;

struct TGuest {
    QString GuestCode, Name, Papers, Email;
    QString ADDR, PS, Password;
    double Leave_Mon = 0;
    QDate Birthday;
    qint32 Tot_Cost = 0, Tot_OverDate = 0;
    qint16 Lim_Comic = 0, Lim_Fiction = 0, Lim_Magazine = 0, Lim_CD = 0, Lim_OTH = 0, Lim_New = 0;
    qint32 RentTotal = 0; // running rent of the open visit
    qint32 OverTotal = 0; // running overdue fines of the open visit
};

// 40 slots of (category digit, count); digit 0 marks an empty slot, and the
// used slots are a prefix, in order of first appearance.
struct CategorySlot {
    std::uint8_t digit = 0;
    std::uint8_t count = 0;
};
using CategoryCounts = std::array<CategorySlot, 40>;
