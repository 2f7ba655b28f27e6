#include "Szkola/reports/UOplatyNalezneMies.h"

#include <QComboBox>
#include <QStringBuilder>
#include <algorithm>
#include <initializer_list>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

TQROplatyNalezneMies* QROplatyNalezneMies = nullptr;

const QString OgolemWszystkie = QStringLiteral("Ogółem wszystkie");

namespace {

const char* const kBrakDanych = "Uwaga! Brak danych za podany okres czasu";
const QString kWzorKwoty = QStringLiteral("### ##0.00");

QString Kwota(double x) { return FormatujKwote(Zaokraglij(x, 2), kWzorKwoty); }

// Money fields of a work row, in the order of the table.
enum Pole {
    Wpisowe,
    Derara,
    Wyzywienie,
    Odpisy,
    Odsetki,
    Inne1,
    Inne2,
    Inne3,
    Saldo,
    Kol1,  // .. Kol6
    LiczbaPol = Kol1 + 6
};
const char* const kNazwyPol[LiczbaPol] = {"Wpisowe", "Derara", "Wyzywienie", "Odpisy", "Odsetki",
                                          "Inne1",   "Inne2",  "Inne3",      "Saldo",  "Kol1",
                                          "Kol2",    "Kol3",   "Kol4",       "Kol5",   "Kol6"};
// The single-amount field of print columns 1..5.
const Pole kPoleKolumny[6] = {Wpisowe, Wpisowe, Derara, Wyzywienie, Odpisy, Odsetki};

// One pupil's work row while the fee file is read. Only the fields written are set; the
// others stay empty, as the settlement's month rows leave them.
struct WierszMiesiaca {
    double v[LiczbaPol] = {};
    bool ustawione[LiczbaPol] = {};
    bool jest = false;

    // Sums to the ten-thousandth, as the file's amounts are kept: an amount below half a grosz
    // still counts as one.
    void Dodaj(Pole p, double a) {
        v[p] = Zaokraglij(v[p] + a, 4);
        ustawione[p] = true;
    }
    void Ustaw(Pole p, double a) {
        v[p] = a;
        ustawione[p] = true;
    }
};

}  // namespace

TRodzajeWgSymbolu RodzajeWgSymbolu(const QHash<QString, TRodzajOplaty>& rodzaje) {
    TRodzajeWgSymbolu r;
    r.reserve(rodzaje.size());
    for (auto it = rodzaje.constBegin(); it != rodzaje.constEnd(); ++it)
        r.emplace_back(it.key(), it.value());
    // Symbols sort by code point, as the fee kinds table's index does.
    std::sort(r.begin(), r.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return r;
}

TWyborRodzaju WybierzRodzaj(const QString& tekst, const TRodzajeWgSymbolu& rodzaje) {
    TWyborRodzaju w;
    if (tekst == OgolemWszystkie) {
        w.Wszystkie = true;
        return w;
    }
    if (tekst.isEmpty()) return w;
    for (const auto& [symbol, r] : rodzaje)
        if (r.Opis == tekst) {
            w.Symbol = symbol;
            w.Kolumna = KolumnaWydruku(r.KodWydruku);
            w.OpisWydruku = r.OpisWydruku;
            break;
        }
    return w;
}

std::vector<TUczenWykazu> ZdjecieUczniow() {
    std::vector<TUczenWykazu> u;
    PrzejdzUczniow([&u](db::Table& t) {
        u.push_back({t.field("IdUcznia")->asInteger(), t.field("Nazwisko")->asString(),
                     t.field("Imiona")->asString(), t.field("Klasa")->asString()});
        return true;
    });
    return u;
}

bool PrzygotujOplatyNalezne(const QDate& data, TDaneOplatNaleznych& w) {
    w = {};
    w.Rok = data.year();
    w.Miesiac = data.month();
    const int Y = w.Rok, M = w.Miesiac;

    int rokSzkoly = 0, nrMies = 0;
    if (!RokSzkolnyZestawienia(Y, M, rokSzkoly, nrMies)) {
        ui::MessageBox(kBrakDanych, "Uwaga !", ui::MB_OK);
        return false;
    }
    w.RokSzkoly = rokSzkoly;
    w.NrMies = nrMies;
    w.Klucz = KluczRokuSzk(w.RokSzkoly, w.NrMies);
    db::Database* baza = db::Database::current();
    if (!baza || !baza->tableExists(PlikiRoku::Naleznosci(w.Klucz))) {
        ui::MessageBox(kBrakDanych, "Uwaga !!!", ui::MB_OK);
        return false;
    }
    return true;
}

void WypelnijOplatyNalezne(const TDaneOplatNaleznych& w, const QString& wybor,
                           const std::vector<TUczenWykazu>& uczniowie) {
    const QHash<QString, TRodzajOplaty> rodzaje = WczytajRodzajeOplat();
    const TWyborRodzaju r = WybierzRodzaj(wybor, RodzajeWgSymbolu(rodzaje));

    db::Table* N = DMw->TNalUcz;
    // Rows go in and are read back in the snapshot's order.
    N->setIndexFieldNames(QString());
    if (!r.Jest()) return;  // nothing chosen, or a description no kind has: no rows

    QHash<int, WierszMiesiaca> wiersze;
    wiersze.reserve(int(uczniowie.size()));
    for (const TUczenWykazu& u : uczniowie) wiersze.insert(u.IdUcznia, {});

    // The month's non-zero fee rows in the fee file's key order (pupil, kind, status; NULL
    // first), so that the last due amount of a column is the one of the last kind, as a walk
    // pupil by pupil finds it. A plain query, sorted here: a cursor held the year's whole file
    // for one column.
    struct Linia {
        int id;
        QString rodz, st;
        double a;
    };
    std::vector<Linia> linie;
    {
        const QString m = PoleMiesiaca('M', w.Miesiac);
        N->database()->forEachRow(
            QString("SELECT IdUcznia, RodzOpl, Status, %1 FROM \"%2\" WHERE %1 <> 0")
                .arg(m, db::bareTableName(PlikiRoku::Naleznosci(w.Klucz))),
            {}, [&](const QVariantList& r) {
                if (wiersze.contains(r[0].toInt()))
                    linie.push_back({r[0].toInt(), r[1].toString(), r[2].toString(),
                                     Zaokraglij(r[3].toDouble(), 4)});
                return true;
            });
    }
    std::sort(linie.begin(), linie.end(), [](const Linia& x, const Linia& y) {
        if (x.id != y.id) return x.id < y.id;
        if (x.rodz != y.rodz) return x.rodz < y.rodz;  // "" (NULL) first, then by code point
        return x.st < y.st;
    });
    for (const Linia& l : linie) {
        double a = l.a;
        if (a == 0) continue;
        if (!r.Wszystkie && l.rodz != r.Symbol) continue;
        WierszMiesiaca& x = wiersze[l.id];
        if (l.st.isEmpty()) {
            const auto k = rodzaje.constFind(l.rodz);
            const QString typ = k == rodzaje.constEnd() ? QString() : k->Typ;
            const int kol = k == rodzaje.constEnd() ? 6 : KolumnaWydruku(k->KodWydruku);
            if (typ == "_O") {
                x.Dodaj(Inne2, a);
                a = -a;
            } else {
                x.Dodaj(Inne3, a);
            }
            if (kol <= 5)
                x.Ustaw(kPoleKolumny[kol], a);
            else
                x.Dodaj(Inne1, a);
            x.Dodaj(Pole(Kol1 + kol - 1), a);
        } else if (r.Wszystkie || l.st == StatusOplacony) {
            const auto k = rodzaje.constFind(l.rodz);  // a kind not in the table: its symbol
            x.Dodaj(Saldo, (k == rodzaje.constEnd() ? l.rodz : k->Typ) == "_O" ? -a : a);
        } else {
            continue;
        }
        x.jest = true;
    }

    db::Field* pola[LiczbaPol] = {};
    for (int p = 0; p < LiczbaPol; ++p) pola[p] = N->field(kNazwyPol[p]);
    db::Field* const nId = N->field("IdUcznia");
    N->disableControls();
    struct Wlacz {
        db::Table* n;
        ~Wlacz() {
            // A half-filled row must not be posted by the next move.
            n->cancel();
            n->enableControls();
        }
    } wlacz{N};
    db::Transaction tr(N->database());
    for (const TUczenWykazu& u : uczniowie) {
        const auto it = wiersze.constFind(u.IdUcznia);
        if (it == wiersze.constEnd() || !it->jest) continue;
        N->append();
        nId->setInteger(u.IdUcznia);
        // The printed amounts (columns and paid) are written only when not 0, so that the report
        // tells an amount rounding to 0,00 from none.
        for (int p = 0; p < LiczbaPol; ++p)
            if (it->ustawione[p] && (it->v[p] != 0 || (p < Kol1 && p != Saldo)))
                pola[p]->setFloat(it->v[p]);
        N->post();
        // A pupil listed twice in the snapshot gets one row.
        wiersze.remove(u.IdUcznia);
    }
    tr.commit();
}

// --- the report form ---

namespace {
// Columns across the portrait page: number, class, name, five amounts, total, paid.
constexpr int kXKlasa = 30, kWKlasa = 77;
constexpr int kXNazw = 110, kWNazw = 150;
constexpr int kXKwot = 262;
constexpr int kWKwoty = 65;
constexpr int kWLiczby = kWKwoty - 6;               // a gutter between neighbouring amounts
int xKwoty(int k) { return kXKwot + k * kWKwoty; }  // k = 0..6: columns 1..5, Razem, Opłacono

constexpr int kWysokoscWiersza = 16;
}  // namespace

TQROplatyNalezneMies::TQROplatyNalezneMies(db::Table* nalUcz) : nalUcz_(nalUcz) {
    using namespace report;
    title = "Wykaz należnych opłat";
    setDataSet(nalUcz);
    Ramka.Dodaj(*this, "Wykaz należnych opłat");

    Kolumny = Ramka.PageHeader->addChild(26);
    Kolumny->addHLine(0, 0, 718);
    Kolumny->addLabel(0, 4, 26, "Lp.", Font(8, true), Alignment::Center);
    Kolumny->addVLine(28, 0, 26);
    Kolumny->addLabel(kXKlasa, 4, kWKlasa, "Grupa/Klasa", Font(8, true));
    Kolumny->addLabel(kXNazw, 4, kWNazw, "Nazwisko i imię", Font(8, true));
    // A column title may take two lines.
    auto tytul = [this](int k, const QString& t) {
        // Titles take most of the gutter too, centred over the amounts: two long ones stay
        // apart.
        Label* l =
            Kolumny->addLabel(xKwoty(k) - 3, 3, kWLiczby + 3, t, Font(7, true), Alignment::Center);
        DopasujTekst(l, t, 7, 6, 2);
        return l;
    };
    for (int k = 0; k < 5; ++k) QRLabelKolT[k] = tytul(k, "");
    tytul(5, "Razem");
    tytul(6, "Opłacono");
    Kolumny->addHLine(0, 25, 718);

    QRBand3 = addBand(BandKind::Detail, kWysokoscWiersza);
    QRLabelLp = QRBand3->addLabel(0, 2, 24, "", Font(8), Alignment::Right);
    QRLabelKlasa = QRBand3->addLabel(kXKlasa, 2, kWKlasa, "", Font(8));
    QRLabelNazwisko = QRBand3->addLabel(kXNazw, 2, kWNazw, "", Font(8));
    for (int k = 0; k < 5; ++k)
        QRLabelKol[k] = QRBand3->addLabel(xKwoty(k), 2, kWLiczby, "", Font(8), Alignment::Right);
    QRLabelRazem = QRBand3->addLabel(xKwoty(5), 2, kWLiczby, "", Font(8, true), Alignment::Right);
    QRLabelOplacono = QRBand3->addLabel(xKwoty(6), 2, kWLiczby, "", Font(8), Alignment::Right);
    // Amounts of millions are set smaller, on the line of the others.
    for (Label* l : QRLabelKol) l->shrinkToFit = true;
    QRLabelRazem->shrinkToFit = QRLabelOplacono->shrinkToFit = true;
    QRBand3->beforePrint = [this](Band&, bool& p) { QRBand3BeforePrint(p); };

    QRBand2 = addBand(BandKind::Summary, 24);
    QRBand2->addHLine(0, 1, 718);
    QRBand2->addLabel(kXNazw, 6, kWNazw, "Ogółem placówka", Font(8, true));
    // Totals may run to millions: a smaller type, and the gutter too.
    auto suma = [this](int k) {
        Label* l =
            QRBand2->addLabel(xKwoty(k) - 3, 7, kWLiczby + 3, "", Font(7, true), Alignment::Right);
        l->shrinkToFit = true;
        return l;
    };
    for (int k = 0; k < 5; ++k) QRLabelSumaKol[k] = suma(k);
    QRLabelSumaRazem = suma(5);
    QRLabelSumaOplacono = suma(6);
    QRBand2->addHLine(0, 22, 718);
    QRBand2->beforePrint = [this](Band&, bool&) { QRBand2BeforePrint(); };

    beforePrint = [this](Report&) { QuickRepBeforePrint(); };
}

void TQROplatyNalezneMies::QuickRepBeforePrint() {
    Ramka.Odswiez();
    const TRodzajeWgSymbolu rodzaje = RodzajeWgSymbolu(WczytajRodzajeOplat());

    // Titles of print columns 1..4: the last kind of each column in symbol order.
    QString tytuly[5];
    for (const auto& [symbol, r] : rodzaje)
        if (r.KodWydruku >= 1 && r.KodWydruku <= 4) tytuly[r.KodWydruku - 1] = r.OpisWydruku;

    WybranyRodzaj.clear();
    WybranaKolumna = 0;
    const TWyborRodzaju w = WybierzRodzaj(Wybor, rodzaje);
    if (w.Wszystkie) {
        WybranyRodzaj = "all";
        Ramka.QRLabelTytul->text = "Wszystkie należności";
        tytuly[4] = "Inne";
    } else {
        Ramka.QRLabelTytul->text = Wybor;
        if (!w.Symbol.isEmpty()) {
            WybranyRodzaj = w.Symbol;
            // The column the builder put the amounts in (any code outside 1..6 is column 6).
            WybranaKolumna = w.Kolumna;
            if (WybranaKolumna > 4) tytuly[4] = w.OpisWydruku;
        }
    }
    for (int k = 0; k < 5; ++k) DopasujTekst(QRLabelKolT[k], tytuly[k], 7, 6, 2);

    LicznikLp = 0;
    for (double& s : SumaKol) s = 0;
    SumaOplacono = 0;

    const QDate dz = DataZestawienia.isValid() ? DataZestawienia : QDate::currentDate();
    Ramka.QRLabelTytul2->text =
        "za miesiąc  " + NazwaMiesiaca(dz.month(), true) + " " + QString::number(dz.year());

    indeksUcznia_.clear();
    indeksUcznia_.reserve(int(Uczniowie.size()));
    for (size_t i = 0; i < Uczniowie.size(); ++i)
        indeksUcznia_.insert(Uczniowie[i].IdUcznia, int(i));
}

void TQROplatyNalezneMies::QRBand3BeforePrint(bool& drukuj) {
    const auto it = indeksUcznia_.constFind(nalUcz_->field("IdUcznia")->asInteger());
    if (it == indeksUcznia_.constEnd()) {
        drukuj = false;
        return;
    }
    const TUczenWykazu& u = Uczniowie[size_t(*it)];
    // A long name takes more lines (the row grows), never a cut.
    DopasujTekst(QRLabelNazwisko, u.Nazwisko % QLatin1Char(' ') % u.Imiona, 8, 7, 4);
    DopasujTekst(QRLabelKlasa, u.Klasa, 8, 6.5, 2);
    QRBand3->height =
        qMax(kWysokoscWiersza, qMax(QRLabelNazwisko->height, QRLabelKlasa->height) + 4);
    QRLabelLp->text = QString::number(++LicznikLp);
    for (auto* l : QRLabelKol) l->text.clear();
    QRLabelOplacono->text.clear();

    const bool wszystkie = WybranyRodzaj == "all";
    // Sums are kept to the grosz, so a big school leaves no binary crumbs in the totals.
    double wiersz = 0;
    // An amount is shown when it is not 0, also when it rounds to 0,00 (the builder writes a
    // column only then): `zapisane` are the column's fields, the empty ones stand for no amount.
    auto pokaz = [&](int k, std::initializer_list<const db::Field*> zapisane) {
        double x = 0;
        bool jest = false;
        for (const db::Field* p : zapisane) {
            x += p->asFloat();
            jest = jest || (!p->isNull() && p->asFloat() == 0);
        }
        x = Zaokraglij(x, 2);
        wiersz = Zaokraglij(wiersz + x, 2);
        SumaKol[k] = Zaokraglij(SumaKol[k] + x, 2);
        if (x != 0 || jest) QRLabelKol[k]->text = Kwota(x);
    };
    static const char* const kKolumny[4] = {"Kol1", "Kol2", "Kol3", "Kol4"};
    for (int k = 0; k < 4; ++k)
        if (WybranaKolumna == k + 1 || wszystkie) pokaz(k, {nalUcz_->field(kKolumny[k])});
    if (WybranaKolumna == 5 || WybranaKolumna == 6 || wszystkie) {
        const db::Field* k5 = nalUcz_->field("Kol5");
        const db::Field* k6 = nalUcz_->field("Kol6");
        if (wszystkie)
            pokaz(4, {k5, k6});
        else
            pokaz(4, {WybranaKolumna == 5 ? k5 : k6});
    }
    QRLabelRazem->text = Kwota(wiersz);

    const db::Field* saldo = nalUcz_->field("Saldo");
    const double x = Zaokraglij(saldo->asFloat(), 2);
    SumaOplacono = Zaokraglij(SumaOplacono + x, 2);
    if (x != 0 || !saldo->isNull()) QRLabelOplacono->text = Kwota(x);
}

void TQROplatyNalezneMies::QRBand2BeforePrint() {
    const bool wszystkie = WybranyRodzaj == "all";
    double razem = 0;
    for (int k = 0; k < 5; ++k) {
        QRLabelSumaKol[k]->text.clear();
        const bool pokaz = wszystkie || (k < 4 ? WybranaKolumna == k + 1 : WybranaKolumna > 4);
        if (pokaz) QRLabelSumaKol[k]->text = Kwota(SumaKol[k]);
        razem += SumaKol[k];
    }
    QRLabelSumaRazem->text = Kwota(razem);
    QRLabelSumaOplacono->text = Kwota(SumaOplacono);
}

// --- the builder ---

void Wykaznalenychopat1Click() {
    UruchomZestawienie([] {
        // The work component serves the settlement too: its order comes back on every way out,
        // after the run has closed it.
        db::Table* N = DMw->TNalUcz;
        struct Porzadek {
            db::Table* t;
            QString indeks;
            ~Porzadek() {
                try {
                    t->setIndexFieldNames(indeks);
                } catch (...) {
                }
            }
        } porzadek{N, N->indexFieldNames()};
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(KodOplatyNalezne)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        const QString wybor = Wydruk->ComboBoxRodzNalezn->currentText();
        TDaneOplatNaleznych w;
        if (!PrzygotujOplatyNalezne(o.Data, w)) return;
        przebieg.Czekaj();
        przebieg.TabelaRobocza(N, "RnlU", "Str_nalUcz.db");
        QROplatyNalezneMies->Uczniowie = ZdjecieUczniow();
        WypelnijOplatyNalezne(w, wybor, QROplatyNalezneMies->Uczniowie);
        N->first();
        przebieg.KoniecCzekania();
        QROplatyNalezneMies->DataZestawienia = o.Data;
        QROplatyNalezneMies->Wybor = wybor;
        przebieg.Emisja(*QROplatyNalezneMies, o.Emisja);
        QROplatyNalezneMies->Uczniowie.clear();
    });
}
