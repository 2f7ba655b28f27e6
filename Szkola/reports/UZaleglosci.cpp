#include "Szkola/reports/UZaleglosci.h"

#include <map>
#include <memory>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Table.h"

TQRZaleglosci* QRZaleglosci = nullptr;

namespace {

// One row of the fee check table kept in memory while a pupil is summed up.
struct Sprawdzenie {
    int rok = 0;
    int miesiac = 0;
    QString typ;
    double nal[13] = {};
    double zap[13] = {};
};

struct RokSzkolny {
    QString rokSzk;
    int rok = 0;
    int nrMies = 0;
    std::unique_ptr<db::Table> nlz;  // the year's fee file, when it exists
};

}  // namespace

void WypelnijZaleglosci(const QDate& D) {
    const int Dy = D.year();
    const int Dm = D.month();
    const QHash<QString, TRodzajOplaty> rodzaje = WczytajRodzajeOplat();
    auto typ = [&](const QString& symbol) {
        auto it = rodzaje.constFind(symbol);
        return it == rodzaje.constEnd() ? symbol : it->Typ;
    };
    const int dzien = DzienRozliczenia();

    // The school years in their order, each with its fee file opened once for the whole walk.
    std::vector<RokSzkolny> lata;
    {
        db::Table r;
        r.setTableName("RokSzkolny");
        r.setIndexFieldNames("RokSzk");
        r.open();
        for (r.first(); !r.eof(); r.next()) {
            RokSzkolny y;
            y.rokSzk = r.field("RokSzk")->asString();
            y.rok = r.field("Rok")->asInteger();
            y.nrMies = r.field("NrMies")->asInteger();
            const QString plik = "NLZ" + KluczRokuSzk(y.rok, y.nrMies);
            y.nlz = std::make_unique<db::Table>();
            y.nlz->setTableName(plik + ".db");
            if (!y.nlz->exists()) continue;  // a year without its fee file is passed over
            y.nlz->open();
            y.nlz->setIndexFieldNames("IdUcznia;RodzOpl;Status");
            lata.push_back(std::move(y));
        }
    }

    db::Table* Z = DMw->TZalUcz;
    db::Table* L = DMw->TListZal;
    db::Table* S = DM->TSprOpl;
    Z->disableControls();
    L->disableControls();
    struct Wlacz {
        db::Table *z, *l;
        ~Wlacz() {
            z->enableControls();
            l->enableControls();
        }
    } wlacz{Z, L};

    PrzejdzUczniow([&](db::Table& u) {
        const int id = u.field("IdUcznia")->asInteger();
        double A = 0, N = 0;

        // Dues and payments per school year and fee kind, month by month.
        std::map<std::pair<QString, QString>, Sprawdzenie> spr;
        for (auto& y : lata) {
            db::Table* t = y.nlz.get();
            t->findNearest({id});
            for (; !t->eof() && t->field("IdUcznia")->asInteger() == id; t->next()) {
                const QString rodz = t->field("RodzOpl")->asString();
                auto [it, nowy] = spr.try_emplace({y.rokSzk, rodz});
                Sprawdzenie& s = it->second;
                if (nowy) {
                    s.typ = typ(rodz);
                    s.rok = y.rok;
                    s.miesiac = y.nrMies;
                }
                const QString status = t->field("Status")->asString();
                if (status.isEmpty()) {
                    for (int m = 1; m <= 12; ++m) {
                        bool liczy = s.typ == "_O" || s.typ == "WP";
                        if (!liczy) {
                            const int rokM = m >= y.nrMies ? y.rok : y.rok + 1;
                            liczy = rokM < Dy || (rokM == Dy && m <= Dm);
                        }
                        if (liczy)
                            s.nal[m] =
                                Zaokraglij(s.nal[m] + t->field(PoleMiesiaca('M', m))->asFloat(), 2);
                    }
                } else if (status == "Z") {
                    for (int m = 1; m <= 12; ++m)
                        s.zap[m] =
                            Zaokraglij(s.zap[m] + t->field(PoleMiesiaca('M', m))->asFloat(), 2);
                }
            }
        }

        // The check rows, and one line for every month whose due and paid amounts differ.
        struct Linia {
            QDate termin;
            QString rodz, rokSzk, znak;
            int miesiac, rok;
            double kwota;
        };
        std::vector<Linia> linie;
        for (const auto& [klucz, s] : spr) {
            S->append();
            S->field("IdUcznia")->setInteger(id);
            S->field("RokSzk")->setString(klucz.first);
            S->field("RodzOpl")->setString(klucz.second);
            S->field("Rok")->setInteger(s.rok);
            S->field("Miesiac")->setInteger(s.miesiac);
            S->field("TypOpl")->setString(s.typ);
            for (int m = 1; m <= 12; ++m) {
                S->field(PoleMiesiaca('M', m))->setFloat(s.nal[m]);
                S->field(PoleMiesiaca('Z', m))->setFloat(s.zap[m]);
            }
            S->post();

            for (int m = 1; m <= 12; ++m) {
                const double d = Zaokraglij(s.nal[m] - s.zap[m], 2);
                if (d == 0) continue;
                Linia l;
                l.rodz = klucz.second;
                l.rokSzk = klucz.first;
                l.miesiac = m;
                l.rok = s.miesiac > m ? s.rok + 1 : s.rok;
                // The settlement day is clamped to the month (31 in April is the 30th).
                l.termin = TerminPlatnosci(l.rok, m, dzien);
                l.kwota = s.typ == "_O" ? -d : d;
                if (PorownajDaty(l.termin, D) == -1)
                    l.znak = "%";
                else if (l.termin.year() == Dy && l.termin.month() == Dm)
                    l.znak = "*";
                else if (s.typ == "WP")
                    l.znak = "Z";
                if (l.znak != "Z") {
                    if (d > 0) A += l.kwota;
                    if (d < 0) N -= l.kwota;
                }
                linie.push_back(l);
            }
        }

        Z->append();
        Z->field("Nazwisko")->setString(u.field("Nazwisko")->asString());
        Z->field("Imie1")->setString(u.field("Imie1")->asString());
        Z->field("IdUcznia")->setInteger(id);
        Z->field("Imie2")->setString(u.field("Imie2")->asString());
        Z->field("Klasa")->setString(u.field("Klasa")->asString());
        Z->field("Zaleglosc")->setFloat(A);
        Z->field("Nadplata")->setFloat(N);
        Z->post();

        for (const Linia& l : linie) {
            L->append();
            L->field("TerminWpl")->setDate(l.termin);
            L->field("RodzOpl")->setString(l.rodz);
            L->field("IdUcznia")->setInteger(id);
            L->field("RokSzk")->setString(l.rokSzk);
            L->field("Miesiac")->setInteger(l.miesiac);
            L->field("Rok")->setInteger(l.rok);
            L->field("SposobWpl")->setString(l.znak);
            L->field("Kwota")->setFloat(l.kwota);
            L->post();
        }
        return true;
    });
}

// --- the report form ---

TQRZaleglosci::TQRZaleglosci(db::Table* uczniowie, db::Table* linie)
    : uczniowie_(uczniowie), linie_(linie) {
    using namespace report;
    title = "Wykaz nadpłat i zaległości";
    setDataSet(uczniowie);

    PageHeader = addBand(BandKind::PageHeader, 20);
    PageHeader->addDate(0, 2, "Dn. ", Font(7));
    auto* str =
        PageHeader->addPageNumber(598, 2, QStringLiteral("Str.  "), Font(7), Alignment::Right);
    str->width = 120;

    QRBand1 = addBand(BandKind::Detail, 28);
    QRBand1->addHLine(0, 0, 718);
    QRLabelKlasa = QRBand1->addLabel(0, 8, 80, "", Font(6));
    QRLabelUczen = QRBand1->addLabel(84, 6, 340, "", Font(10, true));
    QRLabelUczen->wordWrap = true;  // a very long name is cut at a word, clear of the amount
    QRLabelUczen->height = 18;
    QRLabelOpis = QRBand1->addLabel(430, 7, 120, "", Font(9), Alignment::Right);
    QRLabelKwota = QRBand1->addLabel(556, 6, 162, "", Font(10, true), Alignment::Right);
    QRBand1->addHLine(0, 26, 718);
    QRBand1->beforePrint = [this](Band&, bool& drukuj) { QRBand1BeforePrint(drukuj); };

    QRSubDetail1 = addSubDetail(linie, QRBand1, 18);
    QRSubDetail1->addLabel(0, 5, 56, "Termin zapłaty:", Font(6));
    QRSubDetail1->addField(60, 3, 80, linie, "TerminWpl", Font(8));
    QRSubDetail1->addLabel(146, 5, 78, "Rodzaj należności:", Font(6));
    QRLabelTresc = QRSubDetail1->addLabel(228, 3, 360, "", Font(8));
    QRSubDetail1->addField(598, 3, 120, linie, "Kwota", Font(8), Alignment::Right);
    QRSubDetail1->addHLine(0, 17, 718, 0.5);
    QRSubDetail1->beforePrint = [this](Band&, bool& drukuj) { QRSubDetail1BeforePrint(drukuj); };

    GroupFooterBand1 = QRSubDetail1->addFooter(4);
    GroupFooterBand1->addHLine(0, 1, 718);
    GroupFooterBand1->beforePrint = [this](Band&, bool& drukuj) { drukuj = UczenDrukowany; };
    ChildBand1 = GroupFooterBand1->addChild(10);
    ChildBand1->beforePrint = [this](Band&, bool& drukuj) { drukuj = UczenDrukowany; };

    QRBand2 = addBand(BandKind::Summary, 92);
    QRBand2->addHLine(0, 2, 718);
    QRBand2->addHLine(0, 5, 718);
    QRBand2->addLabel(300, 12, 200, "Razem nadpłaty:", Font(9));
    QRLabelNadplaty = QRBand2->addLabel(518, 12, 200, "", Font(9, true), Alignment::Right);
    QRBand2->addLabel(300, 30, 200, "Razem zaległości:", Font(9));
    QRLabelZaleglosci = QRBand2->addLabel(518, 30, 200, "", Font(9, true), Alignment::Right);
    QRLabelOgolemOpis = QRBand2->addLabel(300, 48, 200, "", Font(9, true));
    QRLabelOgolem = QRBand2->addLabel(518, 48, 200, "", Font(9, true), Alignment::Right);
    QRBand2->addLabel(0, 76, 718, StopkaZestawien, Font(5));
    QRBand2->beforePrint = [this](Band&, bool&) { QRBand2BeforePrint(); };

    beforePrint = [this](Report&) { QuickRepBeforePrint(); };
}

void TQRZaleglosci::QuickRepBeforePrint() {
    SumaZaleglosci = 0;
    SumaNadplat = 0;
    UczenDrukowany = false;
    rodzaje_ = WczytajRodzajeOplat();
}

void TQRZaleglosci::QRBand1BeforePrint(bool& drukuj) {
    const double s =
        uczniowie_->field("Zaleglosc")->asFloat() - uczniowie_->field("Nadplata")->asFloat();
    if (Zaokraglij(s, 2) == 0) {
        drukuj = false;
        UczenDrukowany = false;
        return;
    }
    UczenDrukowany = true;
    // Sums are kept to the grosz, so thousands of pupils leave no binary crumbs in the totals.
    const double kwota = Zaokraglij(s, 2);
    if (kwota > 0) {
        QRLabelOpis->text = "Do zapłaty:";
        QRLabelKwota->text = FormatujKwote(kwota, "### ##0.00") + "zł";
        SumaZaleglosci = Zaokraglij(SumaZaleglosci + kwota, 2);
    } else {
        QRLabelOpis->text = "Nadpłata:";
        QRLabelKwota->text = FormatujKwote(-kwota, "### ##0.00") + "zł";
        SumaNadplat = Zaokraglij(SumaNadplat - kwota, 2);
    }
    QRLabelUczen->text = uczniowie_->field("Nazwisko")->asString() + " " +
                         uczniowie_->field("Imie1")->asString() + " " +
                         uczniowie_->field("Imie2")->asString();
    QRLabelKlasa->text = uczniowie_->field("Klasa")->asString();
}

void TQRZaleglosci::QRSubDetail1BeforePrint(bool& drukuj) {
    if (!UczenDrukowany || linie_->field("SposobWpl")->asString() == "Z") {
        drukuj = false;
        return;
    }
    const QString symbol = linie_->field("RodzOpl")->asString();
    auto it = rodzaje_.constFind(symbol);
    if (it == rodzaje_.constEnd())
        QRLabelTresc->text.clear();
    else if (it->Typ == "WP")
        QRLabelTresc->text = "Wpisowe za przyjęcie do szkoły/przedszkola";
    else if (it->Typ == "_S")
        QRLabelTresc->text = "Odsetki za opłaty przeterminowane";
    else
        QRLabelTresc->text = it->Opis + " za miesiąc " +
                             QString::number(linie_->field("Miesiac")->asInteger()) + "." +
                             QString::number(linie_->field("Rok")->asInteger());
}

void TQRZaleglosci::QRBand2BeforePrint() {
    QRLabelNadplaty->text = FormatujKwote(Zaokraglij(SumaNadplat, 2), "### ### ##0.00") + " zł";
    QRLabelZaleglosci->text =
        FormatujKwote(Zaokraglij(SumaZaleglosci, 2), "### ### ##0.00") + " zł";
    // Equal totals are settled: "Ogółem zaległości: 0,00 zł", never an overpayment of 0,00.
    const double saldo = Zaokraglij(SumaNadplat - SumaZaleglosci, 2);
    QRLabelOgolemOpis->text = saldo > 0 ? "Ogółem nadpłata:" : "Ogółem zaległości:";
    QRLabelOgolem->text = FormatujKwote(saldo > 0 ? saldo : -saldo, "### ### ##0.00") + " zł";
}

// --- the builder ---

void Wykaznadpatizalegoci1Click() {
    UruchomZestawienie([] {
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(KodZaleglosci)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        przebieg.Czekaj();
        przebieg.TabelaRobocza(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
        przebieg.TabelaRobocza(DMw->TListZal, "RListZal", "Str_OplAn.db");
        przebieg.TabelaRobocza(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
        WypelnijZaleglosci(o.Data);
        DMw->TZalUcz->first();
        przebieg.KoniecCzekania();
        przebieg.Emisja(*QRZaleglosci, o.Emisja);
    });
}
