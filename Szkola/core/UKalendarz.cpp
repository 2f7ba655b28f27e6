#include "Szkola/core/UKalendarz.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "Szkola/core/USesja.h"

TKalendarz* Kalendarz = nullptr;

namespace {
const QDate kNajwczesniej(2000, 1, 1);
const QDate kNajpozniej(2050, 12, 31);

QDate wZakresie(const QDate& d) {
    if (!d.isValid())
        return QDate::currentDate() < kNajwczesniej ? kNajwczesniej : QDate::currentDate();
    if (d < kNajwczesniej) return kNajwczesniej;
    if (d > kNajpozniej) return kNajpozniej;
    return d;
}
}  // namespace

TKalendarz::TKalendarz(QWidget* parent) : ui::Window(parent) {
    setObjectName("Kalendarz");
    setWindowTitle("Data robocza");
    MonthCalendar = new QCalendarWidget(this);
    MonthCalendar->setObjectName("MonthCalendar");
    MonthCalendar->setDateRange(kNajwczesniej, kNajpozniej);
    MonthCalendar->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    MonthCalendar->setFirstDayOfWeek(Qt::Monday);
    MonthCalendar->setGridVisible(true);

    CSpinEditR = new QSpinBox(this);
    CSpinEditR->setObjectName("CSpinEditR");
    CSpinEditR->setRange(2000, 2050);
    CSpinEditM = new QSpinBox(this);
    CSpinEditM->setObjectName("CSpinEditM");
    CSpinEditM->setRange(1, 12);

    BitBtnOK = new QPushButton("&OK", this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");

    auto* siatka = new QGridLayout;
    siatka->addWidget(new QLabel("Rok obrachunkowy:", this), 0, 0);
    siatka->addWidget(CSpinEditR, 0, 1);
    siatka->addWidget(new QLabel("Miesiąc:", this), 1, 0);
    siatka->addWidget(CSpinEditM, 1, 1);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(BitBtnOK);
    przyciski->addWidget(BitBtnAnuluj);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(MonthCalendar);
    uklad->addLayout(siatka);
    uklad->addLayout(przyciski);

    connect(MonthCalendar, &QCalendarWidget::selectionChanged, this,
            [this] { MonthCalendarClick(); });
    connect(CSpinEditR, &QSpinBox::valueChanged, this, [this] { CSpinEditChange(); });
    connect(CSpinEditM, &QSpinBox::valueChanged, this, [this] { CSpinEditChange(); });
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    // Enter or a double click on a day confirms it, as OK does.
    connect(MonthCalendar, &QCalendarWidget::activated, this, [this] { BitBtnOKClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    setEnterButton(BitBtnOK);  // Enter in the year or month typed confirms as well

    UstawDateRobocza(QDate::currentDate());
}

QDate TKalendarz::DataRobocza() const { return MonthCalendar->selectedDate(); }
int TKalendarz::RokRoboczy() const { return CSpinEditR->value(); }
int TKalendarz::MiesiacRoboczy() const { return CSpinEditM->value(); }

void TKalendarz::UstawDateRobocza(const QDate& d) {
    const QDate w = wZakresie(d);
    synchronizacja_ = true;
    MonthCalendar->setSelectedDate(w);
    MonthCalendar->setCurrentPage(w.year(), w.month());
    CSpinEditR->setValue(w.year());
    CSpinEditM->setValue(w.month());
    synchronizacja_ = false;
    zapiszSesje();
}

void TKalendarz::zapiszSesje() {
    TSesja& s = Sesja();
    s.DataRobocza = DataRobocza();
    s.RokKsiegowy = RokRoboczy();
    s.MiesiacKsiegowy = MiesiacRoboczy();
}

// A day picked in the calendar sets the working year and month with it.
void TKalendarz::MonthCalendarClick() {
    if (synchronizacja_) return;
    const QDate d = MonthCalendar->selectedDate();
    synchronizacja_ = true;
    CSpinEditR->setValue(d.year());
    CSpinEditM->setValue(d.month());
    synchronizacja_ = false;
}

// A year or month typed moves the calendar there, keeping the day where the month has it.
void TKalendarz::CSpinEditChange() {
    if (synchronizacja_) return;
    const QDate d = MonthCalendar->selectedDate();
    const int r = CSpinEditR->value(), m = CSpinEditM->value();
    const QDate pierwszy(r, m, 1);
    const QDate nowa(r, m, qMin(d.isValid() ? d.day() : 1, pierwszy.daysInMonth()));
    synchronizacja_ = true;
    MonthCalendar->setSelectedDate(nowa);
    MonthCalendar->setCurrentPage(r, m);
    synchronizacja_ = false;
}

void TKalendarz::FormActivate() {
    zatwierdzono_ = false;
    zapamietana_ = DataRobocza();
    rok_ = RokRoboczy();
    mies_ = MiesiacRoboczy();
    MonthCalendar->setFocus();
}

void TKalendarz::BitBtnOKClick() {
    zatwierdzono_ = true;
    Close();
}

void TKalendarz::BitBtnAnulujClick() { Close(); }

void TKalendarz::FormClose() {
    if (zatwierdzono_) {
        zapiszSesje();
        emit DataZmieniona();
        return;
    }
    // Cancel and the close box leave the working date as it was.
    synchronizacja_ = true;
    MonthCalendar->setSelectedDate(zapamietana_);
    MonthCalendar->setCurrentPage(zapamietana_.year(), zapamietana_.month());
    CSpinEditR->setValue(rok_);
    CSpinEditM->setValue(mies_);
    synchronizacja_ = false;
}
