#include "dane/DlugieDane.h"

#include <QHash>
#include <QStringList>
#include <cmath>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/db/Table.h"

namespace {

constexpr qint64 kNajwiecej = 999999999;  // 9 999 999,99 in grosze

// How a kind of text goes on after the value it had: the joining mark and the text.
struct Dalej {
    QString laczy;
    QString tekst;
};

const Dalej kNazwisko{"-", "Wiśniewska-Grabowska-Żółkowska-Brzęczyszczykiewicz"};
const Dalej kImie{"-", "Małgorzata-Aleksandra-Zofia-Bożenna"};
const Dalej kPlatnik{" ", "Wiśniewska-Grabowska Małgorzata Aleksandra Żółkiewska-Pęcherz"};
const Dalej kBank{" ", "Bank Spółdzielczy w Zgierzu Oddział w Strykowie ul. Łódzka 12"};
const Dalej kSzkola{" ", "Szkoła Podstawowa nr 173 im. Józefa Piłsudskiego w Łodzi"};
const Dalej kPlacowka{" ", "Zespół Szkolno-Przedszkolny nr 2 im. Jana Pawła II w Zgierzu"};
const Dalej kAdres{" ", "ul. Marszałka Józefa Piłsudskiego 123 m. 45, 95-100 Zgierz"};
const Dalej kTresc{" ", "Opłata za wyżywienie i zajęcia dodatkowe za wrzesień-październik"};
const Dalej kWyciag{"/", "2025/WB/0001/ŁÓDŹ/ZGIERZ"};
const Dalej kOddzial{" ", "Oddział Przedszkolny Integracyjny Żółte Wiewiórki"};
const Dalej kMiasto{"-", "Konstantynów Łódzki-Żabieniec-Górny"};
const Dalej kUlica{" ", "Marszałka Józefa Piłsudskiego-Śródmieście"};
const Dalej kGmina{" ", "Gmina Wiejska Konstantynów Łódzki"};
const Dalej kOplata{" ", "bezglutenowe i zajęcia świetlicowe popołudniowe"};
const Dalej kPosilek{" ", "bezglutenowy dwudaniowy"};
const Dalej kImienia{" ", "Marii Skłodowskiej-Curie i Jana Pawła II"};
const Dalej kTelefon{" ", "wew. 123 lub +48 601 234 567"};
const Dalej kNumer{"/", "123A/45"};
const Dalej kKonto{" ", "12 3456 7890 1234 5678 9012 3456"};
const Dalej kUwagi{" ",
                   "Rodzeństwo uczęszcza do przedszkola; dieta bezglutenowa, opłaty co miesiąc."};
const Dalej kTytul{" ", "Zestawienie wpłat za wyżywienie w roku szkolnym 2025/2026"};

// The kind of a field by its name (and for "Nazwa" by its table); nullptr: left as it was.
const Dalej* Rodzaj(const QString& tabela, const QString& pole) {
    static const QHash<QString, const Dalej*> wgPola = {
        {"nazwisko", &kNazwisko}, {"nazwmatki", &kNazwisko}, {"nazwojca", &kNazwisko},
        {"imie1", &kImie},        {"imie2", &kImie},         {"imie", &kImie},
        {"imiematki", &kImie},    {"imieojca", &kImie},      {"adres", &kAdres},
        {"tresc", &kTresc},       {"nrwyciagu", &kWyciag},   {"nazwabanku", &kBank},
        {"nazwa1", &kPlacowka},   {"nazwa2", &kAdres},       {"nazwa3", &kAdres},
        {"nazwa4", &kPlacowka},   {"opiss", &kSzkola},       {"opisp", &kOddzial},
        {"opisg", &kOddzial},     {"szkola", &kSzkola},      {"poziom", &kOddzial},
        {"klasa", &kOddzial},     {"miasto", &kMiasto},      {"miejsceur", &kMiasto},
        {"ulica", &kUlica},       {"nazwagminy", &kGmina},   {"gmina", &kGmina},
        {"opis", &kOplata},       {"opiswydruku", &kOplata}, {"imienia", &kImienia},
        {"telefon", &kTelefon},   {"telmatki", &kTelefon},   {"telojca", &kTelefon},
        {"nrdomu", &kNumer},      {"lokal", &kNumer},        {"konto", &kKonto},
        {"uwagi", &kUwagi},       {"tytul1", &kTytul},       {"tytul2", &kTytul},
        {"adresat1", &kPlacowka}, {"adresat2", &kAdres},     {"adresat3", &kAdres}};
    const QString p = pole.toLower();
    if (p == QLatin1String("nazwa")) {
        const QString t = tabela.toLower();
        if (t.startsWith(QLatin1String("wpl")) || t.startsWith(QLatin1String("prz")))
            return &kPlatnik;
        if (t == QLatin1String("banki")) return &kBank;
        if (t.startsWith(QLatin1String("rejon"))) return &kSzkola;
        return nullptr;
    }
    if (p.startsWith(QLatin1String("posnaz"))) return &kPosilek;
    return wgPola.value(p, nullptr);
}

bool PoleTekstu(const db::FieldDef& f) {
    return f.type == db::FieldType::Text || f.type == db::FieldType::Memo;
}

}  // namespace

QString DlugiTekst(const QString& poczatek, const QString& dalej, int szerokosc) {
    if (poczatek.size() >= szerokosc) return poczatek.left(szerokosc);
    QString s = poczatek;
    while (s.size() < szerokosc) s += dalej;
    s.truncate(szerokosc);
    // A blank or a joining mark at the very end reads as a text cut by the program.
    static const QString kKoniec = QStringLiteral(" -/,.;");
    if (!s.isEmpty() && kKoniec.contains(s.back())) s.back() = QChar(u'ż');
    return s;
}

int WypelnijDlugimiDanymi(db::Database& baza) {
    struct Tabela {
        QString nazwa;
        std::vector<std::pair<QString, const Dalej*>> teksty;  // field, its kind
        std::vector<std::pair<QString, int>> szerokosci;
        QStringList kwoty;
    };
    std::vector<Tabela> tabele;
    qint64 najwieksza = 0;
    for (const QString& nazwa : baza.tableNames()) {
        if (nazwa.startsWith(QLatin1String("Str_"), Qt::CaseInsensitive)) continue;
        const db::TableDef def = baza.structure(nazwa);
        Tabela t{nazwa, {}, {}, {}};
        for (const db::FieldDef& f : def.fields) {
            if (f.type == db::FieldType::Currency) t.kwoty << f.name;
            const Dalej* r = PoleTekstu(f) ? Rodzaj(nazwa, f.name) : nullptr;
            if (!r) continue;
            t.teksty.emplace_back(f.name, r);
            // Memos have no stored width: a long paragraph.
            t.szerokosci.emplace_back(f.name, f.type == db::FieldType::Memo ? 240 : f.size);
        }
        if (t.teksty.empty() && t.kwoty.isEmpty()) continue;
        if (!t.kwoty.isEmpty()) {
            db::Table c(&baza);
            c.setTableName(nazwa);
            c.open();
            for (c.first(); !c.eof(); c.next())
                for (const QString& k : t.kwoty)
                    najwieksza = std::max(
                        najwieksza, qint64(std::llround(std::abs(c.field(k)->asFloat()) * 100)));
        }
        tabele.push_back(std::move(t));
    }
    const int czynnik = najwieksza > 0 ? int(std::max<qint64>(1, kNajwiecej / najwieksza)) : 1;

    baza.begin();
    try {
        for (const Tabela& t : tabele) {
            db::Table c(&baza);
            c.setTableName(t.nazwa);
            c.open();
            // Row order: a lengthened name does not move its row under the walk.
            for (c.first(); !c.eof(); c.next()) {
                c.edit();
                for (size_t i = 0; i < t.teksty.size(); ++i) {
                    db::Field* f = c.field(t.teksty[i].first);
                    const QString v = f->asString();
                    if (v.trimmed().isEmpty()) continue;
                    const Dalej* r = t.teksty[i].second;
                    f->setString(DlugiTekst(v.trimmed() + r->laczy, r->tekst + r->laczy,
                                            t.szerokosci[i].second));
                }
                for (const QString& k : t.kwoty) {
                    db::Field* f = c.field(k);
                    if (f->isNull() || czynnik == 1) continue;
                    const qint64 grosze = std::llround(f->asFloat() * 100) * czynnik;
                    f->setFloat(double(grosze) / 100.0);
                }
                c.post();
            }
            c.close();
        }
        baza.commit();
    } catch (...) {
        baza.rollback();
        throw;
    }
    return czynnik;
}
