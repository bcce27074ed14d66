// A scratch folder per test for the conversion tests, with the files they convert: scans written
// as BMP, documents imported from them, and files that are no picture at all.
#pragma once

#include "ScanFixture.h"

#include "SHuedraneOptions.h"
#include "SImportConvert.h"
#include "SString.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

class ConversionFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("huedrane_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    ulib::SString Path(const char* name) const { return ulib::SString((dir_ / name).string()); }
    bool Exists(const char* name) const { return std::filesystem::exists(dir_ / name); }
    std::string Bytes(const char* name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Garbage(const char* name) const { std::ofstream(dir_ / name) << "not a picture"; }
    // White paper with a closed dark outline, as a BMP file.
    void Picture(const char* name) const
    {
        ASSERT_EQ(ulib::WriteBmpFile(OutlinedScan(24, 18, 3), Path(name)), 0u);
    }
    // A document imported from such a picture.
    void Document(const char* name) const
    {
        Picture("source.bmp");
        ASSERT_EQ(ImportImageFileToDocumentFile(Path("source.bmp"), Path(name), SHuedraneOptions(), nullptr,
                                                      nullptr),
                  0u);
    }

    std::filesystem::path dir_;
};
