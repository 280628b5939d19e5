#pragma once
// The texture fonts the painter draws text with, by name.

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "render/GlyphTable.h"

class FTFont;

namespace lumetra {

// Process-wide map from font name to an owned texture font, plus the current
// font (one of the registered ones, null until the first is registered).
class FontRegistry {
 public:
  static FontRegistry& instance();

  // Takes ownership; replaces (and deletes) an existing entry of that name.
  // Selects it when no font is current. A replaced current font is replaced
  // as current too.
  void add(const std::string& name, std::unique_ptr<FTFont> font);
  bool select(const std::string& name);
  FTFont* current() const { return current_; }
  // The glyph table of the current font (null without one); it may not be
  // captured yet.
  GlyphTable* currentGlyphs() const;
  FTFont* find(const std::string& name) const;
  std::size_t size() const { return fonts_.size(); }
  // Deletes every font (needs the GL context that created them to be current
  // for their textures to be released) and clears the current font.
  void clear();

  FontRegistry() = default;
  FontRegistry(const FontRegistry&) = delete;
  FontRegistry& operator=(const FontRegistry&) = delete;
  ~FontRegistry();

 private:
  struct Entry {
    std::unique_ptr<FTFont> font;
    std::unique_ptr<GlyphTable> glyphs;
    bool captureTried = false;
    // Font pixels of text box per byte of UTF-8 (see textReach); negative
    // until measured.
    float reachPerByte = -1.0f;
  };
  friend class GLPainter;
  Entry* currentEntry();
  std::map<std::string, Entry> fonts_;
  FTFont* current_ = nullptr;
};

}  // namespace lumetra
