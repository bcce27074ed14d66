// Seed corpora of the fuzz targets live in tests/fuzz/corpus/<target>/ and are made by the tests
// that own the format: a test compares the stored seeds with what its generator makes, and
// HUEDRANE_WRITE_SEEDS=1 writes them into the source tree instead.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace ulib::test {

using Bytes = std::vector<std::uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

std::filesystem::path FuzzCorpusFolder(const std::string& target);

// Writes the seeds into the target's corpus folder when HUEDRANE_WRITE_SEEDS is set.
void WriteSeedsWhenAsked(const std::string& target, const Seeds& seeds);

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace ulib::test
