#include "Szkola/payments/UWyborKasy.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/RadioGroup.h"

TWyborKasy* WyborKasy = nullptr;

TWyborKasy::TWyborKasy(QWidget* parent) : ui::Window(parent) {
    setObjectName("WyborKasy");
    setWindowTitle("Wybierz");
    RadioGroup1 =
        new ui::RadioGroup(" Sposób wpłaty ", {"Kasa - wpłata gotówki", "Bank - przelew"}, this);
    RadioGroup1->SetItemIndex(0);
    Label1 = new QLabel("Rok księgowy", this);
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    SpeedButtonData = new QToolButton(this);
    SpeedButtonData->setObjectName("SpeedButtonData");
    SpeedButtonData->setText("...");
    ui::setHint(SpeedButtonData, "Kalendarz");
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");

    auto* rok = new QHBoxLayout;
    rok->addWidget(Label1);
    rok->addWidget(Label2);
    rok->addStretch();
    rok->addWidget(SpeedButtonData);
    auto* dol = new QHBoxLayout;
    dol->addStretch();
    dol->addWidget(BitBtn1);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(RadioGroup1);
    uklad->addLayout(rok);
    uklad->addLayout(dol);
    setFixedSize(sizeHint());

    connect(SpeedButtonData, &QToolButton::clicked, this, [this] { SpeedButtonDataClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    // Enter on the choice confirms it, as OK does.
    for (QRadioButton* r : RadioGroup1->findChildren<QRadioButton*>())
        ui::onEnterKey(r, [this] { BitBtn1Click(); });
}

void TWyborKasy::FormActivate() { Label2->setText(QString::number(Sesja().RokKsiegowy)); }

void TWyborKasy::SpeedButtonDataClick() {
    Kalendarz->ShowModal();
    Label2->setText(QString::number(Sesja().RokKsiegowy));
}

void TWyborKasy::BitBtn1Click() {
    Glowny->Tag = RadioGroup1->ItemIndex();
    Close();
}
