// The price adjustment window. It follows its line by the loan's key, so a desk
// that moved on (another row, a reset, another customer) is never adjusted by it.
#include "desk/UF00_SetMoney.h"

#include "db/Database.h"
#include "desk/DeskSession.h"
#include "framework/DatasetModel.h"
#include "framework/OkCancelButtons.h"
#include "framework/RoundedCorners.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TF00_SetMoney* F00_SetMoney = nullptr;

namespace {

QVariant cell(const Dataset& d, int recNo, const char* field)
{
    return d.valueAt(recNo, d.fieldIndex(QLatin1String(field)));
}

} // namespace

TF00_SetMoney::TF00_SetMoney(QWidget* owner, DeskSession* session, int recNo) : Tfm_Base(owner), m_session(session)
{
    setObjectName(QStringLiteral("F00_SetMoney"));
    setWindowTitle(QStringLiteral("    調價"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    const Dataset& lines = session->qryBook();
    m_idno = cell(lines, recNo, "idno").toLongLong();

    labCode = new QLabel(cell(lines, recNo, "Book_Code").toString(), surface());
    labCode->setObjectName(QStringLiteral("labCode"));
    labName = new QLabel(cell(lines, recNo, "Name").toString(), surface());
    labName->setObjectName(QStringLiteral("labName"));
    QFont title = labName->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    labName->setFont(title);
    labVol = new QLabel(cell(lines, recNo, "Vol").toString(), surface());
    labVol->setObjectName(QStringLiteral("labVol"));
    edtPiece = new QLineEdit(cell(lines, recNo, "piece").toString(), surface());
    edtPiece->setObjectName(QStringLiteral("edtPiece"));
    edtPiece->setValidator(new QIntValidator(0, 32767, edtPiece));
    edtIDate = new QDateEdit(dbDate(cell(lines, recNo, "IDate")), surface());
    edtIDate->setObjectName(QStringLiteral("edtIDate"));
    edtIDate->setDisplayFormat(kShownDateFormat);
    MonthCalendar1 = new QCalendarWidget(surface());
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setSelectedDate(edtIDate->date());
    QHBoxLayout* buttons = makeOkCancelRow(surface(), btnOK, btnCancel);

    auto* fields = new QGridLayout;
    const std::pair<QString, QWidget*> rows[] = {
        {QStringLiteral("代碼："), labCode},   {QStringLiteral("書名："), labName},
        {QStringLiteral("集數："), labVol},    {QStringLiteral("價格："), edtPiece},
        {QStringLiteral("還書日："), edtIDate},
    };
    int r = 0;
    for (const auto& [text, w] : rows) {
        fields->addWidget(new QLabel(text, surface()), r, 0, Qt::AlignRight);
        fields->addWidget(w, r++, 1);
    }
    fields->setRowStretch(r, 1);
    auto* layout = new QGridLayout(surface());
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(fields, 0, 0);
    layout->addWidget(MonthCalendar1, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);

    connect(MonthCalendar1, &QCalendarWidget::clicked, edtIDate, &QDateEdit::setDate);
    connect(btnOK, &QPushButton::clicked, this, &TF00_SetMoney::Ok);
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(session, &DeskSession::changed, this, &TF00_SetMoney::followDesk);
    edtPiece->installEventFilter(this);
    edtIDate->installEventFilter(this);

    adjustSize();
    keepRoundedCorners(this);
    edtPiece->setFocus();
    edtPiece->selectAll();
}

int TF00_SetMoney::rowOfLoan() const
{
    const Dataset& lines = m_session->qryBook();
    if (!m_session->customerOpen() || !lines.isOpen() || m_idno == 0)
        return 0;
    for (int r = 1; r <= lines.recordCount(); ++r)
        if (cell(lines, r, "idno").toLongLong() == m_idno)
            return r;
    return 0;
}

// The line went away (settled, reset, another customer): nothing is left to adjust.
void TF00_SetMoney::followDesk()
{
    if (isVisible() && rowOfLoan() == 0)
        close();
}

void TF00_SetMoney::Ok()
{
    const int recNo = rowOfLoan();
    if (recNo == 0) {
        close();
        return;
    }
    const QString price = edtPiece->text().trimmed();
    if (m_session->SetLinePrice(recNo, price.isEmpty() ? QVariant(0) : QVariant(price), edtIDate->date()))
        close();
}

bool TF00_SetMoney::eventFilter(QObject* watched, QEvent* event)
{
    // Releasing Enter in the price or the date box acts as OK.
    if (event->type() == QEvent::FocusOut && watched == edtPiece && edtPiece->text().isEmpty())
        edtPiece->setText(QStringLiteral("0")); // an empty price is no price: 0
    if (event->type() == QEvent::KeyRelease && (watched == edtPiece || watched == edtIDate)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            Ok();
            return true;
        }
    }
    return Tfm_Base::eventFilter(watched, event);
}
