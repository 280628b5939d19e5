#pragma once
// Reads the diagrams of an XMI 1.x document: for every shape the model
// element its subject names is looked up by identifier in the model part of
// the document, built once and pooled. Asked to read the whole model, it
// then also reads the classes, interfaces, packages and relations that no
// shape shows (the automatic layout draws them), and every element learns
// its owning package.
//
// A model with many shapes is read on two threads: one walks the model part
// while the other makes the shapes, then both build the subjects found. The
// pool, the diagrams and the debug lines come out as on one thread. The
// element readers (parseClass and the others) may thus run on either thread
// at once; they only read the document and create new elements.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/IdentifierTable.h"
#include "modelfiles/DiagramParser.h"
#include "modelfiles/XmiDetails.h"

namespace lumetra {

class DiagramParserXMI : public DiagramParser {
 public:
  using DiagramParser::DiagramParser;

  void parse() override;
  ~DiagramParserXMI() override;
  virtual void parseDiagram(pugi::xml_node diagram);
  virtual void parseDiagramElement(pugi::xml_node shape);
  // Builds the model element with that xmi.id (the first in document order),
  // or returns null with a debug line. The caller owns the result.
  virtual ModelElement* findModelElement(const std::string& id);

  // Each builds the model element of one XML element; the caller owns it.
  virtual ModelElement* parseClass(pugi::xml_node element);
  virtual ModelElement* parseGeneralization(pugi::xml_node element);
  virtual ModelElement* parseComment(pugi::xml_node element);
  virtual ModelElement* parsePackage(pugi::xml_node element);
  // Null when the association lacks its connection or one of its two ends.
  virtual ModelElement* parseAssociation(pugi::xml_node element);
  virtual ModelElement* parseInterface(pugi::xml_node element);
  virtual ModelElement* parseDependency(pugi::xml_node element);
  virtual ModelElement* parseAttribute(pugi::xml_node element);
  virtual ModelElement* parseOperation(pugi::xml_node element);
  virtual ModelElement* parseAssociationEnd(pugi::xml_node element);

  // The nodes of the model part in document pre-order: the model element,
  // its subtree, then every following sibling with its subtree (the
  // diagrams after the model among them). Identifiers are looked up in this
  // order, first match wins. Without a model part, the whole content.
  std::vector<pugi::xml_node> indexedNodes() const;

  // Diagrams with at least that many shapes in all are read on two threads
  // where the machine has two cores (the result is the same either way).
  void setThreadedFrom(std::size_t shapes) { threadedFrom_ = shapes; }

  // Also build what no diagram shows and set the owners (readModelTree);
  // off by default, on where a model is opened for the viewer (loadModel).
  void setReadWholeModel(bool whole) { readWholeModel_ = whole; }

 private:
  template <typename Visit>
  void walkIndex(Visit&& visit) const;
  void buildIndex();
  // After the diagrams: builds the classes, interfaces, packages and
  // relations of the model part that no shape showed, and gives every
  // pooled element the owner that its place in the namespaces' nesting
  // says (UML:Namespace.ownedElement).
  void readModelTree();

  // What the reader knows of one subject identifier.
  struct Subject {
    // The first indexed element carrying it as xmi.id (null while none was found).
    pugi::xml_node node;
    // The pool's element of that identifier once one was pooled (null before).
    ModelElement* pooled = nullptr;
    // The model element built from node while the index walk passed it (its
    // nodes are then still in the cache), owned here until a shape takes it;
    // null for elements whose reading may fail or complain, which are built
    // when a shape asks, as often as it asks.
    ModelElement* built = nullptr;
  };
  using SubjectIndex = IdentifierTable<std::string_view, Subject>;
  using SubjectEntry = SubjectIndex::Entry;
  // Builds the model element of an indexed node ahead of the shapes, or
  // returns null when it is left to findModelElement.
  ModelElement* buildAhead(pugi::xml_node node);
  // Models with fewer shapes are read on one thread.
  std::size_t threadedFrom_ = 2048;
  bool readWholeModel_ = false;
  // Frees the elements built ahead that no shape took.
  void dropUnusedBuilt();
  // The pool's element of that identifier, or null; entry is the
  // identifier's index entry (null for an identifier no shape names).
  ModelElement* pooledElement(const std::string& id, SubjectEntry*& entry);
  // Records a newly pooled element in the entry of its identifier.
  void notePooled(ModelElement* element, SubjectEntry* entry);

  // Types, stereotypes and relation subjects by identifier (features and
  // relation shapes read their details through it).
  const XmiNames& names();
  std::unique_ptr<XmiNames> names_;

  pugi::xml_node modelRoot_;
  pugi::xml_node currentDiagram_;
  // Subject identifier -> what is known of it. Only the subjects that shapes
  // name are indexed, so a model part much larger than its diagrams costs one
  // walk and no more. The keys point into the document, which outlives the
  // reader.
  SubjectIndex idIndex_;
  // What the index pass learnt of each shape, in reading order.
  struct ShapeSlot {
    pugi::xml_node node;
    // The index entry of the shape's subject (null for shapes whose subject
    // is not looked up), so that the shape need not hash it again.
    SubjectEntry* entry = nullptr;
    // The shape or role label made ahead from the node's attributes, owned
    // here until the shape's reading takes it (null when it is made then).
    DiagramElement* shape = nullptr;
    VisualSupplElement* label = nullptr;
    // The node's xmi.id, geometry, style and subject texts (in the document).
    std::array<const char*, 4> texts{};
  };
  std::vector<ShapeSlot> shapes_;
  std::size_t shapeCursor_ = 0;  // the next shape's position in shapes_
  // The slot of that shape, looked for from the cursor on (shapes are read
  // in the order the index saw them; those of a diagram that was not read
  // are passed over); null when not found.
  ShapeSlot* takeShapeSlot(pugi::xml_node shapeNode);
  // Makes the shapes and labels of shapes_[from, to) ahead.
  void prepareShapes(std::size_t from, std::size_t to);
  // The entry of the subject the current shape looks up.
  SubjectEntry* currentEntry_ = nullptr;
  // The pool held nothing when parse() began: then every pooled element of a
  // subject identifier was pooled by this reader and noted in its entry, and
  // the entry answers what a pool search would.
  bool poolStartedEmpty_ = false;
};

// "lower" when both bounds are equal, else "lower upper"; an upper bound of
// "-1" reads "*".
std::string multiplicityText(const std::string& lower, const std::string& upper);

}  // namespace lumetra
