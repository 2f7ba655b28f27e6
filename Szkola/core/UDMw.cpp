#include "Szkola/core/UDMw.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UKatalog.h"

TDMw* DMw = nullptr;

QString NazwaDiety(const QString& kod) {
    const QString k = kod.trimmed();
    if (k == "1") return "Bezmleczna";
    if (k == "2") return "Bezglutenowa";
    if (k == "3") return "Szkolna";
    return "Normalna";
}

TDMw::TDMw(TDM* dm, db::Database* baza, QObject* parent)
    : QObject(parent),
      baza_(baza ? baza : (dm ? dm->Baza() : db::Database::current())),
      dm_(dm ? dm : DM) {
    db::Table* uczen = dm_ ? dm_->DSUczen : nullptr;
    db::Table* rodzOpl = dm_ ? dm_->TRodzOpl : nullptr;

    TRokSzk = nowa("RokSzkolny.DB");
    DSRokSzk = TRokSzk;
    TRokSzk->setIndexFieldNames("RokSzk");
    TRokSzk->setReadOnly(true);  // school years are kept by the school-years window alone

    TNaleznosc = nowa("Naleznosc.DB");
    DSNaleznosc = TNaleznosc;
    TNaleznosc->setIndexFieldNames("IdUcznia;RodzOpl;Status");
    if (uczen) TNaleznosc->setMasterSource(uczen, "IdUcznia", "IdUcznia");
    if (rodzOpl) DodajRodzajOpl(TNaleznosc, rodzOpl);

    TPosUczRob = nowa("PosilkiUcz.db");
    DSPosUczRob = TPosUczRob;
    TPosUczRob->setIndexFieldNames("IdUcznia;RodzPos");
    if (uczen) TPosUczRob->setMasterSource(uczen, "IdUcznia", "IdUcznia");

    TOdsNal = nowa("OdsNalezne.DB");
    DSOdsNal = TOdsNal;
    TOdsNal->setIndexFieldNames("IdUcznia;RokFK;SposobWpl;IdOplaty;IdOdsetki");
    if (uczen) TOdsNal->setMasterSource(uczen, "IdUcznia", "IdUcznia");
    if (rodzOpl) DodajRodzajOpl(TOdsNal, rodzOpl);
    TSwieta = nowa("Swieta.DB");
    TSwieta->setIndexFieldNames("TerminNal");
    TPismo = nowa("NaglPism.DB");
    DSPismo = TPismo;
    TPismo->setIndexFieldNames("Rodzaj;Nazwa;IdPismo");
    TGenerZest = nowa("GenerZest.DB");
    DSGenerZest = TGenerZest;
    TGenerZest->setIndexFieldNames("LpZest");

    TNalUcz = nowa("Str_nalUcz.db");
    DSNalUcz = TNalUcz;
    TNalUcz->setIndexFieldNames("IdUcznia;Rok;NrMies");
    TWplUcz = nowa("Str_wplUcz.DB");
    DSWplUcz = TWplUcz;
    TWplUcz->setIndexFieldNames("Rok;NrMies;DataWpl;SposobWpl;NumerWpl");
    TWplUcz->setMasterSource(DSNalUcz, "Rok;NrMies", "Rok;NrMies");
    TSklWplUcz = nowa("Str_sklwplUcz.DB");
    DSSklWplUcz = TSklWplUcz;
    TSklWplUcz->setIndexFieldNames("DataWpl;SposobWpl;IdWplaty;TerminWpl;RodzOpl;IdOplaty");
    // The accounting year keeps apart two documents of different years with one date, kind and id.
    TSklWplUcz->setMasterSource(DSWplUcz, "DataWpl;SposobWpl;IdWplaty;RokFK",
                                "DataWpl;SposobWpl;IdWplaty;RokFK");
    if (rodzOpl) DodajRodzajOpl(TSklWplUcz, rodzOpl);
    TZalUcz = nowa("Str_ZalUcz.db");
    DSZalUcz = TZalUcz;
    TZalUcz->setIndexFieldNames("Nazwisko;Imie1;IdUcznia");
    TListZal = nowa("Str_OplAn.DB");
    DSListZal = TListZal;
    TListZal->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl;IdPorz");
    TListZal->setMasterSource(DSZalUcz, "IdUcznia", "IdUcznia");
    if (rodzOpl) DodajRodzajOpl(TListZal, rodzOpl);
    TKuchnia = nowa("Str_WykazPos.DB");
    DSKuchnia = TKuchnia;
    TKuchnia->setIndexFieldNames("Kolejny;Szkola;Poziom;Klasa;Nazwisko;IdKol");
    TRocznik = nowa("Str_Rocznik.DB");
    DSRocznik = TRocznik;
    TRocznik->setIndexFieldNames("Gmina;Rocznik;Nazwisko;IdKol");

    // Display texts of coded fields, set whenever the fields are (re)made on open.
    TOdsNal->afterOpen = [](db::Table& t) {
        t.field("SposobWpl")->setDisplayMapper([](const db::Field& f) {
            const QString s = f.asString();
            if (s == "K") return QString("Kasa");
            if (s == "B") return QString("Bank");
            if (s == "P") return QString("Prognoza");
            return s;
        });
    };
    TKuchnia->afterOpen = [](db::Table& t) {
        t.field("Dieta")->setDisplayMapper(
            [](const db::Field& f) { return NazwaDiety(f.asString()); });
    };
}

TDMw::~TDMw() {
    Zamknij();
    if (DMw == this) DMw = nullptr;
}

db::Table* TDMw::nowa(const QString& nazwa) {
    auto* t = new db::Table(baza_, this);
    t->setTableName(nazwa);
    t->setStructure(StrukturaTabeli(nazwa));
    return t;
}

void TDMw::Otworz() {
    for (db::Table* t : {TOdsNal, TGenerZest})
        if (!t->active()) t->open();
}

void TDMw::Zamknij() { ZamknijSkladowe(this); }

void TDMw::PrzywrocPlikiBazowe() {
    const struct {
        db::Table* t;
        const char* nazwa;
    } pary[] = {{TNaleznosc, "Naleznosc.DB"}, {TPosUczRob, "PosilkiUcz.db"}};
    for (const auto& p : pary) {
        if (p.t->active()) {
            p.t->cancel();
            p.t->close();
        }
        p.t->setTableName(p.nazwa);
        p.t->setStructure(StrukturaTabeli(p.nazwa));
    }
}

void TDMw::PoZapisie(db::Table&) {}
