// The record navigator: its buttons, what each does to the dataset, and when each is enabled.
#include "framework/DBNavigator.h"

#include "core/Prompts.h"
#include "framework/DataGuard.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct ButtonLook {
    DBNavigator::Button button;
    const char* name;
    const char* glyph;
    const char* tip;
};

const ButtonLook kLooks[] = {
    {DBNavigator::Button::First, "nbFirst", "|◀", "第一筆"},
    {DBNavigator::Button::Prior, "nbPrior", "◀", "上一筆"},
    {DBNavigator::Button::Next, "nbNext", "▶", "下一筆"},
    {DBNavigator::Button::Last, "nbLast", "▶|", "最後一筆"},
    {DBNavigator::Button::Insert, "nbInsert", "+", "新增"},
    {DBNavigator::Button::Delete, "nbDelete", "−", "刪除"},
    {DBNavigator::Button::Edit, "nbEdit", "▲", "修改"},
    {DBNavigator::Button::Post, "nbPost", "✔", "儲存"},
    {DBNavigator::Button::Cancel, "nbCancel", "✖", "取消"},
    {DBNavigator::Button::Refresh, "nbRefresh", "↻", "重新整理"},
};

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (const ButtonLook& look : kLooks) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(look.name));
        b->setText(QString::fromUtf8(look.glyph));
        b->setToolTip(QString::fromUtf8(look.tip));
        // The buttons never take the focus, so the field being typed in keeps it.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
        b->setMinimumWidth(28);
        const Button which = look.button;
        connect(b, &QToolButton::clicked, this, [this, which] { click(which); });
        row->addWidget(b);
        m_buttons.insert(int(look.button), b);
    }
    row->addStretch();
    setVisibleButtons({Button::First, Button::Prior, Button::Next, Button::Last, Button::Post, Button::Cancel,
                       Button::Refresh});
    updateButtons();
}

QList<DBNavigator::Button> DBNavigator::allButtons()
{
    QList<Button> all;
    for (const ButtonLook& look : kLooks)
        all << look.button;
    return all;
}

void DBNavigator::setDataset(Dataset* dataset)
{
    for (const auto& c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    m_dataset = dataset;
    if (dataset) {
        m_links << connect(dataset, &Dataset::stateChanged, this, &DBNavigator::updateButtons)
                << connect(dataset, &Dataset::currentChanged, this, &DBNavigator::updateButtons)
                << connect(dataset, &Dataset::rowsReset, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        it.value()->setVisible(buttons.contains(Button(it.key())));
}

void DBNavigator::updateButtons()
{
    Dataset* ds = m_dataset;
    const bool open = ds && ds->isOpen();
    const bool editing = open && ds->isEditing();
    const bool inserting = open && ds->state() == Dataset::State::Insert;
    const bool canModify = open && !ds->isReadOnly();
    const int count = open ? ds->recordCount() : 0;
    const int recNo = open ? ds->recNo() : 0;
    // On a new row every saved row lies "before" it, in both directions.
    const bool canBack = open && (inserting ? count > 0 : recNo > 1);
    const bool canForward = open && (inserting ? count > 0 : recNo >= 1 && recNo < count);
    auto set = [this](Button b, bool on) { m_buttons.value(int(b))->setEnabled(on); };
    set(Button::First, canBack);
    set(Button::Prior, canBack);
    set(Button::Next, canForward);
    set(Button::Last, canForward);
    set(Button::Insert, canModify && !inserting);
    set(Button::Delete, canModify && (inserting || recNo >= 1));
    set(Button::Edit, canModify && !editing && recNo >= 1);
    set(Button::Post, editing);
    set(Button::Cancel, editing);
    set(Button::Refresh, open && !editing);
}

void DBNavigator::click(Button b)
{
    Dataset* ds = m_dataset;
    if (!ds || !m_buttons.value(int(b))->isEnabled())
        return;
    const bool done = runDataStep([&] {
        switch (b) {
        case Button::First:
            ds->first();
            break;
        case Button::Prior:
            ds->prior();
            break;
        case Button::Next:
            ds->next();
            break;
        case Button::Last:
            ds->last();
            break;
        case Button::Insert:
            ds->append();
            break;
        case Button::Delete:
            if (ds->state() != Dataset::State::Insert && m_confirmDelete
                && Prompts::confirm(QStringLiteral("確定要刪除此筆記錄嗎？"), QStringLiteral("刪除"), Buttons::YesNo,
                                    QStringLiteral("Inf"))
                       != Answer::Yes)
                return;
            ds->remove(); // through the dataset, so its beforeDelete hook may refuse
            break;
        case Button::Edit:
            ds->edit();
            break;
        case Button::Post:
            ds->post();
            break;
        case Button::Cancel:
            ds->cancel();
            break;
        case Button::Refresh:
            ds->refresh();
            break;
        }
    });
    updateButtons();
    if (done)
        emit clicked(b);
}
