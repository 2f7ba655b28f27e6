#include "Szkola/reports/UPismoNaglowek.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UDMw.h"
#include "Szkola/core/USesja.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TPismoNaglowek* PismoNaglowek = nullptr;

// --- the window ---

namespace {

QToolButton* przycisk(QWidget* rodzic, const QString& tekst, const QString& podpowiedz) {
    auto* b = new QToolButton(rodzic);
    b->setText(tekst);
    ui::setHint(b, podpowiedz);
    return b;
}

QLabel* dwuwierszowa(const QString& a, const QString& b, QWidget* rodzic) {
    return new QLabel(a + "\n" + b, rodzic);
}

// A coded small-integer field as radio buttons: button i stores i.
ui::DBRadioGroup* grupa(const QString& tytul, const QStringList& pozycje, db::Table* t,
                        const QString& pole, QWidget* rodzic) {
    auto* g = new ui::DBRadioGroup(tytul, rodzic);
    g->setItems(pozycje);
    g->setDataField(t, pole);
    return g;
}

}  // namespace

TPismoNaglowek::TPismoNaglowek(QWidget* parent) : ui::Window(parent) {
    setObjectName("PismoNaglowek");
    setWindowTitle("Nagłówek i podsumowanie raportu");
    db::Table* t = DMw->TPismo;
    auto* uklad = new QVBoxLayout(this);

    auto* gora = new QHBoxLayout;
    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setTable(t);
    DBGrid1->setColumns(
        {ui::GridColumn("Rodzaj", "Rodzaj", 14), ui::GridColumn("Nazwa", "Nazwa raportu", 32)});
    DBGrid1->setMinimumHeight(140);
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, [this] { BitBtn1Click(); });
    gora->addWidget(DBGrid1, 1);
    auto* przyciski = new QVBoxLayout;
    SpeedButtonDopisz = przycisk(this, "Dodaj", "Dodaj");
    SpeedButtonPopraw = przycisk(this, "Popraw", "Popraw");
    SpeedButtonUsun = przycisk(this, "Usuń", "Usuń");
    SpeedButtonZapisz = przycisk(this, "Zapisz", "Zapisz");
    SpeedButtonAnuluj = przycisk(this, "Anuluj", "Anuluj");
    for (auto* b : {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun, SpeedButtonZapisz,
                    SpeedButtonAnuluj})
        przyciski->addWidget(b);
    przyciski->addStretch();
    BitBtn1 = new QPushButton("Wybierz", this);
    BitBtn1->setAutoDefault(false);
    przyciski->addWidget(BitBtn1);
    gora->addLayout(przyciski);
    uklad->addLayout(gora);
    connect(SpeedButtonDopisz, &QToolButton::clicked, this, [this] { SpeedButtonDopiszClick(); });
    connect(SpeedButtonPopraw, &QToolButton::clicked, this, [this] { SpeedButtonPoprawClick(); });
    connect(SpeedButtonUsun, &QToolButton::clicked, this, [this] { SpeedButtonUsunClick(); });
    connect(SpeedButtonZapisz, &QToolButton::clicked, this, [this] { SpeedButtonZapiszClick(); });
    connect(SpeedButtonAnuluj, &QToolButton::clicked, this, [this] { SpeedButtonAnulujClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    auto* nazwa = new QHBoxLayout;
    nazwa->addWidget(new QLabel("Nazwa", this));
    DBEditNazwa = new ui::DBEdit(t, "Nazwa", this);
    nazwa->addWidget(DBEditNazwa, 1);
    nazwa->addWidget(dwuwierszowa("Rodzaj", "wydruku", this));
    ComboBoxRodzaj = new ui::DBComboBox(this);
    ComboBoxRodzaj->setItems({"1 -Raport", "2 -Zaświadczenie"}, {"1", "2"});
    ComboBoxRodzaj->setDataField(t, "Rodzaj");
    nazwa->addWidget(ComboBoxRodzaj);
    uklad->addLayout(nazwa);

    PageControl1 = new QTabWidget(this);
    uklad->addWidget(PageControl1);

    TabSheetPismo = new QWidget;
    {
        auto* g = new QGridLayout(TabSheetPismo);
        DBCheckBoxPieczec = new ui::DBCheckBox("Pieczęć placówki", t, "Pieczec", TabSheetPismo);
        g->addWidget(DBCheckBoxPieczec, 0, 0, 1, 2);
        g->addWidget(new QLabel("Miejscowość", TabSheetPismo), 1, 0);
        DBEditMiasto = new ui::DBEdit(t, "Miasto", TabSheetPismo);
        g->addWidget(DBEditMiasto, 1, 1);
        g->addWidget(new QLabel("Data", TabSheetPismo), 2, 0);
        DBEditData = new ui::DBDateEdit(t, "DataDruku", TabSheetPismo);
        g->addWidget(DBEditData, 2, 1);
        g->addWidget(new QLabel("Adresat", TabSheetPismo), 3, 0);
        for (int i = 0; i < 3; ++i) {
            DBEditAdresat[i] = new ui::DBEdit(t, QString("Adresat%1").arg(i + 1), TabSheetPismo);
            g->addWidget(DBEditAdresat[i], 3 + i, 1);
        }
        g->addWidget(new QLabel("Wstęp", TabSheetPismo), 6, 0, Qt::AlignTop);
        DBMemoWstep = new ui::DBMemo(t, "Wstep", TabSheetPismo);
        g->addWidget(DBMemoWstep, 6, 1);
        g->addWidget(new QLabel("Zakończenie", TabSheetPismo), 7, 0, Qt::AlignTop);
        DBMemoKoniec = new ui::DBMemo(t, "Koniec", TabSheetPismo);
        g->addWidget(DBMemoKoniec, 7, 1);
    }
    PageControl1->addTab(TabSheetPismo, "Pismo");

    TabSheetZaswiadczenie = new QWidget;
    {
        auto* g = new QGridLayout(TabSheetZaswiadczenie);
        QWidget* p = TabSheetZaswiadczenie;
        DBCheckBoxPieczec2 = new ui::DBCheckBox("Pieczęć placówki", t, "Pieczec", p);
        g->addWidget(DBCheckBoxPieczec2, 0, 0, 1, 2);
        g->addWidget(new QLabel("Miejscowość", p), 1, 0);
        DBEditMiasto2 = new ui::DBEdit(t, "Miasto", p);
        g->addWidget(DBEditMiasto2, 1, 1);
        g->addWidget(dwuwierszowa("Ostatni numer", "zaświadczenia", p), 2, 0);
        DBEditLicznik = new ui::DBEdit(t, "Licznik", p);
        g->addWidget(DBEditLicznik, 2, 1);
        DBRadioGroupAdresat =
            grupa(" Adresat zaświadczenia - rejon szkolny ",
                  {"0 - brak", "1 - szk.podst.", "2 - gimnazjum"}, t, "Adresat4", p);
        g->addWidget(DBRadioGroupAdresat, 3, 0, 1, 2);
        DBRadioGroupAdres =
            grupa(" Adres ucznia", {"0 - zamieszkania", "1 - zameldowania"}, t, "Adres5", p);
        g->addWidget(DBRadioGroupAdres, 4, 0);
        DBRadioGroupDziecko =
            grupa(" Określenie ucznia ", {"0 - wychowanek", "1 - uczeń"}, t, "Dziecko", p);
        g->addWidget(DBRadioGroupDziecko, 4, 1);
        g->addWidget(dwuwierszowa("Data", "odniesienia", p), 5, 0);
        DBEditData2 = new ui::DBDateEdit(t, "DataDruku", p);
        g->addWidget(DBEditData2, 5, 1);
        g->addWidget(new QLabel("Cel zaświadczenia", p), 6, 0, Qt::AlignTop);
        DBMemoCel = new ui::DBMemo(t, "Koniec", p);
        g->addWidget(DBMemoCel, 6, 1);
    }
    PageControl1->addTab(TabSheetZaswiadczenie, "Zaświadczenie");
    resize(640, 700);

    WyjdzZEdycji();
}

db::Table* TPismoNaglowek::T() const { return DMw->TPismo; }

void TPismoNaglowek::FormActivate() {
    db::Table* t = T();
    if (!t->active()) t->open();
    t->field("Rodzaj")->setDisplayMapper([](const db::Field& f) {
        const QString r = f.asString();
        if (r == "1") return QStringLiteral("Raport");
        if (r == "2") return QStringLiteral("Zaświadczenie");
        return r;
    });
    DBGrid1->refreshRows();
    WyjdzZEdycji();
}

void TPismoNaglowek::FormClose() { SpeedButtonAnulujClick(); }

void TPismoNaglowek::WejdzWEdycje(bool dopisz) {
    edycja_ = true;
    DBGrid1->setEnabled(false);
    SpeedButtonDopisz->setVisible(dopisz);
    SpeedButtonDopisz->setEnabled(false);
    SpeedButtonPopraw->setVisible(!dopisz);
    SpeedButtonPopraw->setEnabled(false);
    SpeedButtonUsun->setVisible(false);
    SpeedButtonZapisz->setVisible(true);
    SpeedButtonAnuluj->setVisible(true);
}

void TPismoNaglowek::WyjdzZEdycji() {
    edycja_ = false;
    DBGrid1->setEnabled(true);
    for (auto* b : {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun}) {
        b->setVisible(true);
        b->setEnabled(true);
    }
    SpeedButtonZapisz->setVisible(false);
    SpeedButtonAnuluj->setVisible(false);
}

void TPismoNaglowek::SpeedButtonDopiszClick() {
    db::Table* t = T();
    if (!t->active()) t->open();
    t->append();
    t->field("Pieczec")->setBool(true);
    t->field("DataDruku")
        ->setDate(Sesja().DataRobocza.isValid() ? Sesja().DataRobocza : QDate::currentDate());
    WejdzWEdycje(true);
    DBEditNazwa->setFocus();
}

void TPismoNaglowek::SpeedButtonPoprawClick() {
    db::Table* t = T();
    if (!t->active() || t->isEmpty()) return;
    t->edit();
    WejdzWEdycje(false);
    if (PageControl1->currentWidget() == TabSheetPismo)
        DBEditData->setFocus();
    else
        DBEditLicznik->setFocus();
}

void TPismoNaglowek::SpeedButtonUsunClick() {
    db::Table* t = T();
    if (!t->active() || t->isEmpty()) return;
    if (ui::MessageBox("Czy usunąć szablon raportu?", "Uwaga!", ui::MB_YESNO) != ui::IDYES) return;
    try {
        t->remove();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd zapisu!", "Uwaga!", ui::MB_OK);
    }
}

void TPismoNaglowek::SpeedButtonZapiszClick() {
    db::Table* t = T();
    if (t->state() == db::Table::Insert || t->state() == db::Table::Edit) {
        // A half-typed date would otherwise leave the previous one in the record unnoticed.
        if (!ui::checkFocusedInput(t)) return;
        try {
            t->post();
        } catch (const db::Error&) {
            // The record stays pending; nothing half-written.
            ui::MessageBox("Błąd zapisu!", "Uwaga!", ui::MB_OK);
            return;
        }
    }
    WyjdzZEdycji();
}

void TPismoNaglowek::SpeedButtonAnulujClick() {
    db::Table* t = T();
    if (t->state() == db::Table::Insert || t->state() == db::Table::Edit) t->cancel();
    WyjdzZEdycji();
}

void TPismoNaglowek::BitBtn1Click() {
    db::Table* t = T();
    const bool pisal = t->state() == db::Table::Insert || t->state() == db::Table::Edit;
    SpeedButtonZapiszClick();
    if (pisal && (t->state() == db::Table::Insert || t->state() == db::Table::Edit))
        return;  // save refused
    Close();
}
