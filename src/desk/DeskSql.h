// The desk's statements. Each one is served by an index: the lines by
// (Guest_CODE, flgRet), books by the unique Code, today's rows by RDate, loan
// rows by idno; every value comes in as a parameter.
#pragma once

#include <QString>

namespace DeskSql {

// The columns of a lines row: the loan, its book (the book's Vol) and whether
// the book has a reservation row.
inline QString lineColumns()
{
    return QStringLiteral("R.idno, R.Guest_CODE, R.Book_Code, B.Name, B.Vol, R.piece, R.RDate, R.IDate, R.BDate, "
                          "R.InStudy, R.flgRet, R.Bstate, R.OverMoney, B.Code, B.Author, B.Publish, B.Class_Num, "
                          "B.Money, B.Cost_New, B.Cost_Old, B.Cost_In, B.Over_New, B.Over_Old, B.Over_18, B.\"END\", "
                          "B.Brrow_Total, B.Spec_Day, B.New_Day, B.Sub_Day, B.RetNum, B.Number, B.\"Index\", "
                          "EXISTS (SELECT 1 FROM SubBook S WHERE S.BookCode = B.Code) AS Reserved");
}

// The open loans of a customer, the visit's new rentals among them (the key
// last, so rows made in the same second keep one order).
inline QString customerLines()
{
    return QStringLiteral("SELECT ") + lineColumns() +
           QStringLiteral(" FROM Rent_Back R INNER JOIN BookDetail B ON R.Book_Code=B.Code"
                          " WHERE R.flgRet=0 AND R.Guest_CODE = :Guest_CODE"
                          " ORDER BY R.RDate,B.Name,R.Vol,R.Book_Code,R.idno");
}

// Today's in-store rows (the bounds of the day as :Today and :Tomorrow).
inline QString todayReadings()
{
    return QStringLiteral("SELECT ") + lineColumns() +
           QStringLiteral(" FROM Rent_Back R INNER JOIN BookDetail B ON R.Book_Code=B.Code"
                          " WHERE R.RDate >= :Today AND R.RDate < :Tomorrow AND R.InStudy = 1"
                          " ORDER BY R.RDate,B.Name,R.Vol,R.Book_Code,R.idno");
}

inline QString todayInStoreTotal()
{
    return QStringLiteral("SELECT COALESCE(SUM(piece), 0) AS InTotal FROM Rent_Back "
                          "WHERE RDate >= :Today AND RDate < :Tomorrow AND InStudy = 1");
}

// A book the desk may lend: the whole barcode, without regard to case, not scrapped.
inline QString findBook()
{
    return QStringLiteral("SELECT * FROM BookDetail WHERE Code = :CODE AND nullify = 0");
}

inline QString holdersOfBook()
{
    return QStringLiteral("SELECT DISTINCT Guest_CODE FROM Rent_Back WHERE Book_Code = :BookCode AND flgRet = 0");
}

inline QString guestsHoldingBook()
{
    return QStringLiteral("SELECT * FROM Guest WHERE GuestCode IN "
                          "(SELECT Guest_CODE FROM Rent_Back WHERE Book_Code = :BookCode AND flgRet = 0) "
                          "ORDER BY GuestCode");
}

inline QString insertRental()
{
    return QStringLiteral("INSERT INTO Rent_Back (Guest_Code,Book_Code,RDate,IDate,New,piece,BDate,flgRet,InStudy,"
                          "BState,WorkManCode) VALUES (:Guest,:BookCode,:RDate,:IDate,'否',:piece,NULL,0,0,'Ret',"
                          ":Worker)");
}

} // namespace DeskSql
