#pragma once
// TTajneHaslo: the access-code window that guards irreversible deletions. The code is never
// shown and the field is emptied on every way out.

#include "platform/ui/Window.h"

class QLineEdit;
class QPushButton;

class TTajneHaslo : public ui::Window {
    Q_OBJECT
  public:
    explicit TTajneHaslo(QWidget* parent = nullptr);

    QLineEdit* EditHaslo = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    // True when the last showing ended with OK on the right code.
    bool Zgodne() const { return zgodne_; }

    void BitBtnOKClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    bool zgodne_ = false;
};

extern TTajneHaslo* TajneHaslo;

// Shows TajneHaslo (made on demand). True only when the right access code was given.
bool PodajTajneHaslo();
