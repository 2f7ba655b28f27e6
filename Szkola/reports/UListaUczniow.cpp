#include "Szkola/reports/UListaUczniow.h"

#include <QStringBuilder>

#include "Szkola/core/UWydruk.h"
#include "platform/db/Table.h"

TQRListaUczniow* QRListaUczniow = nullptr;
TQRListaUczWydrGen* QRListaUczWydrGen = nullptr;

int WysokoscWierszaListy(int indeks) {
    if (indeks < 0 || indeks > 4) indeks = 0;
    return indeks * 11 + 22;
}

TQRListaUczniowBaza::TQRListaUczniowBaza(db::Table* uczniowie, bool zPeselem)
    : uczniowie_(uczniowie) {
    using namespace report;
    title = zPeselem ? "Lista uczniów z numerem PESEL" : "Lista uczniów";
    setDataSet(uczniowie);
    Ramka.Dodaj(*this, "Lista uczniów");

    // Column edges: number, name, then the list's own columns, then the free column.
    QList<int> x =
        zPeselem ? QList<int>{0, 36, 292, 410, 504, 718} : QList<int>{0, 36, 330, 470, 718};
    QStringList tytuly = zPeselem ? QStringList{"Lp.", "Nazwisko i imię", "Data urodzenia", "Pesel"}
                                  : QStringList{"Lp.", "Nazwisko i imię", "Klasa"};

    Kolumny = Ramka.PageHeader->addChild(24);
    Kolumny->addRect(0, 0, 718, 24);
    for (int i = 0; i < tytuly.size(); ++i)
        Kolumny->addLabel(x[i] + 2, 5, x[i + 1] - x[i] - 4, tytuly[i], Font(9, true),
                          Alignment::Center);
    QRLabelKolumna = Kolumny->addLabel(x[tytuly.size()] + 2, 5, 718 - x[tytuly.size()] - 4, "Uwagi",
                                       Font(9, true), Alignment::Center);
    for (int i = 1; i < x.size() - 1; ++i) Kolumny->addVLine(x[i], 0, 24);

    QRBand3 = addBand(BandKind::Detail, 22);
    QRLabelLp = QRBand3->addLabel(2, 2, 30, "", Font(9), Alignment::Right);
    QRLabelNazwisko = QRBand3->addLabel(x[1] + 4, 2, x[2] - x[1] - 6, "", Font(9));
    Teksty << QRLabelLp;
    if (zPeselem) {
        Teksty << QRBand3->addField(x[2] + 4, 2, x[3] - x[2] - 6, uczniowie, "DataUr", Font(9));
        Teksty << QRBand3->addField(x[3] + 4, 2, x[4] - x[3] - 6, uczniowie, "Pesel", Font(9));
    } else {
        Teksty << QRBand3->addField(x[2] + 4, 2, x[3] - x[2] - 6, uczniowie, "Klasa", Font(9));
    }
    for (int xi : x) Pionowe << QRBand3->addVLine(xi, 0, 22);
    Pozioma = QRBand3->addHLine(0, 19, 718);
    QRBand3->beforePrint = [this](Band&, bool&) {
        QRLabelLp->text = QString::number(++Lp);
        // Built in one allocation (%): a list is thousands of names. A long one is set smaller,
        // or on more lines in a taller row, never cut.
        DopasujTekst(QRLabelNazwisko,
                     uczniowie_->field("Nazwisko")->asString() % QLatin1Char(' ') %
                         uczniowie_->field("Imie1")->asString() % QLatin1Char(' ') %
                         uczniowie_->field("Imie2")->asString(),
                     9, 7, 4);
        WysokoscRzedu(qMax(WysokoscWierszaListy(IndeksWysokosci), QRLabelNazwisko->height + 6));
    };

    Band* suma = addBand(BandKind::Summary, 6);
    suma->addHLine(0, 0, 718);

    beforePrint = [this](Report&) {
        Lp = 0;
        Ramka.Odswiez();
        QString t1, t2;
        LiniaWyboru(BiezacyStanFiltru(), t1, t2);
        Ramka.QRLabelTytul->text = t1;
        Ramka.QRLabelTytul2->text = t2;
        DopasujTekst(QRLabelKolumna, Kolumna.isEmpty() ? QStringLiteral("Uwagi") : Kolumna, 9, 6);
        WysokoscRzedu(WysokoscWierszaListy(IndeksWysokosci));
    };
}

void TQRListaUczniowBaza::WysokoscRzedu(int h) {
    QRBand3->height = h;
    for (report::Line* l : Pionowe) l->height = h;
    Pozioma->top = h - 3;
    for (report::Element* e : Teksty) e->top = (h - 18) / 2;
    QRLabelNazwisko->top = (h - 3 - QRLabelNazwisko->height) / 2;
}

namespace {

void Lista(TQRListaUczniowBaza* r) {
    UruchomZestawienie([r] {
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(KodListaUczniow)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        r->Kolumna = o.Kolumna;
        r->IndeksWysokosci = o.WysokoscWiersza;
        // The report walks the register itself.
        NaRejestrzeUczniow([&](db::Table&) { przebieg.Emisja(*r, o.Emisja); });
    });
}

}  // namespace

void Listauczniw1Click() { Lista(QRListaUczniow); }
void ListauczniwzPeselem1Click() { Lista(QRListaUczWydrGen); }
