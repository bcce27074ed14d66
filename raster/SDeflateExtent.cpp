#include "SDeflateExtent.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ulib {

namespace {

constexpr int MaxBits = 15;
constexpr int TableBits = 9;  // codes up to this long are found with one look-up

class BitReader
{
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Position() const { return position_; }
    bool Failed() const { return failed_; }

    // The next n (<= 25) bits, least significant first, without taking them; bits past the end
    // read as 0 (Take reports running past it).
    std::uint32_t Peek(int n) const
    {
        const std::size_t byte = position_ >> 3;
        std::uint64_t word = 0;
        if (byte + 8 <= size_) {
            std::memcpy(&word, data_ + byte, 8);
        } else {
            for (std::size_t i = 0; byte + i < size_ && i < 8; ++i)
                word |= std::uint64_t(data_[byte + i]) << (8 * i);
        }
        return std::uint32_t(word >> (position_ & 7)) & ((1u << n) - 1);
    }
    void Skip(int n)
    {
        position_ += std::size_t(n);
        if (position_ > size_ * 8)
            failed_ = true;
    }
    std::uint32_t Take(int n)
    {
        const std::uint32_t v = Peek(n);
        Skip(n);
        return v;
    }
    void AlignToByte() { Skip(int((8 - (position_ & 7)) & 7)); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// A canonical Huffman code: short codes by table, longer ones by counting codes of each length.
class Code
{
public:
    // False for an over-subscribed set of lengths. An incomplete set is accepted: its missing codes
    // are refused when met.
    bool Build(const std::uint8_t* lengths, int count)
    {
        counts_.fill(0);
        for (int s = 0; s < count; ++s)
            ++counts_[lengths[s]];
        counts_[0] = 0;
        int left = 1;
        for (int len = 1; len <= MaxBits; ++len) {
            left = 2 * left - counts_[std::size_t(len)];
            if (left < 0)
                return false;
        }
        std::array<std::uint16_t, MaxBits + 2> offsets{};
        for (int len = 1; len <= MaxBits; ++len)
            offsets[std::size_t(len + 1)] = std::uint16_t(offsets[std::size_t(len)] + counts_[std::size_t(len)]);
        for (int s = 0; s < count; ++s)
            if (lengths[s] != 0)
                symbols_[offsets[lengths[s]]++] = std::uint16_t(s);
        // Table entries: symbol << 4 | length, 0 for codes longer than the table.
        table_.fill(0);
        std::uint32_t code = 0;
        int index = 0;
        for (int len = 1; len <= TableBits; ++len) {
            for (int i = 0; i < counts_[std::size_t(len)]; ++i, ++code, ++index) {
                std::uint32_t reversed = 0;
                for (int b = 0; b < len; ++b)
                    reversed |= ((code >> b) & 1u) << (len - 1 - b);
                for (std::uint32_t slot = reversed; slot < table_.size(); slot += 1u << len)
                    table_[slot] = std::uint16_t(symbols_[std::size_t(index)] << 4 | len);
            }
            code <<= 1;
        }
        return true;
    }

    // The next symbol, or -1 for a code the set does not have.
    int Decode(BitReader& in) const
    {
        const std::uint16_t entry = table_[in.Peek(TableBits)];
        if (entry != 0) {
            in.Skip(entry & 15);
            return entry >> 4;
        }
        // Bit by bit through the lengths, as the codes are read most significant bit first.
        int code = 0, first = 0, index = 0;
        for (int len = 1; len <= MaxBits; ++len) {
            code |= int(in.Take(1));
            const int count = counts_[std::size_t(len)];
            if (code - count < first)
                return in.Failed() ? -1 : symbols_[std::size_t(index + code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    std::array<std::uint16_t, MaxBits + 1> counts_{};
    std::array<std::uint16_t, 320> symbols_{};
    std::array<std::uint16_t, 1u << TableBits> table_{};
};

constexpr std::uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint8_t DistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Walks one block's codes up to its end-of-block code.
bool WalkCodes(BitReader& in, const Code& literals, const Code& distances)
{
    for (;;) {
        const int symbol = literals.Decode(in);
        if (symbol < 0 || in.Failed())
            return false;
        if (symbol < 256)
            continue;
        if (symbol == 256)
            return true;
        if (symbol > 285)
            return false;
        in.Skip(LengthExtra[symbol - 257]);
        const int distance = distances.Decode(in);
        if (distance < 0 || distance > 29)
            return false;
        in.Skip(DistanceExtra[distance]);
    }
}

bool FixedCodes(Code& literals, Code& distances)
{
    std::uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    std::uint8_t five[30];
    std::fill(five, five + 30, 5);
    return literals.Build(lengths, 288) && distances.Build(five, 30);
}

bool DynamicCodes(BitReader& in, Code& literals, Code& distances)
{
    static constexpr std::uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    const int literalCount = int(in.Take(5)) + 257;
    const int distanceCount = int(in.Take(5)) + 1;
    const int lengthCount = int(in.Take(4)) + 4;
    if (literalCount > 286 || distanceCount > 30)
        return false;
    std::uint8_t lengths[320] = {};
    for (int i = 0; i < lengthCount; ++i)
        lengths[order[i]] = std::uint8_t(in.Take(3));
    Code lengthCode;
    if (!lengthCode.Build(lengths, 19))
        return false;
    const int total = literalCount + distanceCount;
    std::fill(lengths, lengths + 320, 0);
    for (int i = 0; i < total;) {
        const int symbol = lengthCode.Decode(in);
        if (symbol < 0 || in.Failed())
            return false;
        if (symbol < 16) {
            lengths[i++] = std::uint8_t(symbol);
            continue;
        }
        std::uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (i == 0)
                return false;
            value = lengths[i - 1];
            repeat = 3 + int(in.Take(2));
        } else if (symbol == 17) {
            repeat = 3 + int(in.Take(3));
        } else {
            repeat = 11 + int(in.Take(7));
        }
        if (i + repeat > total)
            return false;
        std::fill(lengths + i, lengths + i + repeat, value);
        i += repeat;
    }
    if (lengths[256] == 0)
        return false;  // a block must be able to end
    return literals.Build(lengths, literalCount) && distances.Build(lengths + literalCount, distanceCount);
}

}  // namespace

bool FindDeflateExtent(const std::uint8_t* data, std::size_t size, SDeflateExtent& extent)
{
    if (data == nullptr || size == 0)
        return false;
    BitReader in(data, size);
    Code literals, distances;
    for (;;) {
        const std::size_t header = in.Position();
        const bool last = in.Take(1) != 0;
        const std::uint32_t type = in.Take(2);
        if (type == 0) {
            in.AlignToByte();
            const std::uint32_t length = in.Take(16);
            const std::uint32_t complement = in.Take(16);
            if ((length ^ 0xFFFFu) != complement)
                return false;
            in.Skip(int(length) * 8);
        } else if (type == 1 || type == 2) {
            const bool built = type == 1 ? FixedCodes(literals, distances) : DynamicCodes(in, literals, distances);
            if (!built || !WalkCodes(in, literals, distances))
                return false;
        } else {
            return false;
        }
        if (in.Failed())
            return false;
        if (last) {
            extent.lastBlockBit = header;
            extent.endBit = in.Position();
            return true;
        }
    }
}

bool EndWithoutFinalBlock(std::vector<std::uint8_t>& stream)
{
    SDeflateExtent extent;
    if (!FindDeflateExtent(stream.data(), stream.size(), extent))
        return false;
    stream[extent.lastBlockBit >> 3] &= std::uint8_t(~(1u << (extent.lastBlockBit & 7)));
    // An empty stored block from the end bit: three zero header bits, zero bits to the byte
    // boundary, then LEN 0 and NLEN 0xFFFF.
    const std::size_t end = extent.endBit;
    const std::size_t bytes = (end + 3 + 7) / 8;
    stream.resize(std::max(stream.size(), bytes), 0);
    stream.resize(bytes);
    stream[end >> 3] &= std::uint8_t((1u << (end & 7)) - 1);
    for (std::size_t i = (end >> 3) + 1; i < bytes; ++i)
        stream[i] = 0;
    const std::uint8_t stored[4] = {0x00, 0x00, 0xFF, 0xFF};
    stream.insert(stream.end(), stored, stored + 4);
    return true;
}

}  // namespace ulib
