// Large models are read on two threads. Whatever the split, the diagrams,
// the pool, the messages and the written text must be those of the same
// reading done on one thread.

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "model/ModelFactory.h"
#include "modelfiles/DiagramParserXMI.h"
#include "modelfiles/DiagramWriter.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

using testing::classDiagram;
using testing::shape;
using testing::xmiDocument;

constexpr std::size_t kAlways = 0;
constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

// A model with every kind of subject and every way a shape can go wrong,
// shown over three diagrams in a shuffled order, with a diagram of an
// unknown kind between them whose shapes are never read.
std::string variedModel() {
  std::mt19937 random(2026);
  std::string model;
  std::vector<std::string> subjects;
  for (int i = 0; i < 500; ++i) {
    const std::string id = "C" + std::to_string(i);
    model += "<UML:Class xmi.id=\"" + id + "\" name=\"Class" + std::to_string(i) + "\">";
    if (i % 5 != 0) {
      model += "<UML:Classifier.feature>";
      for (int f = 0; f < i % 7; ++f) {
        model += f % 2 == 0 ? "<UML:Operation xmi.id=\"" + id + ".o" + std::to_string(f) + "\" name=\"op\" visibility=\"public\"/>"
                            : "<UML:Attribute xmi.id=\"" + id + ".a" + std::to_string(f) +
                                  "\" name=\"a&amp;b\" type=\"List&lt;T&gt;\" visibility=\"private\"/>";
      }
      model += "</UML:Classifier.feature>";
    }
    model += "</UML:Class>";
    subjects.push_back(id);
  }
  for (int i = 0; i < 200; ++i) {
    const std::string id = "A" + std::to_string(i);
    model += "<UML:Association xmi.id=\"" + id + "\" name=\"uses\">";
    if (i % 17 != 0) {  // every seventeenth lacks its connection
      model += "<UML:Association.connection><UML:AssociationEnd xmi.id=\"" + id +
               ".e0\" type=\"C1\" aggregation=\"composite\" isNavigable=\"true\">";
      if (i % 3 != 0)
        model += "<UML:AssociationEnd.multiplicity><UML:Multiplicity><UML:Multiplicity.range>"
                 "<UML:MultiplicityRange lower=\"0\" upper=\"-1\"/></UML:Multiplicity.range></UML:Multiplicity>"
                 "</UML:AssociationEnd.multiplicity>";
      model += "</UML:AssociationEnd><UML:AssociationEnd xmi.id=\"" + id +
               ".e1\" type=\"C2\" aggregation=\"none\" isNavigable=\"false\"/></UML:Association.connection>";
    }
    model += "</UML:Association>";
    subjects.push_back(id);
    if (i % 11 == 0) subjects.push_back(id + ".e0");  // an association end: skipped with a message
  }
  for (int i = 0; i < 100; ++i) {
    model += "<UML:Generalization xmi.id=\"G" + std::to_string(i) + "\" parent=\"C0\" child=\"C" + std::to_string(i + 1) + "\"/>";
    model += "<UML:Interface xmi.id=\"I" + std::to_string(i) + "\" name=\"Port\"><UML:Classifier.feature>"
             "<UML:Operation xmi.id=\"I" + std::to_string(i) + ".o\" name=\"call\" visibility=\"public\"/>"
             "</UML:Classifier.feature></UML:Interface>";
    model += "<UML:Comment xmi.id=\"N" + std::to_string(i) + "\" name=\"note\"/>";
    model += "<UML:Package xmi.id=\"P" + std::to_string(i) + "\" name=\"pkg\"/>";
    model += "<UML:Dependency xmi.id=\"Dep" + std::to_string(i) + "\" client=\"C3\" supplier=\"C4\" name=\"d\"/>";
    model += "<UML:Stereotype xmi.id=\"X" + std::to_string(i) + "\"/>";  // not a diagram element
    for (const char* prefix : {"G", "I", "N", "P", "Dep", "X"}) subjects.push_back(prefix + std::to_string(i));
  }
  // Classes with long names make the written text span several of the
  // writer's buffers.
  for (int i = 0; i < 40; ++i) {
    const std::string id = "L" + std::to_string(i);
    model += "<UML:Class xmi.id=\"" + id + "\" name=\"" + std::string(60000, static_cast<char>('a' + i % 26)) + "\"/>";
    subjects.push_back(id);
  }
  // A later element repeating an identifier: the first one is the subject.
  model += "<UML:Class xmi.id=\"C7\" name=\"Shadowed\"/>";
  subjects.push_back("missing");

  std::string diagrams;
  int shapeNumber = 0;
  auto shapes = [&](std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string id = "S" + std::to_string(shapeNumber++);
      const std::string& subject = subjects[random() % subjects.size()];
      switch (random() % 13) {
        case 0: text += shape(id, subject, "Role"); break;
        case 1: text += shape(id, subject, "RealizeRelation"); break;
        case 2: text += shape(id, subject, "DependencyRelation"); break;
        case 3: text += shape(id, subject, "", "12, 7"); break;  // unreadable geometry
        case 4: text += shape(id, "S" + std::to_string(random() % (shapeNumber + 5))); break;  // names a shape
        default: text += shape(id, subject, "", std::to_string(random() % 900) + ", 150.5, 90, 30,");
      }
    }
    return text;
  };
  diagrams += classDiagram(shapes(700), "D1");
  diagrams += "<UML:Diagram xmi.id=\"U\" name=\"Other\" diagramType=\"SequenceDiagram\"><UML:Diagram.element>" +
              shapes(150) + "</UML:Diagram.element></UML:Diagram>";
  diagrams += classDiagram(shapes(500), "D2");
  std::string longNamed;
  for (int i = 0; i < 40; ++i) longNamed += shape("T" + std::to_string(i), "L" + std::to_string(i));
  diagrams += classDiagram(shapes(300) + longNamed, "D3");
  return xmiDocument(model, diagrams);
}

// Checks each shape read against its node in the document: a shape shows
// the element its subject names (a relation shape its own Dummy) at the
// corners its geometry gives, and a role label keeps its subject.
void expectShapesMatchTheirNodes(const pugi::xml_document& document, const std::vector<Diagram*>& diagrams) {
  std::map<std::string, pugi::xml_node> nodes;
  for (pugi::xpath_node found : document.select_nodes("//UML:DiagramElement"))
    nodes.emplace(found.node().attribute("xmi.id").value(), found.node());
  std::size_t checked = 0;
  for (const Diagram* diagram : diagrams) {
    for (std::size_t i = 0; i < diagram->getElementCount(); ++i) {
      const DiagramElement* element = diagram->getElement(i);
      const pugi::xml_node node = nodes.at(element->getId());
      const std::string style = node.attribute("style").value();
      const bool relation = style == "RealizeRelation" || style == "DependencyRelation";
      ASSERT_NE(element->getModelElement(), nullptr);
      EXPECT_EQ(element->getModelElement()->getId(), relation ? element->getId() : node.attribute("subject").value())
          << element->getId();
      const std::unique_ptr<VisualElementLayout> expected(parseGeometry("Default", node.attribute("geometry").value()));
      const VisualElementLayout* layout = element->getCurrentLayout();
      ASSERT_NE(layout, nullptr);
      EXPECT_EQ(layout->getLowerLeft()->x, expected->getLowerLeft()->x) << element->getId();
      EXPECT_EQ(layout->getUpperRight()->y, expected->getUpperRight()->y) << element->getId();
      ++checked;
    }
    for (std::size_t i = 0; i < diagram->getSupplementaryElementCount(); ++i) {
      const VisualSupplElement* label = diagram->getSupplementaryElement(i);
      EXPECT_EQ(label->getSubjectId(), nodes.at(label->getId()).attribute("subject").value());
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000u);
}

struct Outcome {
  std::string messages;  // the reader's debug output
  std::string text;      // the diagram file's content
  std::size_t diagrams = 0;
  std::size_t poolSize = 0;
};

Outcome readAndWrite(const pugi::xml_document& document, std::size_t readThreadedFrom) {
  Outcome outcome;
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  {
    DebugCapture capture;
    DiagramParserXMI reader(diagrams, pool, document);
    reader.setThreadedFrom(readThreadedFrom);
    reader.parse();
    outcome.messages = capture.text();
  }
  outcome.diagrams = diagrams.size();
  outcome.poolSize = pool.size();
  expectShapesMatchTheirNodes(document, diagrams);

  XMLDiagramWriter writer("unused.dia", diagrams, pool);
  std::FILE* file = std::tmpfile();
  EXPECT_NE(file, nullptr);
  if (file) {
    {
      DebugCapture quiet;
      EXPECT_EQ(writer.streamTo(fileno(file)), 0);
    }
    std::rewind(file);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) outcome.text.append(buffer, n);
    std::fclose(file);
  }
  for (Diagram* diagram : diagrams) delete diagram;
  return outcome;
}

TEST(ThreadedReadTest, TwoThreadsReadWhatOneThreadReads) {
  pugi::xml_document document;
  const std::string text = variedModel();
  ASSERT_TRUE(document.load_buffer(text.data(), text.size(), pugi::parse_full));

  const Outcome single = readAndWrite(document, kNever);
  // The model exercises what it is meant to: shapes dropped for every
  // reason, the unknown diagram skipped, and enough elements for both
  // threads to take part.
  EXPECT_EQ(single.diagrams, 3u);
  EXPECT_GT(single.poolSize, 600u);
  EXPECT_GT(single.text.size(), 2'000'000u) << "the text spans several of the writer's buffers";
  for (const char* message : {"\n SKIP \n", "\n ERROR: MODEL ELEMENT IS NOT FOUND \n",
                              "\n ERROR: UNEXPECTED ELEMENT FOR XMI PARSING \n", "\n ERROR: ASSOCIATION WITHOUT TWO ENDS \n",
                              "INVALID GEOMETRY"})
    EXPECT_NE(single.messages.find(message), std::string::npos) << message;

  const Outcome threaded = readAndWrite(document, kAlways);
  EXPECT_EQ(threaded.diagrams, single.diagrams);
  EXPECT_EQ(threaded.poolSize, single.poolSize);
  EXPECT_EQ(threaded.messages, single.messages) << "the same messages in the same order";
  EXPECT_TRUE(threaded.text == single.text) << "the written diagram files differ";
}

// A reader that parses again starts afresh: nothing prepared by the first
// reading is taken twice, lost or leaked (the valgrind run of these tests
// sees leaks).
TEST(ThreadedReadTest, AReaderParsesTwiceIntoAnEmptyPool) {
  pugi::xml_document document;
  const std::string text = variedModel();
  ASSERT_TRUE(document.load_buffer(text.data(), text.size(), pugi::parse_full));
  const Outcome once = readAndWrite(document, kAlways);

  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  DebugCapture quiet;
  DiagramParserXMI reader(diagrams, pool, document);
  reader.setThreadedFrom(kAlways);
  reader.parse();
  for (Diagram* diagram : diagrams) delete diagram;
  diagrams.clear();
  pool.clear();
  reader.parse();
  EXPECT_EQ(diagrams.size(), once.diagrams);
  EXPECT_EQ(pool.size(), once.poolSize);
  for (Diagram* diagram : diagrams) delete diagram;
}

}  // namespace
}  // namespace lumetra
