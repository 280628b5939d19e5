#include "app/panels/PanelPictures.h"

namespace lumetra::pictures {

// A grey-framed 13 x 13 box, and the same with a black tick.
const char* const checkBoxUnchecked[] = {
    "19 15 3 1",
    "  c None",
    "o c #5A5A5A",
    "w c #FFFFFF",
    "                   ",
    "   ooooooooooooo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   ooooooooooooo   ",
    "                   ",
};

const char* const checkBoxChecked[] = {
    "19 15 4 1",
    "  c None",
    "k c #000000",
    "o c #5A5A5A",
    "w c #FFFFFF",
    "                   ",
    "   ooooooooooooo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwkwo   ",
    "   owwwwwwwwkkwo   ",
    "   owwkwwwwkkkwo   ",
    "   owwkkwwkkkwwo   ",
    "   owwkkkkkkwwwo   ",
    "   owwwkkkkwwwwo   ",
    "   owwwkkkwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   owwwwwwwwwwwo   ",
    "   ooooooooooooo   ",
    "                   ",
};

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

}  // namespace

const TreeIcon treeIcons[] = {
    {"tv-class-diagram-node", classDiagramIcon},
    {"tv-component-diagram", componentDiagramIcon},
    {"tv-class", classIcon},
    {"tv-interface", interfaceIcon},
    {"tv-package", packageIcon},
    {nullptr, nullptr},
};

}  // namespace lumetra::pictures
