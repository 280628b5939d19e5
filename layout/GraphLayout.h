#pragma once
// Laying out one graph of boxes and edges with Graphviz, in this process.
//
// Graphviz is not thread-safe: every call into it runs on one dedicated
// layout thread, which this module starts at the first request and which
// takes requests one at a time. layoutGraph may be called from any thread;
// it waits for its turn and for the result. Nothing above layout/GraphLayout.cpp
// sees a Graphviz type.
//
// Units: diagram units (one Graphviz point each), y up, as Graphviz gives
// them; the origin is Graphviz's (the lower left of the drawing).

#include <atomic>
#include <string>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

struct GraphNode {
  Vec2 size;  // the box's width and height
};

struct GraphEdge {
  int tail = 0, head = 0;  // node indices; a ranking edge puts tail above head
  bool ranking = true;     // false: drawn, but does not constrain the ranks
};

struct GraphInput {
  std::vector<GraphNode> nodes;
  std::vector<GraphEdge> edges;
  // Lay out each connected part on its own and pack the parts side by side.
  bool packParts = false;
  // Force-directed placement with overlaps removed and straight edges
  // (sfdp), for graphs too large for the layered layout in reasonable time.
  bool forceDirected = false;
  // Route edges as splines around the boxes (false: no routes at all).
  bool routeEdges = true;
  float nodeSeparation = 36.0f;  // between boxes of one rank
  float rankSeparation = 48.0f;  // between ranks
};

struct GraphResult {
  bool ok = false;
  std::string error;  // Graphviz's own words when not ok
  std::vector<Vec2> centres;               // one per node
  std::vector<std::vector<Vec2>> routes;   // one per edge, tail to head; empty where none
  Vec2 low, high;                          // the drawing's bounding box
};

// Lays the graph out on the layout thread and returns when done. A set
// abandon flag makes a request that has not started yet return at once (not
// ok, error "abandoned").
GraphResult layoutGraph(const GraphInput& graph, const std::atomic<bool>* abandon = nullptr);

}  // namespace lumetra
