// A controller on the scripted platform seam with a scratch folder of its own, for the tests of
// the commands that read and write files (document commands, the command line).
#pragma once

#include "SHuedraneController.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

class ControllerFolder : public ::testing::Test
{
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("huedrane-" + std::to_string(::getpid()) + "-" +
                                    ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() +
                                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ulib::test::SScriptedPlatform seam;
    ulib::test::ScopedPlatform installed{seam};
    SHuedraneController c;

    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        c.SetUpFileDialogs();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string In(const std::string& name) const { return (folder / name).string(); }
};
