#pragma once
// TLogowanie: the sign-in window. The operator types the name and the password; the password is
// checked against the salted hash of the operators table only.

#include <QString>

#include "Szkola/core/UOperator.h"
#include "platform/ui/Window.h"

class QLineEdit;
class QPushButton;

// Checks the name (surname or short name, letter case ignored) and the password against the
// operators table (DM->TOperatorzy). On success fills `op` and `wbudowany` (true for the
// built-in administrator) and returns true. A wrong name and a wrong password look alike.
bool ZalogujOperatora(const QString& nazwa, const QString& haslo, TOperator& op, bool& wbudowany);

class TLogowanie : public ui::Window {
    Q_OBJECT
  public:
    explicit TLogowanie(QWidget* parent = nullptr);

    QLineEdit* EditOperator = nullptr;
    QLineEdit* EditHaslo = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    // Result of the last showing: true when an operator signed in (BiezacyOperator is filled).
    bool Zalogowano() const { return zalogowano_; }
    bool Wbudowany() const { return wbudowany_; }

    void BitBtnOKClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    bool zalogowano_ = false;
    bool wbudowany_ = false;
};

extern TLogowanie* Logowanie;
