#pragma once
// Statement templates: rows of GenerZest written through the data module's cursor, which is
// left standing on the new row (the chooser's current template).

#include <initializer_list>

#include "SrodowiskoZestawien.h"
#include "Szkola/reports/USzablonZestawienia.h"
#include "Szkola/reports/UWyborGenerZest.h"

struct PoleTestowe {
    int rodzaj, wiersz, polozenie;
};

class Szablony : public Zestawienia {
  protected:
    int DodajSzablon(int lp, const QString& tytul, int wiersze,
                     std::initializer_list<PoleTestowe> pola, int orientacja = 0) {
        db::Table* t = DMw->TGenerZest;
        if (!t->active()) t->open();
        t->append();
        t->field("LpZest")->setInteger(lp);
        t->field("Tytul1")->setString(tytul);
        t->field("Wiersze")->setInteger(wiersze);
        t->field("Orientacja")->setInteger(orientacja);
        for (int i = 1; i <= LiczbaRodzajow; ++i) t->field(QString("PN%1").arg(i))->setBool(false);
        for (const PoleTestowe& p : pola) {
            t->field(QString("PN%1").arg(p.rodzaj))->setBool(true);
            t->field(QString("PW%1").arg(p.rodzaj))->setInteger(p.wiersz);
            t->field(QString("PM%1").arg(p.rodzaj))->setInteger(p.polozenie);
        }
        t->post();
        return t->field("IdGenerZest")->asInteger();
    }

    // "Wybierz" in the chooser with the options window answering OK (0 screen, 1 printer).
    void Wybierz(int emisja = 0) {
        Opcje([emisja](TWydruk* w) { w->RadioGroup1->SetItemIndex(emisja); });
        WyborGenerZest->BitBtnWybierzClick();
    }

    void Uwagi(int idUcznia, const QString& uwagi) {
        f->Baza().exec("UPDATE KartUcznia SET Uwagi=? WHERE IdUcznia=?", {uwagi, idUcznia});
    }
};
