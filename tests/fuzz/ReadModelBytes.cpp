#include "tests/fuzz/ReadModelBytes.h"

#include <vector>

#include <fcntl.h>

#include "modelfiles/DiagramParserController.h"
#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"

namespace lumetra {

namespace {

// Serialises the document and forgets the bytes.
class DiscardingWriter : public pugi::xml_writer {
 public:
  void write(const void*, size_t size) override { written += size; }
  std::size_t written = 0;
};

}  // namespace

std::size_t readModelBytes(const std::uint8_t* data, std::size_t size, const std::string& fileName) {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  {
    DiagramParserController controller(diagrams, pool);
    controller.openBuffer(data, size, fileName);
  }
  runPostLoadPasses(diagrams);

  // Both ways of writing: the document and the streamed file text.
  XMLDiagramWriter writer("unused.dia", diagrams, pool);
  writer.buildDocument();
  DiscardingWriter sink;
  writer.document().save(sink);
  static const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (devNull >= 0) writer.streamTo(devNull);

  const std::size_t count = diagrams.size();
  deleteDiagrams(diagrams);
  return count;
}

}  // namespace lumetra
