// Graphviz stays inside this file: the layout thread that owns its context,
// RAII holders of a context and a graph, and the translation of a graph to
// Graphviz and of its layout back.

#include "layout/GraphLayout.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace lumetra {

namespace {

// ---- the layout thread --------------------------------------------------------

// One thread runs every Graphviz call, one request after the other.
class LayoutThread {
 public:
  static LayoutThread& instance() {
    static LayoutThread thread;
    return thread;
  }

  // Runs job on the layout thread and waits for it; rethrows what it threw.
  void run(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    {
      std::lock_guard<std::mutex> hold(lock_);
      jobs_.push_back(std::move(task));
    }
    wake_.notify_one();
    done.get();
  }

  ~LayoutThread() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
  }

 private:
  LayoutThread() : worker_([this] { loop(); }) {}

  void loop() {
    for (;;) {
      std::packaged_task<void()> job;
      {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<void()>> jobs_;
  bool stopping_ = false;
  std::thread worker_;  // last: starts once the rest is built
};

// ---- Graphviz holders (layout thread only) -------------------------------------

// Graphviz's messages of the request being run, for the error text.
std::string& graphvizMessages() {
  static std::string messages;
  return messages;
}

int collectMessage(char* text) {
  if (graphvizMessages().size() < 2000) graphvizMessages() += text;
  return 0;
}

// The context with its layout plugins, made at the first request on the
// layout thread and kept for the thread's life.
class Context {
 public:
  static GVC_t* get() {
    static Context context;
    return context.gvc_;
  }

 private:
  Context() {
    agseterrf(collectMessage);
    agseterr(AGERR);  // warnings are not errors
    gvc_ = gvContext();
  }
  ~Context() {
    if (gvc_) gvFreeContext(gvc_);
  }
  GVC_t* gvc_ = nullptr;
};

// A graph and its layout, freed together.
class Graph {
 public:
  explicit Graph(GVC_t* gvc) : gvc_(gvc), graph_(agopen(const_cast<char*>("g"), Agdirected, nullptr)) {}
  ~Graph() {
    if (laidOut_) gvFreeLayout(gvc_, graph_);
    if (graph_) agclose(graph_);
  }
  Graph(const Graph&) = delete;
  Graph& operator=(const Graph&) = delete;

  Agraph_t* get() const { return graph_; }
  bool layout(const char* engine) {
    laidOut_ = gvLayout(gvc_, graph_, engine) == 0;
    return laidOut_;
  }

 private:
  GVC_t* gvc_;
  Agraph_t* graph_;
  bool laidOut_ = false;
};

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

void setGraph(Agraph_t* g, const char* name, const std::string& value) {
  agsafeset(g, const_cast<char*>(name), const_cast<char*>(value.c_str()), const_cast<char*>(""));
}

Vec2 toVec(pointf p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

Vec2 bezierPoint(const pointf* c, float t) {
  const float u = 1.0f - t;
  const Vec2 p0 = toVec(c[0]), p1 = toVec(c[1]), p2 = toVec(c[2]), p3 = toVec(c[3]);
  return (u * u * u) * p0 + (3.0f * u * u * t) * p1 + (3.0f * u * t * t) * p2 + (t * t * t) * p3;
}

// A spline as a polyline: four points per cubic piece, then points that lie
// within a tenth of a unit of the line through their neighbours dropped.
std::vector<Vec2> polylineOf(const splines* spl) {
  std::vector<Vec2> points;
  if (spl == nullptr) return points;
  for (int b = 0; b < spl->size; ++b) {
    const bezier& bz = spl->list[b];
    for (int i = 0; i + 3 < bz.size; i += 3) {
      for (int k = 0; k < 4; ++k) points.push_back(bezierPoint(bz.list + i, static_cast<float>(k) / 4.0f));
    }
    if (bz.size >= 1) points.push_back(toVec(bz.list[bz.size - 1]));
  }
  std::vector<Vec2> kept;
  for (const Vec2& p : points) {
    if (!kept.empty() && (p - kept.back()).length() < 0.5f) continue;
    if (kept.size() >= 2) {
      const Vec2 a = kept[kept.size() - 2], b = kept.back();
      const Vec2 ab = p - a;
      const float len = ab.length();
      if (len > 0.0f && std::fabs(ab.x * (b.y - a.y) - ab.y * (b.x - a.x)) / len < 0.1f) kept.back() = p;
      else kept.push_back(p);
    } else {
      kept.push_back(p);
    }
  }
  return kept;
}

GraphResult runGraphviz(const GraphInput& in) {
  GraphResult out;
  graphvizMessages().clear();
  GVC_t* gvc = Context::get();
  if (gvc == nullptr) {
    out.error = "Graphviz could not be started";
    return out;
  }
  Graph graph(gvc);
  Agraph_t* g = graph.get();
  if (g == nullptr) {
    out.error = "Graphviz could not make a graph";
    return out;
  }
  setGraph(g, "splines", !in.routeEdges ? "none" : in.forceDirected ? "line" : "spline");
  setGraph(g, "nodesep", number(in.nodeSeparation / 72.0));
  setGraph(g, "ranksep", number(in.rankSeparation / 72.0));
  if (in.packParts) {
    setGraph(g, "pack", number(in.nodeSeparation));
    setGraph(g, "packmode", "array_u");
  }
  if (in.forceDirected) {
    setGraph(g, "overlap", "prism");
    setGraph(g, "sep", "+" + number(in.nodeSeparation / 2.0));
    setGraph(g, "start", "1");  // a fixed seed: the same picture every run
  }
  Agsym_t* shape = agattr(g, AGNODE, const_cast<char*>("shape"), const_cast<char*>("box"));
  Agsym_t* fixed = agattr(g, AGNODE, const_cast<char*>("fixedsize"), const_cast<char*>("true"));
  Agsym_t* label = agattr(g, AGNODE, const_cast<char*>("label"), const_cast<char*>(""));
  Agsym_t* width = agattr(g, AGNODE, const_cast<char*>("width"), const_cast<char*>("1"));
  Agsym_t* height = agattr(g, AGNODE, const_cast<char*>("height"), const_cast<char*>("1"));
  Agsym_t* dir = agattr(g, AGEDGE, const_cast<char*>("dir"), const_cast<char*>("none"));
  Agsym_t* constraint = agattr(g, AGEDGE, const_cast<char*>("constraint"), const_cast<char*>("true"));
  (void)shape, (void)fixed, (void)label, (void)dir;

  std::vector<Agnode_t*> nodes;
  nodes.reserve(in.nodes.size());
  for (std::size_t i = 0; i < in.nodes.size(); ++i) {
    const std::string name = "n" + std::to_string(i);
    Agnode_t* n = agnode(g, const_cast<char*>(name.c_str()), 1);
    std::string w = number(std::max(in.nodes[i].size.x, 1.0f) / 72.0);
    std::string h = number(std::max(in.nodes[i].size.y, 1.0f) / 72.0);
    agxset(n, width, w.data());
    agxset(n, height, h.data());
    nodes.push_back(n);
  }
  std::vector<Agedge_t*> edges;
  edges.reserve(in.edges.size());
  for (const GraphEdge& e : in.edges) {
    const bool valid = e.tail >= 0 && e.head >= 0 && static_cast<std::size_t>(e.tail) < nodes.size() &&
                       static_cast<std::size_t>(e.head) < nodes.size();
    Agedge_t* edge = valid ? agedge(g, nodes[e.tail], nodes[e.head], nullptr, 1) : nullptr;
    if (edge && !e.ranking) agxset(edge, constraint, const_cast<char*>("false"));
    edges.push_back(edge);
  }

  if (!graph.layout(in.forceDirected ? "sfdp" : "dot")) {
    out.error = graphvizMessages().empty() ? std::string("Graphviz could not lay the graph out") : graphvizMessages();
    while (!out.error.empty() && (out.error.back() == '\n' || out.error.back() == ' ')) out.error.pop_back();
    return out;
  }
  out.centres.reserve(nodes.size());
  for (Agnode_t* n : nodes) out.centres.push_back(toVec(ND_coord(n)));
  out.routes.resize(edges.size());
  for (std::size_t i = 0; i < edges.size(); ++i) {
    if (!edges[i] || !in.routeEdges) continue;
    std::vector<Vec2> route = polylineOf(ED_spl(edges[i]));
    // Graphviz may give a spline from head to tail; routes run tail to head.
    if (route.size() >= 2) {
      const Vec2 tail = out.centres[in.edges[i].tail];
      if ((route.back() - tail).length() < (route.front() - tail).length()) std::reverse(route.begin(), route.end());
    }
    out.routes[i] = std::move(route);
  }
  const boxf bb = GD_bb(g);
  out.low = toVec(bb.LL);
  out.high = toVec(bb.UR);
  out.ok = true;
  return out;
}

}  // namespace

GraphResult layoutGraph(const GraphInput& graph, const std::atomic<bool>* abandon) {
  GraphResult result;
  LayoutThread::instance().run([&] {
    if (abandon && abandon->load()) {
      result.error = "abandoned";
      return;
    }
    result = runGraphviz(graph);
  });
  return result;
}

}  // namespace lumetra
