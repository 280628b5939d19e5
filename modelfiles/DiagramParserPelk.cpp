#include "modelfiles/DiagramParserPelk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "model/ModelFactory.h"
#include "geometry/GeometryPasses.h"

namespace lumetra {

namespace {

std::string attr(pugi::xml_node node, const char* name) { return node.attribute(name).value(); }

// A decimal integer as the C library reads it (leading blanks, a sign, digits,
// anything after ignored, 0 when there is no number), clamped to the range
// of int instead of overflowing.
int readInteger(const char* text) {
  errno = 0;
  const long value = std::strtol(text, nullptr, 10);
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// The scenario element: the first top-level element. In the usual file it
// is the second top-level node, after the XML declaration; a file without a
// declaration has it first, and comments before it are passed over.
pugi::xml_node scenarioElement(pugi::xml_node document) {
  for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling())
    if (node.type() == pugi::node_element) return node;
  return pugi::xml_node();
}

// A service's shape that also owns its interface marker shapes. A composed
// shape does not own its children and a diagram owns only the shapes of its
// element list, so without this the markers would never be freed.
class ServiceShape : public ComposedDiagramElement {
 public:
  using ComposedDiagramElement::ComposedDiagramElement;
  ~ServiceShape() override {
    for (std::size_t i = 0; i < getChildCount(); ++i) delete getChild(i);
  }
};

// As the factory's composed element, as a ServiceShape.
ComposedDiagramElement* createServiceShape(const std::string& id) {
  auto* shape = new ServiceShape(id, new VisualElementLayout("Default"));
  shape->setAppearance(makeDefaultAppearance());
  return shape;
}

}  // namespace

std::vector<std::string> splitEdges(const std::string& edges) {
  std::vector<std::string> pieces;
  std::string::size_type from = 0;
  while (from <= edges.size()) {
    std::string::size_type to = edges.find(' ', from);
    if (to == std::string::npos) to = edges.size();
    if (to > from) pieces.push_back(edges.substr(from, to - from));
    from = to + 1;
  }
  return pieces;
}

void DiagramParserPelk::parse() {
  const pugi::xml_node scenario = scenarioElement(document_);
  if (!scenario) return;

  const pugi::xml_attribute nameAttribute = scenario.attribute("Name");
  const std::string name = nameAttribute ? nameAttribute.value() : kDefaultScenarioName;
  Diagram* diagram = createDiagram(attr(scenario, "id"), name, "PelkComponentDiagram", "Default");
  diagrams_->push_back(diagram);

  bool anyNode = false;
  for (pugi::xml_node node = scenario.child("nodes"); node; node = node.next_sibling("nodes")) {
    parseNode(node);
    anyNode = true;
  }
  if (!anyNode) {
    diagrams_->pop_back();
    delete diagram;
  }
}

void DiagramParserPelk::parseNode(pugi::xml_node node) {
  // Missing attributes read as empty text; missing coordinates as 0.
  const std::string id = attr(node, "id");
  const std::string name = attr(node, "Name");
  const int x = readInteger(node.attribute("x").value());
  const int y = readInteger(node.attribute("y").value());

  ComposedDiagramElement* shape = createServiceShape(id);
  PelkService* service = createPelkService(id, name);
  pool_->add(service);
  shape->setModelElement(service);
  currentNode_ = shape;

  for (pugi::xml_node input = node.child("inputs"); input; input = input.next_sibling("inputs"))
    parseNodeInterface(input, "provided");
  for (pugi::xml_node output = node.child("outputs"); output; output = output.next_sibling("outputs"))
    parseNodeInterface(output, "required");

  layoutNode(shape, x, y);
  diagrams_->back()->addElement(shape);
}

void DiagramParserPelk::parseNodeInterface(pugi::xml_node element, const std::string& kind) {
  const std::string id = attr(element, "id");
  const std::string name = attr(element, "Name");
  const bool provided = kind == "provided";

  // The marker shape is owned by the service's shape (see ServiceShape).
  DiagramElement* shape = createEmptyElement(id, "Default");
  auto* service = static_cast<PelkService*>(currentNode_->getModelElement());
  PelkInterface* iface = createPelkInterface(id, name, kind, service->getId());
  pool_->add(iface);
  shape->setModelElement(iface);
  currentNode_->addChild(shape);
  if (provided)
    service->addProvided(iface);
  else
    service->addRequired(iface);

  if (const pugi::xml_attribute edges = element.attribute("edges")) {
    for (const std::string& connectionId : splitEdges(edges.value())) {
      PelkConnection* connection = nullptr;
      auto pending = pendingConnections_.find(connectionId);
      if (pending != pendingConnections_.end()) {
        // The second interface naming it: the connection gets its shape.
        connection = pending->second.front();
        pending->second.pop_front();
        if (pending->second.empty()) pendingConnections_.erase(pending);
        DiagramElement* connectionShape = createZeroElement(connection->getId(), "Default");
        connectionShape->setModelElement(connection);
        diagrams_->back()->addElement(connectionShape);
      } else {
        connection = createPelkConnection(connectionId);
        pool_->add(connection);
        pendingConnections_[connectionId].push_back(connection);
      }
      if (provided)
        connection->setFirstEnd(iface);
      else
        connection->setSecondEnd(iface);
    }
  }

  if (provided)
    for (pugi::xml_node op = element.child("operations"); op; op = op.next_sibling("operations"))
      iface->addOperation(attr(op, "Name"));
}

void DiagramParserPelk::layoutNode(ComposedDiagramElement* node, int x, int y) {
  const auto* service = static_cast<PelkService*>(node->getModelElement());
  const std::size_t n = std::max(service->getProvided().size(), service->getRequired().size());
  const Vec2 centre(static_cast<float>(x), static_cast<float>(y));
  const Vec2 extent(180.0f, 30.0f * static_cast<float>(n) + 50.0f);
  const float inverse = 1.0f / kScenarioScale;
  node->getCurrentLayout()->setCorners(new Vec2((centre - extent * 0.5f) * inverse),
                                       new Vec2((centre + extent * 0.5f) * inverse));
}

}  // namespace lumetra
