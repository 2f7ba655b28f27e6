#include "Szkola/fees/UParamPosilkow.h"

#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/RecordButtons.h"

TParamPosilkow* ParamPosilkow = nullptr;

namespace {

const char* const kDiety[] = {"Normalna", "Bezmleczna", "Bezglutenowa", "Szkolna"};

bool edytowana(const db::Table* t) { return t->active() && t->state() != db::Table::Browse; }
}  // namespace

QString SprawdzLiczbeDni(int rok, int nrMies, int liczbaDni) {
    if (rok < 2000 || rok > 2050) return "Rok musi leżeć w latach 2000 - 2050!";
    if (nrMies < 1 || nrMies > 12) return "Miesiąc musi być liczbą od 1 do 12!";
    if (liczbaDni < 0 || liczbaDni > QDate(rok, nrMies, 1).daysInMonth())
        return "Liczba dni szkolnych przekracza liczbę dni miesiąca!";
    return {};
}

TParamPosilkow::TParamPosilkow(QWidget* parent) : ui::Window(parent) {
    setObjectName("ParamPosilkow");
    setWindowTitle("Parametry posiłków");
    db::Table* ldni = DM->TLdni;
    db::Table* rp = DM->TRodzPos;

    using A = ui::RecordButtons::Action;
    auto przycisk = [](ui::RecordButtons* p, A a, const char* nazwa, const QString& tekst = {}) {
        auto* b = qobject_cast<QPushButton*>(p->button(a));
        b->setObjectName(nazwa);
        if (!tekst.isEmpty()) b->setText(tekst);
        return b;
    };

    // School days.
    auto* grupaDni = new QGroupBox("Liczba dni szkolnych w miesiącach", this);
    GroupBoxDni = grupaDni;
    DBGrid1 = new ui::DBGrid(grupaDni);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(ldni);
    DBGrid1->setColumns({ui::GridColumn("Rok", "Rok", 6), ui::GridColumn("NrMies", "Miesiąc", 8),
                         ui::GridColumn("LiczbaDni", "Dni szkolne", 11)});
    DBEditRok = new ui::DBEdit(ldni, "Rok", grupaDni);
    DBEditRok->setObjectName("DBEditRok");
    DBEditNrMies = new ui::DBEdit(ldni, "NrMies", grupaDni);
    DBEditNrMies->setObjectName("DBEditNrMies");
    DBEditLiczbaDni = new ui::DBEdit(ldni, "LiczbaDni", grupaDni);
    DBEditLiczbaDni->setObjectName("DBEditLiczbaDni");
    PrzyciskiDni = new ui::RecordButtons(grupaDni, ldni, DBGrid1);
    PrzyciskiDni->setButton(A::Exit, nullptr);  // one exit for the window, below
    SpeedButtonDopisz = przycisk(PrzyciskiDni, A::Add, "SpeedButtonDopisz");
    SpeedButtonPopraw = przycisk(PrzyciskiDni, A::Edit, "SpeedButtonPopraw");
    SpeedButtonUsun = przycisk(PrzyciskiDni, A::Delete, "SpeedButtonUsun");
    BitBtnZapisz = przycisk(PrzyciskiDni, A::Save, "BitBtnZapisz");
    BitBtnAnuluj = przycisk(PrzyciskiDni, A::Cancel, "BitBtnAnuluj");
    PrzyciskiDni->focusOnEdit = DBEditLiczbaDni;
    PrzyciskiDni->saveErrorText = "Błąd zapisu liczby dni szkolnych!";
    PrzyciskiDni->duplicateKeyText = "Liczba dni szkolnych tego miesiąca jest już wpisana!";
    PrzyciskiDni->started = [this](A a) {
        if (a == A::Add) ProponujMiesiac();
    };
    PrzyciskiDni->validate = [this] { return LiczbaDniPoprawna(); };
    auto* polaDni = new QFormLayout;
    polaDni->addRow("Rok:", DBEditRok);
    polaDni->addRow("Miesiąc:", DBEditNrMies);
    polaDni->addRow("Dni szkolne:", DBEditLiczbaDni);
    auto* przyciskiDni = new QVBoxLayout;
    for (QPushButton* b :
         {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun, BitBtnZapisz, BitBtnAnuluj})
        przyciskiDni->addWidget(b);
    przyciskiDni->addStretch();
    auto* ud = new QHBoxLayout(grupaDni);
    ud->addWidget(DBGrid1, 1);
    auto* prawa = new QVBoxLayout;
    prawa->addLayout(polaDni);
    prawa->addLayout(przyciskiDni);
    ud->addLayout(prawa);

    // Meal kinds.
    auto* grupaPos = new QGroupBox("Rodzaje posiłków i ich ceny według diety", this);
    GroupBoxPos = grupaPos;
    auto* siatka = new QGridLayout;
    siatka->addWidget(new QLabel("Posiłek", grupaPos), 0, 0);
    siatka->addWidget(new QLabel("Nazwa", grupaPos), 0, 1);
    for (int d = 0; d < 4; ++d)
        siatka->addWidget(new QLabel(QString::fromUtf8(kDiety[d]), grupaPos), 0, 2 + d);
    for (int k = 0; k < 6; ++k) {
        CheckBoxPs[k] =
            new ui::DBCheckBox(QString("%1").arg(k + 1), rp, QString("Ps%1").arg(k + 1), grupaPos);
        CheckBoxPs[k]->setObjectName(QString("CheckBoxPs%1").arg(k + 1));
        DBEditPosNaz[k] = new ui::DBEdit(rp, QString("PosNaz%1").arg(k + 1), grupaPos);
        DBEditPosNaz[k]->setObjectName(QString("DBEditPosNaz%1").arg(k + 1));
        siatka->addWidget(CheckBoxPs[k], k + 1, 0);
        siatka->addWidget(DBEditPosNaz[k], k + 1, 1);
        for (int d = 0; d < 4; ++d) {
            auto* c = new ui::DBLookupCombo(grupaPos);
            c->setObjectName(QString("DBLookupId%1Pos%2").arg(d).arg(k + 1));
            c->setDataField(rp, QString("Id%1Pos%2").arg(d).arg(k + 1));
            c->setListSource(DM->TCennik, "IdNaleznosc", "Opis");
            c->setMinimumWidth(140);
            DBLookupCena[d][k] = c;
            siatka->addWidget(c, k + 1, 2 + d);
        }
    }
    PrzyciskiPos = new ui::RecordButtons(grupaPos, rp);
    for (A a : {A::Add, A::Delete, A::Exit})
        PrzyciskiPos->setButton(a, nullptr);  // one row, always there
    SpeedButtonPoprawPos =
        przycisk(PrzyciskiPos, A::Edit, "SpeedButtonPoprawPos", "P&opraw posiłki");
    BitBtnZapiszPos = przycisk(PrzyciskiPos, A::Save, "BitBtnZapiszPos", "Za&pisz posiłki");
    BitBtnAnulujPos = przycisk(PrzyciskiPos, A::Cancel, "BitBtnAnulujPos", "A&nuluj");
    PrzyciskiPos->focusOnEdit = DBEditPosNaz[0];
    PrzyciskiPos->saveErrorText = "Błąd zapisu parametrów posiłków!";
    PrzyciskiPos->allow = [rp, this](A) {
        // The row is made with the data folder; should it be missing, editing makes it.
        if (!rp->isEmpty()) return true;
        rp->append();
        DBEditPosNaz[0]->setFocus();
        return false;
    };
    PrzyciskiPos->validate = [this] { return PosilkiPoprawne(); };
    auto* przyciskiPos = new QHBoxLayout;
    przyciskiPos->addWidget(SpeedButtonPoprawPos);
    przyciskiPos->addWidget(BitBtnZapiszPos);
    przyciskiPos->addWidget(BitBtnAnulujPos);
    przyciskiPos->addStretch();
    auto* up = new QVBoxLayout(grupaPos);
    up->addLayout(siatka);
    up->addLayout(przyciskiPos);

    BitBtnWyjscie = new QPushButton("&Wyjście", this);
    BitBtnWyjscie->setObjectName("BitBtnWyjscie");
    auto* dol = new QHBoxLayout;
    dol->addStretch();
    dol->addWidget(BitBtnWyjscie);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(grupaDni, 1);
    uklad->addWidget(grupaPos);
    uklad->addLayout(dol);
    resize(900, 620);

    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
    connect(ldni, &db::Table::stateChanged, this, [this] { UstawPrzyciski(); });
    connect(rp, &db::Table::stateChanged, this, [this] { UstawPrzyciski(); });
}

TParamPosilkow::~TParamPosilkow() {
    if (ParamPosilkow == this) ParamPosilkow = nullptr;
}

void TParamPosilkow::UstawPrzyciski() {
    // One part is edited at a time; the window is left only at rest.
    const bool dni = edytowana(DM->TLdni), pos = edytowana(DM->TRodzPos);
    GroupBoxPos->setEnabled(!dni);
    GroupBoxDni->setEnabled(!pos);
    BitBtnWyjscie->setVisible(!dni && !pos);
}

void TParamPosilkow::FormActivate() {
    for (db::Table* t : {DM->TLdni, DM->TRodzPos, DM->TCennik})
        if (!t->active()) t->open();
    for (auto& wiersz : DBLookupCena)
        for (ui::DBLookupCombo* c : wiersz) c->reloadList();
    DM->TRodzPos->first();
    DM->TLdni->last();
    UstawPrzyciski();
}

void TParamPosilkow::SpeedButtonDopiszClick() { PrzyciskiDni->add(); }
void TParamPosilkow::SpeedButtonPoprawClick() { PrzyciskiDni->edit(); }
void TParamPosilkow::SpeedButtonUsunClick() { PrzyciskiDni->remove(); }
void TParamPosilkow::BitBtnZapiszClick() { PrzyciskiDni->save(); }
void TParamPosilkow::BitBtnAnulujClick() { PrzyciskiDni->cancel(); }
void TParamPosilkow::SpeedButtonPoprawPosClick() { PrzyciskiPos->edit(); }
void TParamPosilkow::BitBtnZapiszPosClick() { PrzyciskiPos->save(); }
void TParamPosilkow::BitBtnAnulujPosClick() { PrzyciskiPos->cancel(); }

// The month after the last one entered is the likely next.
void TParamPosilkow::ProponujMiesiac() {
    db::Table* t = DM->TLdni;
    int rok = QDate::currentDate().year(), mies = QDate::currentDate().month();
    {
        db::Table ostatni(DM->Baza());
        ostatni.setTableName(t->tableName());
        ostatni.setIndexFieldNames("Rok;NrMies");
        ostatni.open();
        if (!ostatni.isEmpty()) {
            ostatni.last();
            rok = ostatni.field("Rok")->asInteger();
            mies = ostatni.field("NrMies")->asInteger() + 1;
            if (mies > 12) {
                mies = 1;
                ++rok;
            }
        }
    }
    t->field("Rok")->setInteger(rok);
    t->field("NrMies")->setInteger(mies);
}

bool TParamPosilkow::LiczbaDniPoprawna() {
    db::Table* t = DM->TLdni;
    const QString blad =
        SprawdzLiczbeDni(t->field("Rok")->asInteger(), t->field("NrMies")->asInteger(),
                         t->field("LiczbaDni")->asInteger());
    if (blad.isEmpty()) return true;
    ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
    return false;
}

bool TParamPosilkow::PosilkiPoprawne() {
    db::Table* t = DM->TRodzPos;
    for (int k = 1; k <= 6; ++k)
        if (t->field(QString("Ps%1").arg(k))->asBool() &&
            t->field(QString("PosNaz%1").arg(k))->asString().trimmed().isEmpty()) {
            ui::MessageBox(QString("Podaj nazwę posiłku %1!").arg(k), "Uwaga!", ui::MB_OK);
            DBEditPosNaz[k - 1]->setFocus();
            return false;
        }
    return true;
}

void TParamPosilkow::BitBtnWyjscieClick() { Close(); }

void TParamPosilkow::FormClose() {
    // Leaving by Esc or the close box drops what was not saved.
    PrzyciskiDni->cancel();
    PrzyciskiPos->cancel();
}
