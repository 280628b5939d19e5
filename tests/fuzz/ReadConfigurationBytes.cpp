#include "tests/fuzz/ReadConfigurationBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/document/ConfigurationFile.h"

namespace lumetra {

namespace {

// What a reading says, without what may differ between two readings of
// equal content: the lines of the groups, the order of the three setting
// groups, and the file names (resolved through the file system).
Configuration comparable(Configuration c) {
  for (SavedMetric& m : c.metrics) m.line = 0;
  for (SavedArea& a : c.areas) a.line = 0;
  std::stable_sort(c.settings.begin(), c.settings.end(),
                   [](const SavedSetting& a, const SavedSetting& b) { return a.kind < b.kind; });
  c.modelFile.clear();
  c.metricsFile.clear();
  return c;
}

[[noreturn]] void fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "configuration round trip failed: %s\n--- written ---\n%s\n", what, text.c_str());
  std::abort();
}

}  // namespace

bool readConfigurationBytes(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ConfigurationRead first = parseConfiguration(bytes, "input.cfg");
  const ConfigurationRead again = parseConfiguration(bytes, "input.cfg");
  if (first.ok != again.ok || first.error != again.error || first.skipped != again.skipped ||
      !(first.configuration == again.configuration))
    fail("two readings of the same bytes differ", std::string(bytes));
  if (!first.ok) {
    if (first.error.rfind("input.cfg", 0) != 0) fail("the message does not name the file", first.error);
    return false;
  }
  const std::string text = configurationText(first.configuration, "input.cfg");
  const ConfigurationRead written = parseConfiguration(text, "input.cfg");
  if (!written.ok) fail(("the written file is refused: " + written.error).c_str(), text);
  if (!written.skipped.empty())
    fail(("the written file has skipped entries: " + written.skipped.front()).c_str(), text);
  if (!(comparable(written.configuration) == comparable(first.configuration)))
    fail("the written file reads otherwise", text);
  return true;
}

}  // namespace lumetra
