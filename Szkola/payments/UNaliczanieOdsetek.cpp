#include "Szkola/payments/UNaliczanieOdsetek.h"

#include <QApplication>
#include <QCursor>
#include <QDateEdit>
#include <QHash>
#include <algorithm>
#include <limits>
#include <map>
#include <vector>

#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/fees/UOdsetkiZaOkres.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

namespace {

// Dues and payments of one pupil and fee kind in a school year, month by month.
struct Prognoza {
    int idUcznia = 0;
    QString rodzOpl;
    int rok = 0, nrMies = 0;  // of the school year
    QString typ;
    double m[13] = {};
    double z[13] = {};
};

class Przebieg {
  public:
    Przebieg(db::Database& baza, const TZadanieOdsetek& z, TWynikOdsetek& w)
        : baza_(baza), z_(z), w_(w) {}

    void Przygotuj() {
        rodzaje_ = WczytajRodzajeOplat(&baza_);
        dzienRozlicz_ = DzienRozliczenia(&baza_);
        db::Table s(&baza_);
        s.setTableName("Swieta");
        if (s.exists()) {
            s.open();
            for (s.first(); !s.eof(); s.next())
                swieta_.insert(s.field("TerminNal")->asDate(), s.field("Odlicz")->asInteger());
        }
        // The rates are read once; the interest walks them in memory.
        stawki_.setTableName("Odsetki");
        stawki_.setIndexFieldNames("Rodzaj;DataObOd");
        stawki_.open();
        dzis_ = QDate::currentDate();
        oper_ = BiezacyOperator.Symbol;
    }

    // Stage 0: the forecast of the last run goes.
    void UsunPrognozy() {
        // One statement: a large school's forecast is hundreds of thousands of rows, and the
        // other cursors on the table are closed for the run.
        baza_.exec("DELETE FROM OdsNalezne WHERE SposobWpl = ?", {SposobOdsetek::Prognoza});
        // New rows only: the writer holds none of the table's old rows.
        const int ostatni = baza_.scalar("SELECT MAX(IdOdsetki) FROM OdsNalezne").toInt();
        // The late lines need the new row's IdOdsetki: their writer shows its own new rows only.
        ods_.Otworz("IdOdsetki", {ostatni + 1}, {});
    }

    // Stage 1: every line of every accounting year's files paid in the period, examined once.
    void Linie(bool przelew) {
        for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok) {
            db::Table t(&baza_);
            t.setTableName(PlikiRoku::Linie(rok, przelew));
            if (!t.exists()) continue;
            // Only the lines of the period are read, whatever year their file is, a few
            // pupils' days at a time: a cursor keeps every line it has marked.
            const std::vector<QVariantList> bloki =
                Bloki(QString("SELECT DISTINCT DataWpl, IdUcznia FROM %1 WHERE DataWpl >= ? AND "
                              "DataWpl <= ?")
                          .arg(t.tableName()),
                      {z_.Od, z_.Do}, true);
            if (bloki.empty()) continue;
            t.setIndexFieldNames("DataWpl;IdUcznia;RodzOpl;TerminWpl");
            for (size_t b = 0; b + 1 < bloki.size(); b += 2) {
                t.setRange(bloki[b], bloki[b + 1]);
                if (!t.active()) t.open();
                db::Field* const fStan = t.field("Odsetki");
                db::Field* const fRodz = t.field("RodzOpl");
                db::Field* const fTermin = t.field("TerminWpl");
                db::Field* const fData = t.field("DataWpl");
                db::Field* const fKwota = t.field("Kwota");
                db::Field* const fIdNal = t.field("IdNaleznosc");
                for (t.first(); !t.eof(); t.next()) {
                    if (!fStan->asString().isEmpty()) continue;
                    const QString rodz = fRodz->asString();
                    const QString typ = Typ(rodz);
                    if (typ == "_S" || typ == "_O") continue;
                    const QDate termin = fTermin->asDate();
                    const QDate dataWpl = fData->asDate();
                    const qint64 dni = termin.isValid() ? termin.daysTo(dataWpl) : 0;
                    const int ulga = dni > 0 ? swieta_.value(termin, 0) : 0;
                    QString stan;
                    int id = 0;
                    if (dni - ulga <= 0) {
                        stan = StanOdsetek::Terminowa;
                        ++w_.Terminowe;
                    } else {
                        const QDate od = termin.addDays(ulga);
                        const double kwota = fKwota->asFloat();
                        const double o = OdsetkiZaOkres(od, dataWpl, kwota, &stawki_);
                        if (o <= 0.00499) {
                            stan = StanOdsetek::Mala;
                            ++w_.Male;
                        } else {
                            ods_.t.append();
                            ods_.IdUcznia->setInteger(t.field("IdUcznia")->asInteger());
                            ods_.RokFK->setInteger(rok);
                            ods_.SposobWpl->setString(przelew ? SposobOdsetek::Bank
                                                              : SposobOdsetek::Kasa);
                            ods_.IdOplaty->setInteger(t.field("IdOplaty")->asInteger());
                            ods_.IdWplaty->setInteger(t.field("IdWplaty")->asInteger());
                            ods_.RodzOpl->setString(rodz);
                            Wspolne(ods_, kwota, od, dataWpl, int(dni - ulga), o);
                            ods_.t.post();
                            id = ods_.IdOdsetki->asInteger();
                            // The writer keeps no row it wrote: the month of a large school has
                            // tens of thousands of them.
                            ods_.t.setRange({id + 1}, {});
                            stan = StanOdsetek::Naliczona;
                            ++w_.Naliczone;
                        }
                    }
                    t.edit();
                    fStan->setString(stan);
                    if (id) fIdNal->setInteger(id);
                    t.post();
                }
            }
        }
    }

    // Ranges of at most kBlok keys each over the keys the query gives (a day and a pupil, or a
    // pupil), ordered as the cursor orders them (an empty pupil first): the first and the last
    // key of each range, one after the other.
    static constexpr size_t kBlok = 64;
    std::vector<QVariantList> Bloki(const QString& sql, const QVariantList& parametry, bool dzien) {
        constexpr qint64 kBrak = std::numeric_limits<qint64>::min();
        std::vector<std::pair<qint64, qint64>> klucze;
        baza_.forEachRow(sql, parametry, [&](const QVariantList& r) {
            const QVariant& id = r[dzien ? 1 : 0];
            klucze.push_back(
                {dzien ? r[0].toDate().toJulianDay() : 0, id.isNull() ? kBrak : id.toLongLong()});
            return true;
        });
        std::sort(klucze.begin(), klucze.end());
        auto lista = [&](const std::pair<qint64, qint64>& k) {
            const QVariant id = k.second == kBrak ? QVariant() : QVariant(k.second);
            return dzien ? QVariantList{QDate::fromJulianDay(k.first), id} : QVariantList{id};
        };
        std::vector<QVariantList> bloki;
        for (size_t i = 0; i < klucze.size(); i += kBlok) {
            bloki.push_back(lista(klucze[i]));
            bloki.push_back(lista(klucze[std::min(i + kBlok, klucze.size()) - 1]));
        }
        return bloki;
    }

    // Stage 2: dues and payments of every school year, then a "P" row for each unpaid month.
    void Prognozy() {
        // The forecast writer shows no rows, and the writer of the late lines is closed: an open
        // cursor on the table would read every new row back.
        ods_.t.close();
        prog_.Otworz("SposobWpl", {QString()}, {QString()});
        db::Table r(&baza_);
        r.setTableName("RokSzkolny");
        r.setIndexFieldNames("RokSzk");
        r.open();
        for (r.first(); !r.eof(); r.next()) {
            const int rok = r.field("Rok")->asInteger();
            const int nrMies = r.field("NrMies")->asInteger();
            db::Table t(&baza_);
            t.setTableName(PlikiRoku::Naleznosci(KluczRokuSzk(rok, nrMies)));
            if (!t.exists()) continue;
            // A few pupils at a time: a cursor keeps every row it has read.
            const std::vector<QVariantList> bloki =
                Bloki(QString("SELECT DISTINCT IdUcznia FROM %1").arg(t.tableName()), {}, false);
            t.setIndexFieldNames("IdUcznia;RodzOpl;Status");
            // The index keeps a pupil's rows of one kind together: each run of them is summed
            // and its unpaid months written before the next begins.
            Prognoza p;
            bool jest = false;
            for (size_t b = 0; b + 1 < bloki.size(); b += 2) {
                t.setRange(bloki[b], bloki[b + 1]);
                if (!t.active()) t.open();
                db::Field* const fId = t.field("IdUcznia");
                db::Field* const fRodz = t.field("RodzOpl");
                db::Field* const fStatus = t.field("Status");
                db::Field* fm[13] = {};
                for (int m = 1; m <= 12; ++m) fm[m] = t.field(PoleMiesiaca('M', m));
                for (t.first(); !t.eof(); t.next()) {
                    const int id = fId->asInteger();
                    const QString rodz = fRodz->asString();
                    if (!jest || id != p.idUcznia || rodz != p.rodzOpl) {
                        if (jest) Wypisz(p);
                        p = Prognoza{id, rodz, rok, nrMies, Typ(rodz)};
                        jest = true;
                    }
                    const QString status = fStatus->asString();
                    if (status == StatusNalezny) {
                        // Entry fees and deductions count whatever their month; the rest up to the
                        // month of the period end.
                        for (int m = 1; m <= 12; ++m)
                            if (NaleznyDoZaleglosci(p.typ, RokMiesiaca(rok, nrMies, m), m, z_.Do))
                                p.m[m] += fm[m]->asFloat();
                    } else if (status == StatusOplacony) {
                        for (int m = 1; m <= 12; ++m) p.z[m] += fm[m]->asFloat();
                    }
                }
            }
            if (jest) Wypisz(p);
        }
    }

    // A "P" row for every month of a pupil's kind still unpaid and due before the period end.
    void Wypisz(const Prognoza& p) {
        if (p.typ == "_O" || p.typ == "_S") return;
        for (int m = 1; m <= 12; ++m) {
            const double d = Zaokraglij(p.m[m] - p.z[m], 2);
            if (d <= 0) continue;
            const QDate termin = TerminPlatnosci(RokMiesiaca(p.rok, p.nrMies, m), m, dzienRozlicz_);
            const qint64 dni = termin.daysTo(z_.Do);
            const int ulga = dni > 0 ? swieta_.value(termin, 0) : 0;
            if (dni - ulga <= 0) continue;
            const QDate od = termin.addDays(ulga);
            prog_.t.append();
            prog_.IdUcznia->setInteger(p.idUcznia);
            prog_.SposobWpl->setString(SposobOdsetek::Prognoza);
            prog_.RodzOpl->setString(p.rodzOpl);
            // No lower limit here: a forecast row is written even when it rounds to 0.00.
            Wspolne(prog_, d, od, z_.Do, int(dni - ulga), OdsetkiZaOkres(od, z_.Do, d, &stawki_));
            prog_.t.post();
            ++w_.Prognozy;
        }
    }

    // Stage 3: each pupil's interest of the dues month replaces that month of his "_S" due.
    // False when the dues year has no fee file. The sums come from one query, and the fee file
    // is moved pupil by pupil: the run holds one pupil's rows, not the month's or the file's.
    bool Ksieguj() {
        db::Table n(&baza_);
        n.setTableName(PlikiRoku::Naleznosci(KluczRokuSzk(z_.Rok, z_.NrMies)));
        if (!n.exists()) return false;

        // A pupil no longer in the register gets nothing (his interest rows may stay).
        std::vector<std::pair<int, double>> sumy;
        baza_.forEachRow(
            "SELECT o.IdUcznia, SUM(o.Odsetki) FROM OdsNalezne o WHERE o.Rok = ? AND "
            "o.Miesiac = ? AND EXISTS (SELECT 1 FROM KartUcznia k WHERE k.IdUcznia = "
            "o.IdUcznia) GROUP BY o.IdUcznia ORDER BY o.IdUcznia",
            {z_.DataNaleznosci.year(), z_.DataNaleznosci.month()}, [&](const QVariantList& r) {
                sumy.push_back({r[0].toInt(), r[1].toDouble()});
                return true;
            });

        n.setIndexFieldNames("IdUcznia;RodzOpl;Status");
        db::Field* pole = nullptr;
        for (const auto& [id, suma] : sumy) {
            // A pupil whose sum fell to nothing keeps what was posted before.
            if (suma <= 0.0) continue;
            n.setRange({id}, {id});
            if (!n.active()) n.open();
            if (!pole) pole = n.field(PoleMiesiaca('M', z_.DataNaleznosci.month()));
            // A row made here gets the key fields only (its school year stays empty).
            EdytujWierszNaleznosci(n, id, "_S", QString(), false);
            pole->setFloat(Zaokraglij(suma, 2));
            n.post();
            ++w_.Zaksiegowane;
        }
        return true;
    }

  private:
    QString Typ(const QString& symbol) const {
        auto it = rodzaje_.constFind(symbol);
        return it == rodzaje_.constEnd() ? symbol : it->Typ;
    }

    // A writer of interest rows, showing those of its new rows that fall in its range.
    struct Wiersze {
        explicit Wiersze(db::Database* baza) : t(baza) {}
        void Otworz(const QString& indeks, const QVariantList& od, const QVariantList& doKlucza) {
            t.setTableName("OdsNalezne");
            t.setIndexFieldNames(indeks);
            t.setRange(od, doKlucza);
            t.open();
            for (auto [pole, nazwa] : {std::pair{&IdUcznia, "IdUcznia"},
                                       {&RokFK, "RokFK"},
                                       {&SposobWpl, "SposobWpl"},
                                       {&IdOplaty, "IdOplaty"},
                                       {&IdWplaty, "IdWplaty"},
                                       {&IdOdsetki, "IdOdsetki"},
                                       {&RodzOpl, "RodzOpl"},
                                       {&Miesiac, "Miesiac"},
                                       {&Rok, "Rok"},
                                       {&KwotaNalezn, "KwotaNalezn"},
                                       {&TerminWpl, "TerminWpl"},
                                       {&DataWpl, "DataWpl"},
                                       {&LdniZaleg, "LdniZaleg"},
                                       {&Odsetki, "Odsetki"},
                                       {&DataWprow, "DataWprow"},
                                       {&OperWprow, "OperWprow"}})
                *pole = t.field(nazwa);
        }
        db::Table t;
        db::Field *IdUcznia = nullptr, *RokFK = nullptr, *SposobWpl = nullptr, *IdOplaty = nullptr,
                  *IdWplaty = nullptr, *IdOdsetki = nullptr, *RodzOpl = nullptr, *Miesiac = nullptr,
                  *Rok = nullptr, *KwotaNalezn = nullptr, *TerminWpl = nullptr, *DataWpl = nullptr,
                  *LdniZaleg = nullptr, *Odsetki = nullptr, *DataWprow = nullptr,
                  *OperWprow = nullptr;
    };

    // The fields a "K", "B" and "P" row fill alike.
    void Wspolne(Wiersze& w, double kwota, const QDate& termin, const QDate& dataWpl, int dni,
                 double odsetki) {
        w.Miesiac->setInteger(z_.DataNaleznosci.month());
        w.Rok->setInteger(z_.DataNaleznosci.year());
        w.KwotaNalezn->setFloat(kwota);
        w.TerminWpl->setDate(termin);
        w.DataWpl->setDate(dataWpl);
        w.LdniZaleg->setInteger(dni);
        w.Odsetki->setFloat(Zaokraglij(odsetki, 2));
        w.DataWprow->setDate(dzis_);
        w.OperWprow->setInteger(oper_);
    }

    db::Database& baza_;
    const TZadanieOdsetek& z_;
    TWynikOdsetek& w_;
    QHash<QString, TRodzajOplaty> rodzaje_;
    QHash<QDate, int> swieta_;
    int dzienRozlicz_ = 0;
    QDate dzis_;
    int oper_ = 0;
    db::Table stawki_{&baza_};
    Wiersze ods_{&baza_};   // "K" and "B"
    Wiersze prog_{&baza_};  // "P"
};

// Other open cursors on a table would read back every row the run writes (and a detail whose
// master is closed would take all of them); they are closed for the run and opened again on
// their record afterwards, whatever the outcome. A cursor holding a pending record stays.
class OdlozoneKursory {
  public:
    OdlozoneKursory(db::Database& baza, const QString& tabela) {
        const QList<db::Table*> kursory = baza.cursors();
        for (db::Table* t : kursory)
            if (t->active() && t->state() == db::Table::Browse &&
                t->bareName().compare(tabela, Qt::CaseInsensitive) == 0)
                odlozone_.append({t, t->bookmark()});
        for (const auto& [t, zakladka] : odlozone_) t->close();
    }
    ~OdlozoneKursory() {
        for (const auto& [t, zakladka] : odlozone_) {
            try {
                t->open();
                t->gotoBookmark(zakladka);
            } catch (...) {
            }
        }
    }
    OdlozoneKursory(const OdlozoneKursory&) = delete;
    OdlozoneKursory& operator=(const OdlozoneKursory&) = delete;

  private:
    QList<std::pair<db::Table*, db::Bookmark>> odlozone_;
};

}  // namespace

TRokOdsetek RokSzkolnyMiesiaca(db::Database& baza, const QDate& data) {
    TRokOdsetek w;
    if (!data.isValid()) return w;
    db::Table r(&baza);
    r.setTableName("RokSzkolny");
    r.setIndexFieldNames("RokSzk");
    r.open();
    const int m = data.month(), y = data.year();
    for (r.first(); !r.eof(); r.next()) {
        const int nr = r.field("NrMies")->asInteger();
        const int rok = r.field("Rok")->asInteger();
        if ((nr <= m && rok == y) || (nr > m && rok == y - 1)) {
            w.Znaleziony = true;
            w.Rok = rok;
            w.NrMies = nr;
            w.RokSzk = r.field("RokSzk")->asString();
            return w;
        }
    }
    return w;
}

TWynikOdsetek NaliczOdsetki(db::Database& baza, const TZadanieOdsetek& zadanie) {
    TWynikOdsetek w;
    if (!zadanie.Od.isValid() || !zadanie.Do.isValid() || zadanie.Od > zadanie.Do) {
        w.Komunikat = "Nieprawidłowy okres czasu!";
        return w;
    }
    if (!zadanie.DataNaleznosci.isValid() || zadanie.Do > zadanie.DataNaleznosci) {
        w.Komunikat = "Nieprawidłowa data ustalenia należności!";
        return w;
    }
    TZadanieOdsetek z = zadanie;
    QString rokSzk;
    try {
        if (z.Rok == 0) {
            const TRokOdsetek r = RokSzkolnyMiesiaca(baza, z.DataNaleznosci);
            if (!r.Znaleziony) {
                w.Komunikat =
                    " Brak zainicjowanego roku szkolnego dla wskazanej daty ustalenia "
                    "należności!";
                return w;
            }
            z.Rok = r.Rok;
            z.NrMies = r.NrMies;
            rokSzk = r.RokSzk;
        } else {
            rokSzk = baza.scalar("SELECT RokSzk FROM RokSzkolny WHERE Rok = ? AND NrMies = ?",
                                 {z.Rok, z.NrMies})
                         .toString();
        }

        OdlozoneKursory odlozone(baza, "OdsNalezne");
        TWynikOdsetek licz;
        Przebieg p(baza, z, licz);
        db::Transaction tr(&baza);
        p.Przygotuj();
        p.UsunPrognozy();
        p.Linie(false);
        p.Linie(true);
        p.Prognozy();
        const bool zaksiegowane = p.Ksieguj();
        tr.commit();
        w = licz;
        w.Ok = true;
        if (zaksiegowane) {
            w.Komunikat = KomunikatOdsetekZakonczone;
        } else {
            const QString nazwa = rokSzk.isEmpty() ? KluczRokuSzk(z.Rok, z.NrMies) : rokSzk;
            w.Ostrzezenia << QString(
                                 " Obliczanie odsetek zakończone, ale odsetki nie zostały "
                                 "przeniesione do należności: brak pliku należności roku "
                                 "szkolnego %1.")
                                 .arg(nazwa);
            w.Komunikat = w.Ostrzezenia.first();
        }
    } catch (const std::exception& e) {
        // The transaction has rolled back: the next run starts from the same state.
        const QString szczegoly = dynamic_cast<const db::Error*>(&e)
                                      ? static_cast<const db::Error&>(e).message()
                                      : QString::fromLocal8Bit(e.what());
        qWarning("odsetki: %s", qPrintable(szczegoly));
        w = TWynikOdsetek{};
        w.Komunikat =
            "Obliczanie odsetek nie powiodło się. Nic nie zostało zmienione.\n" + szczegoly;
    }
    return w;
}

namespace {
// Every way out of the command puts back the cursor, the wait panel and the school years.
class StanPolecenia {
  public:
    ~StanPolecenia() {
        if (czeka_) {
            if (Glowny) Glowny->UkryjCzekaj();
            QApplication::restoreOverrideCursor();
        }
        if (DMw && DMw->TRokSzk && DMw->TRokSzk->active()) DMw->TRokSzk->close();
    }
    void Czekaj() {
        czeka_ = true;
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        if (Glowny) Glowny->PokazCzekaj("Proszę czekać - trwa obliczanie należnych odsetek");
    }
    void KoniecCzekania() {
        if (!czeka_) return;
        czeka_ = false;
        if (Glowny) Glowny->UkryjCzekaj();
        QApplication::restoreOverrideCursor();
    }

  private:
    bool czeka_ = false;
};
}  // namespace

void Naliczodsetki1Click() {
    if (!Glowny || !DMw) return;
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    TWydruk* wydruk = UtworzWydruk(Glowny);
    BlokadaWyjscia blokada;
    StanPolecenia stan;
    Glowny->Tag = 0;
    Glowny->KodZestawienia = KodOdsetki;
    wydruk->ShowModal();
    if (Glowny->Tag <= 0) return;
    db::Table* r = DMw->TRokSzk;
    TZadanieOdsetek z;
    z.Od = wydruk->DateTimePicker2->date();
    z.Do = wydruk->DateTimePicker3->date();
    z.DataNaleznosci = wydruk->DateTimePicker4->date();
    if (r->active() && !r->eof()) {
        z.Rok = r->field("Rok")->asInteger();
        z.NrMies = r->field("NrMies")->asInteger();
    }
    stan.Czekaj();
    const TWynikOdsetek w =
        AnalizaOplat ? AnalizaOplat->NaliczOdsetki(z) : NaliczOdsetki(*DMw->Baza(), z);
    // The run wrote through its own cursors: the open tables of the modules show its rows
    // already, and none of them was moved.
    stan.KoniecCzekania();
    if (w.Ok && w.Ostrzezenia.isEmpty())
        ui::MessageBox(w.Komunikat, " Uwaga ", ui::MB_OK);
    else
        ui::MessageBox(w.Komunikat, "Uwaga!", ui::MB_OK);
}
