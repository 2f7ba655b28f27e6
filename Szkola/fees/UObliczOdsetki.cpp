#include "Szkola/fees/UObliczOdsetki.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/fees/UOdsetkiZaOkres.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"

TObliczOdsetki* ObliczOdsetki = nullptr;

void ObliczOdsetkiWiersza(db::Table* t) {
    const QDate od = t->field("DataOd")->asDate();
    const QDate wpl = t->field("DataWpl")->asDate();
    const double kwota = Zaokraglij(t->field("Kwota")->asFloat(), 2);
    int dni = 0;
    double odsetki = 0.0;
    if (!DataBledna(od) && !DataBledna(wpl) && PorownajDaty(wpl, od) > 0) {
        dni = static_cast<int>(od.daysTo(wpl));
        odsetki = OdsetkiZaOkres(od, wpl, kwota);
    }
    t->field("IleDni")->setInteger(dni);
    t->field("Odsetki")->setFloat(odsetki);
    t->field("Wartosc")->setFloat(Zaokraglij(kwota + odsetki, 2));
}

TObliczOdsetki::TObliczOdsetki(QWidget* parent) : ui::Window(parent) {
    setObjectName("ObliczOdsetki");
    setWindowTitle("Obliczanie odsetek");
    db::Table* t = DM->TLiczOds;
    auto edit = [this, t](const char* pole, bool tylkoOdczyt) {
        auto* e = new ui::DBEdit(t, QString::fromLatin1(pole), this);
        e->setAlwaysReadOnly(tylkoOdczyt);
        return e;
    };
    DBEditDataOd = edit("DataOd", false);
    DBEditDataWpl = edit("DataWpl", false);
    DBEditKwota = edit("Kwota", false);
    DBEditIleDni = edit("IleDni", true);
    DBEditOdsetki = edit("Odsetki", true);
    DBEditWartosc = edit("Wartosc", true);
    BitBtnOblicz = new QPushButton("&Oblicz", this);
    BitBtnOK = new QPushButton("&Akceptuj", this);
    BitBtnAnuluj = new QPushButton("&Anuluj", this);

    auto* siatka = new QGridLayout;
    int r = 0;
    auto wiersz = [&](const char* etykieta, QWidget* w) {
        siatka->addWidget(new QLabel(QString::fromUtf8(etykieta), this), r, 0);
        siatka->addWidget(w, r++, 1);
    };
    wiersz("Termin płatności", DBEditDataOd);
    wiersz("Data wpłaty", DBEditDataWpl);
    wiersz("Kwota należności", DBEditKwota);
    wiersz("Liczba dni zwłoki", DBEditIleDni);
    wiersz("Odsetki", DBEditOdsetki);
    wiersz("Razem z odsetkami", DBEditWartosc);
    auto* przyciski = new QHBoxLayout;
    przyciski->addWidget(BitBtnOblicz);
    przyciski->addStretch();
    przyciski->addWidget(BitBtnOK);
    przyciski->addWidget(BitBtnAnuluj);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(siatka);
    uklad->addLayout(przyciski);

    setEnterButton(BitBtnOK);  // Enter accepts what was typed, recomputed, as "Akceptuj" does
    connect(BitBtnOblicz, &QPushButton::clicked, this, [this] { BitBtnObliczClick(); });
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
}

void TObliczOdsetki::FormActivate() {
    // The edits follow the component, which the caller has just pointed at its work file.
    for (ui::DBEdit* e :
         {DBEditDataOd, DBEditDataWpl, DBEditKwota, DBEditIleDni, DBEditOdsetki, DBEditWartosc})
        e->setDataField(DM->TLiczOds, e->dataField());
    BitBtnObliczClick();
}

void TObliczOdsetki::BitBtnObliczClick() {
    db::Table* t = DM->TLiczOds;
    if (!t->active() || t->state() == db::Table::Browse) return;
    ObliczOdsetkiWiersza(t);
}

void TObliczOdsetki::BitBtnOKClick() {
    db::Table* t = DM->TLiczOds;
    if (t->active() && t->state() != db::Table::Browse) {
        // What the operator typed last counts.
        ObliczOdsetkiWiersza(t);
        if (Zaokraglij(t->field("Odsetki")->asFloat(), 2) > 0 && Wolajacy) Wolajacy->Tag = 1;
    }
    Close();
}

void TObliczOdsetki::BitBtnAnulujClick() { Close(); }
