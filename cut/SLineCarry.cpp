// The line carry: pieces of target colour lines found by a flood over their pixels, each pixel's
// vote read from the source around where it maps.
#include "SLineCarry.h"

#include "SCelValues.h"

#include <algorithm>
#include <new>

using namespace ulib;

namespace {

// The source pixels within this distance (a square) of where a target pixel maps vote for it:
// about a line's width, so a line that moved a pixel or two against the fitted movement still
// finds itself.
constexpr std::int32_t VoteReach = 3;
// A piece takes one colour when this share of its voting pixels vote for it, and enough of its
// pixels vote at all.
constexpr double PieceAgreement = 0.8;
constexpr double PieceVoters = 0.5;
// A pixel alone (in a piece of mixed votes) needs this many source pixels, all of one colour.
constexpr std::int32_t PixelVotes = 3;

constexpr std::uint32_t NoVote = 0xFFFFFFFFu;    // nothing of the pencil colour around
constexpr std::uint32_t Unconverted = 0xFFFFFFFEu;  // the source left the line as it is

// The pencil colour of an unconverted coloured line (codes other than blue and green are red).
std::uint32_t Pencil(std::uint32_t code) { return code == cel_values::CodeBlue || code == cel_values::CodeGreen ? code : 0; }

// Whether v is an unconverted coloured line, and its pencil colour.
bool ColourLine(std::uint32_t v, std::uint32_t& pencil)
{
    if (v == cel_values::NoLine || cel_values::IsConvertedLine(v) || cel_values::BlackDensity(v) != 0 ||
        cel_values::ColourDensity(v) == 0)
        return false;
    pencil = Pencil(cel_values::ColourCode(v));
    return true;
}

class Voter
{
public:
    explicit Voter(const SLineLayers& source) : source_(source)
    {
        hasFlags_ = source.flag.Format() == 8 && source.flag.Width() == source.trace.Width() &&
                    source.flag.Height() == source.trace.Height();
    }

    // What the source says around (sx, sy) for a line of the pencil colour: the colour most of its
    // converted pixels there have (unanimous tells whether all do), Unconverted when more of them are
    // still pencil lines, NoVote when the pencil colour is not there at all.
    std::uint32_t Vote(std::int32_t sx, std::int32_t sy, std::uint32_t pencil, bool& unanimous, std::int32_t& votes) const
    {
        std::uint32_t colours[4] = {};
        std::int32_t counts[4] = {}, kinds = 0, unconverted = 0;
        votes = 0;
        const std::int32_t y0 = std::max(0, sy - VoteReach), y1 = std::min(source_.trace.Height() - 1, sy + VoteReach);
        const std::int32_t x0 = std::max(0, sx - VoteReach), x1 = std::min(source_.trace.Width() - 1, sx + VoteReach);
        for (std::int32_t y = y0; y <= y1; ++y) {
            const std::uint32_t* row = source_.trace.Row32(y);
            const std::uint8_t* flags = hasFlags_ ? source_.flag.Row(y) : nullptr;
            for (std::int32_t x = x0; x <= x1; ++x) {
                const std::uint32_t v = row[x];
                std::uint32_t p = 0;
                if (ColourLine(v, p)) {
                    unconverted += p == pencil;
                    continue;
                }
                if (v == cel_values::NoLine || !cel_values::IsConvertedLine(v))
                    continue;
                if (flags && Pencil(flags[x] & 3u) != pencil)
                    continue;
                const std::uint32_t colour = cel_values::ColourBits(v);
                std::int32_t k = 0;
                while (k < kinds && colours[k] != colour)
                    ++k;
                if (k == kinds) {
                    if (kinds == 4)
                        continue;  // more colours than a line takes: the first four speak
                    colours[kinds++] = colour;
                }
                ++counts[k];
                ++votes;
            }
        }
        unanimous = kinds == 1;
        if (votes == 0 && unconverted == 0)
            return NoVote;
        if (unconverted >= votes)
            return Unconverted;
        const std::int32_t best = std::int32_t(std::max_element(counts, counts + kinds) - counts);
        return colours[best];
    }

private:
    const SLineLayers& source_;
    bool hasFlags_ = false;
};

struct PiecePixel
{
    std::int32_t x, y;
    std::uint32_t vote;
    bool sure;  // a unanimous vote of enough pixels
};

// Decides one piece and appends its conversions.
void DecidePiece(const std::vector<PiecePixel>& piece, std::vector<SLineConversion>& chosen)
{
    std::vector<std::pair<std::uint32_t, std::int32_t>> tally;
    std::int32_t voters = 0;
    for (const PiecePixel& p : piece) {
        if (p.vote == NoVote)
            continue;
        ++voters;
        auto it = std::find_if(tally.begin(), tally.end(), [&](const auto& t) { return t.first == p.vote; });
        if (it == tally.end())
            tally.push_back({p.vote, 1});
        else
            ++it->second;
    }
    if (voters == 0)
        return;
    const auto best = std::max_element(tally.begin(), tally.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    if (best->second >= PieceAgreement * voters && voters >= PieceVoters * double(piece.size())) {
        if (best->first != Unconverted)
            for (const PiecePixel& p : piece)
                chosen.push_back({p.x, p.y, best->first});
        return;
    }
    for (const PiecePixel& p : piece)
        if (p.sure && p.vote != Unconverted)
            chosen.push_back({p.x, p.y, p.vote});
}

}  // namespace

SError ChooseLineConversions(const SLineLayers& source, const SLineLayers& target, const SCelMapping& mapping,
                             std::vector<SLineConversion>& chosen, const SAbort* abort)
{
    chosen.clear();
    const std::int32_t w = target.trace.Width(), h = target.trace.Height();
    if (target.trace.Format() != 32 || source.trace.Format() != 32)
        return 0;
    try {
        std::vector<std::uint8_t> seen(std::size_t(w) * std::size_t(h), 0);
        std::vector<PiecePixel> piece;
        std::vector<std::pair<std::int32_t, std::int32_t>> stack;
        const Voter voter(source);
        for (std::int32_t y0 = 0; y0 < h; ++y0) {
            if (y0 % 64 == 0 && abort && abort->IsAborted()) {
                chosen.clear();
                return ErrorFromIdentifier("abort");
            }
            const std::uint32_t* row0 = target.trace.Row32(y0);
            for (std::int32_t x0 = 0; x0 < w; ++x0) {
                std::uint32_t pencil = 0;
                if (seen[std::size_t(y0) * std::size_t(w) + std::size_t(x0)] || !ColourLine(row0[x0], pencil))
                    continue;
                piece.clear();
                stack.assign(1, {x0, y0});
                seen[std::size_t(y0) * std::size_t(w) + std::size_t(x0)] = 1;
                while (!stack.empty()) {
                    const auto [x, y] = stack.back();
                    stack.pop_back();
                    double sx = 0, sy = 0;
                    mapping.Map(x, y, sx, sy);
                    bool unanimous = false;
                    std::int32_t votes = 0;
                    const std::uint32_t vote = voter.Vote(std::int32_t(std::lrint(sx)), std::int32_t(std::lrint(sy)), pencil,
                                                          unanimous, votes);
                    piece.push_back({x, y, vote, unanimous && votes >= PixelVotes});
                    for (std::int32_t ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
                        for (std::int32_t nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx) {
                            std::uint8_t& s = seen[std::size_t(ny) * std::size_t(w) + std::size_t(nx)];
                            std::uint32_t p = 0;
                            if (!s && ColourLine(target.trace.Row32(ny)[nx], p) && p == pencil) {
                                s = 1;
                                stack.push_back({nx, ny});
                            }
                        }
                }
                DecidePiece(piece, chosen);
            }
        }
        std::sort(chosen.begin(), chosen.end(), [](const SLineConversion& a, const SLineConversion& b) {
            return a.y != b.y ? a.y < b.y : a.x < b.x;
        });
    } catch (const std::bad_alloc&) {
        chosen.clear();
        return ErrorFromIdentifier("memory_temp");
    }
    return 0;
}
