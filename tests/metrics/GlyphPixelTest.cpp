// The glyph painters drawn into a known rectangle and read back: what each
// value range fills, through the metrics that own the painters.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "metrics/Metric.h"
#include "metrics/MetricVisualizer.h"
#include "render/GLPainter.h"
#include "tests/support/PixelCanvas.h"

namespace lumetra {
namespace {

using test::Pixel;
using test::PixelCanvas;
using test::PixelCanvasTest;

// The glyph cell, in pixels (one diagram unit per pixel).
constexpr int kX1 = 40, kY1 = 40, kX2 = 159, kY2 = 99;
const Vec2 kCorner1(kX1, kY1);
const Vec2 kCorner2(kX2, kY2);
const Color kFill(0.2f, 0.4f, 0.8f, 1.0f);
constexpr Pixel kFillPixel{51, 102, 204};
constexpr Pixel kWhite{255, 255, 255};

bool isFill(const Pixel& p) {
  return std::abs(p.r - kFillPixel.r) <= 2 && std::abs(p.g - kFillPixel.g) <= 2 && std::abs(p.b - kFillPixel.b) <= 2;
}
bool isWhite(const Pixel& p) { return p == kWhite; }

class GlyphPixelTest : public PixelCanvasTest<200, 140> {
 protected:
  void SetUp() override {
    PixelCanvasTest::SetUp();
    if (HasFatalFailure()) return;
    // The canvas's blending, as in a repaint.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    canvas_->clear(1.0f, 1.0f, 1.0f);
    GLPainter::setGlobalAlpha(1.0f);
  }

  // An integer metric over elements "min", "mid" and "max" (10, 15, 20).
  std::unique_ptr<IntegerMetric> metric(const char* painter) {
    auto m = std::make_unique<IntegerMetric>("m", new Color(kFill), new Color(METRIC_OUTLINE));
    m->addValue("min", 10);
    m->addValue("mid", 15);
    m->addValue("max", 20);
    m->computeRange();
    m->setVisualizer(painter);
    EXPECT_EQ(m->getVisualizerName(), painter);
    return m;
  }
  // Pixel at a fraction (fx, fy) of the cell.
  Pixel cellAt(float fx, float fy) const {
    return canvas_->at(kX1 + static_cast<int>(fx * (kX2 - kX1)), kY1 + static_cast<int>(fy * (kY2 - kY1)));
  }
  // Pixels of the cell's inside (2 pixels clear of its border) that match.
  int insideCount(bool (*match)(const Pixel&)) const {
    return canvas_->count(kX1 + 2, kY1 + 2, kX2 - 2, kY2 - 2, match);
  }
  static int insideArea() { return (kX2 - kX1 - 3) * (kY2 - kY1 - 3); }

};

TEST_F(GlyphPixelTest, TwoDBarAtMaximumFillsTheCellAtMinimumNone) {
  auto m = metric("2D Bar");
  m->drawGlyph("max", kCorner1, kCorner2);
  EXPECT_EQ(insideCount(isFill), insideArea()) << "the maximum fills the cell in the metric's colour";
  EXPECT_EQ(canvas_->at(kX1 - 3, 70), kWhite) << "nothing outside the cell";
  EXPECT_EQ(canvas_->at(100, kY2 + 3), kWhite);

  canvas_->clear(1.0f, 1.0f, 1.0f);
  m->drawGlyph("min", kCorner1, kCorner2);
  EXPECT_EQ(insideCount(isFill), 0) << "the minimum is a bar of zero height";
  EXPECT_EQ(insideCount(isWhite), insideArea());

  canvas_->clear(1.0f, 1.0f, 1.0f);
  m->drawGlyph("mid", kCorner1, kCorner2);
  EXPECT_TRUE(isFill(cellAt(0.5f, 0.25f))) << "the bar grows from the lower edge " << cellAt(0.5f, 0.25f);
  EXPECT_EQ(cellAt(0.5f, 0.75f), kWhite);
}

TEST_F(GlyphPixelTest, EqualMinimumAndMaximumDrawAsTheMaximum) {
  IntegerMetric m("flat", new Color(kFill), new Color(METRIC_OUTLINE));
  m.addValue("a", 4);
  m.addValue("b", 4);
  m.computeRange();
  m.setVisualizer("2D Bar");
  m.drawGlyph("a", kCorner1, kCorner2);
  EXPECT_EQ(insideCount(isFill), insideArea());
}

TEST_F(GlyphPixelTest, ThreeDBarCoversTheCellSeenFromAbove) {
  auto m = metric("3D Bar");
  for (const char* element : {"min", "max"}) {
    canvas_->clear(1.0f, 1.0f, 1.0f);
    m->drawGlyph(element, kCorner1, kCorner2);
    EXPECT_TRUE(isFill(cellAt(0.5f, 0.5f))) << element << " " << cellAt(0.5f, 0.5f);
    EXPECT_TRUE(isFill(cellAt(0.1f, 0.9f))) << element;
    EXPECT_EQ(canvas_->at(kX1 - 3, 70), kWhite) << element;
  }
}

TEST_F(GlyphPixelTest, CylinderIsRoundAndCentred) {
  auto m = metric("3D Cylinder");
  m->drawGlyph("mid", kCorner1, kCorner2);
  // Radius: the smaller half-side, 29.5, around the cell's centre.
  EXPECT_TRUE(isFill(cellAt(0.5f, 0.5f))) << cellAt(0.5f, 0.5f);
  EXPECT_TRUE(isFill(canvas_->at(99 + 24, 69))) << "inside the radius";
  EXPECT_EQ(canvas_->at(99 + 36, 69), kWhite) << "outside the radius, still in the cell";
  EXPECT_EQ(cellAt(0.02f, 0.05f), kWhite) << "the cell's corner";
}

TEST_F(GlyphPixelTest, PieSweepsFromAnEighthToTheFullDisc) {
  auto m = metric("2D Pie");
  const int cx = 99, cy = 69;
  // Angles run clockwise from straight up; the radius is 29.5.
  auto at = [&](float degrees) {
    const float a = degrees * 3.14159265f / 180.0f;
    return canvas_->at(cx + static_cast<int>(18 * std::sin(a)), cy + static_cast<int>(18 * std::cos(a)));
  };
  m->drawGlyph("min", kCorner1, kCorner2);
  EXPECT_TRUE(isFill(at(22.0f))) << "the minimum still shows a 45-degree wedge " << at(22.0f);
  EXPECT_EQ(at(90.0f), kWhite);
  EXPECT_EQ(at(180.0f), kWhite);
  EXPECT_EQ(at(300.0f), kWhite);

  canvas_->clear(1.0f, 1.0f, 1.0f);
  m->drawGlyph("max", kCorner1, kCorner2);
  for (float degrees : {22.0f, 90.0f, 180.0f, 300.0f}) EXPECT_TRUE(isFill(at(degrees))) << degrees;
}

TEST_F(GlyphPixelTest, BooleanTickAndCross) {
  BooleanMetric m("ok", new Color(kFill), new Color(METRIC_OUTLINE));
  m.addValue("yes", true);
  m.addValue("no", false);
  const Pixel green{0, 153, 0}, red{153, 0, 0};

  m.drawGlyph("yes", kCorner1, kCorner2);
  EXPECT_EQ(cellAt(0.4f, 0.2f), green) << "inside the tick";
  EXPECT_TRUE(isFill(cellAt(0.5f, 0.6f))) << "above the tick, the cell colour " << cellAt(0.5f, 0.6f);
  EXPECT_TRUE(isFill(cellAt(0.95f, 0.1f))) << "the whole cell is filled";

  canvas_->clear(1.0f, 1.0f, 1.0f);
  m.drawGlyph("no", kCorner1, kCorner2);
  EXPECT_EQ(cellAt(0.5f, 0.5f), red) << "the middle of the cross";
  EXPECT_EQ(cellAt(0.2f, 0.85f), red) << "an arm of the cross";
  EXPECT_TRUE(isFill(cellAt(0.5f, 0.2f))) << "between the lower arms " << cellAt(0.5f, 0.2f);
}

TEST_F(GlyphPixelTest, GlobalAlphaFadesTheGlyph) {
  auto m = metric("2D Bar");
  GLPainter::setGlobalAlpha(0.5f);
  m->drawGlyph("max", kCorner1, kCorner2);
  GLPainter::setGlobalAlpha(1.0f);
  const Pixel p = cellAt(0.5f, 0.5f);
  EXPECT_NEAR(p.r, (51 + 255) / 2, 2) << p;
  EXPECT_NEAR(p.b, (204 + 255) / 2, 2) << p;
}

}  // namespace
}  // namespace lumetra
