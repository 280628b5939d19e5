#pragma once
// The diagrams of a UML2 model, in the three forms tools write them:
//   - a Papyrus notation document (`notation:Diagram`, shapes with
//     `notation:Bounds` relative to the shape that contains them);
//   - the diagrams of an Enterprise Architect `xmi:Extension`
//     (`geometry="Left=..;Top=..;Right=..;Bottom=.."`, absolute);
//   - OMG diagram interchange (`umldi:UMLShape` with `dc:Bounds`, absolute).
// Each becomes a ClassDiagram whose shapes are made as the XMI 1.x reader
// makes them: one DiagramElement per box with one layout "Default" and the
// default appearance, and one small DiagramElement per relation drawn
// between its ends' boxes, with the bend points of its path where the file
// gives them (DiagramElement::waypoints). Coordinates are file pixels, y
// downwards, one pixel a diagram unit; the post-load passes turn them y-up
// and centre them.
//
// A shape whose element the model does not hold is skipped (and told to the
// model lookup), and a diagram left without boxes is dropped.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "model/Diagram.h"
#include "model/Vec2.h"
#include "modelfiles/Uml2Xml.h"

namespace lumetra::uml2 {

// What the diagram readers ask of the model that was read.
class ModelLookup {
 public:
  virtual ~ModelLookup() = default;
  // The model element of that identifier, or null where the model holds
  // none. Comments are made into notes the first time a diagram shows them.
  virtual ModelElement* element(std::string_view id) = 0;
  // A shape or edge left out because the model holds no element `id`;
  // `what` says which ("shape", "edge").
  virtual void leftOut(std::string_view what, std::string_view id) = 0;
};

// A relation's path as a diagram gives it: every point from the source
// box's border to the target box's, in file pixels (y downwards).
struct EdgePath {
  std::vector<Vec2> points;
  // The notation shape the path starts at, where the file names it; the
  // path is turned round when that shape shows the relation's other end.
  std::string sourceShape;
};

// Builds one class diagram from boxes and relations in file coordinates.
class DiagramBuilder {
 public:
  DiagramBuilder(ModelLookup& model, std::string id, std::string name);

  // A box showing `subject` with its top-left corner at (x, y) and that size,
  // in file pixels with y downwards. A negative width or height (a tool's
  // "auto-size") is sized to the element's content as the automatic layout
  // sizes its boxes (layout/BoxSize.h). False, with nothing added, when the
  // model holds no class, interface, package or note of that identifier.
  bool addBox(std::string_view shapeId, std::string_view subject, float x, float y, float width, float height);
  // A relation drawn between its ends' boxes, along `path` where it has two
  // points or more (its inner points become the bend points, its middle
  // takes the label); straight otherwise.
  void addEdge(std::string_view shapeId, std::string_view subject, EdgePath path = {});

  // The box added for a shape identifier, or null; valid until finish().
  const DiagramElement* box(std::string_view shapeId);

  // The diagram (the caller owns it), or null when no box was added. Edges
  // whose relation the model does not hold or whose ends this diagram does
  // not show are left out.
  Diagram* finish();

 private:
  struct Edge {
    std::string shapeId;
    std::string subject;
    EdgePath path;
  };
  ModelLookup& model_;
  std::string id_;
  std::string name_;
  std::vector<DiagramElement*> boxes_;  // owned until finish()
  std::vector<Edge> edges_;
  // Shape identifier -> box, made on the first box() call (most diagrams
  // never ask); keys view the boxes' own identifiers.
  std::unordered_map<std::string_view, const DiagramElement*> byShape_;
  std::size_t indexed_ = 0;  // boxes_ entries already in byShape_
};

// Every diagram of a notation document (a single `notation:Diagram` root or
// an `xmi:XMI` of many), appended to `out`.
void readNotationDiagrams(pugi::xml_node document, ModelLookup& model, std::vector<Diagram*>& out);

// The diagrams of an Enterprise Architect extension element.
void readExtensionDiagrams(pugi::xml_node extension, ModelLookup& model, std::vector<Diagram*>& out);

// One diagram-interchange diagram element (`umldi:UMLClassDiagram` and the like).
void readInterchangeDiagram(pugi::xml_node diagram, const Prefixes& prefixes, ModelLookup& model,
                            std::vector<Diagram*>& out);

}  // namespace lumetra::uml2
