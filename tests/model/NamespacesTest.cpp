#include <gtest/gtest.h>

#include "model/ModelFactory.h"
#include "model/Namespaces.h"

namespace lumetra {
namespace {

// Packages org > junit > runners, a class in runners, a class whose owner is
// missing, and two packages that own each other (a broken file).
struct NamespacesTest : ::testing::Test {
  ModelElementsPool pool;
  ModelElement* add(ModelElement* element, const std::string& owner) {
    element->setOwnerId(owner);
    pool.add(element);
    return element;
  }
  void SetUp() override {
    add(createPackage("p1", "org"), "");
    add(createPackage("p2", "junit"), "p1");
    add(createPackage("p3", "runners"), "p2");
    add(createClass("c1", "Suite"), "p3");
    add(createClass("c2", "Lost"), "nowhere");
    add(createPackage("a", "alpha"), "b");
    add(createPackage("b", "beta"), "a");
    add(createClass("c3", "InCycle"), "a");
    add(createClass("c4", ""), "p1");
  }
};

TEST_F(NamespacesTest, QualifiedNamesFollowOwnersAndStopAtBrokenLinks) {
  const struct {
    const char* id;
    const char* separator;
    const char* expected;
  } cases[] = {
      {"c1", ".", "org.junit.runners.Suite"},
      {"c1", "::", "org::junit::runners::Suite"},
      {"p3", ".", "org.junit.runners"},
      {"p1", ".", "org"},
      {"c2", ".", "Lost"},           // owner not in the model
      {"c3", ".", "beta.alpha.InCycle"},  // the cycle ends where it returns
      {"c4", "/", "org/c4"},         // a nameless class goes by its identifier
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(qualifiedName(*pool.find(c.id), pool, c.separator), c.expected);
  }
  EXPECT_EQ(packagePath(*pool.find("c1"), pool).size(), 3u);
}

}  // namespace
}  // namespace lumetra
