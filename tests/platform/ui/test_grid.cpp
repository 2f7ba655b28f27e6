// The grid over a table: rows on demand, the current row and the cursor in step both ways.
#include "UiFixture.h"
#include "platform/ui/DBGrid.h"

using namespace ui;

class Grid : public uitest::UiDb {
  protected:
    void SetUp() override {
        UiDb::SetUp();
        t.setTableName(QStringLiteral("Banki"));
    }
    QString cell(DBGrid& g, int row, int col) {
        return g.model()->data(g.model()->index(row, col), Qt::DisplayRole).toString();
    }
    db::Table t;
};

TEST_F(Grid, ShowsDisplayTextsAndColumns) {
    fill(3);
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.open();
    DBGrid g;
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Nazwa"), QStringLiteral("Nazwa banku")),
                  GridColumn(QStringLiteral("Kwota"), {}, 10).colored(Qt::red).boldFont()});
    ASSERT_EQ(g.model()->rowCount(), 3);
    EXPECT_EQ(g.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Nazwa banku"));
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Kwota"));
    EXPECT_EQ(cell(g, 2, 0), QStringLiteral("Bank 3"));
    EXPECT_EQ(cell(g, 2, 1), QStringLiteral("4,50"));
    const auto align =
        g.model()->data(g.model()->index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(align & Qt::AlignRight);
    EXPECT_EQ(g.model()->data(g.model()->index(0, 1), Qt::ForegroundRole).value<QColor>(),
              QColor(Qt::red));
    EXPECT_TRUE(g.model()->data(g.model()->index(0, 1), Qt::FontRole).value<QFont>().bold());
    g.setColumnTitle(0, QStringLiteral("Bank"));
    EXPECT_EQ(g.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Bank"));
    // Reading rows did not move the cursor.
    EXPECT_EQ(t.recNo(), 0);
}

TEST_F(Grid, CurrentRowAndCursorFollowEachOther) {
    fill(20);
    t.setIndexFieldNames(QStringLiteral("Nazwa"));
    t.open();
    int scrolls = 0;
    t.afterScroll = [&](db::Table&) { ++scrolls; };
    DBGrid g;
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Nazwa")), GridColumn(QStringLiteral("Konto"))});
    EXPECT_EQ(g.currentIndex().row(), 0);

    t.last();
    EXPECT_EQ(g.currentIndex().row(), 19);
    EXPECT_TRUE(g.selectionModel()->isRowSelected(19, {}));
    t.locate(QStringLiteral("Konto"), {QStringLiteral("K5")});
    EXPECT_EQ(g.currentIndex().row(), t.recNo());
    EXPECT_EQ(cell(g, g.currentIndex().row(), 1), QStringLiteral("K5"));

    // A click on a row moves the cursor there (and the owner sees a scroll).
    scrolls = 0;
    g.setCurrentIndex(g.model()->index(3, 0));
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.field(QStringLiteral("Nazwa"))->asString(), cell(g, 3, 0));
    EXPECT_GE(scrolls, 1);

    // Painting reads rows without scrolls of the owner's.
    scrolls = 0;
    for (int r = 0; r < 20; ++r) cell(g, r, 0);
    g.refreshRows();
    for (int r = 0; r < 20; ++r) cell(g, r, 0);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(t.recNo(), 3);

    bool dbl = false;
    QObject::connect(&g, &DBGrid::rowDoubleClicked, [&] { dbl = true; });
    emit g.doubleClicked(g.model()->index(3, 0));
    EXPECT_TRUE(dbl);
}

TEST_F(Grid, FollowsPostsAndDeletes) {
    fill(3);
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.open();
    DBGrid g;
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Konto")), GridColumn(QStringLiteral("Nazwa"))});
    t.append();
    t.field(QStringLiteral("Konto"))->setString(QStringLiteral("K0"));
    t.field(QStringLiteral("Nazwa"))->setString(QStringLiteral("Nowy"));
    t.post();
    ASSERT_EQ(g.model()->rowCount(), 4);
    EXPECT_EQ(cell(g, 0, 1), QStringLiteral("Nowy"));
    EXPECT_EQ(g.currentIndex().row(), 0);  // the posted record, where it sorts

    t.locate(QStringLiteral("Konto"), {QStringLiteral("K2")});
    t.edit();
    t.field(QStringLiteral("Nazwa"))->setString(QStringLiteral("Zmieniony"));
    EXPECT_EQ(cell(g, 2, 1), QStringLiteral("Zmieniony"));  // the pending record as typed
    EXPECT_EQ(cell(g, 3, 1), QStringLiteral("Bank 3"));
    t.post();
    EXPECT_EQ(cell(g, 2, 1), QStringLiteral("Zmieniony"));

    t.remove();
    ASSERT_EQ(g.model()->rowCount(), 3);
    EXPECT_EQ(cell(g, 2, 0), QStringLiteral("K3"));
    EXPECT_EQ(g.currentIndex().row(), t.recNo());

    t.close();
    EXPECT_EQ(g.model()->rowCount(), 0);
    t.open();
    EXPECT_EQ(g.model()->rowCount(), 3);
}

TEST_F(Grid, BigTableIsReadOnDemand) {
    fill(12000);
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.open();
    DBGrid g;
    g.resize(400, 300);
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Konto")), GridColumn(QStringLiteral("Nazwa"))});
    ASSERT_EQ(g.model()->rowCount(), 12000);
    g.show();
    QApplication::processEvents();
    t.last();
    QApplication::processEvents();
    EXPECT_EQ(g.currentIndex().row(), 11999);
    EXPECT_EQ(cell(g, 11999, 0), t.field(QStringLiteral("Konto"))->asString());
    g.setCurrentIndex(g.model()->index(6000, 0));
    EXPECT_EQ(t.recNo(), 6000);
    EXPECT_EQ(t.field(QStringLiteral("Konto"))->asString(), cell(g, 6000, 0));
}

TEST_F(Grid, EditableGridWritesACellAndSaysWhatItRefuses) {
    fill(3);
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.open();
    DBGrid g;
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Konto")), GridColumn(QStringLiteral("Kwota")),
                  GridColumn(QStringLiteral("IdBanku"))});
    auto* m = g.model();
    EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->setData(m->index(1, 1), QStringLiteral("5"), Qt::EditRole));

    g.setReadOnly(false);
    EXPECT_TRUE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->flags(m->index(1, 2)) & Qt::ItemIsEditable);  // autoincrement
    g.setCurrentIndex(m->index(1, 1));
    EXPECT_TRUE(m->setData(m->index(1, 1), QStringLiteral("1 234,5"), Qt::EditRole));
    EXPECT_EQ(t.state(), db::Table::Browse);
    EXPECT_EQ(cell(g, 1, 1), QStringLiteral("1 234,50"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1234.5);

    EXPECT_FALSE(m->setData(m->index(1, 1), QStringLiteral("1,234"), Qt::EditRole));
    EXPECT_FALSE(m->setData(m->index(1, 0), QStringLiteral("K3"), Qt::EditRole));  // unique account
    EXPECT_EQ(t.state(), db::Table::Browse);
    EXPECT_EQ(cell(g, 1, 0), QStringLiteral("K2"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1234.5);
    ASSERT_EQ(test::messages().size(), 2);
    EXPECT_EQ(test::messages()[0].text,
              QStringLiteral("Nieprawidłowa kwota! Kwotę wpisuje się w postaci 1 234,56."));
    EXPECT_EQ(test::messages()[1].text, QStringLiteral("Błąd zapisu!"));
}

TEST_F(Grid, DetailGridFollowsItsMasterWithoutLosingWidthsNorRepaintingLongWalks) {
    fill(3);
    db::Table m;
    m.setTableName(QStringLiteral("Banki"));
    m.setIndexFieldNames(QStringLiteral("Konto"));
    m.open();
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.setMasterSource(&m, QStringLiteral("Konto"));
    t.open();
    DBGrid g;
    g.setTable(&t);
    g.setColumns({GridColumn(QStringLiteral("Nazwa")), GridColumn(QStringLiteral("Kwota"))});
    ASSERT_EQ(cell(g, 0, 0), QStringLiteral("Bank 1"));
    g.setColumnWidth(0, 333);  // the user widened the column
    m.next();
    EXPECT_EQ(cell(g, 0, 0), QStringLiteral("Bank 2"));
    EXPECT_EQ(g.columnWidth(0), 333);

    int resets = 0;
    QObject::connect(g.model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    m.disableControls();
    for (m.first(); !m.eof(); m.next()) {
    }
    EXPECT_EQ(resets, 0);  // nothing of the walk reaches the grid
    m.enableControls();    // standing on the last record
    EXPECT_EQ(cell(g, 0, 0), QStringLiteral("Bank 3"));
    EXPECT_EQ(g.columnWidth(0), 333);
}
