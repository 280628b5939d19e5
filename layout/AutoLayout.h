#pragma once
// Automatic layout: diagrams made for the classes no diagram of a file
// shows, and laying out one diagram afresh ("Arrange").
//
// Both run after the post-load passes and work in their space: diagram
// units, y up, each diagram centred on the origin. Boxes of generated
// diagrams are sized to their content (layout/BoxSize.h); arranging keeps
// every box's size. Superclasses stand above their subclasses (and
// interfaces above what realizes them); associations and dependencies are
// routed but do not decide the ranks. Routes become the relation shapes'
// bend points (DiagramElement::waypoints).
//
// The layout itself runs on the layout thread (layout/GraphLayout.h); these
// functions wait for it, so callers run them off the GUI thread. The result
// depends only on the model: the same model gives the same diagrams.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/Diagram.h"

namespace lumetra {

class Package;

// Models with more classes than this get no "Overview" diagram.
inline constexpr std::size_t kOverviewLimit = 3000;

// A diagram that could not be laid out, and Graphviz's reason.
struct LayoutFailure {
  std::string diagram;
  std::string reason;
  // "Layout of diagram NAME failed: REASON"
  std::string message() const;
};

// When the pool holds classes or interfaces that no diagram of the list
// shows, appends (marked generated, coloured and ordered as the post-load
// passes do): one diagram per package holding such an element, named by the
// package's qualified name, with all the package's classes and interfaces
// and the relations among them; one named modelName for such elements
// outside any package; and an "Overview" of the whole model with packages
// drawn as groups, while the model has at most kOverviewLimit classes. A
// name that a diagram of the list already has gets " (generated)".
// Diagrams already in the list are not touched. A diagram whose layout
// fails is left out and reported; the others are still appended. With the
// abandon flag set, stops between diagrams and appends nothing.
//
// grouping, when given, says which package's diagram (and Overview group)
// shows each class or interface in place of its owning package: null for
// the top level. The package must be in the pool; it need not own the class.
// With rankGroupsByUse, every relation between two groups ranks their
// blocks in the Overview (a group above the groups it uses), so that layers
// of code read from top to bottom; otherwise only generalizations do.
using DiagramGrouping = std::function<const Package*(const ModelElement&)>;
std::vector<LayoutFailure> addGeneratedDiagrams(std::vector<Diagram*>& diagrams, const ModelElementsPool& pool,
                                                const std::string& modelName,
                                                const std::atomic<bool>* abandon = nullptr,
                                                const DiagramGrouping& grouping = {}, bool rankGroupsByUse = false);

// Where every shape of a diagram is: each shape's corners and bend points,
// in diagram order (composed shapes' children follow their parent).
struct DiagramGeometry {
  struct Shape {
    VisualElement* element = nullptr;  // owned by the diagram
    Vec2 lowerLeft, upperRight;
    bool hasCorners = false;
    std::vector<Vec2> waypoints;
  };
  std::vector<Shape> shapes;
};

DiagramGeometry captureGeometry(Diagram& diagram);
// Puts the shapes back where geometry says (shapes it does not name stay)
// and the diagram's own box around them. The geometry must come from this
// diagram.
void applyGeometry(Diagram& diagram, const DiagramGeometry& geometry);

struct ArrangeResult {
  bool ok = false;
  std::string error;         // Graphviz's reason when not ok
  DiagramGeometry geometry;  // the new places, not yet applied
};

// Lays the diagram out afresh: boxes keep their sizes, relations get routes,
// the result is centred on the origin. Nothing changes until the caller
// applies the geometry (so that an undo step can keep the old one).
ArrangeResult arrangeDiagram(Diagram& diagram, const ModelElementsPool& pool,
                             const std::atomic<bool>* abandon = nullptr);

// arrangeDiagram in three steps, for a caller that lets the user abandon the
// layout and close the model while Graphviz still works on it: only the
// middle step waits for Graphviz, and it touches nothing but the job.
struct ArrangeJob;
// Copies out of the diagram what the layout needs (box sizes, edges).
std::shared_ptr<ArrangeJob> prepareArrange(Diagram& diagram, const ModelElementsPool& pool);
// The layout itself, on any thread; reads and writes only the job.
void runArrange(ArrangeJob& job, const std::atomic<bool>* abandon = nullptr);
// The new places, for the diagram the job was prepared from, unchanged since.
ArrangeResult finishArrange(ArrangeJob& job, Diagram& diagram);

}  // namespace lumetra
