#include "Szkola/core/UTajneHaslo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TTajneHaslo* TajneHaslo = nullptr;

namespace {
const QString kKodDostepu = QStringLiteral("kotra");
}

TTajneHaslo::TTajneHaslo(QWidget* parent) : ui::Window(parent) {
    setObjectName("TajneHaslo");
    setWindowTitle("Kod dostępu");
    EditHaslo = new QLineEdit(this);
    EditHaslo->setObjectName("EditHaslo");
    EditHaslo->setEchoMode(QLineEdit::Password);
    EditHaslo->setMaxLength(20);
    BitBtnOK = new QPushButton("&OK", this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");
    auto* f = new QFormLayout;
    f->addRow("Kod dostępu:", EditHaslo);
    auto* p = new QHBoxLayout;
    p->addStretch();
    p->addWidget(BitBtnOK);
    p->addWidget(BitBtnAnuluj);
    auto* u = new QVBoxLayout(this);
    u->addLayout(f);
    u->addLayout(p);
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(EditHaslo, &QLineEdit::returnPressed, this, [this] { BitBtnOKClick(); });
}

void TTajneHaslo::FormActivate() {
    zgodne_ = false;
    EditHaslo->clear();
    EditHaslo->setFocus();
}

void TTajneHaslo::BitBtnOKClick() {
    zgodne_ = EditHaslo->text() == kKodDostepu;
    Close();
}

void TTajneHaslo::BitBtnAnulujClick() {
    zgodne_ = false;
    Close();
}

void TTajneHaslo::FormClose() { EditHaslo->clear(); }

bool PodajTajneHaslo() {
    if (!TajneHaslo) TajneHaslo = new TTajneHaslo;
    TajneHaslo->ShowModal();
    const bool zgodne = TajneHaslo->Zgodne();
    TajneHaslo->EditHaslo->clear();
    return zgodne;
}
