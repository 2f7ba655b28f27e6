#include "Szkola/payments/UWykazPrzelew.h"

#include "platform/db/Table.h"

TQRWykazPrzelew* QRWykazPrzelew = nullptr;

using report::Alignment;

TQRWykazPrzelew::TQRWykazPrzelew() : TWykazDokumentow(true) {
    title = "Wykaz przelewów";
    Kolumny({{"Lp.", 0, 30, Alignment::Right},
             {"Nr wyciągu", 36, 76, Alignment::Left},
             {"Data przelewu", 116, 74, Alignment::Left},
             {"Nazwisko i imię", 194, 160, Alignment::Left},
             {"Nazwa banku", 358, 120, Alignment::Left},
             {"Kwota", 482, 74, Alignment::Right},
             {"Treść", 562, 156, Alignment::Left}},
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
