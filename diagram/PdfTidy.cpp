#include "diagram/PdfTidy.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <vector>

namespace lumetra {

namespace {

struct Object {
  int number = 0;
  std::size_t begin = 0;  // offset of "N 0 obj"
  std::size_t end = 0;    // offset of what follows the object
};

// The entries of the one cross-reference section: object number -> offset
// of its "N 0 obj" line; and where the section starts.
std::vector<Object> readObjects(const std::string& pdf, std::size_t& xrefAt, int& count) {
  xrefAt = pdf.rfind("\nxref\n");
  if (xrefAt == std::string::npos) throw PdfTidyError("no cross-reference table");
  ++xrefAt;
  int first = 0;
  count = 0;
  std::size_t at = xrefAt + 5;
  if (std::sscanf(pdf.c_str() + at, "%d %d", &first, &count) != 2 || first != 0 || count <= 0 || count > 10000000)
    throw PdfTidyError("a cross-reference section this writer does not make");
  at = pdf.find('\n', at);
  std::vector<Object> objects;
  for (int i = 0; i < count; ++i) {
    if (at == std::string::npos || at + 1 + 20 > pdf.size()) throw PdfTidyError("a cut cross-reference table");
    const std::string entry = pdf.substr(at + 1, 20);
    at += 20;
    if (entry[17] != 'n') continue;
    const std::size_t offset = std::stoul(entry.substr(0, 10));
    const std::string head = std::to_string(i) + " 0 obj";
    if (offset >= xrefAt || pdf.compare(offset, head.size(), head) != 0)
      throw PdfTidyError("cross-reference entry " + std::to_string(i) + " points elsewhere");
    objects.push_back({i, offset, 0});
  }
  std::sort(objects.begin(), objects.end(), [](const Object& a, const Object& b) { return a.begin < b.begin; });
  for (std::size_t i = 0; i < objects.size(); ++i)
    objects[i].end = i + 1 < objects.size() ? objects[i + 1].begin : xrefAt;
  return objects;
}

std::string deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw PdfTidyError("a stream could not be compressed");
  packed.resize(size);
  return packed;
}

// Page content without the stray graphics state references.
std::string cleanContent(const std::string& content, const std::set<std::string>& declared) {
  static const std::regex gsLine(R"(/(GS[0-9A-Za-z]+) gs)");
  std::string out;
  out.reserve(content.size());
  std::size_t at = 0;
  while (at < content.size()) {
    std::size_t next = content.find('\n', at);
    next = next == std::string::npos ? content.size() : next + 1;
    const std::string line = content.substr(at, next - at);
    std::string bare = line;
    while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.pop_back();
    std::smatch match;
    if (std::regex_match(bare, match, gsLine)) {
      const bool beforePassage = content.compare(next, std::char_traits<char>::length(kPdfPassageMark),
                                                 kPdfPassageMark) == 0;
      if (beforePassage || declared.count(match[1].str()) == 0) {
        at = next;
        continue;
      }
    }
    if (bare == kPdfPassageMark) {
      at = next;
      continue;
    }
    out += line;
    at = next;
  }
  return out;
}

}  // namespace

std::string tidyPdf(const std::string& pdf) {
  if (pdf.compare(0, 5, "%PDF-") != 0) throw PdfTidyError("not a PDF file");
  std::size_t xrefAt = 0;
  int size = 0;
  std::vector<Object> objects = readObjects(pdf, xrefAt, size);

  // The graphics states the pages declare (gl2ps writes one page).
  std::set<std::string> declared;
  static const std::regex gsName(R"(/(GS[0-9A-Za-z]+) [0-9]+ 0 R)");
  for (const Object& o : objects) {
    const std::string text = pdf.substr(o.begin, std::min<std::size_t>(o.end - o.begin, 1 << 20));
    if (text.find("/Type /Page\n") == std::string::npos && text.find("/Type /Page ") == std::string::npos) continue;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), gsName); it != std::sregex_iterator(); ++it)
      declared.insert((*it)[1].str());
  }

  std::string out = pdf.substr(0, pdf.find('\n') + 1);
  out += "%\xE2\xE3\xCF\xD3\n";  // marks the file as binary for transfer programs
  std::map<int, std::size_t> offsets;
  static const std::regex length(R"(/Length\s+[0-9]+(\s+0\s+R)?)");
  for (const Object& o : objects) {
    std::string text = pdf.substr(o.begin, o.end - o.begin);
    offsets[o.number] = out.size();
    // gl2ps also prints every passage between the objects after the page
    // content: whatever follows an object's "endobj" goes.
    const std::size_t lastStream = text.rfind("endstream");
    const std::size_t endObj = text.find("endobj", lastStream == std::string::npos ? 0 : lastStream);
    if (endObj == std::string::npos) throw PdfTidyError("object " + std::to_string(o.number) + " does not end");
    text.resize(endObj + 6);
    text += '\n';
    const std::size_t dictEnd = text.find(">>");
    const std::size_t stream = dictEnd == std::string::npos ? std::string::npos : text.find("stream", dictEnd);
    const std::size_t endStream = text.rfind("endstream");
    if (stream == std::string::npos || endStream == std::string::npos || endStream < stream) {
      out += text;
      continue;
    }
    std::string dict = text.substr(0, stream);
    std::size_t dataBegin = stream + 6;
    if (text.compare(dataBegin, 2, "\r\n") == 0) dataBegin += 2;
    else if (text[dataBegin] == '\n') dataBegin += 1;
    std::size_t dataEnd = endStream;
    if (dataEnd > dataBegin && text[dataEnd - 1] == '\n') --dataEnd;
    if (dataEnd > dataBegin && text[dataEnd - 1] == '\r') --dataEnd;
    std::string data = text.substr(dataBegin, dataEnd - dataBegin);
    if (dict.find("/Filter") != std::string::npos || !std::regex_search(dict, length)) {
      out += text;
      continue;
    }
    // The page content is the stream without a /Type or a /Subtype.
    if (dict.find("/Type") == std::string::npos && dict.find("/Subtype") == std::string::npos &&
        dict.find("/ShadingType") == std::string::npos)
      data = cleanContent(data, declared);
    const std::string packed = deflate(data);
    dict = std::regex_replace(dict, length, "/Length " + std::to_string(packed.size()) + " /Filter /FlateDecode",
                              std::regex_constants::format_first_only);
    out += dict + "stream\n" + packed + "\nendstream" + text.substr(endStream + 9);
  }

  // A new cross-reference table; the trailer's dictionary is kept.
  const std::size_t trailerAt = pdf.find("trailer", xrefAt);
  const std::size_t startxref = pdf.find("startxref", trailerAt);
  if (trailerAt == std::string::npos || startxref == std::string::npos) throw PdfTidyError("no trailer");
  const std::size_t newXref = out.size();
  out += "xref\n0 " + std::to_string(size) + "\n";
  char entry[32];
  for (int i = 0; i < size; ++i) {
    auto it = offsets.find(i);
    if (it == offsets.end()) std::snprintf(entry, sizeof entry, "%010d %05d f \n", 0, i == 0 ? 65535 : 0);
    else std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", it->second);
    out += entry;
  }
  out += pdf.substr(trailerAt, startxref - trailerAt);
  out += "startxref\n" + std::to_string(newXref) + "\n%%EOF\n";
  return out;
}

}  // namespace lumetra
