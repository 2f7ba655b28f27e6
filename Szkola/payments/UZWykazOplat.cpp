#include "Szkola/payments/UZWykazOplat.h"

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Table.h"

TQRWykazOplat* QRWykazOplat = nullptr;

using report::Alignment;

TQRWykazOplat::TQRWykazOplat() : TWykazDokumentow(false) {
    title = "Wykaz opłat gotówkowych";
    // Lp. clear of the number; name and text in up to three lines; room for -9 999 999,99 zł.
    Kolumny({{"Lp.", 0, 22, Alignment::Right},
             {"Dok.  Nr dokum.", 30, 104, Alignment::Left},
             {"Data wpłaty", 142, 78, Alignment::Left},
             {"Nazwisko i imię", 228, 176, Alignment::Left, true},
             {"Kwota", 412, 96, Alignment::Right},
             {"Treść", 516, 202, Alignment::Left, true}},
            4, 5);
    QRLabelLp = Pola[0];
    QRLabelK = Pola[4];
}

QString TQRWykazOplat::Tytul(bool synt) const {
    return synt ? "Wykaz opłat gotówkowych - syntetycznie"
                : "Wykaz opłat gotówkowych - analitycznie";
}

QString TQRWykazOplat::DopiskiFiltru(const TStanFiltruDokumentow& f) const {
    if (!f.WMocy() || f.FiltrDokDokument != "1") return {};
    if (f.FiltrDokSposobWpl == "K") return " - Dokumenty KP";
    if (f.FiltrDokSposobWpl == "Z") return " - Dokumenty KW";
    return " - ";
}

void TQRWykazOplat::WierszDokumentu() {
    db::Table* d = Dokumenty();
    const bool wyplata = d->field("SposobWpl")->asString() == "Z";
    Pola[1]->text = QString(wyplata ? "KW" : "KP") + "  " + d->field("NumerWpl")->asString();
    Pola[2]->text = d->field("DataWpl")->displayText();
    Pola[3]->text = d->field("Nazwa")->asString();
    const double kwota = d->field("Kwota")->asFloat();
    QRLabelK->text = FormatujKwote(Zaokraglij(wyplata ? -kwota : kwota, 2)) + " zł";
    Pola[5]->text = d->field("Tresc")->asString();
}
