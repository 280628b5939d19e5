#include "app/panels/PanelPictures.h"

namespace lumetra::pictures {

// A grey-framed 13 x 13 box with a tick: black when checked, white (on the
// white box, so unseen) when not.
#define LUMETRA_CHECK_BOX(tick)  \
  {                              \
      "19 15 4 1",               \
      "  c None",                \
      "k c " tick,               \
      "o c #5A5A5A",             \
      "w c #FFFFFF",             \
      "                   ",     \
      "   ooooooooooooo   ",     \
      "   owwwwwwwwwwwo   ",     \
      "   owwwwwwwwwwwo   ",     \
      "   owwwwwwwwwkwo   ",     \
      "   owwwwwwwwkkwo   ",     \
      "   owwkwwwwkkkwo   ",     \
      "   owwkkwwkkkwwo   ",     \
      "   owwkkkkkkwwwo   ",     \
      "   owwwkkkkwwwwo   ",     \
      "   owwwkkkwwwwwo   ",     \
      "   owwwwwwwwwwwo   ",     \
      "   owwwwwwwwwwwo   ",     \
      "   ooooooooooooo   ",     \
      "                   ",     \
  }
const char* const checkBoxUnchecked[] = LUMETRA_CHECK_BOX("#FFFFFF");
const char* const checkBoxChecked[] = LUMETRA_CHECK_BOX("#000000");
#undef LUMETRA_CHECK_BOX

namespace {

// Two boxes joined by a relation.
const char* const classDiagramIcon[] = {
    "16 16 3 1",
    "# c #404040",
    ". c None",
    "b c #A8C8F0",
    "................",
    ".######.........",
    ".#bbbb#.........",
    ".#bbbb#.........",
    ".######.........",
    "...#............",
    "...#............",
    "...#............",
    "...#.....######.",
    "...######bbbbb#.",
    ".........#bbbb#.",
    ".........#bbbb#.",
    ".........######.",
    "................",
    "................",
    "................",
};

// A component box with its two connector tabs.
const char* const componentDiagramIcon[] = {
    "16 16 3 1",
    "# c #404040",
    ". c None",
    "g c #B8E0B0",
    "................",
    "....##########..",
    "....#gggggggg#..",
    "..#####gggggg#..",
    "..#ggg#gggggg#..",
    "..#####gggggg#..",
    "....#gggggggg#..",
    "....#gggggggg#..",
    "..#####gggggg#..",
    "..#ggg#gggggg#..",
    "..#####gggggg#..",
    "....#gggggggg#..",
    "....#gggggggg#..",
    "....##########..",
    "................",
    "................",
};

// A class box: name, attributes and operations compartments.
const char* const classIcon[] = {
    "16 16 4 1",
    "# c #404040",
    ". c None",
    "h c #E8C860",
    "y c #FFF4C8",
    "................",
    ".##############.",
    ".#hhhhhhhhhhhh#.",
    ".#hhh######hhh#.",
    ".#hhhhhhhhhhhh#.",
    ".##############.",
    ".#yyyyyyyyyyyy#.",
    ".#y#######yyyy#.",
    ".#yyyyyyyyyyyy#.",
    ".##############.",
    ".#yyyyyyyyyyyy#.",
    ".#y#########yy#.",
    ".#yyyyyyyyyyyy#.",
    ".#y######yyyyy#.",
    ".##############.",
    "................",
};

// An interface as a lollipop.
const char* const interfaceIcon[] = {
    "16 16 3 1",
    "# c #404040",
    ". c None",
    "p c #F0B8D0",
    "................",
    ".....####.......",
    "....#pppp#......",
    "...#pppppp#.....",
    "...#pppppp#.....",
    "...#pppppp#.....",
    "...#pppppp#.....",
    "....#pppp#......",
    ".....####.......",
    ".......#........",
    ".......#........",
    ".......#........",
    ".......#........",
    ".......#........",
    ".....#####......",
    "................",
};

// A package as a folder with its tab.
const char* const packageIcon[] = {
    "16 16 3 1",
    "# c #404040",
    ". c None",
    "f c #E8D8A8",
    "................",
    "................",
    ".######.........",
    ".#ffff#.........",
    ".##############.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".#ffffffffffff#.",
    ".##############.",
    "................",
    "................",
};

// A diagram the automatic layout made: two boxes joined by a relation, in
// green, with a spark in the empty corner.
const char* const generatedDiagramIcon[] = {
    "16 16 4 1",
    "# c #404040",
    ". c None",
    "g c #A8E0A0",
    "s c #E0A000",
    "................",
    ".######.....s...",
    ".#gggg#.....s...",
    ".#gggg#...sssss.",
    ".######.....s...",
    "...#........s...",
    "...#............",
    "...#............",
    "...#.....######.",
    "...######ggggg#.",
    ".........#gggg#.",
    ".........#gggg#.",
    ".........######.",
    "................",
    "................",
    "................",
};

}  // namespace

const TreeIcon treeIcons[] = {
    {"tv-class-diagram-node", classDiagramIcon},
    {"tv-component-diagram", componentDiagramIcon},
    {"tv-class", classIcon},
    {"tv-interface", interfaceIcon},
    {"tv-package", packageIcon},
    {"tv-generated-diagram", generatedDiagramIcon},
    {nullptr, nullptr},
};

}  // namespace lumetra::pictures
