#pragma once
// Reads a component scenario file into one PelkComponentDiagram: services
// (nodes) with provided (inputs) and required (outputs) interfaces, wired by
// connections that the interfaces name in their "edges" lists.

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/ScenarioElements.h"
#include "modelfiles/DiagramParser.h"

namespace lumetra {

class DiagramParserPelk : public DiagramParser {
 public:
  using DiagramParser::DiagramParser;

  void parse() override;
  ~DiagramParserPelk() override = default;

 private:
  void parseNode(pugi::xml_node node);
  void parseNodeInterface(pugi::xml_node element, const std::string& kind);
  void layoutNode(ComposedDiagramElement* node, int x, int y);

  // Connections named once so far, by identifier, oldest first (pooled, not owned).
  std::unordered_map<std::string, std::deque<PelkConnection*>> pendingConnections_;
  ComposedDiagramElement* currentNode_ = nullptr;
};

// The connection identifiers of an "edges" text: the pieces between single
// spaces. Empty pieces (from doubled, leading or trailing spaces) name no
// connection and are left out.
std::vector<std::string> splitEdges(const std::string& edges);

// The scenario's name when its element has no "Name".
inline constexpr const char* kDefaultScenarioName = "Dad Ovava Zarozi";

}  // namespace lumetra
