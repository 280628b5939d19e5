#include "metrics/MetricsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>
#include <string_view>

#include "metrics/ElementMatcher.h"
#include "metrics/MetricParser.h"
#include "metrics/TableMetrics.h"

namespace lumetra {

namespace {

constexpr std::size_t kHead = 4096;

// The name of the root element when the text begins as XML (after a byte
// order mark, blanks, the declaration, comments and a document type), empty
// when it does not look like XML; "?" when the head ends before the root.
std::string xmlRootName(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  auto skipBlanks = [&] {
    while (!text.empty() && std::strchr(" \t\r\n", text.front()) != nullptr) text.remove_prefix(1);
  };
  skipBlanks();
  if (text.empty() || text.front() != '<') return {};
  for (;;) {
    skipBlanks();
    if (text.empty()) return "?";
    if (text.front() != '<') return {};
    std::string_view end;
    if (text.substr(0, 2) == "<?") end = "?>";
    else if (text.substr(0, 4) == "<!--") end = "-->";
    else if (text.substr(0, 2) == "<!") end = ">";
    if (end.empty()) break;
    const std::size_t at = text.find(end);
    if (at == std::string_view::npos) return "?";
    text.remove_prefix(at + end.size());
  }
  text.remove_prefix(1);
  std::size_t length = 0;
  while (length < text.size() && std::strchr(" \t\r\n/>", text[length]) == nullptr) ++length;
  return std::string(text.substr(0, length));
}

MetricsRead readCoverageBytes(const std::string& bytes, const std::string& name, const ModelElementsPool& pool,
                              MetricSet& metrics) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
  if (!parsed) {
    MetricsRead result;
    const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
    const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                                        std::min(offset, bytes.size())), '\n');
    result.error = name + ": line " + std::to_string(line) + ": " + parsed.description();
    return result;
  }
  return readCoverageReport(document, name, ElementMatcher(pool), metrics);
}

MetricsRead fromParser(MetricParser& parser, bool ok) {
  MetricsRead result;
  result.ok = ok;
  if (!ok) result.error = parser.lastError();
  return result;
}

}  // namespace

MetricsRead readMetricsFile(const std::string& path, const ModelElementsPool& pool, MetricSet& metrics,
                            AreaSet& areas) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    MetricsRead result;
    result.error = path + ": cannot be opened (" + std::strerror(errno) + ")";
    return result;
  }
  std::string head(kHead, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  const std::string root = xmlRootName(head);
  if (root == "report") {
    std::string bytes = head;
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return readCoverageBytes(bytes, path, pool, metrics);
  }
  if (!root.empty()) {
    MetricParser parser(&metrics, &areas);
    return fromParser(parser, parser.load(path));
  }
  in.clear();
  in.seekg(0);
  return readTableMetrics(in, path, ElementMatcher(pool), metrics);
}

MetricsRead readMetricsBytes(const void* data, std::size_t size, const std::string& name,
                             const ModelElementsPool& pool, MetricSet& metrics, AreaSet& areas) {
  const std::string bytes(static_cast<const char*>(data), size);
  const std::string root = xmlRootName(std::string_view(bytes).substr(0, kHead));
  if (root == "report") return readCoverageBytes(bytes, name, pool, metrics);
  if (!root.empty()) {
    MetricParser parser(&metrics, &areas);
    return fromParser(parser, parser.loadBytes(bytes.data(), bytes.size(), name));
  }
  std::istringstream in(bytes);
  return readTableMetrics(in, name, ElementMatcher(pool), metrics);
}

}  // namespace lumetra
