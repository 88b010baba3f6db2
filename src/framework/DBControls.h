// Edit boxes bound to one field of a Dataset: text (optionally masked), whole
// number, money with a display format, date, check mark, memo and value choice.
// Each shows the field of the dataset's current row, follows the row and the
// state, puts the dataset into edit when the user changes it, and writes every
// change into the dataset's buffer at once (so a post from any key or button
// sees it).
#pragma once

#include "db/Dataset.h"
#include "framework/DatasetModel.h" // ValueItems

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include <functional>

// The binding shared by every bound control.
class FieldLink : public QObject {
    Q_OBJECT
public:
    // `load` shows the current value; `applyReadOnly` gives the control its read-only look.
    FieldLink(QWidget* control, std::function<void()> load, std::function<void(bool)> applyReadOnly);

    void bind(Dataset* dataset, const QString& field);
    Dataset* dataset() const { return m_dataset; }
    QString field() const { return m_field; }

    // Read-only by the window's choice; the control is also read-only while the dataset cannot be
    // changed (closed, read-only, no current row, a calculated field).
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }
    bool canEdit() const;

    // The stored value of the current row; null without one.
    QVariant value() const;
    // Puts the dataset into edit when needed and writes the value into its buffer. A refusal
    // (a hook that aborts, an engine error) is reported and the control shows the dataset's value again.
    bool write(const QVariant& value);
    void reload();

private:
    void onRowChanged(int recNo);

    std::function<void()> m_load;
    std::function<void(bool)> m_applyReadOnly;
    QPointer<Dataset> m_dataset;
    QString m_field;
    QList<QMetaObject::Connection> m_links;
    bool m_readOnly = false;
    bool m_writing = false;
};

// Text; masked shows "*" for every character.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    DBEdit& bind(Dataset* dataset, const QString& field);
    DBEdit& setMasked(bool masked);
    DBEdit& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

private:
    void load();
    FieldLink m_link;
};

// A whole number; refuses anything else as it is typed. Empty means no value.
class DBIntEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBIntEdit(QWidget* parent = nullptr);
    DBIntEdit& bind(Dataset* dataset, const QString& field);
    DBIntEdit& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

private:
    void load();
    FieldLink m_link;
};

// Money (or any number) shown with a display format such as "NT$,0;-NT$,0" while the box is
// not being typed in, and as the plain number while it is. Refuses non-numeric input.
class DBMoneyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBMoneyEdit(QWidget* parent = nullptr);
    DBMoneyEdit& bind(Dataset* dataset, const QString& field);
    DBMoneyEdit& setDisplayFormat(const QString& format);
    QString displayFormat() const { return m_format; }
    // Without empty allowed (the default for money), clearing the box stores 0.
    DBMoneyEdit& setAllowEmpty(bool on);
    DBMoneyEdit& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void load();
    void onEdited(const QString& text);
    void updateValidator();
    FieldLink m_link;
    QString m_format = QStringLiteral("NT$,0;-NT$,0");
    bool m_allowEmpty = false;
};

// A date; an empty field shows an empty box.
class DBDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit DBDateEdit(QWidget* parent = nullptr);
    DBDateEdit& bind(Dataset* dataset, const QString& field);
    DBDateEdit& setReadOnly(bool on);
    FieldLink& link() { return m_link; }
    bool isNull() const { return date() == minimumDate(); }

private:
    void load();
    FieldLink m_link;
    bool m_loading = false;
};

// A yes/no field.
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(const QString& text = {}, QWidget* parent = nullptr);
    DBCheckBox& bind(Dataset* dataset, const QString& field);
    DBCheckBox& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

private:
    void load();
    FieldLink m_link;
};

// Long text over several lines.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    DBMemo& bind(Dataset* dataset, const QString& field);
    DBMemo& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

private:
    void load();
    FieldLink m_link;
    bool m_loading = false;
};

// A choice among stored values, each shown as a text (and optionally a picture).
class DBValueChoice : public QComboBox {
    Q_OBJECT
public:
    explicit DBValueChoice(QWidget* parent = nullptr);
    DBValueChoice& bind(Dataset* dataset, const QString& field);
    DBValueChoice& setItems(const ValueItems& items);
    DBValueChoice& setReadOnly(bool on);
    FieldLink& link() { return m_link; }

private:
    void load();
    FieldLink m_link;
};
