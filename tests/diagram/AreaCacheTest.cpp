// The area pass rendered ahead into a texture when a window compiles its
// display list: the same pixels as the pass drawn directly (compiled and
// replayed, for both ways of compositing, in contour mode and under a turned
// and tilted camera), rebuilt when the content changes, refused where the
// picture would be coarser than the view, and never used for another
// diagram. Also the view resolution the texture is sized by.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaPass.h"
#include "areas/AreaPassCache.h"
#include "areas/AreaVisualizer.h"
#include "areas/AreaVisualizerInner.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "platform/GLExtensions.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "diagram/SelectionManager.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;

class NoScreen : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool) override {}
};

struct Difference {
  int largest = 0;    // largest channel difference
  int differing = 0;  // pixels off by more than 12 in a channel
};

Difference compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  Difference d;
  for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a[i + c]) - int(b[i + c])));
    d.largest = std::max(d.largest, worst);
    if (worst > 12) ++d.differing;
  }
  return d;
}

// Pixels that are neither white nor near it: where some area shows.
int tinted(const std::vector<unsigned char>& frame) {
  int n = 0;
  for (std::size_t i = 0; i + 2 < frame.size(); i += 3)
    if (frame[i] + frame[i + 1] + frame[i + 2] < 3 * 255 - 30) ++n;
  return n;
}

class AreaCacheTest : public test::GLPainterTest {
 protected:
  AreaCacheTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());
    // Two members of an area, one free class between them and one far off.
    scene.addClass("a", "A", {-80, -60}, {-40, -20});
    scene.addClass("b", "B", {30, 20}, {70, 60});
    scene.addClass("free", "Free", {-10, -10}, {10, 10});
    scene.addClass("far", "Far", {60, -90}, {90, -70});
    auto* area = new Area("Blue");
    area->setColor(new Color(1.0f, 1.0f, 0.0f, 1.0f));  // stored inverted: shows blue
    area->addElement("a");
    area->addElement("b");
    areas.addArea(area);
    auto* second = new Area("Red");
    second->setColor(new Color(0.0f, 1.0f, 1.0f, 1.0f));
    second->addElement("b");
    second->addElement("far");
    areas.addArea(second);
    EXPECT_TRUE(showArea(areas, scene.diagram(), "Blue"));
    EXPECT_TRUE(showArea(areas, scene.diagram(), "Red"));
    painter.setAreaAlpha(0.6f);
  }
  ~AreaCacheTest() override { areas.clear(); }

  // A window over the whole buffer showing the scene, fitted.
  std::unique_ptr<CanvasWindow> makeWindow() {
    auto window = std::make_unique<CanvasWindow>(&host, 0, 0, kSize, kSize);
    window->setVisualizer(&painter);
    window->setDiagram(scene.diagram());
    return window;
  }

  // The window's picture compiled with the area pass drawn directly.
  std::vector<unsigned char> direct(CanvasWindow& window) {
    painter.setAreaCaching(false);
    window.render(false);
    painter.setAreaCaching(true);
    return test::readFrame();
  }

  static void expectSame(const std::vector<unsigned char>& actual, const std::vector<unsigned char>& expected) {
    const Difference d = compare(actual, expected);
    // Resampling the texture moves soft edges by a fraction of a pixel.
    EXPECT_LE(d.largest, 40);
    EXPECT_LE(d.differing, static_cast<int>(expected.size() / 3 / 200));
  }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
  NoScreen host;
};

TEST_F(AreaCacheTest, CachedPassGivesTheDirectPixels) {
  struct Case {
    const char* name;
    bool blendEquation;
    bool contour;
    float rotation, tilt;
    float zoom;
  };
  const Case cases[] = {
      {"blend equation", true, false, 0.0f, 0.0f, 1.0f},
      {"logic-op fallback", false, false, 0.0f, 0.0f, 1.0f},
      {"contour mode", true, true, 0.0f, 0.0f, 1.0f},
      {"zoomed in", true, false, 0.0f, 0.0f, 2.5f},
      {"zoomed out", true, false, 0.0f, 0.0f, 0.4f},
      {"turned and tilted", true, false, 30.0f, 40.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    painter.setBlendEquation(c.blendEquation ? lookupBlendEquation() : nullptr);
    for (IdentifiedArea* identified : areas.getIdentifiedAreas())
      areas.findArea(identified->getName())->getVisualizer()->setDrawingMode(c.contour ? AREA_MODE_CONTOUR
                                                                                       : AREA_MODE_AREA);
    auto window = makeWindow();
    window->setZoom(window->zoom() * c.zoom);
    window->camera().rotationZ = c.rotation;
    window->camera().rotationX = c.tilt;
    const auto expected = direct(*window);
    ASSERT_GT(tinted(expected), 500) << "the areas must show";

    window->render(false);
    const auto compiled = test::readFrame();
    expectSame(compiled, expected);
    window->render(true);
    expectSame(test::readFrame(), expected);
  }
}

TEST_F(AreaCacheTest, MovingAMemberRebuildsThePicture) {
  auto window = makeWindow();
  window->render(false);
  const auto before = test::readFrame();

  // Move member a to the upper left: the blob follows at the next compile.
  VisualElementLayout* layout = scene.shape("a")->getCurrentLayout();
  layout->setCorners(new Vec2(-90, 40), new Vec2(-50, 80));
  const auto expected = direct(*window);
  window->render(false);
  const auto after = test::readFrame();
  expectSame(after, expected);
  EXPECT_GT(compare(after, before).differing, 200) << "the old picture was kept";
}

TEST_F(AreaCacheTest, ChangedColourAndAlphaRebuildThePicture) {
  auto window = makeWindow();
  window->render(false);
  const auto before = test::readFrame();
  // The identified area shares the area's colour and sees the new one.
  areas.findArea("Blue")->setColor(new Color(0.0f, 1.0f, 0.0f, 1.0f));  // now magenta
  painter.setAreaAlpha(0.3f);
  const auto expected = direct(*window);
  window->render(false);
  const auto after = test::readFrame();
  expectSame(after, expected);
  EXPECT_GT(compare(after, before).differing, 200);
}

TEST_F(AreaCacheTest, HiddenAreasLeaveAWhiteBackgroundAsBefore) {
  areas.clearIdentified();
  auto window = makeWindow();
  const auto expected = direct(*window);
  window->render(false);
  const auto compiled = test::readFrame();
  expectSame(compiled, expected);
  EXPECT_EQ(tinted(compiled), tinted(expected));
}

TEST_F(AreaCacheTest, PictureServesOnlyTheDiagramItWasMadeFor) {
  auto window = makeWindow();
  DiagramScene other;
  other.addClass("x", "X", {-20, -20}, {20, 20});
  std::unique_ptr<PreparedScene> prepared;
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(window->projectionMatrix(0).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(window->viewMatrix(0).data());
  painter.prepare(scene.diagram(), prepared);
  ASSERT_NE(prepared, nullptr);
  // The next pass draws another diagram: the areas' picture must not show.
  painter.setAreas(nullptr);
  painter.drawDiagram(other.diagram());
  const test::Rgb white{255, 255, 255};
  EXPECT_RGB_NEAR(pixelAt(-60, -40), white, 1);  // under the blue blob's member
  EXPECT_RGB_NEAR(pixelAt(75, -80), white, 1);   // under the red blob's member
}

class AreaPassCacheTest : public AreaCacheTest {
 protected:
  void loadView(float scale) {
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double half = kSize / 2.0 / scale;
    glOrtho(-half, half, -half, half, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  AreaElementsEraser eraser;
};

TEST_F(AreaPassCacheTest, TextureCoversThePaintedBoxAtTheViewsResolution) {
  AreaPassCache cache;
  struct Case {
    const char* name;
    float scale;
  };
  for (const Case& c : {Case{"one pixel per unit", 1.0f}, Case{"1.3 pixels per unit", 1.3f},
                        Case{"a fifth of a pixel per unit", 0.2f}}) {
    SCOPED_TRACE(c.name);
    loadView(c.scale);
    ASSERT_TRUE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
    EXPECT_TRUE(cache.valid());
    EXPECT_TRUE(cache.hasPicture());
    EXPECT_EQ(cache.diagram(), scene.diagram());
    // Every painter's extent lies inside the texture's box.
    for (IdentifiedArea* identified : areas.getIdentifiedAreas()) {
      Vec2 lo, hi;
      ASSERT_TRUE(areas.findArea(identified->getName())->getVisualizer()->getExtent(lo, hi));
      EXPECT_LE(cache.lower().x, lo.x);
      EXPECT_LE(cache.lower().y, lo.y);
      EXPECT_GE(cache.upper().x, hi.x);
      EXPECT_GE(cache.upper().y, hi.y);
    }
    // At least one texel per view pixel.
    const float width = cache.upper().x - cache.lower().x;
    EXPECT_GE(static_cast<float>(cache.textureWidth()), width * c.scale - 0.01f);
    EXPECT_LE(static_cast<float>(cache.textureWidth()), width * c.scale + 1.01f);
  }
  EXPECT_EQ(cache.buildCount(), 3);
}

TEST_F(AreaPassCacheTest, EveryTexelIsWrittenAtAnyResolution) {
  // Resized textures, larger and smaller than the view: no texel may keep
  // the cleared storage (transparent black); the border is background white.
  AreaPassCache cache;
  for (float scale : {1.3f, 1.0f, 1.05f, 1.2f, 0.5f}) {
    SCOPED_TRACE(scale);
    loadView(scale);
    ASSERT_TRUE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
    const int w = cache.textureWidth();
    const int h = cache.textureHeight();
    std::vector<unsigned char> texels(static_cast<std::size_t>(w) * h * 4);
    glBindTexture(GL_TEXTURE_2D, cache.textureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    int dark = 0;
    for (std::size_t i = 0; i < texels.size(); i += 4)
      if (texels[i] + texels[i + 1] + texels[i + 2] < 30) ++dark;
    EXPECT_EQ(dark, 0);
    for (std::size_t corner : {std::size_t{0}, static_cast<std::size_t>(w - 1) * 4, texels.size() - 4})
      EXPECT_GE(texels[corner] + texels[corner + 1] + texels[corner + 2], 3 * 250) << "corner " << corner;
  }
}

TEST_F(AreaPassCacheTest, RefusedWhereTheTextureWouldBeTooLargeOrInAList) {
  AreaPassCache cache;
  loadView(400.0f);  // the areas would need far more texels than allowed
  EXPECT_FALSE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
  EXPECT_FALSE(cache.valid());
  EXPECT_EQ(cache.diagram(), nullptr);
  // Zoomed in on part of sharp-edged areas: the texture would be several
  // views at the view's resolution and may not be coarser.
  for (IdentifiedArea* identified : areas.getIdentifiedAreas())
    areas.findArea(identified->getName())->getVisualizer()->setSoftness(10);
  loadView(3.0f);
  EXPECT_FALSE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
  loadView(1.3f);
  EXPECT_TRUE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));

  loadView(1.0f);
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  EXPECT_FALSE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
  glEndList();
  glDeleteLists(list, 1);
  EXPECT_TRUE(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser));
}

// The pass drawn directly and the cache's picture of it, each over a
// magenta frame (any pixel either leaves alone shows).
struct PassFrames {
  std::vector<unsigned char> direct, cached;
};

PassFrames renderBoth(AreaPassCache& cache, AreaSet& areas, Diagram* diagram, float alpha, AreaElementsEraser& eraser) {
  PassFrames frames;
  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  drawAreaPass(areas, diagram, alpha, lookupBlendEquation(), eraser);
  frames.direct = test::readFrame();
  glClear(GL_COLOR_BUFFER_BIT);
  cache.draw();
  frames.cached = test::readFrame();
  return frames;
}

// Pixels of the direct frame whose whole neighbourhood of the given radius
// has their colour, and how many of them the cached frame changed.
std::pair<int, int> uniformPixelsChanged(const PassFrames& f, int side, int radius) {
  int uniform = 0, changed = 0;
  auto at = [&](const std::vector<unsigned char>& frame, int x, int y, int c) {
    return frame[(static_cast<std::size_t>(y) * side + x) * 3 + c];
  };
  for (int y = radius; y < side - radius; ++y)
    for (int x = radius; x < side - radius; ++x) {
      bool same = true;
      for (int dy = -radius; dy <= radius && same; ++dy)
        for (int dx = -radius; dx <= radius && same; ++dx)
          for (int c = 0; c < 3; ++c) same = same && at(f.direct, x + dx, y + dy, c) == at(f.direct, x, y, c);
      if (!same) continue;
      ++uniform;
      for (int c = 0; c < 3; ++c)
        if (at(f.cached, x, y, c) != at(f.direct, x, y, c)) {
          ++changed;
          break;
        }
    }
  return {uniform, changed};
}

TEST_F(AreaPassCacheTest, ZoomedInSoftAreasGetACoarserPictureThatLooksTheSame) {
  // Wide enough that the view's resolution would need several views of texels.
  auto* wide = new Area("Wide");
  wide->setColor(new Color(1.0f, 0.0f, 1.0f, 1.0f));  // shows green
  scene.addClass("w1", "W1", {-400, 120}, {-360, 160});
  scene.addClass("w2", "W2", {360, 120}, {400, 160});
  wide->addElement("w1");
  wide->addElement("w2");
  areas.addArea(wide);
  ASSERT_TRUE(showArea(areas, scene.diagram(), "Wide"));
  struct Case {
    const char* name;
    float alpha;
    float scale;
  };
  const Case cases[] = {
      {"translucent, 1.5 pixels per unit", 0.6f, 1.5f},
      {"opaque, 1.5 pixels per unit", 1.0f, 1.5f},
      {"translucent, 2 pixels per unit", 0.6f, 2.0f},
      {"close up, 6 pixels per unit", 0.6f, 6.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loadView(c.scale);
    AreaPassCache cache;
    ASSERT_TRUE(cache.build(areas, scene.diagram(), c.alpha, lookupBlendEquation(), eraser));
    const float texelsPerUnit =
        static_cast<float>(cache.textureWidth()) / (cache.upper().x - cache.lower().x);
    EXPECT_LT(texelsPerUnit, c.scale / 1.5f) << "coarser than the view";
    EXPECT_GE(texelsPerUnit, c.scale / static_cast<float>(AreaPassCache::kMaxReduction) - 0.01f);
    EXPECT_LE(static_cast<double>(cache.textureWidth()) * cache.textureHeight(),
              AreaPassCache::kMaxViewShare * kSize * kSize + cache.textureWidth() + cache.textureHeight() + 1);

    const PassFrames frames = renderBoth(cache, areas, scene.diagram(), c.alpha, eraser);
    ASSERT_GT(tinted(frames.direct), 2000) << "the areas must show";
    expectSame(frames.cached, frames.direct);
    // Flat regions (white background, the free box, saturated area colour)
    // keep their exact colour under the magnified picture, away from their
    // edges by more than a texel.
    const int texel = static_cast<int>(std::ceil(c.scale / texelsPerUnit));
    const auto [uniform, changed] = uniformPixelsChanged(frames, kSize, texel + 1);
    EXPECT_GT(uniform, 1000);
    EXPECT_EQ(changed, 0);
  }
}

TEST_F(AreaPassCacheTest, SharpHaloKeepsTheViewsResolution) {
  loadView(3.0f);
  AreaPassCache cache;
  eraser.setSoftness(20);
  EXPECT_FALSE(cache.build(areas, scene.diagram(), 0.6f, lookupBlendEquation(), eraser));
  eraser.setSoftness(50);
  EXPECT_TRUE(cache.build(areas, scene.diagram(), 0.6f, lookupBlendEquation(), eraser));
  // Where the view's resolution fits, the picture is never coarser.
  eraser.setSoftness(20);
  loadView(1.0f);
  ASSERT_TRUE(cache.build(areas, scene.diagram(), 0.6f, lookupBlendEquation(), eraser));
  EXPECT_GE(static_cast<float>(cache.textureWidth()), cache.upper().x - cache.lower().x - 0.01f);
}

TEST_F(AreaPassCacheTest, PictureIsRenderedAgainOnlyWhenWhatItShowsChanged) {
  loadView(1.0f);
  AreaPassCache cache;
  const float alpha = 0.6f;
  ASSERT_TRUE(cache.build(areas, scene.diagram(), alpha, lookupBlendEquation(), eraser));
  ASSERT_TRUE(cache.build(areas, scene.diagram(), alpha, lookupBlendEquation(), eraser));
  EXPECT_EQ(cache.buildCount(), 2);
  EXPECT_EQ(cache.renderCount(), 1) << "nothing changed";

  Area* blue = areas.findArea("Blue");
  struct Change {
    const char* name;
    std::function<void()> apply;
    float alpha;
  };
  const Change changes[] = {
      {"a member moved",
       [&] { scene.shape("a")->getCurrentLayout()->setCorners(new Vec2(-90, 40), new Vec2(-50, 80)); }, alpha},
      {"a free element moved",
       [&] { scene.shape("free")->getCurrentLayout()->setCorners(new Vec2(0, -10), new Vec2(20, 10)); }, alpha},
      {"an area's colour", [&] { blue->setColor(new Color(0.0f, 1.0f, 0.0f, 1.0f)); }, alpha},
      {"the areas' alpha", [] {}, 0.3f},
      {"a painter's softness", [&] { blue->getVisualizer()->setSoftness(70); }, 0.3f},
      {"contour mode", [&] { blue->getVisualizer()->setDrawingMode(AREA_MODE_CONTOUR); }, 0.3f},
      {"the halo's softness", [&] { eraser.setSoftness(60); }, 0.3f},
      {"the view's resolution", [&] { loadView(1.2f); }, 0.3f},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.name);
    const int renders = cache.renderCount();
    c.apply();
    ASSERT_TRUE(cache.build(areas, scene.diagram(), c.alpha, lookupBlendEquation(), eraser));
    EXPECT_EQ(cache.renderCount(), renders + 1);
    const PassFrames frames = renderBoth(cache, areas, scene.diagram(), c.alpha, eraser);
    expectSame(frames.cached, frames.direct);
    ASSERT_TRUE(cache.build(areas, scene.diagram(), c.alpha, lookupBlendEquation(), eraser));
    EXPECT_EQ(cache.renderCount(), renders + 1) << "unchanged since";
  }
}

TEST(ViewTexelsPerUnit, FollowsTheProjection) {
  // Column-major matrices: clip = m * (x, y, 0, 1); a 200 x 100 viewport.
  const float ortho[16] = {0.02f, 0, 0, 0, 0, 0.04f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_NEAR(viewTexelsPerUnit(ortho, 200, 100, {-10, -10}, {10, 10}), 2.0f, 1e-4f);
  // w = 1 + 0.01 * y: the near edge (small y) is the densest.
  const float perspective[16] = {0.02f, 0, 0, 0, 0, 0.02f, 0, 0.01f, 0, 0, 1, 0, 0, 0, 0, 1};
  const float dense = viewTexelsPerUnit(perspective, 200, 100, {-10, -50}, {10, 10});
  EXPECT_NEAR(dense, 2.0f / 0.5f, 0.2f);
  // A box reaching behind the eye (w <= 0) cannot be sized.
  EXPECT_EQ(viewTexelsPerUnit(perspective, 200, 100, {-10, -150}, {10, 10}), 0.0f);
}

// A painter failing while the picture was rendered left the picture's
// framebuffer bound: everything drawn afterwards went into the texture and
// the window showed nothing.
TEST_F(AreaPassCacheTest, APainterFailingWhileRenderedLeavesTheWindowsFramebufferBound) {
  class FailingPainter : public AreaVisualizerInner {
   public:
    void draw(IdentifiedArea*) override { throw std::runtime_error("painter failed"); }
  };
  areas.findArea("Red")->replaceVisualizer(new FailingPainter);
  AreaPassCache cache;
  loadView(1.0f);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The view's own framebuffer (the offscreen picture's object here, 0 in a
  // window) is the one bound again.
  constexpr GLenum kFramebufferBinding = 0x8CA6;
  GLint window = -1;
  glGetIntegerv(kFramebufferBinding, &window);
  EXPECT_THROW(cache.build(areas, scene.diagram(), 0.5f, lookupBlendEquation(), eraser), std::runtime_error);
  GLint bound = -1;
  glGetIntegerv(kFramebufferBinding, &bound);
  EXPECT_EQ(bound, window);
  EXPECT_FALSE(cache.valid());
  GLint after[4] = {};
  glGetIntegerv(GL_VIEWPORT, after);
  EXPECT_TRUE(std::equal(viewport, viewport + 4, after));

  // Drawing reaches the window again.
  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(tinted(test::readFrame()), kSize * kSize) << "the clear reached the window";
}

}  // namespace
}  // namespace lumetra
