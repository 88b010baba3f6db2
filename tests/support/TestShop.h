// A fresh shop for one test: a new database file in a temporary folder with
// the holders of the program, a frozen clock and a prompt recorder.
#pragma once

#include "core/UCustomDB.h"
#include "core/UDMMain.h"
#include "core/Ufm_command.h"
#include "db/Clock.h"
#include "support/PromptRecorder.h"

#include <QTemporaryDir>

#include <memory>

class TestShop {
public:
    // The clock stands at 2026-03-10 10:00:00 unless a test moves it.
    explicit TestShop(const QDateTime& now = QDateTime(QDate(2026, 3, 10), QTime(10, 0)));
    ~TestShop();

    Database& db() { return data->dADOConnection1(); }
    QString path() const { return m_path; }
    QVariant scalar(const QString& sql, const Params& p = {}) { return db().scalar(sql, p); }
    qint64 count(const QString& table, const QString& where = QStringLiteral("1"), const Params& p = {});

    // Small fixture rows; unset columns take their defaults.
    void addGuest(const QString& code, const QString& name, double balance = 0, int limComic = 5);
    void addBook(const QString& code, const QString& name, int classNum, int costOld = 10, int overOld = 5,
                 int number = 1);
    // An open loan, rented `daysAgo` days ago at 09:00 and due `dueInDays` from today.
    qint64 addLoan(const QString& guest, const QString& book, int daysAgo, int dueInDays, int piece = 10,
                   const QString& state = QStringLiteral("RetB"));

    PromptRecorder prompts;
    std::unique_ptr<TCustomerData> data;
    std::unique_ptr<TDMMain> dm;
    std::unique_ptr<Tcommand> cmd;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
