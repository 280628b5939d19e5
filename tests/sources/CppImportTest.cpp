// Importing the small C++ project in data/shapes (namespaces, a template,
// inheritance, containers of pointers, a class split over header and source,
// a unit with a missing header): the model, its metrics and areas, the
// cache, and databases that cannot be read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "model/Namespaces.h"
#include "model/UmlElements.h"
#include "sources/CppImport.h"
#include "tests/sources/ShapesProject.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

// A copy of the project in a fresh folder, with its database in build/.
fs::path copyProject(const std::string& name) {
  const fs::path root = fs::temp_directory_path() / ("lumetra-cpp-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::copy(testing::shapesSources(), root, fs::copy_options::recursive);
  testing::writeShapesDatabase(root / "build", root);
  return root;
}

struct Imported {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  CppImportResult result;
  ~Imported() {
    for (Diagram* d : diagrams) delete d;
  }
  // Every element with what the import says of it, one line each.
  std::string describe() {
    std::ostringstream out;
    for (std::size_t i = 0; i < pool.size(); ++i) {
      ModelElement* e = pool.get(i);
      out << e->getTypeName() << " " << qualifiedName(*e, pool, "::");
      if (auto* c = dynamic_cast<Class*>(e))
        for (Attribute* a : c->getAttributes())
          out << " [" << a->getVisibility() << (a->isStatic() ? " static " : " ") << a->getName() << ":" << a->getType() << "]";
      if (auto* g = dynamic_cast<Inheritance*>(e)) out << " " << g->getChild() << " -> " << g->getParent();
      if (auto* d = dynamic_cast<Dependency*>(e)) out << " " << d->getClient() << " -> " << d->getSupplier();
      if (auto* a = dynamic_cast<Association*>(e))
        out << " " << a->getName() << " " << a->getFirstEnd()->getType() << " -> " << a->getSecondEnd()->getType() << " "
            << a->getFirstEnd()->getAggregation() << " " << a->getSecondEnd()->getMultiplicity();
      out << "\n";
    }
    return out.str();
  }
  int metric(const std::string& name, const std::string& id) const {
    for (const ImportedMetric& m : result.measures.metrics)
      for (const auto& [element, value] : m.values)
        if (m.name == name && element == id) return value;
    return -1;
  }
};

std::unique_ptr<Imported> import(const fs::path& root) {
  auto imported = std::make_unique<Imported>();
  imported->result = importCppProject((root / "build").string(), imported->diagrams, imported->pool);
  return imported;
}

class CppImportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = copyProject("model");
    first_ = import(root_).release();
  }
  static void TearDownTestSuite() {
    delete first_;
    fs::remove_all(root_);
  }
  static inline fs::path root_;
  static inline Imported* first_ = nullptr;
};

TEST_F(CppImportTest, ElementsRelationsAndFeaturesAreTheProjectsOwn) {
  ASSERT_TRUE(first_->result.ok) << first_->result.error;
  const std::string lines = first_->describe();
  const std::set<std::string> expected = {
      "Package geo", "Package scene", "Package scene::detail", "Package tools",
      "Interface geo::Shape",
      "Class geo::Point [public x:double] [public y:double]",
      "Class geo::Circle [public static created:int] [private centre_:geo::Point] [private radius_:double]",
      "Class geo::Registry [private items_:std::map<std::string, T *>]",
      "Class scene::Camera [public zoom:double]",
      "Class scene::Layer [public title:std::string] [public shapes:std::vector<geo::Shape *>]",
      "Class scene::Scene [protected layers_:std::vector<std::unique_ptr<Layer>>] [protected camera_:std::shared_ptr<Camera>]"
      " [protected origin_:geo::Point] [protected byTitle_:std::map<std::string, Layer *>]"
      " [protected circles_:geo::Registry<geo::Circle>] [protected cache_:detail::Cache]",
      "Class scene::detail::Cache [public hits:int]",
      "Class tools::Report [public pages:int] [public subject:geo::Shape *]",
      "Inheritance generalization:geo::Circle->geo::Shape geo::Circle -> geo::Shape",
      "Association association:geo::Circle::centre_->geo::Point centre_ geo::Circle -> geo::Point composite 1",
      "Association association:scene::Layer::shapes->geo::Shape shapes scene::Layer -> geo::Shape none *",
      "Dependency dependency:scene::Layer->geo::Circle scene::Layer -> geo::Circle",
      "Association association:scene::Scene::layers_->scene::Layer layers_ scene::Scene -> scene::Layer composite *",
      "Association association:scene::Scene::camera_->scene::Camera camera_ scene::Scene -> scene::Camera none 1",
      "Association association:scene::Scene::origin_->geo::Point origin_ scene::Scene -> geo::Point composite 1",
      "Association association:scene::Scene::byTitle_->scene::Layer byTitle_ scene::Scene -> scene::Layer none *",
      "Association association:scene::Scene::circles_->geo::Registry circles_ scene::Scene -> geo::Registry composite 1",
      "Association association:scene::Scene::cache_->scene::detail::Cache cache_ scene::Scene -> scene::detail::Cache "
      "composite 1",
      "Association association:tools::Report::subject->geo::Shape subject tools::Report -> geo::Shape none 1"};
  std::set<std::string> found;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) found.insert(line);
  EXPECT_EQ(found, expected) << lines;

  // Methods: parameters, return types, access, static, virtual, abstract.
  auto* shape = dynamic_cast<Interface*>(first_->pool.find("geo::Shape"));
  auto* circle = dynamic_cast<Class*>(first_->pool.find("geo::Circle"));
  ASSERT_TRUE(shape && circle);
  std::string methods;
  for (const auto& list : {shape->getMethods(), circle->getMethods()})
    for (Method* m : list)
      methods += m->getName() + ":" + m->getType() + (m->isStatic() ? " static" : "") +
                 (m->isVirtual() ? " virtual" : "") + (m->isAbstract() ? " abstract" : "") + ";";
  EXPECT_EQ(methods, "~Shape: virtual;area:double virtual abstract;name:std::string virtual abstract;"
                     "Circle:;area:double virtual;name:std::string virtual;count:int static;");
  auto* layer = dynamic_cast<Class*>(first_->pool.find("scene::Layer"));
  ASSERT_NE(layer, nullptr);
  ASSERT_EQ(layer->methodCount(), 1u);
  EXPECT_EQ(layer->getMethod(0)->getType(), "void");
  EXPECT_EQ(layer->getMethod(0)->parameters(), (std::vector<Parameter>{{"circle", "geo::Circle *"}}));
}

TEST_F(CppImportTest, MetricsOfNamedClasses) {
  struct Case {
    const char* metric;
    const char* id;
    int value;
  };
  // Circle: 12 lines of class in its header and 6 of members in its source;
  // area's if, name's && and ?:. Scene: 14 + 12 lines; for, for, if, && and ?:.
  const Case cases[] = {
      {kMetricLines, "geo::Circle", 18},     {kMetricLines, "scene::Scene", 26},
      {kMetricMethods, "geo::Circle", 4},    {kMetricMethods, "scene::Scene", 3},
      {kMetricFields, "geo::Circle", 3},     {kMetricFields, "scene::Scene", 6},
      {kMetricPublicMethods, "geo::Circle", 4}, {kMetricPublicMethods, "geo::Registry", 2},
      {kMetricInheritanceDepth, "geo::Circle", 1}, {kMetricInheritanceDepth, "geo::Shape", 0},
      {kMetricFanOut, "scene::Scene", 6},    {kMetricFanOut, "geo::Point", 0},
      {kMetricFanIn, "geo::Shape", 4},       {kMetricFanIn, "geo::Point", 2},
      {kMetricComplexity, "geo::Circle", 3}, {kMetricComplexity, "scene::Scene", 5},
      {kMetricComplexity, "geo::Registry", 1}};
  for (const Case& c : cases) EXPECT_EQ(first_->metric(c.metric, c.id), c.value) << c.metric << " of " << c.id;
}

TEST_F(CppImportTest, AreasDiagramsAndTheFailedUnit) {
  std::map<std::string, std::size_t> areas;
  for (const ImportedArea& a : first_->result.measures.areas) areas[a.name] = a.elementIds.size();
  EXPECT_EQ(areas, (std::map<std::string, std::size_t>{{"geo", 4}, {"scene", 4}, {"scene::detail", 1}, {"tools", 1},
                                                       {"geo/", 4}, {"scene/", 4}, {"scene/detail/", 1}, {"tools/", 1}}));
  std::vector<std::string> names;
  for (Diagram* d : first_->diagrams) names.push_back(d->getName());
  // Laid out as any model without geometry: one diagram per namespace, then the Overview.
  EXPECT_EQ(names, (std::vector<std::string>{"geo", "scene", "scene.detail", "tools", "Overview"}));
  EXPECT_EQ(first_->diagrams.back()->findElement("tools::Report") != nullptr, true);
  EXPECT_EQ(first_->diagrams[3]->findElement("tools::Report") != nullptr, true);

  ASSERT_EQ(first_->result.failures.size(), 1u);
  EXPECT_EQ(first_->result.failures[0].file, (root_ / "tools/Report.cpp").string());
  EXPECT_NE(first_->result.failures[0].reason.find("'missing/Header.h' file not found"), std::string::npos)
      << first_->result.failures[0].reason;
}

TEST_F(CppImportTest, CacheParsesNothingTwiceAndAnEditOnlyItsIncluders) {
  const fs::path root = copyProject("cache");
  const std::string fresh = import(root)->describe();
  auto again = import(root);
  EXPECT_EQ(again->result.parsed, 0u);
  EXPECT_EQ(again->describe(), fresh);
  EXPECT_EQ(again->result.failures.size(), 1u);

  // Point.h is read by Circle.cpp, Scene.cpp and main.cpp, not Report.cpp.
  std::ofstream(root / "geo/Point.h", std::ios::app) << "namespace geo { struct Point3 : Point { double z = 0; }; }\n";
  auto edited = import(root);
  EXPECT_EQ(edited->result.parsed, 3u);
  EXPECT_NE(edited->pool.find("geo::Point3"), nullptr);
  EXPECT_NE(edited->pool.find("tools::Report"), nullptr);
  EXPECT_EQ(import(root)->result.parsed, 0u);
  fs::remove_all(root);
}

TEST(CppImportBadInputTest, DatabasesThatCannotBeReadChangeNothing) {
  struct Case {
    const char* name;
    const char* json;  // null: no database at all
    const char* reason;
  };
  const Case cases[] = {{"none", nullptr, "no compile_commands.json"},
                        {"not-json", "this is { not json", "not a compilation database"},
                        {"empty", "[]", "holds no compile commands"}};
  for (const Case& c : cases) {
    const fs::path folder = fs::temp_directory_path() / ("lumetra-bad-db-" + std::string(c.name));
    fs::remove_all(folder);
    fs::create_directories(folder);
    if (c.json) writeFile(folder / "compile_commands.json", c.json);
    Imported imported;
    imported.result = importCppProject(folder.string(), imported.diagrams, imported.pool);
    EXPECT_FALSE(imported.result.ok) << c.name;
    EXPECT_NE(imported.result.error.find(c.reason), std::string::npos) << c.name << ": " << imported.result.error;
    EXPECT_EQ(imported.pool.size(), 0u);
    fs::remove_all(folder);
  }
}

TEST(CppImportBadInputTest, UnitsThatCannotBeParsedAreListedAndTheRestImported) {
  const fs::path folder = fs::temp_directory_path() / "lumetra-bad-units";
  fs::remove_all(folder);
  writeFile(folder / "good.cpp", "struct Good { int n; };\n");
  writeFile(folder / "other.cpp", "struct Other { int n; };\n");
  writeFile(folder / "syntax.cpp", "struct Half { int n; \nstruct Kept { int m; };\n");
  // The preprocessor's own crash switch: a real crash inside the parser.
  writeFile(folder / "crash.cpp", "struct Before { int n; };\n#pragma clang __debug crash\n");
  writeFile(folder / "compile_commands.json",
            "[{\"directory\": \"" + folder.string() + "\", \"file\": \"gone.cpp\", \"command\": \"c++ -c gone.cpp\"},"
            " {\"directory\": \"" + folder.string() + "\", \"file\": \"other.cpp\", \"command\": \"cl.exe /nologo /c other.cpp\"},"
            " {\"directory\": \"" + folder.string() + "\", \"file\": \"syntax.cpp\", \"command\": \"c++ -c syntax.cpp\"},"
            " {\"directory\": \"" + folder.string() + "\", \"file\": \"crash.cpp\", \"command\": \"c++ -c crash.cpp\"},"
            " {\"directory\": \"" + folder.string() + "\", \"file\": \"good.cpp\", \"command\": \"c++ -c good.cpp\"}]");
  Imported imported;
  imported.result = importCppProject(folder.string(), imported.diagrams, imported.pool);
  ASSERT_TRUE(imported.result.ok) << imported.result.error;
  EXPECT_NE(imported.pool.find("Good"), nullptr);
  std::map<std::string, std::string> failures;
  for (const UnitFailure& f : imported.result.failures) failures[fs::path(f.file).filename()] = f.reason;
  // A command for Microsoft's compiler is read in its own terms; where
  // libclang still refuses it, the unit is listed instead.
  EXPECT_NE(imported.pool.find("Other") != nullptr, failures.count("other.cpp") == 1);
  failures.erase("other.cpp");
  ASSERT_EQ(failures.size(), 3u) << imported.result.failureSummary(5);
  EXPECT_NE(failures["gone.cpp"].find("no such file"), std::string::npos);
  EXPECT_NE(failures["crash.cpp"].find("crash.cpp: the parser crashed"), std::string::npos) << failures["crash.cpp"];
  EXPECT_NE(failures["syntax.cpp"].find("syntax.cpp:"), std::string::npos);
  fs::remove_all(folder);
}

// Which files are the project's: by default every folder of the sources but
// the build folder below them; or the folders named, relative or absolute.
// The cache is shared by the cases and must not answer across them. The
// diagrams follow the folders while one namespace holds most classes from
// several folders, else the namespaces.
TEST(CppImportFilterTest, KeptFoldersDecideTheClassesAndFlatNamespacesTheDiagrams) {
  const fs::path src = fs::temp_directory_path() / ("lumetra-roots-" + std::to_string(::getpid()));
  fs::remove_all(src);
  writeFile(src / "a/A.h", "namespace p { struct A { int n; }; }\n");
  writeFile(src / "b/B.cpp", "#include \"a/A.h\"\nnamespace p { struct B { A* a; }; }\n");
  writeFile(src / "build/gen.cpp", "struct Generated { int n; };\n");
  std::string json = "[";
  for (const char* unit : {"b/B.cpp", "build/gen.cpp"})
    json += std::string(json.size() > 1 ? "," : "") + "{\"directory\": \"" + (src / "build").string() + "\", \"file\": \"" +
            (src / unit).string() + "\", \"command\": \"c++ -I" + src.string() + " -c " + (src / unit).string() + "\"}";
  writeFile(src / "build/compile_commands.json", json + "]");
  const std::string top = src.filename().string();
  const struct {
    std::vector<std::string> roots;
    std::set<std::string> classes;
    std::vector<std::string> diagrams;
  } cases[] = {{{}, {"p::A", "p::B"}, {"a/", "b/", "Overview"}},
               {{"a"}, {"p::A"}, {"p", "Overview"}},
               {{(src / "b/").string()}, {"p::B"}, {"p", "Overview"}},
               {{"a", "build"}, {"p::A", "Generated"}, {top, "p", "Overview"}},
               {{}, {"p::A", "p::B"}, {"a/", "b/", "Overview"}}};
  for (const auto& c : cases) {
    Imported imported;
    CppImportOptions options;
    options.roots = c.roots;
    imported.result = importCppProject((src / "build").string(), imported.diagrams, imported.pool, options);
    std::set<std::string> classes;
    for (std::size_t i = 0; i < imported.pool.size(); ++i)
      if (dynamic_cast<Class*>(imported.pool.get(i))) classes.insert(qualifiedName(*imported.pool.get(i), imported.pool, "::"));
    std::vector<std::string> diagrams;
    for (Diagram* d : imported.diagrams) diagrams.push_back(d->getName());
    EXPECT_EQ(classes, c.classes) << ::testing::PrintToString(c.roots);
    EXPECT_EQ(diagrams, c.diagrams) << ::testing::PrintToString(c.roots);
    if (diagrams.front() == "a/") {
      // b/ uses a/: the Overview puts b/ above it.
      const DiagramElement* a = imported.diagrams.back()->findElement("a/");
      const DiagramElement* b = imported.diagrams.back()->findElement("b/");
      ASSERT_TRUE(a && b);
      EXPECT_GE(b->getCurrentLayout()->getLowerLeft()->y, a->getCurrentLayout()->getUpperRight()->y);
    }
  }
  fs::remove_all(src);
}

TEST(CppImportBadInputTest, CancelledImportAddsNothing) {
  const fs::path root = copyProject("cancel");
  std::atomic<bool> cancel{true};
  Imported imported;
  imported.result = importCppProject((root / "build").string(), imported.diagrams, imported.pool, {}, {}, &cancel);
  EXPECT_TRUE(imported.result.cancelled);
  EXPECT_FALSE(imported.result.ok);
  EXPECT_EQ(imported.pool.size(), 0u);
  EXPECT_TRUE(imported.diagrams.empty());
  fs::remove_all(root);
}

}  // namespace
}  // namespace lumetra
