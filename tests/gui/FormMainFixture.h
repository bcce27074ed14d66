// The main window on the offscreen platform with a controller, key filter, scripted seam, settings
// store and scratch folder of the test's own; shared by the main window's test files.
#pragma once

#include "SHeldKeyFilter.h"
#include "SHuedraneController.h"
#include "SMessage.h"
#include "SScriptedPlatform.h"
#include "TCanvas.h"
#include "TFormMain.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <unistd.h>

class FormMainFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("huedrane-formmain-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        // The window reads the settings when it is made: a store of the test's own.
        if (const char* previous = getenv("HUEDRANE_CONFIG_HOME"))
            previousConfig_ = previous;
        setenv("HUEDRANE_CONFIG_HOME", (folder_ / "config").c_str(), 1);
        previousTitle_ = ulib::ApplicationTitle();
        qApp->installEventFilter(&keys_);
        form_ = std::make_unique<TFormMain>(c_, keys_, ulib::SString("/usr/bin/huedrane-test"));
    }
    void TearDown() override
    {
        form_.reset();
        qApp->removeEventFilter(&keys_);
        // The window sets the title of every box; other tests expect the one they found.
        ulib::SetApplicationTitle(previousTitle_.Str());
        if (previousConfig_.empty())
            unsetenv("HUEDRANE_CONFIG_HOME");
        else
            setenv("HUEDRANE_CONFIG_HOME", previousConfig_.c_str(), 1);
        std::filesystem::remove_all(folder_);
    }

    ulib::SString Path(const std::string& name) const { return ulib::SString((folder_ / name).string()); }

    QAction* Item(const char* name) const
    {
        QAction* action = form_->Action(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    // Opens a menu as the user would, which recomputes its items.
    void OpenMenu(const char* name) { emit form_->Menu(name)->aboutToShow(); }
    // Opens a document through the File menu's Open item, as the user would.
    void OpenThroughMenu(const ulib::SString& path)
    {
        seam_.QueueFileChoice({path.Str()});
        Item("MenuOpen")->trigger();
        ASSERT_EQ(c_.Path(), path);
    }
    // The canvas pixels (at actual size) in an RGB colour inside and outside a document rectangle.
    std::pair<int, int> CanvasPixels(std::uint32_t rgb, const ulib::SRect& near) const
    {
        const QImage shot = form_->Canvas()->PaintMain()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        std::pair<int, int> count{0, 0};
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if ((shot.pixel(x, y) | 0xFF000000u) == (rgb | 0xFF000000u))
                    ++(near.Contains({x, y}) ? count.first : count.second);
        return count;
    }

    std::filesystem::path folder_;
    std::string previousConfig_;
    ulib::SString previousTitle_;
    ulib::test::SScriptedPlatform seam_;
    ulib::test::ScopedPlatform scope_{seam_};
    SHeldKeyFilter keys_;
    SHuedraneController c_;
    std::unique_ptr<TFormMain> form_;
};
