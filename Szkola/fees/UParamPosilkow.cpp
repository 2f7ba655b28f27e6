#include "Szkola/fees/UParamPosilkow.h"

#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"

TParamPosilkow* ParamPosilkow = nullptr;

namespace {

// A grid column: field, title, width in characters, alignment.
[[maybe_unused]] ui::GridColumn kol(const QString& pole, const QString& tytul, int szer, Qt::Alignment wyr = {}) {
    ui::GridColumn c;
    c.field = pole;
    c.title = tytul;
    c.width = szer;
    c.alignment = wyr;
    return c;
}
const char* const kDiety[] = {"Normalna", "Bezmleczna", "Bezglutenowa", "Szkolna"};

bool edytowana(const db::Table* t) { return t->active() && t->state() != db::Table::Browse; }
}  // namespace

QString SprawdzLiczbeDni(int rok, int nrMies, int liczbaDni) {
    if (rok < 2000 || rok > 2050) return "Rok musi leżeć w latach 2000 - 2050!";
    if (nrMies < 1 || nrMies > 12) return "Miesiąc musi być liczbą od 1 do 12!";
    if (liczbaDni < 0 || liczbaDni > QDate(rok, nrMies, 1).daysInMonth())
        return "Liczba dni szkolnych przekracza liczbę dni miesiąca!";
    return {};
}

TParamPosilkow::TParamPosilkow(QWidget* parent) : ui::Window(parent) {
    setObjectName("ParamPosilkow");
    setWindowTitle("Parametry posiłków");
    db::Table* ldni = DM->TLdni;
    db::Table* rp = DM->TRodzPos;

    auto przycisk = [this](const QString& tekst, const char* nazwa) {
        auto* b = new QPushButton(tekst, this);
        b->setObjectName(nazwa);
        return b;
    };

    // School days.
    auto* grupaDni = new QGroupBox("Liczba dni szkolnych w miesiącach", this);
    DBGrid1 = new ui::DBGrid(grupaDni);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(ldni);
    DBGrid1->addColumn(kol("Rok", "Rok", 6));
    DBGrid1->addColumn(kol("NrMies", "Miesiąc", 7));
    DBGrid1->addColumn(kol("LiczbaDni", "Dni szkolne", 10));
    DBEditRok = new ui::DBEdit(ldni, "Rok", grupaDni);
    DBEditRok->setObjectName("DBEditRok");
    DBEditNrMies = new ui::DBEdit(ldni, "NrMies", grupaDni);
    DBEditNrMies->setObjectName("DBEditNrMies");
    DBEditLiczbaDni = new ui::DBEdit(ldni, "LiczbaDni", grupaDni);
    DBEditLiczbaDni->setObjectName("DBEditLiczbaDni");
    SpeedButtonDopisz = przycisk("&Dopisz", "SpeedButtonDopisz");
    SpeedButtonPopraw = przycisk("&Popraw", "SpeedButtonPopraw");
    SpeedButtonUsun = przycisk("&Usuń", "SpeedButtonUsun");
    BitBtnZapisz = przycisk("&Zapisz", "BitBtnZapisz");
    BitBtnAnuluj = przycisk("&Anuluj", "BitBtnAnuluj");
    auto* polaDni = new QFormLayout;
    polaDni->addRow("Rok:", DBEditRok);
    polaDni->addRow("Miesiąc:", DBEditNrMies);
    polaDni->addRow("Dni szkolne:", DBEditLiczbaDni);
    auto* przyciskiDni = new QVBoxLayout;
    for (QPushButton* b : {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun, BitBtnZapisz, BitBtnAnuluj})
        przyciskiDni->addWidget(b);
    przyciskiDni->addStretch();
    auto* ud = new QHBoxLayout(grupaDni);
    ud->addWidget(DBGrid1, 1);
    auto* prawa = new QVBoxLayout;
    prawa->addLayout(polaDni);
    prawa->addLayout(przyciskiDni);
    ud->addLayout(prawa);

    // Meal kinds.
    auto* grupaPos = new QGroupBox("Rodzaje posiłków i ich ceny według diety", this);
    auto* siatka = new QGridLayout;
    siatka->addWidget(new QLabel("Posiłek", grupaPos), 0, 0);
    siatka->addWidget(new QLabel("Nazwa", grupaPos), 0, 1);
    for (int d = 0; d < 4; ++d) siatka->addWidget(new QLabel(QString::fromUtf8(kDiety[d]), grupaPos), 0, 2 + d);
    for (int k = 0; k < 6; ++k) {
        CheckBoxPs[k] = new ui::DBCheckBox(QString("%1").arg(k + 1), rp, QString("Ps%1").arg(k + 1), grupaPos);
        CheckBoxPs[k]->setObjectName(QString("CheckBoxPs%1").arg(k + 1));
        DBEditPosNaz[k] = new ui::DBEdit(rp, QString("PosNaz%1").arg(k + 1), grupaPos);
        DBEditPosNaz[k]->setObjectName(QString("DBEditPosNaz%1").arg(k + 1));
        siatka->addWidget(CheckBoxPs[k], k + 1, 0);
        siatka->addWidget(DBEditPosNaz[k], k + 1, 1);
        for (int d = 0; d < 4; ++d) {
            auto* c = new ui::DBLookupCombo(grupaPos);
            c->setObjectName(QString("DBLookupId%1Pos%2").arg(d).arg(k + 1));
            c->setDataField(rp, QString("Id%1Pos%2").arg(d).arg(k + 1));
            c->setListSource(DM->TCennik, "IdNaleznosc", "Opis");
            c->setMinimumWidth(140);
            DBLookupCena[d][k] = c;
            siatka->addWidget(c, k + 1, 2 + d);
        }
    }
    SpeedButtonPoprawPos = przycisk("P&opraw posiłki", "SpeedButtonPoprawPos");
    BitBtnZapiszPos = przycisk("Za&pisz posiłki", "BitBtnZapiszPos");
    BitBtnAnulujPos = przycisk("A&nuluj", "BitBtnAnulujPos");
    auto* przyciskiPos = new QHBoxLayout;
    przyciskiPos->addWidget(SpeedButtonPoprawPos);
    przyciskiPos->addWidget(BitBtnZapiszPos);
    przyciskiPos->addWidget(BitBtnAnulujPos);
    przyciskiPos->addStretch();
    auto* up = new QVBoxLayout(grupaPos);
    up->addLayout(siatka);
    up->addLayout(przyciskiPos);

    BitBtnWyjscie = przycisk("&Wyjście", "BitBtnWyjscie");
    auto* dol = new QHBoxLayout;
    dol->addStretch();
    dol->addWidget(BitBtnWyjscie);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(grupaDni, 1);
    uklad->addWidget(grupaPos);
    uklad->addLayout(dol);
    resize(900, 620);

    connect(SpeedButtonDopisz, &QPushButton::clicked, this, [this] { SpeedButtonDopiszClick(); });
    connect(SpeedButtonPopraw, &QPushButton::clicked, this, [this] { SpeedButtonPoprawClick(); });
    connect(SpeedButtonUsun, &QPushButton::clicked, this, [this] { SpeedButtonUsunClick(); });
    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(SpeedButtonPoprawPos, &QPushButton::clicked, this, [this] { SpeedButtonPoprawPosClick(); });
    connect(BitBtnZapiszPos, &QPushButton::clicked, this, [this] { BitBtnZapiszPosClick(); });
    connect(BitBtnAnulujPos, &QPushButton::clicked, this, [this] { BitBtnAnulujPosClick(); });
    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
    connect(ldni, &db::Table::stateChanged, this, [this] { UstawPrzyciski(); });
    connect(rp, &db::Table::stateChanged, this, [this] { UstawPrzyciski(); });
}

TParamPosilkow::~TParamPosilkow() {
    if (ParamPosilkow == this) ParamPosilkow = nullptr;
}

void TParamPosilkow::UstawPrzyciski() {
    const bool dni = edytowana(DM->TLdni), pos = edytowana(DM->TRodzPos);
    const bool spoczynek = !dni && !pos;
    SpeedButtonDopisz->setVisible(spoczynek);
    SpeedButtonPopraw->setVisible(spoczynek);
    SpeedButtonUsun->setVisible(spoczynek);
    BitBtnZapisz->setVisible(dni);
    BitBtnAnuluj->setVisible(dni);
    DBGrid1->setEnabled(!dni);
    SpeedButtonPoprawPos->setVisible(spoczynek);
    BitBtnZapiszPos->setVisible(pos);
    BitBtnAnulujPos->setVisible(pos);
    BitBtnWyjscie->setVisible(spoczynek);
}

void TParamPosilkow::FormActivate() {
    for (db::Table* t : {DM->TLdni, DM->TRodzPos, DM->TCennik})
        if (!t->active()) t->open();
    for (auto& wiersz : DBLookupCena)
        for (ui::DBLookupCombo* c : wiersz) c->reloadList();
    DM->TRodzPos->first();
    DM->TLdni->last();
    UstawPrzyciski();
}

void TParamPosilkow::SpeedButtonDopiszClick() {
    db::Table* t = DM->TLdni;
    // The month after the last one entered is the likely next.
    int rok = QDate::currentDate().year(), mies = QDate::currentDate().month();
    if (!t->isEmpty()) {
        t->last();
        rok = t->field("Rok")->asInteger();
        mies = t->field("NrMies")->asInteger() + 1;
        if (mies > 12) {
            mies = 1;
            ++rok;
        }
    }
    t->append();
    t->field("Rok")->setInteger(rok);
    t->field("NrMies")->setInteger(mies);
    DBEditLiczbaDni->setFocus();
}

void TParamPosilkow::SpeedButtonPoprawClick() {
    if (DM->TLdni->isEmpty()) return;
    DM->TLdni->edit();
    DBEditLiczbaDni->setFocus();
}

void TParamPosilkow::SpeedButtonUsunClick() {
    db::Table* t = DM->TLdni;
    if (t->isEmpty()) return;
    if (ui::MessageBox("Czy skasować pozycję?", "Uwaga!", ui::MB_OKCANCEL) != ui::IDOK) return;
    try {
        t->remove();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd usuwania pozycji!", "Uwaga!", ui::MB_OK);
    }
}

void TParamPosilkow::BitBtnZapiszClick() {
    db::Table* t = DM->TLdni;
    if (!edytowana(t)) return;
    const QString blad = SprawdzLiczbeDni(t->field("Rok")->asInteger(), t->field("NrMies")->asInteger(),
                                          t->field("LiczbaDni")->asInteger());
    if (!blad.isEmpty()) {
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return;
    }
    try {
        t->post();
    } catch (const db::Error& e) {
        ui::MessageBox(e.kind() == db::Error::KeyViolation ? "Liczba dni szkolnych tego miesiąca jest już wpisana!"
                                                           : "Błąd zapisu liczby dni szkolnych!",
                       "Uwaga!", ui::MB_OK);
    }
}

void TParamPosilkow::BitBtnAnulujClick() {
    if (edytowana(DM->TLdni)) DM->TLdni->cancel();
}

void TParamPosilkow::SpeedButtonPoprawPosClick() {
    db::Table* t = DM->TRodzPos;
    if (t->isEmpty())
        t->append();
    else
        t->edit();
    DBEditPosNaz[0]->setFocus();
}

void TParamPosilkow::BitBtnZapiszPosClick() {
    db::Table* t = DM->TRodzPos;
    if (!edytowana(t)) return;
    for (int k = 1; k <= 6; ++k)
        if (t->field(QString("Ps%1").arg(k))->asBool() &&
            t->field(QString("PosNaz%1").arg(k))->asString().trimmed().isEmpty()) {
            ui::MessageBox(QString("Podaj nazwę posiłku %1!").arg(k), "Uwaga!", ui::MB_OK);
            DBEditPosNaz[k - 1]->setFocus();
            return;
        }
    try {
        t->post();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd zapisu parametrów posiłków!", "Uwaga!", ui::MB_OK);
    }
}

void TParamPosilkow::BitBtnAnulujPosClick() {
    if (edytowana(DM->TRodzPos)) DM->TRodzPos->cancel();
}

void TParamPosilkow::BitBtnWyjscieClick() { Close(); }

void TParamPosilkow::FormClose() {
    // Leaving by the close box drops what was not saved.
    if (edytowana(DM->TLdni)) DM->TLdni->cancel();
    if (edytowana(DM->TRodzPos)) DM->TRodzPos->cancel();
}
