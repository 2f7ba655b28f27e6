#include "Szkola/reports/UWykazPosilkow.h"

#include <QStringBuilder>
#include <algorithm>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

TQRWykazPosilkowMies* QRWykazPosilkowMies = nullptr;

namespace {

const char* const kBrakDanych = "Uwaga! Brak danych za podany okres czasu";

bool TabelaIstnieje(const QString& nazwa) {
    db::Database* b = db::Database::current();
    return b && b->tableExists(nazwa);
}

}  // namespace

int IndeksDiety(const QString& kod) {
    if (kod.isEmpty()) return 0;
    if (kod.size() != 1 || !kod[0].isDigit() || kod[0].unicode() > '9') return -1;
    return kod[0].unicode() - '0';
}

bool PrzygotujWykazPosilkow(const QDate& data, TDaneWykazuPosilkow& w) {
    w = {};
    w.Rok = data.year();
    w.Miesiac = data.month();
    const int Y = w.Rok, m = w.Miesiac;

    int rokSzkoly = 0, nrMies = 0;
    if (!RokSzkolnyZestawienia(Y, m, rokSzkoly, nrMies)) {
        ui::MessageBox(kBrakDanych, "Uwaga !", ui::MB_OK);
        return false;
    }
    w.RokSzkoly = rokSzkoly;
    w.NrMies = nrMies;

    {
        db::Table d;
        d.setTableName("LiczbaDni");
        d.open();
        if (d.locate("Rok;NrMies", {Y, m})) w.LiczbaDni = d.field("LiczbaDni")->asInteger();
    }
    w.Klucz = KluczRokuSzk(w.RokSzkoly, w.NrMies);
    if (!TabelaIstnieje(PlikiRoku::Posilki(w.Klucz))) {
        ui::MessageBox(kBrakDanych, "Uwaga !!", ui::MB_OK);
        return false;
    }
    if (!TabelaIstnieje(PlikiRoku::Naleznosci(w.Klucz))) {
        ui::MessageBox(kBrakDanych, "Uwaga !!!", ui::MB_OK);
        return false;
    }
    return true;
}

void WypelnijWykazPosilkow(const TDaneWykazuPosilkow& w) {
    const QString poleL = PoleMiesiaca('L', w.Miesiac);
    const QString poleD = PoleMiesiaca('D', w.Miesiac);
    const QString poleM = PoleMiesiaca('M', w.Miesiac);

    QHash<int, QString> kolejne;
    {
        db::Table s;
        s.setTableName("Szkoly");
        s.open();
        for (s.first(); !s.eof(); s.next())
            kolejne.insert(s.field("IdSzkoly")->asInteger(), s.field("Kolejny")->asString());
    }
    const QHash<QString, TRodzajOplaty> rodzaje = WczytajRodzajeOplat();
    auto typ = [&](const QString& symbol) {
        auto it = rodzaje.constFind(symbol);
        return it == rodzaje.constEnd() ? symbol : it->Typ;
    };

    // The month's meals, read by one query and kept by pupil in the file's key order (kind; NULL
    // first), since a pupil's diet is that of the last kind: a seek a pupil cost more than the
    // rows.
    struct Posilek {
        int rodz;  // 0: NULL
        int ile;
        QString dieta;
    };
    QHash<int, std::vector<Posilek>> posilki;
    {
        db::Database::current()->forEachRow(
            QString("SELECT IdUcznia, RodzPos, %1, %2 FROM \"%3\" WHERE %1 > 0")
                .arg(poleL, poleD, db::bareTableName(PlikiRoku::Posilki(w.Klucz))),
            {}, [&](const QVariantList& r) {
                posilki[r[0].toInt()].push_back({r[1].toInt(), r[2].toInt(), r[3].toString()});
                return true;
            });
        for (std::vector<Posilek>& v : posilki)
            std::stable_sort(v.begin(), v.end(),
                             [](const Posilek& a, const Posilek& b) { return a.rodz < b.rodz; });
    }

    db::Table nlz;
    nlz.setTableName(PlikiRoku::Naleznosci(w.Klucz) + ".db");
    nlz.setIndexFieldNames("IdUcznia;RodzOpl;Status");
    // Only the preschool pupils' fee rows are read, one pupil at a time: the year's whole fee
    // file held for a tenth of the pupils weighed hundreds of megabytes on a big school.
    nlz.setRange({0}, {0});
    nlz.open();

    // One transaction: the posts and the register's look-ups do not each take their own.
    // Declared after the writer: a rollback comes before the work cursor reopens.
    ZapisRoboczy zapis(DMw->TKuchnia);
    db::Transaction tr(DMw->TKuchnia->database());
    db::Table* K = &zapis.w();
    // The month's fields by name once, not at every row.
    db::Field* const nlzKwota = nlz.field(poleM);
    db::Field* kPos[7] = {};
    for (int k = 1; k <= 6; ++k) kPos[k] = K->field(QString("Pos%1").arg(k));

    PrzejdzUczniow([&](db::Table& u) {
        const int id = u.field("IdUcznia")->asInteger();
        K->append();
        K->field("IdUcznia")->setInteger(id);
        K->field("Nazwisko")->setString(u.field("Nazwisko")->asString());
        K->field("Imie")->setString(u.field("Imiona")->asString());
        K->field("Dieta")->setString(u.field("Dieta")->asString());
        const QString szkola = u.field("Szkola")->asString();
        K->field("Szkola")->setString(szkola);
        K->field("Poziom")->setString(u.field("Poziom")->asString());
        K->field("Klasa")->setString(u.field("Klasa")->asString());
        auto it = kolejne.constFind(u.field("IdSzkoly")->asInteger());
        if (it != kolejne.constEnd()) K->field("Kolejny")->setString(*it);

        bool zapisz = false;
        if (szkola != "Przedszkole") {
            const auto p = posilki.constFind(id);
            if (p != posilki.constEnd())
                for (const Posilek& x : *p) {
                    zapisz = true;
                    if (x.rodz >= 1 && x.rodz <= 6) kPos[x.rodz]->setInteger(x.ile);
                    K->field("Dieta")->setString(x.dieta);
                }
        } else {
            nlz.setRange({id}, {id});
            for (nlz.first(); !nlz.eof(); nlz.next()) {
                if (nlz.field("Status")->asString().isEmpty() &&
                    typ(nlz.field("RodzOpl")->asString()) == "WŻ" && nlzKwota->asFloat() > 0) {
                    zapisz = true;
                    break;
                }
            }
            if (zapisz)
                for (int k = 1; k <= 6; ++k) kPos[k]->setInteger(w.LiczbaDni);
        }
        if (zapisz)
            K->post();
        else
            K->cancel();
        return true;
    });
    tr.commit();
    zapis.Zakoncz();
}

// --- the report form ---

namespace {
// Columns across the portrait page: number, class, name, diet, then six meal kinds.
constexpr int kXKlasa = 30, kWKlasa = 77;
constexpr int kXNazw = 110, kWNazw = 188;
constexpr int kXDieta = 302, kWDieta = 78;
constexpr int kXPos = 382;  // six meal columns end at the right margin
constexpr int kWPos = 56;
int xPos(int k) { return kXPos + k * kWPos; }

constexpr int kWysokoscWiersza = 16;

// A fixed text set smaller when its column is too narrow for it.
report::Label* dopasowany(report::Label* l) {
    DopasujTekst(l, l->text, l->font.size, 6);
    return l;
}
}  // namespace

TQRWykazPosilkowMies::TQRWykazPosilkowMies(db::Table* kuchnia) : kuchnia_(kuchnia) {
    using namespace report;
    title = "Miesięczny wykaz posiłków";
    setDataSet(kuchnia);
    Ramka.Dodaj(*this, "Miesięczny wykaz posiłków");

    Kolumny = Ramka.PageHeader->addChild(26);
    Kolumny->addHLine(0, 0, 718);
    QRLabelLpT = Kolumny->addLabel(0, 4, 26, "Lp.", Font(8, true), Alignment::Center);
    QRShapeLp = Kolumny->addVLine(28, 0, 26);
    QRLabelKlasaT = Kolumny->addLabel(kXKlasa, 4, kWKlasa, "Grupa/Klasa", Font(8, true));
    QRLabelNazwiskoT = Kolumny->addLabel(kXNazw, 4, kWNazw, "Nazwisko i imię", Font(8, true));
    Kolumny->addLabel(kXDieta, 4, kWDieta, "Dieta", Font(8, true));
    // A meal kind's name may take two lines ("Drugie śniadanie").
    for (int k = 0; k < 6; ++k) {
        QRLabelPosT[k] = Kolumny->addLabel(xPos(k), 4, kWPos, "Uwagi", Font(6), Alignment::Center);
        QRLabelPosT[k]->wordWrap = true;
        QRLabelPosT[k]->height = 20;
    }
    Kolumny->addHLine(0, 25, 718);

    QRBand3 = addBand(BandKind::Detail, 16);
    QRLabelLp = QRBand3->addLabel(0, 2, 24, "", Font(8), Alignment::Right);
    QRLabelKlasa = QRBand3->addLabel(kXKlasa, 2, kWKlasa, "", Font(8));
    QRLabelNazwisko = QRBand3->addLabel(kXNazw, 2, kWNazw, "", Font(8));
    QRLabelDieta = QRBand3->addLabel(kXDieta, 2, kWDieta, "", Font(8));
    for (int k = 0; k < 6; ++k)
        QRLabelPos[k] = QRBand3->addLabel(xPos(k), 2, kWPos, "", Font(8), Alignment::Center);
    QRBand3->beforePrint = [this](Band&, bool& p) { QRBand3BeforePrint(p); };

    Band* poprzedni = QRBand3;
    for (int d = 0; d < 4; ++d) {
        Band* b = ChildBand[d] = poprzedni->addChild(16);
        GrupaKlasa[d] = b->addLabel(0, 2, kXNazw - 6, "", Font(8, true));
        GrupaKreska[d] = b->addVLine(kXNazw - 3, 0, 16);
        GrupaRazem[d] = b->addLabel(kXNazw, 2, kWNazw, "Razem grupa,klasa dziennie", Font(8));
        dopasowany(b->addLabel(kXDieta, 2, kWDieta, NazwaDiety(QString::number(d)), Font(8)));
        for (int k = 0; k < 6; ++k)
            GrupaPos[d][k] = b->addLabel(xPos(k), 2, kWPos, "", Font(8, true), Alignment::Center);
        b->beforePrint = [this, d](Band&, bool& p) { ChildBandBeforePrint(d, p); };
        b->afterPrint = [this, d](Band&, bool) { ChildBandAfterPrint(d); };
        poprzedni = b;
    }
    ChildBand5 = poprzedni->addChild(6);
    ChildBand5->addHLine(0, 2, 718, 0.5);
    ChildBand5->beforePrint = [this](Band&, bool& p) { p = KoniecGrupy; };

    SumaBand[0] = addBand(BandKind::Summary, 18);
    for (int d = 1; d < 4; ++d) SumaBand[d] = SumaBand[d - 1]->addChild(18);
    for (int d = 0; d < 4; ++d) {
        Band* b = SumaBand[d];
        b->addLabel(kXNazw, 3, kWNazw, "Ogółem placówka dziennie", Font(8, true));
        dopasowany(b->addLabel(kXDieta, 3, kWDieta, NazwaDiety(QString::number(d)), Font(8, true)));
        for (int k = 0; k < 6; ++k)
            SumaPos[d][k] = b->addLabel(xPos(k), 3, kWPos, "", Font(8, true), Alignment::Center);
        b->beforePrint = [this, d](Band&, bool& p) { SumaBeforePrint(d, p); };
    }
    Zamkniecie = SumaBand[3]->addChild(4);
    Zamkniecie->addHLine(0, 1, 718);

    beforePrint = [this](Report&) { QuickRepBeforePrint(); };
}

void TQRWykazPosilkowMies::QuickRepBeforePrint() {
    Lp = 0;
    KoniecGrupy = false;
    OstatniaKlasa.clear();
    for (int d = 0; d < 4; ++d) {
        GrupaDiety[d] = OgolemDiety[d] = 0;
        for (int k = 0; k < 6; ++k) GrupaDietyPos[d][k] = OgolemDietyPos[d][k] = 0;
    }
    Ramka.Odswiez();
    const QDate dz = DataZestawienia.isValid() ? DataZestawienia : QDate::currentDate();
    Ramka.QRLabelTytul2->text =
        "za miesiąc  " + NazwaMiesiaca(dz.month(), true) + " " + QString::number(dz.year());

    const bool synt = Synt == 1;
    Ramka.QRLabelTytul->text = synt ? "syntetycznie, klasami" : "analitycznie, klasami";
    QRLabelLpT->enabled = !synt;
    QRLabelNazwiskoT->enabled = !synt;
    QRShapeLp->enabled = !synt;
    QRLabelKlasaT->left = synt ? 0 : kXKlasa;
    for (int d = 0; d < 4; ++d) {
        GrupaRazem[d]->font.size = synt ? 7 : 8;
        GrupaKlasa[d]->enabled = synt;
        GrupaKreska[d]->enabled = synt;
        GrupaKlasa[d]->text.clear();
    }

    // Meal-kind columns: only the kinds offered get a title and figures.
    bool ps[6] = {};
    QString nazwy[6];
    {
        db::Table r;
        r.setTableName("RodzPos");
        if (r.exists()) {
            r.open();
            r.first();
            if (!r.eof())
                for (int k = 0; k < 6; ++k) {
                    ps[k] = r.field(QString("Ps%1").arg(k + 1))->asBool();
                    nazwy[k] = r.field(QString("PosNaz%1").arg(k + 1))->asString();
                }
        }
    }
    for (int k = 0; k < 6; ++k) {
        DopasujTekst(QRLabelPosT[k], ps[k] ? nazwy[k] : QString(), 6, 5, 2);
        QRLabelPosT[k]->enabled = ps[k];
        QRLabelPos[k]->text.clear();
        QRLabelPos[k]->enabled = ps[k];
        for (int d = 0; d < 4; ++d) {
            GrupaPos[d][k]->text.clear();
            GrupaPos[d][k]->enabled = ps[k];
            SumaPos[d][k]->text.clear();
            SumaPos[d][k]->enabled = ps[k];
        }
    }
}

void TQRWykazPosilkowMies::QRBand3BeforePrint(bool& drukuj) {
    const db::Table* t = kuchnia_;
    // A long name or class takes more lines (the row grows), never a cut.
    DopasujTekst(QRLabelNazwisko,
                 t->field("Nazwisko")->asString() % QLatin1Char(' ') % t->field("Imie")->asString(),
                 8, 7, 4);
    QRLabelLp->text = QString::number(++Lp);
    DopasujTekst(QRLabelKlasa, t->field("Klasa")->asString(), 8, 6.5, 2);
    QRBand3->height =
        qMax(kWysokoscWiersza, qMax(QRLabelNazwisko->height, QRLabelKlasa->height) + 4);
    const QString dieta = t->field("Dieta")->asString();
    DopasujTekst(QRLabelDieta, NazwaDiety(dieta), 8, 6);

    bool wziety[6] = {};
    const bool przedszkole = t->field("Szkola")->asString() == "Przedszkole";
    for (int k = 0; k < 6; ++k) {
        QRLabelPos[k]->text.clear();
        static const char* const kPola[6] = {"Pos1", "Pos2", "Pos3", "Pos4", "Pos5", "Pos6"};
        const int ile = t->field(kPola[k])->asInteger();
        if (przedszkole) {
            wziety[k] = true;
            QRLabelPos[k]->text = "Tak";
        } else if (ile > 0) {
            wziety[k] = true;
            QRLabelPos[k]->text = QString::number(ile);
        }
    }
    // A code outside 0..3 (or no digit at all) is listed but counted nowhere.
    const int d = IndeksDiety(dieta);
    if (d >= 0 && d <= 3) {
        ++GrupaDiety[d];
        ++OgolemDiety[d];
        for (int k = 0; k < 6; ++k)
            if (wziety[k]) {
                ++GrupaDietyPos[d][k];
                ++OgolemDietyPos[d][k];
            }
    }
    OstatniaKlasa = t->field("Klasa")->asString();
    KoniecGrupy = false;
    if (Synt == 1) drukuj = false;
}

void TQRWykazPosilkowMies::ChildBandBeforePrint(int d, bool& drukuj) {
    if (d == 0) {
        db::Table* t = kuchnia_;
        const QString szkola = t->field("Szkola")->asString();
        const QString poziom = t->field("Poziom")->asString();
        const QString klasa = t->field("Klasa")->asString();
        t->next();
        const bool koniec = t->eof();
        const bool taSama = !koniec && t->field("Szkola")->asString() == szkola &&
                            t->field("Poziom")->asString() == poziom &&
                            t->field("Klasa")->asString() == klasa;
        if (koniec)
            t->last();
        else
            t->prior();
        if (taSama) {
            drukuj = false;
            return;
        }
        KoniecGrupy = true;
    }
    if (!KoniecGrupy || GrupaDiety[d] == 0) {
        drukuj = false;
        return;
    }
    DopasujTekst(GrupaKlasa[d], Synt == 1 ? OstatniaKlasa : QString(), 8, 6.5, 2);
    ChildBand[d]->height = qMax(16, GrupaKlasa[d]->height + 4);
    GrupaKreska[d]->height = ChildBand[d]->height;
    for (int k = 0; k < 6; ++k)
        GrupaPos[d][k]->text =
            GrupaDietyPos[d][k] > 0 ? QString::number(GrupaDietyPos[d][k]) : QString();
}

void TQRWykazPosilkowMies::ChildBandAfterPrint(int d) {
    if (!KoniecGrupy) return;
    GrupaDiety[d] = 0;
    for (int k = 0; k < 6; ++k) GrupaDietyPos[d][k] = 0;
}

void TQRWykazPosilkowMies::SumaBeforePrint(int d, bool& drukuj) {
    if (d == 0) KoniecGrupy = true;
    if (OgolemDiety[d] == 0) {
        drukuj = false;
        return;
    }
    for (int k = 0; k < 6; ++k)
        SumaPos[d][k]->text =
            OgolemDietyPos[d][k] > 0 ? QString::number(OgolemDietyPos[d][k]) : QString();
}

// --- the builder ---

void Miesicznywykazposi1Click() {
    UruchomZestawienie([] {
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(KodWykazPosilkow)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        TDaneWykazuPosilkow w;
        if (!PrzygotujWykazPosilkow(o.Data, w)) return;
        przebieg.Czekaj();
        przebieg.TabelaRobocza(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
        WypelnijWykazPosilkow(w);
        DMw->TKuchnia->first();
        przebieg.KoniecCzekania();
        QRWykazPosilkowMies->DataZestawienia = o.Data;
        QRWykazPosilkowMies->Synt = o.Synt;
        przebieg.Emisja(*QRWykazPosilkowMies, o.Emisja);
    });
}
