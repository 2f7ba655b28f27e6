#include "Szkola/payments/UFiltrDokum.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "platform/db/Table.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TFiltrDokum* FiltrDokum = nullptr;

QString SprawdzOkresFiltru(const QString& od, const QString& do_, bool* doPola) {
    if (doPola) *doPola = false;
    const QDate a = ParsujDate(od), b = ParsujDate(do_);
    if (!a.isValid() || !b.isValid()) return "Określ przedział czasu przyjęcia opłat!";
    if (PorownajDaty(a, b) == 1) {
        if (doPola) *doPola = true;
        return "Źle określony przedział czasu przyjęcia opłat!";
    }
    return {};
}

TStanFiltruDokumentow BezKryteriow(const TStanFiltruDokumentow& s) {
    TStanFiltruDokumentow w;
    w.FiltrDokWlaczony = s.FiltrDokWlaczony;
    w.FiltrDokSposobWpl = "0";
    w.FiltrDokNrWyciagu = "0";
    return w;
}

namespace {

// Rows of a table in the order of `indeks`, walked on a cursor of their own.
template <typename F>
void wiersze(const QString& tabela, const QString& indeks, F&& f) {
    db::Table t(DM->Baza());
    t.setTableName(tabela);
    if (!t.exists()) return;
    t.setIndexFieldNames(indeks);
    t.open();
    for (t.first(); !t.eof(); t.next()) f(t);
}

void wybierzDane(QComboBox* c, const QVariant& dane) {
    const QSignalBlocker b(c);
    c->setCurrentIndex(c->findData(dane));
}

void bezWyboru(QComboBox* c) {
    const QSignalBlocker b(c);
    c->setCurrentIndex(-1);
}

void zaznacz(QCheckBox* c, bool on) {
    const QSignalBlocker b(c);
    c->setChecked(on);
}

}  // namespace

TFiltrDokum::TFiltrDokum(QWidget* parent) : ui::Window(parent) {
    setObjectName("FiltrDokum");
    setWindowTitle("Filtry dokumentów");

    auto pole = [this](QCheckBox*& c, const char* nazwa, const QString& tekst) {
        c = new QCheckBox(tekst, this);
        c->setObjectName(QString::fromLatin1(nazwa));
    };
    pole(ChBxData, "ChBxData", "W/g daty wpłaty");
    pole(ChBxSzkola, "ChBxSzkola", "W/g placówki");
    pole(ChBxRodzaj, "ChBxRodzaj", "W/g rodzaju opłaty");
    pole(ChBxBanki, "ChBxBanki", "W/g banku");
    pole(ChBxDokument, "ChBxDokument", "W/g rodzaju dokumentu");
    pole(ChBxWyciag, "ChBxWyciag", "W/g nr wyciągu");

    DBEditDataOd = new QLineEdit(this);
    DBEditDataDo = new QLineEdit(this);
    for (QLineEdit* e : {DBEditDataOd, DBEditDataDo}) {
        e->setMaxLength(10);
        e->setPlaceholderText("RRRR-MM-DD");
        e->installEventFilter(this);
    }
    DBLookupComboBoxSzk = new QComboBox(this);
    ComboBoxRodzaj = new QComboBox(this);
    ComboBoxBanki = new QComboBox(this);
    ComboBoxDokument = new QComboBox(this);
    ComboBoxDokument->addItems({"Wpłata   (KP)", "Wypłata (KW)"});
    DBEditWyciag = new QLineEdit(this);
    DBEditWyciag->setMaxLength(20);
    BitBtnOK = new QPushButton("&OK", this);
    BitBtnUsun = new QPushButton("&Usuń filtry", this);

    auto* siatka = new QGridLayout;
    auto* daty = new QHBoxLayout;
    daty->addWidget(DBEditDataOd);
    daty->addWidget(new QLabel("---", this));
    daty->addWidget(DBEditDataDo);
    siatka->addWidget(ChBxData, 0, 0);
    siatka->addWidget(new QLabel("data  od       ---     do", this), 0, 1);
    siatka->addLayout(daty, 1, 1);
    siatka->addWidget(ChBxSzkola, 2, 0);
    siatka->addWidget(DBLookupComboBoxSzk, 2, 1);
    siatka->addWidget(ChBxRodzaj, 3, 0);
    siatka->addWidget(ComboBoxRodzaj, 3, 1);
    siatka->addWidget(ChBxBanki, 4, 0);
    siatka->addWidget(ComboBoxBanki, 4, 1);
    siatka->addWidget(ChBxDokument, 5, 0);
    siatka->addWidget(ComboBoxDokument, 5, 1);
    siatka->addWidget(ChBxWyciag, 6, 0);
    siatka->addWidget(DBEditWyciag, 6, 1);
    siatka->setColumnStretch(1, 1);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(BitBtnOK);
    przyciski->addWidget(BitBtnUsun);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(siatka);
    uklad->addStretch();
    uklad->addLayout(przyciski);
    resize(520, 320);
    // Tab goes along the rows: each box, then what it restricts.
    QWidget* poprzedni = nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ChBxData, DBEditDataOd, DBEditDataDo, ChBxSzkola, DBLookupComboBoxSzk, ChBxRodzaj,
             ComboBoxRodzaj, ChBxBanki, ComboBoxBanki, ChBxDokument, ComboBoxDokument, ChBxWyciag,
             DBEditWyciag, BitBtnOK, BitBtnUsun}) {
        if (poprzedni) setTabOrder(poprzedni, w);
        poprzedni = w;
    }

    connect(ChBxData, &QCheckBox::toggled, this, [this] { ChBxDataExit(); });
    connect(ChBxSzkola, &QCheckBox::toggled, this, [this] { ChBxSzkolaExit(); });
    connect(ChBxRodzaj, &QCheckBox::toggled, this, [this] { ChBxRodzajExit(); });
    connect(ChBxBanki, &QCheckBox::toggled, this, [this] { ChBxBankiExit(); });
    connect(ChBxDokument, &QCheckBox::toggled, this, [this] { ChBxDokumentExit(); });
    connect(ChBxWyciag, &QCheckBox::toggled, this, [this] { ChBxWyciagExit(); });
    connect(DBEditDataOd, &QLineEdit::editingFinished, this, [this] { DBEditDataOdExit(); });
    connect(DBEditDataDo, &QLineEdit::editingFinished, this, [this] { DBEditDataDoExit(); });
    connect(DBEditWyciag, &QLineEdit::editingFinished, this, [this] { DBEditWyciagExit(); });
    connect(DBLookupComboBoxSzk, &QComboBox::currentIndexChanged, this,
            [this] { DBLookupComboBoxSzkExit(); });
    connect(ComboBoxRodzaj, &QComboBox::currentIndexChanged, this,
            [this] { ComboBoxRodzajExit(); });
    connect(ComboBoxBanki, &QComboBox::currentIndexChanged, this, [this] { ComboBoxBankiExit(); });
    connect(ComboBoxDokument, &QComboBox::currentIndexChanged, this,
            [this] { ComboBoxDokumentExit(); });
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnUsun, &QPushButton::clicked, this, [this] { BitBtnUsunClick(); });
    ui::enableEnterAsTab(this);
}

bool TFiltrDokum::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusIn) {
        if (o == DBEditDataOd) DBEditDataOdEnter();
        if (o == DBEditDataDo) DBEditDataDoEnter();
    }
    return ui::Window::eventFilter(o, e);
}

void TFiltrDokum::FormActivate() {
    if (!PierwszaAktywacja) return;
    PierwszaAktywacja = false;
    Kopia = Glowny ? Glowny->StanFiltruDokumentow : TStanFiltruDokumentow{};
    const TStanFiltruDokumentow s = Kopia;

    {
        const QSignalBlocker b(DBLookupComboBoxSzk);
        DBLookupComboBoxSzk->clear();
        wiersze("Szkoly.DB", "OpisS", [&](db::Table& t) {
            DBLookupComboBoxSzk->addItem(t.field("OpisS")->asString(),
                                         t.field("IdSzkoly")->asInteger());
        });
    }
    {
        // Every bank, active or not, in the order of the banks table.
        const QSignalBlocker b(ComboBoxBanki);
        ComboBoxBanki->clear();
        wiersze("Banki.db", DM->TBanki->indexFieldNames(), [&](db::Table& t) {
            ComboBoxBanki->addItem(t.field("Nazwa")->asString(), t.field("IdBanku")->asInteger());
        });
    }
    {
        const QSignalBlocker b(ComboBoxRodzaj);
        ComboBoxRodzaj->clear();
        wiersze("RodzajOplat.db", "Symbol", [&](db::Table& t) {
            ComboBoxRodzaj->addItem(
                t.field("Symbol")->asString() + " - " + t.field("Opis")->asString(),
                t.field("Symbol")->asString());
        });
    }

    const bool szkola = s.FiltrDokSzkola == "1";
    zaznacz(ChBxSzkola, szkola);
    if (szkola)
        wybierzDane(DBLookupComboBoxSzk, s.FiltrDokIdSzkoly);
    else
        bezWyboru(DBLookupComboBoxSzk);

    const bool data = s.FiltrDokData == "1";
    zaznacz(ChBxData, data);
    for (auto [e, tekst] :
         {std::pair{DBEditDataOd, s.FiltrDokDataOd}, std::pair{DBEditDataDo, s.FiltrDokDataDo}}) {
        const QSignalBlocker b(e);
        e->setText(data ? tekst : QString());
    }

    const bool dokument = s.FiltrDokDokument == "1";
    zaznacz(ChBxDokument, dokument);
    bezWyboru(ComboBoxDokument);
    {
        const QSignalBlocker b(ComboBoxDokument);
        if (dokument && s.FiltrDokSposobWpl == "K") ComboBoxDokument->setCurrentIndex(0);
        if (dokument && s.FiltrDokSposobWpl == "Z") ComboBoxDokument->setCurrentIndex(1);
    }

    const bool wyciag = s.FiltrDokWyciag == "1";
    zaznacz(ChBxWyciag, wyciag);
    {
        const QSignalBlocker b(DBEditWyciag);
        DBEditWyciag->setText(wyciag ? s.FiltrDokNrWyciagu : QString());
    }

    const bool bank = s.FiltrDokBank == "1";
    zaznacz(ChBxBanki, bank);
    if (bank)
        wybierzDane(ComboBoxBanki, s.FiltrDokIdBanku);
    else
        bezWyboru(ComboBoxBanki);

    const bool rodzaj = s.FiltrDokRodzaj == "1";
    zaznacz(ChBxRodzaj, rodzaj);
    if (rodzaj)
        wybierzDane(ComboBoxRodzaj, s.FiltrDokSymbol);
    else
        bezWyboru(ComboBoxRodzaj);
}

void TFiltrDokum::FormClose() { PierwszaAktywacja = true; }

void TFiltrDokum::Zatwierdz(const TStanFiltruDokumentow& s) {
    if (Glowny) Glowny->StanFiltruDokumentow = s;
}

// --- entering and leaving the value controls ---

void TFiltrDokum::DBEditDataOdEnter() {
    if (ParsujDate(DBEditDataOd->text()).isValid()) return;
    DBEditDataOd->setText(DataKrotka(Sesja().DataRobocza));
}

void TFiltrDokum::DBEditDataDoEnter() {
    if (ParsujDate(DBEditDataDo->text()).isValid()) return;
    DBEditDataDo->setText(DataKrotka(Sesja().DataRobocza));
}

void TFiltrDokum::DBEditDataOdExit() {
    Kopia.FiltrDokDataOd = DataKrotka(ParsujDate(DBEditDataOd->text()));
}
void TFiltrDokum::DBEditDataDoExit() {
    Kopia.FiltrDokDataDo = DataKrotka(ParsujDate(DBEditDataDo->text()));
}

void TFiltrDokum::DBLookupComboBoxSzkExit() {
    Kopia.FiltrDokIdSzkoly = DBLookupComboBoxSzk->currentData().toInt();
}

void TFiltrDokum::ComboBoxRodzajExit() {
    Kopia.FiltrDokSymbol = ComboBoxRodzaj->currentText().left(2);
}

// A box left without a choice records no bank.
void TFiltrDokum::ComboBoxBankiExit() {
    Kopia.FiltrDokIdBanku = ComboBoxBanki->currentData().toInt();
}

void TFiltrDokum::ComboBoxDokumentExit() {
    Kopia.FiltrDokSposobWpl = ComboBoxDokument->currentIndex() == 0 ? "K" : "Z";
}

void TFiltrDokum::DBEditWyciagExit() { Kopia.FiltrDokNrWyciagu = DBEditWyciag->text(); }

// --- whether a criterion is used ---

void TFiltrDokum::ChBxDataExit() {
    if (ChBxData->isChecked()) {
        Kopia.FiltrDokData = "1";
        return;
    }
    Kopia.FiltrDokData.clear();
    Kopia.FiltrDokDataOd.clear();
    Kopia.FiltrDokDataDo.clear();
    for (QLineEdit* e : {DBEditDataOd, DBEditDataDo}) {
        const QSignalBlocker b(e);
        e->clear();
    }
}

void TFiltrDokum::ChBxSzkolaExit() {
    if (ChBxSzkola->isChecked()) {
        Kopia.FiltrDokSzkola = "1";
        return;
    }
    Kopia.FiltrDokSzkola.clear();
    Kopia.FiltrDokIdSzkoly = 0;
    bezWyboru(DBLookupComboBoxSzk);
}

void TFiltrDokum::ChBxRodzajExit() {
    if (ChBxRodzaj->isChecked()) {
        Kopia.FiltrDokRodzaj = "1";
        return;
    }
    Kopia.FiltrDokRodzaj.clear();
    Kopia.FiltrDokSymbol.clear();
    bezWyboru(ComboBoxRodzaj);
}

void TFiltrDokum::ChBxBankiExit() {
    if (ChBxBanki->isChecked()) {
        Kopia.FiltrDokBank = "1";
        return;
    }
    Kopia.FiltrDokBank.clear();
    Kopia.FiltrDokIdBanku = 0;
    bezWyboru(ComboBoxBanki);
}

void TFiltrDokum::ChBxDokumentExit() {
    if (ChBxDokument->isChecked()) {
        Kopia.FiltrDokDokument = "1";
        return;
    }
    Kopia.FiltrDokDokument.clear();
    Kopia.FiltrDokSposobWpl = "0";
    bezWyboru(ComboBoxDokument);
}

void TFiltrDokum::ChBxWyciagExit() {
    if (ChBxWyciag->isChecked()) {
        Kopia.FiltrDokWyciag = "1";
        return;
    }
    Kopia.FiltrDokWyciag.clear();
    Kopia.FiltrDokNrWyciagu = "0";
    const QSignalBlocker b(DBEditWyciag);
    DBEditWyciag->clear();
}

// --- the buttons ---

// What the controls show is what is recorded, whichever control had the focus last.
void TFiltrDokum::WszystkieWartosci() {
    DBEditDataOdExit();
    DBEditDataDoExit();
    DBLookupComboBoxSzkExit();
    ComboBoxRodzajExit();
    ComboBoxBankiExit();
    ComboBoxDokumentExit();
    DBEditWyciagExit();
}

void TFiltrDokum::BitBtnOKClick() {
    if (ChBxData->isChecked()) {
        bool doPola = false;
        const QString blad =
            SprawdzOkresFiltru(DBEditDataOd->text(), DBEditDataDo->text(), &doPola);
        if (!blad.isEmpty()) {
            ui::MessageBox(blad, "Uwaga", ui::MB_OK);
            (doPola ? DBEditDataDo : DBEditDataOd)->setFocus();
            return;
        }
    }
    WszystkieWartosci();
    Kopia.FiltrDokWlaczony = "Tak";
    ChBxDataExit();
    ChBxRodzajExit();
    ChBxSzkolaExit();
    ChBxBankiExit();
    ChBxDokumentExit();
    ChBxWyciagExit();
    Zatwierdz(Kopia);
    Close();
}

void TFiltrDokum::BitBtnUsunClick() {
    for (QCheckBox* c : {ChBxData, ChBxRodzaj, ChBxSzkola, ChBxBanki, ChBxDokument, ChBxWyciag})
        zaznacz(c, false);
    ChBxDataExit();
    ChBxRodzajExit();
    ChBxSzkolaExit();
    ChBxBankiExit();
    ChBxDokumentExit();
    ChBxWyciagExit();
    Zatwierdz(BezKryteriow(Kopia));
    Close();
}
