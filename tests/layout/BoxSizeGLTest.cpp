// Box sizes against the painter itself: text measured from the font file
// matches what the painter measures with its GL font, and a box of the size
// given keeps every line of its compartments (the painter drops lines that
// do not fit, so a box too low shows "..." or nothing).

#include <gtest/gtest.h>

#include "diagram/Compartments.h"
#include "layout/BoxSize.h"
#include "layout/TextMeasure.h"
#include "render/GLPainter.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra::test {
namespace {

class BoxSizeTest : public GLPainterTest {};

TEST_F(BoxSizeTest, TextExtentsMatchThePainters) {
  ASSERT_TRUE(textMeasureAvailable());
  const struct {
    const char* text;
    float size;
  } cases[] = {
      {"Customer", 10},  {"AVAWAY To Ty", 10}, {"  leading blanks", 10}, {"g", 12},
      {"Grüße, Ωmega", 10}, {"bad \xC3 byte \xFF", 10}, {"<< Repository >>", 8}, {"x", 30},
      {"averyveryverylongidentifierwithoutbreaks_0123456789", 10},
  };
  for (const auto& c : cases) {
    float w = 0.0f, h = 0.0f;
    GLPainter::textSize(c.text, c.size, w, h);
    const TextExtent e = measureText(c.text, c.size);
    EXPECT_NEAR(e.width, w, 1e-3f) << c.text;
    EXPECT_NEAR(e.height, h, 1e-3f) << c.text;
    EXPECT_GT(e.width, 0.0f) << c.text;
  }
  EXPECT_EQ(measureText("", 10).width, 0.0f);
}

// Boxes sized here, laid out by the painter's own compartment rules with the
// painter's measuring: all lines kept, none cut to "...", name inside.
TEST_F(BoxSizeTest, SizedBoxesKeepTheirWholeContent) {
  const float sp = boxTextSpacing();
  const struct {
    const char* name;
    int attributes, methods;
    bool isInterface;
  } cases[] = {{"A", 0, 0, false},         {"OrderRepositoryImplementationFactory", 1, 1, false},
               {"Invoice", 7, 0, false},  {"Invoice", 0, 9, false},
               {"Cart", 5, 12, false},    {"PaymentGateway", 0, 6, true},
               {"Marker", 0, 0, true}};
  for (const auto& c : cases) {
    const std::string label = std::string(c.name) + " " + std::to_string(c.attributes) + "/" + std::to_string(c.methods);
    std::unique_ptr<ModelElement> element;
    std::vector<std::string> attributes, methods;
    for (int i = 0; i < c.attributes; ++i) attributes.push_back("attributeNumber" + std::to_string(i));
    for (int i = 0; i < c.methods; ++i) methods.push_back("computeSomething" + std::to_string(i) + "gy");
    if (c.isInterface) {
      auto* in = new Interface("i", c.name);
      for (const auto& m : methods) in->addMethod(new Method("m", m, "", "public"));
      element.reset(in);
    } else {
      auto* cl = new Class("c", c.name);
      for (const auto& a : attributes) cl->addAttribute(new Attribute("a", a, "int", "private"));
      for (const auto& m : methods) cl->addMethod(new Method("m", m, "", "public"));
      element.reset(cl);
    }
    const Vec2 size = contentBoxSize(*element);
    const std::string name = c.isInterface ? "<< " + std::string(c.name) + " >>" : c.name;
    float nameW = 0.0f, nameH = 0.0f, lineW = 0.0f, lineH = 0.0f, tallest = 0.0f;
    GLPainter::textSize(name, 10, nameW, nameH);
    EXPECT_GE(size.x, nameW + 2.0f * sp) << label;
    for (const auto* list : {&attributes, &methods})
      for (const auto& line : *list) {
        GLPainter::textSize(line, 10, lineW, lineH);
        EXPECT_GE(size.x, lineW + sp) << label << " " << line;
        tallest = std::max(tallest, lineH);
      }
    // The painter's pass: name bar from the top, compartments below it.
    const float top = size.y, bottom = 0.0f;
    const float y = top - sp - nameH - sp;
    const CompartmentLayout layout =
        c.isInterface ? layoutInterfaceCompartments(y, bottom, sp, tallest, methods, true)
                      : layoutClassCompartments(y, bottom, sp, tallest, attributes, methods, true, true);
    if (!c.isInterface) {
      ASSERT_EQ(layout.attributes.size(), attributes.size()) << label;
      for (std::size_t i = 0; i < attributes.size(); ++i) EXPECT_EQ(layout.attributes[i].text, attributes[i]);
    }
    ASSERT_EQ(layout.methods.size(), methods.size()) << label;
    for (std::size_t i = 0; i < methods.size(); ++i) EXPECT_EQ(layout.methods[i].text, methods[i]);
    EXPECT_TRUE(layout.separator) << label;
    // Descenders of the last method line stay inside the box.
    if (!methods.empty()) {
      EXPECT_GE(layout.methods.back().y - 0.25f * tallest, bottom) << label;
    }
  }
}

TEST_F(BoxSizeTest, LongFeatureListsGetRoomForTheCappedCount) {
  Class big("c", "Big");
  for (int i = 0; i < 200; ++i) big.addMethod(new Method("m", "op" + std::to_string(i), "", "public"));
  Class capped("c", "Big");
  for (std::size_t i = 0; i < kMaxBoxLines; ++i) capped.addMethod(new Method("m", "op" + std::to_string(i), "", "public"));
  EXPECT_EQ(contentBoxSize(big).y, contentBoxSize(capped).y);
  Package package("p", "org.example.shop");
  float w = 0.0f, h = 0.0f;
  GLPainter::textSize("org.example.shop", 10, w, h);
  EXPECT_GE(contentBoxSize(package).x, w);
}

}  // namespace
}  // namespace lumetra::test
