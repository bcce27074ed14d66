// The check of a cel: each kind of finding on drawn cels (the background and edge rules, the speck
// rule, lines through corners and of one colour), the errors, and every finding against a plain
// flood-fill reading of random cels.
#include "PaintFixture.h"
#include "SCelCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

using namespace ulib;

namespace {

// Trace art: '.' no line, 'k' black, 'r' 'b' 'g' red, blue and green pencil, 'c' converted.
SBitmap TraceFromArt(const Art& art)
{
    SBitmap trace;
    trace.Create(std::int32_t(art[0].size()), std::int32_t(art.size()), 32);
    for (std::int32_t y = 0; y < trace.Height(); ++y)
        for (std::int32_t x = 0; x < trace.Width(); ++x) {
            std::uint32_t v = cel_values::NoLine;
            switch (art[std::size_t(y)][std::size_t(x)]) {
            case 'k': v = cel_values::BlackLine(200); break;
            case 'r': v = cel_values::ColouredLine(200, cel_values::CodeRed); break;
            case 'b': v = cel_values::ColouredLine(200, cel_values::CodeBlue); break;
            case 'g': v = cel_values::ColouredLine(200, cel_values::CodeGreen); break;
            case 'c': v = cel_values::ConvertedLine(200, 0x123456); break;
            default: break;
            }
            trace.Row32(y)[x] = v;
        }
    return trace;
}

std::vector<SFinding> Check(const Art& paint, const SCheckOptions& options = {}, const Art& trace = {})
{
    const SCel cel = CelFromArt(paint);
    std::vector<SFinding> findings;
    EXPECT_EQ(CheckCel(cel.paint, trace.empty() ? SBitmap() : TraceFromArt(trace), options, findings), 0u);
    return findings;
}

using Summary = std::tuple<SFindingKind, SRect, std::int64_t, std::int32_t, std::int32_t>;
std::vector<Summary> Summarise(const std::vector<SFinding>& findings)
{
    std::vector<Summary> s;
    for (const SFinding& f : findings)
        s.emplace_back(f.kind, f.bounds, f.pixels, f.at.x, f.at.y);
    return s;
}

}  // namespace

TEST(CelCheck, UnpaintedAreasLeaveTheBackgroundAndTheEdgeAloneUnlessAsked)
{
    const Art art = {"..........",
                     ".####.....",
                     ".#..#.....",
                     ".#.R#.....",
                     ".####.....",
                     "######.###",
                     "..#..#.#..",
                     "..#..#.#.."};
    // The box at the top left holds three unpainted pixels; the pockets at the bottom touch the edge.
    EXPECT_EQ(Summarise(Check(art)),
              (std::vector<Summary>{{SFindingKind::Unpainted, SRect{2, 2, 4, 4}, 3, 2, 2}}));
    SCheckOptions all;
    all.includeEdge = true;
    const std::vector<SFinding> every = Check(art, all);
    ASSERT_EQ(every.size(), 5u);  // the background, the box, and the three pockets at the bottom
    EXPECT_EQ(every[0].at, (SPoint{0, 0}));
    EXPECT_EQ(every[0].pixels, 10 + 4 * 6 + 3);
    EXPECT_EQ(every[1].at, (SPoint{2, 2}));
    EXPECT_EQ(every[2].at, (SPoint{0, 6}));
    EXPECT_EQ(every[3].at, (SPoint{3, 6}));
    EXPECT_EQ(every[4].at, (SPoint{8, 6}));
    EXPECT_EQ(every[4].bounds, (SRect{8, 6, 10, 8}));

    // The region holding (1, 1) is the background even away from the edge.
    const Art framed = {"#####",
                        "#...#",
                        "#.#.#",
                        "#####"};
    EXPECT_TRUE(Check(framed).empty());
    EXPECT_EQ(Check(framed, all).size(), 1u);
}

TEST(CelCheck, SpecksAreSmallRegionsInAColourNoNeighbourHas)
{
    const Art art = {"GGGGGGGGGGGGG",
                     "G###G###G###G",
                     "G#R#G#G#G#R#G",
                     "G###G###G#R#G",
                     "GGGGGGGGG###G",
                     "GGGGGGGGGGGGG"};
    // The red pixel at (2, 2) and the red pair at (10, 2): green all round. The green pixel at
    // (6, 2) is the colour of its neighbours.
    const std::vector<SFinding> found = Check(art);
    EXPECT_EQ(Summarise(found), (std::vector<Summary>{{SFindingKind::Speck, SRect{2, 2, 3, 3}, 1, 2, 2},
                                                      {SFindingKind::Speck, SRect{10, 2, 11, 4}, 2, 10, 2}}));
    SCheckOptions size2;
    size2.minSpeck = 2;  // smaller than 2 pixels
    EXPECT_EQ(Check(art, size2).size(), 1u);
    SCheckOptions none;
    none.minSpeck = 0;
    EXPECT_TRUE(Check(art, none).empty());

    // A neighbour across two border pixels counts; across three it does not.
    EXPECT_TRUE(Check({"RRRRRRR",
                       "R#####R",
                       "R##R##R",
                       "R#####R",
                       "RRRRRRR"})
                    .empty());
    EXPECT_EQ(Check({"RRRRRRRRR",
                     "R#######R",
                     "R#######R",
                     "R#######R",
                     "R###R###R",
                     "R#######R",
                     "R#######R",
                     "R#######R",
                     "RRRRRRRRR"})
                  .size(),
              1u);
}

TEST(CelCheck, UnconvertedLinesArePiecesThroughCornersOfOneColour)
{
    const Art paint(6, std::string(10, 'G'));
    const Art trace = {"r.........",
                       ".r....kkkk",
                       "..rb..cccc",
                       "...b......",
                       "gg.b......",
                       "..........",};
    const std::vector<SFinding> found = Check(paint, {}, trace);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(Summarise(found), (std::vector<Summary>{{SFindingKind::Line, SRect{0, 0, 3, 3}, 3, 0, 0},
                                                      {SFindingKind::Line, SRect{3, 2, 4, 5}, 3, 3, 2},
                                                      {SFindingKind::Line, SRect{0, 4, 2, 5}, 2, 0, 4}}));
    EXPECT_EQ(found[0].code, cel_values::CodeRed);
    EXPECT_EQ(found[1].code, cel_values::CodeBlue);
    EXPECT_EQ(found[2].code, cel_values::CodeGreen);
    EXPECT_STREQ(LineCodeName(found[1].code), "blue");
    EXPECT_STREQ(FindingKindName(found[1].kind), "line");
}

TEST(CelCheck, RefusesLayersItCannotReadAndLeavesNoFindings)
{
    const SCel cel = CelFromArt({"....", "...."});
    std::vector<SFinding> findings(3);
    SBitmap eight;
    eight.Create(4, 2, 8);
    EXPECT_EQ(ErrorIdentifier(CheckCel(eight, SBitmap(), {}, findings)), "domain");
    EXPECT_TRUE(findings.empty());
    SBitmap wider;
    wider.Create(5, 2, 32);
    EXPECT_EQ(ErrorIdentifier(CheckCel(cel.paint, wider, {}, findings)), "domain");
    SAbort stopped;
    stopped.RequestAbort();
    EXPECT_EQ(ErrorIdentifier(CheckCel(cel.paint, cel.trace, {}, findings, &stopped)), "abort");
    EXPECT_TRUE(findings.empty());
}

// Every finding against a flood-fill reading of random cels: regions, their unpainted pixels and
// the background rule, specks by their neighbours, lines as 8-connected pieces of one code.
TEST(CelCheck, AgreesWithAFloodFillReadingOfRandomCels)
{
    std::mt19937 rng(19);
    for (int round = 0; round < 80; ++round) {
        const std::int32_t w = 4 + std::int32_t(rng() % 24), h = 4 + std::int32_t(rng() % 16);
        Art paint(std::size_t(h), std::string(std::size_t(w), '.')), trace = paint;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                paint[std::size_t(y)][std::size_t(x)] = "#..RGR#"[rng() % 7];
                trace[std::size_t(y)][std::size_t(x)] = "....rrbgkc"[rng() % 10];
            }
        SCheckOptions options;
        options.minSpeck = std::int32_t(rng() % 6);
        options.includeEdge = rng() % 2;
        const std::vector<SFinding> found = Check(paint, options, trace);

        // Regions by flood fill, then what each should give.
        std::vector<std::int32_t> label(std::size_t(w * h), 0);
        std::int32_t count = 0;
        auto inside = [&](std::int32_t x, std::int32_t y) { return paint[std::size_t(y)][std::size_t(x)] != '#'; };
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if (inside(x, y) && label[std::size_t(y * w + x)] == 0)
                    FloodFrom(label, w, h, {x, y}, ++count, inside);
        std::vector<Summary> want;
        for (std::int32_t l = 1; l <= count; ++l) {
            SRect all, blank;
            SPoint first{-1, -1}, firstBlank{-1, -1};
            std::int64_t area = 0, blanks = 0;
            bool edge = false;
            for (std::int32_t y = 0; y < h; ++y)
                for (std::int32_t x = 0; x < w; ++x) {
                    if (label[std::size_t(y * w + x)] != l)
                        continue;
                    ++area;
                    all = all.Union({x, y, x + 1, y + 1});
                    first = first.x < 0 ? SPoint{x, y} : first;
                    edge = edge || x == 0 || y == 0 || x == w - 1 || y == h - 1 || (x == 1 && y == 1);
                    if (paint[std::size_t(y)][std::size_t(x)] == '.') {
                        ++blanks;
                        blank = blank.Union({x, y, x + 1, y + 1});
                        firstBlank = firstBlank.x < 0 ? SPoint{x, y} : firstBlank;
                    }
                }
            if (blanks && (options.includeEdge || !edge))
                want.emplace_back(SFindingKind::Unpainted, blank, blanks, firstBlank.x, firstBlank.y);
            if (blanks || area >= options.minSpeck)
                continue;
            // The speck rule, read as a list of the colours across 1..2 border pixels.
            const char colour = paint[std::size_t(first.y)][std::size_t(first.x)];
            bool shared = false;
            for (std::int32_t y = 0; y < h; ++y)
                for (std::int32_t x = 0; x < w; ++x)
                    if (label[std::size_t(y * w + x)] == l)
                        for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
                            for (std::int32_t k = 1; k <= 3; ++k) {
                                const std::int32_t qx = x + k * dx, qy = y + k * dy;
                                if (qx < 0 || qy < 0 || qx >= w || qy >= h)
                                    break;
                                if (!inside(qx, qy))
                                    continue;
                                shared = shared || (label[std::size_t(qy * w + qx)] != l &&
                                                    paint[std::size_t(qy)][std::size_t(qx)] == colour);
                                break;
                            }
            if (!shared)
                want.emplace_back(SFindingKind::Speck, all, area, first.x, first.y);
        }
        std::stable_sort(want.begin(), want.end(), [](const Summary& a, const Summary& b) {
            return std::tuple(std::get<0>(a), std::get<4>(a), std::get<3>(a)) <
                   std::tuple(std::get<0>(b), std::get<4>(b), std::get<3>(b));
        });

        // Lines: pieces of one letter through sides and corners.
        std::vector<std::int32_t> piece(std::size_t(w * h), 0);
        std::int32_t pieces = 0;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const char c = trace[std::size_t(y)][std::size_t(x)];
                if ((c != 'r' && c != 'b' && c != 'g') || piece[std::size_t(y * w + x)])
                    continue;
                ++pieces;
                std::vector<SPoint> stack{{x, y}};
                piece[std::size_t(y * w + x)] = pieces;
                SRect box;
                std::int64_t n = 0;
                while (!stack.empty()) {
                    const SPoint p = stack.back();
                    stack.pop_back();
                    ++n;
                    box = box.Union({p.x, p.y, p.x + 1, p.y + 1});
                    for (std::int32_t qy = std::max(0, p.y - 1); qy <= std::min(h - 1, p.y + 1); ++qy)
                        for (std::int32_t qx = std::max(0, p.x - 1); qx <= std::min(w - 1, p.x + 1); ++qx)
                            if (trace[std::size_t(qy)][std::size_t(qx)] == c && !piece[std::size_t(qy * w + qx)]) {
                                piece[std::size_t(qy * w + qx)] = pieces;
                                stack.push_back({qx, qy});
                            }
                }
                want.emplace_back(SFindingKind::Line, box, n, x, y);
            }
        EXPECT_EQ(Summarise(found), want) << "round " << round;
    }
}

// A recheck after paint changed inside a rectangle, borders staying, finds what a full check of
// the changed layer finds.
TEST(CelCheck, ARecheckAfterPaintingFindsWhatAFullCheckFinds)
{
    std::mt19937 rng(23);
    const std::uint32_t values[] = {cel_values::Unpainted, ArtValue('R'), ArtValue('G'), ArtValue('B')};
    for (int round = 0; round < 60; ++round) {
        const std::int32_t w = 6 + std::int32_t(rng() % 30), h = 6 + std::int32_t(rng() % 20);
        Art paint(std::size_t(h), std::string(std::size_t(w), '.')), trace = paint;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                paint[std::size_t(y)][std::size_t(x)] = "#..RG#"[rng() % 6];
                trace[std::size_t(y)][std::size_t(x)] = "....rb"[rng() % 6];
            }
        SCel cel = CelFromArt(paint);
        const SBitmap lines = TraceFromArt(trace);
        SCheckOptions options;
        options.minSpeck = 1 + std::int32_t(rng() % 6);
        SCelChecker checker;
        ASSERT_EQ(checker.Check(cel.paint, lines, options), 0u);
        for (int edit = 0; edit < 5; ++edit) {
            const std::int32_t x0 = std::int32_t(rng() % std::uint32_t(w)), y0 = std::int32_t(rng() % std::uint32_t(h));
            const SRect changed{x0, y0, x0 + 1 + std::int32_t(rng() % 8), y0 + 1 + std::int32_t(rng() % 6)};
            for (std::int32_t y = changed.top; y < std::min(changed.bottom, h); ++y)
                for (std::int32_t x = changed.left; x < std::min(changed.right, w); ++x)
                    if (!cel_values::IsBorder(cel.paint.Row32(y)[x]))
                        cel.paint.Row32(y)[x] = values[rng() % 4];
            ASSERT_TRUE(checker.RecheckPaint(cel.paint, changed));
            std::vector<SFinding> fresh;
            ASSERT_EQ(CheckCel(cel.paint, lines, options, fresh), 0u);
            EXPECT_EQ(Summarise(checker.Findings()), Summarise(fresh)) << "round " << round << " edit " << edit;
        }
    }
    SCelChecker unchecked;
    const SCel cel = CelFromArt({"...."});
    EXPECT_FALSE(unchecked.RecheckPaint(cel.paint, {0, 0, 1, 1}));
}
