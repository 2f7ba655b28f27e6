#pragma once
// Data-aware controls: each shows one field of a table's current record and, while the table is
// in insert or edit state, writes what the user enters straight into the pending record.
// Outside those states they are read-only.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVariant>
#include <functional>

#include "platform/db/Table.h"

namespace ui {

// The tie between a control and one field: follows the table's signals, tells the control
// to show the field again, and knows whether the field may be written now.
class FieldLink : public QObject {
    Q_OBJECT
  public:
    FieldLink(QObject* owner, std::function<void()> refresh);
    void bind(db::Table* table, const QString& fieldName);
    db::Table* table() const { return table_; }
    const QString& fieldName() const { return fieldName_; }
    // nullptr when unbound, closed or without that field.
    db::Field* field() const;
    // The table is in insert or edit state and the field is a stored one.
    bool writable() const;
    // The field's value (QVariant() when NULL or not available).
    QVariant value() const;
    QString displayText() const;
    // Writes through fn, without this control being told to refresh. False when the field
    // could not be written.
    bool write(const std::function<void(db::Field*)>& fn);
    bool writing() const { return writing_; }

  private:
    void changed();
    QPointer<db::Table> table_;
    QString fieldName_;
    std::function<void()> refresh_;
    bool writing_ = false;
    QList<QMetaObject::Connection> conns_;
};

// One-line edit for text, number, money and date fields.
class DBEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit DBEdit(QWidget* parent = nullptr);
    DBEdit(db::Table* table, const QString& fieldName, QWidget* parent = nullptr);

    void setDataField(db::Table* table, const QString& fieldName);
    db::Table* dataTable() const { return link_.table(); }
    QString dataField() const { return link_.fieldName(); }
    // A control the user never writes (sums, differences), whatever the table's state.
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    // Shows the field again (also done on every change of the table).
    void refresh();
    // True when the text is a value of the field (or the control is not being written);
    // otherwise says what is wrong (caption "Uwaga!") and returns false.
    bool checkInput();

  signals:
    void committed();  // what the user typed went into the pending record

  protected:
    void focusOutEvent(QFocusEvent* e) override;

  private:
    void configure();
    void onEdited(const QString& text);
    // Parses the text for the field; nullopt when it is not (yet) a value. QVariant() is NULL.
    std::optional<QVariant> parse(const QString& text) const;

    FieldLink link_;
    bool alwaysReadOnly_ = false;
    bool loading_ = false;
    db::FieldType configuredType_ = db::FieldType::Memo;
    int configuredSize_ = -1;
    QVariant lastCommitted_;
    bool hasCommitted_ = false;
};

// A date edit ("YYYY-MM-DD"); the same control as DBEdit on a date field.
class DBDateEdit : public DBEdit {
    Q_OBJECT
  public:
    using DBEdit::DBEdit;
};

// Read-only text of a field.
class DBLabel : public QLabel {
    Q_OBJECT
  public:
    explicit DBLabel(QWidget* parent = nullptr);
    DBLabel(db::Table* table, const QString& fieldName, QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& fieldName);
    void refresh();

  private:
    FieldLink link_;
};

// Multi-line text (memo fields, or text fields within their width).
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit DBMemo(QWidget* parent = nullptr);
    DBMemo(db::Table* table, const QString& fieldName, QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& fieldName);
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    void refresh();

  signals:
    void committed();

  private:
    void onChanged();
    FieldLink link_;
    bool alwaysReadOnly_ = false;
    bool loading_ = false;
};

// A logical field as a check box (ticked stores true).
class DBCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    DBCheckBox(const QString& caption, db::Table* table, const QString& fieldName,
               QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& fieldName);
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    void refresh();

  signals:
    void committed();

  protected:
    void nextCheckState() override;

  private:
    FieldLink link_;
    bool alwaysReadOnly_ = false;
};

// A key field chosen from the rows of another table: the list shows listField, the key field
// of the bound table receives listKeyField of the chosen row.
class DBLookupCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit DBLookupCombo(QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& keyField);
    // The list is read without moving the list table's cursor (through a cursor of its own
    // while the list table is closed).
    void setListSource(db::Table* list, const QString& listKeyField, const QString& listField);
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    void refresh();
    void reloadList();

    void showPopup() override;

  signals:
    void committed();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    void onActivated(int index);
    void showCurrent();
    FieldLink link_;
    QPointer<db::Table> list_;
    QString listKey_, listField_;
    bool listDirty_ = true;
    bool alwaysReadOnly_ = false;
    bool loading_ = false;
    QList<QMetaObject::Connection> listConns_;
};

// A field chosen from fixed entries: entry i shows texts[i] and stores values[i] (without values
// the entry's text is stored, cut to the field's width like any text). A stored value that no
// entry holds shows no entry.
class DBComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DBComboBox(QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& fieldName);
    void setItems(const QStringList& texts, const QVariantList& values = {});
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    void refresh();
    void showPopup() override;

  signals:
    void committed();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    QVariant valueOf(int index) const;
    void onActivated(int index);
    FieldLink link_;
    QVariantList values_;
    bool alwaysReadOnly_ = false;
    bool loading_ = false;
};

// A field as a group of radio buttons: button i stores values[i] (without values, its index).
class DBRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit DBRadioGroup(QWidget* parent = nullptr);
    DBRadioGroup(const QString& title, QWidget* parent = nullptr);
    void setDataField(db::Table* table, const QString& fieldName);
    void setItems(const QStringList& texts, const QVariantList& values = {});
    void setAlwaysReadOnly(bool on);
    bool isWritable() const;
    int itemIndex() const;  // -1 when no button is checked
    QAbstractButton* itemButton(int i) const { return group_->button(i); }
    void refresh();

  signals:
    void committed();

  private:
    QVariant valueOf(int index) const;
    void onClicked(int id);
    FieldLink link_;
    QButtonGroup* group_;
    QVariantList values_;
    bool alwaysReadOnly_ = false;
};

// Before a post: when the focused control is a DBEdit of table t holding a text that is not
// a value (an unfinished date, a lone minus), says so and returns false; the post should wait.
bool checkFocusedInput(db::Table* t);

}  // namespace ui
