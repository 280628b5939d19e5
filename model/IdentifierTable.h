#pragma once
// A hash table from identifier text to a small value, for the look-ups that
// loading a model makes by the hundred thousand: one contiguous array of
// slots probed linearly, no allocation per entry, the hash kept in the slot
// so that most probes never touch the key's text. Entries are never removed
// one by one; clear() empties the table.
//
// Key is std::string (the table keeps a copy of each identifier) or
// std::string_view (the caller keeps the text alive as long as the table).
// Pointers to entries stay valid until the table grows: reserve() first
// where entries are held across insertions.

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace lumetra {

template <typename Key, typename Value>
class IdentifierTable {
 public:
  struct Entry {
    Key key;
    Value value;
  };

  static std::size_t hashOf(std::string_view key) { return std::hash<std::string_view>()(key); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // Makes room for that many entries in all without growing.
  void reserve(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count * 2) capacity *= 2;  // at most half full
    if (capacity > slots_.size()) rehash(capacity);
  }

  void clear() {
    slots_.clear();
    size_ = 0;
  }

  Entry* find(std::string_view key) { return find(key, hashOf(key)); }
  const Entry* find(std::string_view key) const { return const_cast<IdentifierTable*>(this)->find(key); }
  // As find(key), with the key's hashOf() already computed.
  Entry* find(std::string_view key, std::size_t hash) {
    if (slots_.empty()) return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.used) return nullptr;
      if (slot.hash == hash && std::string_view(slot.entry.key) == key) return &slot.entry;
    }
  }

  // The key's entry; a new one (with a default value) when the key was
  // absent, which the bool tells.
  std::pair<Entry*, bool> tryEmplace(std::string_view key) {
    const std::size_t hash = hashOf(key);
    if (Entry* existing = find(key, hash)) return {existing, false};
    if ((size_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    Slot& slot = freeSlot(hash);
    slot.used = true;
    slot.hash = hash;
    slot.entry.key = Key(key);
    slot.entry.value = Value();
    ++size_;
    return {&slot.entry, true};
  }

  // Calls visit(entry) for every entry, in no particular order.
  template <typename Visit>
  void forEach(Visit&& visit) {
    for (Slot& slot : slots_)
      if (slot.used) visit(slot.entry);
  }

 private:
  struct Slot {
    std::size_t hash = 0;
    bool used = false;
    Entry entry{};
  };

  Slot& freeSlot(std::size_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].used) i = (i + 1) & mask;
    return slots_[i];
  }

  void rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (Slot& slot : old)
      if (slot.used) freeSlot(slot.hash) = std::move(slot);
  }

  std::vector<Slot> slots_;  // a power of two in size, or empty
  std::size_t size_ = 0;
};

}  // namespace lumetra
