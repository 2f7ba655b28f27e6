#include "Szkola/payments/URozliczenieUcznia.h"

#include <algorithm>
#include <limits>
#include <map>

#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

const char* const kIndeksNalUcz = "IdUcznia;Rok;NrMies";
const char* const kIndeksWplUcz = "Rok;NrMies;DataWpl;SposobWpl;NumerWpl";
const char* const kIndeksSklWplUcz = "DataWpl;SposobWpl;IdWplaty;TerminWpl;RodzOpl;IdOplaty";
// Documents of two accounting years may share date, kind and id: the year keeps them apart.
const char* const kPowiazanieSkladnikow = "DataWpl;SposobWpl;IdWplaty;RokFK";

// A cursor of one yearly file, kept open and moved by its range.
std::unique_ptr<db::Table> NowyKursor(db::Database* baza, const QString& plik,
                                      const QString& indeks) {
    auto t = std::make_unique<db::Table>(baza);
    t->setTableName(plik);
    t->setIndexFieldNames(indeks);
    t->setReadOnly(true);
    return t;
}

void UstawZakres(db::Table* t, const QVariant& klucz) {
    t->setRange({klucz}, {klucz});
    if (!t->active()) t->open();
}

// Order of the documents as the work table sorts them; an empty number first.
bool PrzedDokumentem(const TDokumentRozliczenia& a, const TDokumentRozliczenia& b) {
    if (a.Rok != b.Rok) return a.Rok < b.Rok;
    if (a.NrMies != b.NrMies) return a.NrMies < b.NrMies;
    if (a.DataWpl != b.DataWpl) return PorownajDaty(a.DataWpl, b.DataWpl) < 0;
    if (a.SposobWpl != b.SposobWpl) return a.SposobWpl < b.SposobWpl;
    if (a.NumerWpl.isNull() != b.NumerWpl.isNull()) return a.NumerWpl.isNull();
    return a.NumerWpl.toInt() < b.NumerWpl.toInt();
}

bool PrzedSkladnikiem(const TSkladnikRozliczenia& a, const TSkladnikRozliczenia& b) {
    if (a.TerminWpl != b.TerminWpl) return PorownajDaty(a.TerminWpl, b.TerminWpl) < 0;
    if (a.RodzOpl != b.RodzOpl) return a.RodzOpl < b.RodzOpl;
    return a.IdOplaty < b.IdOplaty;
}

void Wpisz(db::Table* t, const char* pole, const std::optional<double>& v) {
    if (v) t->field(pole)->setFloat(*v);
}

}  // namespace

double TMiesiacRozliczenia::SumaKolumn() const {
    double n = 0;
    for (const auto& k : Kol) n += k.value_or(0.0);
    return n;
}

TRozliczenie::TRozliczenie(db::Database* baza) : baza_(baza ? baza : db::Database::current()) {
    try {
        rodzaje_ = WczytajRodzajeOplat(baza_);
        if (baza_->tableExists("Banki")) {
            db::Table b(baza_);
            b.setTableName("Banki");
            b.open();
            for (b.first(); !b.eof(); b.next())
                banki_.insert(b.field("IdBanku")->asInteger(), b.field("Nazwa")->asString());
        }
        if (baza_->tableExists("RokSzkolny")) {
            db::Table r(baza_);
            r.setTableName("RokSzkolny");
            r.setIndexFieldNames("RokSzk");
            r.open();
            for (r.first(); !r.eof(); r.next()) {
                RokSzkolny s;
                s.RokSzk = r.field("RokSzk")->asString();
                s.Rok = r.field("Rok")->asInteger();
                s.NrMies = r.field("NrMies")->asInteger();
                s.Plik = PlikiRoku::Naleznosci(KluczRokuSzk(s.Rok, s.NrMies));
                if (baza_->tableExists(s.Plik)) lataSzkolne_.push_back(s);
            }
        }
        // Every accounting year the program may write; a year lacking its lines or its
        // documents is passed over whole.
        for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok) {
            if (baza_->tableExists(PlikiRoku::Oplaty(rok)) &&
                baza_->tableExists(PlikiRoku::Wplaty(rok)))
                lataKasy_.push_back(rok);
            if (baza_->tableExists(PlikiRoku::SkladnikiPrzelewow(rok)) &&
                baza_->tableExists(PlikiRoku::Przelewy(rok)))
                lataPrzelewow_.push_back(rok);
        }
    } catch (const db::Error& e) {
        blad_ = e.message();
    }
}

TRozliczenie::~TRozliczenie() = default;

TRozliczenie::KursorPliku& TRozliczenie::Kursor(const QString& plik, const QString& indeks) {
    KursorPliku& k = kursory_[plik];
    if (!k.t) k.t = NowyKursor(baza_, plik, indeks);
    return k;
}

void TRozliczenie::Zakres(KursorPliku& k, const QVariant& klucz,
                          const std::vector<const char*>& pola) {
    UstawZakres(k.t.get(), klucz);
    if (k.pola.empty())
        for (const char* p : pola) k.pola.push_back(k.t->field(p));
}

TRozliczenieUcznia TRozliczenie::Licz(int idUcznia, int tryb, int rokRoboczy, int miesiacRoboczy) {
    TRozliczenieUcznia w;
    if (!blad_.isEmpty()) {
        w.Blad = blad_;
        return w;
    }
    try {
        std::map<std::pair<int, int>, TMiesiacRozliczenia> miesiace;
        {
            // One snapshot for the pupil's files: no lock taken and dropped per statement, and
            // no payment saved by another workstation half seen.
            db::Transaction odczyt(baza_, false);
            CzytajNaleznosci(miesiace, idUcznia, tryb);
            CzytajDokumenty(w, idUcznia, false);
            CzytajDokumenty(w, idUcznia, true);
            odczyt.commit();
        }
        {
            // Sorted by position: a document is too large to be moved about while sorting.
            std::vector<size_t> kolejnosc(w.Dokumenty.size());
            for (size_t i = 0; i < kolejnosc.size(); ++i) kolejnosc[i] = i;
            std::stable_sort(kolejnosc.begin(), kolejnosc.end(), [&w](size_t a, size_t b) {
                return PrzedDokumentem(w.Dokumenty[a], w.Dokumenty[b]);
            });
            std::vector<TDokumentRozliczenia> dokumenty;
            dokumenty.reserve(kolejnosc.size());
            for (size_t i : kolejnosc) dokumenty.push_back(std::move(w.Dokumenty[i]));
            w.Dokumenty = std::move(dokumenty);
        }
        for (auto& d : w.Dokumenty) {
            std::stable_sort(d.Skladniki.begin(), d.Skladniki.end(), PrzedSkladnikiem);
            auto& m = miesiace[{d.Rok, d.NrMies}];
            m.Rok = d.Rok;
            m.NrMies = d.NrMies;
        }
        for (auto& [klucz, m] : miesiace) w.Miesiace.push_back(std::move(m));
        LiczSalda(w, rokRoboczy, miesiacRoboczy);
    } catch (const db::Error& e) {
        w.Blad = e.message();
    }
    return w;
}

void TRozliczenie::CzytajNaleznosci(std::map<std::pair<int, int>, TMiesiacRozliczenia>& miesiace,
                                    int idUcznia, int tryb) {
    const bool oplacone = tryb != TrybAnaliza;
    static const std::vector<const char*> kPola = {"Status", "RodzOpl", "M01", "M02", "M03",
                                                   "M04",    "M05",     "M06", "M07", "M08",
                                                   "M09",    "M10",     "M11", "M12"};
    if (naleznosci_.empty())
        for (const RokSzkolny& s : lataSzkolne_)
            naleznosci_.push_back(&Kursor(s.Plik, "IdUcznia;RodzOpl;Status"));
    for (size_t i = 0; i < lataSzkolne_.size(); ++i) {
        const RokSzkolny& s = lataSzkolne_[i];
        KursorPliku& k = *naleznosci_[i];
        Zakres(k, idUcznia, kPola);
        db::Table* t = k.t.get();
        db::Field* const* f = k.pola.data();
        for (t->first(); !t->eof(); t->next()) {
            const QString status = f[0]->asString();
            if (oplacone ? status != StatusOplacony : !status.isEmpty()) continue;
            const auto r = rodzaje_.constFind(f[1]->asString());
            const QString typ = r != rodzaje_.constEnd() ? r->Typ : QString();
            const int kolumna = r != rodzaje_.constEnd() ? KolumnaWydruku(r->KodWydruku) : 6;
            for (int m = 1; m <= 12; ++m) {
                double a = f[1 + m]->asFloat();
                if (Zaokraglij(a, 2) == 0.0) continue;
                const int rok = RokMiesiaca(s.Rok, s.NrMies, m);
                auto [it, nowy] = miesiace.try_emplace({rok, m});
                TMiesiacRozliczenia& w = it->second;
                if (nowy) {
                    w.Rok = rok;
                    w.NrMies = m;
                    w.RokSzk = s.RokSzk;
                }
                if (typ == "_O") {
                    w.Inne2 = w.Inne2.value_or(0.0) + a;
                    a = -a;
                } else {
                    w.Inne3 = w.Inne3.value_or(0.0) + a;
                }
                switch (kolumna) {
                    case 1:
                        w.Wpisowe = a;
                        break;
                    case 2:
                        w.Derara = a;
                        break;
                    case 3:
                        w.Wyzywienie = a;
                        break;
                    case 4:
                        w.Odpisy = a;
                        break;
                    case 5:
                        w.Odsetki = a;
                        break;
                    default:
                        w.Inne1 = w.Inne1.value_or(0.0) + a;
                        break;
                }
                w.Kol[kolumna - 1] = w.Kol[kolumna - 1].value_or(0.0) + a;
            }
        }
    }
}

void TRozliczenie::CzytajDokumenty(TRozliczenieUcznia& w, int idUcznia, bool przelewy) {
    const QString brak = przelewy ? QStringLiteral("Błąd danych-brak przelewu")
                                  : QStringLiteral("Błąd danych-brak dokumentu wpłaty");
    static const std::vector<const char*> kPolaLinii = {
        "SposobWpl", "IdWplaty", "TerminWpl", "RodzOpl", "IdOplaty", "RokSzk",
        "Miesiac",   "Rok",      "Kwota",     "DataWpl", "Tresc"};
    static const std::vector<const char*> kPolaDok = {
        "DataWpl", "SposobWpl", "NumerWpl", "IdWplaty", "Nazwa", "Adres", "Tresc", "Kwota"};
    static const std::vector<const char*> kPolaPrzelewu = {
        "DataWpl", "SposobWpl", "NumerWpl", "IdWplaty",  "Nazwa",
        "Adres",   "Tresc",     "Kwota",    "NrWyciagu", "IdBanku"};
    const std::vector<int>& lata = przelewy ? lataPrzelewow_ : lataKasy_;
    auto& kursory = przelewy ? przelewy_ : kasa_;
    if (kursory.empty())
        for (int rok : lata)
            kursory.push_back(
                {&Kursor(PlikiRoku::Linie(rok, przelewy), "IdUcznia;RodzOpl;TerminWpl"),
                 &Kursor(PlikiRoku::Dokumenty(rok, przelewy), "IdWplaty")});
    // A document is copied once per pupil: its lines find it by kind, id and their date.
    struct Klucz {
        qint64 dzien;
        QString sposob;
        int id;
        bool operator==(const Klucz& o) const {
            return dzien == o.dzien && id == o.id && sposob == o.sposob;
        }
    };
    std::vector<std::pair<Klucz, size_t>> znane;
    for (size_t r = 0; r < lata.size(); ++r) {
        const int rok = lata[r];
        KursorPliku& kl = *kursory[r].first;
        Zakres(kl, idUcznia, kPolaLinii);
        db::Table* linie = kl.t.get();
        if (linie->isEmpty()) continue;
        db::Field* const* f = kl.pola.data();
        KursorPliku& kd = *kursory[r].second;
        znane.clear();
        for (linie->first(); !linie->eof(); linie->next()) {
            TSkladnikRozliczenia s;
            s.SposobWpl = f[0]->asString();
            s.IdWplaty = f[1]->asInteger();
            s.TerminWpl = f[2]->asDate();
            s.RodzOpl = f[3]->asString();
            s.IdOplaty = f[4]->asInteger();
            s.RokSzk = f[5]->asString();
            s.Miesiac = f[6]->value();
            s.Rok = f[7]->value();
            s.Kwota = f[8]->value();
            s.DataWpl = f[9]->asDate();
            s.Tresc = f[10]->asString();
            // an invalid date keys apart from every valid one
            const Klucz klucz{
                s.DataWpl.isValid() ? s.DataWpl.toJulianDay() : std::numeric_limits<qint64>::min(),
                s.SposobWpl, s.IdWplaty};
            auto z = std::find_if(znane.begin(), znane.end(),
                                  [&](const auto& p) { return p.first == klucz; });
            if (z != znane.end()) {
                w.Dokumenty[z->second].Skladniki.push_back(std::move(s));
                continue;
            }
            TDokumentRozliczenia d;
            d.RokKsiegowy = rok;
            Zakres(kd, s.IdWplaty, przelewy ? kPolaPrzelewu : kPolaDok);
            db::Table* dok = kd.t.get();
            db::Field* const* g = kd.pola.data();
            if (!dok->isEmpty()) {
                d.DataWpl = g[0]->asDate();
                d.SposobWpl = g[1]->asString();
                d.NumerWpl = g[2]->value();
                d.IdWplaty = g[3]->asInteger();
                d.Nazwa = g[4]->asString();
                d.Adres = g[5]->asString();
                d.Tresc = g[6]->asString();
                d.Kwota = g[7]->value();
                if (przelewy) {
                    d.NrWyciagu = g[8]->asString();
                    d.IdBanku = g[9]->value();
                    d.NazwaBanku = banki_.value(d.IdBanku.toInt());
                }
            } else {
                d.DataWpl = s.DataWpl;
                d.SposobWpl = s.SposobWpl;
                d.IdWplaty = s.IdWplaty;
                d.Tresc = brak;
            }
            const DataRMD rmd = DataNaRMD(d.DataWpl);
            d.Rok = rmd.Rok;
            d.NrMies = rmd.Miesiac;
            d.Skladniki.push_back(std::move(s));
            znane.push_back({klucz, w.Dokumenty.size()});
            w.Dokumenty.push_back(std::move(d));
        }
    }
}

void TRozliczenie::LiczSalda(TRozliczenieUcznia& w, int wy, int wm) {
    auto poRoboczym = [wy, wm](int rok, int mies) { return rok > wy || (rok == wy && mies > wm); };
    double p = 0, s = 0;
    size_t d = 0;  // documents are sorted by month like the month rows
    for (TMiesiacRozliczenia& m : w.Miesiace) {
        s = p - m.SumaKolumn();
        if (poRoboczym(m.Rok, m.NrMies)) {
            for (const TZaliczkaRozliczenia& z : w.Zaliczki)
                if (z.Rok == m.Rok && z.Miesiac == m.NrMies) {
                    s += z.Kwota;
                    p += z.Kwota;
                }
        }
        for (; d < w.Dokumenty.size() && w.Dokumenty[d].Rok == m.Rok &&
               w.Dokumenty[d].NrMies == m.NrMies;
             ++d) {
            for (const TSkladnikRozliczenia& l : w.Dokumenty[d].Skladniki) {
                const double kwota = l.Kwota.toDouble();
                const auto r = rodzaje_.constFind(l.RodzOpl);
                const QString typ = r != rodzaje_.constEnd() ? r->Typ : l.RodzOpl;
                if (typ == "_O") {
                    s -= kwota;
                } else if (typ == "WP" && poRoboczym(l.Rok.toInt(), l.Miesiac.toInt())) {
                    w.Zaliczki.push_back({l.TerminWpl, l.RodzOpl, l.Miesiac.toInt(), l.Rok.toInt(),
                                          kwota, l.DataWpl});
                    m.SaldoWP = m.SaldoWP.value_or(0.0) + Zaokraglij(kwota, 2);
                } else {
                    s += kwota;
                }
            }
        }
        m.BO = Zaokraglij(p, 2);
        m.Saldo = Zaokraglij(s, 2);
        p = s;
    }
}

std::array<std::optional<QString>, 6> TytulyKolumnWydruku(db::Database* baza) {
    std::array<std::optional<QString>, 6> tytuly;
    db::Table r(baza ? baza : db::Database::current());
    r.setTableName("RodzajOplat");
    if (!r.exists()) return tytuly;
    r.setIndexFieldNames("Symbol");
    r.open();
    for (r.first(); !r.eof(); r.next()) {
        const int kod = r.field("KodWydruku")->asInteger();
        if (kod >= 1 && kod <= 6) tytuly[kod - 1] = r.field("OpisWydruku")->asString();
    }
    return tytuly;
}

bool ZaliczkaOgolna(db::Database* baza) {
    db::Table t(baza ? baza : db::Database::current());
    t.setTableName("Parametry");
    if (!t.exists()) return false;
    t.open();
    t.first();
    return !t.eof() && t.field("KodPar1")->asString().trimmed() == "2";
}

TRozliczenieUcznia LiczRozliczenie(int idUcznia, int tryb, int rokRoboczy, int miesiacRoboczy,
                                   db::Database* baza) {
    TRozliczenie r(baza);
    return r.Licz(idUcznia, tryb, rokRoboczy, miesiacRoboczy);
}

void ZapiszRozliczenie(const TRozliczenieUcznia& w, int idUcznia, TDMw* dmw, db::Table* tSkl) {
    db::Table* nal = dmw->TNalUcz;
    db::Table* wpl = dmw->TWplUcz;
    db::Table* skl = dmw->TSklWplUcz;
    UtworzTabeleSesji(nal, "RnlU", "Str_nalUcz.db");
    UtworzTabeleSesji(wpl, "Rwpl", "Str_wplUcz.db");
    UtworzTabeleSesji(skl, "RskWpl", "Str_sklwplUcz.db");
    UtworzTabeleSesji(tSkl, "Rskl", "Str_sklwplUcz.db");
    nal->setIndexFieldNames(kIndeksNalUcz);
    wpl->setIndexFieldNames(kIndeksWplUcz);
    skl->setIndexFieldNames(kIndeksSklWplUcz);
    wpl->clearMasterSource();
    skl->clearMasterSource();
    nal->disableControls();
    wpl->disableControls();
    skl->disableControls();

    // One transaction: the rows of the temp schema go in without a commit each.
    db::Transaction tr(nal->database());
    for (const TMiesiacRozliczenia& m : w.Miesiace) {
        nal->append();
        nal->field("IdUcznia")->setInteger(idUcznia);
        nal->field("Rok")->setInteger(m.Rok);
        nal->field("NrMies")->setInteger(m.NrMies);
        nal->field("RokSzk")->setString(m.RokSzk);
        Wpisz(nal, "Wpisowe", m.Wpisowe);
        Wpisz(nal, "Derara", m.Derara);
        Wpisz(nal, "Wyzywienie", m.Wyzywienie);
        Wpisz(nal, "Odpisy", m.Odpisy);
        Wpisz(nal, "Odsetki", m.Odsetki);
        Wpisz(nal, "Inne1", m.Inne1);
        Wpisz(nal, "Inne2", m.Inne2);
        Wpisz(nal, "Inne3", m.Inne3);
        Wpisz(nal, "SaldoWP", m.SaldoWP);
        for (int k = 0; k < 6; ++k) Wpisz(nal, qPrintable(QString("Kol%1").arg(k + 1)), m.Kol[k]);
        nal->field("BO")->setFloat(m.BO);
        nal->field("Saldo")->setFloat(m.Saldo);
        nal->post();
        dmw->PoZapisie(*nal);
    }
    for (const TDokumentRozliczenia& d : w.Dokumenty) {
        wpl->append();
        wpl->field("Rok")->setInteger(d.Rok);
        wpl->field("NrMies")->setInteger(d.NrMies);
        wpl->field("DataWpl")->setDate(d.DataWpl);
        wpl->field("SposobWpl")->setString(d.SposobWpl);
        wpl->field("NumerWpl")->setValue(d.NumerWpl);
        wpl->field("IdWplaty")->setInteger(d.IdWplaty);
        wpl->field("Nazwa")->setString(d.Nazwa);
        wpl->field("Adres")->setString(d.Adres);
        wpl->field("Tresc")->setString(d.Tresc);
        wpl->field("Kwota")->setValue(d.Kwota);
        wpl->field("RokFK")->setInteger(d.RokKsiegowy);
        if (d.SposobWpl == "B") {
            wpl->field("IdBanku")->setValue(d.IdBanku);
            wpl->field("NrWyciagu")->setString(d.NrWyciagu);
            wpl->field("NazwaBanku")->setString(d.NazwaBanku);
        }
        wpl->post();
        dmw->PoZapisie(*wpl);
        for (const TSkladnikRozliczenia& s : d.Skladniki) {
            skl->append();
            skl->field("SposobWpl")->setString(s.SposobWpl);
            skl->field("IdWplaty")->setInteger(s.IdWplaty);
            skl->field("TerminWpl")->setDate(s.TerminWpl);
            skl->field("RodzOpl")->setString(s.RodzOpl);
            skl->field("IdOplaty")->setInteger(s.IdOplaty);
            skl->field("RokSzk")->setString(s.RokSzk);
            skl->field("Miesiac")->setValue(s.Miesiac);
            skl->field("Rok")->setValue(s.Rok);
            skl->field("Kwota")->setValue(s.Kwota);
            skl->field("DataWpl")->setDate(s.DataWpl);
            skl->field("Tresc")->setString(s.Tresc);
            skl->field("RokFK")->setInteger(d.RokKsiegowy);
            skl->post();
            dmw->PoZapisie(*skl);
        }
    }
    for (const TZaliczkaRozliczenia& z : w.Zaliczki) {
        tSkl->append();
        tSkl->field("TerminWpl")->setDate(z.TerminWpl);
        tSkl->field("RodzOpl")->setString(z.RodzOpl);
        tSkl->field("Miesiac")->setInteger(z.Miesiac);
        tSkl->field("Rok")->setInteger(z.Rok);
        tSkl->field("Kwota")->setFloat(z.Kwota);
        tSkl->field("DataWpl")->setDate(z.DataWpl);
        tSkl->post();
    }
    tr.commit();

    wpl->setMasterSource(dmw->DSNalUcz, "Rok;NrMies", "Rok;NrMies");
    skl->setMasterSource(dmw->DSWplUcz, kPowiazanieSkladnikow, kPowiazanieSkladnikow);
    nal->enableControls();
    wpl->enableControls();
    skl->enableControls();
    nal->last();
}

void UsunTabeleRozliczenia(TDMw* dmw, db::Table* tSkl) {
    const struct {
        db::Table* t;
        const char* szablon;
    } tabele[] = {{dmw->TNalUcz, "Str_nalUcz.db"},
                  {dmw->TWplUcz, "Str_wplUcz.db"},
                  {dmw->TSklWplUcz, "Str_sklwplUcz.db"},
                  {tSkl, "Str_sklwplUcz.db"}};
    for (const auto& p : tabele) {
        if (!p.t) continue;
        UsunTabeleSesji(p.t, p.szablon);
        p.t->open();
    }
}
