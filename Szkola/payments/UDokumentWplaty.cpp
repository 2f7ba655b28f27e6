#include "Szkola/payments/UDokumentWplaty.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

const char* const kUwaga = "Uwaga!";
const char* const kKontrola = "\nProszę koniecznie wykonać funkcję kontroli poprawności opłat";

QString s(const db::Table* t, const char* pole) {
    return t->field(QString::fromLatin1(pole))->asString();
}
int i(const db::Table* t, const char* pole) {
    return t->field(QString::fromLatin1(pole))->asInteger();
}
double f(const db::Table* t, const char* pole) {
    return t->field(QString::fromLatin1(pole))->asFloat();
}
QDate d(const db::Table* t, const char* pole) {
    return t->field(QString::fromLatin1(pole))->asDate();
}
void ustaw(db::Table* t, const char* pole, const QVariant& v) {
    t->field(QString::fromLatin1(pole))->setValue(v);
}
// Copies a field as it stands (NULL stays NULL).
void kopiuj(db::Table* do_, const db::Table* z, const char* pole) {
    do_->field(QString::fromLatin1(pole))->setValue(z->field(QString::fromLatin1(pole))->value());
}

// The data fields of a pending header, to put it back after a rolled-back save.
struct Migawka {
    db::Table::State stan = db::Table::Browse;
    int idWplaty = 0;
    QList<QPair<QString, QVariant>> pola;
};

Migawka zrob(const db::Table* t) {
    Migawka m;
    m.stan = t->state();
    m.idWplaty = t->field("IdWplaty")->asInteger();
    for (const auto& p : t->fields())
        if (!p->isCalculated() && !p->isLookup() && p->type() != db::FieldType::AutoInc)
            m.pola.append({p->name(), p->value()});
    return m;
}

void odtworz(db::Table* t, const Migawka& m) {
    for (const auto& p : m.pola) t->field(p.first)->setValue(p.second);
}

// A payment date lies in the accounting years every walk reads; 0001-01-01 or 9999-12-31 is a
// typing slip, not a date.
bool DataWRoku(const QDate& data) { return !DataBledna(data) && RokKsiegowy(data.year()); }

// A date typed outside those years says so; only a missing one is "Brak ...".
QString BladDaty(const QDate& data, const char* brak, const char* jaka) {
    if (DataBledna(data)) return QString::fromUtf8(brak);
    return QString("%1 musi leżeć w latach %2 - %3!")
        .arg(QString::fromUtf8(jaka))
        .arg(PierwszyRokKsiegowy)
        .arg(OstatniRokKsiegowy);
}

void anuluj(db::Table* t) {
    if (t) t->cancel();
}

// The close must finish its steps even when one of them fails.
template <typename F>
void bezpiecznie(F&& krok) {
    try {
        krok();
    } catch (const std::exception&) {
    }
}

}  // namespace

TDokumentWplaty::TDokumentWplaty() {
    baza_ = DM->Baza();
    oplaty_ = std::make_unique<db::Table>(baza_);
    naleznosc_ = std::make_unique<db::Table>(baza_);
    rokSzk_ = std::make_unique<db::Table>(baza_);
    TOplaty = oplaty_.get();
    TNaleznosc = naleznosc_.get();
    TRokSzk = rokSzk_.get();

    TOplaty->setTableName("Str_OplAn.db");
    TOplaty->addLookupField(db::fText("RodzajOpl", 15), "RodzOpl", DM->TRodzOpl, "Symbol", "Opis");
    TOplaty->addCalculatedField(db::fText("Zalegly", 1));
    TOplaty->setCalcFieldsFunction(
        [this](db::Table& t) { t.field("Zalegly")->setString(Zalegly(t)); });

    TNaleznosc->setTableName("Naleznosc.db");
    TRokSzk->setTableName("RokSzkolny.DB");
}

TDokumentWplaty::~TDokumentWplaty() = default;

void TDokumentWplaty::WczytajUcznia() {
    db::Table* u = DM->TUczen;
    auto tekst = [u](const char* pole) {
        db::Field* p = u->findField(QString::fromLatin1(pole));
        return p ? p->asString() : QString();
    };
    IdUcznia = i(u, "IdUcznia");
    Nazwisko = tekst("Nazwisko");
    Imiona = tekst("Imiona");
    Miasto = tekst("Miasto");
    Ulica = tekst("Ulica");
    NrDomu = tekst("NrDomu");
    Lokal = tekst("Lokal");
    IdSzkoly = i(u, "IdSzkoly");
}

db::Table* TDokumentWplaty::Dokument() const {
    return RodzajDokumentu == DokPrzelew ? DM->TPrzelew : DM->TWplaty;
}
db::Table* TDokumentWplaty::Skladniki() const {
    return RodzajDokumentu == DokPrzelew ? DM->TSklPrzel : DM->TOplaty;
}
QString TDokumentWplaty::PoleSumy() const {
    return RodzajDokumentu == DokPrzelew ? QStringLiteral("SumaWart") : QStringLiteral("Kwota");
}
double TDokumentWplaty::Suma() const { return Dokument()->field(PoleSumy())->asFloat(); }

QString TDokumentWplaty::TypOplaty(const QString& symbol) {
    auto it = typy_.constFind(symbol);
    if (it != typy_.constEnd()) return *it;
    QString t = TypRodzajuOplaty(symbol);
    typy_.insert(symbol, t);
    return t;
}

// ---------------------------------------------------------------------------------------------
// Preparation and close

void TDokumentWplaty::Przygotuj() {
    przygotowany_ = true;  // from here on Zamknij() has something to undo
    if (TrybKorekty == 0) WskazPlikiRoku();
    UtworzTabeleRobocze();
    {
        // The work tables are private to the session: one transaction keeps their many small
        // posts fast.
        db::Transaction tx(baza_);
        ZbierzNaleznosci();
        tx.commit();
    }
    if (TrybKorekty == 0)
        NowyDokument();
    else
        WczytajKorekte();
    ZapamietajNaglowek();
}

void TDokumentWplaty::WskazPlikiRoku() {
    db::Table* tab[4] = {DM->TOplaty, DM->TWplaty, DM->TSklPrzel, DM->TPrzelew};
    for (int k = 0; k < 4; ++k) indeksy_[k] = tab[k]->indexFieldNames();
    plikiRoku_ = true;
    const bool przelew = RodzajDokumentu == DokPrzelew;
    db::Table* linie = przelew ? DM->TSklPrzel : DM->TOplaty;
    db::Table* dok = przelew ? DM->TPrzelew : DM->TWplaty;
    auto wskaz = [&](db::Table* t, const QString& nazwa) {
        t->close();
        t->setTableName(nazwa + ".db");
        if (!t->exists()) UtworzTabeleRoku(t->tableName());
    };
    wskaz(linie, PlikiRoku::Linie(RokKsiegowy, przelew));
    wskaz(dok, PlikiRoku::Dokumenty(RokKsiegowy, przelew));
    dok->setIndexFieldNames(przelew ? "NumerWpl" : "SposobWpl;NumerWpl");
    // A new document needs none of the year's other documents: the header cursor holds only
    // the key of the new one, so a school with many years of documents opens as fast as a
    // new one. The number itself is found on the index.
    ustawZakresNowego(NastepnyNumerWplaty() + 1);
    dok->open();
    // The lines follow the header, which now stands on no stored document.
    linie->setIndexFieldNames("IdWplaty;IdOplaty");
    linie->open();
}

void TDokumentWplaty::ustawZakresNowego(int numer) {
    db::Table* dok = Dokument();
    if (RodzajDokumentu == DokPrzelew) {
        dok->setRange({numer}, {numer});
    } else {
        const QString kod = RodzajDokumentu == DokZwrot ? "Z" : "K";
        dok->setRange({kod, numer}, {kod, numer});
    }
    zakresNowego_ = true;
    numerZakresu_ = numer;
}

int TDokumentWplaty::NastepnyNumerWplaty() const {
    // The last number stored; one below the greatest a document may carry at most, so that the
    // next proposal never overflows (a number saved by an earlier version may be larger).
    return qMin(ostatniNumer(), NajwiekszyNumerWplaty - 1);
}

int TDokumentWplaty::ostatniNumer() const {
    const QString tab = Dokument()->bareName();
    if (RodzajDokumentu == DokPrzelew)
        return baza_->scalar(QString("SELECT MAX(NumerWpl) FROM \"%1\"").arg(tab)).toInt();
    if (RodzajDokumentu == DokZwrot) {
        // The last document in "SposobWpl;NumerWpl" order is a pay-out only when the year has
        // one ("Z" sorts after "K"); pay-outs count apart from receipts.
        const QString ostatni =
            baza_->scalar(QString("SELECT MAX(SposobWpl) FROM \"%1\"").arg(tab)).toString();
        if (ostatni != "Z") return 0;
        return baza_
            ->scalar(QString("SELECT MAX(NumerWpl) FROM \"%1\" WHERE SposobWpl = 'Z'").arg(tab))
            .toInt();
    }
    return baza_->scalar(QString("SELECT MAX(NumerWpl) FROM \"%1\" WHERE SposobWpl = 'K'").arg(tab))
        .toInt();
}

void TDokumentWplaty::UtworzTabeleRobocze() {
    UtworzTabeleSesji(DM->TOplatyR, "ROpl", "Str_OplAn.db");
    UtworzTabeleSesji(TOplaty, "ROplOg", "Str_OplAn.db");
    TOplaty->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl;IdPorz");
    UtworzTabeleSesji(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
    DM->TOplatyR->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl;IdPorz");
    DM->TSprOpl->setIndexFieldNames("IdUcznia;RokSzk;RodzOpl");
}

void TDokumentWplaty::NowyDokument() {
    db::Table* dok = Dokument();
    const int n = NastepnyNumerWplaty();
    if (!zakresNowego_ || numerZakresu_ != n + 1) ustawZakresNowego(n + 1);
    dok->append();
    ustaw(dok, "NumerWpl", n + 1);
    const QString nazwa = Nazwisko + " " + Imiona;
    if (RodzajDokumentu == DokPrzelew) {
        ustaw(dok, "Nazwa", nazwa);
        ustaw(dok, "Tresc", "Derara");
        ustaw(dok, "IdSzkoly", IdSzkoly);
        ustaw(dok, "SposobWpl", "B");
        return;
    }
    ustaw(dok, "DataWpl", DataRobocza);
    ustaw(dok, "Nazwa", nazwa);
    ustaw(dok, "Adres", Miasto + " ul." + Ulica + " " + NrDomu + " m." + Lokal);
    ustaw(dok, "Tresc", "Derara");
    ustaw(dok, "IdSzkoly", IdSzkoly);
    if (RodzajDokumentu == DokZwrot) {
        ustaw(dok, "SposobWpl", "Z");
        ustaw(dok, "Tresc", "Zwrot nadpłaty");
    } else {
        ustaw(dok, "SposobWpl", "K");
    }
}

void TDokumentWplaty::WczytajKorekte() {
    db::Table* dok = Dokument();
    db::Table* skl = Skladniki();
    db::Table* ropl = DM->TOplatyR;
    const int id = i(dok, "IdWplaty");
    for (skl->first(); !skl->eof() && i(skl, "IdWplaty") == id; skl->next()) {
        const QString t = TypOplaty(s(skl, "RodzOpl"));
        TOplaty->append();
        for (const char* p :
             {"RodzOpl", "IdUcznia", "RokSzk", "Miesiac", "Rok", "TerminWpl", "Kwota"})
            kopiuj(TOplaty, skl, p);
        ustaw(TOplaty, "TypOpl", t);
        ustaw(TOplaty, "Odsetki", "W");
        kopiuj(TOplaty, skl, "IdOplaty");
        TOplaty->post();
        const int idPorz = i(TOplaty, "IdPorz");

        ropl->append();
        for (const char* p :
             {"TerminWpl", "RodzOpl", "RokSzk", "Miesiac", "Rok", "Kwota", "Tresc", "IdOplaty"})
            kopiuj(ropl, skl, p);
        ustaw(ropl, "TypOpl", t);
        ustaw(ropl, "IdUcznia", idPorz);
        ropl->post();
    }
    TOplaty->first();
    ropl->first();
    dok->edit();
}

void TDokumentWplaty::Zamknij() {
    if (!przygotowany_) return;
    przygotowany_ = false;
    bezpiecznie([&] { EdycjaAnuluj(); });
    bezpiecznie([&] { ZakonczLiczOds(); });
    for (db::Table* t : {DM->TOplaty, DM->TWplaty, DM->TSklPrzel, DM->TPrzelew})
        bezpiecznie([&] { anuluj(t); });
    if (TrybKorekty == 0 && plikiRoku_) {
        db::Table* tab[4] = {DM->TOplaty, DM->TWplaty, DM->TSklPrzel, DM->TPrzelew};
        const char* bazowe[4] = {"OplatyAn.db", "Wplaty.db", "OplatyAn.db", "Przelewy.db"};
        for (int k = 0; k < 4; ++k) {
            bezpiecznie([&] {
                tab[k]->close();
                tab[k]->cancelRange();
                tab[k]->setTableName(bazowe[k]);
                tab[k]->setIndexFieldNames(indeksy_[k]);
                tab[k]->open();
            });
        }
    }
    plikiRoku_ = false;
    zakresNowego_ = false;
    bezpiecznie([&] {
        anuluj(DM->TOplatyR);
        DM->TOplatyR->close();
        UsunTabeleSesji(DM->TOplatyR, "Str_OplAn.db");
        DM->TOplatyR->open();
    });
    bezpiecznie([&] {
        anuluj(DM->TSprOpl);
        DM->TSprOpl->close();
        UsunTabeleSesji(DM->TSprOpl, "Str_SprOpl.db");
        DM->TSprOpl->open();
    });
    bezpiecznie([&] {
        anuluj(TOplaty);
        TOplaty->close();
        UsunTabeleSesji(TOplaty, "Str_OplAn.db");
    });
    bezpiecznie([&] {
        anuluj(TNaleznosc);
        TNaleznosc->close();
        TNaleznosc->cancelRange();
        TNaleznosc->setTableName("Naleznosc.db");
    });
    bezpiecznie([&] { TRokSzk->close(); });
}

// ---------------------------------------------------------------------------------------------
// Fees due

void TDokumentWplaty::ZbierzNaleznosci() {
    db::Table* spr = DM->TSprOpl;
    const int dzienRozlicz = DzienRozliczenia(baza_);

    TRokSzk->close();
    TRokSzk->setIndexFieldNames("RokSzk");
    TRokSzk->open();
    for (TRokSzk->first(); !TRokSzk->eof(); TRokSzk->next()) {
        const int rokRoku = i(TRokSzk, "Rok");
        const int nrMies = i(TRokSzk, "NrMies");
        const QString rokSzk = s(TRokSzk, "RokSzk");
        TNaleznosc->close();
        TNaleznosc->cancelRange();
        TNaleznosc->setTableName(PlikiRoku::Naleznosci(KluczRokuSzk(rokRoku, nrMies)));
        if (!TNaleznosc->exists()) continue;
        // Only this pupil's rows are read.
        TNaleznosc->setIndexFieldNames("IdUcznia;RodzOpl;Status");
        TNaleznosc->setRange({IdUcznia}, {IdUcznia});
        TNaleznosc->open();
        for (TNaleznosc->first(); !TNaleznosc->eof() && i(TNaleznosc, "IdUcznia") == IdUcznia;
             TNaleznosc->next()) {
            const QString rodz = s(TNaleznosc, "RodzOpl");
            if (spr->findKey({IdUcznia, rokSzk, rodz})) {
                spr->edit();
            } else {
                spr->append();
                ustaw(spr, "IdUcznia", IdUcznia);
                ustaw(spr, "RokSzk", rokSzk);
                ustaw(spr, "RodzOpl", rodz);
                ustaw(spr, "TypOpl", TypOplaty(rodz));
                ustaw(spr, "Rok", rokRoku);
                ustaw(spr, "Miesiac", nrMies);
            }
            const QString status = s(TNaleznosc, "Status");
            const QString typ = s(spr, "TypOpl");
            for (int m = 1; m <= 12; ++m) {
                const double kwota = TNaleznosc->field(PoleMiesiaca('M', m))->asFloat();
                if (status.isEmpty()) {
                    db::Field* pm = spr->field(PoleMiesiaca('M', m));
                    if (RodzajDokumentu != DokZwrot) {
                        pm->setFloat(pm->asFloat() + kwota);
                    } else {
                        // A refund counts only what is due by the working month.
                        if (NaleznyDoZwrotu(typ, RokMiesiaca(rokRoku, nrMies, m), m, DataRobocza))
                            pm->setFloat(Zaokraglij(pm->asFloat() + kwota, 2));
                    }
                } else if (status == "Z") {
                    db::Field* pz = spr->field(PoleMiesiaca('Z', m));
                    pz->setFloat(pz->asFloat() + kwota);
                }
            }
            spr->post();
        }
    }
    TNaleznosc->close();

    // One list line per kind and month where due and paid differ.
    double a = 0.0, b = 0.0;
    for (spr->first(); !spr->eof(); spr->next()) {
        const QString typ = s(spr, "TypOpl");
        for (int m = 1; m <= 12; ++m) {
            const double dd = Zaokraglij(spr->field(PoleMiesiaca('M', m))->asFloat() -
                                             spr->field(PoleMiesiaca('Z', m))->asFloat(),
                                         2);
            if (dd == 0.0) continue;
            const int rok = RokMiesiaca(i(spr, "Rok"), i(spr, "Miesiac"), m);
            const QDate termin = TerminPlatnosci(rok, m, dzienRozlicz);
            TOplaty->append();
            for (const char* p : {"RodzOpl", "TypOpl", "IdUcznia", "RokSzk"})
                kopiuj(TOplaty, spr, p);
            ustaw(TOplaty, "Miesiac", m);
            ustaw(TOplaty, "Rok", rok);
            ustaw(TOplaty, "TerminWpl", termin);
            ustaw(TOplaty, "Kwota", dd);
            TOplaty->post();
            if (RodzajDokumentu == DokZwrot) {
                // An entry fee due later ("Z") is not part of the balance.
                if (ZnakZaleglosci(termin, DataRobocza, typ, true) == "Z") continue;
                if (typ == "_O") {
                    if (dd > 0)
                        a -= dd;
                    else
                        b += dd;
                } else {
                    if (dd > 0)
                        a += dd;
                    else
                        b -= dd;
                }
            }
        }
    }
    TOplaty->first();

    if (RodzajDokumentu == DokZwrot) SaldoNaleznosci = Zaokraglij(a - b, 2);
    ustawStopke();
}

void TDokumentWplaty::ustawStopke() {
    Stopka.clear();
    if (RodzajDokumentu != DokZwrot) return;
    if (SaldoNaleznosci > 0)
        Stopka = "Razem zaległości:  " + FormatujKwote(SaldoNaleznosci) + "zł";
    else
        Stopka = "Razem nadpłata:  " + FormatujKwote(-SaldoNaleznosci) + "zł";
}

void TDokumentWplaty::NowaNaleznosc() {
    AnulujNowaNaleznosc();
    TOplaty->append();
    ustaw(TOplaty, "IdUcznia", IdUcznia);
    if (RodzajDokumentu == DokZwrot) ustaw(TOplaty, "TypOpl", "_O");
}

bool TDokumentWplaty::NowaNaleznoscTrwa() const {
    return TOplaty->active() && TOplaty->state() == db::Table::Insert;
}

void TDokumentWplaty::AnulujNowaNaleznosc() {
    if (NowaNaleznoscTrwa()) TOplaty->cancel();
}

void TDokumentWplaty::ZmniejszSaldo(double kwota) {
    if (RodzajDokumentu != DokZwrot) return;
    // Compared to zero below: a balance off by binary noise must not read as arrears.
    SaldoNaleznosci = Zaokraglij(SaldoNaleznosci - kwota, 2);
    ustawStopke();
}

QString TDokumentWplaty::Zalegly(const db::Table& linia) const {
    return ZnakZaleglosci(linia.field("TerminWpl")->asDate(), DataRobocza,
                          linia.field("TypOpl")->asString(), RodzajDokumentu == DokZwrot);
}

void TDokumentWplaty::ZapamietajNaglowek() {
    naglowekStart_.clear();
    if (db::Table* dok = Dokument(); dok && dok->active())
        for (const auto& p : zrob(dok).pola) naglowekStart_.append(p.second);
}

bool TDokumentWplaty::NumerDalekoPoNastepnym() const {
    db::Table* dok = Dokument();
    if (!dok || dok->state() != db::Table::Insert || RodzajDokumentu == DokPrzelew) return false;
    const qint64 numer = i(dok, "NumerWpl");
    return numer > qint64(NastepnyNumerWplaty()) + 1 + DopuszczalnyOdstepNumeru;
}

bool TDokumentWplaty::Zmieniony() const {
    if (DM->TOplatyR->active() && !DM->TOplatyR->isEmpty()) return true;
    db::Table* dok = Dokument();
    if (!dok || !dok->active() || naglowekStart_.isEmpty()) return false;
    QList<QVariant> teraz;
    for (const auto& p : zrob(dok).pola) teraz.append(p.second);
    return teraz != naglowekStart_;
}

void TDokumentWplaty::zglos(const QString& tekst) { Komunikaty.append({tekst, kUwaga}); }

void TDokumentWplaty::przesunSume(double o) {
    db::Field* p = Dokument()->field(PoleSumy());
    p->setFloat(p->asFloat() + o);
}

void TDokumentWplaty::Wybierz() {
    if (RodzajDokumentu == DokZwrot && SaldoNaleznosci >= 0.0 && s(TOplaty, "TypOpl") != "WP")
        zglos("Brak nadpłaty do zwrotu!");
    if (TOplaty->isEmpty()) return;
    const QString znak = s(TOplaty, "Odsetki");
    if (znak == "W" || znak == "%") return;

    const QString typ = s(TOplaty, "TypOpl");
    QString tekst;
    if (typ == "WP")
        tekst = "Wpisowe za przyjęcie do szkoły/przedszkola";
    else if (typ == "_S")
        tekst = "Odsetki za opłaty po terminie płatności";
    else
        tekst = s(TOplaty, "RodzajOpl") + " za miesiąc " + QString::number(i(TOplaty, "Miesiac")) +
                "." + QString::number(i(TOplaty, "Rok"));

    db::Table* ropl = DM->TOplatyR;
    ropl->append();
    for (const char* p : {"RodzOpl", "TypOpl", "RokSzk", "Miesiac", "Rok", "TerminWpl", "Kwota"})
        kopiuj(ropl, TOplaty, p);
    ustaw(ropl, "IdUcznia", i(TOplaty, "IdPorz"));
    ustaw(ropl, "Tresc", tekst);
    if (TrybKorekty == 1) kopiuj(ropl, TOplaty, "IdOplaty");
    ropl->post();

    TOplaty->edit();
    ustaw(TOplaty, "Odsetki", "W");
    TOplaty->post();

    const double k = f(TOplaty, "Kwota");
    const bool odpis = typ == "_O";
    if (RodzajDokumentu == DokZwrot)
        przesunSume(odpis ? k : -k);
    else
        przesunSume(odpis ? -k : k);
}

void TDokumentWplaty::UsunPozycje() {
    db::Table* ropl = DM->TOplatyR;
    if (ropl->isEmpty()) return;
    const int powrot = i(ropl, "IdUcznia");
    const QString rodz = s(ropl, "RodzOpl");
    if (powrot > 0 && TOplaty->locate("IdPorz", {powrot})) {
        // A fee line is released only after its interest line has gone.
        if (s(TOplaty, "Odsetki") == "%" && rodz != "_S") return;
        TOplaty->edit();
        ustaw(TOplaty, "Odsetki", rodz == "_S" && s(TOplaty, "RodzOpl") != "_S" ? "W" : " ");
        TOplaty->post();
    }
    const double k = f(ropl, "Kwota");
    const bool odpis = s(ropl, "TypOpl") == "_O";
    if (RodzajDokumentu == DokZwrot)
        przesunSume(odpis ? -k : k);
    else
        przesunSume(odpis ? k : -k);
    ropl->remove();
}

// ---------------------------------------------------------------------------------------------
// Line edit and the interest line

bool TDokumentWplaty::EdycjaStart() {
    db::Table* ropl = DM->TOplatyR;
    // A second start in the middle of an edit would take the amount typed so far for the old
    // one, and the total would miss the change.
    if (ropl->isEmpty() || EdycjaTrwa()) return false;
    ropl->edit();
    KwotaPrzedEdycja = f(ropl, "Kwota");
    return true;
}

bool TDokumentWplaty::EdycjaTrwa() const {
    return DM->TOplatyR->active() && DM->TOplatyR->state() == db::Table::Edit;
}

void TDokumentWplaty::EdycjaZapisz() {
    db::Table* ropl = DM->TOplatyR;
    if (!EdycjaTrwa()) return;
    // Amounts are kept to the grosz whatever the edit let through.
    ustaw(ropl, "Kwota", Zaokraglij(f(ropl, "Kwota"), 2));
    ropl->post();
    const double stara = KwotaPrzedEdycja, nowa = f(ropl, "Kwota");
    const bool odpis = s(ropl, "TypOpl") == "_O";
    if (RodzajDokumentu == DokZwrot)
        przesunSume(odpis ? nowa - stara : stara - nowa);
    else
        przesunSume(odpis ? stara - nowa : nowa - stara);
}

void TDokumentWplaty::EdycjaAnuluj() {
    if (EdycjaTrwa()) DM->TOplatyR->cancel();
}

TDokumentWplaty::Odsetki TDokumentWplaty::MoznaNaliczycOdsetki() {
    if (TOplaty->isEmpty()) return Odsetki::Nie;
    const QString typ = s(TOplaty, "TypOpl");
    if (typ == "_O" || typ == "_S") return Odsetki::Nie;
    if (s(TOplaty, "Odsetki") != "W" || Zalegly(*TOplaty) != "%") return Odsetki::Nie;
    if (RodzajDokumentu == DokPrzelew && !DataWRoku(d(DM->TPrzelew, "DataWpl"))) {
        zglos(BladDaty(d(DM->TPrzelew, "DataWpl"), "Podaj datę przelewu!", "Data przelewu"));
        return Odsetki::BrakDaty;
    }
    return Odsetki::Tak;
}

void TDokumentWplaty::PrzygotujLiczOds() {
    db::Table* lo = DM->TLiczOds;
    UtworzTabeleSesji(lo, "RbOds", "Str_LiczOds.db");
    lo->append();
    ustaw(lo, "DataOd", d(TOplaty, "TerminWpl"));
    ustaw(lo, "DataWpl", d(Dokument(), "DataWpl"));
    ustaw(lo, "Kwota", f(TOplaty, "Kwota"));
}

void TDokumentWplaty::DodajOdsetki(double odsetki) {
    QString tekst = "Odsetki za " + s(TOplaty, "RodzajOpl");
    if (s(TOplaty, "TypOpl") == "WP")
        tekst += " za przyjęcie do szkoły/przedszkola";
    else
        tekst += " za miesiąc " + QString::number(i(TOplaty, "Miesiac")) + "." +
                 QString::number(i(TOplaty, "Rok"));
    db::Table* ropl = DM->TOplatyR;
    ropl->append();
    ustaw(ropl, "RodzOpl", "_S");
    ustaw(ropl, "TypOpl", "_S");
    for (const char* p : {"RokSzk", "Miesiac", "Rok", "TerminWpl"}) kopiuj(ropl, TOplaty, p);
    ustaw(ropl, "Kwota", Zaokraglij(odsetki, 2));
    ustaw(ropl, "IdUcznia", i(TOplaty, "IdPorz"));
    ustaw(ropl, "Tresc", tekst);
    // IdOplaty stays empty, in a correction too: the save then stores the interest as a line
    // of its own instead of overwriting the fee line it was charged on.
    ropl->post();

    TOplaty->edit();
    ustaw(TOplaty, "Odsetki", "%");
    TOplaty->post();
    if (RodzajDokumentu != DokZwrot) przesunSume(Zaokraglij(odsetki, 2));
}

void TDokumentWplaty::ZakonczLiczOds() {
    db::Table* lo = DM->TLiczOds;
    const QString nazwa = lo->bareName();
    if (nazwa.compare("Str_LiczOds", Qt::CaseInsensitive) == 0 && lo->active()) return;
    anuluj(lo);
    lo->close();
    UsunTabeleSesji(lo, "Str_LiczOds.db");
    lo->open();
}

// ---------------------------------------------------------------------------------------------
// Save

bool TDokumentWplaty::otworzNaleznosci(const QString& rokSzk) {
    if (!TRokSzk->active()) {
        TRokSzk->setIndexFieldNames("RokSzk");
        TRokSzk->open();
    }
    if (!TRokSzk->findKey({rokSzk})) {
        zglos(QString("Błąd otwarcia pliku!") + kKontrola);
        return false;
    }
    const QString nazwa =
        PlikiRoku::Naleznosci(KluczRokuSzk(i(TRokSzk, "Rok"), i(TRokSzk, "NrMies")));
    // Lines of one school year follow each other: the file stays open between them.
    if (TNaleznosc->active() && TNaleznosc->bareName().compare(nazwa, Qt::CaseInsensitive) == 0)
        return true;
    TNaleznosc->close();
    TNaleznosc->cancelRange();
    TNaleznosc->setTableName(nazwa + ".db");
    if (!TNaleznosc->exists()) {
        zglos(QString("Błąd otwarcia pliku Naleznosci!") + kKontrola);
        return false;
    }
    TNaleznosc->setIndexFieldNames("IdUcznia;RodzOpl;Status");
    TNaleznosc->setRange({IdUcznia}, {IdUcznia});
    TNaleznosc->open();
    return true;
}

void TDokumentWplaty::dodajDoWierszaOplaconego(const QString& rokSzk, const QString& rodzOpl,
                                               int miesiac, double kwota) {
    if (!otworzNaleznosci(rokSzk)) return;
    const QString pole = PoleMiesiaca('M', miesiac);
    if (TNaleznosc->findKey({IdUcznia, rodzOpl, "Z"})) {
        TNaleznosc->edit();
    } else {
        TNaleznosc->append();
        ustaw(TNaleznosc, "IdUcznia", IdUcznia);
        ustaw(TNaleznosc, "RodzOpl", rodzOpl);
        ustaw(TNaleznosc, "Status", "Z");
    }
    db::Field* p = TNaleznosc->field(pole);
    p->setFloat(Zaokraglij(p->asFloat() + kwota, 2));
    TNaleznosc->post();
}

bool KwotaWZakresie(double kwota) {
    return std::isfinite(kwota) && std::fabs(Zaokraglij(kwota, 2)) <= NajwiekszaKwota;
}

const QString KomunikatZakresuKwoty =
    QStringLiteral("Kwota musi leżeć w granicach -999 999,99 - 999 999,99!");

bool TDokumentWplaty::SprawdzPrzedZapisem(Pole* pole) {
    auto ustawPole = [pole](Pole p) {
        if (pole) *pole = p;
    };
    ustawPole(Pole::Brak);
    db::Table* dok = Dokument();
    db::Table* ropl = DM->TOplatyR;

    const bool brakNadplaty = RodzajDokumentu == DokZwrot && SaldoNaleznosci >= 0.0 &&
                              TrybKorekty == 0 && s(ropl, "TypOpl") != "WP";
    if (brakNadplaty) zglos("Brak nadpłaty do zwrotu!");

    if (RodzajDokumentu == DokPrzelew) {
        QString bank;
        if (db::Field* nb = dok->findField("NazwaBanku")) bank = nb->asString();
        if (bank.isEmpty() && !dok->field("IdBanku")->isNull() && DM->TBanki->active() &&
            DM->TBanki->locate("IdBanku", {i(dok, "IdBanku")}))
            bank = s(DM->TBanki, "Nazwa");
        if (bank.isEmpty()) {
            zglos("Brak określenia banku!");
            ustawPole(Pole::Bank);
            return false;
        }
        if (!DataWRoku(d(dok, "DataWpl"))) {
            zglos(BladDaty(d(dok, "DataWpl"), "Brak daty przelewu!", "Data przelewu"));
            ustawPole(Pole::DataPrzelewu);
            return false;
        }
    }

    // The header cursor is held on the key of the document's number, and the printouts show
    // it: a document without a proper number would be stored out of sight, its lines orphaned.
    db::Field* numer = dok->field("NumerWpl");
    if (numer->isNull() || numer->asInteger() < 1 || numer->asInteger() > NajwiekszyNumerWplaty) {
        zglos("Błąd numeru wpłaty!");
        ustawPole(Pole::Numer);
        return false;
    }
    if (RodzajDokumentu != DokPrzelew && !DataWRoku(d(dok, "DataWpl"))) {
        zglos(BladDaty(d(dok, "DataWpl"), "Brak daty wpłaty!",
                       RodzajDokumentu == DokZwrot ? "Data wypłaty" : "Data wpłaty"));
        ustawPole(Pole::Data);
        return false;
    }

    const bool przelew = RodzajDokumentu == DokPrzelew;
    if (!KwotaWZakresie(f(dok, "Kwota"))) {
        zglos(KomunikatZakresuKwoty);
        ustawPole(przelew ? Pole::KwotaPrzelewu : Pole::Kwota);
        return false;
    }
    ustaw(dok, "Kwota", Zaokraglij(f(dok, "Kwota"), 2));
    if (przelew) ustaw(dok, "SumaWart", Zaokraglij(f(dok, "SumaWart"), 2));

    double suma = 0.0, zwrotBezWpisowego = 0.0;
    for (ropl->first(); !ropl->eof(); ropl->next()) {
        if (!KwotaWZakresie(f(ropl, "Kwota"))) {
            zglos(KomunikatZakresuKwoty);
            ustawPole(Pole::Kwota);
            return false;
        }
        const QString typ = s(ropl, "TypOpl");
        const double k = typ == "_O" ? -f(ropl, "Kwota") : f(ropl, "Kwota");
        suma += k;
        // Entry fees held for later are no part of the balance the footer shows.
        if (typ != "WP") zwrotBezWpisowego -= k;
    }

    // Whatever the header says, the lines decide the amount that is stored: a receipt cannot
    // take money out, a pay-out must pay something out (lines still owed would otherwise be
    // booked as paid).
    if (RodzajDokumentu == DokKasa && Zaokraglij(suma, 2) < 0.0) {
        zglos("Kwota wpłaty nie może być ujemna!");
        ustawPole(Pole::Kwota);
        return false;
    }
    if (RodzajDokumentu == DokZwrot && !(Zaokraglij(-suma, 2) > 0.0)) {
        zglos("Kwota zwrotu musi być większa od zera!");
        ustawPole(Pole::Kwota);
        return false;
    }

    if (RodzajDokumentu == DokKasa) {
        if (Zaokraglij(suma, 2) != f(dok, "Kwota")) {
            zglos("Niezgodna suma opłat!");
            ustaw(dok, "Kwota", suma);
            ustawPole(Pole::Kwota);
            return false;
        }
    } else if (RodzajDokumentu == DokPrzelew) {
        ustaw(dok, "SumaWart", suma);
        if (Zaokraglij(suma, 2) != f(dok, "Kwota")) {
            zglos("Niezgodna suma opłat z wartością przelewu!");
            ustawPole(Pole::KwotaPrzelewu);
            return false;
        }
    } else {
        if (Zaokraglij(-suma, 2) != f(dok, "Kwota")) {
            zglos("Niezgodna suma zwrotu!");
            ustaw(dok, "Kwota", -suma);
            ustawPole(Pole::Kwota);
            return false;
        }
        // Cash beyond what is owed back may leave the till, but knowingly.
        const double nadplata = SaldoNaleznosci < 0.0 ? -SaldoNaleznosci : 0.0;
        if (TrybKorekty == 0 && !brakNadplaty && Zaokraglij(zwrotBezWpisowego, 2) > nadplata)
            zglos("Kwota zwrotu " + FormatujKwote(zwrotBezWpisowego) + "zł przekracza nadpłatę " +
                  FormatujKwote(nadplata) + "zł!");
    }
    return true;
}

bool TDokumentWplaty::Zapisz(Pole* pole) {
    if (pole) *pole = Pole::Brak;
    QString odmowa;
    if (!MaUprawnienie(BiezacyOperator, 2, &odmowa)) {
        if (!odmowa.isEmpty()) Komunikaty.append({odmowa, TytulOdmowyUprawnien});
        return false;
    }
    // An amount being edited is taken as the line's own save would take it.
    EdycjaZapisz();
    if (!SprawdzPrzedZapisem(pole)) return false;

    db::Table* dok = Dokument();
    db::Table* skl = Skladniki();
    db::Table* ropl = DM->TOplatyR;

    // A new header is held on the key of its number: follow a number the operator changed.
    if (zakresNowego_ && dok->state() == db::Table::Insert && i(dok, "NumerWpl") != numerZakresu_) {
        const Migawka m = zrob(dok);
        const int numer = i(dok, "NumerWpl");
        dok->cancel();
        ustawZakresNowego(numer);
        dok->append();
        odtworz(dok, m);
    }

    // School years may have changed since the window was prepared.
    if (TRokSzk->active()) TRokSzk->refresh();

    const Migawka naglowek = zrob(dok);
    const QDate dzis = QDate::currentDate();
    const int oper = BiezacyOperator.Symbol;
    bool naglowekZapisany = false;
    const bool przelew = RodzajDokumentu == DokPrzelew;
    TWycofanieOdsetek wycofanie(baza_);
    try {
        db::Transaction tx(baza_);

        // The header.
        if (dok->state() == db::Table::Insert) {
            ustaw(dok, "DataWprow", dzis);
            ustaw(dok, "OperWprow", oper);
        } else {
            ustaw(dok, "DataMod", dzis);
            ustaw(dok, "OperMod", oper);
        }
        const int numerDok = i(dok, "NumerWpl");
        const QString sposobDok = s(dok, "SposobWpl");
        dok->post();
        naglowekZapisany = true;
        // The lines hang on the id of the row the cursor stands on after the post: unless that
        // is the document just written, they would be nobody's or another document's.
        const int idWplaty =
            dok->isEmpty() || dok->field("IdWplaty")->isNull() ? 0 : i(dok, "IdWplaty");
        if (idWplaty <= 0 || i(dok, "NumerWpl") != numerDok || s(dok, "SposobWpl") != sposobDok ||
            (naglowek.stan == db::Table::Edit && idWplaty != naglowek.idWplaty))
            throw db::Error(db::Error::General, "Zapisany dokument nie został odnaleziony.");

        // A correction first takes the old lines back and drops those no longer in it, with
        // the interest the run charged on them.
        if (TrybKorekty == 1) {
            for (skl->first(); !skl->eof() && i(skl, "IdWplaty") == idWplaty; skl->next()) {
                if (otworzNaleznosci(s(skl, "RokSzk")) &&
                    TNaleznosc->findKey({IdUcznia, s(skl, "RodzOpl"), "Z"})) {
                    TNaleznosc->edit();
                    db::Field* p = TNaleznosc->field(PoleMiesiaca('M', i(skl, "Miesiac")));
                    p->setFloat(Zaokraglij(p->asFloat() - f(skl, "Kwota"), 2));
                    TNaleznosc->post();
                }
                if (!ropl->locate("IdOplaty", {i(skl, "IdOplaty")})) {
                    if (!s(skl, "Odsetki").isEmpty())
                        wycofanie.Linii(RokKsiegowy, przelew, i(skl, "IdUcznia"),
                                        i(skl, "IdOplaty"));
                    skl->edit();
                    ustaw(skl, "SposobWpl", "X");
                    skl->post();
                }
            }
            skl->first();
            while (!skl->eof() && i(skl, "IdWplaty") == idWplaty) {
                if (s(skl, "SposobWpl") == "X") {
                    skl->remove();
                    skl->first();
                } else {
                    skl->next();
                }
            }
        }

        int nr = 0;
        for (ropl->first(); !ropl->eof(); ropl->next(), ++nr) {
            const bool stary = TrybKorekty == 1 && !ropl->field("IdOplaty")->isNull() &&
                               skl->locate("IdOplaty", {i(ropl, "IdOplaty")});
            if (stary) {
                // A line examined by the interest run and changed since is examined afresh.
                const bool zmieniona =
                    Zaokraglij(f(skl, "Kwota"), 2) != Zaokraglij(f(ropl, "Kwota"), 2) ||
                    d(skl, "DataWpl") != d(dok, "DataWpl");
                const bool zbadana = !s(skl, "Odsetki").isEmpty();
                if (zmieniona && zbadana)
                    wycofanie.Linii(RokKsiegowy, przelew, i(skl, "IdUcznia"), i(skl, "IdOplaty"));
                skl->edit();
                ustaw(skl, "DataMod", dzis);
                ustaw(skl, "OperMod", oper);
                if (zmieniona && zbadana) {
                    ustaw(skl, "Odsetki", QString());
                    skl->field("IdNaleznosc")->clear();
                }
            } else {
                skl->append();
                ustaw(skl, "IdWplaty", idWplaty);
                ustaw(skl, "IdUcznia", IdUcznia);
                ustaw(skl, "DataWprow", dzis);
                ustaw(skl, "OperWprow", oper);
                kopiuj(skl, dok, "SposobWpl");
                for (const char* p : {"TerminWpl", "RodzOpl", "RokSzk", "Miesiac", "Rok"})
                    kopiuj(skl, ropl, p);
            }
            ustaw(skl, "Kwota", Zaokraglij(f(ropl, "Kwota"), 2));
            kopiuj(skl, dok, "DataWpl");
            kopiuj(skl, ropl, "Tresc");
            skl->post();
            dodajDoWierszaOplaconego(s(ropl, "RokSzk"), s(ropl, "RodzOpl"), i(ropl, "Miesiac"),
                                     f(ropl, "Kwota"));
            if (PoZapisieLinii) PoZapisieLinii(nr);
        }
        tx.commit();
        if (const QString o = wycofanie.Komunikat(); !o.isEmpty()) zglos(o);
    } catch (const std::exception& e) {
        // Everything of this save was rolled back; the window stays with the document as it
        // was before the button was pressed. A write that failed leaves its record pending:
        // it must not be carried into the next attempt.
        const auto* blad = dynamic_cast<const db::Error*>(&e);
        const bool numerZajety = blad && blad->kind() == db::Error::KeyViolation;
        // The cause the user can act on (a full disk, the data file gone) goes with the message.
        const QString nieZapisany =
            QStringLiteral("Błąd zapisu dokumentu! Dokument nie został zapisany.\n") +
            (blad ? blad->message() : QString::fromUtf8(e.what()));
        bezpiecznie([&] {
            anuluj(TNaleznosc);
            TNaleznosc->close();
        });
        bezpiecznie([&] { anuluj(skl); });
        if (!naglowekZapisany && !numerZajety) {
            zglos(nieZapisany);
            return false;
        }
        if (!naglowekZapisany) {
            if (RodzajDokumentu == DokPrzelew) {
                zglos("Błąd zapisu przelewu!");
                ustaw(dok, "NumerWpl", i(dok, "NumerWpl") + 1);
            } else {
                zglos("Błąd numeru wpłaty!");
            }
            return false;
        }
        if (naglowek.stan == db::Table::Insert) {
            dok->append();
        } else {
            dok->locate("IdWplaty", {naglowek.idWplaty});
            dok->edit();
        }
        odtworz(dok, naglowek);
        zglos(nieZapisany);
        return false;
    }

    // Saved: a view that fails to follow must not make the save look failed.
    for (db::Table* t : {DM->TNaleznosc, DMw->TNaleznosc})
        bezpiecznie([t] {
            if (t && t->active()) t->refresh();
        });
    return true;
}

void TWycofanieOdsetek::Linii(int rokFK, bool przelew, int idUcznia, int idOplaty) {
    db::Table o(baza_);
    o.setTableName("OdsNalezne");
    if (!o.exists()) return;
    o.setIndexFieldNames("IdUcznia;RokFK;SposobWpl;IdOplaty");
    const QVariantList klucz{idUcznia, rokFK, przelew ? SposobOdsetek::Bank : SposobOdsetek::Kasa,
                             idOplaty};
    o.setRange(klucz, klucz);
    wycofaj(o);
}

void TWycofanieOdsetek::Dokumentu(int rokFK, bool przelew, int idWplaty) {
    db::Table o(baza_);
    o.setTableName("OdsNalezne");
    if (!o.exists()) return;
    o.setIndexFieldNames("RokFK;SposobWpl;IdWplaty");
    const QVariantList klucz{rokFK, przelew ? SposobOdsetek::Bank : SposobOdsetek::Kasa, idWplaty};
    o.setRange(klucz, klucz);
    wycofaj(o);
}

void TWycofanieOdsetek::wycofaj(db::Table& o) {
    o.open();
    while (!o.isEmpty()) {
        o.first();
        const int uczen = o.field("IdUcznia")->asInteger();
        const QDate miesiac(o.field("Rok")->asInteger(), o.field("Miesiac")->asInteger(), 1);
        const double kwota = o.field("Odsetki")->asFloat();
        o.remove();
        if (!miesiac.isValid()) continue;
        zmniejszNaliczone(uczen, miesiac, kwota);
        if (!miesiace_.contains(miesiac)) miesiace_.append(miesiac);
    }
}

// The run posts the sum of a month's rows and keeps the posted value when the sum falls to
// nothing: a row taken away must leave that value by itself.
void TWycofanieOdsetek::zmniejszNaliczone(int idUcznia, const QDate& miesiac, double kwota) {
    if (Zaokraglij(kwota, 2) == 0.0) return;
    const TRokOdsetek r = RokSzkolnyMiesiaca(*baza_, miesiac);
    if (!r.Znaleziony) return;
    db::Table n(baza_);
    n.setTableName(PlikiRoku::Naleznosci(KluczRokuSzk(r.Rok, r.NrMies)));
    if (!n.exists()) return;
    n.setIndexFieldNames("IdUcznia;RodzOpl;Status");
    n.open();
    if (!ZnajdzWierszNaleznosci(n, idUcznia, "_S", false)) return;
    n.edit();
    db::Field* p = n.field(PoleMiesiaca('M', miesiac.month()));
    p->setFloat(qMax(0.0, Zaokraglij(p->asFloat() - kwota, 2)));
    n.post();
}

QString TWycofanieOdsetek::Komunikat() const {
    if (miesiace_.isEmpty()) return {};
    QList<QDate> m = miesiace_;
    std::sort(m.begin(), m.end());
    QStringList teksty;
    for (const QDate& d : m) teksty << d.toString("MM.yyyy");
    return QString("Odsetki za %1 zostaną przeliczone przy następnym naliczaniu odsetek.")
        .arg(teksty.join(", "));
}
