// The data grid and its model over real tables: lazy reading of a large table,
// columns, bands and kinds, colours, editing in place, sorting, incremental
// search, and the current row following the dataset both ways.
#include "framework/DBGrid.h"
#include "support/TestShop.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void modelPassesTheTester();
    void largeTableIsReadAsNeeded();
    void columnsCaptionsBandsAndFixedBand();
    void formatNumber_data();
    void formatNumber();
    void cellTextByKind_data();
    void cellTextByKind();
    void coloursChosenAtPaintTime();
    void editInPlaceWritesTheTable();
    void editorsRefuseWhatTheFieldCannotHold();
    void readOnlyCellsActivateTheRow();
    void headerClickSorts_data();
    void headerClickSorts();
    void incrementalSearch();
    void currentRowFollowsBothWays();
    void refusedMoveKeepsTheEditedRow();
    void newRowIsAnExtraLastRow();
    void tabAndArrowsMoveBetweenCells();
};

namespace {

// Five customers in code order; 張 and 陳 have negative balances.
void fiveGuests(TestShop& shop)
{
    shop.db().exec("DELETE FROM Guest"); // without the shop's own account
    shop.addGuest("G001", "王小明", 1500);
    shop.addGuest("G002", "張大同", -200);
    shop.addGuest("G003", "李美玲", 0);
    shop.addGuest("G004", "陳志強", -1234567);
    shop.addGuest("G005", "王大為", 300);
    shop.db().exec("UPDATE Guest SET SEX = '男' WHERE GuestCode IN ('G001', 'G004')");
    shop.db().exec("UPDATE Guest SET SEX = '女', IsClose = 1 WHERE GuestCode = 'G003'");
    shop.db().exec("UPDATE Guest SET Birthday = '1990-05-06 00:00:00' WHERE GuestCode = 'G001'");
}

const ValueItems kSex = {{"n", "Unknown (未知)"}, {"男", "男"}, {"女", "女"}};

struct GridFixture {
    explicit GridFixture(TestShop& shop, const QString& table = "Guest") : ds(shop.db())
    {
        ds.setTable(table);
        ds.open();
        grid.resize(700, 300);
        grid.setDataset(&ds);
    }
    void show()
    {
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }
    QModelIndex cell(int row, const QString& field) const
    {
        return grid.datasetModel()->index(row, grid.datasetModel()->columnOf(field));
    }
    Dataset ds;
    DBGrid grid;
};

// Types text as key presses; QTest::keyClicks takes Latin-1 only.
void type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

// Enter in a cell editor; the grid takes the value over on the next turn of the event loop.
void commit(QWidget* editor)
{
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void clickHeader(QHeaderView* header, int section)
{
    const QPoint p(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                   header->height() - 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, p);
}

} // namespace

void TestGrid::modelPassesTheTester()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode", "代碼");
    f.grid.addColumn("Name", "姓名");
    f.grid.addColumn("SEX", "性別").lookup(kSex);
    f.grid.addColumn("IsClose", "關閉");
    QAbstractItemModelTester tester(f.grid.datasetModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Every change the dataset announces keeps the model consistent.
    f.ds.moveTo(2);
    f.ds.setValue("Name", "改名");
    f.ds.post();
    f.ds.append();
    f.ds.setValue("GuestCode", "G006");
    f.ds.post();
    f.ds.append();
    f.ds.cancel();
    f.ds.moveTo(1);
    f.ds.remove();
    f.ds.sortBy("Name", Qt::DescendingOrder);
    f.ds.refresh();
    f.ds.close();
    f.ds.open();
    QCOMPARE(f.grid.model()->rowCount(), 5);
}

void TestGrid::largeTableIsReadAsNeeded()
{
    TestShop shop;
    shop.db().execScript("CREATE TABLE Big (Code TEXT, Name TEXT, Amount NUMBER);"
                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                         "INSERT INTO Big SELECT printf('B%06d', i), 'Name ' || i, i FROM n;");
    GridFixture f(shop, "Big");
    f.grid.addColumn("Code", "條碼");
    f.grid.addColumn("Name", "名稱");
    f.grid.addColumn("Amount", "金額").money();
    f.show();
    QCOMPARE(f.grid.model()->rowCount(), 200000);

    // Paging down, jumping to the end and to the middle reads only the rows shown (and their blocks).
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&f.grid, Qt::Key_PageDown);
    f.ds.last();
    QCoreApplication::processEvents();
    f.grid.verticalScrollBar()->setValue(f.grid.verticalScrollBar()->maximum() / 2);
    f.grid.viewport()->repaint();
    QCOMPARE(f.grid.currentIndex().row(), 199999);
    QCOMPARE(f.grid.datasetModel()->displayText(199999, 2), QStringLiteral("NT$200,000"));
    QVERIFY2(f.ds.rowsFetched() < 2000, qPrintable(QString::number(f.ds.rowsFetched())));

    // Sorting and searching go through the engine, not through every row.
    f.grid.sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(f.ds.text("Code"), QStringLiteral("B200000"));
    QCOMPARE(f.ds.recNo(), 1);
    f.grid.setCurrentField("Code");
    QTest::keyClicks(&f.grid, "B1000");
    QCOMPARE(f.ds.text("Code"), QStringLiteral("B100099"));
    QVERIFY2(f.ds.rowsFetched() < 4000, qPrintable(QString::number(f.ds.rowsFetched())));
}

void TestGrid::columnsCaptionsBandsAndFixedBand()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    QCOMPARE(f.grid.model()->columnCount(), f.ds.fieldCount()); // no columns declared: every field
    QCOMPARE(f.grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("GuestCode"));
    DBGrid plain; // the same captions without bands
    plain.addColumn("GuestCode", "代碼");
    plain.addColumn("Name", "姓名");
    const int plainHeight = plain.horizontalHeader()->sizeHint().height();

    f.grid.addColumn("GuestCode", "代碼").band("客戶");
    f.grid.addColumn("Name", "姓名").band("客戶");
    f.grid.addColumn("TEL").band("基本資料");
    f.grid.addColumn("Password").band("基本資料").hide();
    f.grid.addColumn("Leave_Mon", "現存").money().band("基本資料");
    f.grid.hideColumns({"NO", "Class"});
    f.grid.setFixedFirstBand(true);
    f.show();

    QCOMPARE(f.grid.model()->columnCount(), 7);
    QCOMPARE(f.grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("代碼"));
    QCOMPARE(f.grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("TEL")); // own name
    QVERIFY(f.grid.isColumnHidden(3));
    QVERIFY(f.grid.isColumnHidden(5) && f.grid.isColumnHidden(6));
    QCOMPARE(f.grid.bands(), QStringList({"客戶", "基本資料"}));
    QCOMPARE(f.grid.horizontalHeader()->sizeHint().height(), 2 * plainHeight); // the band row on top

    // The fixed band shows its own columns only, as wide as they are in the grid, and follows the rows.
    QTableView* fixed = f.grid.fixedView();
    QVERIFY(fixed && fixed->isVisible());
    QVERIFY(!fixed->isColumnHidden(0) && !fixed->isColumnHidden(1) && fixed->isColumnHidden(2));
    QCOMPARE(fixed->width(), f.grid.columnWidth(0) + f.grid.columnWidth(1));
    f.ds.moveTo(4);
    QCOMPARE(fixed->currentIndex().row(), 3);

    // The visible columns fill the grid's width.
    int total = 0;
    for (int i = 0; i < f.grid.model()->columnCount(); ++i)
        total += f.grid.isColumnHidden(i) ? 0 : f.grid.columnWidth(i);
    QCOMPARE(total, f.grid.viewport()->width());

    // A column changed later shows at once.
    f.grid.column("TEL")->hide();
    QVERIFY(f.grid.isColumnHidden(2));
}

void TestGrid::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    const QString money = "NT$,0;-NT$,0";
    QTest::newRow("money thousands") << 1234567.0 << money << "NT$1,234,567";
    QTest::newRow("money negative") << -1500.0 << money << "-NT$1,500";
    QTest::newRow("money zero") << 0.0 << money << "NT$0";
    QTest::newRow("money small") << 999.0 << money << "NT$999";
    QTest::newRow("money rounds half up") << 2.5 << money << "NT$3";
    QTest::newRow("negative rounding to zero") << -0.4 << money << "NT$0";
    QTest::newRow("one section, negative") << -5.0 << "NT$,0" << "-NT$5";
    QTest::newRow("two decimals") << 1234.5 << ",0.00" << "1,234.50";
    QTest::newRow("optional decimals") << 1234.5 << "#,##0.##" << "1,234.5";
    QTest::newRow("zero section") << 0.0 << "0;(0);無" << "無";
    QTest::newRow("negative section") << -12.0 << "0;(0);無" << "(12)";
    QTest::newRow("quoted literal") << 7.0 << "0' 本'" << "7 本";
    QTest::newRow("no format") << 12.0 << "" << "12";
}

void TestGrid::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(::formatNumber(value, format), shown);
}

void TestGrid::cellTextByKind_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::newRow("money") << "Leave_Mon" << 0 << "NT$1,500";
    QTest::newRow("money negative") << "Leave_Mon" << 3 << "-NT$1,234,567";
    QTest::newRow("lookup") << "SEX" << 0 << "男";
    QTest::newRow("lookup of n") << "SEX" << 1 << "Unknown (未知)";
    QTest::newRow("date without time") << "Birthday" << 0 << "1990/05/06";
    QTest::newRow("empty date") << "Birthday" << 1 << "";
    QTest::newRow("check on") << "IsClose" << 2 << "✓";
    QTest::newRow("calculated") << "Label" << 1 << "G002:張大同";
}

void TestGrid::cellTextByKind()
{
    QFETCH(QString, field);
    QFETCH(int, row);
    QFETCH(QString, shown);
    TestShop shop;
    fiveGuests(shop);
    Dataset ds(shop.db());
    ds.setSql("SELECT * FROM Guest ORDER BY GuestCode");
    ds.addCalcField("Label");
    ds.onCalcField = [](const Dataset& d, int recNo, const QString&) {
        return d.valueAt(recNo, d.fieldIndex("GuestCode")).toString() + ":"
               + d.valueAt(recNo, d.fieldIndex("Name")).toString();
    };
    ds.open();
    DBGrid grid;
    grid.addColumn("Leave_Mon", "現存").money();
    grid.addColumn("SEX", "性別").lookup({{"n", "Unknown (未知)", QIcon()}, {"男", "男"}, {"女", "女"}});
    grid.addColumn("Birthday", "生日"); // a date column by the field's type
    grid.addColumn("IsClose", "關閉");  // a check mark by the field's type
    grid.addColumn("Label", "標示");
    grid.setDataset(&ds);
    const int col = grid.datasetModel()->columnOf(field);
    QCOMPARE(grid.datasetModel()->displayText(row, col), shown);
    if (field == "IsClose")
        QCOMPARE(grid.model()->index(row, col).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void TestGrid::coloursChosenAtPaintTime()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name").tint(QColor("lightyellow"));
    f.grid.addColumn("Leave_Mon").money();
    int calls = 0;
    // A row colour by the row (the second row), and red text for a negative balance cell only.
    f.grid.onCellBackground([&](int recNo, const QString&) {
        ++calls;
        return recNo == 2 ? QColor("palegreen") : QColor();
    });
    f.grid.onCellText([&](int recNo, const QString& field) {
        return field == "Leave_Mon" && f.ds.valueAt(recNo, f.ds.fieldIndex("Leave_Mon")).toDouble() < 0 ? QColor(Qt::red)
                                                                                                        : QColor();
    });
    auto* m = f.grid.model();
    QCOMPARE(m->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor("palegreen"));
    QCOMPARE(m->index(1, 1).data(Qt::BackgroundRole).value<QColor>(), QColor("palegreen")); // callback wins
    QCOMPARE(m->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor("lightyellow"));
    QVERIFY(!m->index(0, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(m->index(1, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QVERIFY(!m->index(1, 1).data(Qt::ForegroundRole).isValid());
    QVERIFY(!m->index(0, 2).data(Qt::ForegroundRole).isValid());

    // Colours follow the data when it changes, since they are asked for at paint time.
    f.ds.moveTo(1);
    f.ds.setValue("Leave_Mon", -1);
    QCOMPARE(m->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    f.show();
    QVERIFY(calls > 0);
}

void TestGrid::editInPlaceWritesTheTable()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.grid.addColumn("Leave_Mon").money();
    f.grid.addColumn("IsClose");
    f.grid.addColumn("SEX").lookup(kSex);
    f.show();
    f.grid.setFocus();

    // Enter opens the editor, typing replaces the text, Enter closes it; the dataset holds the edit.
    f.ds.moveTo(2);
    f.grid.setCurrentField("Name");
    QTest::keyClick(&f.grid, Qt::Key_Return);
    QVERIFY(f.grid.isEditingCell());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    type(editor, "新名字");
    commit(editor);
    QCOMPARE(f.ds.state(), Dataset::State::Edit);
    QCOMPARE(f.ds.text("Name"), QStringLiteral("新名字"));

    // A money cell edits the plain number; Space toggles a check mark.
    f.grid.setCurrentField("Leave_Mon");
    QTest::keyClick(&f.grid, Qt::Key_Return);
    editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("-200"));
    editor->selectAll();
    QTest::keyClicks(editor, "-50");
    commit(editor);
    f.grid.setCurrentField("IsClose");
    QTest::keyClick(&f.grid, Qt::Key_Space);
    QCOMPARE(f.ds.integer("IsClose"), 1);

    // Leaving the row posts it.
    QTest::keyClick(&f.grid, Qt::Key_Down);
    QCOMPARE(f.ds.state(), Dataset::State::Browse);
    QCOMPARE(f.ds.recNo(), 3);
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G002'").toString(), QStringLiteral("新名字"));
    QCOMPARE(shop.scalar("SELECT Leave_Mon FROM Guest WHERE GuestCode = 'G002'").toInt(), -50);
    QCOMPARE(shop.scalar("SELECT IsClose FROM Guest WHERE GuestCode = 'G002'").toInt(), 1);

    // A lookup cell is edited by choosing a shown text; the stored value is written.
    QVERIFY(f.grid.model()->setData(f.cell(2, "SEX"), "女"));
    f.ds.post();
    QCOMPARE(shop.scalar("SELECT SEX FROM Guest WHERE GuestCode = 'G003'").toString(), QStringLiteral("女"));
    QCOMPARE(f.grid.datasetModel()->displayText(2, f.grid.datasetModel()->columnOf("SEX")), QStringLiteral("女"));
}

void TestGrid::editorsRefuseWhatTheFieldCannotHold()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Pay_Num");
    f.show();
    f.grid.setFocus();
    f.grid.setCurrentField("Pay_Num");
    QTest::keyClick(&f.grid, Qt::Key_Return);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->clear();
    QTest::keyClicks(editor, "1x2.5");
    QCOMPARE(editor->text(), QStringLiteral("125")); // a whole-number field takes digits only
    commit(editor);
    QCOMPARE(f.ds.integer("Pay_Num"), 125);

    // A text longer than the column is cut as it is typed.
    f.grid.setCurrentField("GuestCode");
    QTest::keyClick(&f.grid, Qt::Key_Return);
    editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), 20);
    QTest::keyClick(editor, Qt::Key_Escape);

    // Set through the model, a text in a number column is refused and nothing is written.
    QVERIFY(!f.grid.model()->setData(f.cell(0, "Pay_Num"), "abc"));
    QCOMPARE(f.ds.integer("Pay_Num"), 125);
}

void TestGrid::readOnlyCellsActivateTheRow()
{
    TestShop shop;
    fiveGuests(shop);
    Dataset ds(shop.db());
    ds.setSql("SELECT GuestCode, Name FROM Guest ORDER BY GuestCode");
    ds.open();
    DBGrid grid;
    grid.setDataset(&ds);
    grid.setRowSelect(true);
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy activated(&grid, &DBGrid::rowActivated);

    ds.moveTo(3);
    QVERIFY(!(grid.model()->flags(grid.currentIndex()) & Qt::ItemIsEditable));
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.takeFirst().at(0).toInt(), 3);
    QVERIFY(grid.selectionModel()->isRowSelected(2, {}));

    const QRect r = grid.visualRect(grid.model()->index(1, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.takeFirst().at(0).toInt(), 2);
    QCOMPARE(ds.recNo(), 2);
    QVERIFY(!grid.isEditingCell());

    // A grid that the window made read-only does the same over an editable table.
    Dataset table(shop.db());
    table.setTable("Guest");
    table.open();
    grid.setDataset(&table);
    grid.setEditable(false);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(table.state(), Dataset::State::Browse);
}

void TestGrid::headerClickSorts_data()
{
    QTest::addColumn<bool>("table");
    QTest::newRow("table dataset") << true;
    QTest::newRow("statement dataset") << false;
}

void TestGrid::headerClickSorts()
{
    QFETCH(bool, table);
    TestShop shop;
    fiveGuests(shop);
    Dataset ds(shop.db());
    if (table)
        ds.setTable("Guest");
    else
        ds.setSql("SELECT GuestCode, Name, Leave_Mon FROM Guest");
    ds.open();
    DBGrid grid;
    grid.addColumn("GuestCode");
    grid.addColumn("Name");
    grid.addColumn("Leave_Mon").money();
    grid.setDataset(&ds);
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    ds.moveTo(2); // G002, balance -200

    auto codes = [&] {
        QStringList out;
        for (int r = 0; r < grid.model()->rowCount(); ++r)
            out << grid.model()->index(r, 0).data().toString();
        return out;
    };
    clickHeader(grid.horizontalHeader(), 2);
    QCOMPARE(codes(), QStringList({"G004", "G002", "G003", "G005", "G001"}));
    QCOMPARE(ds.text("GuestCode"), QStringLiteral("G002")); // the same row stays current
    QCOMPARE(grid.currentIndex().row(), 1);
    QVERIFY(grid.horizontalHeader()->isSortIndicatorShown());

    clickHeader(grid.horizontalHeader(), 2);
    QCOMPARE(codes(), QStringList({"G001", "G005", "G003", "G002", "G004"}));
    QCOMPARE(grid.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    // The order holds through a refresh.
    ds.refresh();
    QCOMPARE(codes().first(), QStringLiteral("G001"));
    QCOMPARE(ds.text("GuestCode"), QStringLiteral("G002"));

    // The grid can be told not to sort.
    grid.setSortable(false);
    clickHeader(grid.horizontalHeader(), 0);
    QCOMPARE(codes().first(), QStringLiteral("G001"));
}

void TestGrid::incrementalSearch()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.grid.addColumn("SEX").lookup(kSex);
    f.show();
    f.grid.setFocus();
    f.grid.setCurrentField("Name");

    type(&f.grid, "王");
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G001"));
    type(&f.grid, "大"); // "王大" goes on to the next row that matches
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G005"));
    QCOMPARE(f.grid.searchText(), QStringLiteral("王大"));

    // A letter that matches nothing beeps and keeps the row and the text found so far.
    QTest::keyClicks(&f.grid, "X");
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G005"));
    QCOMPARE(f.grid.searchText(), QStringLiteral("王大"));
    QCOMPARE(shop.prompts.beeps(), 1);

    // Another column starts afresh, and a lookup column is searched by the text it shows.
    f.ds.first();
    f.grid.setCurrentField("SEX");
    QTest::keyClicks(&f.grid, "unk");
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G002"));

    // The search also works where the text holds characters that a pattern would take as wildcards.
    f.ds.moveTo(3);
    f.ds.setValue("Name", "50%_off");
    f.ds.post();
    f.grid.setCurrentField("Name");
    QTest::qWait(1600); // a pause starts a new search
    QTest::keyClicks(&f.grid, "50%_");
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G003"));
}

void TestGrid::currentRowFollowsBothWays()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.show();

    f.ds.moveTo(4);
    QCOMPARE(f.grid.currentIndex().row(), 3);
    f.ds.first();
    QCOMPARE(f.grid.currentIndex().row(), 0);

    const QRect r = f.grid.visualRect(f.grid.model()->index(2, 1));
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(f.ds.recNo(), 3);
    QCOMPARE(f.grid.currentField(), QStringLiteral("Name"));

    // A header click never moves the row.
    clickHeader(f.grid.horizontalHeader(), 1);
    QCOMPARE(f.ds.text("GuestCode"), QStringLiteral("G003"));
}

void TestGrid::refusedMoveKeepsTheEditedRow()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.show();
    f.ds.beforePost = [&](Dataset& d) {
        if (d.text("Name").isEmpty()) {
            Prompts::msgBox("請輸入名稱！", "空白的錯誤", "Waning");
            throw Abort();
        }
    };
    f.ds.moveTo(2);
    f.ds.setValue("Name", QVariant());

    const QRect r = f.grid.visualRect(f.grid.model()->index(4, 0));
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, r.center());
    QCoreApplication::processEvents();
    QCOMPARE(shop.prompts.last().text, QStringLiteral("請輸入名稱！"));
    QCOMPARE(shop.prompts.shown().size(), 1); // the check's message only, no second box
    QCOMPARE(f.ds.recNo(), 2);
    QCOMPARE(f.ds.state(), Dataset::State::Edit);
    QCOMPARE(f.grid.currentIndex().row(), 1);

    // An engine error on the move is shown in the error box, and the grid stays usable.
    f.ds.setValue("Name", "有名");
    shop.db().failNextStatementContaining("UPDATE");
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, r.center());
    QCoreApplication::processEvents();
    QCOMPARE(shop.prompts.last().kind, QStringLiteral("Err"));
    QCOMPARE(f.ds.recNo(), 2);
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(f.ds.recNo(), 5);
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G002'").toString(), QStringLiteral("有名"));
}

void TestGrid::newRowIsAnExtraLastRow()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.show();
    auto* m = f.grid.datasetModel();

    f.ds.append();
    QCOMPARE(m->rowCount(), 6);
    QCOMPARE(m->recNoOfRow(5), -1);
    QCOMPARE(m->headerData(5, Qt::Vertical).toString(), QStringLiteral("*"));
    QCOMPARE(f.grid.currentIndex().row(), 5);
    QVERIFY(m->setData(m->index(5, 0), "G006"));
    QCOMPARE(m->index(5, 0).data().toString(), QStringLiteral("G006"));

    f.ds.cancel();
    QCOMPARE(m->rowCount(), 5);
    QCOMPARE(shop.count("Guest"), 5);

    f.ds.append();
    m->setData(m->index(5, 0), "G006");
    m->setData(m->index(5, 1), "新客");
    f.ds.post();
    QCOMPARE(m->rowCount(), 6);
    QCOMPARE(m->recNoOfRow(5), 6);
    QCOMPARE(shop.scalar("SELECT Name FROM Guest WHERE GuestCode = 'G006'").toString(), QStringLiteral("新客"));
}

void TestGrid::tabAndArrowsMoveBetweenCells()
{
    TestShop shop;
    fiveGuests(shop);
    GridFixture f(shop);
    f.grid.addColumn("GuestCode");
    f.grid.addColumn("Name");
    f.grid.addColumn("TEL");
    f.show();
    f.grid.setFocus();
    f.grid.setCurrentField("GuestCode");

    QTest::keyClick(&f.grid, Qt::Key_Tab);
    QCOMPARE(f.grid.currentField(), QStringLiteral("Name"));
    QTest::keyClick(&f.grid, Qt::Key_Tab);
    QTest::keyClick(&f.grid, Qt::Key_Tab); // past the last cell: the next row's first
    QCOMPARE(f.grid.currentField(), QStringLiteral("GuestCode"));
    QCOMPARE(f.ds.recNo(), 2);
    QTest::keyClick(&f.grid, Qt::Key_Right);
    QTest::keyClick(&f.grid, Qt::Key_Down);
    QCOMPARE(f.grid.currentField(), QStringLiteral("Name"));
    QCOMPARE(f.ds.recNo(), 3);
    QTest::keyClick(&f.grid, Qt::Key_Up);
    QCOMPARE(f.ds.recNo(), 2);
}

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
