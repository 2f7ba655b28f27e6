#pragma once
// Test fixtures: a temporary data folder with the data modules and (SrodowiskoOkien) every window
// of the core, pupils and fees created as at start-up; message boxes and modal windows scripted.

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "dane/FolderTestowy.h"
#include "platform/ui/TestHooks.h"

// A temporary data folder with its data modules; message boxes and modal windows scripted.
class SrodowiskoFolderu : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::make_unique<FolderTestowy>();
        ASSERT_TRUE(folder->ok());
        ui::test::enable();
        ui::test::clearModalHandlers();
        ui::test::clearMessages();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        ui::test::disable();
        folder.reset();
        BiezacyOperator = TOperator{};
    }

    // Texts of the message boxes shown so far.
    QStringList teksty() const {
        QStringList l;
        for (const auto& m : ui::test::messages()) l << m.text;
        return l;
    }

    std::unique_ptr<FolderTestowy> folder;
};

// The same with the windows of the core, pupils and fees as at start-up.
class SrodowiskoOkien : public SrodowiskoFolderu {
  protected:
    void SetUp() override {
        SrodowiskoFolderu::SetUp();
        if (HasFatalFailure()) return;
        ui::test::shownWindows().clear();
        UtworzOknaRdzenia();
        DodajPoleceniaUczniow(Glowny);
        DodajPoleceniaOplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2025, 10, 15));
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaRdzenia();
        SrodowiskoFolderu::TearDown();
    }
};
