#include "tests/fuzz/ReadModelBytes.h"

#include <vector>

#include "modelfiles/DiagramParserController.h"
#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"
#include "render/geometry/GeometryPasses.h"

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
  normalizeGeometry(diagrams);
  applyDefaultAppearances(diagrams);
  orderElements(diagrams);

  XMLDiagramWriter writer("unused.dia", diagrams, pool);
  writer.buildDocument();
  DiscardingWriter sink;
  writer.document().save(sink);

  const std::size_t count = diagrams.size();
  deleteDiagrams(diagrams);
  return count;
}

}  // namespace lumetra
