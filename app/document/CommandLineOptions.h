#pragma once
// What the command line asks for, as plain values: the model, metrics,
// diagram, metrics and areas to show, the configuration to load and the
// command to run. The document and configurations read them; the parser
// that fills them is in app/commands.

#include <string>
#include <vector>

namespace lumetra {

struct CommandLineOptions {
  bool version = false;
  std::string saveDiagram;  // --save-diagram OUT.dia
  std::string exportImage;  // --export OUT.png|.jpg|.svg|.pdf
  std::string exportAll;    // --export-all DIR: one picture per diagram
  std::string format;       // --format png|jpg|svg|pdf, with --export-all
  std::string diagram;      // --diagram NAME
  std::string size;         // --size WxH
  std::string metricsFile;  // --metrics FILE
  std::vector<std::string> metrics;  // --metric NAME, in order
  std::vector<std::string> areas;    // --area NAME[:PAINTER], in order
  bool fullDetail = false;  // --full-detail: no level of detail in the picture
  std::string model;        // the positional MODEL, or the project of --import-cpp
  std::string importCpp;    // --import-cpp DB: a compile_commands.json or a folder holding one
  std::vector<std::string> importRoots;  // --import-root DIR (repeatable), absolute: the folders to keep
  bool legend = false;      // --legend: the legend is drawn (viewer and --export)
  // --config FILE: a saved configuration (viewer and --export). MODEL,
  // --metrics and --diagram given beside it replace what it names; --metric
  // and --area show more; --size replaces the saved window size.
  std::string config;

  bool isBatch() const { return version || !saveDiagram.empty() || !exportImage.empty() || !exportAll.empty(); }
};

// What one --area value asks for: NAME or NAME:PAINTER with PAINTER
// "Inner", "Outer" or "Square" (default "Inner"). The text after the last
// colon is a painter only when it is one of those names, so "a:b" is the
// area "a:b" with the default painter.
struct AreaOption {
  std::string name;
  std::string painter;
};
AreaOption parseAreaOption(const std::string& value);

}  // namespace lumetra
