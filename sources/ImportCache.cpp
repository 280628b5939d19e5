#include "sources/ImportCache.h"

#include <fstream>
#include <iterator>

#include "platform/AtomicFile.h"
#include "sources/FactsFile.h"

namespace lumetra {

namespace {
constexpr std::string_view kMagic = "lumetra import cache 1\n";
}

std::uint64_t contentHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::optional<std::uint64_t> fileHash(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return contentHash(bytes);
}

std::uint64_t commandKey(const CompileCommand& command) {
  std::string all = command.directory;
  for (const std::string& a : command.arguments) {
    all.push_back('\0');
    all += a;
  }
  return contentHash(all);
}

bool readImportCache(const std::string& path, ImportCacheData& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.compare(0, kMagic.size(), kMagic) != 0) return false;
  ImportCacheData read;
  try {
    FactsReader reader(std::string_view(bytes).substr(kMagic.size()));
    read.root = reader.text();
    read.units.resize(reader.count());
    for (CachedUnit& unit : read.units) {
      unit.file = reader.text();
      unit.commandKey = reader.number();
      unit.error = reader.text();
      unit.dependencies.resize(reader.count(16));
      for (auto& [file, hash] : unit.dependencies) {
        file = reader.text();
        hash = reader.number();
      }
      unit.classUsrs = reader.texts();
      unit.definitionUsrs = reader.texts();
    }
    for (std::size_t n = reader.count(); n > 0; --n) {
      ClassFacts facts = reader.classFacts();
      std::string usr = facts.usr;
      read.classes.emplace(std::move(usr), std::move(facts));
    }
    for (std::size_t n = reader.count(); n > 0; --n) {
      OutOfLineFacts facts = reader.definition();
      std::string usr = facts.body.methodUsr;
      read.definitions.emplace(std::move(usr), std::move(facts));
    }
    if (!reader.atEnd()) return false;
  } catch (const FactsFormatError&) {
    return false;
  }
  data = std::move(read);
  return true;
}

std::string writeImportCache(const std::string& path, const ImportCacheData& data) {
  FactsWriter writer;
  writer.text(data.root);
  writer.number(data.units.size());
  for (const CachedUnit& unit : data.units) {
    writer.text(unit.file);
    writer.number(unit.commandKey);
    writer.text(unit.error);
    writer.number(unit.dependencies.size());
    for (const auto& [file, hash] : unit.dependencies) {
      writer.text(file);
      writer.number(hash);
    }
    writer.texts(unit.classUsrs);
    writer.texts(unit.definitionUsrs);
  }
  writer.number(data.classes.size());
  for (const auto& [usr, facts] : data.classes) writer.classFacts(facts);
  writer.number(data.definitions.size());
  for (const auto& [usr, facts] : data.definitions) writer.definition(facts);
  std::string content(kMagic);
  content += writer.bytes();
  return writeFileAtomically(path, content);
}

}  // namespace lumetra
