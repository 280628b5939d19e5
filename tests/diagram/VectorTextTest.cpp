// What the vector export writes without GL: labels encoded for each format,
// and the PDF gl2ps writes made whole (compressed, with its stray graphics
// state references and repeated passages gone, and a table of offsets that
// points at the objects).

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "diagram/PdfTidy.h"
#include "diagram/VectorExport.h"

namespace lumetra {
namespace {

TEST(VectorText, EachFormatGetsTextItCanCarry) {
  struct Case {
    const char* name;
    std::string utf8, svg, pdf;
  } cases[] = {
      {"plain", "Order", "Order", "Order"},
      {"markup and string delimiters", "Map<K,V> & \"x\" (y)\\", "Map&lt;K,V&gt; &amp; &quot;x&quot; (y)\\",
       "Map<K,V> & \"x\" \\(y\\)\\\\"},
      {"unbalanced parenthesis", "f(", "f(", "f\\("},
      {"accented Latin (Mac Roman in PDF)", "Gr\xC3\xB6\xC3\x9F" "e", "Gr\xC3\xB6\xC3\x9F" "e", "Gr\\232\\247e"},
      {"ellipsis and euro", "\xE2\x80\xA6\xE2\x82\xAC", "\xE2\x80\xA6\xE2\x82\xAC", "\\311\\333"},
      {"beyond both encodings' reach in PDF", "\xE6\x97\xA5\xF0\x9F\x98\x80", "\xE6\x97\xA5\xF0\x9F\x98\x80", "??"},
      {"control characters", std::string("a\x01" "b\nc", 5), "a?b?c", "a?b?c"},
      {"tab kept in XML", "a\tb", "a\tb", "a?b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(svgText(c.utf8), c.svg) << c.name;
    EXPECT_EQ(pdfString(c.utf8), c.pdf) << c.name;
  }
}

TEST(VectorText, FormatsByExtension) {
  struct Case {
    const char* file;
    bool vector;
    VectorFormat format;
  } cases[] = {
      {"a.svg", true, VectorFormat::Svg},      {"A.SVG", true, VectorFormat::Svg},
      {"dir.x/a.pdf", true, VectorFormat::Pdf}, {"a.Pdf", true, VectorFormat::Pdf},
      {"a.png", false, VectorFormat::Svg},     {"a.svgz", false, VectorFormat::Svg},
      {"svg", false, VectorFormat::Svg},       {"dir.pdf/a", false, VectorFormat::Svg},
  };
  for (const Case& c : cases) {
    VectorFormat format = VectorFormat::Svg;
    EXPECT_EQ(vectorFormatFor(c.file, format), c.vector) << c.file;
    if (c.vector) {
      EXPECT_EQ(format, c.format) << c.file;
    }
  }
}

// A file laid out as gl2ps lays out its PDF, with the faults it has.
std::string gl2psLikePdf() {
  const std::vector<std::pair<int, std::string>> objects = {
      {1, "<<\n/Title (t)\n>>\n"},
      {2, "<<\n/Type /Catalog\n/Pages 3 0 R\n>>\n"},
      {3, "<<\n/Type /Pages\n/Kids [6 0 R]\n/Count 1\n>>\n"},
      {4, "<<\n/Length 5 0 R\n>>\nstream\n/GSa gs\nq\n/GS0 gs\n0 0 10 10 re f\nQ\n/GS1 gs\n%passage\n"
          "q 0 0 0 rg BT /F0 12 Tf (A) Tj ET Q\n/GS9 gs\n1 w\n0 0 m 5 5 l S\nendstream\n"},
      {5, "120\n"},
      {6, "<<\n/Type /Page\n/Parent 3 0 R\n/Contents 4 0 R\n/Resources\n<<\n/ExtGState\n<<\n/GSa 7 0 R\n"
          "/GS0 8 0 R\n/GS1 9 0 R\n>>\n>>\n>>\n"},
      {8, "<<\n/ca 0.5>>\n"},
      {7, "<<\n/Type /ExtGState\n>>\n"},
      {9, "<<\n/ca 0>>\n"},
  };
  std::string pdf = "%PDF-1.4\n";
  std::map<int, std::size_t> offsets;
  for (const auto& [number, body] : objects) {
    offsets[number] = pdf.size();
    pdf += std::to_string(number) + " 0 obj\n" + body + "endobj\n";
    // gl2ps repeats the passages after the objects that follow the content.
    if (number == 5) pdf += "q 0 0 0 rg BT /F0 12 Tf (A) Tj ET Q\n";
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 10\n0000000000 65535 f \n";
  char entry[32];
  for (int i = 1; i < 10; ++i) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[i]);
    pdf += entry;
  }
  pdf += "trailer\n<<\n/Size 10\n/Info 1 0 R\n/Root 2 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

std::string inflate(const std::string& packed) {
  std::string out(1 << 16, '\0');
  uLongf size = out.size();
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                 packed.size()) != Z_OK)
    return "<not a zlib stream>";
  out.resize(size);
  return out;
}

TEST(PdfTidy, CompressesDropsStrayStatesAndPointsAtEveryObject) {
  const std::string pdf = tidyPdf(gl2psLikePdf());

  // Every entry of the new table points at its object.
  const std::size_t startxref = pdf.rfind("startxref\n");
  ASSERT_NE(startxref, std::string::npos);
  const std::size_t xref = std::stoul(pdf.substr(startxref + 10));
  ASSERT_EQ(pdf.compare(xref, 10, "xref\n0 10\n"), 0);
  for (int i = 1; i < 10; ++i) {
    const std::size_t offset = std::stoul(pdf.substr(xref + 10 + 20 * i, 10));
    EXPECT_EQ(pdf.compare(offset, std::to_string(i).size() + 6, std::to_string(i) + " 0 obj"), 0) << i;
  }
  EXPECT_NE(pdf.find("/Size 10\n/Info 1 0 R\n/Root 2 0 R"), std::string::npos);

  // The content: compressed, declared states kept, the one before the
  // passage and the undeclared one gone, marks gone (the line end before
  // "endstream" belongs to no stream).
  const std::size_t content = pdf.find("4 0 obj\n");
  const std::size_t lengthAt = pdf.find("/Length ", content);
  const std::size_t length = std::stoul(pdf.substr(lengthAt + 8));
  EXPECT_EQ(pdf.compare(pdf.find(' ', lengthAt + 8), 21, " /Filter /FlateDecode"), 0);
  const std::size_t data = pdf.find("stream\n", content) + 7;
  EXPECT_EQ(inflate(pdf.substr(data, length)),
            "/GSa gs\nq\n/GS0 gs\n0 0 10 10 re f\nQ\nq 0 0 0 rg BT /F0 12 Tf (A) Tj ET Q\n1 w\n0 0 m 5 5 l S");
  EXPECT_EQ(pdf.compare(data + length, 18, "\nendstream\nendobj\n"), 0);

  // The passage repeated between objects is gone: the text shows once.
  EXPECT_EQ(pdf.find("(A) Tj"), std::string::npos);
}

TEST(PdfTidy, RefusesWhatGl2psDoesNotWrite) {
  const std::string good = gl2psLikePdf();
  std::string wrongOffset = good;
  wrongOffset.replace(wrongOffset.find("xref\n0 10\n") + 10 + 20, 10, "0000000001");
  for (const std::string& bad : {std::string("not a pdf"), std::string("%PDF-1.4\nno table"), wrongOffset})
    EXPECT_THROW(tidyPdf(bad), PdfTidyError);
}

}  // namespace
}  // namespace lumetra
