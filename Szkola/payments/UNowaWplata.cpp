#include "Szkola/payments/UNowaWplata.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UNowaNaleznosc.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TNowaWplata* NowaWplata = nullptr;

namespace {

QToolButton* przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst,
                      const QString& podpowiedz) {
    auto* b = new QToolButton(rodzic);
    b->setObjectName(QString::fromLatin1(nazwa));
    b->setText(tekst);
    ui::setHint(b, podpowiedz);
    return b;
}

// Alt and the letter presses a button whose face is a sign; its tool tip says so.
void klawisz(QToolButton* b, Qt::Key litera) {
    const QKeySequence k(Qt::ALT | litera);
    b->setShortcut(k);
    b->setToolTip(b->toolTip() + " (" + k.toString(QKeySequence::NativeText) + ")");
}

// Short values get short edits, so the long texts beside them keep their room.
void waskie(QWidget* w, int znaki) {
    w->setMaximumWidth(w->fontMetrics().averageCharWidth() * znaki + 16);
}

// A failure of the tables must not end the program with the operator's work: it is said, and
// the window stays open.
template <typename F>
void chronione(F&& krok) {
    try {
        krok();
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", "Uwaga!", ui::MB_OK);
    }
}

}  // namespace

TNowaWplata::TNowaWplata(QWidget* parent) : ui::Window(parent) {
    setObjectName("NowaWplata");
    setWindowTitle("Nowa wpłata");

    // Pupil.
    Panel2 = new QWidget(this);
    LabelUczen = new QLabel(Panel2);
    LabelUczen->setObjectName("LabelUczen");
    QFont pogrubiona = LabelUczen->font();
    pogrubiona.setBold(true);
    LabelUczen->setFont(pogrubiona);
    auto* uczen = new QHBoxLayout(Panel2);
    uczen->setContentsMargins(0, 0, 0, 0);
    uczen->addWidget(new QLabel("Uczeń:", Panel2));
    uczen->addWidget(LabelUczen, 1);

    // Fees due.
    Label26 = new QLabel(this);
    Label26->setObjectName("Label26");
    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    SpeedButtonNowy1 = przycisk(this, "SpeedButtonNowy1", "+", "Dodaj nową należność");
    SpeedButtonWybierz1 = przycisk(this, "SpeedButtonWybierz1", "↓", "Wybierz do zapłaty");
    SpeedButtonOdsetki = przycisk(this, "SpeedButtonOdsetki", "%",
                                  "Nalicz odsetki|Nalicz odsetki za wskazaną należność");
    // The sign buttons get their keys as the named ones get theirs from the '&'.
    klawisz(SpeedButtonWybierz1, Qt::Key_D);
    klawisz(SpeedButtonOdsetki, Qt::Key_O);
    klawisz(SpeedButtonNowy1, Qt::Key_N);

    // Document lines.
    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");
    DBGrid2 = new ui::DBGrid(this);
    DBGrid2->setObjectName("DBGrid2");
    SpeedButtonPopraw2 = przycisk(this, "SpeedButtonPopraw2", "&Popraw", "Edytuj kwotę opłaty");
    SpeedButtonWytnij2 =
        przycisk(this, "SpeedButtonWytnij2", "&Usuń", "Usuń pozycję z listy wpłat bieżących");
    // Alt+S and Alt+A: Alt+Z belongs to "Zapisz dokument", which stays in sight during the edit.
    SpeedButtonZapisz2 = przycisk(this, "SpeedButtonZapisz2", "Zapi&sz", "Zapisz");
    SpeedButtonAnuluj2 = przycisk(this, "SpeedButtonAnuluj2", "&Anuluj", "Anuluj");
    SpeedButtonZapisz2->setVisible(false);
    SpeedButtonAnuluj2->setVisible(false);

    db::Table* ropl = DM->TOplatyR;
    PanelDane2 = new QWidget(this);
    PanelDane2->setObjectName("PanelDane2");
    DBEditRodzOpl2 = new ui::DBEdit(ropl, "RodzOpl", PanelDane2);
    DBEditMiesiac2 = new ui::DBEdit(ropl, "Miesiac", PanelDane2);
    DBEditRok2 = new ui::DBEdit(ropl, "Rok", PanelDane2);
    DBEditKwota2 = new ui::DBEdit(ropl, "Kwota", PanelDane2);
    DBEditTresc2 = new ui::DBEdit(ropl, "Tresc", PanelDane2);
    for (ui::DBEdit* e : {DBEditRodzOpl2, DBEditMiesiac2, DBEditRok2}) e->setAlwaysReadOnly(true);
    waskie(DBEditRodzOpl2, 4);
    waskie(DBEditMiesiac2, 4);
    waskie(DBEditRok2, 6);
    waskie(DBEditKwota2, 14);
    auto* dane2 = new QHBoxLayout(PanelDane2);
    dane2->setContentsMargins(0, 0, 0, 0);
    dane2->addWidget(new QLabel("Rodzaj opłaty", PanelDane2));
    dane2->addWidget(DBEditRodzOpl2);
    dane2->addWidget(new QLabel("Za miesiąc", PanelDane2));
    dane2->addWidget(DBEditMiesiac2);
    dane2->addWidget(new QLabel("roku", PanelDane2));
    dane2->addWidget(DBEditRok2);
    dane2->addWidget(new QLabel("Kwota", PanelDane2));
    dane2->addWidget(DBEditKwota2);
    dane2->addWidget(new QLabel("Treść", PanelDane2));
    dane2->addWidget(DBEditTresc2, 1);
    PanelDane2->setVisible(false);

    // Header: cash panel.
    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    db::Table* w = DM->TWplaty;
    PanelKasa = new QWidget(this);
    PanelKasa->setObjectName("PanelKasa");
    Label5 = new QLabel("Numer wpłaty", PanelKasa);
    Label9 = new QLabel("Treść wpłaty", PanelKasa);
    Label11 = new QLabel(PanelKasa);
    Label11->setObjectName("Label11");
    DBEditNumer = new ui::DBEdit(w, "NumerWpl", PanelKasa);
    DBEditData = new ui::DBEdit(w, "DataWpl", PanelKasa);
    DBEditNazwa = new ui::DBEdit(w, "Nazwa", PanelKasa);
    DBEditAdres = new ui::DBEdit(w, "Adres", PanelKasa);
    DBEditTresc = new ui::DBEdit(w, "Tresc", PanelKasa);
    DBEditKwota = new ui::DBEdit(w, "Kwota", PanelKasa);
    auto* kasa = new QGridLayout(PanelKasa);
    kasa->addWidget(Label5, 0, 0);
    kasa->addWidget(DBEditNumer, 0, 1);
    kasa->addWidget(new QLabel("Data", PanelKasa), 0, 2);
    kasa->addWidget(DBEditData, 0, 3);
    kasa->addWidget(new QLabel("Wpłacający", PanelKasa), 1, 0);
    kasa->addWidget(DBEditNazwa, 1, 1, 1, 4);
    kasa->addWidget(new QLabel("Adres", PanelKasa), 2, 0);
    kasa->addWidget(DBEditAdres, 2, 1, 1, 4);
    kasa->addWidget(Label9, 3, 0);
    kasa->addWidget(DBEditTresc, 3, 1, 1, 4);
    kasa->addWidget(new QLabel("Kwota", PanelKasa), 4, 0);
    kasa->addWidget(DBEditKwota, 4, 1);
    kasa->addWidget(Label11, 4, 2, 1, 3);
    kasa->setColumnStretch(4, 1);
    waskie(DBEditNumer, 12);
    waskie(DBEditData, 12);
    waskie(DBEditKwota, 14);

    // Header: transfer panel.
    db::Table* p = DM->TPrzelew;
    PanelBank = new QWidget(this);
    PanelBank->setObjectName("PanelBank");
    DBLookupComboBox1 = new ui::DBLookupCombo(PanelBank);
    DBLookupComboBox1->setDataField(p, "IdBanku");
    DBLookupComboBox1->setListSource(DM->TBanki, "IdBanku", "Nazwa");
    DBEditNrWyciagu = new ui::DBEdit(p, "NrWyciagu", PanelBank);
    DBEdit11 = new ui::DBEdit(p, "DataWpl", PanelBank);
    DBEditNazwaPrz = new ui::DBEdit(p, "Nazwa", PanelBank);
    DBEditTrescPrz = new ui::DBEdit(p, "Tresc", PanelBank);
    DBEditKwotaPrz = new ui::DBEdit(p, "Kwota", PanelBank);
    DBEditSumaWart = new ui::DBEdit(p, "SumaWart", PanelBank);
    DBEditRoznica = new ui::DBEdit(p, "Roznica", PanelBank);
    DBEditSumaWart->setAlwaysReadOnly(true);
    DBEditRoznica->setAlwaysReadOnly(true);
    auto* bank = new QGridLayout(PanelBank);
    bank->addWidget(new QLabel("Bank", PanelBank), 0, 0);
    bank->addWidget(DBLookupComboBox1, 0, 1, 1, 3);
    bank->addWidget(new QLabel("Przelew", PanelBank), 0, 4);
    bank->addWidget(new QLabel("Nr wyciągu ", PanelBank), 1, 0);
    bank->addWidget(DBEditNrWyciagu, 1, 1);
    bank->addWidget(new QLabel("Data przelewu", PanelBank), 1, 2);
    bank->addWidget(DBEdit11, 1, 3);
    bank->addWidget(new QLabel("Wpłacający", PanelBank), 2, 0);
    bank->addWidget(DBEditNazwaPrz, 2, 1, 1, 4);
    bank->addWidget(new QLabel("Treść wpłaty", PanelBank), 3, 0);
    bank->addWidget(DBEditTrescPrz, 3, 1, 1, 4);
    bank->addWidget(new QLabel("Wartość przelewu", PanelBank), 4, 0);
    bank->addWidget(DBEditKwotaPrz, 4, 1);
    bank->addWidget(new QLabel("Suma kontrolna", PanelBank), 4, 2);
    bank->addWidget(DBEditSumaWart, 4, 3);
    bank->addWidget(new QLabel("Różnica", PanelBank), 5, 2);
    bank->addWidget(DBEditRoznica, 5, 3);
    bank->setColumnStretch(4, 1);
    for (ui::DBEdit* e : {DBEdit11, DBEditKwotaPrz, DBEditSumaWart, DBEditRoznica}) waskie(e, 14);
    waskie(DBEditNrWyciagu, 22);

    SpeedButtonBanki = przycisk(this, "SpeedButtonBanki", "&Banki", "Edytuj listę banków");
    SpeedButtonData = przycisk(this, "SpeedButtonData", "...", "Kalendarz");
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName("MonthCalendar1");
    MonthCalendar1->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    MonthCalendar1->setFirstDayOfWeek(Qt::Monday);
    MonthCalendar1->setVisible(false);

    CheckBoxDrukarka = new QCheckBox("Wybór drukarki", this);
    CheckBoxDrukarka->setObjectName("CheckBoxDrukarka");
    BitBtnZapisz = new QPushButton("&Zapisz dokument", this);
    BitBtnZapisz->setObjectName("BitBtnZapisz");
    BitBtnAnuluj = new QPushButton("&Wyjście bez zapisu", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");

    // Layout, top to bottom.
    auto* tytulNal = new QHBoxLayout;
    tytulNal->addWidget(new QLabel("Opłaty należne ", this));
    tytulNal->addWidget(Label26, 1);
    auto* przyciskiNal = new QVBoxLayout;
    for (QToolButton* b : {SpeedButtonNowy1, SpeedButtonWybierz1, SpeedButtonOdsetki})
        przyciskiNal->addWidget(b);
    przyciskiNal->addStretch();
    auto* nal = new QHBoxLayout;
    nal->addWidget(DBGrid1, 1);
    nal->addLayout(przyciskiNal);

    auto* przyciskiLinii = new QVBoxLayout;
    for (QToolButton* b :
         {SpeedButtonPopraw2, SpeedButtonWytnij2, SpeedButtonZapisz2, SpeedButtonAnuluj2})
        przyciskiLinii->addWidget(b);
    przyciskiLinii->addStretch();
    auto* linie = new QHBoxLayout;
    linie->addWidget(DBGrid2, 1);
    linie->addLayout(przyciskiLinii);

    auto* przyciskiNagl = new QVBoxLayout;
    przyciskiNagl->addWidget(SpeedButtonBanki);
    przyciskiNagl->addWidget(SpeedButtonData);
    przyciskiNagl->addStretch();
    auto* naglowek = new QHBoxLayout;
    naglowek->addWidget(PanelKasa, 1);
    naglowek->addWidget(PanelBank, 1);
    naglowek->addLayout(przyciskiNagl);
    naglowek->addWidget(MonthCalendar1);

    auto* dol = new QHBoxLayout;
    dol->addWidget(CheckBoxDrukarka);
    dol->addStretch();
    dol->addWidget(BitBtnZapisz);
    dol->addWidget(BitBtnAnuluj);

    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(Panel2);
    uklad->addLayout(tytulNal);
    uklad->addLayout(nal, 3);
    uklad->addWidget(Label3);
    uklad->addLayout(linie, 2);
    uklad->addWidget(PanelDane2);
    uklad->addWidget(Label4);
    uklad->addLayout(naglowek);
    uklad->addLayout(dol);
    // Shrunk to a laptop's screen when shown; the grids give up the height first.
    resize(900, 720);

    DBGrid2->setTable(ropl);
    // Tresc takes the 50 characters of a line text.
    DBGrid2->setColumns(
        {ui::GridColumn("TerminWpl", "Termin", 12), ui::GridColumn("RodzajOpl", "Rodzaj", 18),
         ui::GridColumn("Miesiac", "Miesiąc", 7), ui::GridColumn("Rok", "Rok", 6),
         ui::GridColumn("Kwota", "Kwota", 12), ui::GridColumn("Tresc", "Treść", 56)});
    // The grids take the window's width: the last column takes what the others leave.
    for (ui::DBGrid* g : {DBGrid1, DBGrid2}) g->horizontalHeader()->setStretchLastSection(true);

    auto polacz = [this](auto* nadawca, auto sygnal, void (TNowaWplata::*obsluga)()) {
        connect(nadawca, sygnal, this, [this, obsluga] { chronione([&] { (this->*obsluga)(); }); });
    };
    polacz(DBGrid1, &ui::DBGrid::rowDoubleClicked, &TNowaWplata::DBGrid1DblClick);
    polacz(SpeedButtonWybierz1, &QToolButton::clicked, &TNowaWplata::DBGrid1DblClick);
    polacz(SpeedButtonNowy1, &QToolButton::clicked, &TNowaWplata::SpeedButtonNowy1Click);
    // Enter or Space on a line owed picks it, as a double click does.
    ui::onEnterKey(
        DBGrid1, [this] { chronione([this] { DBGrid1DblClick(); }); }, true);
    // Enter in the line's amount accepts the edit, as the line's "Zapisz" does.
    ui::onEnterKey(DBEditKwota2, [this] { chronione([this] { SpeedButtonZapisz2Click(); }); });
    polacz(SpeedButtonWytnij2, &QToolButton::clicked, &TNowaWplata::SpeedButtonWytnij2Click);
    polacz(SpeedButtonPopraw2, &QToolButton::clicked, &TNowaWplata::SpeedButtonPopraw2Click);
    polacz(SpeedButtonZapisz2, &QToolButton::clicked, &TNowaWplata::SpeedButtonZapisz2Click);
    polacz(SpeedButtonAnuluj2, &QToolButton::clicked, &TNowaWplata::SpeedButtonAnuluj2Click);
    polacz(SpeedButtonOdsetki, &QToolButton::clicked, &TNowaWplata::SpeedButtonOdsetkiClick);
    polacz(SpeedButtonBanki, &QToolButton::clicked, &TNowaWplata::SpeedButtonBankiClick);
    polacz(SpeedButtonData, &QToolButton::clicked, &TNowaWplata::SpeedButtonDataClick);
    polacz(MonthCalendar1, &QCalendarWidget::clicked, &TNowaWplata::MonthCalendar1Click);
    polacz(BitBtnZapisz, &QPushButton::clicked, &TNowaWplata::BitBtnZapiszClick);
    polacz(BitBtnAnuluj, &QPushButton::clicked, &TNowaWplata::BitBtnAnulujClick);
}

TNowaWplata::~TNowaWplata() { DBGrid1->setTable(nullptr); }

double TNowaWplata::SaldoNaleznosci() const { return dok_ ? dok_->SaldoNaleznosci : 0.0; }

void TNowaWplata::FormActivate() {
    if (!PierwszaAktywacja) return;
    RodzajDokumentu = Glowny->Tag;
    RokKsiegowy = Sesja().RokKsiegowy;
    const int korekta = Glowny->TrybKorekty;

    MonthCalendar1->setVisible(false);
    Label4->setText("Dowód wpłaty");
    Label3->setText("Wpłata bieżąca");
    SpeedButtonNowy1->setEnabled(true);
    KoniecEdycjiLinii();

    QString tytul = windowTitle();
    switch (RodzajDokumentu) {
        case DokKasa:
            tytul = korekta == 0 ? "Nowa wpłata - gotówka" : "Korekta dowodu wpłaty - gotówka";
            Label11->setText("Wpłata gotówki do kasy");
            Label9->setText("Treść wpłaty");
            Label5->setText("Numer wpłaty");
            PanelKasa->setVisible(true);
            SpeedButtonOdsetki->setVisible(true);
            PanelBank->setVisible(false);
            SpeedButtonBanki->setVisible(false);
            SpeedButtonData->setVisible(false);
            break;
        case DokPrzelew:
            tytul = korekta == 0 ? "Nowa wpłata - przelew" : "Korekta dowodu wpłaty - przelew";
            PanelBank->setVisible(true);
            SpeedButtonBanki->setVisible(true);
            SpeedButtonData->setVisible(true);
            SpeedButtonOdsetki->setVisible(true);
            PanelKasa->setVisible(false);
            break;
        case DokZwrot:
            tytul = korekta == 0 ? "Nowy dokument zwrotu nadpłaty - gotówka"
                                 : "Korekta dowodu wypłaty - gotówka";
            Label4->setText("Dowód wypłaty");
            Label11->setText("Wypłata gotówki z kasy");
            Label9->setText("Treść wypłaty");
            Label5->setText("Numer wypłaty");
            Label3->setText("Składniki dokumentu wypłaty");
            PanelKasa->setVisible(true);
            PanelBank->setVisible(false);
            SpeedButtonBanki->setVisible(false);
            SpeedButtonData->setVisible(false);
            SpeedButtonOdsetki->setVisible(false);
            break;
        default:
            break;
    }
    setWindowTitle(tytul + "  - rok " + QString::number(RokKsiegowy));

    dok_ = std::make_unique<TDokumentWplaty>();
    dok_->RodzajDokumentu = RodzajDokumentu;
    dok_->RokKsiegowy = RokKsiegowy;
    dok_->TrybKorekty = korekta;
    dok_->DataRobocza = Sesja().DataRobocza;
    try {
        dok_->WczytajUcznia();
        dok_->Przygotuj();
    } catch (const std::exception&) {
        // Nothing of the document may stay half-prepared: tables back, work tables dropped.
        dok_->Zamknij();
        dok_.reset();
        ui::MessageBox(
            "Błąd przygotowania dokumentu wpłaty!\nNie można otworzyć plików dokumentów.", "Uwaga!",
            ui::MB_OK);
        PierwszaAktywacja = true;
        Close();
        return;
    }
    PowiazKontrolki();
    Label26->setText(dok_->Stopka);
    LabelUczen->setText(dok_->Nazwisko + " " + dok_->Imiona);
    PierwszaAktywacja = false;
    // Every opening starts on the fees due, whatever had the focus when the window last closed.
    DBGrid1->setFocus();
}

void TNowaWplata::PowiazKontrolki() {
    DBGrid1->setTable(dok_->TOplaty);
    DBGrid1->setColumns(
        {ui::GridColumn("TerminWpl", "Termin", 12), ui::GridColumn("RodzajOpl", "Rodzaj", 18),
         ui::GridColumn("RokSzk", "Rok szkolny", 12), ui::GridColumn("Miesiac", "Miesiąc", 7),
         ui::GridColumn("Rok", "Rok", 6), ui::GridColumn("Kwota", "Kwota", 12),
         ui::GridColumn("Zalegly", "Zal", 4).colored(Qt::red).boldFont(),
         ui::GridColumn("Odsetki", "Wyb", 4)});
    DBGrid2->refreshRows();
    if (RodzajDokumentu == DokPrzelew) DBLookupComboBox1->reloadList();
}

bool TNowaWplata::FormCloseQuery(bool closeBox) {
    if (!dok_) return true;
    if (dok_->EdycjaTrwa()) {
        SpeedButtonAnuluj2Click();
        if (!closeBox) return false;  // Esc in a line edit ends only the edit
    }
    if (!dok_->Zmieniony()) return true;
    return ui::MessageBox("Czy zamknąć okno bez zapisania dokumentu?", "Uwaga!",
                          ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES;
}

void TNowaWplata::FormClose() {
    PierwszaAktywacja = true;
    if (dok_) {
        SpeedButtonAnuluj2Click();
        DBGrid1->setTable(nullptr);
        dok_->Zamknij();
        dok_.reset();
    }
    KoniecEdycjiLinii();
}

void TNowaWplata::PokazKomunikaty() {
    if (!dok_) return;
    const auto komunikaty = std::exchange(dok_->Komunikaty, {});
    for (const auto& k : komunikaty) ui::MessageBox(k.Tekst, k.Tytul, ui::MB_OK);
}

void TNowaWplata::DBGrid1DblClick() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    dok_->Wybierz();
    PokazKomunikaty();
}

void TNowaWplata::SpeedButtonNowy1Click() {
    if (!dok_ || !NowaNaleznosc) return;
    MonthCalendar1->setVisible(false);
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    dok_->NowaNaleznosc();
    Glowny->Tag = RodzajDokumentu;
    NowaNaleznosc->Dokument = dok_.get();
    NowaNaleznosc->ShowModal();
    if (!dok_) return;
    dok_->AnulujNowaNaleznosc();  // whatever way the window was left, nothing stays pending
    Label26->setText(dok_->Stopka);
    DBGrid1->refreshRows();
}

void TNowaWplata::SpeedButtonWytnij2Click() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    dok_->UsunPozycje();
}

void TNowaWplata::SpeedButtonPopraw2Click() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    if (!dok_->EdycjaStart()) return;
    PanelDane2->setVisible(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{DBGrid1, DBGrid2, SpeedButtonWybierz1, SpeedButtonNowy1})
        w->setEnabled(false);
    SpeedButtonWytnij2->setVisible(false);
    SpeedButtonOdsetki->setVisible(false);
    SpeedButtonZapisz2->setVisible(true);
    SpeedButtonAnuluj2->setVisible(true);
    DBEditKwota2->setFocus();
}

void TNowaWplata::KoniecEdycjiLinii() {
    const bool bylaEdycja = !PanelDane2->isHidden();
    PanelDane2->setVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{DBGrid1, DBGrid2, SpeedButtonWybierz1, SpeedButtonNowy1})
        w->setEnabled(true);
    SpeedButtonWytnij2->setVisible(true);
    SpeedButtonZapisz2->setVisible(false);
    SpeedButtonAnuluj2->setVisible(false);
    SpeedButtonOdsetki->setVisible(RodzajDokumentu != DokZwrot);
    // Back on the lines, not on whatever edit follows the hidden amount (typing would overwrite
    // the document's number).
    if (bylaEdycja) DBGrid2->setFocus();
}

void TNowaWplata::SpeedButtonZapisz2Click() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    if (!dok_->EdycjaTrwa()) return;
    if (!DBEditKwota2->checkInput()) {  // a text that is no amount says so and stays
        DBEditKwota2->setFocus();
        return;
    }
    dok_->EdycjaZapisz();
    KoniecEdycjiLinii();
}

void TNowaWplata::SpeedButtonAnuluj2Click() {
    MonthCalendar1->setVisible(false);
    if (!dok_ || !dok_->EdycjaTrwa()) return;
    dok_->EdycjaAnuluj();
    KoniecEdycjiLinii();
}

void TNowaWplata::SpeedButtonOdsetkiClick() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    const auto mozna = dok_->MoznaNaliczycOdsetki();
    PokazKomunikaty();
    if (mozna == TDokumentWplaty::Odsetki::BrakDaty) DBEdit11->setFocus();
    if (mozna != TDokumentWplaty::Odsetki::Tak) return;
    try {
        dok_->PrzygotujLiczOds();
        Tag = 0;
        ObliczOdsetki->Wolajacy = this;
        ObliczOdsetki->ShowModal();
        if (Tag > 0 && dok_) dok_->DodajOdsetki(DM->TLiczOds->field("Odsetki")->asFloat());
    } catch (const std::exception&) {
        ui::MessageBox("Błąd obliczania odsetek!", "Uwaga!", ui::MB_OK);
    }
    if (dok_) {
        try {
            dok_->ZakonczLiczOds();
        } catch (const std::exception&) {
        }
    }
}

void TNowaWplata::SpeedButtonBankiClick() {
    MonthCalendar1->setVisible(false);
    Banki->ShowModal();
    DBLookupComboBox1->reloadList();
}

void TNowaWplata::SpeedButtonDataClick() {
    const QDate d = DM->TPrzelew->active() ? DM->TPrzelew->field("DataWpl")->asDate() : QDate();
    MonthCalendar1->setSelectedDate(DataBledna(d) ? QDate::currentDate() : d);
    MonthCalendar1->setVisible(true);
}

void TNowaWplata::MonthCalendar1Click() {
    db::Table* p = DM->TPrzelew;
    if (p->active() && p->state() != db::Table::Browse)
        p->field("DataWpl")->setDate(MonthCalendar1->selectedDate());
    MonthCalendar1->setVisible(false);
}

void TNowaWplata::BitBtnZapiszClick() {
    if (!dok_) return;
    MonthCalendar1->setVisible(false);
    // An amount being edited is saved with the line's own checks first; a refused one stops here.
    if (dok_->EdycjaTrwa()) {
        SpeedButtonZapisz2Click();
        if (!dok_ || dok_->EdycjaTrwa()) return;
    }
    if (dok_->NumerDalekoPoNastepnym() &&
        ui::MessageBox(QString("Numer %1 jest o ponad %2 większy od następnego wolnego numeru %3.\n"
                               "Czy zapisać dokument z tym numerem?")
                           .arg(dok_->Dokument()->field("NumerWpl")->asInteger())
                           .arg(DopuszczalnyOdstepNumeru)
                           .arg(dok_->NastepnyNumerWplaty() + 1),
                       "Uwaga!", ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES) {
        DBEditNumer->setFocus();
        return;
    }
    TDokumentWplaty::Pole pole = TDokumentWplaty::Pole::Brak;
    const bool zapisany = dok_->Zapisz(&pole);
    PokazKomunikaty();
    if (!zapisany) {
        switch (pole) {
            case TDokumentWplaty::Pole::Bank:
                DBLookupComboBox1->setFocus();
                break;
            case TDokumentWplaty::Pole::DataPrzelewu:
                DBEdit11->setFocus();
                break;
            case TDokumentWplaty::Pole::Kwota:
                DBEditKwota->setFocus();
                break;
            case TDokumentWplaty::Pole::KwotaPrzelewu:
                DBEditKwotaPrz->setFocus();
                break;
            case TDokumentWplaty::Pole::Numer:
                // A transfer's number is given by the program: it has no edit of its own.
                if (RodzajDokumentu != DokPrzelew) DBEditNumer->setFocus();
                break;
            case TDokumentWplaty::Pole::Data:
                DBEditData->setFocus();
                break;
            case TDokumentWplaty::Pole::Brak:
                break;
        }
        return;
    }
    // The preview holds prepared pages: the tables may go back right after it. The document is
    // saved by now, so the window closes whatever the printing does; the documents list
    // reprints it.
    report::Report* raport = nullptr;
    if (RodzajDokumentu == DokKasa) raport = QRWydrukKPSklad;
    if (RodzajDokumentu == DokZwrot) raport = QRWydrukKW;
    if (raport) {
        try {
            if (CheckBoxDrukarka->isChecked()) raport->PrinterSetup(this);
            report::ShowReport(*raport);
        } catch (const std::exception&) {
            ui::MessageBox("Błąd wydruku dokumentu!", "Uwaga!", ui::MB_OK);
        }
    }
    Close();
}

void TNowaWplata::BitBtnAnulujClick() { Close(); }
