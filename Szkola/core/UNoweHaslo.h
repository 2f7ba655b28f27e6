#pragma once
// TNoweHaslo: the password of the built-in administrator of a new data folder, typed twice.

#include <QString>

#include "platform/ui/Window.h"

class QLineEdit;
class QPushButton;

class TNoweHaslo : public ui::Window {
    Q_OBJECT
  public:
    explicit TNoweHaslo(QWidget* parent = nullptr);

    QLineEdit* EditHaslo = nullptr;
    QLineEdit* EditPowtorz = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    bool Zatwierdzono() const { return zatwierdzono_; }
    QString Haslo() const { return haslo_; }

    void BitBtnOKClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    bool zatwierdzono_ = false;
    QString haslo_;
};

extern TNoweHaslo* NoweHaslo;

// Shows NoweHaslo (made on demand when start-up has not made it yet). False when cancelled.
bool PodajNoweHaslo(QString& haslo);
