#pragma once
// A row-select grid over a table component, read-only unless told otherwise. The grid's current row
// and the table's cursor follow each other: clicking or moving to a row moves the cursor, and
// moving the cursor selects its row. Rows are read on demand, so a grid over a big table stays
// fast.

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QTableView>

#include "platform/db/Table.h"

namespace ui {

struct GridColumn {
    GridColumn() = default;
    GridColumn(const QString& fieldName, const QString& caption = {}, int chars = 0,
               Qt::Alignment align = {})
        : field(fieldName), title(caption), width(chars), alignment(align) {}
    // Chainable extras: GridColumn("Zalegly", "Zal", 3).colored(Qt::red).boldFont()
    GridColumn& pixels(int px) {
        widthPx = px;
        return *this;
    }
    GridColumn& colored(const QColor& c) {
        color = c;
        return *this;
    }
    GridColumn& boldFont(bool on = true) {
        bold = on;
        return *this;
    }
    GridColumn& hidden(bool on = true) {
        visible = !on;
        return *this;
    }

    QString field;
    QString title;    // empty: the field name
    int width = 0;    // in characters (average width of the grid's font); 0: from the field
    int widthPx = 0;  // in pixels; takes precedence when given
    Qt::Alignment alignment = {};  // none given: numbers and dates right, the rest left
    QColor color;                  // text colour; invalid: the grid's own
    bool bold = false;
    bool visible = true;
};

class DBGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DBGridModel(QObject* parent = nullptr);

    void setTable(db::Table* t);
    db::Table* table() const { return table_; }
    void setColumns(const QList<GridColumn>& cols);
    const QList<GridColumn>& columns() const { return cols_; }
    void setColumn(int i, const GridColumn& c);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // In-place editing (grids not marked read-only): the cell's text is parsed for its field,
    // the record edited and posted at once; a refused text or a failed post is said and undone.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void setReadOnly(bool on) { readOnly_ = on; }
    bool isReadOnly() const { return readOnly_; }

    // The whole set changed: columns resolved and rows counted again.
    void resetAll();
    // Rows may have been added, removed or changed: row count taken again, rows repainted.
    void syncCount();
    db::FieldType columnType(int col) const;
    // The text of a cell, read from the table without moving its cursor.
    QString cellText(int row, int col) const;

  private:
    int tableCount() const;

    QPointer<db::Table> table_;
    QList<GridColumn> cols_;
    QList<db::FieldType> types_;
    int count_ = 0;
    bool readOnly_ = true;
};

class DBGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setTable(db::Table* t);
    db::Table* table() const { return model_->table(); }
    void setColumns(const QList<GridColumn>& cols);
    void addColumn(const GridColumn& c);
    const QList<GridColumn>& columns() const { return model_->columns(); }
    void setColumnTitle(int i, const QString& title);
    DBGridModel* gridModel() const { return model_; }
    // Grids are read-only by default; an editable grid edits a cell on a key or a second click.
    void setReadOnly(bool on);
    bool isReadOnly() const { return model_->isReadOnly(); }

    // Reads every row again (after writes through another cursor of the same table).
    void refreshRows();

  signals:
    void rowDoubleClicked();  // the cursor stands on the row that was double-clicked

  protected:
    void changeEvent(QEvent* e) override;

  private:
    void onRecordChanged();
    void onStateChanged();
    void onDataSetChanged();
    void onCurrentRowChanged(const QModelIndex& cur, const QModelIndex& prev);
    void selectCursorRow();
    void applyWidths();
    QList<int> fieldSizes() const;
    QList<int> sizesApplied_;

    DBGridModel* model_;
    QList<QMetaObject::Connection> conns_;
    bool syncing_ = false;
};

}  // namespace ui
