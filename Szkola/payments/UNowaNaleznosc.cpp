#include "Szkola/payments/UNowaNaleznosc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UCennik.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/fees/UParamPosilkow.h"
#include "Szkola/payments/UDokumentWplaty.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TNowaNaleznosc* NowaNaleznosc = nullptr;

namespace {

const char* const kUwaga = "Uwaga!";
const QString kTypPosilki = QStringLiteral("WŻ");

// The close must finish its steps even when one of them fails.
template <typename F>
void bezpiecznie(F&& krok) {
    try {
        krok();
    } catch (const std::exception&) {
    }
}

// A failure of the tables is said, and the window stays open.
template <typename F>
void chronione(F&& krok) {
    try {
        krok();
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
    }
}

QString poleK(const char* nazwa, int k) { return QString::fromLatin1(nazwa) + QString::number(k); }

// The meal month was charged elsewhere between its reading and the save.
struct ZmianaPosilkow {
    double naliczone;
};

}  // namespace

int WyborDiety(const QString& dieta) {
    if (dieta.isEmpty()) return 0;
    if (dieta.size() == 1 && dieta[0] >= QLatin1Char('0') && dieta[0] <= QLatin1Char('3'))
        return dieta[0].unicode() - '0';
    return -1;
}

QString DietaDoZapisu(int indeks, const QString& dietaUcznia) {
    if (indeks >= 0 && indeks <= 3) return QString::number(indeks);
    if (dietaUcznia.size() == 1 && dietaUcznia[0].isDigit()) return dietaUcznia;
    return QString();
}

// =============================================================================================
// TDodanieNaleznosci

TDodanieNaleznosci::TDodanieNaleznosci(TDokumentWplaty* dok) : Dok(dok) {
    baza_ = DM->Baza();
    posUczR_ = std::make_unique<db::Table>(baza_);
    psU_ = std::make_unique<db::Table>(baza_);
    TPosUczR = posUczR_.get();
    TPsU = psU_.get();
    TPosUczR->setTableName("Str_PosUcz.db");
    TPsU->setTableName("PosilkiUcz.db");
}

TDodanieNaleznosci::~TDodanieNaleznosci() = default;

QList<TDodanieNaleznosci::TRodzaj> TDodanieNaleznosci::Rodzaje(bool tylkoOdpisy) const {
    QList<TRodzaj> l;
    db::Table t(baza_);
    t.setTableName("RodzajOplat.db");
    t.setIndexFieldNames("Symbol");
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        TRodzaj r{t.field("Symbol")->asString(), t.field("Opis")->asString(),
                  t.field("Typ")->asString()};
        if (!tylkoOdpisy || r.Typ == "_O") l << r;
    }
    return l;
}

bool TDodanieNaleznosci::ZnajdzRodzaj(const QString& opis, TRodzaj* r) const {
    db::Table t(baza_);
    t.setTableName("RodzajOplat.db");
    t.setIndexFieldNames("Symbol");
    t.open();
    if (opis.isEmpty() || !t.locate("Opis", {opis})) return false;
    if (r)
        *r = {t.field("Symbol")->asString(), t.field("Opis")->asString(),
              t.field("Typ")->asString()};
    return true;
}

bool TDodanieNaleznosci::RodzajPosilkowy(const QString& opis) const {
    TRodzaj r;
    return ZnajdzRodzaj(opis, &r) && r.Typ == kTypPosilki;
}

void TDodanieNaleznosci::ZapiszRodzaj(const QString& opis) {
    TRodzaj r;
    if (!Dok || !Dok->NowaNaleznoscTrwa() || !ZnajdzRodzaj(opis, &r)) return;
    Dok->TOplaty->field("RodzOpl")->setString(r.Symbol);
    Dok->TOplaty->field("TypOpl")->setString(r.Typ);
}

QStringList TDodanieNaleznosci::LataSzkolne(int* wybrany) {
    QStringList l;
    db::Table* t = Dok->TRokSzk;
    if (!t->active()) {
        t->setIndexFieldNames("RokSzk");
        t->open();
    }
    for (t->first(); !t->eof(); t->next()) l << t->field("RokSzk")->asString();
    const TSesja& s = Sesja();
    const QString biezacy = RokSzkolnyDaty(s.DataRobocza.year(), s.DataRobocza.month());
    if (wybrany) *wybrany = biezacy.isEmpty() ? -1 : l.lastIndexOf(biezacy);
    return l;
}

bool TDodanieNaleznosci::ZnajdzRok(const QString& rokSzk, int* rok, int* nrMies) {
    db::Table* t = Dok->TRokSzk;
    if (!t->active()) {
        t->setIndexFieldNames("RokSzk");
        t->open();
    }
    if (rokSzk.isEmpty() || !t->findKey({rokSzk})) return false;
    *rok = t->field("Rok")->asInteger();
    *nrMies = t->field("NrMies")->asInteger();
    return true;
}

bool TDodanieNaleznosci::KwotaZCennika(int idNaleznosc) {
    if (idNaleznosc <= 0 || !Dok || !Dok->NowaNaleznoscTrwa()) return false;
    db::Table t(baza_);
    t.setTableName("SlownikNaleznosci.db");
    t.setIndexFieldNames("IdNaleznosc");
    t.open();
    if (!t.findKey({idNaleznosc})) return false;
    Dok->TOplaty->field("Kwota")->setFloat(t.field("Kwota")->asFloat());
    return true;
}

// --- meals ---------------------------------------------------------------------------------

double TDodanieNaleznosci::pole(const char* nazwa, int k) const {
    return TPosUczR->field(poleK(nazwa, k))->asFloat();
}

void TDodanieNaleznosci::ustawPole(const char* nazwa, int k, double v) {
    TPosUczR->field(poleK(nazwa, k))->setFloat(v);
}

void TDodanieNaleznosci::Przygotuj(int dieta) {
    UtworzTabeleSesji(TPosUczR, "RpUcz", "Str_PosUcz.db");
    TPosUczR->append();
    Naliczony = false;
    for (int k = 0; k < 6; ++k) {
        Jest[k] = false;
        Nazwa[k].clear();
        Zaznaczone[k] = false;
        for (int d = 0; d < 4; ++d) cena_[d][k] = 0;
    }
    db::Table t(baza_);
    t.setTableName("RodzPos.db");
    if (t.exists()) {
        t.open();
        t.first();
        if (!t.eof()) {
            for (int k = 1; k <= 6; ++k) {
                Jest[k - 1] = t.field(poleK("Ps", k))->asBool();
                Nazwa[k - 1] = t.field(poleK("PosNaz", k))->asString();
                for (int d = 0; d < 4; ++d)
                    cena_[d][k - 1] = t.field(QString("Id%1Pos%2").arg(d).arg(k))->asInteger();
            }
        }
    }
    UstawCenyDiety(dieta);
}

void TDodanieNaleznosci::UstawCenyDiety(int dieta) {
    db::Table t(baza_);
    t.setTableName("SlownikNaleznosci.db");
    t.setIndexFieldNames("IdNaleznosc");
    t.open();
    for (int k = 1; k <= 6; ++k) {
        double cena = 0.0;
        const int id = dieta >= 0 && dieta <= 3 ? cena_[dieta][k - 1] : 0;
        if (id > 0 && t.findKey({id})) cena = t.field("Kwota")->asFloat();
        ustawPole("CPos", k, cena);
        Wartosc(k);
    }
}

bool TDodanieNaleznosci::DniSzkolne(int rok, int m, int* dni) const {
    db::Table t(baza_);
    t.setTableName("LiczbaDni.db");
    t.setIndexFieldNames("Rok;NrMies");
    t.open();
    if (!t.findKey({rok, m})) return false;
    *dni = t.field("LiczbaDni")->asInteger();
    return true;
}

void TDodanieNaleznosci::UstawIlosci(int ilosc) {
    for (int k = 1; k <= 6; ++k) {
        ustawPole("LPos", k, ilosc);
        Wartosc(k);
    }
}

void TDodanieNaleznosci::Wartosc(int k) {
    ustawPole("WPos", k, Zaokraglij(pole("LPos", k) * pole("CPos", k), 2));
}

void TDodanieNaleznosci::otworzPosilki(const QString& klucz) {
    TPsU->cancel();
    TPsU->close();
    TPsU->cancelRange();
    TPsU->setTableName(PlikiRoku::Posilki(klucz) + ".db");
    if (!TPsU->exists()) UtworzTabeleRoku(TPsU->tableName(), baza_);
    TPsU->setIndexFieldNames("IdUcznia;RodzPos");
    TPsU->setRange({Dok->IdUcznia}, {Dok->IdUcznia});
    TPsU->open();
}

bool TDodanieNaleznosci::WczytajMiesiac(int rok, int nrMies, int m) {
    int dni = 0;
    const bool saDni = DniSzkolne(RokMiesiaca(rok, nrMies, m), m, &dni);
    if (saDni) UstawIlosci(dni);
    for (bool& z : Zaznaczone) z = false;

    otworzPosilki(KluczRokuSzk(rok, nrMies));
    const int pm = m == 1 ? 12 : m - 1;
    const QString polePm = PoleMiesiaca('L', pm), poleL = PoleMiesiaca('L', m),
                  poleC = PoleMiesiaca('C', m);
    int poprzednie[6] = {};
    double suma = 0.0;
    Naliczony = false;
    for (TPsU->first(); !TPsU->eof(); TPsU->next()) {
        const int k = TPsU->field("RodzPos")->asInteger();
        // A row of a kind no meal column stands for has no place in the panel.
        if (k < 1 || k > 6) continue;
        if (const int p = TPsU->field(polePm)->asInteger(); p != 0) poprzednie[k - 1] = p;
        const int l = TPsU->field(poleL)->asInteger();
        if (l == 0) continue;
        ustawPole("LPos", k, l);
        ustawPole("CPos", k, TPsU->field(poleC)->asFloat());
        Wartosc(k);
        suma += pole("WPos", k);
        Zaznaczone[k - 1] = true;
        Naliczony = true;
    }
    if (Naliczony) {
        TPosUczR->field("KwKontr")->setFloat(Zaokraglij(suma, 2));
    } else {
        for (int k = 0; k < 6; ++k)
            if (poprzednie[k] > 0) Zaznaczone[k] = true;
    }
    odczytanyKlucz_ = KluczRokuSzk(rok, nrMies);
    odczytanyMiesiac_ = m;
    odczytaneNaliczone_ = Naliczony ? Zaokraglij(suma, 2) : 0.0;
    // The total of another month must never be inserted for this one.
    Razem();
    return saDni;
}

double TDodanieNaleznosci::naliczoneWMiesiacu(int m) {
    const QString poleL = PoleMiesiaca('L', m), poleC = PoleMiesiaca('C', m);
    double suma = 0.0;
    for (TPsU->first(); !TPsU->eof(); TPsU->next()) {
        const int k = TPsU->field("RodzPos")->asInteger();
        if (k < 1 || k > 6) continue;
        suma += Zaokraglij(TPsU->field(poleL)->asInteger() * TPsU->field(poleC)->asFloat(), 2);
    }
    return Zaokraglij(suma, 2);
}

void TDodanieNaleznosci::Razem() {
    double suma = 0.0;
    for (int k = 1; k <= 6; ++k)
        if (Zaznaczone[k - 1]) suma += pole("WPos", k);
    TPosUczR->field("WPosR")->setFloat(Zaokraglij(suma, 2));
}

void TDodanieNaleznosci::WstawKwote() {
    if (!Dok || !Dok->NowaNaleznoscTrwa()) return;
    Razem();
    double kwota = TPosUczR->field("WPosR")->asFloat();
    if (Naliczony) kwota -= TPosUczR->field("KwKontr")->asFloat();
    Dok->TOplaty->field("Kwota")->setFloat(Zaokraglij(kwota, 2));
}

// --- save ------------------------------------------------------------------------------------

TDodanieNaleznosci::TWynik TDodanieNaleznosci::Zapisz(const QString& rokSzk, int m, int dieta) {
    auto odmowa = [](const QString& tekst, Pole p) { return TWynik{false, tekst, p}; };
    if (!Dok || !Dok->NowaNaleznoscTrwa()) return odmowa(QString(), Pole::Brak);
    db::Table* linia = Dok->TOplaty;
    const QString brakRoku = "Wybierz rok szkolny, którego dotyczy należność!";

    if (rokSzk.isEmpty()) return odmowa(brakRoku, Pole::RokSzk);
    if (m < 1 || m > 12)
        return odmowa("Wybierz miesiąc, którego dotyczy należność!", Pole::Miesiac);
    const QString rodzOpl = linia->field("RodzOpl")->asString();
    if (rodzOpl.isEmpty()) return odmowa("Podaj rodzaj należności!", Pole::Rodzaj);
    const QString typ = linia->field("TypOpl")->asString();
    // What is written is the amount to the grosz: 0.004 is no amount.
    const double kwota = Zaokraglij(linia->field("Kwota")->asFloat(), 2);
    if (kwota == 0.0) return odmowa("Podaj kwotę należności!", Pole::Kwota);
    if (!KwotaWZakresie(kwota)) return odmowa(KomunikatZakresuKwoty, Pole::Kwota);
    int rok = 0, nrMies = 0;
    if (!ZnajdzRok(rokSzk, &rok, &nrMies)) return odmowa(brakRoku, Pole::RokSzk);
    const int rokKal = RokMiesiaca(rok, nrMies, m);
    const bool posilki = typ == kTypPosilki;
    if (posilki) {
        // A meal a day at most: a count beyond the month's days is a typing slip.
        const int dni = QDate(rokKal, m, 1).daysInMonth();
        for (int k = 1; k <= 6; ++k) {
            if (!Zaznaczone[k - 1]) continue;
            const double l = pole("LPos", k);
            if (!(l >= 0 && l <= dni) || l != std::floor(l))
                return {false, QString("Liczba posiłków musi leżeć w granicach 0 - %1!").arg(dni),
                        Pole::Ilosc, k};
            const double c = pole("CPos", k);
            if (!(c >= 0) || !KwotaWZakresie(c))
                return {false, "Cena posiłku musi leżeć w granicach 0 - 999 999,99!", Pole::Cena,
                        k};
        }
    }

    const QString klucz = KluczRokuSzk(rok, nrMies);
    db::Table* nlz = Dok->TNaleznosc;
    nlz->cancel();
    nlz->close();
    nlz->cancelRange();
    nlz->setTableName(PlikiRoku::Naleznosci(klucz) + ".db");
    if (!nlz->exists())
        return odmowa("Błąd otwarcia pliku Naleznosci wskazanego roku szkolnego!", Pole::Brak);
    nlz->setIndexFieldNames("IdUcznia;RodzOpl;Status");
    nlz->setRange({Dok->IdUcznia}, {Dok->IdUcznia});
    nlz->open();

    linia->field("RokSzk")->setString(rokSzk);
    linia->field("Miesiac")->setInteger(m);
    linia->field("Rok")->setInteger(rokKal);
    linia->field("TerminWpl")->setDate(TerminPlatnosci(rokKal, m, DzienRozliczenia(baza_)));
    linia->field("Kwota")->setFloat(kwota);

    double zmiana = 0.0;
    try {
        db::Transaction tx(baza_);
        if (posilki) {
            // Read again under the transaction: another workstation may have charged the month
            // since this one showed it.
            otworzPosilki(klucz);
            const double teraz = naliczoneWMiesiacu(m);
            const bool odczytany = odczytanyKlucz_ == klucz && odczytanyMiesiac_ == m;
            zmiana = odczytany ? Zaokraglij(teraz - odczytaneNaliczone_, 2) : 0.0;
            if (zmiana != 0.0) throw ZmianaPosilkow{teraz};
        }
        EdytujWierszNaleznosci(*nlz, Dok->IdUcznia, rodzOpl, QString(), false);
        db::Field* pm = nlz->field(PoleMiesiaca('M', m));
        pm->setFloat(Zaokraglij(pm->asFloat() + kwota, 2));
        nlz->post();

        if (posilki) {
            const QString dietaTekst = DietaDoZapisu(dieta, DietaUcznia);
            for (int k = 1; k <= 6; ++k) {
                if (!Zaznaczone[k - 1]) continue;
                if (TPsU->findKey({Dok->IdUcznia, k})) {
                    TPsU->edit();
                } else {
                    TPsU->append();
                    TPsU->field("IdUcznia")->setInteger(Dok->IdUcznia);
                    TPsU->field("RodzPos")->setInteger(k);
                    TPsU->field("RokSzk")->setString(rokSzk);
                }
                TPsU->field(PoleMiesiaca('L', m))->setInteger(int(pole("LPos", k)));
                TPsU->field(PoleMiesiaca('C', m))->setFloat(Zaokraglij(pole("CPos", k), 2));
                TPsU->field(PoleMiesiaca('D', m))->setString(dietaTekst);
                TPsU->post();
            }
        }
        if (PrzedZapisemLinii) PrzedZapisemLinii();
        // The line last: until everything else is written it stays pending in the window.
        linia->post();
        tx.commit();
    } catch (const ZmianaPosilkow& z) {
        // The amount was worked out from what is charged no longer: it goes, and the month is
        // shown as it stands now.
        linia->field("Kwota")->clear();
        bezpiecznie([&] { WczytajMiesiac(rok, nrMies, m); });
        return odmowa(QString("Posiłki tego miesiąca zmieniono w międzyczasie na innym "
                              "stanowisku (naliczono %1zł). Przelicz i wstaw kwotę ponownie.")
                          .arg(FormatujKwote(z.naliczone)),
                      Pole::Posilki);
    } catch (const std::exception& e) {
        bezpiecznie([&] { nlz->cancel(); });
        bezpiecznie([&] { TPsU->cancel(); });
        // The cause the user can act on (a full disk, the data file gone) goes with the message.
        const auto* blad = dynamic_cast<const db::Error*>(&e);
        return odmowa("Błąd zapisu należności! Należność nie została zapisana.\n" +
                          (blad ? blad->message() : QString::fromUtf8(e.what())),
                      Pole::Brak);
    }
    bezpiecznie([&] {
        TPsU->close();
        TPsU->cancelRange();
        TPsU->setTableName("PosilkiUcz.db");
    });
    if (Dok->RodzajDokumentu == DokZwrot) Dok->ZmniejszSaldo(kwota);
    return TWynik{true, QString(), Pole::Brak};
}

void TDodanieNaleznosci::Zamknij() {
    if (Dok) {
        bezpiecznie([&] { Dok->AnulujNowaNaleznosc(); });
        db::Table* nlz = Dok->TNaleznosc;
        bezpiecznie([&] {
            nlz->cancel();
            nlz->close();
            nlz->cancelRange();
            nlz->setTableName("Naleznosc.db");
        });
    }
    bezpiecznie([&] { UsunTabeleSesji(TPosUczR, "Str_PosUcz.db"); });
    bezpiecznie([&] {
        TPsU->cancel();
        TPsU->close();
        TPsU->cancelRange();
        TPsU->setTableName("PosilkiUcz.db");
    });
    Naliczony = false;
    odczytanyKlucz_.clear();
    odczytanyMiesiac_ = 0;
    odczytaneNaliczone_ = 0.0;
}

// =============================================================================================
// TNowaNaleznosc

TNowaNaleznosc::TNowaNaleznosc(QWidget* parent) : ui::Window(parent) {
    setObjectName("NowaNaleznosc");
    setWindowTitle("Nowa należność");
    dod_ = std::make_unique<TDodanieNaleznosci>();
    db::Table* r = dod_->TPosUczR;

    auto przycisk = [this](const char* nazwa, const QString& tekst, const QString& podp) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nazwa));
        b->setText(tekst);
        ui::setHint(b, podp);
        return b;
    };

    ComboBoxRSzk = new QComboBox(this);
    ComboBoxRSzk->setObjectName("ComboBoxRSzk");
    SpeedButtonRok = przycisk("SpeedButtonRok", "+", "Dopisz nowy rok szkolny");
    ComboBoxMies = new QComboBox(this);
    ComboBoxMies->setObjectName("ComboBoxMies");
    for (int m = 1; m <= 12; ++m) ComboBoxMies->addItem(NazwaMiesiaca(m));
    ComboBoxRodzaj = new QComboBox(this);
    ComboBoxRodzaj->setObjectName("ComboBoxRodzaj");
    ComboBoxRodzaj->installEventFilter(this);
    DBEditKwota = new ui::DBEdit(this);
    DBEditKwota->setObjectName("DBEditKwota");
    SpeedButtonCennik = przycisk("SpeedButtonCennik", "Cennik", "Cennik");

    auto* gora = new QGridLayout;
    gora->addWidget(new QLabel("Rok szkolny", this), 0, 0);
    gora->addWidget(ComboBoxRSzk, 0, 1);
    gora->addWidget(SpeedButtonRok, 0, 2);
    gora->addWidget(new QLabel("Miesiąc", this), 1, 0);
    gora->addWidget(ComboBoxMies, 1, 1);
    gora->addWidget(new QLabel("Rodzaj należności", this), 2, 0);
    gora->addWidget(ComboBoxRodzaj, 2, 1);
    gora->addWidget(new QLabel("Kwota", this), 3, 0);
    gora->addWidget(DBEditKwota, 3, 1);
    gora->addWidget(SpeedButtonCennik, 3, 2);
    gora->setColumnStretch(1, 1);

    // Meals panel.
    PanelRodzPos = new QWidget(this);
    PanelRodzPos->setObjectName("PanelRodzPos");
    ComboBoxDieta = new QComboBox(PanelRodzPos);
    ComboBoxDieta->setObjectName("ComboBoxDieta");
    ComboBoxDieta->addItems({"Normalna", "Bezmleczna", "Bezglutenowa", "Szkolna"});
    Label8 = new QLabel("Obliczanie posiłków", PanelRodzPos);
    Label8->setObjectName("Label8");
    QFont pogrubiona = Label8->font();
    pogrubiona.setBold(true);
    Label8->setFont(pogrubiona);
    auto* pos = new QGridLayout(PanelRodzPos);
    pos->setContentsMargins(0, 0, 0, 0);
    pos->addWidget(Label8, 0, 0, 1, 4);
    pos->addWidget(new QLabel("Rodzaj diety", PanelRodzPos), 1, 0);
    pos->addWidget(ComboBoxDieta, 1, 1, 1, 3);
    const char* naglowki[4] = {"Rodzaj posiłku", "Cena", "Ilość", "Wartość"};
    for (int c = 0; c < 4; ++c) pos->addWidget(new QLabel(naglowki[c], PanelRodzPos), 2, c);
    const int szer = fontMetrics().averageCharWidth() * 12 + 16;
    for (int k = 1; k <= 6; ++k) {
        CheckBox[k - 1] = new QCheckBox(PanelRodzPos);
        CheckBox[k - 1]->setObjectName(QString("CheckBox%1").arg(k));
        DBEditC[k - 1] = new ui::DBEdit(r, poleK("CPos", k), PanelRodzPos);
        DBEditL[k - 1] = new ui::DBEdit(r, poleK("LPos", k), PanelRodzPos);
        DBEditW[k - 1] = new ui::DBEdit(r, poleK("WPos", k), PanelRodzPos);
        DBEditC[k - 1]->setObjectName(QString("DBEditC%1").arg(k));
        DBEditL[k - 1]->setObjectName(QString("DBEditL%1").arg(k));
        DBEditW[k - 1]->setObjectName(QString("DBEditW%1").arg(k));
        pos->addWidget(CheckBox[k - 1], 2 + k, 0);
        pos->addWidget(DBEditC[k - 1], 2 + k, 1);
        pos->addWidget(DBEditL[k - 1], 2 + k, 2);
        pos->addWidget(DBEditW[k - 1], 2 + k, 3);
        for (ui::DBEdit* e : {DBEditC[k - 1], DBEditL[k - 1], DBEditW[k - 1]})
            e->setMaximumWidth(szer);
    }
    DBEdit1 = new ui::DBEdit(r, "WPosR", PanelRodzPos);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setAlwaysReadOnly(true);
    LabelKontr = new QLabel("Kwota kontrolna", PanelRodzPos);
    LabelKontr->setObjectName("LabelKontr");
    DBEditKontr = new ui::DBEdit(r, "KwKontr", PanelRodzPos);
    DBEditKontr->setObjectName("DBEditKontr");
    DBEditKontr->setAlwaysReadOnly(true);
    for (ui::DBEdit* e : {DBEdit1, DBEditKontr}) e->setMaximumWidth(szer);
    SpeedButtonPrzelicz = przycisk("SpeedButtonPrzelicz", "=", "Oblicz wartość posiłków");
    SpeedButton2 = przycisk("SpeedButton2", "Wstaw", "Wstaw nową wartość posiłków lub korektę");
    SpeedButtonDni = przycisk("SpeedButtonDni", "Dni szkolne",
                              "Edytuj listę dni szkolnych i parametry posiłków");
    pos->addWidget(new QLabel("Razem", PanelRodzPos), 9, 2);
    pos->addWidget(DBEdit1, 9, 3);
    pos->addWidget(SpeedButtonPrzelicz, 9, 4);
    pos->addWidget(SpeedButton2, 9, 5);
    pos->addWidget(LabelKontr, 10, 2);
    pos->addWidget(DBEditKontr, 10, 3);
    pos->addWidget(SpeedButtonDni, 10, 4, 1, 2);
    pos->setColumnStretch(0, 1);

    BitBtnZapisz = new QPushButton("&Zapisz", this);
    BitBtnZapisz->setObjectName("BitBtnZapisz");
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");
    auto* dol = new QHBoxLayout;
    dol->addStretch();
    dol->addWidget(BitBtnZapisz);
    dol->addWidget(BitBtnAnuluj);

    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(gora);
    uklad->addWidget(PanelRodzPos);
    uklad->addLayout(dol);
    // The window follows the meals panel: as high as its contents, with or without it.
    uklad->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(440);

    auto polacz = [this](auto* nadawca, auto sygnal, auto obsluga) {
        connect(nadawca, sygnal, this, [this, obsluga] { chronione([&] { obsluga(this); }); });
    };
    polacz(ComboBoxRodzaj, &QComboBox::currentIndexChanged,
           [](TNowaNaleznosc* w) { w->ComboBoxRodzajChange(); });
    polacz(ComboBoxMies, &QComboBox::currentIndexChanged,
           [](TNowaNaleznosc* w) { w->ComboBoxMiesChange(false); });
    polacz(ComboBoxRSzk, &QComboBox::currentIndexChanged,
           [](TNowaNaleznosc* w) { w->ComboBoxMiesChange(true); });
    polacz(ComboBoxDieta, &QComboBox::currentIndexChanged,
           [](TNowaNaleznosc* w) { w->ComboBoxDietaChange(); });
    polacz(SpeedButtonCennik, &QToolButton::clicked,
           [](TNowaNaleznosc* w) { w->SpeedButtonCennikClick(); });
    polacz(SpeedButtonRok, &QToolButton::clicked,
           [](TNowaNaleznosc* w) { w->SpeedButtonRokClick(); });
    polacz(SpeedButtonPrzelicz, &QToolButton::clicked,
           [](TNowaNaleznosc* w) { w->SpeedButtonPrzeliczClick(); });
    polacz(SpeedButton2, &QToolButton::clicked, [](TNowaNaleznosc* w) { w->SpeedButton2Click(); });
    polacz(SpeedButtonDni, &QToolButton::clicked,
           [](TNowaNaleznosc* w) { w->SpeedButtonDniClick(); });
    polacz(BitBtnZapisz, &QPushButton::clicked, [](TNowaNaleznosc* w) { w->BitBtnZapiszClick(); });
    polacz(BitBtnAnuluj, &QPushButton::clicked, [](TNowaNaleznosc* w) { w->BitBtnAnulujClick(); });
    for (int k = 1; k <= 6; ++k) {
        connect(CheckBox[k - 1], &QCheckBox::toggled, this,
                [this, k](bool on) { dod_->Zaznaczone[k - 1] = on; });
        for (ui::DBEdit* e : {DBEditC[k - 1], DBEditL[k - 1]})
            connect(e, &ui::DBEdit::committed, this,
                    [this, k] { chronione([&] { dod_->Wartosc(k); }); });
    }
    PanelRodzPos->setVisible(false);
}

TNowaNaleznosc::~TNowaNaleznosc() {
    if (NowaNaleznosc == this) NowaNaleznosc = nullptr;
}

bool TNowaNaleznosc::eventFilter(QObject* o, QEvent* e) {
    if (o == ComboBoxRodzaj && e->type() == QEvent::FocusOut)
        chronione([&] { ComboBoxRodzajExit(); });
    return ui::Window::eventFilter(o, e);
}

void TNowaNaleznosc::FormActivate() {
    if (!PierwszaAktywacja) return;
    PierwszaAktywacja = false;
    // Opened only by the payment window, over its pending line.
    if (!Dokument || !Dokument->NowaNaleznoscTrwa()) {
        Close();
        return;
    }
    ObliczeniaWlaczone = false;
    RodzajDokumentu = Glowny ? Glowny->Tag : 0;
    dod_->Dok = Dokument;
    DBEditKwota->setDataField(Dokument->TOplaty, "Kwota");
    try {
        {
            const QSignalBlocker b(ComboBoxRodzaj);
            ComboBoxRodzaj->clear();
            for (const auto& r : dod_->Rodzaje(RodzajDokumentu == DokZwrot))
                ComboBoxRodzaj->addItem(r.Opis);
            ComboBoxRodzaj->setCurrentIndex(-1);
            ComboBoxRodzaj->setEnabled(true);
        }
        PokazPosilki(false);
        db::Field* dieta = DM->TUczen->active() ? DM->TUczen->findField("Dieta") : nullptr;
        dod_->DietaUcznia = dieta ? dieta->asString() : QString();
        const int indeks = WyborDiety(dod_->DietaUcznia);
        {
            const QSignalBlocker b(ComboBoxDieta);
            ComboBoxDieta->setCurrentIndex(indeks);
        }
        dod_->Przygotuj(indeks);
        for (int k = 1; k <= 6; ++k) {
            CheckBox[k - 1]->setText(dod_->Nazwa[k - 1]);
            for (QWidget* w : std::initializer_list<QWidget*>{CheckBox[k - 1], DBEditC[k - 1],
                                                              DBEditL[k - 1], DBEditW[k - 1]})
                w->setVisible(dod_->Jest[k - 1]);
        }
        PokazZaznaczenie();
        const QDate robocza = Sesja().DataRobocza;
        {
            const QSignalBlocker b(ComboBoxMies);
            ComboBoxMies->setCurrentIndex(robocza.isValid() ? robocza.month() - 1 : -1);
        }
        WypelnijLata();
        int dni = 0;
        if (robocza.isValid() && dod_->DniSzkolne(robocza.year(), robocza.month(), &dni))
            dod_->UstawIlosci(dni);
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
        Close();
        return;
    }
    ObliczeniaWlaczone = true;
    ComboBoxRodzaj->setFocus();
}

void TNowaNaleznosc::WypelnijLata() {
    int wybrany = -1;
    const QStringList lata = dod_->LataSzkolne(&wybrany);
    const QSignalBlocker b(ComboBoxRSzk);
    ComboBoxRSzk->clear();
    ComboBoxRSzk->addItems(lata);
    ComboBoxRSzk->setCurrentIndex(wybrany);
}

void TNowaNaleznosc::PokazPosilki(bool pokaz) {
    PanelRodzPos->setVisible(pokaz);
    if (!pokaz)
        for (int k = 0; k < 6; ++k) dod_->Zaznaczone[k] = false;
    PokazZaznaczenie();
}

void TNowaNaleznosc::PokazZaznaczenie() {
    for (int k = 0; k < 6; ++k) {
        const QSignalBlocker b(CheckBox[k]);
        CheckBox[k]->setChecked(dod_->Zaznaczone[k]);
    }
    Label8->setText(dod_->Naliczony ? "Korekta oblicz.posiłków" : "Obliczanie posiłków");
    LabelKontr->setVisible(dod_->Naliczony);
    DBEditKontr->setVisible(dod_->Naliczony);
}

void TNowaNaleznosc::ComboBoxRodzajChange() {
    TDodanieNaleznosci::TRodzaj r;
    if (!dod_->ZnajdzRodzaj(ComboBoxRodzaj->currentText(), &r)) return;
    // The pending line follows the box at once, so a save never misses the kind shown.
    dod_->ZapiszRodzaj(r.Opis);
    if (r.Typ == kTypPosilki) {
        PokazPosilki(true);
        ComboBoxMiesChange(false);
    } else {
        PokazPosilki(false);
    }
}

void TNowaNaleznosc::ComboBoxRodzajExit() { dod_->ZapiszRodzaj(ComboBoxRodzaj->currentText()); }

void TNowaNaleznosc::ComboBoxMiesChange(bool zRoku) {
    if (!ObliczeniaWlaczone || ComboBoxRSzk->currentText().isEmpty() ||
        ComboBoxMies->currentIndex() < 0)
        return;
    const bool posilki = dod_->RodzajPosilkowy(ComboBoxRodzaj->currentText());
    if (!zRoku && !posilki) return;
    int rok = 0, nrMies = 0;
    if (!dod_->ZnajdzRok(ComboBoxRSzk->currentText(), &rok, &nrMies)) {
        ui::MessageBox("Rok szkolny wybieramy z listy. Jeśli brak - proszę dopisać nowy!", kUwaga,
                       ui::MB_OK);
        const QSignalBlocker b(ComboBoxRSzk);
        ComboBoxRSzk->setCurrentIndex(-1);
        return;
    }
    if (!posilki) return;
    const bool saDni = dod_->WczytajMiesiac(rok, nrMies, ComboBoxMies->currentIndex() + 1);
    PokazZaznaczenie();
    if (!saDni) ui::MessageBox("Brak liczby dni szkolnych w wybranym miesiącu!", kUwaga, ui::MB_OK);
}

void TNowaNaleznosc::ComboBoxDietaChange() { dod_->UstawCenyDiety(ComboBoxDieta->currentIndex()); }

void TNowaNaleznosc::SpeedButtonCennikClick() {
    if (!Cennik) return;
    Tag = 0;
    if (Glowny) Glowny->TrybCennika = 2;
    Cennik->Wolajacy = this;
    Cennik->TekstRodzaju = ComboBoxRodzaj->currentText();
    Cennik->ShowModal();
    if (Tag > 0) dod_->KwotaZCennika(Tag);
}

void TNowaNaleznosc::SpeedButtonRokClick() {
    if (!RokSzkolny || !Dokument) return;
    ObliczeniaWlaczone = false;
    RokSzkolny->TrybRoku = -1;
    RokSzkolny->ShowModal();
    RokSzkolny->TrybRoku = 0;
    // The register leaves the year it showed: its tables go back to the base files.
    if (Glowny) Glowny->WybierzRokSzkolny(QString());
    Dokument->TRokSzk->refresh();
    WypelnijLata();
    ObliczeniaWlaczone = true;
    // The meals shown belong to the year chosen before: read them for the year now chosen.
    if (!PanelRodzPos->isHidden()) ComboBoxMiesChange(true);
}

void TNowaNaleznosc::SpeedButtonPrzeliczClick() {
    if (PanelRodzPos->isHidden()) return;
    DBEdit1->setFocus();
    dod_->Razem();
}

void TNowaNaleznosc::SpeedButton2Click() {
    // A count being typed reaches the row before the total is taken.
    if (!PanelRodzPos->isHidden()) DBEdit1->setFocus();
    dod_->WstawKwote();
}

void TNowaNaleznosc::SpeedButtonDniClick() {
    if (ParamPosilkow) ParamPosilkow->ShowModal();
    ComboBoxMiesChange(false);
}

void TNowaNaleznosc::BitBtnZapiszClick() {
    // The kind is recorded into the pending line before it is checked.
    if (ComboBoxRodzaj->hasFocus()) DBEditKwota->setFocus();
    ComboBoxRodzajExit();
    const auto w = dod_->Zapisz(ComboBoxRSzk->currentText(), ComboBoxMies->currentIndex() + 1,
                                ComboBoxDieta->currentIndex());
    if (!w.ok) {
        if (!w.komunikat.isEmpty()) ui::MessageBox(w.komunikat, kUwaga, ui::MB_OK);
        using P = TDodanieNaleznosci::Pole;
        if (w.pole == P::RokSzk) ComboBoxRSzk->setFocus();
        if (w.pole == P::Miesiac) ComboBoxMies->setFocus();
        if (w.pole == P::Rodzaj) ComboBoxRodzaj->setFocus();
        if (w.pole == P::Kwota) DBEditKwota->setFocus();
        if (w.pole == P::Ilosc) DBEditL[w.posilek - 1]->setFocus();
        if (w.pole == P::Cena) DBEditC[w.posilek - 1]->setFocus();
        if (w.pole == P::Posilki) {
            PokazZaznaczenie();
            SpeedButton2->setFocus();
        }
        return;
    }
    Close();
}

void TNowaNaleznosc::BitBtnAnulujClick() {
    if (Dokument) Dokument->AnulujNowaNaleznosc();
    Close();
}

void TNowaNaleznosc::FormClose() {
    PierwszaAktywacja = true;
    ObliczeniaWlaczone = false;
    dod_->Zamknij();
    dod_->Dok = nullptr;
    // The document goes with the payment window: nothing may keep pointing at its tables.
    DBEditKwota->setDataField(nullptr, QString());
    Dokument = nullptr;
    if (Glowny) Glowny->TrybCennika = 0;
}
