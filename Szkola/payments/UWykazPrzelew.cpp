#include "Szkola/payments/UWykazPrzelew.h"

#include "platform/db/Table.h"

TQRWykazPrzelew* QRWykazPrzelew = nullptr;

using report::Alignment;

TQRWykazPrzelew::TQRWykazPrzelew() : TWykazDokumentow(true) {
    title = "Wykaz przelewów";
    Kolumny({{"Lp.", 0, 26, Alignment::Right},
             {"Nr wyciągu", 30, 70, Alignment::Left},
             {"Data przelewu", 104, 92, Alignment::Left},
             {"Nazwisko i imię", 200, 148, Alignment::Left},
             {"Nazwa banku", 352, 124, Alignment::Left},
             {"Kwota", 480, 76, Alignment::Right},
             {"Treść", 564, 154, Alignment::Left}},
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
