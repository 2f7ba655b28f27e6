#pragma once
// A data folder with a main window, the print-options window and the statements' report forms,
// every hook on: nothing blocks, message boxes are recorded, previews are kept for reading.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>
#include <functional>
#include <memory>

#include "support/UkladWydruku.h"
#include <ostream>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/reports/UPoleceniaZestawien.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/TestHooks.h"
#include "dane/FolderTestowy.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class Zestawienia : public ::testing::Test {
  protected:
    std::unique_ptr<FolderTestowy> f;
    TGlowny* glowny = nullptr;

    void SetUp() override {
        ui::test::enable();
        report::test::enable();
        report::test::setToday(QDate(2024, 10, 15));
        f = std::make_unique<FolderTestowy>();
        ASSERT_TRUE(f->ok());
        glowny = new TGlowny;
        Glowny = glowny;
        DM->UstawStanFiltru(&glowny->StanFiltru);
        UsunZestawienia();
        UtworzZestawienia();
    }

    void TearDown() override {
        UsunZestawienia();
        ui::test::clearModalHandlers();
        delete glowny;
        Glowny = nullptr;
        f.reset();
        report::test::disable();
        ui::test::disable();
    }

    // The print-options window answers with OK (or "Anuluj") after `ustaw` set its controls.
    void Opcje(const std::function<void(TWydruk*)>& ustaw, bool ok = true) {
        ui::test::setModalHandlerFor("TWydruk", [ustaw, ok](ui::Window* w) {
            auto* wy = static_cast<TWydruk*>(w);
            if (ustaw) ustaw(wy);
            if (ok)
                wy->BitBtnOKClick();
            else
                wy->BitBtnAnulujClick();
        });
    }

    static QString Podglad() {
        const report::PreparedReport* p = report::test::lastShown();
        const QString t = p ? p->toText() : QString();
        if (qEnvironmentVariableIsSet("POKAZ_PODGLAD")) fprintf(stderr, "%s\n", qPrintable(t));
        // Every statement looked at here is also read for texts that do not fit.
        if (p) {
            EXPECT_TRUE(uklad::Poprawny(*p));
        }
        return t;
    }

    // Rows of the last preview that contain `tekst`.
    static QStringList Wiersze(const QString& tekst) {
        QStringList w;
        for (const QString& l : Podglad().split('\n'))
            if (l.contains(tekst)) w << l;
        return w;
    }

    // Tables whose name starts with the prefix (temp schema included).
    int IleTabel(const QString& prefiks) {
        if (f->Baza().backend() != db::Database::Backend::SQLite)  // work tables stay in SQLite's memory
            return f->Baza()
                       .scalar("SELECT COUNT(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                               "WHERE c.relkind = 'r' AND c.relname LIKE ? AND n.nspname = 'public'",
                               {prefiks.toLower() + "%"})
                       .toInt() +
                   f->Baza()
                       .scalar("SELECT COUNT(*) FROM sqlite_temp_master WHERE type='table' AND name LIKE ?", {prefiks + "%"})
                       .toInt();
        return f->Baza()
            .scalar(
                "SELECT COUNT(*) FROM (SELECT name FROM sqlite_temp_master WHERE type='table' "
                "UNION ALL "
                "SELECT name FROM sqlite_master WHERE type='table') WHERE name LIKE ?",
                {prefiks + "%"})
            .toInt();
    }

    bool WyjscieOdblokowane() const {
        return !glowny->SpeedButtonWyjscieO->isHidden() && glowny->SpeedButtonWyjscieZ->isHidden();
    }
};
