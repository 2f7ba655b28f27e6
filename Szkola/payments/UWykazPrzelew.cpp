#include "Szkola/payments/UWykazPrzelew.h"

#include "platform/db/Table.h"

TQRWykazPrzelew* QRWykazPrzelew = nullptr;

using report::Alignment;

TQRWykazPrzelew::TQRWykazPrzelew() : TWykazDokumentow(true) {
    title = "Wykaz przelewów";
    // Lp. clear of the number; the statement number set smaller when long; name, bank and
    // text in up to three lines; room for 9 999 999,99.
    Kolumny({{"Lp.", 0, 22, Alignment::Right},
             {"Nr wyciągu", 30, 92, Alignment::Left},
             {"Data przelewu", 130, 90, Alignment::Left},
             {"Nazwisko i imię", 228, 140, Alignment::Left, true},
             {"Nazwa banku", 376, 120, Alignment::Left, true},
             {"Kwota", 504, 86, Alignment::Right},
             {"Treść", 598, 120, Alignment::Left, true}},
            5, 6);
    QRLabelLp = Pola[0];
}

QString TQRWykazPrzelew::Tytul(bool synt) const {
    return synt ? "Wykaz przelewów - syntetycznie" : "Wykaz przelewów - analitycznie";
}

QString TQRWykazPrzelew::DopiskiFiltru(const TStanFiltruDokumentow& f) const {
    if (!f.WMocy()) return {};
    if (f.FiltrDokWyciag == "1") return " - Wybrany wyciąg bankowy";
    if (f.FiltrDokBank == "1") return " - Wybrany bank";
    return {};
}

void TQRWykazPrzelew::WierszDokumentu() {
    db::Table* d = Dokumenty();
    Pola[1]->text = d->field("NrWyciagu")->asString();
    Pola[2]->text = d->field("DataWpl")->displayText();
    Pola[3]->text = d->field("Nazwa")->asString();
    Pola[4]->text = d->field("NazwaBanku")->asString();
    Pola[5]->text = d->field("Kwota")->displayText();
    Pola[6]->text = d->field("Tresc")->asString();
}
