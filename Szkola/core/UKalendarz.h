#pragma once
// TKalendarz: the working-date window (month calendar, working year and month).

#include <QDate>

#include "platform/ui/Window.h"

class QCalendarWidget;
class QSpinBox;
class QPushButton;

class TKalendarz : public ui::Window {
    Q_OBJECT
  public:
    explicit TKalendarz(QWidget* parent = nullptr);

    QCalendarWidget* MonthCalendar = nullptr;
    QSpinBox* CSpinEditR = nullptr;  // working (accounting) year 2000..2050
    QSpinBox* CSpinEditM = nullptr;  // working month 1..12
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    // What the window shows; the rest of the program reads the confirmed values from Sesja().
    QDate DataRobocza() const;
    int RokRoboczy() const;
    int MiesiacRoboczy() const;
    void UstawDateRobocza(const QDate& d);  // for tests and start-up

    // True when the last showing ended with OK (cancel and the close box keep the old date).
    bool Zatwierdzono() const { return zatwierdzono_; }

    void BitBtnOKClick();
    void BitBtnAnulujClick();

  signals:
    void DataZmieniona();  // the operator confirmed a working date

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    void zapiszSesje();
    void MonthCalendarClick();
    void CSpinEditChange();
    QDate zapamietana_;
    int rok_ = 0, mies_ = 0;
    bool zatwierdzono_ = false;
    bool synchronizacja_ = false;
};

extern TKalendarz* Kalendarz;
