// One QApplication for every widget test, on the offscreen platform unless a display is asked for.
// The windows read and write per-user files (settings, the colour chart): the tests get folders of
// their own so a run never touches the user's.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("huedrane-gui-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home / "data");
    std::filesystem::create_directories(home / "config");
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("HUEDRANE_CONFIG_HOME", (home / "config").c_str(), 1);
    int result = 0;
    {
        QApplication application(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
