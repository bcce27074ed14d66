// A scratch folder for a converter test with a settings folder of its own (HUEDRANE_CONFIG_HOME,
// put back afterwards), and optionally a plug-in folder named by the options, as the window
// stores it.
#pragma once

#include "SHuedraneSettings.h"
#include "SRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

class CliSettingsFolder : public testing::Test
{
protected:
    explicit CliSettingsFolder(const std::string& prefix)
        : folder(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid())))
    {
    }

    void SetUp() override
    {
        std::filesystem::create_directories(folder / "config");
        const char* previous = std::getenv("HUEDRANE_CONFIG_HOME");
        hadConfig_ = previous != nullptr;
        savedConfig_ = previous ? previous : "";
        ::setenv("HUEDRANE_CONFIG_HOME", (folder / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (hadConfig_)
            ::setenv("HUEDRANE_CONFIG_HOME", savedConfig_.c_str(), 1);
        else
            ::unsetenv("HUEDRANE_CONFIG_HOME");
        std::filesystem::remove_all(folder);
    }

    // The options name folder/plugins as the plug-in folder.
    void NamePluginFolder()
    {
        ulib::SRegistryValues values;
        values.Append(ulib::SString("SpiDirectory"), ulib::SString((folder / "plugins").string()));
        ASSERT_EQ(ulib::WriteRegistryValues(ulib::SString(SettingsKey), values), 0u);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;

private:
    std::string savedConfig_;
    bool hadConfig_ = false;
};
