#include "Szkola/payments/UWykazDokumentow.h"

#include <algorithm>
#include <cmath>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"

using report::Alignment;
using report::Font;

namespace {
const int kWysokoscWiersza = 16;
const int kWysokoscLinii = 14;

}  // namespace

int WysokoscZawinietych(const QList<const report::Element*>& elementy, int najmniej) {
    static report::TextMeasurer miara;
    int wys = najmniej;
    for (const report::Element* e : elementy) {
        QString tekst;
        if (e->kind() == report::ElementKind::Label)
            tekst = static_cast<const report::Label*>(e)->text;
        else if (e->kind() == report::ElementKind::DataField)
            tekst = static_cast<const report::DataField*>(e)->currentText();
        if (tekst.isEmpty() || !e->enabled) continue;
        const int n = std::min<int>(kNajwiecejWierszy, miara.wrap(e->font, tekst, e->width).size());
        wys = std::max(wys, e->top + int(std::ceil(n * miara.lineHeight(e->font))) + 1);
    }
    return wys;
}

TWykazDokumentow::TWykazDokumentow(bool przelewy) : przelewy_(przelewy) {
    printIfEmpty = true;

    PageHeader = addBand(report::BandKind::PageHeader, 100);
    PageHeader->addRect(0, 0, 200, 70);
    for (int i = 0; i < 4; ++i) {
        // A long institution name is set smaller, whole, clear of its frame.
        Nazwa[i] = PageHeader->addLabel(6, 4 + 16 * i, 188, "", Font(7), Alignment::Center);
        Nazwa[i]->shrinkToFit = true;
    }
    // The longest title ("... - syntetycznie") stays between the institution box and the date.
    QRLabel1 = PageHeader->addLabel(206, 4, 388, "", Font(12, true), Alignment::Center);
    QRLabelTytul = PageHeader->addLabel(206, 34, 388, "", Font(10, true), Alignment::Center);
    QRLabelTytul2 = PageHeader->addLabel(206, 54, 388, "", Font(10, true), Alignment::Center);
    report::SysDate* data = PageHeader->addDate(598, 2, "", Font(8), Alignment::Right);
    data->width = 120;
    report::PageNumber* strona =
        PageHeader->addPageNumber(598, 76, QStringLiteral("Str.  "), Font(8), Alignment::Right);
    strona->width = 120;

    PageFooter = addBand(report::BandKind::PageFooter, 12);
    PageFooter->addLabel(0, 1, 718, StopkaZestawien, Font(5));

    QRBand3 = addBand(report::BandKind::Detail, kWysokoscWiersza);
    QRShape26 = QRBand3->addHLine(0, 0, 718);
    QRBand3->beforePrint = [this](report::Band&, bool& drukuj) { QRBand3BeforePrint(drukuj); };

    QRSubDetail1 = addSubDetail(nullptr, QRBand3, kWysokoscLinii);
    QRSubDetail1->beforePrint = [this](report::Band&, bool& drukuj) {
        QRSubDetail1BeforePrint(drukuj);
    };

    QRBand2 = addBand(report::BandKind::Summary, 26);
    QRBand2->addHLine(0, 2, 718);
    QRBand2->beforePrint = [this](report::Band&, bool&) { QRBand2BeforePrint(); };

    beforePrint = [this](report::Report&) { QuickRepBeforePrint(); };
}

TWykazDokumentow::~TWykazDokumentow() = default;

void TWykazDokumentow::Kolumny(const QList<Kolumna>& kol, int kolKwoty, int kolTresci) {
    // Column titles under the page header, on every page.
    report::Band* tytuly = PageHeader->addChild(22);
    for (const Kolumna& k : kol) tytuly->addLabel(k.x, 4, k.szer, k.tytul, Font(8, true), k.wyr);
    tytuly->addHLine(0, 20, 718);
    for (const Kolumna& k : kol) {
        report::Label* l = QRBand3->addLabel(k.x, 2, k.szer, "", Font(8), k.wyr);
        l->wordWrap = k.zawijaj;
        l->shrinkToFit = !k.zawijaj;
        if (k.zawijaj) Zawijane << l;
        Pola << l;
    }
    LiniaKwota = QRSubDetail1->addLabel(kol[kolKwoty].x, 1, kol[kolKwoty].szer, "", Font(7),
                                        Alignment::Right);
    LiniaTresc = QRSubDetail1->addLabel(kol[kolTresci].x, 1, kol[kolTresci].szer, "", Font(7));
    LiniaTresc->wordWrap = true;
    // The total may run to tens of millions: room to the left of the amounts' column.
    QRBand2->addLabel(kol[kolKwoty].x - 100, 8, 70, "Razem:", Font(9, true), Alignment::Right);
    QRLabelSuma = QRBand2->addLabel(kol[kolKwoty].x - 24, 8, kol[kolKwoty].szer + 24, "",
                                    Font(9, true), Alignment::Right);
}

void TWykazDokumentow::Przygotuj(db::Table* dokumenty, db::Table* linie) {
    Zwolnij();
    dok_ = std::make_unique<db::Table>(dokumenty->database());
    dok_->setTableName(dokumenty->tableName());
    if (przelewy_) {
        dok_->addLookupField(db::fText("NazwaBanku", 60), "IdBanku", DM->TBanki, "IdBanku",
                             "Nazwa");
        dok_->setFilterFunction([](db::Table& t) { return DM->TPrzelewFilterRecord(t); });
    } else {
        dok_->setFilterFunction([](db::Table& t) { return DM->TWplatyFilterRecord(t); });
    }
    const bool przelewy = przelewy_;
    dok_->setFilterPassesAll(
        [przelewy] { return PrzepuszczaWszystkieDokumenty(*DM->StanFiltruDokumentow, przelewy); });
    dok_->setFiltered(dokumenty->filtered());
    dok_->setIndexFieldNames(dokumenty->indexFieldNames());
    dok_->open();

    lin_ = std::make_unique<db::Table>(linie->database());
    lin_->setTableName(linie->tableName());
    lin_->setIndexFieldNames("IdWplaty;IdOplaty");
    lin_->setMasterSource(dok_.get(), "IdWplaty", "IdWplaty");
    if (przelewy_)
        lin_->setFilterFunction([](db::Table& t) { return DM->TSklPrzelFilterRecord(t); });
    else
        lin_->setFilterFunction([](db::Table& t) { return DM->TOplatyFilterRecord(t); });
    lin_->setFilterPassesAll([] { return PrzepuszczaWszystkieLinie(*DM->StanFiltruDokumentow); });
    lin_->setFiltered(linie->filtered());
    lin_->open();

    setDataSet(dok_.get());
    QRSubDetail1->setDataSet(lin_.get());
}

void TWykazDokumentow::Zwolnij() {
    setDataSet(nullptr);
    QRSubDetail1->setDataSet(nullptr);
    lin_.reset();
    dok_.reset();
}

int TWykazDokumentow::KodZestawienia() const { return Glowny ? Glowny->KodZestawienia : 0; }

const TStanFiltruDokumentow& TWykazDokumentow::Stan() const {
    static const TStanFiltruDokumentow pusty;
    return DM && DM->StanFiltruDokumentow ? *DM->StanFiltruDokumentow : pusty;
}

void TWykazDokumentow::QuickRepBeforePrint() {
    kod_ = KodZestawienia();
    stan_ = Stan();
    typy_.clear();
    const bool synt = kod_ == 1;
    QRLabel1->text = Tytul(synt);

    for (int i = 0; i < 4; ++i) {
        db::Table* p = DM->TParam;
        Nazwa[i]->text = p->active() && !p->isEmpty()
                             ? p->field("Nazwa" + QString::number(i + 1))->asString()
                             : QString();
    }

    const TStanFiltruDokumentow& f = stan_;
    QRLabelTytul2->text =
        f.WMocy() && f.FiltrDokData == "1"
            ? "Wpłaty w okresie  od " + f.FiltrDokDataOd + "  do " + f.FiltrDokDataDo
            : QString();
    QString tytul = "Wszystkie placówki";
    if (f.WMocy() && f.FiltrDokSzkola == "1") {
        const QVariant opis = DM->TSzkoly->lookup("IdSzkoly", {f.FiltrDokIdSzkoly}, "OpisS");
        if (opis.isValid()) tytul = opis.toString();
    }
    tytul += DopiskiFiltru(f);
    if (f.OgraniczaRodzaj())
        tytul += " - " + DM->TRodzOpl->lookup("Symbol", {f.FiltrDokSymbol}, "Opis").toString();
    QRLabelTytul->text = tytul;
    Suma = 0.0;
    Lp = 0;
    DokumentDrukowany = false;
}

void TWykazDokumentow::QRBand3BeforePrint(bool& drukuj) {
    DokumentDrukowany = false;
    db::Table* dok = Dokumenty();
    if (dok->field("Osoba")->asString() == "U") {
        drukuj = false;
        return;
    }
    if (stan_.OgraniczaRodzaj()) {
        Linie()->first();
        if (Linie()->eof()) {
            drukuj = false;
            return;
        }
    }
    QRShape26->enabled = kod_ == 0;
    QRLabelLp->text = QString::number(++Lp);
    DokumentDrukowany = true;
    WierszDokumentu();
    QList<const report::Element*> z;
    for (const report::Label* l : Zawijane) z << l;
    QRBand3->height = WysokoscZawinietych(z, kWysokoscWiersza);
}

void TWykazDokumentow::QRSubDetail1BeforePrint(bool& drukuj) {
    if (!DokumentDrukowany) {
        drukuj = false;
        return;
    }
    db::Table* l = Linie();
    const QString symbol = l->field("RodzOpl")->asString();
    auto typ = typy_.constFind(symbol);
    if (typ == typy_.constEnd()) typ = typy_.insert(symbol, TypRodzajuOplaty(symbol));
    const double kwota = l->field("Kwota")->asFloat();
    if (*typ == "_O")
        Suma -= kwota;
    else
        Suma += kwota;
    if (kod_ == 1) {
        drukuj = false;
        return;
    }
    LiniaKwota->text = l->field("Kwota")->displayText();
    LiniaTresc->text = l->field("Tresc")->asString();
    QRSubDetail1->height = WysokoscZawinietych({LiniaTresc}, kWysokoscLinii);
}

void TWykazDokumentow::QRBand2BeforePrint() {
    QRLabelSuma->text = FormatujKwote(Zaokraglij(Suma, 2), "### ### ##0.00") + " zł";
}
