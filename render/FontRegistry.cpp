// The process-wide registry of texture fonts (declared in GLPainter.h).

#include <FTGL/ftgl.h>

#include <memory>
#include <string>

#include "render/GLPainter.h"

namespace lumetra {

FontRegistry& FontRegistry::instance() {
  static FontRegistry registry;
  return registry;
}

void FontRegistry::add(const std::string& name, std::unique_ptr<FTFont> font) {
  Entry& slot = fonts_[name];
  const bool wasCurrent = slot.font && slot.font.get() == current_;
  slot.font = std::move(font);
  slot.glyphs = std::make_unique<GlyphTable>();
  slot.captureTried = false;
  slot.reachPerByte = -1.0f;
  if (current_ == nullptr || wasCurrent) current_ = slot.font.get();
}

bool FontRegistry::select(const std::string& name) {
  FTFont* font = find(name);
  if (font == nullptr) return false;
  current_ = font;
  return true;
}

FTFont* FontRegistry::find(const std::string& name) const {
  auto it = fonts_.find(name);
  return it == fonts_.end() ? nullptr : it->second.font.get();
}

FontRegistry::Entry* FontRegistry::currentEntry() {
  if (current_ == nullptr) return nullptr;
  for (auto& [name, entry] : fonts_)
    if (entry.font.get() == current_) return &entry;
  return nullptr;
}

GlyphTable* FontRegistry::currentGlyphs() const {
  Entry* entry = const_cast<FontRegistry*>(this)->currentEntry();
  return entry != nullptr ? entry->glyphs.get() : nullptr;
}

void FontRegistry::clear() {
  current_ = nullptr;
  fonts_.clear();
}

// The fonts' textures die with the GL context at exit; the objects are
// released here so that memory checkers see no leak.
FontRegistry::~FontRegistry() { clear(); }

}  // namespace lumetra
