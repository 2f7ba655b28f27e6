#include "Szkola/core/ULogowanie.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UHaslo.h"
#include "platform/ui/MessageBox.h"

TLogowanie* Logowanie = nullptr;

namespace {

bool pole(db::Table& t, const QString& nazwa) {
    const db::Field* f = t.findField(nazwa);
    return f && f->asBool();
}

QString tekst(db::Table& t, const QString& nazwa) {
    const db::Field* f = t.findField(nazwa);
    return f ? f->asString() : QString();
}

// A hash of nothing anyone knows: checked when the name matches no operator, so that a wrong
// name costs as long as a wrong password.
const QString& hashZastepczy() {
    static const QString h = HashHasla(QStringLiteral("\x01brak operatora\x01"));
    return h;
}

}  // namespace

bool ZalogujOperatora(const QString& nazwa, const QString& haslo, TOperator& op, bool& wbudowany) {
    const QString szukana = nazwa.trimmed();
    if (!DM || !DM->TOperatorzy || szukana.isEmpty()) return false;
    db::Table& t = *DM->TOperatorzy;
    const bool byla = t.active();
    if (!byla) t.open();
    bool znaleziony = false, zgodne = false;
    for (t.first(); !t.eof(); t.next()) {
        if (t.field("Nazwisko")->asString().trimmed().compare(szukana, Qt::CaseInsensitive) != 0 &&
            tekst(t, "Skrot").trimmed().compare(szukana, Qt::CaseInsensitive) != 0)
            continue;
        znaleziony = true;
        if (!SprawdzHaslo(t.field("Haslo")->asString(), haslo)) continue;
        zgodne = true;
        op = TOperator{};
        op.Nazwisko = t.field("Nazwisko")->asString();
        op.Skrot = tekst(t, "Skrot");
        op.Symbol = t.field("Symbol")->asInteger();
        op.Przegladanie = pole(t, "Przegladanie");
        op.Aktualizacja = pole(t, "Aktualizacja");
        op.Administrator = pole(t, "Administrator");
        op.Parametry = pole(t, "Parametry");
        op.Transmisje = pole(t, "Transmisje");
        wbudowany = pole(t, "Wbudowany");
        break;
    }
    if (!znaleziony) SprawdzHaslo(hashZastepczy(), haslo);
    if (!byla) t.close();
    return zgodne;
}

TLogowanie::TLogowanie(QWidget* parent) : ui::Window(parent) {
    setObjectName("Logowanie");
    setWindowTitle("Logowanie");
    EditOperator = new QLineEdit(this);
    EditOperator->setObjectName("EditOperator");
    EditOperator->setMaxLength(30);
    EditHaslo = new QLineEdit(this);
    EditHaslo->setObjectName("EditHaslo");
    EditHaslo->setEchoMode(QLineEdit::Password);
    EditHaslo->setMaxLength(64);
    BitBtnOK = new QPushButton("&OK", this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");

    auto* formularz = new QFormLayout;
    formularz->addRow("Operator:", EditOperator);
    formularz->addRow("Hasło:", EditHaslo);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(BitBtnOK);
    przyciski->addWidget(BitBtnAnuluj);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(formularz);
    uklad->addLayout(przyciski);
    setMinimumWidth(320);

    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    // Enter in the password edit signs in; it presses no button.
    connect(EditHaslo, &QLineEdit::returnPressed, this, [this] { BitBtnOKClick(); });
    connect(EditOperator, &QLineEdit::returnPressed, this, [this] { EditHaslo->setFocus(); });
}

void TLogowanie::FormActivate() {
    zalogowano_ = false;
    wbudowany_ = false;
    EditHaslo->clear();
    if (EditOperator->text().isEmpty())
        EditOperator->setFocus();
    else
        EditHaslo->setFocus();
}

void TLogowanie::BitBtnOKClick() {
    TOperator op;
    bool wbudowany = false;
    if (!ZalogujOperatora(EditOperator->text(), EditHaslo->text(), op, wbudowany)) {
        ui::MessageBox("Nieprawidłowa nazwa operatora lub hasło!", "Uwaga!", ui::MB_OK);
        EditHaslo->clear();
        EditHaslo->setFocus();
        return;
    }
    BiezacyOperator = op;
    zalogowano_ = true;
    wbudowany_ = wbudowany;
    EditHaslo->clear();
    Close();
}

void TLogowanie::BitBtnAnulujClick() {
    zalogowano_ = false;
    EditHaslo->clear();
    Close();
}

// Every way out (the close box and Esc too) leaves no password in the window.
void TLogowanie::FormClose() { EditHaslo->clear(); }
