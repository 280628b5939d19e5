// FreeType stays inside this file: the face of the painter's font, loaded
// once, and a table of glyph boxes and advances filled as characters come.

#include "layout/TextMeasure.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/FontLookup.h"

namespace lumetra {

namespace {

// The painter's font: face size 18 at 72 dpi, font pixels scaled by 0.08 per
// point of the element's font size (render/GLPainter.h kTextScale).
constexpr unsigned kFaceSize = 18;
constexpr float kTextScale = 0.08f;

struct GlyphBox {
  float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
  float advance = 0.0f;
};

// One face behind a lock: the layout thread, readers and the GUI thread may
// all measure.
class Face {
 public:
  Face() {
    if (FT_Init_FreeType(&library_) != 0) return;
    load(findFontFile("arial.ttf"));
  }
  // Measures with the font file at path from now on; false (and the face
  // before kept) when it cannot be read. The caller holds the lock.
  bool load(const std::string& path) {
    FT_Face loaded = nullptr;
    if (!library_ || path.empty() || FT_New_Face(library_, path.c_str(), 0, &loaded) != 0) return false;
    if (FT_Set_Char_Size(loaded, 0, kFaceSize * 64, 72, 72) != 0) {
      FT_Done_Face(loaded);
      return false;
    }
    if (face_) FT_Done_Face(face_);
    face_ = loaded;
    glyphs_.clear();
    return true;
  }
  ~Face() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;

  bool ready() const { return face_ != nullptr; }

  // Font pixels, y up, as the texture font measures: unhinted outlines, no
  // embedded bitmaps.
  const GlyphBox& glyph(char32_t c) {
    auto it = glyphs_.find(c);
    if (it != glyphs_.end()) return it->second;
    GlyphBox box;
    if (FT_Load_Glyph(face_, FT_Get_Char_Index(face_, c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
      FT_GlyphSlot slot = face_->glyph;
      FT_BBox cbox;
      FT_Outline_Get_CBox(&slot->outline, &cbox);
      box.minX = static_cast<float>(cbox.xMin) / 64.0f;
      box.minY = static_cast<float>(cbox.yMin) / 64.0f;
      box.maxX = static_cast<float>(cbox.xMax) / 64.0f;
      box.maxY = static_cast<float>(cbox.yMax) / 64.0f;
      box.advance = static_cast<float>(slot->advance.x) / 64.0f;
    }
    return glyphs_.emplace(c, box).first->second;
  }

  std::mutex lock;

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  std::unordered_map<char32_t, GlyphBox> glyphs_;
};

Face& face() {
  static Face instance;
  return instance;
}

// Decodes UTF-8; a byte that starts no well-formed sequence reads as '?',
// as the painter shows it.
std::u32string decode(const std::string& text) {
  std::u32string out;
  out.reserve(text.size());
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t value = 0;
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      value = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      value = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    bool ok = length != 0 && i + length <= text.size() && byte(i + 1) >= low && byte(i + 1) <= high;
    for (std::size_t k = 2; ok && k < length; ++k) ok = byte(i + k) >= 0x80 && byte(i + k) <= 0xBF;
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    for (std::size_t k = 1; k < length; ++k) value = (value << 6) | (byte(i + k) & 0x3F);
    out.push_back(value);
    i += length;
  }
  return out;
}

}  // namespace

bool setMeasureFont(const std::string& path) {
  Face& f = face();
  std::lock_guard<std::mutex> hold(f.lock);
  return f.load(path);
}

bool textMeasureAvailable() {
  Face& f = face();
  std::lock_guard<std::mutex> hold(f.lock);
  return f.ready();
}

TextExtent measureText(const std::string& text, float fontSize) {
  const std::u32string chars = decode(text);
  if (chars.empty()) return {};
  Face& f = face();
  std::lock_guard<std::mutex> hold(f.lock);
  if (!f.ready()) return {};
  // The union of the glyph boxes, each at the pen; the pen moves by the
  // glyph's advance (the painter's font applies no kerning).
  float penX = 0.0f;
  float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const GlyphBox g = f.glyph(chars[i]);
    const float lowX = penX + g.minX, highX = penX + g.maxX;
    if (i == 0) {
      minX = lowX, maxX = highX, minY = g.minY, maxY = g.maxY;
    } else {
      minX = std::min(minX, lowX), maxX = std::max(maxX, highX);
      minY = std::min(minY, g.minY), maxY = std::max(maxY, g.maxY);
    }
    penX += g.advance;
  }
  return {kTextScale * fontSize * (maxX - minX), kTextScale * fontSize * (maxY - minY)};
}

}  // namespace lumetra
