// Sections: relations and their participants; laying out boxes and edges;
// arranging a diagram; generated diagrams (per package, and the Overview).

#include "layout/AutoLayout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "layout/BoxSize.h"
#include "layout/GraphLayout.h"
#include "layout/TextMeasure.h"
#include "model/Namespaces.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "geometry/GeometryPasses.h"

namespace lumetra {

namespace {

// Boxes of a diagram larger than this are laid out as connected parts
// packed side by side in rows, so that unrelated classes and a flat forest
// do not become one long row.
constexpr std::size_t kPackFrom = 8;
// A connected part with more boxes than this is beyond the layered layout's
// reach in seconds: the graph is placed force-directed, edges straight.
constexpr std::size_t kLayeredLimit = 1200;
// Graphviz gets at most this many edges between one pair of boxes; further
// relations of the pair follow one of those routes.
constexpr int kEdgesPerPair = 3;
// Room around the classes of a package drawn as a group in the Overview.
constexpr float kGroupMargin = 12.0f;

// ---- relations and their participants -------------------------------------------

// A relation as an edge: tail above head where it ranks. reversed: the
// relation's own order (child to parent, client to supplier) runs head to tail.
struct RelationEnds {
  std::string tail, head;
  bool ranking = false;
  bool reversed = false;
  bool valid = false;
};

RelationEnds relationEnds(const ModelElement* element, const ModelElementsPool* pool, int depth = 0) {
  RelationEnds ends;
  if (const auto* g = dynamic_cast<const Inheritance*>(element)) {
    ends = {g->getParent(), g->getChild(), true, true, true};
  } else if (const auto* d = dynamic_cast<const Dependency*>(element)) {
    if (d->kind() == Dependency::Kind::Realization) ends = {d->getSupplier(), d->getClient(), true, true, true};
    else ends = {d->getClient(), d->getSupplier(), false, false, true};
  } else if (const auto* a = dynamic_cast<const Association*>(element)) {
    if (a->getFirstEnd() && a->getSecondEnd())
      ends = {a->getFirstEnd()->getType(), a->getSecondEnd()->getType(), false, false, true};
  } else if (const auto* dummy = dynamic_cast<const Dummy*>(element); dummy && pool && depth == 0) {
    // A relation shape drawn for a relation of the model: that relation's ends.
    ends = relationEnds(pool->find(dummy->getSubjectId()), pool, 1);
    if (ends.valid && dummy->getRelationKind() == "RealizeRelation" && !ends.ranking) {
      std::swap(ends.tail, ends.head);
      ends.ranking = ends.reversed = true;
    }
  }
  return ends;
}

bool isBox(const ModelElement* element) {
  return dynamic_cast<const Class*>(element) || dynamic_cast<const Interface*>(element) ||
         dynamic_cast<const Package*>(element) || dynamic_cast<const Note*>(element) ||
         dynamic_cast<const PelkService*>(element);
}

// ---- laying out boxes and edges ------------------------------------------------------

struct BoxEdge {
  int tail = 0, head = 0;
  bool ranking = false;
};

struct BoxLayout {
  bool ok = false;
  std::string error;
  std::vector<Vec2> centres;              // centred on the origin, y up
  std::vector<std::vector<Vec2>> routes;  // tail to head, empty: straight
};

std::size_t largestPart(std::size_t count, const std::vector<BoxEdge>& edges) {
  std::vector<std::size_t> parent(count);
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](std::size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
  };
  for (const BoxEdge& e : edges) parent[root(e.tail)] = root(e.head);
  std::vector<std::size_t> size(count, 0);
  std::size_t most = 0;
  for (std::size_t i = 0; i < count; ++i) most = std::max(most, ++size[root(i)]);
  return most;
}

BoxLayout layoutBoxes(const std::vector<Vec2>& sizes, const std::vector<BoxEdge>& edges, bool routes,
                      const std::atomic<bool>* abandon) {
  BoxLayout out;
  if (sizes.empty()) {
    out.ok = true;
    return out;
  }
  GraphInput graph;
  for (Vec2 size : sizes) graph.nodes.push_back({size});
  // Edges Graphviz sees: a few per pair of boxes (one loop per box); the
  // rest share their routes.
  std::map<std::pair<int, int>, std::vector<std::size_t>> pairs;
  std::vector<std::size_t> graphEdgeOf(edges.size(), 0);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const BoxEdge& e = edges[i];
    const auto key = std::minmax(e.tail, e.head);
    std::vector<std::size_t>& shared = pairs[key];
    const std::size_t limit = e.tail == e.head ? 1 : kEdgesPerPair;
    if (shared.size() < limit) {
      shared.push_back(graph.edges.size());
      graph.edges.push_back({e.tail, e.head, e.ranking && e.tail != e.head});
    }
    graphEdgeOf[i] = shared[i % shared.size()];
  }
  graph.packParts = sizes.size() > kPackFrom;
  graph.forceDirected = largestPart(sizes.size(), edges) > kLayeredLimit;
  graph.routeEdges = routes && !graph.forceDirected;
  const GraphResult result = layoutGraph(graph, abandon);
  if (!result.ok) {
    out.error = result.error;
    return out;
  }
  const Vec2 centre = (result.low + result.high) * 0.5f;
  for (Vec2 c : result.centres) out.centres.push_back(c - centre);
  out.routes.resize(edges.size());
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const GraphEdge& g = graph.edges[graphEdgeOf[i]];
    std::vector<Vec2> route = result.routes[graphEdgeOf[i]];
    for (Vec2& p : route) p = p - centre;
    if (g.tail != edges[i].tail) std::reverse(route.begin(), route.end());
    out.routes[i] = std::move(route);
  }
  out.ok = true;
  return out;
}

// A relation shape's own small box: where its label goes, half way along
// its route (beside the box for a loop), or between its ends.
Vec2 labelPoint(const std::vector<Vec2>& route, Vec2 tail, Vec2 head, bool loop) {
  if (route.empty()) return loop ? tail + Vec2(0.0f, 24.0f) : (tail + head) * 0.5f;
  if (loop) {
    Vec2 far = route.front();
    for (Vec2 p : route)
      if ((p - tail).length() > (far - tail).length()) far = p;
    return far;
  }
  return route[route.size() / 2];
}

void setBox(VisualElement& element, Vec2 centre, Vec2 size) {
  const Vec2 half = size * 0.5f;
  VisualElementLayout* layout = element.getCurrentLayout();
  if (!layout) {
    layout = new VisualElementLayout("Default");
    element.addLayout(layout);
    element.selectLayout("Default");
  }
  layout->setCorners(new Vec2(centre - half), new Vec2(centre + half));
}

Vec2 extentOf(const VisualElement& element) {
  const VisualElementLayout* layout = element.getCurrentLayout();
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return {kMinBoxWidth, kMinBoxWidth};
  return *layout->getUpperRight() - *layout->getLowerLeft();
}

// ---- arranging a diagram ----------------------------------------------------------

// The boxes and relation shapes of a diagram as a graph.
struct DiagramGraph {
  std::vector<DiagramElement*> boxes;
  std::vector<DiagramElement*> relations;  // those with both ends shown
  std::vector<BoxEdge> edges;              // one per relation
  std::vector<bool> reversed;              // route runs head to tail in the relation's order
};

DiagramGraph graphOf(Diagram& diagram, const ModelElementsPool& pool) {
  DiagramGraph graph;
  std::unordered_map<std::string, int> boxOf;
  for (DiagramElement* shape : diagram.getElements()) {
    const ModelElement* model = shape->getModelElement();
    if (!model || !isBox(model)) continue;
    if (boxOf.emplace(model->getId(), static_cast<int>(graph.boxes.size())).second) graph.boxes.push_back(shape);
  }
  // Component connections join the services their interfaces belong to.
  auto serviceOf = [&](const PelkInterface* end) {
    return end ? boxOf.find(end->getServiceId()) : boxOf.end();
  };
  for (DiagramElement* shape : diagram.getElements()) {
    const ModelElement* model = shape->getModelElement();
    if (!model || isBox(model)) continue;
    if (const auto* c = dynamic_cast<const PelkConnection*>(model)) {
      auto a = serviceOf(c->getSecondEnd()), b = serviceOf(c->getFirstEnd());
      if (a == boxOf.end() || b == boxOf.end()) continue;
      graph.relations.push_back(shape);
      graph.edges.push_back({a->second, b->second, true});
      graph.reversed.push_back(false);
      continue;
    }
    const RelationEnds ends = relationEnds(model, &pool);
    if (!ends.valid) continue;
    auto tail = boxOf.find(ends.tail), head = boxOf.find(ends.head);
    if (tail == boxOf.end() || head == boxOf.end()) continue;
    graph.relations.push_back(shape);
    graph.edges.push_back({tail->second, head->second, ends.ranking});
    graph.reversed.push_back(ends.reversed);
  }
  return graph;
}

// The size a box gets: what it has, grown where its content needs more
// (a file's box too narrow for its name).
Vec2 boxSizeFor(const DiagramElement& box) {
  const Vec2 has = extentOf(box);
  const ModelElement* model = box.getModelElement();
  if (!dynamic_cast<const Class*>(model) && !dynamic_cast<const Interface*>(model) && !dynamic_cast<const Package*>(model))
    return has;
  const ElementAppearance* look = box.getAppearance();
  const Vec2 needs = contentBoxSize(*model, look ? look->fontSize : kDefaultBoxFontSize);
  return {std::max(has.x, needs.x), std::max(has.y, needs.y)};
}

// Places the boxes and relation shapes of graph as layout says.
void placeGraph(const DiagramGraph& graph, const BoxLayout& layout, Vec2 offset, DiagramGeometry& geometry,
                std::unordered_map<const VisualElement*, std::size_t>& slot) {
  auto shapeAt = [&](VisualElement* element) -> DiagramGeometry::Shape& {
    auto it = slot.find(element);
    if (it == slot.end()) {
      it = slot.emplace(element, geometry.shapes.size()).first;
      geometry.shapes.emplace_back().element = element;
    }
    return geometry.shapes[it->second];
  };
  std::vector<Vec2> centres(graph.boxes.size());
  for (std::size_t i = 0; i < graph.boxes.size(); ++i) {
    const Vec2 half = boxSizeFor(*graph.boxes[i]) * 0.5f;
    centres[i] = layout.centres[i] + offset;
    DiagramGeometry::Shape& s = shapeAt(graph.boxes[i]);
    s.lowerLeft = centres[i] - half;
    s.upperRight = centres[i] + half;
    s.hasCorners = true;
  }
  for (std::size_t i = 0; i < graph.relations.size(); ++i) {
    std::vector<Vec2> route = layout.routes[i];
    for (Vec2& p : route) p = p + offset;
    const BoxEdge& e = graph.edges[i];
    const Vec2 at = labelPoint(route, centres[e.tail], centres[e.head], e.tail == e.head);
    if (graph.reversed[i]) std::reverse(route.begin(), route.end());
    DiagramGeometry::Shape& s = shapeAt(graph.relations[i]);
    s.lowerLeft = s.upperRight = at;
    s.hasCorners = true;
    s.waypoints = std::move(route);
  }
}

BoxLayout layoutDiagramGraph(const DiagramGraph& graph, bool routes, const std::atomic<bool>* abandon) {
  std::vector<Vec2> sizes;
  sizes.reserve(graph.boxes.size());
  for (const DiagramElement* box : graph.boxes) sizes.push_back(boxSizeFor(*box));
  return layoutBoxes(sizes, graph.edges, routes, abandon);
}

// ---- generated diagrams -------------------------------------------------------------

// The package a class or interface is drawn in: its nearest owner that is a
// package (null at the top level).
const Package* packageOf(const ModelElement& element, const ModelElementsPool& pool) {
  const std::vector<const ModelElement*> path = packagePath(element, pool);
  for (auto it = path.rbegin(); it != path.rend(); ++it)
    if (const auto* p = dynamic_cast<const Package*>(*it)) return p;
  return nullptr;
}

DiagramElement* newShape(ModelElement* model, const std::string& id) {
  auto* shape = new DiagramElement(id, new VisualElementLayout("Default", new Vec2(), new Vec2()));
  shape->setAppearance(new ElementAppearance());
  shape->setModelElement(model);
  return shape;
}

// The classes and interfaces of one package (or of the top level).
struct Group {
  const Package* package = nullptr;
  std::string name;
  std::vector<ModelElement*> members;
  bool needsDiagram = false;       // holds something no diagram shows
  std::unique_ptr<Diagram> diagram;  // its diagram, laid out
  Vec2 low, high;                  // the laid-out content's box
};

// A diagram of a group's members and the relations among them, sized to
// content, not yet laid out.
std::unique_ptr<Diagram> groupDiagram(const Group& group, const std::vector<ModelElement*>& relations,
                                      const std::unordered_map<const ModelElement*, std::size_t>& groupOf,
                                      std::size_t index, const ModelElementsPool& pool) {
  auto diagram = std::make_unique<ClassDiagram>("generated:" + group.name, group.name,
                                                new VisualElementLayout("Default"));
  diagram->setGenerated(true);
  for (ModelElement* relation : relations) {
    const RelationEnds ends = relationEnds(relation, &pool);
    const ModelElement* tail = pool.find(ends.tail);
    const ModelElement* head = pool.find(ends.head);
    auto t = groupOf.find(tail), h = groupOf.find(head);
    if (t == groupOf.end() || h == groupOf.end() || t->second != index || h->second != index) continue;
    diagram->addElement(newShape(relation, relation->getId()));
  }
  for (ModelElement* member : group.members) {
    DiagramElement* shape = newShape(member, member->getId());
    setBox(*shape, {}, contentBoxSize(*member));
    diagram->addElement(shape);
  }
  return diagram;
}

void finishDiagram(Diagram& diagram) {
  // The diagram's own box around its shapes, as the post-load passes leave it.
  bool any = false;
  Vec2 lo, hi;
  for (DiagramElement* shape : diagram.getElements()) {
    const VisualElementLayout* l = shape->getCurrentLayout();
    if (!l || !l->getLowerLeft()) continue;
    const Vec2 a = *l->getLowerLeft(), b = *l->getUpperRight();
    lo = any ? Vec2(std::min(lo.x, a.x), std::min(lo.y, a.y)) : a;
    hi = any ? Vec2(std::max(hi.x, b.x), std::max(hi.y, b.y)) : b;
    any = true;
  }
  if (VisualElementLayout* own = diagram.getCurrentLayout(); own && any) own->setCorners(new Vec2(lo), new Vec2(hi));
  const std::vector<Diagram*> one{&diagram};
  applyDefaultAppearances(one);
  orderElements(one);
}

}  // namespace

std::string LayoutFailure::message() const { return "Layout of diagram " + diagram + " failed: " + reason; }

DiagramGeometry captureGeometry(Diagram& diagram) {
  DiagramGeometry geometry;
  auto add = [&](VisualElement* element) {
    DiagramGeometry::Shape s;
    s.element = element;
    if (const VisualElementLayout* l = element->getCurrentLayout(); l && l->getLowerLeft() && l->getUpperRight()) {
      s.lowerLeft = *l->getLowerLeft();
      s.upperRight = *l->getUpperRight();
      s.hasCorners = true;
    }
    if (auto* shape = dynamic_cast<DiagramElement*>(element)) s.waypoints = shape->waypoints();
    geometry.shapes.push_back(std::move(s));
  };
  for (DiagramElement* shape : diagram.getElements()) {
    add(shape);
    if (auto* composed = dynamic_cast<ComposedDiagramElement*>(shape))
      for (DiagramElement* child : composed->getChildren()) add(child);
  }
  for (std::size_t i = 0; i < diagram.getSupplementaryElementCount(); ++i) add(diagram.getSupplementaryElement(i));
  return geometry;
}

void applyGeometry(Diagram& diagram, const DiagramGeometry& geometry) {
  for (const DiagramGeometry::Shape& s : geometry.shapes) {
    if (s.hasCorners) {
      VisualElementLayout* layout = s.element->getCurrentLayout();
      if (!layout) {
        layout = new VisualElementLayout("Default");
        s.element->addLayout(layout);
        s.element->selectLayout("Default");
      }
      layout->setCorners(new Vec2(s.lowerLeft), new Vec2(s.upperRight));
    }
    if (auto* shape = dynamic_cast<DiagramElement*>(s.element)) shape->setWaypoints(s.waypoints);
  }
  // The diagram's own box follows its shapes (views fit to it).
  bool any = false;
  Vec2 lo, hi;
  for (DiagramElement* shape : diagram.getElements()) {
    const VisualElementLayout* l = shape->getCurrentLayout();
    if (!l || !l->getLowerLeft() || !l->getUpperRight()) continue;
    const Vec2 a = *l->getLowerLeft(), b = *l->getUpperRight();
    lo = any ? Vec2(std::min(lo.x, a.x), std::min(lo.y, a.y)) : a;
    hi = any ? Vec2(std::max(hi.x, b.x), std::max(hi.y, b.y)) : b;
    any = true;
  }
  if (VisualElementLayout* own = diagram.getCurrentLayout(); own && any) own->setCorners(new Vec2(lo), new Vec2(hi));
}

struct ArrangeJob {
  DiagramGraph graph;  // its shapes are only read back by finishArrange
  std::vector<Vec2> sizes;
  BoxLayout layout;
};

std::shared_ptr<ArrangeJob> prepareArrange(Diagram& diagram, const ModelElementsPool& pool) {
  auto job = std::make_shared<ArrangeJob>();
  job->graph = graphOf(diagram, pool);
  job->sizes.reserve(job->graph.boxes.size());
  for (const DiagramElement* box : job->graph.boxes) job->sizes.push_back(boxSizeFor(*box));
  return job;
}

void runArrange(ArrangeJob& job, const std::atomic<bool>* abandon) {
  job.layout = layoutBoxes(job.sizes, job.graph.edges, true, abandon);
}

ArrangeResult finishArrange(ArrangeJob& job, Diagram& diagram) {
  ArrangeResult result;
  const DiagramGraph& graph = job.graph;
  if (!job.layout.ok) {
    result.error = job.layout.error;
    return result;
  }
  // Start from where everything is, so that shapes the layout does not
  // place (role labels, relations to hidden boxes) keep their places.
  result.geometry = captureGeometry(diagram);
  std::unordered_map<const VisualElement*, std::size_t> slot;
  for (std::size_t i = 0; i < result.geometry.shapes.size(); ++i) slot.emplace(result.geometry.shapes[i].element, i);
  placeGraph(graph, job.layout, {}, result.geometry, slot);
  // Component interface markers move with their service.
  for (DiagramElement* shape : graph.boxes) {
    auto* service = dynamic_cast<ComposedDiagramElement*>(shape);
    if (!service) continue;
    const DiagramGeometry::Shape& box = result.geometry.shapes[slot.at(service)];
    const Vec2 move = box.lowerLeft - *service->getCurrentLayout()->getLowerLeft();
    for (DiagramElement* child : service->getChildren()) {
      auto it = slot.find(child);
      if (it == slot.end() || !result.geometry.shapes[it->second].hasCorners) continue;
      result.geometry.shapes[it->second].lowerLeft = result.geometry.shapes[it->second].lowerLeft + move;
      result.geometry.shapes[it->second].upperRight = result.geometry.shapes[it->second].upperRight + move;
    }
  }
  result.ok = true;
  return result;
}

ArrangeResult arrangeDiagram(Diagram& diagram, const ModelElementsPool& pool, const std::atomic<bool>* abandon) {
  const std::shared_ptr<ArrangeJob> job = prepareArrange(diagram, pool);
  runArrange(*job, abandon);
  return finishArrange(*job, diagram);
}

std::vector<LayoutFailure> addGeneratedDiagrams(std::vector<Diagram*>& diagrams, const ModelElementsPool& pool,
                                                const std::string& modelName, const std::atomic<bool>* abandon,
                                                const DiagramGrouping& grouping, bool rankGroupsByUse) {
  std::vector<LayoutFailure> failures;
  std::unordered_set<const ModelElement*> shown;
  for (Diagram* diagram : diagrams)
    for (DiagramElement* shape : diagram->getElements())
      if (shape->getModelElement()) shown.insert(shape->getModelElement());

  // Classes and interfaces by package, in the pool's order; relations.
  std::vector<Group> groups;
  std::unordered_map<const Package*, std::size_t> groupOfPackage;
  std::unordered_map<const ModelElement*, std::size_t> groupOf;
  std::vector<ModelElement*> relations;
  std::size_t classCount = 0;
  bool anyUnshown = false;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    ModelElement* element = pool.get(i);
    if (relationEnds(element, nullptr).valid) {
      relations.push_back(element);
      continue;
    }
    if (!dynamic_cast<Class*>(element) && !dynamic_cast<Interface*>(element)) continue;
    if (groupOf.count(element)) continue;  // pooled twice
    const Package* package = grouping ? grouping(*element) : packageOf(*element, pool);
    auto [it, added] = groupOfPackage.emplace(package, groups.size());
    if (added) {
      Group& group = groups.emplace_back();
      group.package = package;
      group.name = package ? qualifiedName(*package, pool) : modelName;
    }
    Group& group = groups[it->second];
    group.members.push_back(element);
    groupOf.emplace(element, it->second);
    ++classCount;
    if (!shown.count(element)) group.needsDiagram = anyUnshown = true;
  }
  if (!anyUnshown) return failures;
  const bool overview = classCount <= kOverviewLimit;

  // Each group laid out once: for its own diagram and for the Overview.
  std::vector<std::size_t> order(groups.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (!groups[a].package != !groups[b].package) return !groups[a].package;  // top level first
    return groups[a].name < groups[b].name;
  });
  std::vector<Diagram*> made;
  for (std::size_t index : order) {
    if (abandon && abandon->load()) break;
    Group& group = groups[index];
    if (!group.needsDiagram && !overview) continue;
    group.diagram = groupDiagram(group, relations, groupOf, index, pool);
    DiagramGeometry geometry;
    std::unordered_map<const VisualElement*, std::size_t> slot;
    const DiagramGraph graph = graphOf(*group.diagram, pool);
    const BoxLayout layout = layoutDiagramGraph(graph, true, abandon);
    if (!layout.ok) {
      if (layout.error != "abandoned") failures.push_back({group.name, layout.error});
      group.diagram.reset();
      continue;
    }
    placeGraph(graph, layout, {}, geometry, slot);
    applyGeometry(*group.diagram, geometry);
    finishDiagram(*group.diagram);
    const VisualElementLayout* own = group.diagram->getCurrentLayout();
    if (own->getLowerLeft()) {
      group.low = *own->getLowerLeft();
      group.high = *own->getUpperRight();
    }
  }
  if (abandon && abandon->load()) return {};

  // The Overview: each package's laid-out classes as one block inside its
  // package shape; the blocks laid out as a graph of their own, a package
  // above the packages whose classes specialize its classes.
  std::unique_ptr<Diagram> overviewDiagram;
  if (overview) {
    std::vector<std::size_t> blocks;  // groups with a layout, in order
    std::vector<int> blockOf(groups.size(), -1);
    for (std::size_t index : order)
      if (groups[index].diagram) {
        blockOf[index] = static_cast<int>(blocks.size());
        blocks.push_back(index);
      }
    const float sp = boxTextSpacing();
    const float nameHeight = measureText("Mg", kDefaultBoxFontSize).height;
    // A package block: its classes with a margin, the name line above them,
    // the body three quarters of the shape (the tab the rest).
    std::vector<Vec2> blockSizes;
    for (std::size_t index : blocks) {
      const Group& g = groups[index];
      Vec2 body = g.high - g.low + Vec2(2.0f * kGroupMargin, 2.0f * kGroupMargin);
      if (g.package) {
        body.y += 2.0f * sp + nameHeight;
        body.x = std::max(body.x, measureText(g.name, kDefaultBoxFontSize).width + 4.0f * sp);
        blockSizes.push_back({body.x, body.y * 4.0f / 3.0f});
      } else {
        blockSizes.push_back(body);
      }
    }
    std::vector<BoxEdge> blockEdges;
    std::set<std::tuple<int, int, bool>> seen;
    for (ModelElement* relation : relations) {
      const RelationEnds ends = relationEnds(relation, &pool);
      auto t = groupOf.find(pool.find(ends.tail)), h = groupOf.find(pool.find(ends.head));
      if (t == groupOf.end() || h == groupOf.end() || t->second == h->second) continue;
      const int a = blockOf[t->second], b = blockOf[h->second];
      const bool ranking = ends.ranking || rankGroupsByUse;
      if (a < 0 || b < 0 || !seen.emplace(a, b, ranking).second) continue;
      blockEdges.push_back({a, b, ranking});
    }
    const BoxLayout placed = layoutBoxes(blockSizes, blockEdges, false, abandon);
    if (!placed.ok) {
      if (placed.error != "abandoned") failures.push_back({"Overview", placed.error});
    } else {
      overviewDiagram = std::make_unique<ClassDiagram>("generated:Overview", "Overview", new VisualElementLayout("Default"));
      overviewDiagram->setGenerated(true);
      Diagram& o = *overviewDiagram;
      // Package shapes first, so that classes paint over them.
      std::vector<DiagramElement*> relationShapes;
      for (std::size_t k = 0; k < blocks.size(); ++k) {
        const Group& g = groups[blocks[k]];
        const Vec2 centre = placed.centres[k];
        const Vec2 half = blockSizes[k] * 0.5f;
        // The classes' block sits at the bottom of the shape, margin inside.
        const Vec2 blockLow(centre.x - (g.high.x - g.low.x) * 0.5f, centre.y - half.y + kGroupMargin);
        const Vec2 offset = blockLow - g.low;
        if (g.package) {
          DiagramElement* frame = newShape(const_cast<Package*>(g.package), g.package->getId());
          setBox(*frame, centre, blockSizes[k]);
          o.addElement(frame);
        }
        for (DiagramElement* shape : g.diagram->getElements()) {
          DiagramElement* copy = newShape(shape->getModelElement(), shape->getId());
          const VisualElementLayout* l = shape->getCurrentLayout();
          copy->getCurrentLayout()->setCorners(new Vec2(*l->getLowerLeft() + offset), new Vec2(*l->getUpperRight() + offset));
          std::vector<Vec2> route = shape->waypoints();
          for (Vec2& p : route) p = p + offset;
          copy->setWaypoints(std::move(route));
          if (isBox(shape->getModelElement())) o.addElement(copy);
          else relationShapes.push_back(copy);
        }
      }
      for (DiagramElement* shape : relationShapes) o.addElement(shape);
      // Relations between packages: straight lines from box to box.
      std::unordered_map<const ModelElement*, Vec2> centreOf;
      for (DiagramElement* shape : o.getElements())
        if (const VisualElementLayout* l = shape->getCurrentLayout(); l && l->getLowerLeft())
          centreOf.emplace(shape->getModelElement(), (*l->getLowerLeft() + *l->getUpperRight()) * 0.5f);
      for (ModelElement* relation : relations) {
        const RelationEnds ends = relationEnds(relation, &pool);
        auto t = groupOf.find(pool.find(ends.tail)), h = groupOf.find(pool.find(ends.head));
        if (t == groupOf.end() || h == groupOf.end() || t->second == h->second) continue;
        auto a = centreOf.find(t->first), b = centreOf.find(h->first);
        if (a == centreOf.end() || b == centreOf.end()) continue;
        DiagramElement* shape = newShape(relation, relation->getId());
        const Vec2 mid = (a->second + b->second) * 0.5f;
        shape->getCurrentLayout()->setCorners(new Vec2(mid), new Vec2(mid));
        o.addElement(shape);
      }
      finishDiagram(o);
    }
  }

  // Names stay unique, so that --diagram NAME finds each: one a diagram of
  // the file already has gets " (generated)".
  std::set<std::string> names;
  for (const Diagram* d : diagrams) names.insert(d->getName());
  auto append = [&](std::unique_ptr<Diagram> d) {
    std::string name = d->getName();
    for (int n = 1; !names.insert(name).second; ++n)
      name = d->getName() + (n == 1 ? " (generated)" : " (generated " + std::to_string(n) + ")");
    d->setName(name);
    d->setId("generated:" + name);
    diagrams.push_back(d.release());
  };
  for (std::size_t index : order)
    if (groups[index].diagram && groups[index].needsDiagram) append(std::move(groups[index].diagram));
  if (overviewDiagram) append(std::move(overviewDiagram));
  return failures;
}

}  // namespace lumetra
