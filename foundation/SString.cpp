#include "SString.h"

#include <utility>

namespace ulib {

SString::SString(const char* text)
    : SString(text ? std::string_view(text) : std::string_view())
{
}

SString::SString(std::string_view text)
{
    if (text.size() <= std::size_t(MaxLength))
        text_.assign(text);
}

SString::SString(std::string text)
{
    if (text.size() <= std::size_t(MaxLength))
        text_ = std::move(text);
}

void SString::SetLength(std::int32_t length)
{
    if (length < 0 || length > MaxLength) {
        text_.clear();
        return;
    }
    text_.resize(std::size_t(length), ' ');
}

std::int32_t SString::WrapIndex(std::int32_t index) const
{
    const std::int32_t length = Length();
    std::int32_t wrapped = index % length;
    return wrapped < 0 ? wrapped + length : wrapped;
}

char SString::operator[](std::int32_t index) const
{
    if (text_.empty())
        return 0;
    return text_[std::size_t(WrapIndex(index))];
}

void SString::SetAt(std::int32_t index, char byte)
{
    if (text_.empty())
        return;
    text_[std::size_t(WrapIndex(index))] = byte;
}

bool SString::Append(std::string_view more)
{
    if (more.size() > std::size_t(MaxLength) - text_.size())
        return false;
    text_.append(more);
    return true;
}

}  // namespace ulib
