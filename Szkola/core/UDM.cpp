#include "Szkola/core/UDM.h"

#include <QHash>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UStanFiltru.h"

TDM* DM = nullptr;

// Dictionary rows read by the pupil's calculated fields (the engine keeps the statements prepared).
struct TDM::Slowniki {
    db::Database* baza = nullptr;
    int pamietaj = 0;
    QHash<QPair<const char*, int>, QStringList> pamiec;  // by query text (a literal) and id

    void zwolnij() { pamiec.clear(); }
    // Columns of the row of `sql` (one int parameter); empty texts when there is none.
    // staly: a small dictionary, remembered while a statement walks the register.
    QStringList wiersz(const char* sql, int id, int kolumn, bool staly = true) {
        const bool zPamieci = staly && pamietaj > 0;
        if (zPamieci) {
            auto it = pamiec.constFind({sql, id});
            if (it != pamiec.constEnd()) return it.value();
        }
        QStringList w;
        for (int i = 0; i < kolumn; ++i) w << QString();
        if (id == 0 || !baza || !baza->isOpen()) return w;
        QVariantList r;
        try {
            r = baza->firstRow(QString::fromUtf8(sql), {id});
        } catch (const db::Error&) {
            return w;  // a table the folder lacks: the field stays empty
        }
        for (int i = 0; i < kolumn && i < r.size(); ++i) w[i] = r[i].toString();
        if (zPamieci) pamiec.insert({sql, id}, w);
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
    TUczen->setCalcFieldsFunction([this](db::Table& t) { TUczenCalcFields(t); });
    TUczen->setFilterFunction([this](db::Table& t) { return TUczenFilterRecord(t); });
    TUczen->setFiltered(true);
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
    if (f.FiltrWlaczony != "Tak") return true;
    const int zakres = f.FiltrZakres.trimmed().toInt();
    if (zakres < 1 || zakres > 3) return true;
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

void TDM::TUczenCalcFields(db::Table& t) {
    auto pole = [&t](const char* n) { return t.field(n)->asString(); };
    auto id = [&t](const char* n) { return t.field(n)->asInteger(); };
    auto ustaw = [&t](const char* n, const QString& v) { t.field(n)->setString(v); };

    ustaw("Imiona", pole("Imie1") + " " + pole("Imie2"));
    ustaw("Szkola",
          slowniki_->wiersz("SELECT OpisS FROM Szkoly WHERE IdSzkoly=?", id("IdSzkoly"), 1)[0]);
    ustaw("Poziom",
          slowniki_->wiersz("SELECT OpisP FROM Poziomy WHERE IdPoziomu=?", id("IdPoziomu"), 1)[0]);
    ustaw("Klasa",
          slowniki_->wiersz("SELECT OpisG FROM Grupy WHERE IdGrupy=?", id("IdGrupy"), 1)[0]);

    const QStringList adres = slowniki_->wiersz(
        "SELECT a.KodPoczt, a.Miasto, a.Ulica, a.NrDomu, a.Lokal, g.NazwaGminy FROM Adresy a "
        "LEFT JOIN Gminy g ON g.IdGminy = a.IdGminy WHERE a.IdAdres=?",
        id("IdAdresZam"), 6, false);
    ustaw("KodPoczt", adres[0]);
    ustaw("Miasto", adres[1]);
    ustaw("Ulica", adres[2]);
    ustaw("NrDomu", adres[3]);
    ustaw("Lokal", adres[4]);
    ustaw("GminaZ", adres[5]);

    auto rejon = [&](const char* pRejon, const char* pNazwa, const char* pAdres) {
        const QStringList r = slowniki_->wiersz(
            "SELECT Nazwa, Imienia, Kod, Miasto, Ulica FROM RejonSzkolny WHERE IdSzkoly=?",
            id(pRejon), 5);
        if (t.field(pRejon)->isNull() ||
            (r[0].isEmpty() && r[1].isEmpty() && r[2].isEmpty() && r[3].isEmpty())) {
            ustaw(pNazwa, QString());
            ustaw(pAdres, QString());
            return;
        }
        ustaw(pNazwa, r[0] + "  " + r[1]);
        QString a = r[2] + " " + r[3];
        if (!r[4].isEmpty()) a += ", ul." + r[4];
        ustaw(pAdres, a);
    };
    rejon("RejonP", "RejonSzPNazwa", "RejonSzPAdres");
    rejon("RejonG", "RejonGimNazwa", "RejonGimAdres");
}
