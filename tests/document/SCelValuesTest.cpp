// The layer value predicates against the encoding, over a sweep of values that reaches every byte
// position: a paint value is exactly one of border, unpainted, painted or untouchable, and the
// trace accessors read back what the constructors wrote.
#include "SCelValues.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace cel_values;

namespace {

// Every value whose bytes are each 0x00, 0x01, 0x7F, 0xFE or 0xFF: every border, unpainted, no line
// and their one-bit and one-byte neighbours.
std::vector<std::uint32_t> SweepValues()
{
    static constexpr std::array<std::uint32_t, 5> bytes{0x00, 0x01, 0x7F, 0xFE, 0xFF};
    std::vector<std::uint32_t> values;
    for (std::uint32_t b3 : bytes)
        for (std::uint32_t b2 : bytes)
            for (std::uint32_t b1 : bytes)
                for (std::uint32_t b0 : bytes)
                    values.push_back(b3 << 24 | b2 << 16 | b1 << 8 | b0);
    return values;
}

}  // namespace

TEST(CelValues, EveryPaintValueIsExactlyOneKind)
{
    const std::array<std::uint32_t, 4> borders{BorderBlack, BorderBlue, BorderGreen, BorderRed};
    int borderCount = 0;
    for (std::uint32_t v : SweepValues()) {
        const bool listed = v == borders[0] || v == borders[1] || v == borders[2] || v == borders[3];
        EXPECT_EQ(IsBorder(v), listed) << std::hex << v;
        EXPECT_TRUE(!IsBlackOrRedBorder(v) || IsBorder(v)) << std::hex << v;
        borderCount += IsBorder(v);
        // Painting changes painted and unpainted pixels and never a border.
        EXPECT_FALSE(IsBorder(v) && TakesPaint(v)) << std::hex << v;
        EXPECT_FALSE(IsBorder(v) && IsPainted(v)) << std::hex << v;
    }
    EXPECT_EQ(borderCount, 4);
    EXPECT_TRUE(TakesPaint(Unpainted));
    EXPECT_FALSE(IsPainted(Unpainted));
    EXPECT_TRUE(IsBlackOrRedBorder(BorderBlack) && IsBlackOrRedBorder(BorderRed));
    EXPECT_FALSE(IsBlackOrRedBorder(BorderBlue) || IsBlackOrRedBorder(BorderGreen));
}

TEST(CelValues, TraceLinesReadBackWhatWasWritten)
{
    for (std::uint32_t d : {1u, 0x7Fu, 255u}) {
        EXPECT_EQ(BlackDensity(BlackLine(d)), d);
        EXPECT_FALSE(IsConvertedLine(BlackLine(d)));
        for (std::uint32_t code : {CodeRed, CodeBlue, CodeGreen}) {
            const std::uint32_t line = ColouredLine(d, code);
            EXPECT_EQ(ColourDensity(line), d);
            EXPECT_EQ(ColourCode(line), code);
            EXPECT_EQ(BlackDensity(line), 0u);
            EXPECT_FALSE(IsConvertedLine(line));
            EXPECT_NE(line, NoLine);
        }
        const std::uint32_t converted = ConvertedLine(d, ColourBits(ulib::SColor(10, 20, 30, 200)));
        EXPECT_TRUE(IsConvertedLine(converted));
        EXPECT_EQ(ConvertedDensity(converted), d);
        EXPECT_EQ(ColourBits(converted), 0x000A141Eu);  // red 10, green 20, blue 30; the transparency dropped
    }
    for (std::uint32_t v : SweepValues())
        EXPECT_EQ(HasLineDensity(v), BlackDensity(v) != 0 || ColourDensity(v) != 0) << std::hex << v;
    EXPECT_FALSE(IsConvertedLine(NoLine));
}
