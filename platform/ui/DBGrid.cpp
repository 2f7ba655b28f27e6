#include "platform/ui/DBGrid.h"

#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

namespace ui {

namespace {

int defaultChars(db::FieldType t, int size) {
    using T = db::FieldType;
    switch (t) {
        case T::Text:
            return qBound(3, size, 40);
        case T::Date:
            return 10;
        case T::Currency:
            return 12;
        case T::Float:
            return 10;
        case T::Integer:
        case T::AutoInc:
            return 8;
        case T::SmallInt:
            return 6;
        case T::Logical:
            return 4;
        case T::Memo:
            return 30;
    }
    return 10;
}
}  // namespace

// ---------------------------------------------------------------- model

DBGridModel::DBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DBGridModel::setTable(db::Table* t) {
    table_ = t;
    resetAll();
}

void DBGridModel::setColumns(const QList<GridColumn>& cols) {
    cols_ = cols;
    resetAll();
}

void DBGridModel::setColumn(int i, const GridColumn& c) {
    if (i < 0 || i >= cols_.size()) return;
    const bool sameField = cols_[i].field == c.field;
    cols_[i] = c;
    if (sameField) {
        emit headerDataChanged(Qt::Horizontal, i, i);
        if (count_ > 0) emit dataChanged(index(0, i), index(count_ - 1, i));
    } else {
        resetAll();
    }
}

int DBGridModel::tableCount() const {
    try {
        if (!table_ || !table_->active()) return 0;
        return table_->recordCount();
    } catch (const db::Error&) {
        return 0;
    }
}

void DBGridModel::resetAll() {
    beginResetModel();
    types_.clear();
    for (const GridColumn& c : cols_) {
        db::FieldType type = db::FieldType::Text;
        db::Field* field = nullptr;
        try {
            if (table_ && table_->active()) field = table_->findField(c.field);
            if (field) type = field->type();
        } catch (const db::Error&) {
        }
        types_.append(type);
    }
    count_ = tableCount();
    endResetModel();
}

void DBGridModel::syncCount() {
    const int n = tableCount();
    if (n > count_) {
        beginInsertRows({}, count_, n - 1);
        count_ = n;
        endInsertRows();
    } else if (n < count_) {
        beginRemoveRows({}, n, count_ - 1);
        count_ = n;
        endRemoveRows();
    }
    if (count_ > 0 && !cols_.isEmpty())
        emit dataChanged(index(0, 0), index(count_ - 1, int(cols_.size()) - 1));
}

db::FieldType DBGridModel::columnType(int col) const {
    return types_.value(col, db::FieldType::Text);
}

int DBGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }
int DBGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(cols_.size());
}

QString DBGridModel::cellText(int row, int col) const {
    if (!table_ || col < 0 || col >= cols_.size() || row < 0 || row >= count_) return {};
    try {
        // Looked up each time: a reopened table may have new fields.
        db::Field* f = table_->active() ? table_->findField(cols_[col].field) : nullptr;
        if (!f) return {};
        // The record being edited shows what has been typed so far.
        if (table_->state() == db::Table::Edit && row == table_->recNo()) return f->displayText();
        return table_->displayTextAt(row, f);
    } catch (const db::Error&) {
        return {};
    }
}

QVariant DBGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= cols_.size()) return {};
    const GridColumn& c = cols_[index.column()];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cellText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            if (c.alignment) return QVariant::fromValue(c.alignment | Qt::AlignVCenter);
            return QVariant::fromValue(
                Qt::AlignVCenter |
                (isNumericType(columnType(index.column())) ? Qt::AlignRight : Qt::AlignLeft));
        case Qt::ForegroundRole:
            if (c.color.isValid()) return c.color;
            return {};
        case Qt::FontRole:
            if (c.bold) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        default:
            return {};
    }
}

QVariant DBGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || section < 0 || section >= cols_.size()) return {};
    const GridColumn& c = cols_[section];
    if (role == Qt::DisplayRole) return c.title.isEmpty() ? c.field : c.title;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (readOnly_ || !index.isValid() || !table_) return f;
    try {
        db::Field* fld =
            table_->active() ? table_->findField(cols_[index.column()].field) : nullptr;
        if (fld && !fld->isCalculated() && !fld->isLookup() &&
            fld->type() != db::FieldType::AutoInc)
            f |= Qt::ItemIsEditable;
    } catch (const db::Error&) {
    }
    return f;
}

bool DBGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || readOnly_ || !index.isValid() || !table_) return false;
    db::Table* t = table_;
    const db::FieldType type = columnType(index.column());
    const auto parsed = parseFieldText(type, value.toString());
    if (!parsed) {
        MessageBox(invalidEntryMessage(type), QStringLiteral("Uwaga!"), MB_OK);
        return false;
    }
    try {
        if (!t->active() || t->state() != db::Table::Browse) return false;
        if (t->recNo() != index.row()) t->moveBy(index.row() - t->recNo());
        if (t->recNo() != index.row()) return false;
        t->edit();
        t->field(cols_[index.column()].field)->setValue(*parsed);
        t->post();
    } catch (const db::Error& e) {
        try {
            if (t->state() != db::Table::Browse) t->cancel();
        } catch (const db::Error&) {
        }
        // A taken key is the entry's fault; any other cause (a full disk...) is named.
        QString tekst = QStringLiteral("Błąd zapisu!");
        if (e.kind() != db::Error::KeyViolation) tekst += QLatin1Char('\n') + e.message();
        MessageBox(tekst, QStringLiteral("Uwaga!"), MB_OK);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- view

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new DBGridModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DBGrid::onCurrentRowChanged);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& idx) {
        if (idx.isValid()) emit rowDoubleClicked();
    });
}

void DBGrid::setTable(db::Table* t) {
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    if (t) {
        conns_ << connect(t, &db::Table::recordChanged, this, &DBGrid::onRecordChanged);
        conns_ << connect(t, &db::Table::stateChanged, this, &DBGrid::onStateChanged);
        conns_ << connect(t, &db::Table::dataSetChanged, this, &DBGrid::onDataSetChanged);
        conns_ << connect(t, &QObject::destroyed, this, [this] { model_->setTable(nullptr); });
    }
    model_->setTable(t);
    applyWidths();
    selectCursorRow();
}

void DBGrid::setColumns(const QList<GridColumn>& cols) {
    model_->setColumns(cols);
    applyWidths();
    selectCursorRow();
}

void DBGrid::addColumn(const GridColumn& c) {
    QList<GridColumn> cols = model_->columns();
    cols.append(c);
    setColumns(cols);
}

void DBGrid::setColumnTitle(int i, const QString& title) {
    if (i < 0 || i >= model_->columns().size()) return;
    GridColumn c = model_->columns()[i];
    c.title = title;
    model_->setColumn(i, c);
}

void DBGrid::setReadOnly(bool on) {
    model_->setReadOnly(on);
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                             QAbstractItemView::SelectedClicked);
}

void DBGrid::refreshRows() {
    model_->syncCount();
    selectCursorRow();
}

QList<int> DBGrid::fieldSizes() const {
    QList<int> out;
    db::Table* t = table();
    const bool open = t && t->active();
    for (const GridColumn& c : model_->columns()) {
        const db::Field* f = open ? t->findField(c.field) : nullptr;
        out << (f ? f->size() : -1);
    }
    return out;
}

void DBGrid::applyWidths() {
    sizesApplied_ = fieldSizes();
    const QList<GridColumn>& cols = model_->columns();
    const int avg = qMax(1, fontMetrics().averageCharWidth());
    for (int i = 0; i < cols.size(); ++i) {
        const GridColumn& c = cols[i];
        setColumnHidden(i, !c.visible);
        int px = c.widthPx;
        if (px <= 0) {
            int chars = c.width;
            if (chars <= 0) {
                int size = 0;
                try {
                    if (table() && table()->active())
                        if (db::Field* f = table()->findField(c.field)) size = f->size();
                } catch (const db::Error&) {
                }
                chars = qMax(defaultChars(model_->columnType(i), size),
                             int((c.title.isEmpty() ? c.field : c.title).size()));
            }
            px = chars * avg + 12;
            // A title never clipped by a width given in characters.
            const QString title = c.title.isEmpty() ? c.field : c.title;
            px = qMax(px, horizontalHeader()->fontMetrics().horizontalAdvance(title) + 12);
        }
        setColumnWidth(i, px);
    }
}

void DBGrid::changeEvent(QEvent* e) {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        applyWidths();
    }
}

void DBGrid::onRecordChanged() {
    if (syncing_) return;
    db::Table* t = table();
    if (t && t->active()) {
        if (t->state() == db::Table::Browse) {
            // A move changes no row; a delete changes the count (other changes come as
            // state or data-set changes).
            if (t->recordCount() != model_->rowCount()) model_->syncCount();
        } else if (t->state() == db::Table::Edit) {
            const int r = t->recNo();
            if (r >= 0 && r < model_->rowCount())
                emit model_->dataChanged(model_->index(r, 0),
                                         model_->index(r, model_->columnCount() - 1));
        }
    }
    selectCursorRow();
}

void DBGrid::onStateChanged() {
    db::Table* t = table();
    if (!t) return;
    // Back to browsing after a post, cancel or delete: rows may have moved.
    if (t->state() == db::Table::Browse) {
        model_->syncCount();
        selectCursorRow();
    }
}

void DBGrid::onDataSetChanged() {
    const bool hadColumns = model_->columnCount() > 0;
    model_->resetAll();
    // Widths depend on the field sizes only: a detail grid whose rows change with every move of
    // its master is not measured again each time.
    if (hadColumns && fieldSizes() != sizesApplied_) applyWidths();
    selectCursorRow();
}

void DBGrid::selectCursorRow() {
    db::Table* t = table();
    int r = -1;
    try {
        if (t && t->active() && t->state() == db::Table::Browse && !t->isEmpty()) r = t->recNo();
    } catch (const db::Error&) {
    }
    if (r < 0 || r >= model_->rowCount()) {
        if (t && t->state() != db::Table::Browse) return;  // a pending record: keep the old row
        syncing_ = true;
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        syncing_ = false;
        return;
    }
    const int col = qMax(0, currentIndex().column());
    const QModelIndex idx = model_->index(r, col);
    if (!idx.isValid()) return;
    syncing_ = true;
    selectionModel()->setCurrentIndex(
        idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
    scrollTo(idx);
}

void DBGrid::onCurrentRowChanged(const QModelIndex& cur, const QModelIndex&) {
    if (syncing_ || !cur.isValid()) return;
    db::Table* t = table();
    if (!t) return;
    try {
        if (!t->active() || t->state() != db::Table::Browse) return;
        syncing_ = true;
        t->moveBy(cur.row() - t->recNo());
        syncing_ = false;
    } catch (const db::Error&) {
        syncing_ = false;
    }
    selectCursorRow();  // the cursor may have stopped elsewhere (a row that went away)
}

}  // namespace ui
