#pragma once
// Test fixture: a temporary data folder with the data modules and every window of the core,
// pupils and fees created as at start-up; message boxes and modal windows scripted.

#include <gtest/gtest.h>

#include <memory>

#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "platform/ui/TestHooks.h"
#include "support/FolderTestowy.h"

class SrodowiskoOkien : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::make_unique<FolderTestowy>();
        ASSERT_TRUE(folder->ok());
        ui::test::enable();
        ui::test::clearModalHandlers();
        ui::test::clearMessages();
        ui::test::shownWindows().clear();
        UtworzOknaRdzenia();
        Kalendarz->UstawDateRobocza(QDate(2025, 10, 15));
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaRdzenia();
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
