#include "Szkola/reports/URamkaZestawienia.h"

#include <QApplication>
#include <QCursor>
#include <QDateEdit>
#include <QHash>
#include <QLineEdit>
#include <cmath>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"
#include "platform/ui/MessageBox.h"

namespace {

// Text of one field of the row whose key field holds `id` (empty flag when there is none).
bool Odszukaj(const QString& tabela, const QString& klucz, int id, const QString& pole,
              QString& wynik) {
    db::Table t;
    t.setTableName(tabela);
    if (!t.exists()) return false;
    t.open();
    if (!t.locate(klucz, {id})) return false;
    wynik = t.field(pole)->asString();
    return true;
}

// Height the memo's lines take when wrapped to its width.
int WysokoscMemo(const report::Memo& m) {
    report::TextMeasurer miara;
    const double wiersz = miara.lineHeight(m.font);
    double h = 0;
    for (const QString& l : m.lines) h += miara.wrap(m.font, l, m.width).size() * wiersz;
    return int(std::ceil(h));
}

// The opening text and the closing text of a letter print whole: their bands grow with them,
// up to a page's body less room for the page footer.
constexpr int kGoraWstepu = 146;
constexpr int kWysokoscWstepu = 64;
constexpr int kWysokoscTytulu = 214;

report::TextMeasurer* miaraZestawien = nullptr;

}  // namespace

report::TextMeasurer& MiaraZestawien() {
    if (!miaraZestawien) {
        miaraZestawien = new report::TextMeasurer;
        // Font metrics may not outlive the application's fonts.
        qAddPostRoutine([] {
            delete miaraZestawien;
            miaraZestawien = nullptr;
        });
    }
    return *miaraZestawien;
}

int DopasujTekst(report::Label* l, const QString& tekst, double duza, double mala, int wierszy) {
    report::TextMeasurer& miara = MiaraZestawien();
    l->wordWrap = false;
    l->shrinkToFit = false;
    l->font.size = duza;
    l->height = 0;
    l->text = tekst;
    if (l->width <= 0 || tekst.isEmpty()) return 1;
    wierszy = qMax(1, wierszy);
    auto uloz = [&](const QStringList& linie) {
        l->text = linie.join(QLatin1Char('\n'));
        l->height = int(std::ceil(miara.lineHeight(l->font) * linie.size()));
        return int(linie.size());
    };
    // One line in a smaller type first (the report sets it, on the line's baseline), then more
    // lines from the given type down.
    for (double r = duza; r >= mala - 0.01; r -= 0.5) {
        l->font.size = r;
        if (!miara.fitsLine(l->font, tekst, l->width)) continue;
        // The text stands as given (no list joined into a new one): every row of a list.
        l->font.size = duza;
        l->shrinkToFit = r < duza;
        l->height = int(std::ceil(miara.lineHeight(l->font)));
        return 1;
    }
    if (wierszy > 1)
        for (double r = duza; r >= mala - 0.01; r -= 0.5) {
            l->font.size = r;
            const QStringList linie = miara.wrap(l->font, tekst, l->width);
            if (linie.size() <= wierszy) return uloz(linie);
        }
    l->font.size = mala;
    QStringList linie = miara.wrap(l->font, tekst, l->width);
    const QString reszta = linie.mid(wierszy - 1).join(QLatin1Char(' '));
    const QString wielokropek = QStringLiteral("…");
    linie = linie.mid(0, wierszy - 1);
    linie << miara.cut(l->font, reszta, l->width - miara.textWidth(l->font, wielokropek)) +
                 wielokropek;
    return uloz(linie);
}

void DopasujMemo(report::Memo* m, double duza, double mala) {
    for (double r = duza; r >= mala - 0.01; r -= 0.5) {
        m->font.size = r;
        if (WysokoscMemo(*m) <= m->height) return;
    }
    m->font.size = mala;
}

bool RokSzkolnyZestawienia(int rok, int miesiac, int& rokSzkoly, int& nrMies) {
    QHash<int, int> pierwszyMiesiac;  // Rok -> NrMies; the first row of a year counts
    {
        db::Table r;
        r.setTableName("RokSzkolny");
        r.setIndexFieldNames("RokSzk");
        r.open();
        for (r.first(); !r.eof(); r.next()) {
            const int poczatek = r.field("Rok")->asInteger();
            if (!pierwszyMiesiac.contains(poczatek))
                pierwszyMiesiac.insert(poczatek, r.field("NrMies")->asInteger());
        }
    }
    auto wybierz = [&](int r) {
        rokSzkoly = r;
        nrMies = pierwszyMiesiac.value(r);
        return true;
    };
    if (pierwszyMiesiac.contains(rok)) {
        if (pierwszyMiesiac.value(rok) <= miesiac) return wybierz(rok);
        return pierwszyMiesiac.contains(rok - 1) && wybierz(rok - 1);
    }
    if (pierwszyMiesiac.contains(rok - 1) && pierwszyMiesiac.value(rok - 1) > miesiac)
        return wybierz(rok - 1);
    return false;
}

QStringList NazwyPlacowki() {
    QStringList n{"", "", "", ""};
    db::Table t;
    t.setTableName("Parametry");
    if (!t.exists()) return n;
    t.open();
    t.first();
    if (t.eof()) return n;
    for (int i = 0; i < 4; ++i) n[i] = t.field(QString("Nazwa%1").arg(i + 1))->asString();
    return n;
}

void LiniaWyboru(const TStanFiltru& stan, QString& tytul, QString& tytul2) {
    tytul = "Wszyscy uczniowie placówki";
    tytul2.clear();
    if (stan.FiltrWlaczony != "Tak") return;
    const int z = stan.FiltrZakres.trimmed().toInt();
    const bool odwrotny = stan.FiltrTrybZakresu == "2";
    QString s;
    if (!odwrotny || z > 1) {
        if (Odszukaj("Szkoly", "IdSzkoly", stan.FiltrIdSzkoly, "OpisS", s)) tytul = s;
    }
    if (z == 1) {
        if (odwrotny) tytul = "Wybrani uczniowie placówki";
        return;
    }
    if (!odwrotny) {
        if (z == 2 && Odszukaj("Poziomy", "IdPoziomu", stan.FiltrIdPoziomu, "OpisP", s)) tytul2 = s;
        if (z == 3 && Odszukaj("Grupy", "IdGrupy", stan.FiltrIdGrupy, "OpisG", s)) tytul2 = s;
    } else {
        if (z == 2) tytul2 = "Wybrani uczniowie placówki";
        if (z == 3 && Odszukaj("Poziomy", "IdPoziomu", stan.FiltrIdPoziomu, "OpisP", s))
            tytul2 = s + " - wybrani uczniowie";
    }
}

const TStanFiltru& BiezacyStanFiltru() {
    static const TStanFiltru pusty;
    if (Glowny) return Glowny->StanFiltru;
    if (DM && DM->StanFiltru) return *DM->StanFiltru;
    return pusty;
}

// --- the page frame ---

void TRamka::Dodaj(report::Report& r, const QString& tytul, int wysokosc) {
    using namespace report;
    PageHeader = r.addBand(BandKind::PageHeader, qMax(96, wysokosc));
    Ramka = PageHeader->addRect(0, 0, 200, 70);
    for (int i = 0; i < 4; ++i)
        Nazwa[i] = PageHeader->addLabel(4, 4 + 16 * i, 192, "", Font(7), Alignment::Center);
    QRLabel1 = PageHeader->addLabel(210, 4, 298, tytul, Font(14, true), Alignment::Center);
    QRLabelTytul = PageHeader->addLabel(210, 34, 298, "", Font(10, true), Alignment::Center);
    QRLabelTytul2 = PageHeader->addLabel(210, 54, 298, "", Font(10, true), Alignment::Center);
    // A selection line of a long level name, or a long title, is set smaller, not cut.
    QRLabel1->shrinkToFit = QRLabelTytul->shrinkToFit = QRLabelTytul2->shrinkToFit = true;
    Data = PageHeader->addDate(598, 2, "", Font(8), Alignment::Right);
    Data->width = 120;
    Strona =
        PageHeader->addPageNumber(598, 76, QStringLiteral("Str.  "), Font(8), Alignment::Right);
    Strona->width = 120;
    PageFooter = r.addBand(BandKind::PageFooter, 12);
    Stopka = PageFooter->addLabel(0, 1, 718, StopkaZestawien, Font(5));
}

void TRamka::Odswiez() {
    const QStringList n = NazwyPlacowki();
    for (int i = 0; i < 4; ++i) DopasujTekst(Nazwa[i], n.value(i), 7, 5);
}

// --- the letter form ---

QStringList LinieMemo(const QString& tekst) {
    QString t = tekst;
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    if (t.isEmpty()) return {};
    return t.split('\n');
}

TSzablonPisma BiezacySzablonPisma() {
    TSzablonPisma s;
    db::Table* t = DMw ? DMw->TPismo : nullptr;
    if (!t || !t->active() || t->isEmpty() || t->eof()) return s;
    s.Jest = true;
    s.Rodzaj = t->field("Rodzaj")->asString();
    s.Miasto = t->field("Miasto")->asString();
    s.DataDruku = t->field("DataDruku")->asDate();
    s.Adresat1 = t->field("Adresat1")->asString();
    s.Adresat2 = t->field("Adresat2")->asString();
    s.Adresat3 = t->field("Adresat3")->asString();
    s.Wstep = t->field("Wstep")->asString();
    s.Koniec = t->field("Koniec")->asString();
    s.Pieczec = t->field("Pieczec")->asBool();
    return s;
}

void TFormaPisma::Dodaj(report::Report& r, report::Band* pageHeader, report::Band* summary,
                        int topKonca, const std::function<report::Band*(report::Band*)>& kolumny) {
    using namespace report;
    PageHeader = pageHeader;
    Summary = summary;
    Title = r.addBand(BandKind::Title, kWysokoscTytulu);
    Pieczec = Title->addRect(0, 0, 200, 70);
    for (int i = 0; i < 4; ++i)
        PieczecNazwa[i] = Title->addLabel(4, 4 + 16 * i, 192, "", Font(7), Alignment::Center);
    MiastoData = Title->addLabel(418, 4, 300, "", Font(9), Alignment::Right);
    for (int i = 0; i < 3; ++i)
        Adresat[i] = Title->addLabel(359, 84 + 18 * i, 359, "", Font(10, true), Alignment::Center);
    Wstep = Title->addMemo(0, kGoraWstepu, 718, kWysokoscWstepu, Font(9));
    KolumnyNaglowka = kolumny(pageHeader);
    KolumnyTytulu = kolumny(Title);
    Koniec = summary->addMemo(0, topKonca, 718, qMax(10, WysokoscPismo - topKonca), Font(9));
    Koniec->enabled = false;
    // After the first page the column titles come with the page header again.
    KolumnyTytulu->afterPrint = [this](Band&, bool wydrukowany) {
        if (!wydrukowany) return;
        KolumnyNaglowka->enabled = true;
        KolumnyTytulu->enabled = false;
    };
}

void TFormaPisma::Ustaw(bool pismo) {
    PageHeader->enabled = !pismo;
    KolumnyNaglowka->enabled = !pismo;
    Title->enabled = pismo;
    KolumnyTytulu->enabled = pismo;
    Summary->height = WysokoscStandard;
    Koniec->enabled = false;
    Koniec->clear();
    Title->height = kWysokoscTytulu;
    Wstep->height = kWysokoscWstepu;
    if (!pismo) return;
    const int najwyzej = Title->report()->pageHeight() - 60;
    const TSzablonPisma s = BiezacySzablonPisma();
    const QStringList n = NazwyPlacowki();
    MiastoData->text = s.Miasto + " dn. " + DataKrotka(s.DataDruku);
    Adresat[0]->text = s.Adresat1;
    Adresat[1]->text = s.Adresat2;
    Adresat[2]->text = s.Adresat3;
    Wstep->clear();
    for (const QString& l : LinieMemo(s.Wstep)) Wstep->add(l);
    Wstep->height = qBound(kWysokoscWstepu, WysokoscMemo(*Wstep), najwyzej - kGoraWstepu - 4);
    Title->height = qMax(kWysokoscTytulu, kGoraWstepu + Wstep->height + 4);
    Pieczec->enabled = s.Pieczec;
    for (int i = 0; i < 4; ++i) {
        DopasujTekst(PieczecNazwa[i], n.value(i), 7, 5);
        PieczecNazwa[i]->enabled = s.Pieczec;
    }
    if (!s.Koniec.trimmed().isEmpty()) {
        Koniec->enabled = true;
        for (const QString& l : LinieMemo(s.Koniec)) Koniec->add(l);
        Koniec->height = qBound(qMax(10, WysokoscPismo - Koniec->top), WysokoscMemo(*Koniec),
                                najwyzej - Koniec->top);
        Summary->height = qMax(WysokoscPismo, Koniec->top + Koniec->height);
    }
}

// --- options ---

TOpcjeWydruku OpcjeZWydruku() {
    TOpcjeWydruku o;
    if (!Wydruk) {
        o.Data = QDate::currentDate();
        return o;
    }
    o.Emisja = Wydruk->RadioGroup1->ItemIndex() == 0 ? 0 : 1;
    o.Data = Wydruk->DateTimePicker1->date();
    o.Synt = Wydruk->RadioGroupSynt->ItemIndex() == 1 ? 1 : 0;
    o.Forma = Wydruk->RadioGroupForma->ItemIndex() == 1 ? 1 : 0;
    o.Kolumna = Wydruk->EditKolumna->text();
    o.WysokoscWiersza = Wydruk->IndeksWysokosciWiersza();
    return o;
}

// --- the run of a builder ---

struct TPrzebiegZestawienia::Impl {
    BlokadaWyjscia blokada;
    bool czeka = false;
    struct Robocza {
        db::Table* t;
        QString szablon;
    };
    QList<Robocza> robocze;
    struct Pozyczona {
        db::Table* t;
        QString nazwa;
        QString indeks;
        bool otwarta;
    };
    QList<Pozyczona> pozyczone;
};

TPrzebiegZestawienia::TPrzebiegZestawienia() : d(new Impl) {}

TPrzebiegZestawienia::~TPrzebiegZestawienia() {
    // Nothing may escape from here: each step is tried on its own.
    try {
        KoniecCzekania();
    } catch (...) {
    }
    try {
        Sprzatnij();
    } catch (...) {
    }
    for (int i = d->pozyczone.size() - 1; i >= 0; --i) {
        const auto& p = d->pozyczone[i];
        try {
            if (p.t->state() == db::Table::Insert || p.t->state() == db::Table::Edit) p.t->cancel();
            p.t->close();
            p.t->setTableName(p.nazwa);
            if (p.otwarta) {
                p.t->open();
                p.t->setIndexFieldNames(p.indeks);
            }
        } catch (...) {
        }
    }
}

bool TPrzebiegZestawienia::Opcje(int kod, bool formaPisma) {
    if (!Glowny || !Wydruk) return false;
    Glowny->Tag = 0;
    Glowny->KodZestawienia = kod;
    if (formaPisma && DMw && DMw->TPismo && !DMw->TPismo->active()) DMw->TPismo->open();
    Wydruk->ShowModal();
    return Glowny->Tag == 1;
}

bool TPrzebiegZestawienia::SprawdzFormePisma(const TOpcjeWydruku& o) {
    if (o.Forma != 1) return true;
    if (BiezacySzablonPisma().Rodzaj == "1") return true;
    ui::MessageBox(" Proszę ustawić w parametrach wydruku rodzaj pisma.", "Kontrola parametrów.",
                   ui::MB_OK);
    return false;
}

void TPrzebiegZestawienia::Czekaj() {
    if (d->czeka) return;
    d->czeka = true;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (Glowny) Glowny->PokazCzekaj("Proszę czekać - trwa przygotowanie zestawienia");
}

void TPrzebiegZestawienia::KoniecCzekania() {
    if (!d->czeka) return;
    d->czeka = false;
    if (Glowny) Glowny->UkryjCzekaj();
    QApplication::restoreOverrideCursor();
}

void TPrzebiegZestawienia::TabelaRobocza(db::Table* t, const QString& prefiks,
                                         const QString& szablon) {
    d->robocze.append({t, szablon});
    UtworzTabeleSesji(t, prefiks, szablon);
}

void TPrzebiegZestawienia::Pozycz(db::Table* t) {
    for (const auto& p : d->pozyczone)
        if (p.t == t) return;
    d->pozyczone.append({t, t->tableName(), t->indexFieldNames(), t->active()});
}

void TPrzebiegZestawienia::Emisja(report::Report& r, int emisja) {
    // The preview and the printer dialog never come up under the hourglass.
    KoniecCzekania();
    if (emisja == 0)
        report::ShowReport(r);
    else
        report::PrintReport(r, Glowny);
}

void TPrzebiegZestawienia::Sprzatnij() {
    // Details first, so that no link points at a dropped master.
    while (!d->robocze.isEmpty()) {
        const auto r = d->robocze.takeLast();
        UsunTabeleSesji(r.t, r.szablon);
    }
}

void UruchomZestawienie(const std::function<void()>& budowa) {
    // The user gets the program's own words; the engine's (English) detail goes to the console
    // for whoever looks into it.
    const QString tekst = "Nie udało się przygotować zestawienia.";
    try {
        budowa();
    } catch (const db::Error& e) {
        qWarning("zestawienie: %s", qPrintable(e.message()));
        ui::MessageBox(tekst, "Uwaga!", ui::MB_OK);
    } catch (const std::exception& e) {
        qWarning("zestawienie: %s", e.what());
        ui::MessageBox(tekst, "Uwaga!", ui::MB_OK);
    }
}

void NaRejestrzeUczniow(const std::function<void(db::Table&)>& f) {
    db::Table* u = DM->TUczen;
    const bool bylOtwarty = u->active();
    if (!bylOtwarty) u->open();
    const db::Bookmark b = u->bookmark();
    u->disableControls();
    DM->PamietajSlowniki(true);
    struct Przywroc {
        db::Table* u;
        db::Bookmark b;
        bool otwarty;
        ~Przywroc() {
            DM->PamietajSlowniki(false);
            try {
                if (!otwarty) {
                    u->enableControls();
                    u->close();
                    return;
                }
                if (b.valid()) u->gotoBookmark(b);
                u->enableControls();
            } catch (...) {
            }
        }
    } przywroc{u, b, bylOtwarty};
    f(*u);
}

void PrzejdzUczniow(const std::function<bool(db::Table&)>& f) {
    NaRejestrzeUczniow([&f](db::Table& u) {
        for (u.first(); !u.eof(); u.next())
            if (!f(u)) break;
    });
}
