#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <unistd.h>

#include "model/ModelFactory.h"
#include "modelfiles/DiagramWriter.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class DiagramWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("lumetra-writer-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    for (Diagram* d : diagrams_) delete d;
    fs::remove_all(folder_);
  }

  // Writes the model and parses the file back.
  pugi::xml_node writeAndRead(const std::string& name = "out.dia") {
    XMLDiagramWriter writer((folder_ / name).string(), diagrams_, pool_);
    EXPECT_TRUE(writer.write()) << writer.errorText();
    EXPECT_TRUE(written_.load_file((folder_ / name).c_str()));
    return written_.child("root");
  }

  // "name=value ..." of a node's attributes, in file order.
  static std::string attributes(pugi::xml_node node) {
    std::string text;
    for (pugi::xml_attribute a : node.attributes()) text += std::string(text.empty() ? "" : " ") + a.name() + "=" + a.value();
    return text;
  }
  static std::string children(pugi::xml_node node) {
    std::string text;
    for (pugi::xml_node c : node.children()) text += std::string(text.empty() ? "" : " ") + c.name();
    return text;
  }

  std::size_t filesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  testing::DebugCapture quiet_;  // the writer traces every element
  fs::path folder_;
  std::vector<Diagram*> diagrams_;
  ModelElementsPool pool_;
  pugi::xml_document written_;
};

TEST_F(DiagramWriterTest, AnEmptyModelWritesEmptyLists) {
  pugi::xml_node root = writeAndRead();
  ASSERT_TRUE(root);
  EXPECT_EQ(children(root), "diagrams model_elements");
  EXPECT_FALSE(root.child("diagrams").first_child());
  EXPECT_FALSE(root.child("model_elements").first_child());
}

TEST_F(DiagramWriterTest, WritesTheDiagramTreeWithLayouts) {
  Diagram* d = createDiagram("D1", "Main", "ClassDiagram", "Default");
  diagrams_.push_back(d);
  auto* cls = createClass("C", "Customer");
  pool_.add(cls);
  auto* shape = new DiagramElement("S1", new VisualElementLayout("Default", new Vec2(85, 45), new Vec2(115, 55)));
  shape->addLayout(new VisualElementLayout("Other", new Vec2(0.5f, -1.25f), new Vec2(1.0f / 3.0f, 1234567.0f)));
  shape->setModelElement(cls);
  d->addElement(shape);
  d->addSupplementaryElement(createSupplementaryElement("R1", "Default", "30, 60, 9, 3,", "Role", "end1"));

  pugi::xml_node diagram = writeAndRead().child("diagrams").child("diagram");
  EXPECT_EQ(attributes(diagram), "id=D1 name=Main class=ClassDiagram");
  EXPECT_EQ(children(diagram), "diagram_elements supplementary_elements");
  pugi::xml_node element = diagram.child("diagram_elements").child("diagram_element");
  EXPECT_EQ(attributes(element), "id=S1 model_id=C");
  EXPECT_EQ(children(element), "layouts");  // not composed: no children element
  pugi::xml_node layout = element.child("layouts").first_child();
  EXPECT_EQ(attributes(layout), "name=Default down=45 left=85 up=55 right=115");
  EXPECT_EQ(attributes(layout.next_sibling()), "name=Other down=-1.25 left=0.5 up=1.23457e+06 right=0.333333");
  pugi::xml_node role = diagram.child("supplementary_elements").child("supplementary_element");
  EXPECT_EQ(attributes(role), "id=R1 model_id=end1");
  EXPECT_EQ(attributes(role.child("layouts").child("layout")), "name=Default down=19.5 left=8.5 up=20.5 right=11.5");
}

TEST_F(DiagramWriterTest, ComposedShapesNestTheirChildren) {
  Diagram* d = createDiagram("D", "Flow", "PelkComponentDiagram", "Default");
  diagrams_.push_back(d);
  ComposedDiagramElement* node = createComposedElement("N", "Default");
  node->getCurrentLayout()->setCorners(new Vec2(0, 0), new Vec2(10, 10));
  auto* service = createPelkService("N", "Service");
  pool_.add(service);
  node->setModelElement(service);
  std::unique_ptr<DiagramElement> marker(createZeroElement("I", "Default"));
  auto* iface = createPelkInterface("I", "in", "provided", "N");
  pool_.add(iface);
  marker->setModelElement(iface);
  node->addChild(marker.get());
  d->addElement(node);

  pugi::xml_node element = writeAndRead().child("diagrams").child("diagram").child("diagram_elements").first_child();
  EXPECT_EQ(children(element), "layouts children");
  pugi::xml_node child = element.child("children").child("diagram_element");
  EXPECT_EQ(attributes(child), "id=I model_id=I");
  EXPECT_EQ(attributes(child.child("layouts").child("layout")), "name=Default down=0 left=0 up=0 right=0");
}

TEST_F(DiagramWriterTest, ModelElementsByKindInPoolOrder) {
  auto* full = createClass("C1", "Full");
  full->addAttribute(createFeature("attribute", "a1", "size", "int", "private"));
  full->addMethod(createFeature("method", "m1", "run", "", "public"));
  pool_.add(full);
  auto* bare = createClass("C2", "Bare");
  bare->addMethod(createFeature("method", "m2", "go", "", "public"));
  pool_.add(bare);
  auto* assoc = createAssociation("A", "has");
  assoc->setFirstEnd(createAssociationEnd("e1", "C1", "composite", "1", "true"));
  assoc->setSecondEnd(createAssociationEnd("e2", "C2", "none", "0 *", "false"));
  pool_.add(assoc);
  pool_.add(createInheritance("G", "C1", "C2"));
  pool_.add(createPelkService("S", "svc"));
  pool_.add(new AssociationEnd("loose"));  // a kind the writer has no case for

  testing::DebugCapture debug;
  pugi::xml_node elements = writeAndRead().child("model_elements");
  std::vector<pugi::xml_node> list(elements.children().begin(), elements.children().end());
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(attributes(list[0]), "id=C1 class=Class name=Full");
  EXPECT_EQ(children(list[0]), "attributes methods");
  EXPECT_EQ(attributes(list[0].child("attributes").child("element")), "id=a1 name=size type=int visibility=private");
  EXPECT_EQ(attributes(list[0].child("methods").child("element")), "id=m1 name=run type= visibility=public");
  EXPECT_EQ(children(list[1]), "methods");  // no attributes element without attributes
  EXPECT_EQ(attributes(list[2]), "id=A class=Association name=has");
  EXPECT_EQ(children(list[2]), "association_end association_end");
  EXPECT_EQ(attributes(list[2].first_child()), "id=e1 model_id=C1 aggregation=composite multiplicity=1 navigable=1");
  EXPECT_EQ(attributes(list[2].last_child()), "id=e2 model_id=C2 aggregation=none multiplicity=0 * navigable=0");
  EXPECT_EQ(attributes(list[3]), "id=G class=Inheritance");
  EXPECT_EQ(attributes(list[4]), "id=S class=PelkService");
  EXPECT_EQ(attributes(list[5]), "id=loose class=AssociationEnd");
  EXPECT_TRUE(debug.contains("\n UNEXPECTED MODEL ELEMENT WRITING AssociationEnd"));
  EXPECT_TRUE(debug.contains("Inheritance"));
}

TEST_F(DiagramWriterTest, NumbersAreWrittenAsAStreamWritesFloats) {
  struct Case {
    float value;
    const char* text;
  } cases[] = {{85.0f, "85"},        {45.5f, "45.5"},      {0.0f, "0"},           {-0.0f, "-0"},
               {1.0f / 3.0f, "0.333333"}, {-2.5f, "-2.5"}, {1234567.0f, "1.23457e+06"}, {0.00001f, "1e-05"},
               {100000.0f, "100000"}, {123456.7f, "123457"}};
  for (const Case& c : cases) {
    std::ostringstream stream;
    stream << c.value;
    EXPECT_EQ(formatNumber(c.value), stream.str()) << c.text;
    EXPECT_EQ(formatNumber(c.value), c.text);
  }
}

// The writer formats coordinates on a short path of its own; whatever the
// value, the text must be the stream's.
TEST_F(DiagramWriterTest, EveryKindOfFloatIsWrittenAsAStreamWritesIt) {
  std::vector<float> values;
  // Geometry as loading makes it: thirds of integers and half sizes.
  for (int i = -30000; i <= 30000; i += 7) {
    values.push_back(static_cast<float>(i) / 3.0f);
    values.push_back((static_cast<float>(i) - 0.5f * 31.0f) * (1.0f / 3.0f));
  }
  // Powers of ten and their neighbours, where the exponent changes and
  // where rounding to six digits carries into the next power.
  for (int e = -6; e <= 7; ++e) {
    const float p = std::pow(10.0f, static_cast<float>(e));
    for (const float base : {p, 0.9999995f * p, 0.99999949f * p, 0.99999951f * p, 1.0000005f * p}) {
      float v = base;
      for (int step = 0; step < 40; ++step) v = std::nextafter(v, 0.0f);
      for (int step = 0; step < 80; ++step, v = std::nextafter(v, 1e30f)) {
        values.push_back(v);
        values.push_back(-v);
      }
    }
  }
  // Decimal ties at the sixth digit that a float holds exactly (x.5 at 10^5
  // and up, binary fractions below) and arbitrary bit patterns.
  for (int i = 100000; i < 100100; ++i) values.push_back(static_cast<float>(i) + 0.5f);
  for (int i = 1; i < 2000; ++i) values.push_back(static_cast<float>(i) / 1024.0f);
  std::mt19937 random(12345);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t bits = random();
    float v = 0.0f;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
  }
  values.insert(values.end(), {0.0f, -0.0f, 1e-4f, 1e6f, 999999.5f, 999999.4f, 0.000099999f,
                               std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()});
  int mismatches = 0;
  for (const float v : values) {
    std::ostringstream stream;
    stream << v;
    if (formatNumber(v) != stream.str() && ++mismatches <= 10)
      ADD_FAILURE() << std::hexfloat << v << ": " << formatNumber(v) << " instead of " << stream.str();
  }
  EXPECT_EQ(mismatches, 0) << "of " << values.size();
}

TEST_F(DiagramWriterTest, AFailedSaveLeavesTheTargetAsItWas) {
  const fs::path target = folder_ / "keep.dia";
  std::ofstream(target) << "previous content";
  for (int i = 0; i < 2000; ++i) pool_.add(createClass("C" + std::to_string(i), "Class number " + std::to_string(i)));

  // Let the file size limit fail the write part-way (as a full disk would).
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  XMLDiagramWriter writer(target.string(), diagrams_, pool_);
  const bool written = writer.write();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_NE(writer.errorText().find(target.string()), std::string::npos) << writer.errorText();
  std::ifstream in(target);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "previous content");
  EXPECT_EQ(filesInFolder(), 1u) << "the temporary file must be removed";
}

TEST_F(DiagramWriterTest, UnwritableTargetsFail) {
  struct Case {
    const char* name;
    fs::path target;
  } cases[] = {
      {"missing folder", folder_ / "no" / "such" / "out.dia"},
      {"target is a folder", folder_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XMLDiagramWriter writer(c.target.string(), diagrams_, pool_);
    EXPECT_FALSE(writer.write());
    EXPECT_FALSE(writer.errorText().empty());
  }
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(DiagramWriterTest, ASuccessfulSaveReplacesTheTargetAndKeepsItsMode) {
  const fs::path target = folder_ / "replace.dia";
  std::ofstream(target) << "old";
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  pool_.add(createPackage("P", "pkg"));
  pugi::xml_node root = writeAndRead("replace.dia");
  EXPECT_EQ(root.child("model_elements").child("element").attribute("id").as_string(), std::string("P"));
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(DiagramWriterTest, TheStreamedFileIsWhatSavingTheDocumentGives) {
  // Every byte value that can stand in an attribute, and markup characters.
  std::string awkward;
  for (int c = 1; c < 256; ++c) awkward += static_cast<char>(c);
  awkward += "&amp; <tag attr=\"x\" other='y'> ]]> \r\n\t";

  Diagram* d = createDiagram(awkward, awkward, "PelkComponentDiagram", "Default");
  diagrams_.push_back(d);
  diagrams_.push_back(createDiagram("empty", "", "ClassDiagram", "Default"));
  ComposedDiagramElement* node = createComposedElement("N", awkward);
  node->getCurrentLayout()->setCorners(new Vec2(-1.5f, 2e-7f), new Vec2(3e9f, 7.25f));
  auto* service = createPelkService("N", awkward);
  pool_.add(service);
  node->setModelElement(service);
  std::unique_ptr<DiagramElement> marker(createEmptyElement("M", "Default"));  // no corners
  node->addChild(marker.get());
  d->addElement(node);
  d->addSupplementaryElement(createSupplementaryElement("R", "Default", "1, 2, 3, 4,", "Role", awkward));
  auto* cls = createClass(awkward, awkward);
  cls->addAttribute(createFeature("attribute", "a", awkward, awkward, awkward));
  pool_.add(cls);
  auto* assoc = createAssociation("A", awkward);
  assoc->setFirstEnd(createAssociationEnd("e", awkward, awkward, awkward, "true"));
  pool_.add(assoc);  // second end missing
  pool_.add(createNote("n", awkward));

  const fs::path target = folder_ / "streamed.dia";
  XMLDiagramWriter writer(target.string(), diagrams_, pool_);
  ASSERT_TRUE(writer.write()) << writer.errorText();
  writer.buildDocument();
  std::ostringstream expected;
  writer.document().save(expected);

  std::ifstream in(target, std::ios::binary);
  const std::string streamed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(streamed, expected.str());
  // And it reads back with the awkward text intact.
  pugi::xml_document back;
  ASSERT_TRUE(back.load_string(streamed.c_str()));
  std::string name = back.child("root").child("diagrams").child("diagram").attribute("name").value();
  EXPECT_EQ(name, awkward);
}

TEST_F(DiagramWriterTest, ValuesLongerThanTheWriteBufferAreStreamedWhole) {
  // A name of several megabytes with markup every so often, and enough
  // elements after it that the buffer is written out many times.
  std::string huge;
  for (int i = 0; i < 300000; ++i) huge += i % 97 == 0 ? "<&\"x\t" : "abcdefghij";
  auto* cls = createClass("C", huge);
  cls->addAttribute(createFeature("attribute", "a", huge, "int", "public"));
  pool_.add(cls);
  for (int i = 0; i < 20000; ++i) pool_.add(createPackage("P" + std::to_string(i), "p"));

  const fs::path target = folder_ / "long.dia";
  XMLDiagramWriter writer(target.string(), diagrams_, pool_);
  ASSERT_TRUE(writer.write()) << writer.errorText();
  writer.buildDocument();
  std::ostringstream expected;
  writer.document().save(expected);
  std::ifstream in(target, std::ios::binary);
  const std::string streamed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(streamed.size(), 2u * 3000000u);
  EXPECT_TRUE(streamed == expected.str()) << "the streamed file differs from the saved document";
  pugi::xml_document back;
  ASSERT_TRUE(back.load_string(streamed.c_str()));
  EXPECT_EQ(std::string(back.child("root").child("model_elements").child("element").attribute("name").value()), huge);
}

}  // namespace
}  // namespace lumetra
