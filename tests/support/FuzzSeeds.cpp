// Reading and writing seed files for the fuzz corpora.
#include "FuzzSeeds.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace ulib::test {

std::filesystem::path FuzzCorpusFolder(const std::string& target)
{
    return std::filesystem::path(HUEDRANE_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / target;
}

void WriteSeedsWhenAsked(const std::string& target, const Seeds& seeds)
{
    if (std::getenv("HUEDRANE_WRITE_SEEDS") == nullptr)
        return;
    const std::filesystem::path folder = FuzzCorpusFolder(target);
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : seeds)
        WriteFileBytes(folder / name, bytes);
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace ulib::test
