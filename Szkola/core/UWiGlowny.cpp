#include "Szkola/core/UWiGlowny.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/ULogowanie.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"

TGlowny* Glowny = nullptr;

namespace {

const char* const kSkrotyMiesiecy[] = {"Sty", "Lut", "Mar", "Kwi", "Maj", "Cze",
                                       "Lip", "Sie", "Wrz", "Paź", "Lis", "Gru"};

// The height that shows `wiersze` rows of a grid below its titles, with room for a horizontal
// scroll bar when asked (the months of money amounts may not fit in a narrow window).
int WysokoscSiatki(QTableView* siatka, int wiersze, bool zPaskiem) {
    const int tytuly = qMax(siatka->horizontalHeader()->sizeHint().height(),
                            siatka->horizontalHeader()->fontMetrics().height() + 8);
    const int pasek =
        zPaskiem ? siatka->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, siatka) : 0;
    return tytuly + wiersze * siatka->verticalHeader()->defaultSectionSize() +
           2 * siatka->frameWidth() + pasek;
}

const char* const kMenuGlowne[] = {"&Kartoteka", "&Wpłaty", "&Zestawienia", "&Funkcje",
                                   "&Parametry"};

QString bezAmpersandu(QString s) { return s.remove('&'); }
}  // namespace

struct TGlowny::Impl {
    QToolBar* pasek = nullptr;
    QAction* przedWyjsciem = nullptr;  // tool buttons are put before the exit buttons
    QMap<QString, QMenu*> menu;
    QMenu* menuRejestru = nullptr;
    QLabel* stanOperator = nullptr;
    QLabel* stanData = nullptr;
    QLabel* stanRok = nullptr;
    QWidget* rejestr = nullptr;   // the register: pupil grid and the page control
    QLabel* zamkniety = nullptr;  // shown while the register is closed
    bool pierwszaAktywacja = true;
    bool rejestrOtwarty = false;
    int blokadyWyjscia = 0;
    QAction* polecenieRoku = nullptr;
    QList<QPointer<QAction>> poleceniaRejestru;  // usable only while the register is open

    void ustawPoleceniaRejestru(bool otwarty) {
        for (QAction* a : std::as_const(poleceniaRejestru))
            if (a) a->setEnabled(otwarty);
    }
};

TGlowny::TGlowny(QWidget* parent) : QMainWindow(parent), d(new Impl) {
    setObjectName("Glowny");
    setWindowTitle("Rozliczenia opłat szkolnych");
    resize(1100, 700);

    // Menus, in their fixed order; a menu stays hidden until it gets a command.
    for (const char* m : kMenuGlowne) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m));
        menu->menuAction()->setVisible(false);
        d->menu.insert(bezAmpersandu(QString::fromUtf8(m)), menu);
    }

    // Tool bar with the exit button and its inert twin in the same place.
    d->pasek = addToolBar("Polecenia");
    d->pasek->setObjectName("ToolBar1");
    d->pasek->setMovable(false);
    auto* wyjscia = new QWidget(this);
    auto* uw = new QHBoxLayout(wyjscia);
    uw->setContentsMargins(0, 0, 0, 0);
    SpeedButtonWyjscieO = new QToolButton(wyjscia);
    SpeedButtonWyjscieO->setObjectName("SpeedButtonWyjscieO");
    SpeedButtonWyjscieO->setText("Wyjście");
    SpeedButtonWyjscieO->setToolTip("Zakończenie pracy programu");
    SpeedButtonWyjscieZ = new QToolButton(wyjscia);
    SpeedButtonWyjscieZ->setObjectName("SpeedButtonWyjscieZ");
    SpeedButtonWyjscieZ->setText("Wyjście");
    SpeedButtonWyjscieZ->setEnabled(false);
    SpeedButtonWyjscieZ->setVisible(false);
    uw->addWidget(SpeedButtonWyjscieO);
    uw->addWidget(SpeedButtonWyjscieZ);
    d->przedWyjsciem = d->pasek->addSeparator();
    d->pasek->addWidget(wyjscia);
    connect(SpeedButtonWyjscieO, &QToolButton::clicked, this, [this] { close(); });

    // The register: the pupil grid on the left, the page control with the fee tab on the right.
    auto* centrum = new QWidget(this);
    auto* uc = new QVBoxLayout(centrum);
    uc->setContentsMargins(2, 2, 2, 2);
    d->zamkniety = new QLabel(
        "Rejestr uczniów jest zamknięty. Otwórz go poleceniem Kartoteka → Rejestr uczniów.",
        centrum);
    d->zamkniety->setAlignment(Qt::AlignCenter);
    uc->addWidget(d->zamkniety);

    d->rejestr = new QWidget(centrum);
    auto* ur = new QVBoxLayout(d->rejestr);
    ur->setContentsMargins(0, 0, 0, 0);
    auto* dzielnik = new QSplitter(Qt::Vertical, d->rejestr);
    ur->addWidget(dzielnik);

    DBGrid1 = new ui::DBGrid(dzielnik);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);  // no blank strip on a wide screen
    d->menuRejestru = new QMenu(this);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        if (!d->menuRejestru->isEmpty())
            d->menuRejestru->popup(DBGrid1->viewport()->mapToGlobal(p));
    });
    // Shift+F10 opens it too, as everywhere else: its commands are reachable nowhere else.
    DBGrid1->installEventFilter(this);
    dzielnik->addWidget(DBGrid1);

    PageControl = new QTabWidget(dzielnik);
    PageControl->setObjectName("PageControl");
    TabSheet5 = new QWidget(PageControl);
    TabSheet5->setObjectName("TabSheet5");
    auto* un = new QVBoxLayout(TabSheet5);
    un->setContentsMargins(4, 4, 4, 4);
    auto* przyciskiNal = new QHBoxLayout;
    SpeedButtonNowaNal = new QToolButton(TabSheet5);
    SpeedButtonNowaNal->setObjectName("SpeedButtonNowaNal");
    SpeedButtonNowaNal->setText("Nowa");
    SpeedButtonPoprawNal = new QToolButton(TabSheet5);
    SpeedButtonPoprawNal->setObjectName("SpeedButtonPoprawNal");
    SpeedButtonPoprawNal->setText("Popraw");
    SpeedButtonKasujNal = new QToolButton(TabSheet5);
    SpeedButtonKasujNal->setObjectName("SpeedButtonKasujNal");
    SpeedButtonKasujNal->setText("Kasuj");
    // Fee entry is a window of its own, not part of this program yet.
    for (QToolButton* b : {SpeedButtonNowaNal, SpeedButtonPoprawNal, SpeedButtonKasujNal})
        b->setEnabled(false);
    // The fee title shares its line with the buttons: the height goes to the rows.
    przyciskiNal->addWidget(new QLabel("Należności i opłaty:", TabSheet5));
    przyciskiNal->addStretch();
    for (QToolButton* b : {SpeedButtonNowaNal, SpeedButtonPoprawNal, SpeedButtonKasujNal})
        przyciskiNal->addWidget(b);
    un->addLayout(przyciskiNal);
    DBGrid2 = new ui::DBGrid(TabSheet5);
    DBGrid2->setObjectName("DBGrid2");
    un->addWidget(DBGrid2, 1);
    un->addWidget(new QLabel("Posiłki (liczba w miesiącu):", TabSheet5));
    DBGrid4 = new ui::DBGrid(TabSheet5);
    DBGrid4->setObjectName("DBGrid4");
    un->addWidget(DBGrid4, 0);
    // A pupil has some 2-6 fee rows (tuition, meals, their paid rows, interest) and one or two
    // meal rows: the fee grid shows six without scrolling, the meal grid stays small.
    DBGrid2->setMinimumHeight(WysokoscSiatki(DBGrid2, 6, true));
    DBGrid4->setFixedHeight(WysokoscSiatki(DBGrid4, 2, false));
    PageControl->addTab(TabSheet5, "Należności - rok ...");
    dzielnik->addWidget(PageControl);
    // The pupil grid takes all the height the fee page does not need, and any gained later.
    dzielnik->setStretchFactor(0, 1);
    dzielnik->setStretchFactor(1, 0);
    dzielnik->setSizes({10000, PageControl->minimumSizeHint().height()});
    dzielnik->setChildrenCollapsible(false);
    uc->addWidget(d->rejestr);
    d->rejestr->setVisible(false);
    setCentralWidget(centrum);

    // Wait panel, hidden at rest, laid over the register grid when a long run starts.
    PanelCzekaj = new QFrame(centrum);
    PanelCzekaj->setObjectName("PanelCzekaj");
    static_cast<QFrame*>(PanelCzekaj)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    static_cast<QFrame*>(PanelCzekaj)->setLineWidth(2);
    PanelCzekaj->setAutoFillBackground(true);
    auto* up = new QVBoxLayout(PanelCzekaj);
    Panel8 = new QLabel(PanelCzekaj);
    Panel8->setObjectName("Panel8");
    Panel8->setAlignment(Qt::AlignCenter);
    QFont f = Panel8->font();
    f.setBold(true);
    Panel8->setFont(f);
    up->addWidget(Panel8);
    PanelCzekaj->resize(420, 70);
    PanelCzekaj->hide();

    // Status bar: the operator and the working date.
    d->stanOperator = new QLabel(this);
    d->stanOperator->setObjectName("StatusOperator");
    d->stanData = new QLabel(this);
    d->stanData->setObjectName("StatusData");
    d->stanRok = new QLabel(this);
    d->stanRok->setObjectName("StatusRok");
    statusBar()->addWidget(d->stanOperator);
    statusBar()->addWidget(d->stanData);
    statusBar()->addWidget(d->stanRok);

    // The commands of this part of the program.
    DodajPolecenie(
        "Kartoteka", "&Rejestr uczniów", [this] { OtworzRejestr(); }, true);
    // A year is chosen for an open register.
    d->polecenieRoku = DodajPolecenie(
        "Kartoteka", "Rok &szkolny", [this] { ZmienRokSzkolny(); }, false, true);
    DodajPolecenie("Kartoteka", "&Wyjście", [this] { close(); });
    DodajPolecenie(
        "Parametry", "&Data robocza", [this] { DataRoboczaClick(); }, true);
    // Move "Wyjście" to the bottom of its menu whatever is added later.
    d->menu.value("Kartoteka")->actions().last()->setObjectName("Wyjscie1");

    OdswiezPasekStanu();
}

TGlowny::~TGlowny() {
    if (Glowny == this) Glowny = nullptr;
    delete d;
}

bool TGlowny::RejestrOtwarty() const { return d->rejestrOtwarty; }

QAction* TGlowny::DodajPolecenie(const QString& menu, const QString& text,
                                 std::function<void()> handler, bool toolButton,
                                 bool wymagaRejestru) {
    const QString klucz = bezAmpersandu(menu);
    QMenu* m = d->menu.value(klucz);
    if (!m) {
        // A new menu goes before "Parametry", which stays last.
        m = new QMenu(menu.contains('&') ? menu : "&" + menu, this);
        menuBar()->insertMenu(d->menu.value("Parametry")->menuAction(), m);
        d->menu.insert(klucz, m);
    }
    m->menuAction()->setVisible(true);
    auto* a = new QAction(text, this);
    connect(a, &QAction::triggered, this, [handler] {
        if (handler) handler();
    });
    // "Wyjście" stays the last entry of "Kartoteka".
    QAction* wyjscie = nullptr;
    for (QAction* x : m->actions())
        if (x->objectName() == "Wyjscie1") wyjscie = x;
    if (wyjscie)
        m->insertAction(wyjscie, a);
    else
        m->addAction(a);
    if (wymagaRejestru) {
        a->setEnabled(d->rejestrOtwarty);
        d->poleceniaRejestru << a;
    }
    if (toolButton) {
        auto* kopia = new QAction(bezAmpersandu(text), this);
        kopia->setToolTip(bezAmpersandu(text));
        kopia->setEnabled(a->isEnabled());
        connect(a, &QAction::enabledChanged, kopia, &QAction::setEnabled);
        connect(kopia, &QAction::triggered, a, &QAction::trigger);
        d->pasek->insertAction(d->przedWyjsciem, kopia);
    }
    return a;
}

QAction* TGlowny::DodajPolecenieRejestru(const QString& text, std::function<void()> handler) {
    QString t = text;
    if (!t.contains('&')) {
        QSet<QChar> zajete;
        for (QAction* x : d->menuRejestru->actions()) {
            const qsizetype i = x->text().indexOf('&');
            if (i >= 0 && i + 1 < x->text().size()) zajete << x->text()[i + 1].toLower();
        }
        for (qsizetype i = 0; i < t.size(); ++i)
            if ((i == 0 || t[i - 1] == ' ') && t[i].isLetter() &&
                !zajete.contains(t[i].toLower())) {
                t.insert(i, '&');
                break;
            }
    }
    auto* a = d->menuRejestru->addAction(t);
    connect(a, &QAction::triggered, this, [handler] {
        if (handler) handler();
    });
    return a;
}

QMenu* TGlowny::MenuRejestru() const { return d->menuRejestru; }

void TGlowny::PokazMenuRejestru() {
    if (d->menuRejestru->isEmpty()) return;
    // Under the current pupil's row, as the right mouse button would open it there.
    const QRect r = DBGrid1->visualRect(DBGrid1->currentIndex());
    const QPoint p = r.isValid() ? QPoint(r.left() + 20, r.bottom()) : QPoint(20, 20);
    d->menuRejestru->popup(DBGrid1->viewport()->mapToGlobal(p));
}

bool TGlowny::eventFilter(QObject* o, QEvent* e) {
    if (o == DBGrid1 && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_F10 && k->modifiers() == Qt::ShiftModifier) {
            PokazMenuRejestru();
            return true;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TGlowny::PokazCzekaj(const QString& tekst) {
    Panel8->setText(tekst);
    QWidget* nad = DBGrid1->isVisible() ? static_cast<QWidget*>(DBGrid1) : centralWidget();
    const QPoint srodek = nad->mapTo(centralWidget(), nad->rect().center());
    const int w = qMax(420, Panel8->fontMetrics().horizontalAdvance(tekst) + 40);
    PanelCzekaj->resize(w, 70);
    PanelCzekaj->move(srodek.x() - w / 2, srodek.y() - 35);
    PanelCzekaj->show();
    PanelCzekaj->raise();
    PanelCzekaj->repaint();
}

void TGlowny::UkryjCzekaj() { PanelCzekaj->hide(); }

void TGlowny::OdswiezNaleznosci() {
    for (db::Table* t : {DM ? DM->TNaleznosc : nullptr, DM ? DM->TPosUcz : nullptr,
                         DMw ? DMw->TNaleznosc : nullptr, DMw ? DMw->TPosUczRob : nullptr})
        if (t && t->active()) t->refresh();
}

// --- first activation ---

void TGlowny::ZresetujStan() {
    Tag = 0;
    TrybKorekty = 0;
    KodZestawienia = 0;
    TrybCennika = 0;
    OperatorWbudowany = 0;
    Sesja().RokSzk.clear();
    Sesja().RokSzkRok = Sesja().RokSzkNrMies = 0;
    Sesja().ZnacznikSesji.clear();
    StanFiltruDokumentow = TStanFiltruDokumentow{};
    StanFiltru = TStanFiltru{};
    if (DM) {
        DM->UstawStanFiltru(&StanFiltru);
        DM->UstawStanFiltruDokumentow(&StanFiltruDokumentow);
    }
}

bool TGlowny::PierwszaAktywacja() {
    if (!d->pierwszaAktywacja) return true;
    d->pierwszaAktywacja = false;
    ZresetujStan();
    if (DM) {
        DM->TPoziomy->clearMasterSource();
        DM->TGrupy->clearMasterSource();
        if (!DM->TUczen->active()) DM->TUczen->open();
    }
    if (!Logowanie) return false;
    Logowanie->ShowModal();
    if (!Logowanie->Zalogowano()) return false;
    OperatorWbudowany = Logowanie->Wbudowany() ? 1 : 0;
    if (!Kalendarz) return false;
    Kalendarz->ShowModal();
    if (!Kalendarz->Zatwierdzono()) return false;
    UstawZnacznikSesji(ZbudujZnacznikSesji(QDateTime::currentDateTime()));
    OdswiezPasekStanu();
    return true;
}

void TGlowny::OdswiezPasekStanu() {
    const QString nazwa =
        BiezacyOperator.Nazwisko.isEmpty() ? BiezacyOperator.Skrot : BiezacyOperator.Nazwisko;
    d->stanOperator->setText(" Operator: " + nazwa + " ");
    d->stanData->setText(Kalendarz ? " Data robocza: " + DataKrotka(Sesja().DataRobocza) + " "
                                   : QString());
    d->stanRok->setText(BiezacyRokSzk().isEmpty() ? QString()
                                                  : " Rok szkolny: " + BiezacyRokSzk() + " ");
}

QString TGlowny::TekstPaskaStanu() const {
    return d->stanOperator->text() + "|" + d->stanData->text() + "|" + d->stanRok->text();
}

// --- the register ---

void TGlowny::UstawKolumnyRejestru() {
    DBGrid1->setTable(DM->DSUczen);
    DBGrid1->setColumns({});
    DBGrid1->addColumn(ui::GridColumn("Nazwisko", "Nazwisko", 22));
    DBGrid1->addColumn(ui::GridColumn("Imiona", "Imiona", 22));
    DBGrid1->addColumn(ui::GridColumn("DataUr", "Data ur.", 11));
    DBGrid1->addColumn(ui::GridColumn("Szkola", "Szkoła", 26));
    DBGrid1->addColumn(ui::GridColumn("Poziom", "Poziom", 12));
    DBGrid1->addColumn(ui::GridColumn("Klasa", "Grupa", 12));
    DBGrid1->addColumn(ui::GridColumn("Miasto", "Miejscowość", 16));
}

// Fee and meal columns in the months' order of the school year (from its first month).
void TGlowny::UstawKolumnyNaleznosci(int nrMies) {
    if (nrMies < 1 || nrMies > 12) nrMies = 1;
    DBGrid2->setTable(DM->DSNaleznosc);
    DBGrid2->setColumns({});
    DBGrid2->addColumn(ui::GridColumn("RodzOpl", "Rodzaj", 6));
    DBGrid2->addColumn(ui::GridColumn("Status", "Status", 6));
    DBGrid4->setTable(DM->DSPosUcz);
    DBGrid4->setColumns({});
    DBGrid4->addColumn(ui::GridColumn("RodzPos", "Posiłek", 7));
    for (int i = 0; i < 12; ++i) {
        const int m = (nrMies - 1 + i) % 12 + 1;
        DBGrid2->addColumn(ui::GridColumn(
            PoleMiesiaca('M', m), QString::fromUtf8(kSkrotyMiesiecy[m - 1]), 9, Qt::AlignRight));
        DBGrid4->addColumn(ui::GridColumn(
            PoleMiesiaca('L', m), QString::fromUtf8(kSkrotyMiesiecy[m - 1]), 5, Qt::AlignRight));
    }
}

void TGlowny::OtworzRejestr() {
    if (!SprawdzUprawnienia(BiezacyOperator, 1)) return;
    if (!DM) return;
    if (!DM->TUczen->active()) DM->TUczen->open();
    UstawKolumnyRejestru();
    d->zamkniety->setVisible(false);
    d->rejestr->setVisible(true);
    d->rejestrOtwarty = true;
    d->ustawPoleceniaRejestru(true);
    ZmienRokSzkolny(true);
}

void TGlowny::ZmienRokSzkolny(bool otwarcie) {
    if (!d->rejestrOtwarty) return;
    QString wybrany = BiezacyRokSzk();
    if (WyborRokuSzkolnego && WyborRokuSzkolnego(wybrany))
        WybierzRokSzkolny(wybrany);
    else if (otwarcie)
        WybierzRokSzkolny(QString());  // no year chosen: the base tables, fee buttons hidden
}

namespace {
void przestaw(db::Table* t, const QString& nazwa) {
    if (!t) return;
    t->cancel();
    t->close();
    t->setTableName(nazwa);
    t->open();
}
}  // namespace

bool TGlowny::WybierzRokSzkolny(const QString& rokSzk) {
    TDaneRoku rok;
    bool jest = !rokSzk.isEmpty() && ZnajdzRokSzkolny(rokSzk, rok);
    QString plikNal = "Naleznosc.db", plikPos = "PosilkiUcz.db";
    if (jest) {
        const QString klucz = rok.Klucz();
        db::Database* baza = DM->Baza();
        if (!baza->tableExists(PlikiRoku::Naleznosci(klucz))) {
            ui::MessageBox("Brak tabeli należności roku szkolnego " + rokSzk + "!", "Uwaga!",
                           ui::MB_OK);
            jest = false;
        } else {
            plikNal = PlikiRoku::Naleznosci(klucz) + ".db";
            // A school year may have no meal table yet: its meals are then shown empty.
            if (baza->tableExists(PlikiRoku::Posilki(klucz)))
                plikPos = PlikiRoku::Posilki(klucz) + ".db";
        }
    }
    przestaw(DM->TNaleznosc, plikNal);
    przestaw(DM->TPosUcz, plikPos);
    if (DMw) {
        przestaw(DMw->TNaleznosc, plikNal);
        przestaw(DMw->TPosUczRob, plikPos);
    }
    TSesja& sesja = Sesja();
    sesja.RokSzk = jest ? rok.RokSzk : QString();
    sesja.RokSzkRok = jest ? rok.Rok : 0;
    sesja.RokSzkNrMies = jest ? rok.NrMies : 0;
    UstawKolumnyNaleznosci(jest ? rok.NrMies : 9);
    PokazRokSzkolny();
    OdswiezPasekStanu();
    return jest;
}

void TGlowny::PokazRokSzkolny() {
    const bool jest = !BiezacyRokSzk().isEmpty();
    PageControl->setTabText(
        PageControl->indexOf(TabSheet5),
        jest ? "Należności - rok " + BiezacyRokSzk() : QString("Należności - rok ..."));
    SpeedButtonNowaNal->setVisible(jest);
    SpeedButtonPoprawNal->setVisible(jest);
    SpeedButtonKasujNal->setVisible(jest);
}

// --- commands ---

void TGlowny::DataRoboczaClick() {
    if (!Kalendarz) return;
    BlokadaWyjscia blokada;
    Kalendarz->ShowModal();
    OdswiezPasekStanu();
}

void TGlowny::closeEvent(QCloseEvent* e) {
    // Closing the register first: a pending record of any table is dropped, nothing half-written.
    if (DM) {
        for (db::Table* t : {DM->TUczen, DM->TNaleznosc, DM->TPosUcz})
            if (t) t->cancel();
    }
    d->rejestrOtwarty = false;
    d->ustawPoleceniaRejestru(false);
    e->accept();
}

// --- exit guard ---

BlokadaWyjscia::BlokadaWyjscia() {
    if (!Glowny) return;
    if (Glowny->d->blokadyWyjscia++ == 0) {
        Glowny->SpeedButtonWyjscieO->setVisible(false);
        Glowny->SpeedButtonWyjscieZ->setVisible(true);
    }
}

BlokadaWyjscia::~BlokadaWyjscia() {
    if (!Glowny) return;
    if (Glowny->d->blokadyWyjscia > 0 && --Glowny->d->blokadyWyjscia == 0) {
        Glowny->SpeedButtonWyjscieZ->setVisible(false);
        Glowny->SpeedButtonWyjscieO->setVisible(true);
    }
}
