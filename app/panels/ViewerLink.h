#pragma once
// What the frame's panels (model tree, metric and area lists, the two
// notebook pages, the layout preview) ask of the frame that holds them.
// mainFrame implements it; panel tests implement it with a small fake, so a
// panel can be built and driven without the whole frame.
//
// Every call may come while nothing is loaded: an implementation answers
// null or does nothing then, never dereferences a missing model.

#include <string>

namespace lumetra {

class AreaSet;
class Canvas;
class Diagram;
class Metric;
class MetricSet;
class MetricsVisualizerSimple;
class ModelElement;
class SelectionManager;

class ViewerLink {
 public:
  // The drawing canvas (its active window receives view commands); never
  // null once the frame is built.
  virtual Canvas* canvas() = 0;
  // The one painter every window uses.
  virtual MetricsVisualizerSimple* painter() = 0;
  // The loaded document's parts. They live as long as the frame; their
  // contents are replaced when another model is opened.
  virtual MetricSet& metrics() = 0;
  virtual AreaSet& areas() = 0;
  virtual SelectionManager& selection() = 0;

  // The metric list picked a metric for editing (null: none). The metrics
  // page shows its options.
  virtual void metricSelected(Metric* metric) = 0;
  // The area list picked an area for editing; the areas page shows its
  // painter's options. An unknown name selects nothing.
  virtual void areaSelected(const std::string& name) = 0;
  // The area list checked an area: identify it over the active window's
  // diagram and recompute the shown areas. False when there is no diagram
  // or no such area (nothing changes then).
  virtual bool showArea(const std::string& name) = 0;
  // The model tree is about to show another diagram in the active window:
  // identify every shown area again over it, without redrawing (the window
  // records the diagram with its areas next; other windows are the tree's
  // to refresh).
  virtual void identifyShownAreasAgain(Diagram* diagram) = 0;
  // Shows a loaded diagram in the active window, as choosing it in the model
  // tree does: the shown areas identified again over it, the window fitted,
  // one repaint. False when it is not shown (not a loaded diagram, no
  // window). The frame does it through the document (app/document/
  // ShowDiagram.h); by default, for a link without a document, the areas
  // are identified again through identifyShownAreasAgain and the active
  // window shows the diagram at once.
  virtual bool showDiagram(Diagram* diagram);
  // The model tree or "Find class" chose a class: select it alone and centre
  // it in the active window (which must show diagram).
  virtual void centreOnElement(Diagram* diagram, ModelElement* element) = 0;
  // Repaints every window of the canvas (erase: clear the background first,
  // after a change of the area painters' parameters).
  virtual void refreshCanvas(bool erase = false) = 0;
  // Repaints every window after a change that touches only what the areas
  // show (their parameters, painters, modes, colours, order, alpha, or
  // which are shown): the frame re-renders the area picture and replays the
  // windows' recorded diagrams. By default a full repaint with the
  // background erased.
  virtual void refreshAreas() { refreshCanvas(true); }

 protected:
  ~ViewerLink() = default;
};

}  // namespace lumetra
