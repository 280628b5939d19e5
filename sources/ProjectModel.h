#pragma once
// Turning the merged facts of a project's units into the model: packages for
// namespaces, classes and interfaces with their features, generalizations,
// associations and dependencies, diagrams, and the classes' metrics and the
// areas of namespaces and source folders.
//
// Identifiers are qualified names as C++ writes them: "leveldb::log::Reader"
// for a class, "leveldb::log" for its package, "leveldb::log::Reader::Read"
// for a member (an overload gets "#2", "#3"); relations are named after
// their ends ("generalization:A->B", "association:A::field->B",
// "dependency:A->B"). The same facts always give the same model.
//
// A class is an interface when it declares methods, all of them pure
// virtual (constructors and destructors aside), and no data.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/Diagram.h"
#include "sources/SourceFacts.h"

namespace lumetra {

struct ProjectFacts {
  std::string root;                                   // the source root, absolute
  std::map<std::string, ClassFacts> classes;          // by USR
  std::map<std::string, OutOfLineFacts> definitions;  // by method USR
};

// An integer metric: (element identifier, value) for every class.
struct ImportedMetric {
  std::string name;
  std::vector<std::pair<std::string, int>> values;
};

// A named group of element identifiers.
struct ImportedArea {
  std::string name;
  std::vector<std::string> elementIds;
};

struct ProjectMeasures {
  std::vector<ImportedMetric> metrics;
  std::vector<ImportedArea> areas;
};

// The metric names, in the order they are offered.
inline constexpr const char* kMetricLines = "Lines of code";
inline constexpr const char* kMetricMethods = "Methods";
inline constexpr const char* kMetricFields = "Fields";
inline constexpr const char* kMetricPublicMethods = "Public methods";
inline constexpr const char* kMetricInheritanceDepth = "Depth of inheritance";
inline constexpr const char* kMetricFanOut = "Fan-out";
inline constexpr const char* kMetricFanIn = "Fan-in";
inline constexpr const char* kMetricComplexity = "Cyclomatic complexity";

// Adds the model elements to the pool and the diagrams (one per namespace,
// or per source folder when the classes share one namespace, and an
// "Overview") to the list, laid out and passed through the post-load passes.
// Returns the metrics and areas.
//
// Metrics: "Lines of code" counts the lines of the class's definition and of
// its members defined outside it; "Fan-out" the distinct project classes it
// uses (bases, fields, signatures, bodies), "Fan-in" those that use it;
// "Depth of inheritance" counts project ancestors only; "Cyclomatic
// complexity" sums the decision points of its member bodies. Areas: each
// namespace ("leveldb::log") and each source folder below the root ("db/")
// with every class inside it, nested ones included.
ProjectMeasures buildProjectModel(const ProjectFacts& facts, std::vector<Diagram*>& diagrams, ModelElementsPool& pool);

}  // namespace lumetra
