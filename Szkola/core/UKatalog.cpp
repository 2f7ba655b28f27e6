#include "Szkola/core/UKatalog.h"

#include <QRegularExpression>

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Database.h"

using namespace db;

namespace {

void audyt(TableDef& t, bool symbolInt = false) {
    t.fields << fDate("DataWprow") << (symbolInt ? fInt("OperWprow") : fSmall("OperWprow"))
             << fDate("DataMod") << (symbolInt ? fInt("OperMod") : fSmall("OperMod"));
}

IndexDef ix(const QString& pola, bool unikalny = false) { return {pola, pola, unikalny}; }

// Pupil card fields; also the body of the pupil work row "Str_Uczen".
QList<FieldDef> polaUcznia() {
    return {fAuto("IdUcznia"),     fName("Nazwisko", 30),  fName("Imie1", 15),
            fName("Imie2", 15),    fDate("DataUr"),        fInt("IdSzkoly"),
            fInt("IdPoziomu"),     fInt("IdGrupy"),        fText("KodUcznia", 10),
            fText("Zerowa", 1),    fName("MiejsceUr", 30), fText("Pesel", 11),
            fText("Telefon", 20),  fText("Email", 50),     fText("Plec", 1),
            fText("Dieta", 1),     fName("ImieMatki", 15), fName("NazwMatki", 30),
            fText("TelMatki", 20), fName("ImieOjca", 15),  fName("NazwOjca", 30),
            fText("TelOjca", 20),  fSmall("Rodzenstwo"),   fDate("DataPrzyj"),
            fDate("DataOdej"),     fInt("IdAdresZam"),     fInt("IdAdresMeld"),
            fInt("RejonP"),        fInt("RejonG"),         fMemo("Uwagi")};
}

TableDef naleznosc(const QString& nazwa) {
    TableDef t{
        nazwa, {fInt("IdUcznia"), fText("RodzOpl", 2), fText("RokSzk", 9), fText("Status", 1)}, {}};
    for (int m = 1; m <= 12; ++m)
        t.fields << fMoney(PoleMiesiaca('M', m)) << fText(PoleMiesiaca('Z', m), 1);
    t.indexes << ix("IdUcznia;RodzOpl;Status", true) << ix("RodzOpl");
    return t;
}

TableDef posilkiUcz(const QString& nazwa) {
    TableDef t{nazwa, {fInt("IdUcznia"), fSmall("RodzPos"), fText("RokSzk", 9)}, {}};
    for (int m = 1; m <= 12; ++m) t.fields << fSmall(PoleMiesiaca('L', m));
    for (int m = 1; m <= 12; ++m) t.fields << fMoney(PoleMiesiaca('C', m));
    for (int m = 1; m <= 12; ++m) t.fields << fText(PoleMiesiaca('D', m), 1);
    t.indexes << ix("IdUcznia;RodzPos", true);
    return t;
}

TableDef wplaty(const QString& nazwa) {
    TableDef t{nazwa,
               {fInt("NumerWpl"), fAuto("IdWplaty"), fDate("DataWpl"), fName("Nazwa", 60),
                fText("Adres", 60), fText("Tresc", 60), fMoney("Kwota"), fText("SposobWpl", 1)},
               {}};
    audyt(t);
    t.fields << fText("Osoba", 1) << fSmall("IdSzkoly");
    // Payers' names sort as the register's names do; the list searches by name and date.
    t.indexes << ix("SposobWpl;NumerWpl", true) << ix("IdWplaty", true) << ix("DataWpl")
              << ix("Nazwa;DataWpl");
    return t;
}

TableDef przelewy(const QString& nazwa) {
    TableDef t{nazwa,
               {fInt("NumerWpl"), fSmall("IdBanku"), fText("NrWyciagu", 20), fDate("DataWpl"),
                fAuto("IdWplaty"), fName("Nazwa", 60), fText("Adres", 60), fText("Tresc", 60),
                fMoney("Kwota"), fText("SposobWpl", 1), fText("Osoba", 1), fSmall("IdSzkoly")},
               {}};
    audyt(t);
    t.fields << fMoney("SumaWart");
    t.indexes << ix("NumerWpl", true) << ix("IdWplaty", true) << ix("DataWpl")
              << ix("Nazwa;DataWpl") << ix("IdBanku;NrWyciagu");
    return t;
}

// Lines of payment documents; transfer lines keep Tresc before the audit fields.
TableDef oplatyAn(const QString& nazwa, bool przelew) {
    TableDef t{nazwa,
               {fInt("IdWplaty"), fAuto("IdOplaty"), fDate("TerminWpl"), fText("RodzOpl", 2),
                fInt("IdUcznia"), fInt("IdNaleznosc"), fText("RokSzk", 9), fSmall("Miesiac"),
                fSmall("Rok"), fText("SposobWpl", 1), fText("Odsetki", 1), fMoney("Kwota"),
                fDate("DataWpl")},
               {}};
    if (przelew) {
        t.fields << fText("Tresc", 50);
        audyt(t, true);
    } else {
        t.fields << fDate("DataWprow") << fInt("OperWprow") << fText("Tresc", 50)
                 << fDate("DataMod") << fInt("OperMod");
    }
    t.indexes << ix("IdWplaty;IdOplaty", true) << ix("IdUcznia");
    return t;
}

QList<TableDef> budujKatalog() {
    QList<TableDef> k;

    // --- permanent tables ---
    {
        TableDef t{"KartUcznia", polaUcznia(), {}};
        audyt(t);
        t.indexes << ix("IdUcznia", true) << ix("Nazwisko;Imie1")
                  << ix("IdSzkoly;IdPoziomu;IdGrupy");
        k << t;
    }
    {
        TableDef t{"Parametry",
                   {fText("Nazwa1", 50), fText("Nazwa2", 50), fText("Nazwa3", 50),
                    fText("Nazwa4", 50), fSmall("DzienRozlicz"), fText("Placowka", 1),
                    fText("KodPar1", 1), fText("KatalogDanych", 250), fText("KatalogKopii", 250),
                    fText("KatalogArchiwum", 250)},
                   {}};
        k << t;
    }
    k << TableDef{"Szkoly",
                  {fAuto("IdSzkoly"), fName("OpisS", 20), fText("Kolejny", 1)},
                  {ix("IdSzkoly", true), ix("Kolejny;OpisS")}};
    k << TableDef{"Poziomy",
                  {fAuto("IdPoziomu"), fInt("IdSzkoly"), fName("OpisP", 20)},
                  {ix("IdPoziomu", true), ix("IdSzkoly;OpisP")}};
    k << TableDef{"Grupy",
                  {fAuto("IdGrupy"), fInt("IdPoziomu"), fName("OpisG", 20)},
                  {ix("IdGrupy", true), ix("IdPoziomu;OpisG")}};
    k << TableDef{"Adresy",
                  {fAuto("IdAdres"), fText("KodPoczt", 6), fName("Miasto", 30), fName("Ulica", 40),
                   fText("NrDomu", 10), fText("Lokal", 10), fInt("IdGminy")},
                  {ix("IdAdres", true)}};
    k << TableDef{"Gminy",
                  {fAuto("IdGminy"), fName("NazwaGminy", 25)},
                  {ix("IdGminy", true), ix("NazwaGminy")}};
    k << TableDef{"RejonSzkolny",
                  {fAuto("IdSzkoly"), fName("Nazwa", 50), fName("Imienia", 50), fText("Kod", 6),
                   fName("Miasto", 30), fName("Ulica", 40)},
                  {ix("IdSzkoly", true)}};
    k << TableDef{"Rodzenstwo",
                  {fAuto("IdRodzenstwa"), fInt("IdUcznia"), fName("Nazwisko", 30),
                   fName("Imie", 15), fDate("DataUr"), fText("Uwagi", 50)},
                  {ix("IdUcznia;IdRodzenstwa")}};
    k << TableDef{"RokSzkolny",
                  {fText("RokSzk", 9), fText("Miesiac", 12), fSmall("NrMies"), fSmall("Rok"),
                   fDate("DataWprow"), fInt("OperWprow")},
                  {ix("RokSzk", true)}};
    k << TableDef{"RodzajOplat",
                  {fText("Symbol", 2), fText("Opis", 15), fText("Typ", 2), fSmall("KodWydruku"),
                   fText("OpisWydruku", 15)},
                  {ix("Symbol", true)}};
    k << TableDef{"SlownikNaleznosci",
                  {fAuto("IdNaleznosc"), fText("Rodzaj", 2), fText("Opis", 50), fMoney("Kwota")},
                  {ix("IdNaleznosc", true), ix("Rodzaj")}};
    {
        TableDef t{"RodzPos", {}, {}};
        for (int i = 1; i <= 6; ++i) t.fields << fBool(QString("Ps%1").arg(i));
        for (int i = 1; i <= 6; ++i) t.fields << fText(QString("PosNaz%1").arg(i), 15);
        for (int d = 0; d <= 3; ++d)
            for (int i = 1; i <= 6; ++i) t.fields << fInt(QString("Id%1Pos%2").arg(d).arg(i));
        k << t;
    }
    k << TableDef{"LiczbaDni",
                  {fSmall("Rok"), fSmall("NrMies"), fSmall("LiczbaDni")},
                  {ix("Rok;NrMies", true)}};
    k << TableDef{"Odsetki",
                  {fText("Rodzaj", 1), fDate("DataObOd"), fFloat("ProcOdset")},
                  {ix("Rodzaj;DataObOd", true)}};
    k << TableDef{"Swieta",
                  {fDate("TerminNal"), fDate("TerminWpl"), fSmall("Odlicz")},
                  {ix("TerminNal", true)}};
    {
        TableDef t{"OdsNalezne",
                   {fInt("IdUcznia"), fSmall("RokFK"), fText("SposobWpl", 1), fInt("IdOplaty"),
                    fInt("IdWplaty"), fAuto("IdOdsetki"), fText("RodzOpl", 2), fSmall("Miesiac"),
                    fSmall("Rok"), fMoney("KwotaNalezn"), fDate("TerminWpl"), fDate("DataWpl"),
                    fSmall("LdniZaleg"), fMoney("Odsetki"), fText("Oplacono", 1), fSmall("RokFKZ"),
                    fText("SposobWplZ", 1), fInt("IdOplatyZ"), fInt("IdWplatyZ")},
                   {}};
        audyt(t);
        t.indexes << ix("IdUcznia;RokFK;SposobWpl;IdOplaty;IdOdsetki") << ix("IdOdsetki", true);
        k << t;
    }
    k << TableDef{"Banki",
                  {fAuto("IdBanku"), fText("Konto", 32), fText("Nazwa", 60), fBool("Aktywne")},
                  {ix("IdBanku", true)}};
    k << TableDef{"NaglPism",
                  {fText("Nazwa", 25), fAuto("IdPismo"), fText("Miasto", 25), fDate("DataDruku"),
                   fText("Adresat1", 40), fText("Adresat2", 40), fText("Adresat3", 40),
                   fMemo("Wstep"), fMemo("Koniec"), fBool("Pieczec"), fText("Rodzaj", 1),
                   fInt("Licznik"), fSmall("Adresat4"), fSmall("Adres5"), fSmall("Dziecko")},
                  {ix("Rodzaj;Nazwa;IdPismo"), ix("IdPismo", true)}};
    {
        TableDef t{"GenerZest",
                   {fAuto("IdGenerZest"), fSmall("LpZest"), fText("Tytul1", 50),
                    fText("Tytul2", 50), fSmall("Wiersze")},
                   {}};
        for (int i = 1; i <= 25; ++i)
            t.fields << fBool(QString("PN%1").arg(i)) << fSmall(QString("PW%1").arg(i))
                     << fSmall(QString("PM%1").arg(i)) << fSmall(QString("PR%1").arg(i));
        t.fields << fSmall("Orientacja");
        t.indexes << ix("LpZest") << ix("IdGenerZest", true);
        k << t;
    }
    k << TableDef{"UsunUcz",
                  {fInt("IdUcznia"), fName("Nazwisko", 30), fName("Imie1", 15), fName("Imie2", 15),
                   fDate("DataUr"), fSmall("Oper"), fDate("DataUs")},
                  {ix("IdUcznia")}};
    {
        TableDef t{
            "Operatorzy",
            {fSmall("Symbol"), fName("Nazwisko", 30), fText("Skrot", 10), fText("Haslo", 128),
             fBool("Przegladanie"), fBool("Aktualizacja"), fBool("Administrator"),
             fBool("Parametry"), fBool("Transmisje"), fBool("Wbudowany")},
            {}};
        audyt(t);
        t.indexes << ix("Symbol", true) << ix("Nazwisko");
        k << t;
    }
    // Base files of the per-year tables.
    k << naleznosc("Naleznosc") << posilkiUcz("PosilkiUcz") << wplaty("Wplaty")
      << przelewy("Przelewy") << oplatyAn("OplatyAn", false);

    // --- templates of the session work tables ---
    {
        TableDef t{"Str_OplAn",
                   {fDate("TerminWpl"), fText("RodzOpl", 2), fAuto("IdPorz"), fInt("IdOplaty"),
                    fInt("IdUcznia"), fInt("IdNaleznosc"), fText("RokSzk", 9), fSmall("Miesiac"),
                    fSmall("Rok"), fText("SposobWpl", 1), fText("Odsetki", 1), fMoney("Kwota"),
                    fDate("DataWpl"), fText("Tresc", 50), fText("TypOpl", 2)},
                   {ix("IdUcznia;TerminWpl;RodzOpl;IdPorz")}};
        k << t;
    }
    {
        TableDef t{"Str_SprOpl",
                   {fInt("IdUcznia"), fText("RokSzk", 9), fText("RodzOpl", 2), fSmall("Rok"),
                    fSmall("Miesiac")},
                   {ix("IdUcznia;RokSzk;RodzOpl")}};
        for (int m = 1; m <= 12; ++m)
            t.fields << fMoney(PoleMiesiaca('M', m)) << fMoney(PoleMiesiaca('Z', m));
        t.fields << fText("TypOpl", 2);
        k << t;
    }
    k << TableDef{"Str_LiczOds",
                  {fDate("DataOd"), fDate("DataWpl"), fMoney("Kwota"), fMoney("Odsetki"),
                   fDate("DataDod"), fInt("IleDni"), fMoney("Wartosc")},
                  {}};
    {
        TableDef t{"Str_Uczen", polaUcznia(), {}};
        t.fields << fText("Klasa", 20);
        k << t;
    }
    {
        TableDef t{"Str_nalUcz",
                   {fInt("IdUcznia"), fSmall("Rok"), fSmall("NrMies"), fText("RokSzk", 9)},
                   {ix("IdUcznia;Rok;NrMies")}};
        for (const char* p : {"Wpisowe", "Derara", "Wyzywienie", "Odpisy", "BO", "Saldo", "SaldoWP",
                              "Odsetki", "Inne1", "Inne2", "Inne3", "Inne4", "Inne5", "Kol1",
                              "Kol2", "Kol3", "Kol4", "Kol5", "Kol6"})
            t.fields << fMoney(p);
        k << t;
    }
    k << TableDef{
        "Str_wplUcz",
        {fSmall("Rok"), fSmall("NrMies"), fDate("DataWpl"), fText("SposobWpl", 1), fInt("NumerWpl"),
         fSmall("IdBanku"), fText("NrWyciagu", 20), fInt("IdWplaty"), fText("Nazwa", 60),
         fText("Adres", 60), fText("Tresc", 60), fMoney("Kwota"), fMoney("SumaWart"),
         fText("Osoba", 1), fSmall("IdSzkoly"), fText("NazwaBanku", 60), fSmall("RokFK")},
        {ix("Rok;NrMies;DataWpl;SposobWpl;NumerWpl")}};
    k << TableDef{"Str_sklwplUcz",
                  {fText("SposobWpl", 1), fInt("IdWplaty"), fDate("TerminWpl"), fText("RodzOpl", 2),
                   fInt("IdOplaty"), fInt("IdNaleznosc"), fText("RokSzk", 9), fSmall("Miesiac"),
                   fSmall("Rok"), fText("Odsetki", 1), fMoney("Kwota"), fDate("DataWpl"),
                   fText("Tresc", 50), fSmall("RokFK")},
                  {ix("DataWpl;SposobWpl;IdWplaty;TerminWpl;RodzOpl;IdOplaty")}};
    k << TableDef{"Str_ZalUcz",
                  {fName("Nazwisko", 30), fName("Imie1", 15), fInt("IdUcznia"), fName("Imie2", 15),
                   fDate("DataUr"), fInt("IdSzkoly"), fInt("IdPoziomu"), fInt("IdGrupy"),
                   fText("KodUcznia", 10), fText("Zerowa", 1), fMoney("Zaleglosc"),
                   fMoney("Nadplata"), fName("Klasa", 20)},
                  {ix("Nazwisko;Imie1;IdUcznia")}};
    {
        TableDef t{"Str_WykazPos",
                   {fText("Kolejny", 1), fName("Szkola", 20), fName("Poziom", 20),
                    fName("Klasa", 20), fName("Nazwisko", 30), fAuto("IdKol"), fName("Imie", 30),
                    fInt("IdUcznia"), fText("Dieta", 1)},
                   {ix("Kolejny;Szkola;Poziom;Klasa;Nazwisko;IdKol")}};
        for (int i = 1; i <= 6; ++i) t.fields << fSmall(QString("Pos%1").arg(i));
        k << t;
    }
    k << TableDef{"Str_Rocznik",
                  {fName("Gmina", 25), fSmall("Rocznik"), fName("Nazwisko", 50), fAuto("IdKol"),
                   fText("Plec", 1), fInt("IdUczen"), fDate("DataUr"), fName("Szkola", 20),
                   fName("Poziom", 20), fName("Klasa", 20), fText("Adres", 70), fDate("DataPrzyj"),
                   fDate("DataOdej")},
                  {ix("Gmina;Rocznik;Nazwisko;IdKol")}};
    {
        TableDef t{"Str_PosUcz", {}, {}};
        for (int i = 1; i <= 6; ++i) t.fields << fInt(QString("LPos%1").arg(i));
        for (int i = 1; i <= 6; ++i) t.fields << fMoney(QString("CPos%1").arg(i));
        for (int i = 1; i <= 6; ++i) t.fields << fMoney(QString("WPos%1").arg(i));
        t.fields << fMoney("WPosR") << fMoney("KwKontr");
        k << t;
    }
    return k;
}

const QRegularExpression& wzorRokuSzk() {
    static const QRegularExpression r("^(NLZ|PsU)(\\d{4})M(\\d{1,2})$",
                                      QRegularExpression::CaseInsensitiveOption);
    return r;
}
const QRegularExpression& wzorRokuKs() {
    static const QRegularExpression r("^(WPL|OPL|SKL|PRZ)(\\d{4})$",
                                      QRegularExpression::CaseInsensitiveOption);
    return r;
}

}  // namespace

const QList<TableDef>& KatalogTabel() {
    static const QList<TableDef> k = budujKatalog();
    return k;
}

QStringList TabeleStale() {
    QStringList l;
    for (const auto& t : KatalogTabel())
        if (!t.name.startsWith("Str_")) l << t.name;
    return l;
}

QStringList TabeleSzablonow() {
    QStringList l;
    for (const auto& t : KatalogTabel())
        if (t.name.startsWith("Str_")) l << t.name;
    return l;
}

bool JestTabelaRoku(const QString& nazwa) {
    const QString n = bareTableName(nazwa);
    if (auto m = wzorRokuSzk().match(n); m.hasMatch()) {
        const int mies = m.captured(3).toInt();
        return mies >= 1 && mies <= 12 && !m.captured(3).startsWith('0');
    }
    return wzorRokuKs().match(n).hasMatch();
}

db::TableDef StrukturaSkladnikowPrzelewu(const QString& nazwa) { return oplatyAn(nazwa, true); }

db::TableDef StrukturaTabeli(const QString& nazwa) {
    const QString n = bareTableName(nazwa);
    if (JestTabelaRoku(n)) {
        const QString p = n.left(3).toUpper();
        if (p == "NLZ") return naleznosc(n);
        if (p == "PSU") return posilkiUcz(n);
        if (p == "WPL") return wplaty(n);
        if (p == "PRZ") return przelewy(n);
        if (p == "OPL") return oplatyAn(n, false);
        if (p == "SKL") return oplatyAn(n, true);
    }
    for (const auto& t : KatalogTabel())
        if (t.name.compare(n, Qt::CaseInsensitive) == 0) return t;
    return TableDef{n, {}, {}};
}

void UtworzTabeleRoku(const QString& nazwa, db::Database* baza) {
    if (!baza) baza = Database::current();
    if (!baza || !baza->isOpen())
        throw Error(Error::NotOpen, QString("Brak otwartej bazy danych dla tabeli %1").arg(nazwa));
    if (!JestTabelaRoku(nazwa))
        throw Error(Error::NoTable, QString("Nieprawidłowa nazwa tabeli roku: %1").arg(nazwa));
    if (baza->tableExists(nazwa)) return;
    baza->createTable(StrukturaTabeli(nazwa));
}
