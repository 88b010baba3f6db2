// Helpers of the desk tests: a shop with a desk on it, the line of a barcode,
// a dump of every table, and the ledger check that follows each settlement.
#pragma once

#include "db/Schema.h"
#include "desk/DeskRules.h"
#include "desk/DeskSession.h"
#include "support/TestShop.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

struct DeskFixture {
    TestShop shop;
    std::unique_ptr<DeskSession> desk;

    void start() { desk = std::make_unique<DeskSession>(shop.db()); }

    // The line (index = grid row) of a barcode, 0 when none.
    int line(const QString& code) const
    {
        const TBookAry& l = desk->lines();
        for (size_t i = 1; i < l.size(); ++i)
            if (l[i].Code.compare(code, Qt::CaseInsensitive) == 0)
                return int(i);
        return 0;
    }
    int state(const QString& code) const
    {
        const int i = line(code);
        return i ? desk->lines()[size_t(i)].State : 0;
    }

    // Every row of every table, in key order: equal dumps mean an unchanged database.
    QString dump()
    {
        QString out;
        for (const Schema::Table& t : Schema::tables()) {
            Statement st(shop.db(), QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t.name));
            st.bind({});
            out += t.name + QLatin1Char('\n');
            while (st.step()) {
                for (int i = 0; i < st.columnCount(); ++i)
                    out += st.value(i).toString() + QLatin1Char('|');
                out += QLatin1Char('\n');
            }
        }
        return out;
    }

    double balance(const QString& guest)
    {
        return shop.scalar(QStringLiteral("SELECT Leave_Mon FROM Guest WHERE GuestCode = :g"), {{"g", guest}})
            .toDouble();
    }
    qint64 journalSince(qint64 lastNo)
    {
        return shop
            .scalar(QStringLiteral("SELECT COALESCE(SUM(piece), 0) FROM GuestCost WHERE NO > :n"), {{"n", lastNo}})
            .toLongLong();
    }
    qint64 lastJournalNo()
    {
        return shop.scalar(QStringLiteral("SELECT COALESCE(MAX(NO), 0) FROM GuestCost")).toLongLong();
    }

    // Settles with an empty entry and checks the ledger rule: the balance fell
    // by exactly what the journal charged, and by what the desk showed.
    void settleChecked()
    {
        const QString guest = desk->guest().GuestCode;
        const qint64 shown = desk->guest().RentTotal + desk->guest().OverTotal;
        const double before = balance(guest);
        const qint64 lastNo = lastJournalNo();
        desk->SubmitInput(QString());
        QCOMPARE(desk->mode(), int(DeskSession::ModeWaiting));
        const qint64 journaled = journalSince(lastNo);
        QCOMPARE(before - balance(guest), double(-journaled));
        QCOMPARE(-journaled, shown);
    }
};
