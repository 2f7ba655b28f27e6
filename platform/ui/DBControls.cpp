#include "platform/ui/DBControls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QValidator>
#include <QWheelEvent>
#include <limits>

#include "platform/db/Money.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

namespace ui {

// ---------------------------------------------------------------- FieldLink

FieldLink::FieldLink(QObject* owner, std::function<void()> refresh)
    : QObject(owner), refresh_(std::move(refresh)) {}

void FieldLink::bind(db::Table* table, const QString& fieldName) {
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    table_ = table;
    fieldName_ = fieldName;
    if (table) {
        conns_ << connect(table, &db::Table::recordChanged, this, &FieldLink::changed);
        conns_ << connect(table, &db::Table::dataSetChanged, this, &FieldLink::changed);
        conns_ << connect(table, &db::Table::stateChanged, this, &FieldLink::changed);
        conns_ << connect(table, &QObject::destroyed, this, &FieldLink::changed);
    }
    changed();
}

void FieldLink::changed() {
    if (!writing_ && refresh_) refresh_();
}

db::Field* FieldLink::field() const {
    if (!table_ || fieldName_.isEmpty()) return nullptr;
    try {
        if (!table_->active()) return nullptr;
        return table_->findField(fieldName_);
    } catch (const db::Error&) {
        return nullptr;
    }
}

bool FieldLink::writable() const {
    db::Field* f = field();
    if (!f || f->isCalculated() || f->isLookup() || f->type() == db::FieldType::AutoInc)
        return false;
    const auto st = table_->state();
    return st == db::Table::Insert || st == db::Table::Edit;
}

QVariant FieldLink::value() const {
    db::Field* f = field();
    if (!f) return {};
    try {
        return f->isNull() ? QVariant() : f->value();
    } catch (const db::Error&) {
        return {};
    }
}

QString FieldLink::displayText() const {
    db::Field* f = field();
    if (!f) return {};
    try {
        return f->displayText();
    } catch (const db::Error&) {
        return {};
    }
}

bool FieldLink::write(const std::function<void(db::Field*)>& fn) {
    if (!writable()) return false;
    writing_ = true;
    bool ok = true;
    try {
        fn(field());
    } catch (const db::Error&) {
        ok = false;
    }
    writing_ = false;
    return ok;
}

// ---------------------------------------------------------------- DBEdit

namespace {

class FnValidator : public QValidator {
  public:
    FnValidator(std::function<State(const QString&)> fn, QObject* parent)
        : QValidator(parent), fn_(std::move(fn)) {}
    State validate(QString& input, int&) const override { return fn_(input); }

  private:
    std::function<State(const QString&)> fn_;
};

QString editText(db::FieldType type, const QVariant& v) {
    using T = db::FieldType;
    if (!v.isValid() || v.isNull()) return QString();
    switch (type) {
        case T::Currency:
            return db::formatByMask(v.toDouble(), QStringLiteral("### ##0.00"));
        case T::Float:
            return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)
                .replace(QLatin1Char('.'), QLatin1Char(','));
        case T::Date:
            return v.toDate().toString(Qt::ISODate);
        case T::Logical:
            return v.toBool() ? QStringLiteral("Tak") : QStringLiteral("Nie");
        case T::SmallInt:
        case T::Integer:
        case T::AutoInc:
            return QString::number(v.toLongLong());
        default:
            return v.toString();
    }
}

}  // namespace

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), link_(this, [this] { refresh(); }) {
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onEdited);
    setReadOnly(true);
}

DBEdit::DBEdit(db::Table* table, const QString& fieldName, QWidget* parent) : DBEdit(parent) {
    setDataField(table, fieldName);
}

void DBEdit::setDataField(db::Table* table, const QString& fieldName) {
    hasCommitted_ = false;
    link_.bind(table, fieldName);
}

void DBEdit::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBEdit::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

void DBEdit::configure() {
    db::Field* f = link_.field();
    if (!f || (f->type() == configuredType_ && f->size() == configuredSize_)) return;
    configuredType_ = f->type();
    configuredSize_ = f->size();
    using T = db::FieldType;
    setMaxLength(configuredType_ == T::Text && f->size() > 0 ? f->size() : 32767);
    setAlignment(isNumericType(configuredType_) ? Qt::AlignRight | Qt::AlignVCenter
                                                : Qt::AlignLeft | Qt::AlignVCenter);
    if (validator()) {
        QObject* old = const_cast<QValidator*>(validator());
        setValidator(nullptr);
        old->deleteLater();
    }
    const T type = configuredType_;
    switch (type) {
        case T::SmallInt:
        case T::Integer:
        case T::AutoInc:
        case T::Currency:
        case T::Float:
        case T::Date:
            setValidator(new FnValidator(
                [this, type](const QString& s) -> QValidator::State {
                    if (type == T::Date) {
                        static const QRegularExpression prefix(
                            QStringLiteral("^\\d{0,4}(-(\\d{0,2}(-\\d{0,2})?)?)?$"));
                        if (!prefix.match(s.trimmed()).hasMatch()) return QValidator::Invalid;
                    } else if (type == T::Currency || type == T::Float) {
                        if (!isMoneyPrefix(s, type == T::Currency ? 2 : -1))
                            return QValidator::Invalid;
                    } else {
                        static const QRegularExpression intPrefix(
                            QStringLiteral("^\\s*-?\\d{0,10}\\s*$"));
                        if (!intPrefix.match(s).hasMatch()) return QValidator::Invalid;
                        bool ok = false;
                        const qint64 v = s.trimmed().toLongLong(&ok);
                        const qint64 lim =
                            type == T::SmallInt ? 32767 : std::numeric_limits<qint32>::max();
                        if (ok && (v > lim || v < -lim - 1)) return QValidator::Invalid;
                    }
                    return parse(s) ? QValidator::Acceptable : QValidator::Intermediate;
                },
                this));
            break;
        default:
            break;
    }
}

std::optional<QVariant> DBEdit::parse(const QString& text) const {
    return parseFieldText(configuredType_, text);
}

void DBEdit::refresh() {
    loading_ = true;
    configure();
    const bool writable = isWritable();
    setReadOnly(!writable);
    if (!writable) hasCommitted_ = false;
    // While the user types, a change elsewhere in the record must not reformat the text.
    const bool keepTyped =
        writable && hasFocus() && hasCommitted_ && link_.value() == lastCommitted_;
    if (!keepTyped) {
        db::Field* f = link_.field();
        // Being written, the edit shows a text it would itself accept: the stored text rather
        // than a mapped display, an amount without a unit.
        QString text;
        if (f && writable)
            text = editText(f->type(), link_.value());
        else
            text = link_.displayText();
        if (text != this->text()) setText(text);
    }
    loading_ = false;
}

void DBEdit::onEdited(const QString& text) {
    if (loading_ || !isWritable()) return;
    const auto v = parse(text);
    if (!v) return;  // not a value yet ("-", "12-0"): the record keeps the last one
    if (!link_.write([&](db::Field* f) { f->setValue(*v); })) return;
    lastCommitted_ = link_.value();
    hasCommitted_ = true;
    emit committed();
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!isWritable()) return;
    const QString typed = text();
    const bool valid = parse(typed).has_value();
    hasCommitted_ = false;
    refresh();  // shows what the record holds, in its display form
    if (!valid && configuredType_ == db::FieldType::Date && !typed.trimmed().isEmpty() &&
        e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) {
        MessageBox(invalidEntryMessage(configuredType_), QStringLiteral("Uwaga!"), MB_OK);
    }
}

bool DBEdit::checkInput() {
    if (!isWritable() || parse(text())) return true;
    MessageBox(invalidEntryMessage(configuredType_), QStringLiteral("Uwaga!"), MB_OK);
    return false;
}

bool checkFocusedInput(db::Table* t) {
    auto* e = qobject_cast<DBEdit*>(QApplication::focusWidget());
    if (!e || !t || e->dataTable() != t) return true;
    return e->checkInput();
}

// ---------------------------------------------------------------- DBLabel

DBLabel::DBLabel(QWidget* parent) : QLabel(parent), link_(this, [this] { refresh(); }) {
    setTextFormat(Qt::PlainText);
}

DBLabel::DBLabel(db::Table* table, const QString& fieldName, QWidget* parent) : DBLabel(parent) {
    setDataField(table, fieldName);
}

void DBLabel::setDataField(db::Table* table, const QString& fieldName) {
    link_.bind(table, fieldName);
}

void DBLabel::refresh() { setText(link_.displayText()); }

// ---------------------------------------------------------------- DBMemo

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), link_(this, [this] { refresh(); }) {
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onChanged);
    setReadOnly(true);
}

DBMemo::DBMemo(db::Table* table, const QString& fieldName, QWidget* parent) : DBMemo(parent) {
    setDataField(table, fieldName);
}

void DBMemo::setDataField(db::Table* table, const QString& fieldName) {
    link_.bind(table, fieldName);
}

void DBMemo::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBMemo::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

void DBMemo::refresh() {
    loading_ = true;
    setReadOnly(!isWritable());
    const QString text = link_.value().toString();
    if (text != toPlainText()) setPlainText(text);
    loading_ = false;
}

void DBMemo::onChanged() {
    if (loading_ || !isWritable()) return;
    QString text = toPlainText();
    db::Field* f = link_.field();
    if (f && f->type() == db::FieldType::Text && f->size() > 0 && text.size() > f->size()) {
        // Keep the text within the field's width, as a one-line edit would.
        text.truncate(f->size());
        loading_ = true;
        setPlainText(text);
        moveCursor(QTextCursor::End);
        loading_ = false;
    }
    if (link_.write([&](db::Field* fld) { fld->setString(text); })) emit committed();
}

// ---------------------------------------------------------------- DBCheckBox

DBCheckBox::DBCheckBox(QWidget* parent) : QCheckBox(parent), link_(this, [this] { refresh(); }) {}

DBCheckBox::DBCheckBox(const QString& caption, db::Table* table, const QString& fieldName,
                       QWidget* parent)
    : DBCheckBox(parent) {
    setText(caption);
    setDataField(table, fieldName);
}

void DBCheckBox::setDataField(db::Table* table, const QString& fieldName) {
    link_.bind(table, fieldName);
}

void DBCheckBox::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBCheckBox::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

void DBCheckBox::refresh() {
    const bool on = link_.value().toBool();
    if (on != isChecked()) setChecked(on);
}

void DBCheckBox::nextCheckState() {
    if (!isWritable()) return;  // read-only: a click changes nothing
    QCheckBox::nextCheckState();
    const bool on = isChecked();
    if (link_.write([&](db::Field* f) { f->setBool(on); }))
        emit committed();
    else
        refresh();
}

// ---------------------------------------------------------------- DBLookupCombo

DBLookupCombo::DBLookupCombo(QWidget* parent)
    : QComboBox(parent), link_(this, [this] { refresh(); }) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DBLookupCombo::onActivated);
}

void DBLookupCombo::setDataField(db::Table* table, const QString& keyField) {
    link_.bind(table, keyField);
}

void DBLookupCombo::setListSource(db::Table* list, const QString& listKeyField,
                                  const QString& listField) {
    for (const auto& c : listConns_) disconnect(c);
    listConns_.clear();
    list_ = list;
    listKey_ = listKeyField;
    listField_ = listField;
    listDirty_ = true;
    if (list) {
        auto dirty = [this] {
            listDirty_ = true;
            refresh();
        };
        listConns_ << connect(list, &db::Table::dataSetChanged, this, dirty);
        listConns_ << connect(list, &db::Table::stateChanged, this, dirty);
        // A row deleted or added without a change of state shows in the count.
        listConns_ << connect(list, &db::Table::recordChanged, this, [this, dirty] {
            if (list_ && list_->active() && list_->state() == db::Table::Browse &&
                list_->recordCount() != count())
                dirty();
        });
    }
    refresh();
}

void DBLookupCombo::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBLookupCombo::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

void DBLookupCombo::reloadList() {
    loading_ = true;
    clear();
    listDirty_ = false;
    if (list_ && !listKey_.isEmpty() && !listField_.isEmpty()) {
        try {
            if (list_->active()) {
                // The list component as it stands (order, filter, range), its cursor left alone.
                db::Field* key = list_->field(listKey_);
                db::Field* shown = list_->field(listField_);
                const int n = list_->recordCount();
                for (int i = 0; i < n; ++i)
                    addItem(list_->displayTextAt(i, shown), list_->valueAt(i, key));
            } else if (list_->exists()) {
                // A closed list is read through a cursor of its own.
                db::Table cur(list_->database());
                cur.setTableName(list_->tableName());
                cur.open();
                if (!list_->indexFieldNames().isEmpty())
                    cur.setIndexFieldNames(list_->indexFieldNames());
                db::Field* key = cur.field(listKey_);
                db::Field* shown = cur.field(listField_);
                for (cur.first(); !cur.eof(); cur.next())
                    addItem(shown->displayText(), key->value());
                cur.close();
            }
        } catch (const db::Error&) {
            // An unreadable list shows empty; the bound value is kept.
        }
    }
    loading_ = false;
    showCurrent();  // filling the list must not pick an entry of its own
}

void DBLookupCombo::showCurrent() {
    loading_ = true;
    const QVariant key = link_.value();
    int idx = -1;
    if (key.isValid()) {
        const QString k = key.toString();
        for (int i = 0; i < count(); ++i)
            if (itemData(i).toString() == k) {
                idx = i;
                break;
            }
    }
    setCurrentIndex(idx);
    loading_ = false;
}

void DBLookupCombo::refresh() {
    if (listDirty_)
        reloadList();
    else
        showCurrent();
}

void DBLookupCombo::showPopup() {
    if (!isWritable()) return;
    reloadList();
    QComboBox::showPopup();
}

void DBLookupCombo::onActivated(int index) {
    if (loading_) return;
    if (!isWritable() || index < 0) {
        showCurrent();
        return;
    }
    const QVariant key = itemData(index);
    if (link_.write([&](db::Field* f) { f->setValue(key); })) emit committed();
    showCurrent();
}

void DBLookupCombo::keyPressEvent(QKeyEvent* e) {
    if (!isWritable()) {
        e->ignore();  // Tab, Enter and the like still reach the window
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DBLookupCombo::wheelEvent(QWheelEvent* e) {
    if (!isWritable()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

// ---------------------------------------------------------------- DBComboBox

namespace {
bool sameValue(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid()) return false;
    return a.toString() == b.toString();
}
}  // namespace

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), link_(this, [this] { refresh(); }) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DBComboBox::onActivated);
}

void DBComboBox::setDataField(db::Table* table, const QString& fieldName) {
    link_.bind(table, fieldName);
}

void DBComboBox::setItems(const QStringList& texts, const QVariantList& values) {
    loading_ = true;
    clear();
    addItems(texts);
    values_ = values;
    loading_ = false;
    refresh();
}

void DBComboBox::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBComboBox::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

QVariant DBComboBox::valueOf(int index) const {
    if (index < 0 || index >= count()) return {};
    if (index < values_.size()) return values_[index];
    // The text itself, as the field keeps it (cut to its width).
    QString text = itemText(index);
    if (db::Field* f = link_.field(); f && f->type() == db::FieldType::Text && f->size() > 0)
        text.truncate(f->size());
    return text;
}

void DBComboBox::refresh() {
    loading_ = true;
    const QVariant v = link_.value();
    int idx = -1;
    for (int i = 0; i < count(); ++i)
        if (sameValue(valueOf(i), v)) {
            idx = i;
            break;
        }
    setCurrentIndex(idx);
    loading_ = false;
}

void DBComboBox::showPopup() {
    if (isWritable()) QComboBox::showPopup();
}

void DBComboBox::onActivated(int index) {
    if (loading_) return;
    if (isWritable() && index >= 0) {
        const QVariant v = valueOf(index);
        if (link_.write([&](db::Field* f) { f->setValue(v); })) emit committed();
    }
    refresh();
}

void DBComboBox::keyPressEvent(QKeyEvent* e) {
    if (!isWritable()) {
        e->ignore();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DBComboBox::wheelEvent(QWheelEvent* e) {
    if (!isWritable()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

// ---------------------------------------------------------------- DBRadioGroup

DBRadioGroup::DBRadioGroup(QWidget* parent)
    : QGroupBox(parent), link_(this, [this] { refresh(); }), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
    new QVBoxLayout(this);
    connect(group_, &QButtonGroup::idClicked, this, &DBRadioGroup::onClicked);
}

DBRadioGroup::DBRadioGroup(const QString& title, QWidget* parent) : DBRadioGroup(parent) {
    setTitle(title);
}

void DBRadioGroup::setDataField(db::Table* table, const QString& fieldName) {
    link_.bind(table, fieldName);
}

void DBRadioGroup::setItems(const QStringList& texts, const QVariantList& values) {
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    values_ = values;
    for (int i = 0; i < texts.size(); ++i) {
        auto* b = new QRadioButton(texts[i], this);
        group_->addButton(b, i);
        layout()->addWidget(b);
    }
    refresh();
}

void DBRadioGroup::setAlwaysReadOnly(bool on) {
    alwaysReadOnly_ = on;
    refresh();
}

bool DBRadioGroup::isWritable() const { return !alwaysReadOnly_ && link_.writable(); }

int DBRadioGroup::itemIndex() const { return group_->checkedId(); }

QVariant DBRadioGroup::valueOf(int index) const {
    if (index < values_.size()) return values_[index];
    return index;
}

void DBRadioGroup::refresh() {
    const QVariant v = link_.value();
    int idx = -1;
    for (int i = 0; i < group_->buttons().size(); ++i)
        if (sameValue(valueOf(i), v)) {
            idx = i;
            break;
        }
    if (idx < 0) {
        // No button for the value: none checked.
        group_->setExclusive(false);
        for (QAbstractButton* b : group_->buttons()) b->setChecked(false);
        group_->setExclusive(true);
    } else {
        group_->button(idx)->setChecked(true);
    }
}

void DBRadioGroup::onClicked(int id) {
    if (isWritable()) {
        const QVariant v = valueOf(id);
        if (link_.write([&](db::Field* f) { f->setValue(v); })) emit committed();
    }
    refresh();  // read-only: the click is put back
}

}  // namespace ui
