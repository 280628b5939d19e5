#pragma once
// A hash table from identifier text to a small value, for the look-ups that
// loading a model makes by the hundred thousand. The entries lie in one
// array in insertion order; the probed slots hold only a tag of the hash and
// the entry's position, eight bytes each, so that the slot array of a large
// model stays in the cache and most probes never touch an entry or its
// key's text. Entries are never removed one by one; clear() empties the
// table.
//
// Key is std::string (the table keeps a copy of each identifier) or
// std::string_view (the caller keeps the text alive as long as the table).
// Pointers to entries stay valid until the table grows: reserve() first
// where entries are held across insertions.

#include <cstddef>
#include <cstdint>
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

  // FNV-1a over the bytes, then a final mix so that the low bits (the
  // slot) and the high bits (the tag) both depend on every byte. Inline and
  // cheap for the short identifiers of model files.
  static std::size_t hashOf(std::string_view key) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : key) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return static_cast<std::size_t>(hash);
  }

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Makes room for that many entries in all without growing.
  void reserve(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count * 2) capacity *= 2;  // at most half full
    if (capacity > slots_.size()) rehash(capacity);
    entries_.reserve(count);
    hashes_.reserve(count);
  }

  void clear() {
    slots_.clear();
    entries_.clear();
    hashes_.clear();
  }

  Entry* find(std::string_view key) { return find(key, hashOf(key)); }
  const Entry* find(std::string_view key) const { return const_cast<IdentifierTable*>(this)->find(key); }
  // As find(key), with the key's hashOf() already computed.
  Entry* find(std::string_view key, std::size_t hash) {
    if (slots_.empty()) return nullptr;
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = tagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot slot = slots_[i];
      if (slot.position == 0) return nullptr;
      if (slot.tag != tag) continue;
      const std::size_t at = slot.position - 1;
      if (hashes_[at] == hash && std::string_view(entries_[at].key) == key) return &entries_[at];
    }
  }

  // The key's entry; a new one (with a default value) when the key was
  // absent, which the bool tells.
  std::pair<Entry*, bool> tryEmplace(std::string_view key) {
    const std::size_t hash = hashOf(key);
    if (Entry* existing = find(key, hash)) return {existing, false};
    if ((entries_.size() + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    entries_.push_back(Entry{Key(key), Value()});
    hashes_.push_back(hash);
    freeSlot(hash) = Slot{tagOf(hash), static_cast<std::uint32_t>(entries_.size())};
    return {&entries_.back(), true};
  }

  // The entry added at that position (0 is the first added).
  Entry& at(std::size_t position) { return entries_[position]; }

  // Calls visit(entry) for every entry, in the order they were added.
  template <typename Visit>
  void forEach(Visit&& visit) {
    for (Entry& entry : entries_) visit(entry);
  }

 private:
  struct Slot {
    std::uint32_t tag = 0;       // the hash's upper bits
    std::uint32_t position = 0;  // the entry's index + 1; 0 marks a free slot
  };

  static std::uint32_t tagOf(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

  Slot& freeSlot(std::size_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].position != 0) i = (i + 1) & mask;
    return slots_[i];
  }

  void rehash(std::size_t capacity) {
    slots_.assign(capacity, Slot());
    for (std::size_t at = 0; at < entries_.size(); ++at)
      freeSlot(hashes_[at]) = Slot{tagOf(hashes_[at]), static_cast<std::uint32_t>(at + 1)};
  }

  std::vector<Slot> slots_;         // a power of two in size, or empty
  std::vector<Entry> entries_;      // in insertion order
  std::vector<std::size_t> hashes_; // hashOf() of each entry's key
};

}  // namespace lumetra
