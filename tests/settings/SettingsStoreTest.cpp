#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "settings/SettingsStore.h"

namespace lumetra {
namespace {

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TEST(ColorTest, DefaultIsOpaqueBlack) {
  Color c;
  EXPECT_EQ(c, Color(0, 0, 0, 1));
}

TEST(ColorTest, PackedBytesUseTheSinglePrecisionScale) {
  EXPECT_EQ(bits(Color::kByteScale), 0x3B808081u);
  const Color c(0x4C0033CCu);
  EXPECT_EQ(bits(c.r), bits(0.0f));
  EXPECT_EQ(bits(c.g), bits(51.0f * Color::kByteScale));
  EXPECT_EQ(bits(c.b), bits(204.0f * Color::kByteScale));
  EXPECT_EQ(bits(c.a), bits(76.0f * Color::kByteScale));
  const Color white(0xFFFFFFFFu);
  EXPECT_NEAR(white.r, 1.0f, 1e-6f);
  EXPECT_NEAR(white.a, 1.0f, 1e-6f);
  // Channel order is AARRGGBB.
  const Color red(0x00FF0000u);
  EXPECT_GT(red.r, 0.99f);
  EXPECT_EQ(red.g, 0.0f);
  EXPECT_EQ(red.b, 0.0f);
  EXPECT_EQ(red.a, 0.0f);
}

struct FloatDefault {
  const char* key;
  std::uint32_t bits;
};

TEST(SettingsDefaultsTest, FloatsHaveTheirExactBitPatterns) {
  SettingsStore s;
  applyDefaultSettings(s);
  const FloatDefault table[] = {
      {"Canvas.Separator.Size", 0x40400000u},
      {"Visualizer.General.RelationWidth", 0x41400000u},
      {"Visualizer.General.Stereo.EyeSeperation", 0x3FC00000u},
      {"Visualizer.General.Stereo.FocusDistance", 0x42C80000u},
      {"Visualizer.General.Legend.FontSize", 0x41200000u},
      {"Visualizer.General.Legend.Spacing", 0x40400000u},
      {"Visualizer.General.Legend.Transparency", 0x3F333333u},
      {"Visualizer.UMLModel.ShadowSize", 0x40400000u},
      {"Visualizer.UMLModel.TextSpacing", 0x40400000u},
      {"Visualizer.UMLModel.CommentNoteFraction", 0x40400000u},
      {"Visualizer.UMLModel.ArrowSize", 0x41C80000u},
      {"Visualizer.UMLModel.ArrowAngle", 0x3E8A3D71u},
      {"Visualizer.UMLModel.MultiplicityDistance", 0x41800000u},
      {"Visualizer.UMLModel.MessageSize", 0x41800000u},
      {"Visualizer.UMLModel.StateRounding", 0x40C00000u},
      {"Visualizer.SimpleMetrics.Spacing", 0x3CCCCCCDu},
      {"HoverInfo.Spacing", 0x40A00000u},
      {"HoverInfo.FontSize", 0x41000000u},
      {"Visualizer.UMLModel.FontSize", 0x41200000u},
  };
  for (const FloatDefault& d : table) EXPECT_EQ(bits(s.getFloat(d.key)), d.bits) << d.key;
  EXPECT_EQ(s.floatCount(), std::size(table));
}

TEST(SettingsDefaultsTest, BoolsAndColours) {
  SettingsStore s;
  applyDefaultSettings(s);
  const std::pair<const char*, bool> bools[] = {
      {"Visualizer.General.Associations", true},  {"Visualizer.General.Generalizations", true},
      {"Visualizer.General.Dependencies", true},  {"Visualizer.General.Abstractions", true},
      {"Visualizer.General.Messages", true},      {"Visualizer.General.Transitions", true},
      {"Visualizer.General.Comments", false},     {"Visualizer.General.Methods", true},
      {"Visualizer.General.Attributes", true},    {"Visualizer.General.RelationNames", false},
      {"Visualizer.General.ElementNames", true},  {"Visualizer.General.Shadows", true},
      {"Visualizer.General.Legend.Enable", false}, {"Visualizer.General.LevelOfDetail", true},
      {"Visualizer.General.TypesAndVisibility", false}, {"Canvas.PerspectiveAtStart", false},
  };
  for (auto [key, value] : bools) {
    EXPECT_TRUE(s.hasBool(key)) << key;
    EXPECT_EQ(s.getBool(key), value) << key;
  }
  EXPECT_EQ(s.boolCount(), std::size(bools));

  const std::pair<const char*, Color> colours[] = {
      {"Canvas.Separator.Color", Color(0x40000000u)},
      {"Visualizer.General.SelectColor", Color(0x4C0033CCu)},
      {"Visualizer.General.Legend.FillColor", Color(0xDDFFFFDDu)},
      {"Visualizer.General.Legend.OutlineColor", Color(0xDD000000u)},
      {"Visualizer.General.Legend.FontColor", Color(0xDD000000u)},
      {"Visualizer.UMLModel.ShadowColor", Color(0.6f, 0.6f, 0.6f, 0.6f)},
      {"HoverInfo.Int.FillColor", Color(0xDDFFDDDDu)},
      {"HoverInfo.Int.OutlineColor", Color(0xDD000000u)},
      {"HoverInfo.Bool.FillColor", Color(0xDDDDDDFFu)},
      {"HoverInfo.Bool.OutlineColor", Color(0xDD000000u)},
      {"HoverInfo.ModelElement.FillColor", Color(0xDDDDFFDDu)},
      {"HoverInfo.ModelElement.OutlineColor", Color(0xDD000000u)},
      {"Visualizer.UMLModel.BoxColor", Color(1.0f, 1.0f, 1.0f, 0.0f)},
      {"Visualizer.UMLModel.LineColor", Color(0xFF000000u)},
  };
  for (auto [key, value] : colours) {
    EXPECT_TRUE(s.hasColor(key)) << key;
    EXPECT_EQ(s.getColor(key), value) << key;
  }
  EXPECT_EQ(s.colorCount(), std::size(colours));
  EXPECT_EQ(s.floatCount() + s.boolCount() + s.colorCount(), 49u);

  const Color sep = s.getColor("Canvas.Separator.Color");
  EXPECT_EQ(bits(sep.a), bits(64.0f * Color::kByteScale));
  EXPECT_EQ(bits(s.getColor("Visualizer.UMLModel.ShadowColor").r), 0x3F19999Au);
}

TEST(SettingsStoreTest, TheProcessStoreStartsWithTheDefaults) {
  EXPECT_EQ(settings().getFloat("Visualizer.General.Stereo.EyeSeperation"), 1.5f);
  EXPECT_EQ(&settings(), &SettingsStore::instance());
}

TEST(SettingsStoreTest, UnknownKeysReadAsZeroAndAreCreated) {
  SettingsStore s;
  applyDefaultSettings(s);
  EXPECT_FALSE(s.hasFloat("Visualizer.General.Stereo.EyeSeparation"));
  EXPECT_EQ(s.getFloat("Visualizer.General.Stereo.EyeSeparation"), 0.0f);
  EXPECT_TRUE(s.hasFloat("Visualizer.General.Stereo.EyeSeparation"));
  EXPECT_EQ(s.getFloat("Visualizer.General.Stereo.EyeSeperation"), 1.5f);

  EXPECT_FALSE(s.hasColor("No.Such.Colour"));
  EXPECT_EQ(s.getColor("No.Such.Colour"), Color(0, 0, 0, 1));
  EXPECT_TRUE(s.hasColor("No.Such.Colour"));

  EXPECT_FALSE(s.getBool("No.Such.Bool"));
  EXPECT_TRUE(s.hasBool("No.Such.Bool"));
}

TEST(SettingsStoreTest, MapsAreIndependentAndSettersOverwrite) {
  SettingsStore s;
  s.setFloat("Same.Key", 2.5f);
  s.setBool("Same.Key", true);
  s.setColor("Same.Key", Color(0.1f, 0.2f, 0.3f, 0.4f));
  EXPECT_EQ(s.getFloat("Same.Key"), 2.5f);
  EXPECT_TRUE(s.getBool("Same.Key"));
  EXPECT_EQ(s.getColor("Same.Key"), Color(0.1f, 0.2f, 0.3f, 0.4f));
  s.setFloat("Same.Key", -1.0f);
  EXPECT_EQ(s.getFloat("Same.Key"), -1.0f);
  EXPECT_TRUE(s.getBool("Same.Key"));
  // getFloat hands out the stored value itself.
  s.getFloat("Same.Key") = 7.0f;
  EXPECT_EQ(s.getFloat("Same.Key"), 7.0f);
}

}  // namespace
}  // namespace lumetra
