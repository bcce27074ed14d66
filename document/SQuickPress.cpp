// SQuickPress: the list of compressed layers and the operations on its members.
#include "SQuickPress.h"

namespace ulib {

SError SQuickPress::SetCount(std::int32_t count)
{
    const SError err = layers_.SetCount(count);
    if (err != 0 && err == ErrorFromIdentifier("object_alloc"))
        layers_.Clear();
    return err;
}

SError SQuickPress::Append(const SBitmap& bitmap)
{
    if (Count() >= MaxCount || layers_.Append(SQuickPressLayer()) != 0)
        return ErrorFromIdentifier("object_resize");
    width = bitmap.Width();
    height = bitmap.Height();
    format = bitmap.Format();
    const SError err = layers_[-1].Compress(bitmap);
    if (err != 0) {
        width = 0;
        height = 0;
        format = 24;
    }
    return err;
}

SError SQuickPress::DecodeLayer(std::int32_t index, SBitmap& bitmap, const SPoint* offset, const SRect* clip) const
{
    if (layers_.IsEmpty())
        return ErrorFromIdentifier("array_access");
    return layers_[index].Decode(bitmap, offset, clip);
}

SError SQuickPress::CompositeLayer(std::int32_t index, SBitmap& bitmap, const SPoint* offset, const SRect* clip) const
{
    if (layers_.IsEmpty())
        return ErrorFromIdentifier("array_access");
    return layers_[index].DecodeOnto(bitmap, offset, clip);
}

void SQuickPress::Clear()
{
    layers_.Clear();
    width = 0;
    height = 0;
    format = 24;
}

bool SQuickPress::Equals(const SQuickPress& other) const
{
    if (width != other.width || height != other.height || format != other.format || Count() != other.Count())
        return false;
    for (std::int32_t i = 0; i < Count(); ++i)
        if (!layers_[i].Equals(other.layers_[i]))
            return false;
    return true;
}

std::size_t SQuickPress::ByteSize() const
{
    std::size_t size = HeaderSize;
    for (const SQuickPressLayer& layer : layers_)
        size += layer.ByteSize();
    return size;
}

}  // namespace ulib
