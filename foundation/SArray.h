// SArray<T>: the library's growable array of 0..65535 individually allocated elements.
// Each element lives in its own block, so a reference to one stays valid while others are
// appended, inserted or deleted. Indexes wrap around the count (negative counts from the end),
// and indexing an empty array yields a default element instead of failing.
#pragma once

#include "SError.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace ulib {

template <typename T>
class SArray
{
    using Slots = std::vector<std::unique_ptr<T>>;

    // Walks the elements themselves, not the blocks that hold them.
    template <typename Slot, typename Element>
    class Walker
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Element*;
        using reference = Element&;

        Walker() = default;
        explicit Walker(Slot slot) : slot_(slot) {}
        reference operator*() const { return **slot_; }
        pointer operator->() const { return slot_->get(); }
        Walker& operator++()
        {
            ++slot_;
            return *this;
        }
        Walker operator++(int)
        {
            Walker before = *this;
            ++slot_;
            return before;
        }
        bool operator==(const Walker&) const = default;

    private:
        Slot slot_{};
    };

public:
    static constexpr std::int32_t MaxCount = 65535;

    using iterator = Walker<typename Slots::iterator, T>;
    using const_iterator = Walker<typename Slots::const_iterator, const T>;

    SArray() = default;
    SArray(std::initializer_list<T> items)
    {
        for (const T& item : items)
            Append(item);
    }
    SArray(const SArray& other)
    {
        slots_.reserve(other.slots_.size());
        for (const auto& slot : other.slots_)
            slots_.push_back(std::make_unique<T>(*slot));
    }
    SArray& operator=(const SArray& other)
    {
        if (this != &other) {
            SArray copy(other);
            slots_.swap(copy.slots_);
        }
        return *this;
    }
    SArray(SArray&&) noexcept = default;
    SArray& operator=(SArray&&) noexcept = default;

    std::int32_t Count() const { return static_cast<std::int32_t>(slots_.size()); }
    bool IsEmpty() const { return slots_.empty(); }

    // Grows with default elements or drops elements from the end. A count outside 0..MaxCount
    // gives "array_size" and leaves the array empty; a failed allocation gives "memory_alloc"
    // (the block list) or "object_alloc" (an element) and leaves the array as it was.
    SError SetCount(std::int32_t count)
    {
        if (count < 0 || count > MaxCount) {
            slots_.clear();
            return ErrorFromIdentifier("array_size");
        }
        if (std::size_t(count) <= slots_.size()) {
            slots_.resize(std::size_t(count));
            return 0;
        }
        try {
            slots_.reserve(std::size_t(count));
        } catch (const std::bad_alloc&) {
            return ErrorFromIdentifier("memory_alloc");
        }
        const std::size_t before = slots_.size();
        try {
            while (slots_.size() < std::size_t(count))
                slots_.push_back(std::make_unique<T>());
        } catch (const std::bad_alloc&) {
            slots_.resize(before);
            return ErrorFromIdentifier("object_alloc");
        }
        return 0;
    }

    // Adds the element at the end. A full array gives "array_size"; a failed allocation gives
    // "object_alloc" (the element) or "memory_alloc" (the block list); the array is left as it was.
    SError Append(T item) { return Insert(Count(), std::move(item)); }

    // Inserts before the element at index, clamped to 0..Count() (Count() appends). Errors as Append.
    SError Insert(std::int32_t index, T item)
    {
        if (Count() >= MaxCount)
            return ErrorFromIdentifier("array_size");
        std::unique_ptr<T> slot;
        try {
            slot = std::make_unique<T>(std::move(item));
        } catch (const std::bad_alloc&) {
            return ErrorFromIdentifier("object_alloc");
        }
        const std::int32_t at = index < 0 ? 0 : (index > Count() ? Count() : index);
        try {
            slots_.insert(slots_.begin() + at, std::move(slot));  // no effect if it throws
        } catch (const std::bad_alloc&) {
            return ErrorFromIdentifier("memory_alloc");
        }
        return 0;
    }

    // Removes the element at the wrapped index; does nothing on an empty array.
    void Delete(std::int32_t index)
    {
        if (!slots_.empty())
            slots_.erase(slots_.begin() + Wrap(index));
    }

    void Clear() { slots_.clear(); }

    // The element at index modulo the count (negative counts from the end). On an empty array
    // the const form gives a shared default element that cannot be written; the other form gives
    // a scratch element of this thread, reset to the default at each such access, so a write to
    // it is discarded and never seen by another reader.
    const T& operator[](std::int32_t index) const
    {
        if (slots_.empty()) {
            static const T empty{};
            return empty;
        }
        return *slots_[std::size_t(Wrap(index))];
    }
    T& operator[](std::int32_t index)
    {
        if (slots_.empty()) {
            static thread_local T scratch{};
            scratch = T{};
            return scratch;
        }
        return *slots_[std::size_t(Wrap(index))];
    }

    // The index of the first element equal to item, or -1.
    std::int32_t IndexOf(const T& item) const
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (*slots_[i] == item)
                return static_cast<std::int32_t>(i);
        return -1;
    }

    bool operator==(const SArray& other) const
    {
        if (slots_.size() != other.slots_.size())
            return false;
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (!(*slots_[i] == *other.slots_[i]))
                return false;
        return true;
    }

    iterator begin() { return iterator(slots_.begin()); }
    iterator end() { return iterator(slots_.end()); }
    const_iterator begin() const { return const_iterator(slots_.begin()); }
    const_iterator end() const { return const_iterator(slots_.end()); }

private:
    std::int32_t Wrap(std::int32_t index) const
    {
        const std::int32_t count = Count();
        const std::int32_t wrapped = index % count;
        return wrapped < 0 ? wrapped + count : wrapped;
    }

    Slots slots_;
};

}  // namespace ulib
