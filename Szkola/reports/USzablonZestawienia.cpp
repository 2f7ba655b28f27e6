#include "Szkola/reports/USzablonZestawienia.h"

#include <QRegularExpression>
#include <QStringBuilder>
#include <QtGlobal>

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

const TRodzajInformacji Rodzaje[LiczbaRodzajow + 1] = {
    {},
    {"Imię i nazwisko", "Imię i nazwisko", 210, 140},
    {"Data urodzenia", "Data urodzenia", 85, 58},
    {"Pesel", "Pesel", 85, 58},
    {"Telefon", "Telefon", 85, 58},
    {"e-mail", "e-mail", 210, 140},
    {"Płeć", "Płeć", 30, 20},
    {"Rodzaj diety", "Rodzaj diety", 85, 58},
    {"Adres zamieszk.", "Adres zamieszkania", 380, 254},
    {"Gmina zamieszk.", "Gmina zamieszkania", 120, 80},
    {"Adres zameldowania", "Adres zameldowania", 380, 254},
    {"Gmina zameld.", "Gmina zameldowania", 120, 80},
    {"Rejon.szk.podst.", "Rejonowa szkoła podstawowa", 380, 254},
    {"Adres rej.szk.podst.", "Adres rejonowej szkoły podstawowej", 380, 254},
    {"Gimnazjum rejon.", "Rejonowe gimnazjum", 380, 254},
    {"Adres gimn.rej.", "Adres rejonowego gimnazjum", 380, 254},
    {"Matka", "Matka", 210, 140},
    {"Telefon matki", "Telefon matki", 85, 58},
    {"Ojciec", "Ojciec", 210, 140},
    {"Telefon ojca", "Telefon ojca", 85, 58},
    {"Liczba rodzeństwa", "Rodz.", 30, 20},
    {"Klasa/grupa", "Klasa/grupa w placówce", 250, 168},
    {"Data przyjęcia", "Data przyjęcia", 85, 58},
    {"Data odejścia", "Data odejścia", 85, 58},
    {"Kod ucznia", "Kod ucznia", 85, 58},
    {"Uwagi", "Uwagi", 380, 460},
};

QString pn(int i) { return QStringLiteral("PN%1").arg(i); }
QString pw(int i) { return QStringLiteral("PW%1").arg(i); }
QString pm(int i) { return QStringLiteral("PM%1").arg(i); }

const QString ZakresSmallint = QStringLiteral("-32768 - 32767");

}  // namespace

const TRodzajInformacji& RodzajInformacji(int i) { return Rodzaje[qBound(1, i, LiczbaRodzajow)]; }

TSzablonZestawienia WczytajSzablon(const db::Table& t) {
    TSzablonZestawienia s;
    if (!t.active() || t.isEmpty()) return s;
    const db::Field* lp = t.field("LpZest");
    s.JestLp = !lp->isNull();
    s.LpZest = lp->asInteger();
    s.Tytul1 = t.field("Tytul1")->asString();
    s.Wiersze = t.field("Wiersze")->asInteger();
    s.Orientacja = t.field("Orientacja")->asInteger();
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        s.Pola[i].Drukuj = t.field(pn(i))->asBool();
        s.Pola[i].Wiersz = t.field(pw(i))->asInteger();
        s.Pola[i].Polozenie = t.field(pm(i))->asInteger();
    }
    return s;
}

int WierszWydruku(int wiersz) { return qBound(1, wiersz, MaksWierszy); }

int WierszZTekstu(const QString& tekst) {
    const QString t = tekst.trimmed();
    if (t.size() == 1 && t[0] >= QLatin1Char('1') && t[0] <= QLatin1Char('5'))
        return t[0].unicode() - '0';
    return 0;
}

std::optional<int> LiczbaSmallint(const QString& tekst) {
    bool ok = false;
    const int v = tekst.trimmed().toInt(&ok, 10);
    if (!ok || v < -32768 || v > 32767) return std::nullopt;
    return v;
}

const QString KomunikatLiczbyWierszy =
    QStringLiteral(" Nieprawidłowa liczba wierszy wydruku. Podaj liczbę z zakresu 1 - 5.");

QString KomunikatPolozenia(int rodzaj) {
    return QString(
               " Nieprawidłowe położenie informacji \"%1\". Podaj liczbę całkowitą z "
               "zakresu %2.")
        .arg(RodzajInformacji(rodzaj).Opis, ZakresSmallint);
}

TBladProjektu SprawdzProjekt(const TProjektSzablonu& p) {
    TBladProjektu b;
    if (!p.Lp.trimmed().isEmpty() && !LiczbaSmallint(p.Lp)) {
        b.Miejsce = TBladProjektu::Lp;
        b.Komunikat = " Nieprawidłowy numer zestawienia. Podaj liczbę całkowitą z zakresu " +
                      ZakresSmallint + " albo pozostaw pole puste.";
        return b;
    }
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        const auto& pole = p.Pola[i];
        if (!pole.Zaznaczony) continue;
        const QString opis = RodzajInformacji(i).Opis;
        if (WierszZTekstu(pole.Wiersz) == 0) {
            b.Miejsce = TBladProjektu::Wiersz;
            b.Rodzaj = i;
            b.Komunikat = QString(
                              " Nie wskazano wiersza wydruku dla informacji \"%1\". Podaj "
                              "liczbę z zakresu 1 - 5.")
                              .arg(opis);
            return b;
        }
        if (!LiczbaSmallint(pole.Polozenie)) {
            b.Miejsce = TBladProjektu::Polozenie;
            b.Rodzaj = i;
            b.Komunikat = KomunikatPolozenia(i);
            return b;
        }
    }
    return b;
}

TWynikZapisu ZapiszProjekt(db::Table& t, const TProjektSzablonu& p) {
    TWynikZapisu w;
    w.Blad = SprawdzProjekt(p);
    if (!w.Blad.ok()) return w;
    if (t.state() != db::Table::Insert && t.state() != db::Table::Edit) {
        w.BladZapisu = QStringLiteral("Błąd zapisu!");
        return w;
    }
    try {
        t.field("Wiersze")->setInteger(WierszZTekstu(p.Wiersze));
        if (p.Lp.trimmed().isEmpty())
            t.field("LpZest")->clear();
        else
            t.field("LpZest")->setInteger(*LiczbaSmallint(p.Lp));
        t.field("Tytul1")->setString(p.Tytul);
        t.field("Orientacja")->setInteger(p.Orientacja == 1 ? 1 : 0);
        for (int i = 1; i <= LiczbaRodzajow; ++i) {
            const auto& pole = p.Pola[i];
            t.field(pn(i))->setBool(pole.Zaznaczony);
            // An unticked kind keeps the row and position it had.
            if (!pole.Zaznaczony) continue;
            t.field(pw(i))->setInteger(WierszZTekstu(pole.Wiersz));
            t.field(pm(i))->setInteger(*LiczbaSmallint(pole.Polozenie));
        }
        t.post();
    } catch (const db::Error& e) {
        qWarning("szablon zestawienia: %s", qPrintable(e.message()));
        w.BladZapisu = QStringLiteral("Błąd zapisu!");
    }
    return w;
}

QString TekstAdresu(const QString& kodPoczt, const QString& miasto, const QString& ulica,
                    const QString& nrDomu, const QString& lokal) {
    QString a = kodPoczt % QLatin1Char(' ') % miasto;
    if (!ulica.isEmpty()) a += QLatin1String(", ul.");
    a += ulica % QLatin1Char(' ') % nrDomu;
    if (!lokal.isEmpty()) a += QLatin1String(" m.") % lokal;
    return a;
}

QString PierwszaLinia(const QString& tekst) {
    const qsizetype n = tekst.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return n < 0 ? tekst : tekst.left(n);
}

QStringList TekstyUcznia(const db::Table& u, const TSzablonZestawienia& s, const db::Table* adresy,
                         const db::Table* gminy) {
    QStringList t;
    for (int i = 0; i <= LiczbaRodzajow; ++i) t << QString();
    auto pole = [&u](const char* n) { return u.field(n)->asString(); };
    auto data = [&u](const char* n) { return DataKrotka(u.field(n)->asDate()); };
    const QString adresZam =
        TekstAdresu(pole("KodPoczt"), pole("Miasto"), pole("Ulica"), pole("NrDomu"), pole("Lokal"));

    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        if (!s.Pola[i].Drukuj) continue;
        QString& x = t[i];
        switch (i) {
            case 1:
                x = pole("Nazwisko") % QLatin1Char(' ') % pole("Imie1") % QLatin1Char(' ') %
                    pole("Imie2");
                break;
            case 2:
                x = data("DataUr");
                break;
            case 3:
                x = pole("Pesel");
                break;
            case 4:
                x = pole("Telefon");
                break;
            case 5:
                x = pole("Email");
                break;
            case 6:
                x = pole("Plec");
                break;
            case 7:
                x = pole("Dieta");
                break;
            case 8:
                x = adresZam;
                break;
            case 9:
                x = pole("GminaZ");
                break;
            case 10:
            case 11: {
                // The registered address, when the pupil has one of its own; else the residence.
                const db::Field* meld = u.field("IdAdresMeld");
                const int id = meld->asInteger();
                QVariant kod;
                if (!meld->isNull() && id != u.field("IdAdresZam")->asInteger() && adresy &&
                    adresy->active())
                    kod = adresy->lookup("IdAdres", {id}, "IdAdres");
                if (kod.isNull()) {
                    x = i == 10 ? adresZam : pole("GminaZ");
                    break;
                }
                auto a = [&](const char* n) {
                    return adresy->lookup("IdAdres", {id}, n).toString();
                };
                if (i == 10) {
                    x = TekstAdresu(a("KodPoczt"), a("Miasto"), a("Ulica"), a("NrDomu"),
                                    a("Lokal"));
                } else {
                    const QVariant g = adresy->lookup("IdAdres", {id}, "IdGminy");
                    x = g.isNull() || !gminy || !gminy->active()
                            ? QString()
                            : gminy->lookup("IdGminy", {g}, "NazwaGminy").toString();
                }
                break;
            }
            case 12:
                x = pole("RejonSzPNazwa");
                break;
            case 13:
                x = pole("RejonSzPAdres");
                break;
            case 14:
                x = pole("RejonGimNazwa");
                break;
            case 15:
                x = pole("RejonGimAdres");
                break;
            case 16:
                x = pole("NazwMatki") + " " + pole("ImieMatki");
                break;
            case 17:
                x = pole("TelMatki");
                break;
            case 18:
                x = pole("NazwOjca") + " " + pole("ImieOjca");
                break;
            case 19:
                x = pole("TelOjca");
                break;
            case 20:
                x = QString::number(u.field("Rodzenstwo")->asInteger());
                break;
            case 21:
                x = pole("Szkola") + ", " + pole("Poziom") + ", " + pole("Klasa");
                break;
            case 22:
                x = data("DataPrzyj");
                break;
            case 23:
                x = data("DataOdej");
                break;
            case 24:
                x = pole("KodUcznia");
                break;
            case 25:
                x = pole("Uwagi");
                break;
        }
    }
    return t;
}
