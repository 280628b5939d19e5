#pragma once
// Showing a loaded diagram in a window of the canvas: what choosing it in the
// model tree, "Find class", the command line and a loaded configuration all
// do, without any widget.
//
// The shown areas are identified again over the diagram (in the order of
// their values when the area set draws them so), and the window takes the diagram,
// fitted, with its recorded scene marked stale. Nothing is drawn: the caller
// repaints once when everything it changes is done, and that repaint records
// the window once.

namespace lumetra {

class CanvasWindow;
class Diagram;
class Document;

// False, and nothing changed, when the diagram is not one of the document's.
bool showDiagram(Document& document, CanvasWindow& window, Diagram* diagram);

}  // namespace lumetra
