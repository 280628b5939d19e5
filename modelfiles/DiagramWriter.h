#pragma once
// Writing the loaded diagrams with their current geometry, and the pooled
// model elements, to a diagram file (*.dia). Nothing reads that format back.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "model/Diagram.h"

namespace lumetra {

class DiagramWriter {
 public:
  DiagramWriter(const std::vector<Diagram*>& diagrams, const ModelElementsPool& pool)
      : diagrams_(&diagrams), pool_(&pool) {}
  DiagramWriter(const DiagramWriter&) = delete;
  DiagramWriter& operator=(const DiagramWriter&) = delete;

  // True when the whole file was written.
  virtual bool write() = 0;
  virtual ~DiagramWriter() = default;

 protected:
  const std::vector<Diagram*>* diagrams_;  // read only
  const ModelElementsPool* pool_;          // read only
};

// A one-shot writer: construct, write() once, destroy.
//
// The file is written to a temporary file in the target's folder and renamed
// over the target only when complete, so a failed save never leaves a
// half-written or emptied file behind. write() streams the tree straight to
// the file, byte for byte what saving the document of buildDocument() with
// pugixml's default format would give, without holding it in memory.
class XMLDiagramWriter : public DiagramWriter {
 public:
  XMLDiagramWriter(std::string fileName, const std::vector<Diagram*>& diagrams, const ModelElementsPool& pool);

  bool write() override;
  ~XMLDiagramWriter() override = default;

  // Builds, in document(), the tree that write() streams to the file.
  void buildDocument();
  // Streams the file's content to an open descriptor (what write() puts in
  // the temporary file); returns 0 or the first write error's errno.
  int streamTo(int fd) const;

  // Why the last write() failed (empty after success).
  const std::string& errorText() const { return errorText_; }
  // The document as built by the last buildDocument(), for inspection.
  const pugi::xml_document& document() const { return document_; }

 private:
  template <typename Emitter>
  void emitTree(Emitter& out) const;
  bool saveAtomically();

  std::string fileName_;
  pugi::xml_document document_;
  std::map<std::string, TypeCode> typeCodes_;
  std::string errorText_;
};

// A float as a standard output stream writes it by default: general
// notation, six significant digits, no trailing zeros ("85", "45.5").
std::string formatNumber(float value);

}  // namespace lumetra
