#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/Diagram.h"
#include "model/IdentifierTable.h"
#include "model/UmlElements.h"

namespace lumetra {
namespace {

// Enough keys to grow the table many times over and to make probe runs
// cross the end of the slot array.
TEST(IdentifierTableTest, EveryKeyKeepsItsValueThroughGrowth) {
  for (const std::size_t reserved : {std::size_t{0}, std::size_t{5000}}) {
    SCOPED_TRACE(reserved);
    IdentifierTable<std::string, int> table;
    table.reserve(reserved);
    const int count = 5000;
    for (int i = 0; i < count; ++i) {
      const auto [entry, added] = table.tryEmplace("id" + std::to_string(i));
      ASSERT_TRUE(added);
      EXPECT_EQ(entry->value, 0) << "a new entry starts with a default value";
      entry->value = i;
    }
    EXPECT_EQ(table.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const auto* entry = table.find("id" + std::to_string(i));
      ASSERT_NE(entry, nullptr) << i;
      EXPECT_EQ(entry->value, i);
      EXPECT_EQ(entry->key, "id" + std::to_string(i));
    }
    EXPECT_EQ(table.find("id5000"), nullptr);
    EXPECT_EQ(table.find("ID1"), nullptr) << "keys are case-sensitive";
    EXPECT_EQ(table.find(""), nullptr);
    int visited = 0;
    table.forEach([&visited](const auto&) { ++visited; });
    EXPECT_EQ(visited, count);
  }
}

TEST(IdentifierTableTest, AddingAKeyAgainGivesTheExistingEntry) {
  IdentifierTable<std::string_view, int> table;
  const std::string text = "abcabc";  // the views below point into it
  const std::string_view first(text.data(), 3);
  const std::string_view second(text.data() + 3, 3);
  table.tryEmplace(first).first->value = 7;
  const auto [entry, added] = table.tryEmplace(second);
  EXPECT_FALSE(added);
  EXPECT_EQ(entry->value, 7);
  EXPECT_EQ(entry->key.data(), text.data()) << "the first key's text is kept";
  table.tryEmplace("").first->value = 3;  // the empty identifier is a key like any other
  EXPECT_EQ(table.find("")->value, 3);
  EXPECT_EQ(table.size(), 2u);
  table.clear();
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(table.find("abc"), nullptr);
  EXPECT_TRUE(table.tryEmplace("abc").second);
}

// The pool indexes identifiers when it is next searched; adding and
// searching in any interleaving gives the first element of an identifier.
TEST(ModelElementsPoolIndexTest, SearchesBetweenAdditionsFindTheFirstAdded) {
  ModelElementsPool pool;
  std::vector<ModelElement*> firsts;
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 50; ++i) {
      auto* element = new Class("id" + std::to_string(i * (round + 1)), "r" + std::to_string(round));
      pool.add(element);
      if (round == 0) firsts.push_back(element);
    }
    // After each round, an identifier added in an earlier round still gives
    // the element of that earlier round.
    for (int i = 0; i < 50; ++i) EXPECT_EQ(pool.find("id" + std::to_string(i)), firsts[i]) << round << " " << i;
    // The round's last identifier is new in this round.
    EXPECT_EQ(pool.find("id" + std::to_string(49 * (round + 1))), pool.get(round * 50 + 49));
  }
  pool.clear();
  EXPECT_EQ(pool.find("id0"), nullptr);
  auto* again = new Class("id0", "again");
  pool.add(again);
  EXPECT_EQ(pool.find("id0"), again) << "the index starts over after clear";
}

}  // namespace
}  // namespace lumetra
