#include "Szkola/reports/UGeneratorZest.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Szkola/core/UDMw.h"
#include "Szkola/reports/UWyborGenerZest.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

TGeneratorZest* GeneratorZest = nullptr;

namespace {

constexpr int GoraBevel[MaksWierszy + 1] = {0, 8, 22, 36, 50, 64};
constexpr int SzerokoscPortret = 478;
constexpr int SzerokoscPejzaz = 698;

QLabel* etykieta(QWidget* rodzic, const QString& tekst, int x, int y) {
    auto* l = new QLabel(tekst, rodzic);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QPushButton* przycisk(QWidget* rodzic, const QString& tekst, int x, int y) {
    auto* b = new QPushButton(tekst, rodzic);
    b->setAutoDefault(false);
    b->setGeometry(x, y, 104, 28);
    return b;
}

QLabel* ramka(QWidget* rodzic, const QString& tekst, QFrame::Shadow cien) {
    auto* l = new QLabel(tekst, rodzic);
    l->setFrameStyle(QFrame::Panel | cien);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

TGeneratorZest::TGeneratorZest(QWidget* parent) : ui::Window(parent) {
    setObjectName("GeneratorZest");
    setWindowTitle("Generator zestawień");
    setFixedSize(744, 586);
    QFont maly = font();
    maly.setPointSizeF(8);

    // Title strip, and the preview strip that lies over it.
    PanelTytul = new QWidget(this);
    PanelTytul->setGeometry(0, 0, 744, 92);
    etykieta(PanelTytul, "Lp.", 12, 34);
    EditLp = new QLineEdit(PanelTytul);
    EditLp->setGeometry(40, 30, 60, 24);
    etykieta(PanelTytul, "Tytuł zestawienia", 120, 34);
    EditTytul = new QLineEdit(PanelTytul);
    EditTytul->setGeometry(240, 30, 380, 24);
    EditTytul->setMaxLength(50);

    PanelWydr = new QFrame(this);
    static_cast<QFrame*>(PanelWydr)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelWydr->setAutoFillBackground(true);
    PanelWydr->setGeometry(0, 0, 744, 92);
    QFont maly6 = font();
    maly6.setPointSizeF(6);
    for (int w = 1; w <= MaksWierszy; ++w) {
        Bevel[w] = new QFrame(PanelWydr);
        Bevel[w]->setFrameStyle(QFrame::Box | QFrame::Sunken);
        Bevel[w]->setGeometry(20, GoraBevel[w], SzerokoscPortret, 14);
        // The row's number goes with its frame.
        QLabel* nr = etykieta(PanelWydr, QString::number(w), 6, GoraBevel[w]);
        nr->setFont(maly6);
        NumerWiersza[w] = nr;
    }
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        Pan[i] = ramka(PanelWydr, RodzajInformacji(i).Naglowek, QFrame::Raised);
        Pan[i]->setFont(maly6);
        Pan[i]->setGeometry(2, 1, RodzajInformacji(i).Ramka, 11);
        Pan[i]->setStyleSheet("background: #ffffe0");
        Pan[i]->hide();
    }
    PanelWydr->hide();

    // The kinds: tick, row, position and a sample of the printed width.
    PanelPola = new QFrame(this);
    static_cast<QFrame*>(PanelPola)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelPola->setGeometry(0, 94, 628, 492);
    PanelPola->setFont(maly);
    etykieta(PanelPola, "Rodzaj informacji", 8, 3);
    etykieta(PanelPola, "Wiersz", 150, 3);
    etykieta(PanelPola, "Położenie", 194, 3);
    etykieta(PanelPola, "Przykład rozmiaru informacji", 250, 3);
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        const TRodzajInformacji& r = RodzajInformacji(i);
        const int y = 20 + (i - 1) * 18;
        CheckBox[i] = new QCheckBox(r.Opis, PanelPola);
        CheckBox[i]->setGeometry(8, y, 140, 17);
        ComboBox[i] = new QComboBox(PanelPola);
        ComboBox[i]->setEditable(true);
        ComboBox[i]->addItems({"", "1", "2", "3", "4", "5"});
        ComboBox[i]->setInsertPolicy(QComboBox::NoInsert);
        ComboBox[i]->setGeometry(150, y, 42, 17);
        Edit[i] = new QLineEdit(PanelPola);
        Edit[i]->setGeometry(196, y, 42, 17);
        Panel[i] = ramka(PanelPola, r.Naglowek, QFrame::Sunken);
        Panel[i]->setGeometry(244, y, r.Probka, 17);

        connect(CheckBox[i], &QCheckBox::clicked, this, [this, i] { CheckBox1Click(i); });
        connect(ComboBox[i], &QComboBox::activated, this, [this, i] { CheckBox1Click(i); });
        connect(ComboBox[i]->lineEdit(), &QLineEdit::textEdited, this,
                [this, i] { CheckBox1Click(i); });
        connect(Edit[i], &QLineEdit::textEdited, this, [this, i] { CheckBox1Click(i); });
        for (QWidget* k :
             {static_cast<QWidget*>(CheckBox[i]), static_cast<QWidget*>(ComboBox[i]),
              static_cast<QWidget*>(ComboBox[i]->lineEdit()), static_cast<QWidget*>(Edit[i])})
            k->installEventFilter(this);
    }

    // Side panel.
    RadioGroup1 = new QGroupBox(" Układ strony ", this);
    RadioGroup1->setGeometry(634, 100, 104, 70);
    GrupaOrientacji = new QButtonGroup(this);
    {
        auto* l = new QVBoxLayout(RadioGroup1);
        const QStringList pozycje = {"0-Portret", "1-Pejzaż"};
        for (int k = 0; k < pozycje.size(); ++k) {
            auto* b = new QRadioButton(pozycje[k], RadioGroup1);
            GrupaOrientacji->addButton(b, k);
            l->addWidget(b);
        }
    }
    connect(GrupaOrientacji, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });
    etykieta(this, "Liczba wierszy", 634, 182);
    EditWiersze = new QLineEdit(this);
    EditWiersze->setGeometry(634, 200, 40, 24);
    // A count being typed is checked when the edit is left or the template saved: a digit
    // deleted to type another is no mistake yet. A valid count shows its rows at once.
    connect(EditWiersze, &QLineEdit::textEdited, this, [this](const QString& t) {
        wierszeEdytowane_ = true;
        if (const int n = WierszZTekstu(t)) PokazWiersze(n);
    });
    EditWiersze->installEventFilter(this);
    BitBtnPokaz = przycisk(this, "Podgląd wydruku", 634, 250);
    BitBtnUkryj = przycisk(this, "Ukryj wydruk", 634, 284);
    BitBtnZapisz = przycisk(this, "&Zapisz", 634, 500);
    BitBtnAnuluj = przycisk(this, "&Anuluj", 634, 540);
    connect(BitBtnPokaz, &QPushButton::clicked, this, [this] { BitBtnPokazClick(); });
    connect(BitBtnUkryj, &QPushButton::clicked, this, [this] { BitBtnUkryjClick(); });
    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });

    for (int w = 1; w <= MaksWierszy; ++w) GoraWiersza[w] = GoraBevel[w];
    UstawOrientacje(0);
}

int TGeneratorZest::Orientacja() const { return qMax(0, GrupaOrientacji->checkedId()); }

void TGeneratorZest::UstawOrientacje(int i) {
    if (auto* b = GrupaOrientacji->button(i)) b->setChecked(true);
    RadioGroup1Click();
}

void TGeneratorZest::FormActivate() {
    if (!PierwszaAktywacja) return;
    PanelWydr->hide();
    EditWiersze->clear();
    EditLp->clear();
    EditTytul->clear();
    if (auto* b = GrupaOrientacji->button(0)) b->setChecked(true);

    const bool edycja = WyborGenerZest && WyborGenerZest->Tag == 2;
    TSzablonZestawienia s;
    if (edycja) {
        s = WczytajSzablon(*DMw->TGenerZest);
        // Shown as stored, 0 included; a count outside 1..5 shows no row frames.
        EditWiersze->setText(QString::number(s.Wiersze));
        if (s.JestLp) EditLp->setText(QString::number(s.LpZest));
        EditTytul->setText(s.Tytul1);
        if (auto* b = GrupaOrientacji->button(s.Orientacja == 1 ? 1 : 0)) b->setChecked(true);
    }

    for (int w = 1; w <= MaksWierszy; ++w) {
        Bevel[w]->hide();
        NumerWiersza[w]->hide();
        GoraWiersza[w] = Bevel[w]->y();
    }
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        const TPoleSzablonu& p = s.Pola[i];
        const bool zaznaczony = edycja && p.Drukuj;
        // A stored row outside 1..5 is shown as no row; the stored value stays until a save.
        const int wiersz = zaznaczony && p.Wiersz >= 1 && p.Wiersz <= MaksWierszy ? p.Wiersz : 0;
        CheckBox[i]->setChecked(zaznaczony);
        ComboBox[i]->setCurrentIndex(wiersz);
        ComboBox[i]->setEditText(wiersz ? QString::number(wiersz) : QString());
        Edit[i]->setText(zaznaczony ? QString::number(p.Polozenie) : QString());
        if (zaznaczony && wiersz)
            Pan[i]->move(p.Polozenie * 2 / 3 + 20, GoraWiersza[wiersz] + 2);
        else
            Pan[i]->move(2, 1);
        Pan[i]->setVisible(zaznaczony);
    }
    RadioGroup1Click();
    PokazWiersze(edycja ? WierszZTekstu(EditWiersze->text()) : 0);
    wierszeEdytowane_ = false;
    projektNaStart_ = Odcisk(Projekt());
    PierwszaAktywacja = false;
}

QString TGeneratorZest::Odcisk(const TProjektSzablonu& p) {
    QStringList l{p.Lp, p.Tytul, p.Wiersze, QString::number(p.Orientacja)};
    for (int i = 1; i <= LiczbaRodzajow; ++i)
        l << (p.Pola[i].Zaznaczony ? "1" : "0") << p.Pola[i].Wiersz << p.Pola[i].Polozenie;
    return l.join(QChar(0x1f));
}

bool TGeneratorZest::FormCloseQuery(bool) {
    // Esc and the close box ask once when something was changed; "Anuluj" leaves at once.
    if (PierwszaAktywacja || Odcisk(Projekt()) == projektNaStart_) return true;
    return ui::MessageBox("Czy zamknąć okno bez zapisania zestawienia?", "Uwaga!",
                          ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES;
}

void TGeneratorZest::FormClose() {
    db::Table* t = DMw ? DMw->TGenerZest : nullptr;
    if (t && (t->state() == db::Table::Insert || t->state() == db::Table::Edit)) t->cancel();
    PierwszaAktywacja = true;
}

void TGeneratorZest::RadioGroup1Click() {
    // The preview is drawn at two thirds of the printed scale.
    const int szer = Orientacja() == 1 ? SzerokoscPejzaz : SzerokoscPortret;
    for (int w = 1; w <= MaksWierszy; ++w) Bevel[w]->resize(szer, Bevel[w]->height());
}

void TGeneratorZest::PokazWiersze(int n) {
    for (int w = 1; w <= MaksWierszy; ++w) {
        Bevel[w]->setVisible(w <= n);
        NumerWiersza[w]->setVisible(w <= n);
    }
}

bool TGeneratorZest::EditWierszeChange() {
    if (!wierszeEdytowane_) return true;
    const int n = WierszZTekstu(EditWiersze->text());
    wierszeEdytowane_ = false;
    if (n == 0) {
        ui::MessageBox(KomunikatLiczbyWierszy, "UWAGA", ui::MB_OK);
        // Emptied from here, which the edit does not report as a change.
        EditWiersze->clear();
        EditWiersze->setFocus();
        return false;
    }
    PokazWiersze(n);
    return true;
}

void TGeneratorZest::BitBtnPokazClick() {
    PanelWydr->show();
    PanelWydr->raise();
}

void TGeneratorZest::BitBtnUkryjClick() { PanelWydr->hide(); }

bool TGeneratorZest::BrakWiersza(int i) const {
    return CheckBox[i]->isChecked() && WierszZTekstu(ComboBox[i]->currentText()) == 0;
}

void TGeneratorZest::CheckBox1Click(int i, bool wyjscie) {
    if (i < 1 || i > LiczbaRodzajow) return;
    Pan[i]->move(2, 1);
    Pan[i]->hide();
    if (!CheckBox[i]->isChecked()) return;
    Pan[i]->show();
    const int wiersz = WierszZTekstu(ComboBox[i]->currentText());
    if (wiersz == 0) {
        if (wyjscie)
            PilnujWiersza(i);
        else
            ComboBox[i]->setFocus();
        return;
    }
    if (ComboBox[i]->currentIndex() != wiersz) ComboBox[i]->setCurrentIndex(wiersz);
    Pan[i]->move(Pan[i]->x(), GoraWiersza[wiersz] + 2);
    const QString tekst = Edit[i]->text().trimmed();
    if (tekst.isEmpty()) return;
    const std::optional<int> pol = LiczbaSmallint(tekst);
    if (!pol) {
        // A sign alone is a number being typed; the save refuses it if it stays so.
        if (wyjscie || tekst == "-" || tekst == "+") return;
        ui::MessageBox(KomunikatPolozenia(i), "UWAGA", ui::MB_OK);
        Edit[i]->clear();
        Edit[i]->setFocus();
        return;
    }
    Pan[i]->move(*pol * 2 / 3 + 20, Pan[i]->y());
}

void TGeneratorZest::PilnujWiersza(int i) {
    // Decided once the focus has settled: unticking the kind, "Anuluj", "Zapisz" (which says
    // what is missing) and closing the window are never held up.
    QTimer::singleShot(0, this, [this, i] {
        if (!isShowing() || !BrakWiersza(i)) return;
        // The window's own focus: a message box over it does not count as leaving.
        QWidget* f = focusWidget();
        if (!f) return;
        if (f == CheckBox[i] || f == ComboBox[i] || ComboBox[i]->isAncestorOf(f) || f == Edit[i] ||
            f == BitBtnAnuluj || f == BitBtnZapisz)
            return;
        ComboBox[i]->setFocus();
    });
}

int TGeneratorZest::RodzajKontrolki(QObject* o) const {
    for (int i = 1; i <= LiczbaRodzajow; ++i)
        if (o == CheckBox[i] || o == ComboBox[i] || o == ComboBox[i]->lineEdit() || o == Edit[i])
            return i;
    return 0;
}

bool TGeneratorZest::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusOut && isShowing()) {
        const auto r = static_cast<QFocusEvent*>(e)->reason();
        // A drop-down list, a message box or another window taking the focus is no leaving.
        if (r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason) {
            if (const int i = RodzajKontrolki(o)) CheckBox1Click(i, true);
            if (o == EditWiersze)
                // Once the focus has settled: "Zapisz" checks by itself, "Anuluj" drops it all.
                QTimer::singleShot(0, this, [this] {
                    QWidget* f = focusWidget();
                    if (isShowing() && f != BitBtnZapisz && f != BitBtnAnuluj) EditWierszeChange();
                });
        }
    }
    return ui::Window::eventFilter(o, e);
}

TProjektSzablonu TGeneratorZest::Projekt() const {
    TProjektSzablonu p;
    p.Lp = EditLp->text();
    p.Tytul = EditTytul->text();
    p.Wiersze = EditWiersze->text();
    p.Orientacja = Orientacja();
    for (int i = 1; i <= LiczbaRodzajow; ++i) {
        p.Pola[i].Zaznaczony = CheckBox[i]->isChecked();
        p.Pola[i].Wiersz = ComboBox[i]->currentText();
        p.Pola[i].Polozenie = Edit[i]->text();
    }
    return p;
}

void TGeneratorZest::BitBtnZapiszClick() {
    if (!EditWierszeChange()) return;
    const TWynikZapisu w = ZapiszProjekt(*DMw->TGenerZest, Projekt());
    if (!w.Blad.ok()) {
        ui::MessageBox(w.Blad.Komunikat, "UWAGA", ui::MB_OK);
        switch (w.Blad.Miejsce) {
            case TBladProjektu::Lp:
                EditLp->setFocus();
                break;
            case TBladProjektu::Wiersz:
                ComboBox[w.Blad.Rodzaj]->setFocus();
                break;
            case TBladProjektu::Polozenie:
                Edit[w.Blad.Rodzaj]->setFocus();
                break;
            case TBladProjektu::Brak:
                break;
        }
        return;
    }
    if (!w.ok()) {
        ui::MessageBox(w.BladZapisu, "Uwaga!", ui::MB_OK);
        return;
    }
    Close();
}

void TGeneratorZest::BitBtnAnulujClick() { Close(); }
