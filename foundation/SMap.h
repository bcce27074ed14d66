// SMap<K, V>: an ordered list of (key, value) pairs kept in two parallel arrays.
// Pairs stay in insertion order and appending never merges equal keys: a lookup by key is a
// linear walk that finds the first match. Indexes wrap like SArray's.
#pragma once

#include "SArray.h"

#include <cstdint>
#include <utility>

namespace ulib {

template <typename K, typename V>
class SMap
{
public:
    static constexpr std::int32_t MaxCount = SArray<K>::MaxCount;

    std::int32_t Count() const { return keys_.Count(); }
    bool IsEmpty() const { return keys_.IsEmpty(); }

    // Adds the pair at the end, even when the key is already present; the errors of
    // SArray::Append, with the map left as it was.
    SError Append(K key, V value)
    {
        if (const SError err = keys_.Append(std::move(key)))
            return err;
        if (const SError err = values_.Append(std::move(value))) {
            keys_.Delete(-1);
            return err;
        }
        return 0;
    }

    // Removes the pair at the wrapped index; does nothing on an empty map.
    void Delete(std::int32_t index)
    {
        keys_.Delete(index);
        values_.Delete(index);
    }
    void Clear()
    {
        keys_.Clear();
        values_.Clear();
    }

    // The key or value of the pair at the wrapped index (a default element on an empty map,
    // as SArray gives).
    const K& Key(std::int32_t index) const { return keys_[index]; }
    K& Key(std::int32_t index) { return keys_[index]; }
    const V& Value(std::int32_t index) const { return values_[index]; }
    V& Value(std::int32_t index) { return values_[index]; }

    // The index of the first pair with this key, or -1.
    std::int32_t IndexOf(const K& key) const { return keys_.IndexOf(key); }

    // The value of the first pair with this key, or nullptr; owned by the map.
    const V* Find(const K& key) const
    {
        const std::int32_t index = IndexOf(key);
        return index < 0 ? nullptr : &values_[index];
    }
    V* Find(const K& key)
    {
        const std::int32_t index = IndexOf(key);
        return index < 0 ? nullptr : &values_[index];
    }

    bool operator==(const SMap&) const = default;

private:
    SArray<K> keys_;
    SArray<V> values_;
};

}  // namespace ulib
