#include "Szkola/core/UWydruk.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UWiGlowny.h"
#include "platform/ui/MessageBox.h"

TWydruk* Wydruk = nullptr;

TWydruk* UtworzWydruk(QWidget* parent) {
    if (!Wydruk) Wydruk = new TWydruk(parent);
    return Wydruk;
}

namespace {

QDateEdit* nowaData(QWidget* parent) {
    auto* d = new QDateEdit(QDate::currentDate(), parent);
    d->setCalendarPopup(true);
    d->setDisplayFormat("yyyy-MM-dd");
    return d;
}

QWidget* nowyPanel(QWidget* parent, QVBoxLayout* uklad) {
    auto* p = new QWidget(parent);
    uklad->addWidget(p);
    p->hide();
    return p;
}

// Panels stand one under another and line up on the window's left edge.
template <class L>
L* ukladPanelu(QWidget* panel) {
    auto* l = new L(panel);
    l->setContentsMargins(0, 0, 0, 0);
    return l;
}

}  // namespace

TWydruk::TWydruk(QWidget* parent) : ui::Window(parent) {
    setObjectName("Wydruk");
    setWindowTitle("Wydruk");
    auto* uklad = new QVBoxLayout(this);
    uklad->setSizeConstraint(QLayout::SetFixedSize);
    uklad->setContentsMargins(12, 12, 12, 12);
    uklad->setSpacing(10);

    // Statement date.
    PanelData = nowyPanel(this, uklad);
    {
        auto* l = ukladPanelu<QHBoxLayout>(PanelData);
        l->addWidget(new QLabel("Data zestawienia", PanelData));
        DateTimePicker1 = nowaData(PanelData);
        l->addWidget(DateTimePicker1);
        l->addStretch();
    }

    // Free column of the pupil lists and the row height.
    PanelKolumna = nowyPanel(this, uklad);
    {
        auto* l = ukladPanelu<QHBoxLayout>(PanelKolumna);
        l->addWidget(new QLabel("Nagłówek kolumny", PanelKolumna));
        EditKolumna = new QLineEdit(PanelKolumna);
        l->addWidget(EditKolumna);
        l->addWidget(new QLabel("Wysokość wiersza", PanelKolumna));
        ComboBoxWW = new QComboBox(PanelKolumna);
        ComboBoxWW->setEditable(true);
        ComboBoxWW->addItems({"1", "1,5", "2", "2,5", "3"});
        ComboBoxWW->setCurrentIndex(0);
        ComboBoxWW->setInsertPolicy(QComboBox::NoInsert);
        ComboBoxWW->installEventFilter(this);
        if (ComboBoxWW->lineEdit()) ComboBoxWW->lineEdit()->installEventFilter(this);
        l->addWidget(ComboBoxWW);
    }

    // Settlement period (code 3).
    PanelOkres = nowyPanel(this, uklad);
    {
        auto* g = new QGroupBox("Okres rozliczenia należności", PanelOkres);
        auto* pl = new QVBoxLayout(PanelOkres);
        pl->setContentsMargins(0, 0, 0, 0);
        pl->addWidget(g);
        auto* l = new QHBoxLayout(g);
        l->addWidget(new QLabel("od ...", g));
        DateTimePicker5 = nowaData(g);
        l->addWidget(DateTimePicker5);
        l->addWidget(new QLabel("... do", g));
        DateTimePicker6 = nowaData(g);
        l->addWidget(DateTimePicker6);
        CheckBoxOkres = new QCheckBox("bez ograniczenia czasu", g);
        l->addWidget(CheckBoxOkres);
    }

    // Fee kind (code 4).
    PanelNalezn = nowyPanel(this, uklad);
    {
        auto* l = ukladPanelu<QHBoxLayout>(PanelNalezn);
        l->addWidget(new QLabel("Rodzaj należności:", PanelNalezn));
        ComboBoxRodzNalezn = new QComboBox(PanelNalezn);
        ComboBoxRodzNalezn->setEditable(false);
        ComboBoxRodzNalezn->setMinimumContentsLength(20);
        l->addWidget(ComboBoxRodzNalezn);
        l->addStretch();
    }

    // Analytic or synthetic.
    PanelSynt = nowyPanel(this, uklad);
    {
        auto* l = new QVBoxLayout(PanelSynt);
        l->setContentsMargins(0, 0, 0, 0);
        RadioGroupSynt =
            new TRadioGroup("Rodzaj zestawienia", {"Analityczne", "Syntetyczne"}, PanelSynt);
        l->addWidget(RadioGroupSynt);
    }

    // Standard or letter form, with the letter template editor beside it.
    PanelForma = nowyPanel(this, uklad);
    {
        auto* l = new QHBoxLayout(PanelForma);
        l->setContentsMargins(0, 0, 0, 0);
        RadioGroupForma = new TRadioGroup("Forma wydruku", {"Standard", "Pismo"}, PanelForma);
        l->addWidget(RadioGroupForma);
        SpeedButtonNaglowek = new QToolButton(PanelForma);
        SpeedButtonNaglowek->setText("...");
        SpeedButtonNaglowek->setToolTip("Nagłówek pisma");
        connect(SpeedButtonNaglowek, &QToolButton::clicked, this,
                [this] { SpeedButtonNaglowekClick(); });
        l->addWidget(SpeedButtonNaglowek);
    }

    // Certificate number (code 11).
    PanelLicznik = nowyPanel(this, uklad);
    {
        auto* l = ukladPanelu<QHBoxLayout>(PanelLicznik);
        l->addWidget(new QLabel("Numer zaświadczenia", PanelLicznik));
        EditNumer = new QLineEdit(PanelLicznik);
        l->addWidget(EditNumer);
        l->addStretch();
    }

    // Interest run period and dues month (code 33).
    PanelOdsetki = nowyPanel(this, uklad);
    {
        auto* l = ukladPanelu<QVBoxLayout>(PanelOdsetki);
        auto* w1 = new QHBoxLayout;
        w1->addWidget(new QLabel("od ...", PanelOdsetki));
        DateTimePicker2 = nowaData(PanelOdsetki);
        w1->addWidget(DateTimePicker2);
        w1->addWidget(new QLabel("... do", PanelOdsetki));
        DateTimePicker3 = nowaData(PanelOdsetki);
        w1->addWidget(DateTimePicker3);
        l->addLayout(w1);
        auto* w2 = new QHBoxLayout;
        auto* opis = new QVBoxLayout;
        opis->addWidget(new QLabel("Miesiąc ustalenia należności", PanelOdsetki));
        opis->addWidget(new QLabel("z tytułu naliczonych odsetek", PanelOdsetki));
        w2->addLayout(opis);
        DateTimePicker4 = nowaData(PanelOdsetki);
        w2->addWidget(DateTimePicker4);
        l->addLayout(w2);
    }

    // Destination and the buttons: always under the option panels.
    PanelPytaj = new QWidget(this);
    uklad->addWidget(PanelPytaj);
    {
        auto* l = ukladPanelu<QHBoxLayout>(PanelPytaj);
        RadioGroup1 =
            new TRadioGroup("Sposób emisji zestawienia", {"Na ekran", "Wydruk"}, PanelPytaj);
        l->addWidget(RadioGroup1);
        l->addStretch();
        auto* przyciski = new QVBoxLayout;
        BitBtnOK = new QPushButton("&OK", PanelPytaj);
        BitBtnAnuluj = new QPushButton("&Anuluj", PanelPytaj);
        for (auto* b : {BitBtnOK, BitBtnAnuluj}) {
            b->setAutoDefault(false);
            b->setDefault(false);
            b->setMinimumWidth(90);
            b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            przyciski->addWidget(b);
        }
        przyciski->addStretch();
        l->addLayout(przyciski);
        connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
        connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    }

    // Enter anywhere confirms, as OK does; Esc closes as the title bar does (nothing runs).
    setEnterButton(BitBtnOK);

    panele_ = {PanelData, PanelKolumna, PanelOkres,   PanelNalezn,
               PanelSynt, PanelForma,   PanelLicznik, PanelOdsetki};
}

void TWydruk::FormActivate() {
    const int kod = Glowny ? Glowny->KodZestawienia : 0;
    setWindowTitle(kod == KodOdsetki ? "Okres czasu" : "Wydruk");
    for (auto* p : panele_) p->hide();
    QList<QWidget*> pokaz;
    switch (kod) {
        case KodZaleglosci:
            pokaz = {PanelData};
            break;
        case KodListaUczniow:
            pokaz = {PanelKolumna};
            break;
        case KodAnalizaOplat:
            pokaz = {PanelOkres};
            break;
        case KodOplatyNalezne:
            pokaz = {PanelData, PanelNalezn};
            break;
        case KodWykazPosilkow:
            pokaz = {PanelData, PanelSynt};
            break;
        case KodRocznikPlec:
        case KodListaRocznikami:
        case KodZaswiadczenia:
            pokaz = {PanelData, PanelForma};
            break;
        case KodZaswiadczenieUcznia:
            pokaz = {PanelData, PanelForma, PanelLicznik};
            break;
        case KodFormaPisma:
            pokaz = {PanelForma};
            break;
        case KodOdsetki:
            pokaz = {PanelOdsetki};
            break;
        case KodWykazWplatKasa:
        case KodWykazPrzelewow:
            pokaz = {PanelSynt};
            break;
        default:
            break;
    }
    for (auto* p : pokaz) p->show();

    if (kod == KodOplatyNalezne) {
        ComboBoxRodzNalezn->clear();
        ComboBoxRodzNalezn->addItem("Ogółem wszystkie");
        if (DM && DM->TRodzOpl) {
            db::Table* t = DM->TRodzOpl;
            const bool bylOtwarty = t->active();
            if (!bylOtwarty) t->open();
            const db::Bookmark b = t->bookmark();
            t->disableControls();
            for (t->first(); !t->eof(); t->next())
                ComboBoxRodzNalezn->addItem(t->field("Opis")->asString());
            if (b.valid()) t->gotoBookmark(b);
            t->enableControls();
            if (!bylOtwarty) t->close();
        }
        ComboBoxRodzNalezn->setCurrentIndex(-1);
    }
    // The window's height follows the panels shown (the layout has a fixed size constraint).
    if (layout()) layout()->activate();
    adjustSize();
    if (kod == KodListaUczniow) {
        EditKolumna->setFocus();
        return;
    }
    // Start on an input, never on OK or "Anuluj": Enter at once must not run or cancel anything.
    QList<QWidget*> miejsca = pokaz;
    miejsca << PanelPytaj;
    for (QWidget* panel : miejsca) {
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) continue;
            if (auto* r = qobject_cast<QRadioButton*>(w); r && !r->isChecked()) continue;
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this) || !w->isEnabled())
                continue;
            w->setFocus();
            return;
        }
    }
}

void TWydruk::UstawTagi(int wartosc) {
    const int kod = Glowny ? Glowny->KodZestawienia : 0;
    if (wartosc == 1) {
        if (kod < 12 || kod == KodOdsetki) {
            if (Glowny) Glowny->Tag = 1;
            if (WyborGenerZest) WyborGenerZest->Tag = 1;
        }
        if (AnalizaOplat) AnalizaOplat->Tag = 1;
        if (ListaWplat) ListaWplat->Tag = 1;
        if (kod > 99 && Glowny) Glowny->KodZestawienia = RadioGroupSynt->ItemIndex();
    } else {
        if ((kod < 12 || kod == KodOdsetki) && Glowny) Glowny->Tag = -1;
        if (kod > 99 && ListaWplat) ListaWplat->Tag = -1;
    }
}

void TWydruk::BitBtnOKClick() {
    const int kod = Glowny ? Glowny->KodZestawienia : 0;
    if (kod == KodOdsetki) {
        if (!SprawdzOdsetki()) return;
        // The confirmation was given inside the check.
        UstawTagi(1);
        Close();
        return;
    }
    if (kod == KodAnalizaOplat && !CheckBoxOkres->isChecked() &&
        DateTimePicker5->date() > DateTimePicker6->date()) {
        // Without this the analysis would come out empty without a word.
        ui::MessageBox("Nieprawidłowy okres czasu!", "Uwaga!", ui::MB_OK);
        return;
    }
    if (kod == KodListaUczniow) ComboBoxWWExit();
    UstawTagi(1);
    Close();
}

void TWydruk::BitBtnAnulujClick() {
    UstawTagi(-1);
    Close();
}

bool TWydruk::SprawdzOdsetki() {
    const QDate od = DateTimePicker2->date();
    const QDate doDnia = DateTimePicker3->date();
    const QDate nal = DateTimePicker4->date();
    if (od > doDnia) {
        ui::MessageBox("Nieprawidłowy okres czasu!", "Uwaga!", ui::MB_OK);
        return false;
    }
    if (doDnia > nal || (nal.month() < doDnia.month() && nal.year() != doDnia.year() + 1)) {
        ui::MessageBox("Nieprawidłowa data ustalenia należności!", "Uwaga!", ui::MB_OK);
        return false;
    }
    db::Table* r = DMw ? DMw->TRokSzk : nullptr;
    bool znaleziony = false;
    bool otwarty = true;
    if (r) {
        otwarty = r->active();
        if (!otwarty) r->open();
        const int m = nal.month();
        const int y = nal.year();
        for (r->first(); !r->eof(); r->next()) {
            const int nr = r->field("NrMies")->asInteger();
            const int rok = r->field("Rok")->asInteger();
            if ((nr <= m && rok == y) || (nr > m && rok == y - 1)) {
                znaleziony = true;
                break;
            }
        }
    }
    // The school years stay open only for the run that was confirmed; they are closed at rest.
    auto odloz = [&] {
        if (r && !otwarty) r->close();
        return false;
    };
    if (!znaleziony) {
        ui::MessageBox(
            " Brak zainicjowanego roku szkolnego dla wskazanej daty ustalenia należności!",
            " Uwaga ", ui::MB_OK);
        return odloz();
    }
    if (ui::MessageBox("Czy potwierdzasz obliczenie odsetek od nieterminowych opłat dokonanych we "
                       "wskazanym okresie czasu?",
                       "Uwaga!", ui::MB_YESNO) != ui::IDYES)
        return odloz();
    return true;
}

int TWydruk::PrzyciagnijWysokosc(const QString& tekst, int dotychczas) {
    QString t = tekst.trimmed();
    t.replace(',', '.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return (dotychczas >= 0 && dotychczas <= 4) ? dotychczas : 0;
    if (v < 1.26) return 0;
    if (v < 1.76) return 1;
    if (v < 2.26) return 2;
    if (v < 2.76) return 3;
    return 4;
}

void TWydruk::ComboBoxWWExit() {
    const QString tekst = ComboBoxWW->currentText();
    const int i = ComboBoxWW->findText(tekst);
    const int k = i >= 0 ? i : PrzyciagnijWysokosc(tekst, ComboBoxWW->currentIndex());
    ComboBoxWW->setCurrentIndex(k);
    ComboBoxWW->setEditText(ComboBoxWW->itemText(k));
}

int TWydruk::IndeksWysokosciWiersza() {
    // Snapped when read too, so a value typed without leaving the box never indexes past the list.
    ComboBoxWWExit();
    const int k = ComboBoxWW->currentIndex();
    return (k >= 0 && k <= 4) ? k : 0;
}

void TWydruk::SpeedButtonNaglowekClick() {
    if (OtworzNaglowekPisma) OtworzNaglowekPisma();
}

bool TWydruk::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusOut &&
        (o == ComboBoxWW || (ComboBoxWW && o == ComboBoxWW->lineEdit())))
        ComboBoxWWExit();
    return ui::Window::eventFilter(o, e);
}
