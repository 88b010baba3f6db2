// The manual-amount dialog: typed money, proposed points, and the confirmation.
#include "customers/UF03_PayKeyIn.h"

#include "customers/Payments.h"
#include "framework/OkCancelButtons.h"
#include "framework/RoundedCorners.h"
#include "framework/ShopApplication.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

TF03_PayKeyIn* F03_PayKeyIn = nullptr;

QLineEdit* newWholeNumberBox(const QString& objectName, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    // Nine digits at most: more than the journal takes is still typed whole, and refused
    // with a message when booked, instead of being cut or wrapped.
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), box));
    box->setAlignment(Qt::AlignRight);
    return box;
}

qint64 wholeNumberOf(const QLineEdit* box)
{
    return box->text().toLongLong();
}

namespace {

// A focus change that the user made inside the window, not one from switching windows or a popup.
bool leftByUser(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TF03_PayKeyIn::TF03_PayKeyIn(QWidget* owner) : Tfm_Base(owner)
{
    setObjectName(QStringLiteral("F03_PayKeyIn"));
    setWindowTitle(QStringLiteral("   自行輸入金額"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto* grid = new QGridLayout(surface());
    grid->setContentsMargins(24, 20, 24, 16);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    edtMoney = newWholeNumberBox(QStringLiteral("edtMoney"), surface());
    edtPiece = newWholeNumberBox(QStringLiteral("edtPiece"), surface());
    grid->addWidget(new QLabel(QStringLiteral("金額："), surface()), 0, 0, Qt::AlignRight);
    grid->addWidget(edtMoney, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("產生點數："), surface()), 1, 0, Qt::AlignRight);
    grid->addWidget(edtPiece, 1, 1);

    QHBoxLayout* buttons = makeOkCancelRow(surface(), btnOK, btnCancel);
    // Enter on a focused button presses it, as in a dialog.
    btnOK->setAutoDefault(true);
    btnCancel->setAutoDefault(true);
    grid->addLayout(buttons, 2, 0, 1, 2);

    setTabOrder(edtMoney, edtPiece);
    setTabOrder(edtPiece, btnOK);
    setTabOrder(btnOK, btnCancel);
    setKeyNavigation(KeyNav::Enter);
    edtMoney->installEventFilter(this);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { emit confirmed(wholeNumberOf(edtMoney), wholeNumberOf(edtPiece)); });
    connect(btnCancel, &QPushButton::clicked, this, &TF03_PayKeyIn::exitWindow);
    resize(300, 160);
    keepRoundedCorners(this);
}

void TF03_PayKeyIn::proposePoints()
{
    if (edtMoney->text().isEmpty())
        return;
    const qint64 amount = wholeNumberOf(edtMoney);
    if (const auto rate = Payments::coveringRate(amount))
        edtPiece->setText(QString::number(Payments::proposedPoints(amount, *rate)));
}

bool TF03_PayKeyIn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtMoney && event->type() == QEvent::FocusOut && leftByUser(event))
        guarded([this] { proposePoints(); });
    return Tfm_Base::eventFilter(watched, event);
}

void TF03_PayKeyIn::showEvent(QShowEvent* event)
{
    Tfm_Base::showEvent(event);
    edtMoney->setFocus(Qt::OtherFocusReason);
}

