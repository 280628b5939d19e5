// Sections: naming - elements - relations - metrics - areas - diagrams.

#include "sources/ProjectModel.h"

#include "layout/AutoLayout.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>
#include <set>
#include <unordered_map>

#include "model/ModelFactory.h"
#include "platform/DebugOutput.h"
#include "model/UmlElements.h"
#include "geometry/GeometryPasses.h"

namespace lumetra {

namespace {

std::string joined(const std::vector<std::string>& parts, std::size_t count, const std::string& separator) {
  std::string text;
  for (std::size_t i = 0; i < count && i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
  return text;
}

// The source folder of a file below the root: "db/" for "db/log.h", empty
// for a file at the root.
std::string folderOf(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

struct Node {
  const ClassFacts* facts = nullptr;
  ModelElement* element = nullptr;
  std::string id;
  std::string packageId;
  bool isInterface = false;
  std::vector<std::string> attributeIds;
  std::set<const Node*> uses;  // other project classes it uses
};

// A relation and the two classes it connects, for the diagrams.
struct Link {
  ModelElement* relation;
  const Node* from;
  const Node* to;
};

class Builder {
 public:
  Builder(const ProjectFacts& facts, ModelElementsPool& pool) : facts_(facts), pool_(pool) {}

  ProjectMeasures build(std::vector<Diagram*>& diagrams) {
    nameClasses();
    for (Node& node : nodes_) makeElement(node);
    for (Node& node : nodes_) makeRelations(node);
    ProjectMeasures measures;
    measure(measures);
    makeAreas(measures);
    makeDiagrams(diagrams);
    return measures;
  }

 private:
  // ---- naming
  std::string unique(std::string id) {
    if (taken_.insert(id).second) return id;
    for (int n = 2;; ++n)
      if (taken_.insert(id + "#" + std::to_string(n)).second) return id + "#" + std::to_string(n);
  }

  void nameClasses() {
    std::vector<const ClassFacts*> sorted;
    for (const auto& [usr, facts] : facts_.classes) sorted.push_back(&facts);
    std::sort(sorted.begin(), sorted.end(), [](const ClassFacts* a, const ClassFacts* b) {
      return std::tie(a->namespaces, a->name, a->usr) < std::tie(b->namespaces, b->name, b->usr);
    });
    nodes_.resize(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      Node& node = nodes_[i];
      node.facts = sorted[i];
      const auto& path = node.facts->namespaces;
      for (std::size_t depth = 1; depth <= path.size(); ++depth) {
        const std::string id = joined(path, depth, "::");
        if (packages_.count(id)) continue;
        packages_.insert(id);
        taken_.insert(id);
        Package* package = createPackage(id, path[depth - 1]);
        package->setOwnerId(joined(path, depth - 1, "::"));
        pool_.add(package);
      }
      node.packageId = joined(path, path.size(), "::");
      byUsr_[node.facts->usr] = &node;
    }
    for (Node& node : nodes_)
      node.id = unique(node.packageId.empty() ? node.facts->name : node.packageId + "::" + node.facts->name);
  }

  const Node* find(const std::string& usr) const {
    auto found = byUsr_.find(usr);
    return found == byUsr_.end() ? nullptr : found->second;
  }

  // ---- elements
  static bool looksLikeInterface(const ClassFacts& c) {
    int pure = 0;
    for (const MethodFacts& m : c.methods) {
      if (m.isSpecial) continue;
      if (!m.isPure) return false;
      ++pure;
    }
    for (const FieldFacts& f : c.fields)
      if (!f.isStatic) return false;
    return pure > 0;
  }

  Method* makeMethod(const std::string& owner, const MethodFacts& m) {
    auto* method = new Method(unique(owner + "::" + m.name), m.name, m.returnType, m.access);
    method->setStatic(m.isStatic);
    method->setAbstract(m.isPure);
    method->setVirtual(m.isVirtual || m.isPure);
    for (const Parameter& p : m.parameters) method->addParameter(p);
    return method;
  }

  void makeElement(Node& node) {
    const ClassFacts& c = *node.facts;
    node.isInterface = looksLikeInterface(c);
    ModelElement* element = nullptr;
    if (node.isInterface) {
      Interface* interface = createInterface(node.id, c.name);
      for (const MethodFacts& m : c.methods) interface->addMethod(makeMethod(node.id, m));
      element = interface;
    } else {
      Class* cls = createClass(node.id, c.name);
      bool abstract = false;
      for (const FieldFacts& f : c.fields) {
        auto* attribute = new Attribute(unique(node.id + "::" + f.name), f.name, f.type, f.access);
        attribute->setStatic(f.isStatic);
        cls->addAttribute(attribute);
      }
      for (const MethodFacts& m : c.methods) {
        cls->addMethod(makeMethod(node.id, m));
        abstract = abstract || m.isPure;
      }
      cls->setAbstract(abstract);
      element = cls;
    }
    element->setOwnerId(node.packageId);
    pool_.add(element);
    node.element = element;
  }

  // ---- relations
  void makeRelations(Node& node) {
    const ClassFacts& c = *node.facts;
    std::set<const Node*> related;
    for (const std::string& base : c.bases) {
      const Node* parent = find(base);
      if (!parent || parent == &node) continue;
      auto* inheritance = new Inheritance(unique("generalization:" + node.id + "->" + parent->id));
      inheritance->setChild(node.id);
      inheritance->setParent(parent->id);
      pool_.add(inheritance);
      links_.push_back({inheritance, &node, parent});
      related.insert(parent);
      node.uses.insert(parent);
    }
    for (const FieldFacts& f : c.fields) {
      for (const HeldClass& h : f.held) {
        const Node* target = find(h.usr);
        if (!target) continue;
        node.uses.insert(target);
        related.insert(target);
        const std::string id = unique("association:" + node.id + "::" + f.name + "->" + target->id);
        Association* association = createAssociation(id, f.name);
        association->setFirstEnd(
            createAssociationEnd(id + ":owner", node.id, h.composite ? "composite" : "none", "", "false"));
        association->setSecondEnd(createAssociationEnd(id + ":" + f.name, target->id, "none", h.many ? "*" : "1", "true"));
        pool_.add(association);
        links_.push_back({association, &node, target});
      }
    }
    std::set<const Node*> suppliers;
    for (const MethodFacts& m : c.methods)
      for (const std::string& usr : m.signatureUses)
        if (const Node* supplier = find(usr); supplier && supplier != &node) suppliers.insert(supplier);
    for (const Node* supplier : orderedById(suppliers)) {
      node.uses.insert(supplier);
      if (related.count(supplier)) continue;
      Dependency* dependency = createDependency(unique("dependency:" + node.id + "->" + supplier->id), node.id,
                                                supplier->id, "");
      dependency->setKind(Dependency::Kind::Usage);
      pool_.add(dependency);
      links_.push_back({dependency, &node, supplier});
    }
    auto usesOfBody = [&](const BodyFacts& body) {
      for (const std::string& usr : body.uses)
        if (const Node* used = find(usr); used && used != &node) node.uses.insert(used);
    };
    for (const BodyFacts& body : c.inlineBodies) usesOfBody(body);
    for (const OutOfLineFacts* d : definitionsOf(node)) usesOfBody(d->body);
    node.uses.erase(&node);
  }

  static std::vector<const Node*> orderedById(const std::set<const Node*>& nodes) {
    std::vector<const Node*> list(nodes.begin(), nodes.end());
    std::sort(list.begin(), list.end(), [](const Node* a, const Node* b) { return a->id < b->id; });
    return list;
  }

  const std::vector<const OutOfLineFacts*>& definitionsOf(const Node& node) {
    if (definitionsByClass_.empty())
      for (const auto& [usr, d] : facts_.definitions) definitionsByClass_[d.classUsr].push_back(&d);
    static const std::vector<const OutOfLineFacts*> none;
    auto found = definitionsByClass_.find(node.facts->usr);
    return found == definitionsByClass_.end() ? none : found->second;
  }

  // ---- metrics
  int depth(const Node& node, std::set<const Node*>& path) {
    auto known = depths_.find(&node);
    if (known != depths_.end()) return known->second;
    if (!path.insert(&node).second) return 0;  // a cycle in broken code
    int deepest = 0;
    for (const std::string& base : node.facts->bases)
      if (const Node* parent = find(base); parent && parent != &node) deepest = std::max(deepest, 1 + depth(*parent, path));
    path.erase(&node);
    depths_[&node] = deepest;
    return deepest;
  }

  void measure(ProjectMeasures& measures) {
    const char* names[] = {kMetricLines,           kMetricMethods, kMetricFields, kMetricPublicMethods,
                           kMetricInheritanceDepth, kMetricFanOut, kMetricFanIn,  kMetricComplexity};
    for (const char* name : names) measures.metrics.push_back({name, {}});
    std::unordered_map<const Node*, int> fanIn;
    for (const Node& node : nodes_)
      for (const Node* used : node.uses) ++fanIn[used];
    for (const Node& node : nodes_) {
      const ClassFacts& c = *node.facts;
      int lines = c.lastLine - c.firstLine + 1;
      int decisions = 0;
      for (const BodyFacts& body : c.inlineBodies) decisions += body.decisions;
      for (const OutOfLineFacts* d : definitionsOf(node)) {
        lines += d->body.lines;
        decisions += d->body.decisions;
      }
      const int publicMethods = static_cast<int>(
          std::count_if(c.methods.begin(), c.methods.end(), [](const MethodFacts& m) { return m.access == "public"; }));
      std::set<const Node*> path;
      const int values[] = {lines,
                            static_cast<int>(c.methods.size()),
                            static_cast<int>(c.fields.size()),
                            publicMethods,
                            depth(node, path),
                            static_cast<int>(node.uses.size()),
                            fanIn[&node],
                            decisions};
      for (std::size_t m = 0; m < measures.metrics.size(); ++m) measures.metrics[m].values.emplace_back(node.id, values[m]);
    }
  }

  // ---- areas
  void makeAreas(ProjectMeasures& measures) {
    std::map<std::string, std::vector<std::string>> namespaces, folders;
    for (const Node& node : nodes_) {
      const auto& path = node.facts->namespaces;
      for (std::size_t depth = 1; depth <= path.size(); ++depth) namespaces[joined(path, depth, "::")].push_back(node.id);
      const std::string folder = folderOf(node.facts->file);
      for (std::size_t slash = folder.find('/'); slash != std::string::npos; slash = folder.find('/', slash + 1))
        folders[folder.substr(0, slash + 1)].push_back(node.id);
    }
    for (auto* group : {&namespaces, &folders})
      for (auto& [name, ids] : *group) measures.areas.push_back({name, std::move(ids)});
  }

  // ---- diagrams
  // Namespaces are flat when one of them (unnamed ones aside, which only
  // hide a file's helpers) holds more than half of the classes, from more
  // than one folder: it says little about the project's parts, its folders
  // say more.
  bool namespacesAreFlat() const {
    std::map<std::vector<std::string>, std::pair<std::size_t, std::set<std::string>>> byNamespace;
    for (const Node& node : nodes_) {
      std::vector<std::string> path;
      for (const std::string& name : node.facts->namespaces)
        if (name != "(anonymous)") path.push_back(name);
      auto& [count, folders] = byNamespace[path];
      ++count;
      folders.insert(folderOf(node.facts->file));
    }
    for (const auto& [path, entry] : byNamespace)
      if (!path.empty() && 2 * entry.first > nodes_.size() && entry.second.size() > 1) return true;
    return false;
  }

  // Laid out as any model without geometry: a diagram per namespace, one
  // named after the project for classes outside any, and an Overview. Where
  // namespaces are flat, a diagram per source folder instead ("db/"), drawn
  // as a package of that name; classes stay in their namespaces. In the
  // Overview a folder stands above the folders it uses.
  void makeDiagrams(std::vector<Diagram*>& diagrams) {
    const std::string rootName = std::filesystem::path(facts_.root).filename().string();
    DiagramGrouping grouping;
    if (namespacesAreFlat()) {
      std::map<std::string, const Package*> folders;
      std::unordered_map<const ModelElement*, const Package*> groupOf;
      for (const Node& node : nodes_) {
        const std::string folder = folderOf(node.facts->file);
        if (folder.empty()) continue;
        const Package*& package = folders[folder];
        if (!package) {
          Package* made = createPackage(unique(folder), folder);
          pool_.add(made);
          package = made;
        }
        groupOf.emplace(node.element, package);
      }
      grouping = [groupOf = std::move(groupOf)](const ModelElement& element) -> const Package* {
        auto found = groupOf.find(&element);
        return found == groupOf.end() ? nullptr : found->second;
      };
    }
    for (const LayoutFailure& failure : addGeneratedDiagrams(diagrams, pool_, rootName, nullptr, grouping, bool(grouping)))
      debugOutput("\n " + failure.message() + " \n");
  }

  const ProjectFacts& facts_;
  ModelElementsPool& pool_;
  std::vector<Node> nodes_;
  std::unordered_map<std::string, const Node*> byUsr_;
  std::set<std::string> packages_;
  std::set<std::string> taken_;
  std::vector<Link> links_;
  std::unordered_map<std::string, std::vector<const OutOfLineFacts*>> definitionsByClass_;
  std::unordered_map<const Node*, int> depths_;
};

}  // namespace

ProjectMeasures buildProjectModel(const ProjectFacts& facts, std::vector<Diagram*>& diagrams, ModelElementsPool& pool) {
  return Builder(facts, pool).build(diagrams);
}

}  // namespace lumetra
