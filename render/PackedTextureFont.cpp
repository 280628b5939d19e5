#include "render/PackedTextureFont.h"

#include <GL/gl.h>

#include <algorithm>


namespace lumetra {

namespace {

// Texels left free around every glyph, so that filtered sampling at a
// glyph's edge never reaches its neighbour.
constexpr unsigned int kPadding = 3;

unsigned int nextPowerOfTwo(unsigned int n) {
  n -= 1;
  n |= n >> 16;
  n |= n >> 8;
  n |= n >> 4;
  n |= n >> 2;
  n |= n >> 1;
  return n + 1;
}

// The cell every glyph of the face fits in at its current size (the face's
// bounding box in pixels), at least one pixel each way.
void cellOf(FT_Face face, int& width, int& height) {
  float w = 0.0f, h = 0.0f;
  if (FT_IS_SCALABLE(face)) {
    const auto em = static_cast<float>(face->units_per_EM);
    w = static_cast<float>(face->bbox.xMax - face->bbox.xMin) * (static_cast<float>(face->size->metrics.x_ppem) / em);
    h = static_cast<float>(face->bbox.yMax - face->bbox.yMin) * (static_cast<float>(face->size->metrics.y_ppem) / em);
  } else {
    w = static_cast<float>(face->size->metrics.max_advance) / 64.0f;
    h = static_cast<float>(face->size->metrics.height) / 64.0f;
  }
  width = static_cast<int>(w + 0.5f);
  height = static_cast<int>(h + 0.5f);
  if (width < 1) width = 1;
  if (height < 1) height = 1;
}

}  // namespace

PackedTextureFont::PackedTextureFont(const char* fontFilePath) : FTTextureFont(fontFilePath) {}

PackedTextureFont::~PackedTextureFont() { dropTextures(); }

void PackedTextureFont::dropTextures() {
  if (!textures_.empty()) glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
  textures_.clear();
  placements_.clear();
  glyphCount_ = 0;
}

bool PackedTextureFont::FaceSize(const unsigned int size, const unsigned int res) {
  // The glyphs of the old size go (the base class drops them), and so do
  // their textures; packing starts afresh.
  dropTextures();
  return FTTextureFont::FaceSize(size, res);
}

// A texture as wide as a row of every glyph of the face would be and tall
// enough for the rows that all of them need at that width (each side a power
// of two within the GL's limit); empty (all zero alpha), filtered linearly,
// clamped.
unsigned int PackedTextureFont::newTexture() {
  if (maxTextureSide_ == 0) {
    GLint side = 1024;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    maxTextureSide_ = side > 0 ? side : 1024;
  }
  const auto limit = static_cast<unsigned int>(maxTextureSide_);
  const auto cellWidth = static_cast<unsigned int>(cellWidth_);
  const auto cellHeight = static_cast<unsigned int>(cellHeight_);
  const unsigned int width = std::min(nextPowerOfTwo(cellWidth * glyphCount_ + 2 * kPadding), limit);
  const unsigned int perRow = std::max((width - 2 * kPadding) / cellWidth, 1u);
  const unsigned int rows = (glyphCount_ + perRow - 1) / perRow;
  const unsigned int height = std::min(nextPowerOfTwo(cellHeight * rows + 2 * kPadding), limit);
  textureWidth_ = static_cast<int>(width);
  textureHeight_ = static_cast<int>(height);

  std::vector<unsigned char> blank(static_cast<std::size_t>(width) * height, 0);
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, textureWidth_, textureHeight_, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
               blank.data());
  textures_.push_back(id);
  return id;
}

FTGlyph* PackedTextureFont::MakeGlyph(FT_GlyphSlot slot) {
  FT_Face face = slot->face;
  if (face != face_ || glyphCount_ == 0) {
    face_ = face;
    glyphCount_ = static_cast<unsigned int>(face->num_glyphs);
  }
  cellOf(face, cellWidth_, cellHeight_);
  if (textures_.empty()) {
    newTexture();
    x_ = y_ = static_cast<int>(kPadding);
  }
  if (x_ > textureWidth_ - cellWidth_) {
    x_ = static_cast<int>(kPadding);
    y_ += cellHeight_;
    if (y_ > textureHeight_ - cellHeight_) {
      newTexture();
      y_ = static_cast<int>(kPadding);
    }
  }
  const unsigned int texture = textures_.back();
  // Renders the glyph into the slot and copies its bitmap to (x_, y_).
  auto* glyph = new FTTextureGlyph(slot, static_cast<int>(texture), x_, y_, textureWidth_, textureHeight_);

  GlyphPlacement& place = placements_[slot->glyph_index];
  place = GlyphPlacement();
  place.texture = texture;
  if (glyph->Error() == 0 && slot->format == FT_GLYPH_FORMAT_BITMAP) {
    const auto w = static_cast<int>(slot->bitmap.width);
    // A bitmap taller than the room left is cut at the texture's edge.
    const int h = std::min(static_cast<int>(slot->bitmap.rows), textureHeight_ - y_);
    place.drawn = w > 0 && h > 0;
    place.left = slot->bitmap_left;
    place.top = slot->bitmap_top;
    place.right = place.left + w;
    place.bottom = place.top - h;
    // The font draws the quad's top edge at the texture row y_ and its
    // bottom edge h rows further.
    const auto tw = static_cast<float>(textureWidth_);
    const auto th = static_cast<float>(textureHeight_);
    place.s0 = static_cast<float>(x_) / tw;
    place.s1 = static_cast<float>(x_ + w) / tw;
    place.t1 = static_cast<float>(y_) / th;
    place.t0 = static_cast<float>(y_ + h) / th;
  }
  const FTBBox& box = glyph->BBox();
  x_ += static_cast<int>(box.Upper().X() - box.Lower().X() + kPadding + 0.5);
  return glyph;
}

const GlyphPlacement* PackedTextureFont::placement(unsigned long character) const {
  if (face_ == nullptr) return nullptr;
  const FT_UInt index = FT_Get_Char_Index(face_, character);
  const auto it = placements_.find(index);
  return it == placements_.end() ? nullptr : &it->second;
}

}  // namespace lumetra
