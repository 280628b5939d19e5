#include "sources/FactsFile.h"

namespace lumetra {

void FactsWriter::number(std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void FactsWriter::text(std::string_view value) {
  number(value.size());
  bytes_.append(value);
}

void FactsWriter::texts(const std::vector<std::string>& values) {
  number(values.size());
  for (const std::string& v : values) text(v);
}

void FactsWriter::body(const BodyFacts& facts) {
  text(facts.methodUsr);
  number(static_cast<std::uint64_t>(facts.lines));
  number(static_cast<std::uint64_t>(facts.decisions));
  texts(facts.uses);
}

void FactsWriter::classFacts(const ClassFacts& facts) {
  text(facts.usr);
  text(facts.name);
  texts(facts.namespaces);
  text(facts.file);
  number(static_cast<std::uint64_t>(facts.firstLine));
  number(static_cast<std::uint64_t>(facts.lastLine));
  number(facts.isTemplate);
  texts(facts.bases);
  number(facts.fields.size());
  for (const FieldFacts& f : facts.fields) {
    text(f.name);
    text(f.type);
    text(f.access);
    number(f.isStatic);
    number(f.held.size());
    for (const HeldClass& h : f.held) {
      text(h.usr);
      number(h.many);
      number(h.composite);
    }
  }
  number(facts.methods.size());
  for (const MethodFacts& m : facts.methods) {
    text(m.usr);
    text(m.name);
    text(m.returnType);
    number(m.parameters.size());
    for (const Parameter& p : m.parameters) {
      text(p.name);
      text(p.type);
    }
    text(m.access);
    number((m.isStatic ? 1 : 0) | (m.isVirtual ? 2 : 0) | (m.isPure ? 4 : 0) | (m.isSpecial ? 8 : 0));
    texts(m.signatureUses);
  }
  number(facts.inlineBodies.size());
  for (const BodyFacts& b : facts.inlineBodies) body(b);
}

void FactsWriter::definition(const OutOfLineFacts& facts) {
  text(facts.classUsr);
  body(facts.body);
}

std::uint64_t FactsReader::number() {
  if (bytes_.size() - at_ < 8) throw FactsFormatError("cut short");
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= std::uint64_t(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
  at_ += 8;
  return value;
}

std::size_t FactsReader::count(std::size_t itemBytes) {
  const std::uint64_t n = number();
  if (n > (bytes_.size() - at_) / itemBytes) throw FactsFormatError("a count larger than the file");
  return static_cast<std::size_t>(n);
}

std::string FactsReader::text() {
  const std::size_t n = count(1);
  std::string value(bytes_.substr(at_, n));
  at_ += n;
  return value;
}

std::vector<std::string> FactsReader::texts() {
  std::vector<std::string> values(count());
  for (std::string& v : values) v = text();
  return values;
}

BodyFacts FactsReader::body() {
  BodyFacts facts;
  facts.methodUsr = text();
  facts.lines = static_cast<int>(number());
  facts.decisions = static_cast<int>(number());
  facts.uses = texts();
  return facts;
}

ClassFacts FactsReader::classFacts() {
  ClassFacts facts;
  facts.usr = text();
  facts.name = text();
  facts.namespaces = texts();
  facts.file = text();
  facts.firstLine = static_cast<int>(number());
  facts.lastLine = static_cast<int>(number());
  facts.isTemplate = number() != 0;
  facts.bases = texts();
  facts.fields.resize(count());
  for (FieldFacts& f : facts.fields) {
    f.name = text();
    f.type = text();
    f.access = text();
    f.isStatic = number() != 0;
    f.held.resize(count());
    for (HeldClass& h : f.held) {
      h.usr = text();
      h.many = number() != 0;
      h.composite = number() != 0;
    }
  }
  facts.methods.resize(count());
  for (MethodFacts& m : facts.methods) {
    m.usr = text();
    m.name = text();
    m.returnType = text();
    m.parameters.resize(count());
    for (Parameter& p : m.parameters) {
      p.name = text();
      p.type = text();
    }
    m.access = text();
    const std::uint64_t flags = number();
    m.isStatic = flags & 1;
    m.isVirtual = flags & 2;
    m.isPure = flags & 4;
    m.isSpecial = flags & 8;
    m.signatureUses = texts();
  }
  facts.inlineBodies.resize(count());
  for (BodyFacts& b : facts.inlineBodies) b = body();
  return facts;
}

OutOfLineFacts FactsReader::definition() {
  OutOfLineFacts facts;
  facts.classUsr = text();
  facts.body = body();
  return facts;
}

}  // namespace lumetra
