// A list that only grows at its end and never moves what it holds: records are placed in blocks
// of one huge page each, so that a reference to a record stays good while the list grows, and a
// list of tens of thousands of large records costs a few page faults instead of one per record.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include "core/huge_page_memory.h"

namespace navtab {

template <typename T>
class StableBlockList {
    static_assert(sizeof(T) <= kHugePageBytes);
    static constexpr std::size_t kPerBlock = kHugePageBytes / sizeof(T);

    template <typename List, typename Value>
    class Iter {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iter() = default;
        Iter(List* list, std::size_t at) : list_(list), at_(at) {}
        reference operator*() const { return (*list_)[at_]; }
        pointer operator->() const { return &(*list_)[at_]; }
        Iter& operator++() {
            ++at_;
            return *this;
        }
        Iter operator++(int) {
            Iter was = *this;
            ++at_;
            return was;
        }
        bool operator==(const Iter& other) const { return at_ == other.at_; }

      private:
        List* list_ = nullptr;
        std::size_t at_ = 0;
    };

  public:
    using value_type = T;
    using iterator = Iter<StableBlockList, T>;
    using const_iterator = Iter<const StableBlockList, const T>;

    StableBlockList() = default;
    StableBlockList(std::initializer_list<T> items) {
        for (const T& item : items) emplace_back(item);
    }
    StableBlockList(const StableBlockList& other) {
        for (const T& item : other) emplace_back(item);
    }
    StableBlockList(StableBlockList&& other) noexcept
        : blocks_(std::move(other.blocks_)), size_(std::exchange(other.size_, 0)) {}
    StableBlockList& operator=(StableBlockList other) noexcept {
        swap(other);
        return *this;
    }
    ~StableBlockList() {
        clear();
        for (T* block : blocks_) freeLargeBlock(block, kHugePageBytes);
    }

    void swap(StableBlockList& other) noexcept {
        blocks_.swap(other.blocks_);
        std::swap(size_, other.size_);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return blocks_[i / kPerBlock][i % kPerBlock]; }
    const T& operator[](std::size_t i) const { return blocks_[i / kPerBlock][i % kPerBlock]; }
    T& front() { return (*this)[0]; }
    const T& front() const { return (*this)[0]; }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size_}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

    template <typename... Args>
    T& emplace_back(Args&&... args) {
        if (size_ == blocks_.size() * kPerBlock)
            blocks_.push_back(static_cast<T*>(allocateLargeBlock(kHugePageBytes)));
        T* slot = &blocks_[size_ / kPerBlock][size_ % kPerBlock];
        T* item = ::new (static_cast<void*>(slot)) T(std::forward<Args>(args)...);
        ++size_;
        return *item;
    }
    void push_back(const T& item) { emplace_back(item); }
    void push_back(T&& item) { emplace_back(std::move(item)); }

    void resize(std::size_t n) {
        while (size_ > n) (*this)[--size_].~T();
        while (size_ < n) emplace_back();
    }
    void clear() { resize(0); }

  private:
    std::vector<T*> blocks_;
    std::size_t size_ = 0;
};

}  // namespace navtab
