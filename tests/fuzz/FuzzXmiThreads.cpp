// libFuzzer target: arbitrary bytes as an XMI document, read once on one
// thread and once on two. The diagrams file text and the debug lines of
// both readings must be the same; a difference stops the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "model/Diagram.h"
#include "modelfiles/DiagramParserXMI.h"
#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"
#include "platform/DebugOutput.h"

namespace {

class StringWriter : public pugi::xml_writer {
 public:
  void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
  std::string text;
};

std::string messages;

// The debug lines and the diagram file text of one reading.
std::string readAndSave(const pugi::xml_document& document, std::size_t threadedFrom) {
  using namespace lumetra;
  messages.clear();
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  {
    DiagramParserXMI reader(diagrams, pool, document);
    reader.setThreadedFrom(threadedFrom);
    reader.parse();
  }
  runPostLoadPasses(diagrams);
  XMLDiagramWriter writer("unused.dia", diagrams, pool);
  writer.buildDocument();
  StringWriter out;
  writer.document().save(out);
  deleteDiagrams(diagrams);
  return messages + "\n----\n" + out.text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lumetra::setDebugSink([](const std::string& text) { messages += text; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pugi::xml_document document;
  if (!document.load_buffer(data, size, pugi::parse_full)) return 0;
  const std::string alone = readAndSave(document, std::numeric_limits<std::size_t>::max());
  const std::string threaded = readAndSave(document, 0);
  if (alone != threaded) std::abort();
  return 0;
}
