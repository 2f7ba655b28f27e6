#include "Szkola/core/UDM.h"

#include <QHash>
#include <QStringBuilder>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UStanFiltru.h"

TDM* DM = nullptr;

namespace {

// A dictionary read by the pupil's calculated fields: its row by id, and all its rows with the id
// first.
struct Slownik {
    const char* jeden;
    const char* wszystkie;
    int kolumn;
};
const Slownik kSzkoly{"SELECT OpisS FROM Szkoly WHERE IdSzkoly=?",
                      "SELECT IdSzkoly, OpisS FROM Szkoly", 1};
const Slownik kPoziomy{"SELECT OpisP FROM Poziomy WHERE IdPoziomu=?",
                       "SELECT IdPoziomu, OpisP FROM Poziomy", 1};
const Slownik kGrupy{"SELECT OpisG FROM Grupy WHERE IdGrupy=?", "SELECT IdGrupy, OpisG FROM Grupy",
                     1};
const Slownik kAdresy{
    "SELECT a.KodPoczt, a.Miasto, a.Ulica, a.NrDomu, a.Lokal, g.NazwaGminy FROM Adresy a "
    "LEFT JOIN Gminy g ON g.IdGminy = a.IdGminy WHERE a.IdAdres=?",
    "SELECT a.IdAdres, a.KodPoczt, a.Miasto, a.Ulica, a.NrDomu, a.Lokal, g.NazwaGminy "
    "FROM Adresy a LEFT JOIN Gminy g ON g.IdGminy = a.IdGminy",
    6};
const Slownik kRejony{
    "SELECT Nazwa, Imienia, Kod, Miasto, Ulica FROM RejonSzkolny WHERE IdSzkoly=?",
    "SELECT IdSzkoly, Nazwa, Imienia, Kod, Miasto, Ulica FROM RejonSzkolny", 5};

}  // namespace

// The rows the calculated fields read. While a statement walks the register they are kept; a
// dictionary asked for many ids (the addresses of a whole school) is then read in one pass.
struct TDM::Slowniki {
    db::Database* baza = nullptr;
    int pamietaj = 0;
    static constexpr int kCalyPo = 64;  // ids asked for before the whole dictionary is read
    QHash<QPair<const Slownik*, int>, QStringList> pamiec;
    QHash<const Slownik*, int> pytania;  // -1: read whole
    QStringList puste[8];                // by column count: most pupils have no district

    const QStringList& pusty(int kolumn) {
        QStringList& w = puste[kolumn];
        if (w.isEmpty())
            for (int i = 0; i < kolumn; ++i) w << QString();
        return w;
    }

    void zwolnij() {
        pamiec.clear();
        pytania.clear();
    }
    // Columns of the row with this id; empty texts when there is none.
    QStringList wiersz(const Slownik& s, int id) {
        if (pamietaj > 0 && id != 0) {
            auto it = pamiec.constFind({&s, id});
            if (it != pamiec.constEnd()) return it.value();
        }
        if (id == 0 || !baza || !baza->isOpen()) return pusty(s.kolumn);
        QStringList w = pusty(s.kolumn);
        if (pamietaj > 0) {
            int& n = pytania[&s];
            if (n < 0) return w;  // read whole: there is no such row
            if (++n > kCalyPo) {
                n = -1;
                try {
                    baza->forEachRow(QString::fromUtf8(s.wszystkie), {},
                                     [&](const QVariantList& r) {
                                         QStringList v;
                                         for (int i = 1; i <= s.kolumn; ++i)
                                             v << (i < r.size() ? r[i].toString() : QString());
                                         pamiec.insert({&s, r.value(0).toInt()}, v);
                                         return true;
                                     });
                } catch (const db::Error&) {
                    return w;  // a table the folder lacks: the fields stay empty
                }
                return pamiec.value({&s, id}, w);
            }
        }
        QVariantList r;
        try {
            r = baza->firstRow(QString::fromUtf8(s.jeden), {id});
        } catch (const db::Error&) {
            return w;  // a table the folder lacks: the field stays empty
        }
        for (int i = 0; i < s.kolumn && i < r.size(); ++i) w[i] = r[i].toString();
        if (pamietaj > 0) pamiec.insert({&s, id}, w);
        return w;
    }
};

void TDM::PamietajSlowniki(bool wlacz) {
    slowniki_->pamietaj += wlacz ? 1 : -1;
    if (slowniki_->pamietaj <= 0) {
        slowniki_->pamietaj = 0;
        slowniki_->zwolnij();
    }
}

namespace {

// Names the component and declares its stored fields from the catalogue, so that a per-year or
// session table created through it gets the right structure.
void nazwij(db::Table* t, const QString& nazwa, const db::TableDef& def) {
    t->setTableName(nazwa);
    t->setStructure(def);
}
void nazwij(db::Table* t, const QString& nazwa) { nazwij(t, nazwa, StrukturaTabeli(nazwa)); }

}  // namespace

void DodajRodzajOpl(db::Table* t, db::Table* rodzOpl) {
    t->addLookupField(db::fText("RodzajOpl", 15), "RodzOpl", rodzOpl, "Symbol", "Opis");
}

void ZamknijSkladowe(QObject* modul) {
    for (auto* t : modul->findChildren<db::Table*>(Qt::FindDirectChildrenOnly))
        if (t->active()) {
            if (t->state() == db::Table::Insert || t->state() == db::Table::Edit) t->cancel();
            t->close();
        }
}

namespace {
bool FiltrUczniowWMocy(const TStanFiltru& f) {
    if (f.FiltrWlaczony != "Tak") return false;
    const int zakres = f.FiltrZakres.trimmed().toInt();
    return zakres >= 1 && zakres <= 3;
}
}  // namespace

TDM::TDM(db::Database* baza, QObject* parent)
    : QObject(parent), baza_(baza ? baza : db::Database::current()) {
    pustyStan_ = new TStanFiltru;
    pustyStanDok_ = new TStanFiltruDokumentow;
    StanFiltru = pustyStan_;
    StanFiltruDokumentow = pustyStanDok_;
    slowniki_ = new Slowniki;
    slowniki_->baza = baza_;

    TUczen = nowa("KartUcznia.DB");
    DSUczen = TUczen;
    TUczen->setIndexFieldNames("Nazwisko;Imie1");
    using db::fText;
    for (const auto& f :
         {fText("Imiona", 31), db::fName("Szkola", 20), db::fName("Poziom", 20),
          db::fName("Klasa", 20), db::fName("GminaZ", 25), fText("RejonSzPNazwa", 102),
          fText("RejonSzPAdres", 120), fText("RejonGimNazwa", 102), fText("RejonGimAdres", 120),
          fText("KodPoczt", 6), db::fName("Miasto", 30), db::fName("Ulica", 40),
          fText("NrDomu", 10), fText("Lokal", 10)})
        TUczen->addCalculatedField(f);
    TUczen->setCalcFieldsFunction([this](db::Table& t) { TUczenCalcFields(t); }, true);
    TUczen->setFilterFunction([this](db::Table& t) { return TUczenFilterRecord(t); });
    TUczen->setFiltered(true);
    // With the filter out of force the register is read on demand, not record by record.
    TUczen->setFilterPassesAll([this] { return !FiltrUczniowWMocy(*StanFiltru); });
    TUczen->beforeClose = [this](db::Table&) { slowniki_->zwolnij(); };

    TParam = nowa("Parametry.DB");
    TSzkoly = nowa("Szkoly.DB");
    TPoziomy = nowa("Poziomy.DB");
    TPoziomy->setIndexFieldNames("IdSzkoly;OpisP");
    TPoziomy->setMasterSource(TSzkoly, "IdSzkoly", "IdSzkoly");
    TGrupy = nowa("Grupy.db");
    TGrupy->setIndexFieldNames("IdPoziomu;OpisG");
    TGrupy->setMasterSource(TPoziomy, "IdPoziomu", "IdPoziomu");
    TAdresy = nowa("Adresy.db");
    TGmina = nowa("Gminy.db");
    TRejon = nowa("RejonSzkolny.DB");
    TRodzOpl = nowa("RodzajOplat.db");
    TRodzOpl->setIndexFieldNames("Symbol");
    TCennik = nowa("SlownikNaleznosci.db");
    TRodzPos = nowa("RodzPos.DB");
    TLdni = nowa("LiczbaDni.DB");
    TLdni->setIndexFieldNames("Rok;NrMies");
    TOdsetki = nowa("Odsetki.DB");
    TOdsetki->setIndexFieldNames("Rodzaj;DataObOd");  // the key order the interest walk relies on
    TBanki = nowa("Banki.db");
    TOperatorzy = nowa("Operatorzy.db");
    TOperatorzy->setIndexFieldNames("Symbol");
    TRodzenstwo = nowa("Rodzenstwo.db");
    TRodzenstwo->setIndexFieldNames("IdUcznia;IdRodzenstwa");
    TUsunUcz = nowa("UsunUcz.db");

    TWplaty = nowa("Wplaty.db");
    DSWplaty = TWplaty;
    TWplaty->setIndexFieldNames("SposobWpl;NumerWpl");
    TWplaty->addCalculatedField(db::fText("KPKW", 2));
    TWplaty->setCalcFieldsFunction([](db::Table& t) {
        t.field("KPKW")->setString(t.field("SposobWpl")->asString() == "Z" ? "KW" : "KP");
    });
    TWplaty->setFilterFunction([this](db::Table& t) { return TWplatyFilterRecord(t); });
    // Without criteria the year's documents are read on demand, not record by record.
    TWplaty->setFilterPassesAll(
        [this] { return PrzepuszczaWszystkieDokumenty(*StanFiltruDokumentow, false); });

    TOplaty = nowa("OplatyAn.db");
    DSOplaty = TOplaty;
    TOplaty->setIndexFieldNames("IdWplaty;IdOplaty");
    TOplaty->setMasterSource(DSWplaty, "IdWplaty", "IdWplaty");
    DodajRodzajOpl(TOplaty, TRodzOpl);
    TOplaty->setFilterFunction([this](db::Table& t) { return TOplatyFilterRecord(t); });
    TOplaty->setFilterPassesAll(
        [this] { return PrzepuszczaWszystkieLinie(*StanFiltruDokumentow); });

    TPrzelew = nowa("Przelewy.db");
    DSPrzelew = TPrzelew;
    TPrzelew->setIndexFieldNames("NumerWpl");
    TPrzelew->addLookupField(db::fText("NazwaBanku", 60), "IdBanku", TBanki, "IdBanku", "Nazwa");
    TPrzelew->addCalculatedField(db::fFloat("Roznica"));
    TPrzelew->setCalcFieldsFunction([](db::Table& t) {
        t.field("Roznica")->setFloat(t.field("Kwota")->asFloat() - t.field("SumaWart")->asFloat());
    });
    // An amount like the others, set whenever the fields are (re)made on open.
    TPrzelew->afterOpen = [](db::Table& t) { t.field("Roznica")->setDisplayFormat("### ##0.00"); };
    TPrzelew->setFilterFunction([this](db::Table& t) { return TPrzelewFilterRecord(t); });
    TPrzelew->setFilterPassesAll(
        [this] { return PrzepuszczaWszystkieDokumenty(*StanFiltruDokumentow, true); });

    TSklPrzel = nowa("OplatyAn.db");
    DSSklPrzel = TSklPrzel;
    TSklPrzel->setStructure(StrukturaSkladnikowPrzelewu());  // SKL files keep Tresc first
    TSklPrzel->setIndexFieldNames("IdWplaty;IdOplaty");
    TSklPrzel->setMasterSource(DSPrzelew, "IdWplaty", "IdWplaty");
    DodajRodzajOpl(TSklPrzel, TRodzOpl);
    TSklPrzel->setFilterFunction([this](db::Table& t) { return TSklPrzelFilterRecord(t); });
    TSklPrzel->setFilterPassesAll(
        [this] { return PrzepuszczaWszystkieLinie(*StanFiltruDokumentow); });

    TOplatyR = nowa("Str_OplAn.db");
    DSOplatyR = TOplatyR;
    TOplatyR->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl;IdPorz");
    DodajRodzajOpl(TOplatyR, TRodzOpl);
    TSprOpl = nowa("Str_SprOpl.db");
    TSprOpl->setIndexFieldNames("IdUcznia;RokSzk;RodzOpl");
    TLiczOds = nowa("Str_LiczOds.db");
    TDaneUcz = nowa("Str_Uczen.db");
    DSDaneUcz = TDaneUcz;
    TDaneUcz->addLookupField(db::fName("SzkolaO", 20), "IdSzkoly", TSzkoly, "IdSzkoly", "OpisS");

    TNaleznosc = nowa("Naleznosc.db");
    DSNaleznosc = TNaleznosc;
    TNaleznosc->setIndexFieldNames("IdUcznia;RodzOpl;Status");
    TNaleznosc->setMasterSource(DSUczen, "IdUcznia", "IdUcznia");
    DodajRodzajOpl(TNaleznosc, TRodzOpl);
    TPosUcz = nowa("PosilkiUcz.db");
    DSPosUcz = TPosUcz;
    TPosUcz->setIndexFieldNames("IdUcznia;RodzPos");
    TPosUcz->setMasterSource(DSUczen, "IdUcznia", "IdUcznia");
}

TDM::~TDM() {
    Zamknij();
    delete slowniki_;
    if (DM == this) DM = nullptr;
    delete pustyStan_;
    delete pustyStanDok_;
}

db::Table* TDM::nowa(const QString& nazwa) {
    auto* t = new db::Table(baza_, this);
    nazwij(t, nazwa);
    return t;
}

void TDM::Otworz() {
    for (db::Table* t : {TParam,   TSzkoly, TPoziomy, TGrupy,    TAdresy,  TGmina,  TRejon,
                         TRodzOpl, TCennik, TRodzPos, TLdni,     TOdsetki, TBanki,  TOperatorzy,
                         TWplaty,  TOplaty, TPrzelew, TSklPrzel, TOplatyR, TSprOpl, TLiczOds})
        if (!t->active()) t->open();
}

void TDM::Zamknij() {
    ZamknijSkladowe(this);
    slowniki_->zwolnij();
}

void TDM::UstawStanFiltru(const TStanFiltru* s) {
    StanFiltru = s ? s : pustyStan_;
    if (TUczen->active()) TUczen->refresh();
}

void TDM::UstawStanFiltruDokumentow(const TStanFiltruDokumentow* s) {
    StanFiltruDokumentow = s ? s : pustyStanDok_;
}

void TDM::PoZapisie(db::Table&) {}

// --- record filters ---

bool TDM::TUczenFilterRecord(db::Table& t) const {
    const TStanFiltru& f = *StanFiltru;
    if (!FiltrUczniowWMocy(f)) return true;
    const int zakres = f.FiltrZakres.trimmed().toInt();
    const bool odwrotnie = f.FiltrTrybZakresu == "2";
    const int szkola = t.field("IdSzkoly")->asInteger();
    const int poziom = t.field("IdPoziomu")->asInteger();
    const int grupa = t.field("IdGrupy")->asInteger();
    // Turned round, the scope keeps the pupils of the wider unit outside the chosen one.
    switch (zakres) {
        case 1:
            return (szkola == f.FiltrIdSzkoly) != odwrotnie;
        case 2:
            return odwrotnie ? szkola == f.FiltrIdSzkoly && poziom != f.FiltrIdPoziomu
                             : poziom == f.FiltrIdPoziomu;
        default:
            return odwrotnie ? poziom == f.FiltrIdPoziomu && grupa != f.FiltrIdGrupy
                             : grupa == f.FiltrIdGrupy;
    }
}

// The document filters read only the fields their predicates need.
bool TDM::TWplatyFilterRecord(db::Table& t) const {
    const TStanFiltruDokumentow& f = *StanFiltruDokumentow;
    if (!f.WMocy()) return true;
    TDokumentDoFiltru d;
    d.IdSzkoly = t.field("IdSzkoly")->asInteger();
    d.SposobWpl = t.field("SposobWpl")->asString();
    d.DataWpl = t.field("DataWpl")->asDate();
    return FiltrWplaty(f, d);
}

bool TDM::TPrzelewFilterRecord(db::Table& t) const {
    const TStanFiltruDokumentow& f = *StanFiltruDokumentow;
    if (!f.WMocy()) return true;
    TDokumentDoFiltru d;
    d.IdSzkoly = t.field("IdSzkoly")->asInteger();
    d.NrWyciagu = t.field("NrWyciagu")->asString();
    d.IdBanku = t.field("IdBanku")->asInteger();
    d.DataWpl = t.field("DataWpl")->asDate();
    return FiltrPrzelewu(f, d);
}

bool TDM::TOplatyFilterRecord(db::Table& t) const {
    const TStanFiltruDokumentow& f = *StanFiltruDokumentow;
    if (!f.OgraniczaRodzaj()) return true;
    return FiltrOplaty(f, t.field("RodzOpl")->asString());
}

bool TDM::TSklPrzelFilterRecord(db::Table& t) const {
    const TStanFiltruDokumentow& f = *StanFiltruDokumentow;
    if (!f.OgraniczaRodzaj()) return true;
    return FiltrSkladnikaPrzelewu(f, t.field("RodzOpl")->asString());
}

// --- the pupil's calculated fields ---

// Filled on demand, a group of fields at a time: a list of names and classes does not look up
// addresses and districts for every pupil.
void TDM::TUczenCalcFields(db::Table& t) {
    const db::Field* cel = t.calculatedFieldWanted();
    auto chce = [cel](std::initializer_list<const char*> grupa) {
        if (!cel) return true;
        for (const char* n : grupa)
            if (cel->name() == QLatin1String(n)) return true;
        return false;
    };
    auto pole = [&t](const char* n) { return t.field(n)->asString(); };
    auto id = [&t](const char* n) { return t.field(n)->asInteger(); };
    auto ustaw = [&t](const char* n, const QString& v) { t.field(n)->setString(v); };

    if (chce({"Imiona"})) ustaw("Imiona", pole("Imie1") % QLatin1Char(' ') % pole("Imie2"));
    if (chce({"Szkola"})) ustaw("Szkola", slowniki_->wiersz(kSzkoly, id("IdSzkoly"))[0]);
    if (chce({"Poziom"})) ustaw("Poziom", slowniki_->wiersz(kPoziomy, id("IdPoziomu"))[0]);
    if (chce({"Klasa"})) ustaw("Klasa", slowniki_->wiersz(kGrupy, id("IdGrupy"))[0]);

    if (chce({"KodPoczt", "Miasto", "Ulica", "NrDomu", "Lokal", "GminaZ"})) {
        const QStringList adres = slowniki_->wiersz(kAdresy, id("IdAdresZam"));
        ustaw("KodPoczt", adres[0]);
        ustaw("Miasto", adres[1]);
        ustaw("Ulica", adres[2]);
        ustaw("NrDomu", adres[3]);
        ustaw("Lokal", adres[4]);
        ustaw("GminaZ", adres[5]);
    }

    // The calculated fields start empty: only what has a value is set.
    auto rejon = [&](const char* pRejon, const char* pNazwa, const char* pAdres) {
        if (!chce({pNazwa, pAdres}) || t.field(pRejon)->isNull()) return;
        const QStringList r = slowniki_->wiersz(kRejony, id(pRejon));
        if (r[0].isEmpty() && r[1].isEmpty() && r[2].isEmpty() && r[3].isEmpty()) return;
        ustaw(pNazwa, r[0] + "  " + r[1]);
        QString a = r[2] + " " + r[3];
        if (!r[4].isEmpty()) a += ", ul." + r[4];
        ustaw(pAdres, a);
    };
    rejon("RejonP", "RejonSzPNazwa", "RejonSzPAdres");
    rejon("RejonG", "RejonGimNazwa", "RejonGimAdres");
}
