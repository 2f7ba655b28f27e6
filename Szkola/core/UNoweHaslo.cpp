#include "Szkola/core/UNoweHaslo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UFolderDanych.h"
#include "platform/ui/MessageBox.h"

TNoweHaslo* NoweHaslo = nullptr;

TNoweHaslo::TNoweHaslo(QWidget* parent) : ui::Window(parent) {
    setObjectName("NoweHaslo");
    setWindowTitle("Nowa baza danych");
    EditHaslo = new QLineEdit(this);
    EditHaslo->setObjectName("EditHaslo");
    EditHaslo->setEchoMode(QLineEdit::Password);
    EditHaslo->setMaxLength(64);
    EditPowtorz = new QLineEdit(this);
    EditPowtorz->setObjectName("EditPowtorz");
    EditPowtorz->setEchoMode(QLineEdit::Password);
    EditPowtorz->setMaxLength(64);
    BitBtnOK = new QPushButton("&OK", this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");
    auto* opis = new QLabel(
        QString("Hasło operatora \"%1\" nowej bazy danych:").arg(NazwaAdministratora), this);
    auto* f = new QFormLayout;
    f->addRow("Hasło:", EditHaslo);
    f->addRow("Powtórz hasło:", EditPowtorz);
    auto* p = new QHBoxLayout;
    p->addStretch();
    p->addWidget(BitBtnOK);
    p->addWidget(BitBtnAnuluj);
    auto* u = new QVBoxLayout(this);
    u->addWidget(opis);
    u->addLayout(f);
    u->addLayout(p);
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(EditHaslo, &QLineEdit::returnPressed, this, [this] { EditPowtorz->setFocus(); });
    connect(EditPowtorz, &QLineEdit::returnPressed, this, [this] { BitBtnOKClick(); });
}

void TNoweHaslo::FormActivate() {
    zatwierdzono_ = false;
    haslo_.clear();
    EditHaslo->setFocus();
}

void TNoweHaslo::BitBtnOKClick() {
    if (EditHaslo->text().isEmpty()) {
        ui::MessageBox("Podaj hasło!", "Uwaga!", ui::MB_OK);
        EditHaslo->setFocus();
        return;
    }
    if (EditHaslo->text() != EditPowtorz->text()) {
        ui::MessageBox("Powtórzone hasło jest inne niż podane!", "Uwaga!", ui::MB_OK);
        EditPowtorz->clear();
        EditPowtorz->setFocus();
        return;
    }
    haslo_ = EditHaslo->text();
    zatwierdzono_ = true;
    Close();
}

void TNoweHaslo::BitBtnAnulujClick() { Close(); }

void TNoweHaslo::FormClose() {
    EditHaslo->clear();
    EditPowtorz->clear();
}

bool PodajNoweHaslo(QString& haslo) {
    if (!NoweHaslo) NoweHaslo = new TNoweHaslo;
    NoweHaslo->ShowModal();
    if (!NoweHaslo->Zatwierdzono()) return false;
    haslo = NoweHaslo->Haslo();
    return true;
}
