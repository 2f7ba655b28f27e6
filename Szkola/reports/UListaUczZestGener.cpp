#include "Szkola/reports/UListaUczZestGener.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "platform/db/Table.h"

TQRListaUczZestGener* QRListaUczZestGener = nullptr;

namespace {
// Tops of the selection lines in the frame's page header.
constexpr int kGoraTytulu = 34, kGoraTytulu2 = 54;
}  // namespace

TQRListaUczZestGener::TQRListaUczZestGener(db::Table* uczniowie) : uczniowie_(uczniowie) {
    using namespace report;
    title = "Lista uczniów";
    setDataSet(uczniowie);
    Ramka.Dodaj(*this, "Lista uczniów");

    QRBand1 = addBand(BandKind::ColumnHeader, 23);
    Rule1Gora = QRBand1->addHLine(0, 0, 718);
    Rule1Dol = QRBand1->addHLine(0, 22, 718);
    QRBand2 = addBand(BandKind::Detail, 21);
    Rule2Dol = QRBand2->addHLine(0, 20, 718);
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        QRLabelN[i] = QRBand1->addLabel(5, 4, 0, RodzajInformacji(i).Naglowek, Font(7));
        QRLabelD[i] = QRBand2->addLabel(5, 2, 0, "", i == 1 ? Font(8, true) : Font(7));
        QRLabelN[i]->enabled = false;
        QRLabelD[i]->enabled = false;
    }
    QRLabelD[25]->width = 380;

    beforePrint = [this](Report&) { UlozWydruk(); };
    afterPrint = [this](Report&) {
        adresy_.reset();
        gminy_.reset();
    };
    QRBand2->beforePrint = [this](Band&, bool&) { WypelnijUcznia(); };
}

TQRListaUczZestGener::~TQRListaUczZestGener() = default;

void TQRListaUczZestGener::UlozWydruk() {
    Szablon = DMw ? WczytajSzablon(*DMw->TGenerZest) : TSzablonZestawienia{};
    const TSzablonZestawienia& s = Szablon;

    adresy_.reset();
    gminy_.reset();
    if ((s.Pola[10].Drukuj || s.Pola[11].Drukuj) && DM) {
        auto otworz = [](const QString& tabela, const QString& klucz) {
            auto t = std::make_unique<db::Table>(DM->Baza());
            t->setTableName(tabela);
            t->open();
            t->setIndexFieldNames(klucz);
            return t;
        };
        adresy_ = otworz("Adresy", "IdAdres");
        gminy_ = otworz("Gminy", "IdGminy");
    }

    orientation =
        s.Orientacja == 1 ? report::Orientation::Landscape : report::Orientation::Portrait;
    const int szer = pageWidth();
    // The titles centred over the page, the date and page number at its right edge.
    for (report::Label* l : {Ramka.QRLabel1, Ramka.QRLabelTytul, Ramka.QRLabelTytul2})
        l->left = (szer - l->width) / 2;
    Ramka.Data->left = szer - Ramka.Data->width;
    Ramka.Strona->left = szer - Ramka.Strona->width;
    Ramka.Stopka->width = szer;
    Ramka.Odswiez();
    LiniaWyboru(BiezacyStanFiltru(), Ramka.QRLabelTytul->text, Ramka.QRLabelTytul2->text);
    // A title of 50 characters: a smaller type, then two lines above the selection line.
    DopasujTekst(Ramka.QRLabel1, s.Tytul1, 14, 8, 2);
    const int nizej = qMax(0, Ramka.QRLabel1->top + Ramka.QRLabel1->height + 2 - kGoraTytulu);
    Ramka.QRLabelTytul->top = kGoraTytulu + nizej;
    Ramka.QRLabelTytul2->top = kGoraTytulu2 + nizej;

    // A stored count outside 0..5 would give bands of no sense.
    const int w = qBound(0, s.Wiersze, MaksWierszy);
    QRBand1->height = (w - 1) * 14 + 23;
    QRBand2->height = (w - 1) * 14 + 21;
    Rule1Dol->top = QRBand1->height - 1;
    Rule2Dol->top = QRBand2->height - 1;
    for (report::Line* l : {Rule1Gora, Rule1Dol, Rule2Dol}) l->width = szer;

    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        report::Label* n = QRLabelN[i];
        report::Label* d = QRLabelD[i];
        const TPoleSzablonu& p = s.Pola[i];
        if (p.Drukuj) {
            const int wiersz = WierszWydruku(p.Wiersz);
            n->top = (wiersz - 1) * 14 + 4;
            d->top = (wiersz - 1) * 14 + 2;
            n->left = d->left = p.Polozenie + 10;
            // A kind has the room up to the next kind of its row, or to the page's edge (the
            // remarks keep a margin); a position past it leaves none.
            int koniec = i == 25 ? szer - 10 : szer;
            for (int j = 1; j <= LiczbaRodzajow; ++j) {
                const TPoleSzablonu& q = s.Pola[j];
                if (j != i && q.Drukuj && WierszWydruku(q.Wiersz) == wiersz &&
                    q.Polozenie > p.Polozenie)
                    koniec = qMin(koniec, q.Polozenie + 10 - 6);
            }
            n->width = d->width = qMax(0, koniec - n->left);
            n->enabled = d->enabled = d->width > 0;
            DopasujTekst(n, RodzajInformacji(i).Naglowek, 7, 6);
        } else {
            n->top = 4;
            d->top = 2;
            n->left = d->left = 5;
            n->enabled = d->enabled = false;
        }
    }
}

void TQRListaUczZestGener::WypelnijUcznia() {
    const QStringList t = TekstyUcznia(*uczniowie_, Szablon, adresy_.get(), gminy_.get());
    // Each text keeps to its room on the row: a step smaller, then cut with "…". The remark
    // gets its first line.
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        if (!Szablon.Pola[i].Drukuj) continue;
        // A name of 42 characters still fits the room of the designer's sample.
        DopasujTekst(QRLabelD[i], i == 25 ? PierwszaLinia(t[25]) : t[i], i == 1 ? 8 : 7, 6);
    }
}
