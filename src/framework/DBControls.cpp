// The bound edit controls and the link that ties each to its field.
#include "framework/DBControls.h"

#include "db/Schema.h"
#include "framework/DataGuard.h"

#include <QRegularExpressionValidator>

#include <cmath>

namespace {

bool truthy(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString() == QLatin1String("1") || v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return v.toLongLong() != 0;
}

QString plainNumber(const QVariant& v)
{
    if (v.isNull())
        return {};
    const double d = v.toDouble();
    if (d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

// The stored number for a typed text: whole numbers stay whole.
QVariant numberOf(const QString& text)
{
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok)
        return n;
    const double d = text.toDouble(&ok);
    return ok ? QVariant(d) : QVariant();
}

int textSizeOf(const Dataset* ds, const QString& field)
{
    if (!ds || !ds->isTableMode())
        return 0;
    if (const Schema::Table* t = Schema::table(ds->table())) {
        for (const Schema::Column& c : t->columns) {
            if (c.type == Schema::Type::Text && c.name.compare(field, Qt::CaseInsensitive) == 0)
                return c.size;
        }
    }
    return 0;
}

} // namespace

// --- link ---------------------------------------------------------------

FieldLink::FieldLink(QWidget*, std::function<void()> load, std::function<void(bool)> applyReadOnly)
    : m_load(std::move(load)), m_applyReadOnly(std::move(applyReadOnly))
{
}

void FieldLink::bind(Dataset* dataset, const QString& field)
{
    for (const auto& c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    m_dataset = dataset;
    m_field = field;
    if (dataset) {
        m_links << connect(dataset, &Dataset::currentChanged, this, &FieldLink::reload)
                << connect(dataset, &Dataset::rowsReset, this, &FieldLink::reload)
                << connect(dataset, &Dataset::stateChanged, this, &FieldLink::reload)
                << connect(dataset, &Dataset::rowChanged, this, &FieldLink::onRowChanged);
    }
    reload();
}

void FieldLink::setReadOnly(bool on)
{
    m_readOnly = on;
    reload();
}

bool FieldLink::canEdit() const
{
    if (m_readOnly || !m_dataset || !m_dataset->isOpen() || m_dataset->isReadOnly() || m_dataset->recNo() == 0)
        return false;
    const int f = m_dataset->fieldIndex(m_field);
    return f >= 0 && !m_dataset->isCalcField(f);
}

QVariant FieldLink::value() const
{
    if (!m_dataset || !m_dataset->isOpen() || m_dataset->recNo() == 0 || !m_dataset->hasField(m_field))
        return {};
    try {
        return m_dataset->value(m_field);
    } catch (...) {
        return {};
    }
}

bool FieldLink::write(const QVariant& value)
{
    if (!canEdit()) {
        reload();
        return false;
    }
    Dataset* ds = m_dataset;
    m_writing = true;
    const bool done = runDataStep([&] { ds->setValue(m_field, value); });
    m_writing = false;
    if (!done)
        reload();
    return done;
}

void FieldLink::reload()
{
    if (m_writing)
        return;
    if (m_applyReadOnly)
        m_applyReadOnly(!canEdit());
    if (m_load)
        m_load();
}

void FieldLink::onRowChanged(int recNo)
{
    if (m_dataset && recNo == m_dataset->recNo())
        reload();
}

// --- text -----------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent), m_link(this, [this] { load(); }, [this](bool ro) { QLineEdit::setReadOnly(ro); })
{
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_link.write(t.isEmpty() ? QVariant() : QVariant(t)); });
}

DBEdit& DBEdit::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    if (const int size = textSizeOf(dataset, field))
        setMaxLength(size);
    return *this;
}

DBEdit& DBEdit::setMasked(bool masked)
{
    setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    // One "*" per character, whatever the style's own mask character is.
    setStyleSheet(masked ? QStringLiteral("lineedit-password-character: 42;") : QString());
    return *this;
}

DBEdit& DBEdit::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBEdit::load()
{
    const QString t = m_link.value().toString();
    if (t != text()) {
        setText(t);
        if (!hasFocus())
            setCursorPosition(0); // a text longer than the box shows its beginning
    }
}

// --- whole number ---------------------------------------------------------

DBIntEdit::DBIntEdit(QWidget* parent)
    : QLineEdit(parent), m_link(this, [this] { load(); }, [this](bool ro) { QLineEdit::setReadOnly(ro); })
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,10}")), this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (t == QLatin1String("-"))
            return; // a sign alone is the start of a number
        m_link.write(t.isEmpty() ? QVariant() : numberOf(t));
    });
}

DBIntEdit& DBIntEdit::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    return *this;
}

DBIntEdit& DBIntEdit::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBIntEdit::load()
{
    const QVariant v = m_link.value();
    if (hasFocus() && numberOf(text()) == numberOf(plainNumber(v)))
        return;
    const QString t = plainNumber(v);
    if (t != text())
        setText(t);
}

// --- money ----------------------------------------------------------------

DBMoneyEdit::DBMoneyEdit(QWidget* parent)
    : QLineEdit(parent), m_link(this, [this] { load(); }, [this](bool ro) { QLineEdit::setReadOnly(ro); })
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    updateValidator();
    connect(this, &QLineEdit::textEdited, this, &DBMoneyEdit::onEdited);
}

DBMoneyEdit& DBMoneyEdit::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    updateValidator();
    return *this;
}

DBMoneyEdit& DBMoneyEdit::setDisplayFormat(const QString& format)
{
    m_format = format;
    updateValidator();
    load();
    return *this;
}

DBMoneyEdit& DBMoneyEdit::setAllowEmpty(bool on)
{
    m_allowEmpty = on;
    return *this;
}

DBMoneyEdit& DBMoneyEdit::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBMoneyEdit::updateValidator()
{
    // Decimals only where both the field and the format have them.
    const Dataset* ds = m_link.dataset();
    const bool wholeField = ds && ds->hasField(m_link.field()) && ds->fieldKind(m_link.field()) == FieldKind::Integer;
    const bool decimals = !wholeField && m_format.section(QLatin1Char(';'), 0, 0).contains(QLatin1Char('.'));
    const QString re = decimals ? QStringLiteral("-?\\d{0,12}(\\.\\d*)?") : QStringLiteral("-?\\d{0,12}");
    setValidator(new QRegularExpressionValidator(QRegularExpression(re), this));
}

void DBMoneyEdit::onEdited(const QString& text)
{
    if (text == QLatin1String("-"))
        return;
    if (text.isEmpty()) {
        m_link.write(m_allowEmpty ? QVariant() : QVariant(qlonglong(0)));
        return;
    }
    m_link.write(numberOf(text));
}

void DBMoneyEdit::load()
{
    const QVariant v = m_link.value();
    QString t;
    if (hasFocus() && !isReadOnly()) {
        // While typing, the plain number; a text that already means the stored value stays as typed.
        if (numberOf(text()) == numberOf(plainNumber(v)) || (text().isEmpty() && !m_allowEmpty && v.toDouble() == 0))
            return;
        t = plainNumber(v);
    } else {
        t = v.isNull() ? QString() : formatNumber(v.toDouble(), m_format);
    }
    if (t != text())
        setText(t);
}

void DBMoneyEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isReadOnly()) {
        setText(plainNumber(m_link.value()));
        selectAll();
    }
}

void DBMoneyEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    load();
}

// --- date -----------------------------------------------------------------

DBDateEdit::DBDateEdit(QWidget* parent)
    : QDateEdit(parent), m_link(this, [this] { load(); }, [this](bool ro) { QDateEdit::setReadOnly(ro); })
{
    setDisplayFormat(kShownDateFormat);
    setCalendarPopup(true);
    // The lowest date stands for "no date" and shows as an empty box.
    setMinimumDate(QDate(1752, 9, 14));
    setSpecialValueText(QStringLiteral(" "));
    setDate(minimumDate());
    connect(this, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (m_loading)
            return;
        m_link.write(d == minimumDate() ? QVariant() : QVariant(d));
    });
}

DBDateEdit& DBDateEdit::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    return *this;
}

DBDateEdit& DBDateEdit::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBDateEdit::load()
{
    const QVariant v = m_link.value();
    const QDate d = v.isNull() ? QDate() : dbDate(v);
    const QDate shown = d.isValid() ? d : minimumDate();
    if (shown == date())
        return;
    m_loading = true;
    setDate(shown);
    m_loading = false;
}

// --- check mark -----------------------------------------------------------

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent), m_link(this, [this] { load(); }, [this](bool ro) {
          // A read-only check box keeps its normal look but ignores the mouse and the keyboard.
          setAttribute(Qt::WA_TransparentForMouseEvents, ro);
          setFocusPolicy(ro ? Qt::NoFocus : Qt::StrongFocus);
      })
{
    connect(this, &QCheckBox::clicked, this, [this](bool on) { m_link.write(on); });
}

DBCheckBox& DBCheckBox::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    return *this;
}

DBCheckBox& DBCheckBox::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBCheckBox::load()
{
    const bool on = truthy(m_link.value());
    if (on != isChecked())
        setChecked(on);
}

// --- memo -------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent), m_link(this, [this] { load(); }, [this](bool ro) { QPlainTextEdit::setReadOnly(ro); })
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_loading)
            return;
        const QString t = toPlainText();
        m_link.write(t.isEmpty() ? QVariant() : QVariant(t));
    });
}

DBMemo& DBMemo::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    return *this;
}

DBMemo& DBMemo::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBMemo::load()
{
    const QString t = m_link.value().toString();
    if (t == toPlainText())
        return;
    m_loading = true;
    setPlainText(t);
    m_loading = false;
}

// --- value choice -----------------------------------------------------------

DBValueChoice::DBValueChoice(QWidget* parent)
    : QComboBox(parent), m_link(this, [this] { load(); }, [this](bool ro) {
          setAttribute(Qt::WA_TransparentForMouseEvents, ro);
          setFocusPolicy(ro ? Qt::NoFocus : Qt::StrongFocus);
      })
{
    connect(this, &QComboBox::activated, this, [this](int i) { m_link.write(itemData(i)); });
}

DBValueChoice& DBValueChoice::bind(Dataset* dataset, const QString& field)
{
    m_link.bind(dataset, field);
    return *this;
}

DBValueChoice& DBValueChoice::setItems(const ValueItems& items)
{
    clear();
    for (const ValueItem& item : items)
        addItem(item.icon, item.text, item.value);
    load();
    return *this;
}

DBValueChoice& DBValueChoice::setReadOnly(bool on)
{
    m_link.setReadOnly(on);
    return *this;
}

void DBValueChoice::load()
{
    const QVariant v = m_link.value();
    int at = -1;
    for (int i = 0; i < count() && !v.isNull(); ++i) {
        if (itemData(i).toString().compare(v.toString(), Qt::CaseInsensitive) == 0)
            at = i;
    }
    if (at != currentIndex())
        setCurrentIndex(at);
}
