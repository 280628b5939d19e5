// The one place that calls libclang: the compilation database and the walk
// over a parsed unit that collects the project's classes.
//
// Sections: library (loading libclang) - handles (RAII wrappers) - database -
// unit walk (project files, types that hold classes, classes, member bodies)
// - parse.

#include "sources/ClangParser.h"

#include <clang-c/CXCompilationDatabase.h>
#include <clang-c/Index.h>
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <shared_mutex>
#include <set>
#include <unordered_map>
#include <utility>

namespace lumetra {

namespace {

// ---- library ------------------------------------------------------------------
//
// libclang is opened when the first compilation database is read, not when
// the program starts: it brings the whole of LLVM with it, and relocating
// both cost every start of the program (a picture exported from the command
// line among them) about 20 ms and 3,600 page faults for nothing. Every
// libclang function this file calls is listed here; the calls below go
// through the table by the same names (a function missing from the list
// shows as an undefined reference when linking).

#define LUMETRA_LIBCLANG_FUNCTIONS(X) \
  X(clang_CXXMethod_isPureVirtual) \
  X(clang_CXXMethod_isStatic) \
  X(clang_CXXMethod_isVirtual) \
  X(clang_CompilationDatabase_dispose) \
  X(clang_CompilationDatabase_fromDirectory) \
  X(clang_CompilationDatabase_getAllCompileCommands) \
  X(clang_CompileCommand_getArg) \
  X(clang_CompileCommand_getDirectory) \
  X(clang_CompileCommand_getFilename) \
  X(clang_CompileCommand_getNumArgs) \
  X(clang_CompileCommands_dispose) \
  X(clang_CompileCommands_getCommand) \
  X(clang_CompileCommands_getSize) \
  X(clang_Cursor_isNull) \
  X(clang_File_tryGetRealPathName) \
  X(clang_Location_isInSystemHeader) \
  X(clang_Type_getNamedType) \
  X(clang_Type_getNumTemplateArguments) \
  X(clang_Type_getTemplateArgumentAsType) \
  X(clang_createIndex) \
  X(clang_disposeDiagnostic) \
  X(clang_disposeIndex) \
  X(clang_disposeString) \
  X(clang_disposeTokens) \
  X(clang_disposeTranslationUnit) \
  X(clang_formatDiagnostic) \
  X(clang_getArrayElementType) \
  X(clang_getCString) \
  X(clang_getCXXAccessSpecifier) \
  X(clang_getCanonicalType) \
  X(clang_getCursorExtent) \
  X(clang_getCursorKind) \
  X(clang_getCursorLocation) \
  X(clang_getCursorReferenced) \
  X(clang_getCursorResultType) \
  X(clang_getCursorSemanticParent) \
  X(clang_getCursorSpelling) \
  X(clang_getCursorType) \
  X(clang_getCursorUSR) \
  X(clang_getDiagnostic) \
  X(clang_getDiagnosticSeverity) \
  X(clang_getExpansionLocation) \
  X(clang_getFileName) \
  X(clang_getInclusions) \
  X(clang_getLocationForOffset) \
  X(clang_getNumDiagnostics) \
  X(clang_getPointeeType) \
  X(clang_getRange) \
  X(clang_getRangeEnd) \
  X(clang_getRangeStart) \
  X(clang_getResultType) \
  X(clang_getSpecializedCursorTemplate) \
  X(clang_getTokenKind) \
  X(clang_getTokenSpelling) \
  X(clang_getTranslationUnitCursor) \
  X(clang_getTypeDeclaration) \
  X(clang_getTypeSpelling) \
  X(clang_getTypedefDeclUnderlyingType) \
  X(clang_isCursorDefinition) \
  X(clang_isInvalid) \
  X(clang_parseTranslationUnit2FullArgv) \
  X(clang_toggleCrashRecovery) \
  X(clang_tokenize) \
  X(clang_visitChildren)

class LibClang {
 public:
  LibClang() {
    for (const char* name : {LUMETRA_LIBCLANG_SONAME, LUMETRA_LIBCLANG_PATH}) {
      if (*name != '\0' && (handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) != nullptr) break;
      const char* why = ::dlerror();
      if (error_.empty() && why != nullptr) error_ = why;
    }
    if (handle_ == nullptr) return;
    error_.clear();
#define LUMETRA_LIBCLANG_RESOLVE(name) \
    if (error_.empty() && (name = reinterpret_cast<decltype(name)>(::dlsym(handle_, #name))) == nullptr) \
      error_ = std::string(LUMETRA_LIBCLANG_SONAME) + " has no " #name;
    LUMETRA_LIBCLANG_FUNCTIONS(LUMETRA_LIBCLANG_RESOLVE)
#undef LUMETRA_LIBCLANG_RESOLVE
  }
  // Left open: libclang's own threads and exit handlers may still use it.
  ~LibClang() = default;
  LibClang(const LibClang&) = delete;
  LibClang& operator=(const LibClang&) = delete;

  // Empty when every function was found; else why libclang cannot be used.
  const std::string& error() const { return error_; }

#define LUMETRA_LIBCLANG_POINTER(name) decltype(&::name) name = nullptr;
  LUMETRA_LIBCLANG_FUNCTIONS(LUMETRA_LIBCLANG_POINTER)
#undef LUMETRA_LIBCLANG_POINTER

 private:
  void* handle_ = nullptr;
  std::string error_;
};

// Opened once, by the first thread that asks.
const LibClang& libClang() {
  static const LibClang library;
  return library;
}

// A call through the table; callers have checked libClang().error() first
// (readCompilationDatabase does, and nothing is parsed without a database).
template <typename Function>
struct LibClangCall;
template <typename Result, typename... Arguments>
struct LibClangCall<Result(Arguments...)> {
  template <Result (*LibClang::*function)(Arguments...)>
  static Result call(Arguments... arguments) {
    return (libClang().*function)(arguments...);
  }
};

}  // namespace

}  // namespace lumetra

// From here on every libclang name means the call through the table (a
// macro's own name is not expanded again inside it).
#define LUMETRA_LIBCLANG_CALL(name) (::lumetra::LibClangCall<decltype(::name)>::call<&::lumetra::LibClang::name>)
#define clang_CXXMethod_isPureVirtual LUMETRA_LIBCLANG_CALL(clang_CXXMethod_isPureVirtual)
#define clang_CXXMethod_isStatic LUMETRA_LIBCLANG_CALL(clang_CXXMethod_isStatic)
#define clang_CXXMethod_isVirtual LUMETRA_LIBCLANG_CALL(clang_CXXMethod_isVirtual)
#define clang_CompilationDatabase_dispose LUMETRA_LIBCLANG_CALL(clang_CompilationDatabase_dispose)
#define clang_CompilationDatabase_fromDirectory LUMETRA_LIBCLANG_CALL(clang_CompilationDatabase_fromDirectory)
#define clang_CompilationDatabase_getAllCompileCommands LUMETRA_LIBCLANG_CALL(clang_CompilationDatabase_getAllCompileCommands)
#define clang_CompileCommand_getArg LUMETRA_LIBCLANG_CALL(clang_CompileCommand_getArg)
#define clang_CompileCommand_getDirectory LUMETRA_LIBCLANG_CALL(clang_CompileCommand_getDirectory)
#define clang_CompileCommand_getFilename LUMETRA_LIBCLANG_CALL(clang_CompileCommand_getFilename)
#define clang_CompileCommand_getNumArgs LUMETRA_LIBCLANG_CALL(clang_CompileCommand_getNumArgs)
#define clang_CompileCommands_dispose LUMETRA_LIBCLANG_CALL(clang_CompileCommands_dispose)
#define clang_CompileCommands_getCommand LUMETRA_LIBCLANG_CALL(clang_CompileCommands_getCommand)
#define clang_CompileCommands_getSize LUMETRA_LIBCLANG_CALL(clang_CompileCommands_getSize)
#define clang_Cursor_isNull LUMETRA_LIBCLANG_CALL(clang_Cursor_isNull)
#define clang_File_tryGetRealPathName LUMETRA_LIBCLANG_CALL(clang_File_tryGetRealPathName)
#define clang_Location_isInSystemHeader LUMETRA_LIBCLANG_CALL(clang_Location_isInSystemHeader)
#define clang_Type_getNamedType LUMETRA_LIBCLANG_CALL(clang_Type_getNamedType)
#define clang_Type_getNumTemplateArguments LUMETRA_LIBCLANG_CALL(clang_Type_getNumTemplateArguments)
#define clang_Type_getTemplateArgumentAsType LUMETRA_LIBCLANG_CALL(clang_Type_getTemplateArgumentAsType)
#define clang_createIndex LUMETRA_LIBCLANG_CALL(clang_createIndex)
#define clang_disposeDiagnostic LUMETRA_LIBCLANG_CALL(clang_disposeDiagnostic)
#define clang_disposeIndex LUMETRA_LIBCLANG_CALL(clang_disposeIndex)
#define clang_disposeString LUMETRA_LIBCLANG_CALL(clang_disposeString)
#define clang_disposeTokens LUMETRA_LIBCLANG_CALL(clang_disposeTokens)
#define clang_disposeTranslationUnit LUMETRA_LIBCLANG_CALL(clang_disposeTranslationUnit)
#define clang_formatDiagnostic LUMETRA_LIBCLANG_CALL(clang_formatDiagnostic)
#define clang_getArrayElementType LUMETRA_LIBCLANG_CALL(clang_getArrayElementType)
#define clang_getCString LUMETRA_LIBCLANG_CALL(clang_getCString)
#define clang_getCXXAccessSpecifier LUMETRA_LIBCLANG_CALL(clang_getCXXAccessSpecifier)
#define clang_getCanonicalType LUMETRA_LIBCLANG_CALL(clang_getCanonicalType)
#define clang_getCursorExtent LUMETRA_LIBCLANG_CALL(clang_getCursorExtent)
#define clang_getCursorKind LUMETRA_LIBCLANG_CALL(clang_getCursorKind)
#define clang_getCursorLocation LUMETRA_LIBCLANG_CALL(clang_getCursorLocation)
#define clang_getCursorReferenced LUMETRA_LIBCLANG_CALL(clang_getCursorReferenced)
#define clang_getCursorResultType LUMETRA_LIBCLANG_CALL(clang_getCursorResultType)
#define clang_getCursorSemanticParent LUMETRA_LIBCLANG_CALL(clang_getCursorSemanticParent)
#define clang_getCursorSpelling LUMETRA_LIBCLANG_CALL(clang_getCursorSpelling)
#define clang_getCursorType LUMETRA_LIBCLANG_CALL(clang_getCursorType)
#define clang_getCursorUSR LUMETRA_LIBCLANG_CALL(clang_getCursorUSR)
#define clang_getDiagnostic LUMETRA_LIBCLANG_CALL(clang_getDiagnostic)
#define clang_getDiagnosticSeverity LUMETRA_LIBCLANG_CALL(clang_getDiagnosticSeverity)
#define clang_getExpansionLocation LUMETRA_LIBCLANG_CALL(clang_getExpansionLocation)
#define clang_getFileName LUMETRA_LIBCLANG_CALL(clang_getFileName)
#define clang_getInclusions LUMETRA_LIBCLANG_CALL(clang_getInclusions)
#define clang_getLocationForOffset LUMETRA_LIBCLANG_CALL(clang_getLocationForOffset)
#define clang_getNumDiagnostics LUMETRA_LIBCLANG_CALL(clang_getNumDiagnostics)
#define clang_getPointeeType LUMETRA_LIBCLANG_CALL(clang_getPointeeType)
#define clang_getRange LUMETRA_LIBCLANG_CALL(clang_getRange)
#define clang_getRangeEnd LUMETRA_LIBCLANG_CALL(clang_getRangeEnd)
#define clang_getRangeStart LUMETRA_LIBCLANG_CALL(clang_getRangeStart)
#define clang_getResultType LUMETRA_LIBCLANG_CALL(clang_getResultType)
#define clang_getSpecializedCursorTemplate LUMETRA_LIBCLANG_CALL(clang_getSpecializedCursorTemplate)
#define clang_getTokenKind LUMETRA_LIBCLANG_CALL(clang_getTokenKind)
#define clang_getTokenSpelling LUMETRA_LIBCLANG_CALL(clang_getTokenSpelling)
#define clang_getTranslationUnitCursor LUMETRA_LIBCLANG_CALL(clang_getTranslationUnitCursor)
#define clang_getTypeDeclaration LUMETRA_LIBCLANG_CALL(clang_getTypeDeclaration)
#define clang_getTypeSpelling LUMETRA_LIBCLANG_CALL(clang_getTypeSpelling)
#define clang_getTypedefDeclUnderlyingType LUMETRA_LIBCLANG_CALL(clang_getTypedefDeclUnderlyingType)
#define clang_isCursorDefinition LUMETRA_LIBCLANG_CALL(clang_isCursorDefinition)
#define clang_isInvalid LUMETRA_LIBCLANG_CALL(clang_isInvalid)
#define clang_parseTranslationUnit2FullArgv LUMETRA_LIBCLANG_CALL(clang_parseTranslationUnit2FullArgv)
#define clang_toggleCrashRecovery LUMETRA_LIBCLANG_CALL(clang_toggleCrashRecovery)
#define clang_tokenize LUMETRA_LIBCLANG_CALL(clang_tokenize)
#define clang_visitChildren LUMETRA_LIBCLANG_CALL(clang_visitChildren)

namespace lumetra {

namespace {

// ---- handles ----------------------------------------------------------------

std::string take(CXString text) {
  const char* chars = clang_getCString(text);
  std::string result = chars ? chars : "";
  clang_disposeString(text);
  return result;
}

template <typename Handle, void (*dispose)(Handle)>
class Owned {
 public:
  explicit Owned(Handle handle = nullptr) : handle_(handle) {}
  ~Owned() {
    if (handle_) dispose(handle_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Handle get() const { return handle_; }
  Handle* out() { return &handle_; }

 private:
  Handle handle_;
};

using DatabaseHandle = Owned<CXCompilationDatabase, clang_CompilationDatabase_dispose>;
using CommandsHandle = Owned<CXCompileCommands, clang_CompileCommands_dispose>;
using UnitHandle = Owned<CXTranslationUnit, clang_disposeTranslationUnit>;
using DiagnosticHandle = Owned<CXDiagnostic, clang_disposeDiagnostic>;

class Tokens {
 public:
  Tokens(CXTranslationUnit unit, CXSourceRange range) : unit_(unit) { clang_tokenize(unit, range, &tokens_, &count_); }
  ~Tokens() {
    if (tokens_) clang_disposeTokens(unit_, tokens_, count_);
  }
  Tokens(const Tokens&) = delete;
  Tokens& operator=(const Tokens&) = delete;
  unsigned size() const { return count_; }
  const CXToken& operator[](unsigned i) const { return tokens_[i]; }

 private:
  CXTranslationUnit unit_;
  CXToken* tokens_ = nullptr;
  unsigned count_ = 0;
};

std::string absolutePath(const std::string& path, const std::string& base) {
  std::filesystem::path p(path);
  if (p.is_relative()) p = std::filesystem::path(base) / p;
  return p.lexically_normal().string();
}

// ---- unit walk --------------------------------------------------------------

bool isClassKind(CXCursorKind kind) {
  return kind == CXCursor_ClassDecl || kind == CXCursor_StructDecl || kind == CXCursor_ClassTemplate;
}

bool isMethodKind(CXCursorKind kind) {
  return kind == CXCursor_CXXMethod || kind == CXCursor_Constructor || kind == CXCursor_Destructor ||
         kind == CXCursor_ConversionFunction || kind == CXCursor_FunctionTemplate;
}

std::string accessText(CXCursor cursor) {
  switch (clang_getCXXAccessSpecifier(cursor)) {
    case CX_CXXPublic: return "public";
    case CX_CXXProtected: return "protected";
    case CX_CXXPrivate: return "private";
    default: return "public";
  }
}

std::pair<int, int> lineSpan(CXCursor cursor) {
  CXSourceRange range = clang_getCursorExtent(cursor);
  unsigned first = 0, last = 0;
  clang_getExpansionLocation(clang_getRangeStart(range), nullptr, &first, nullptr, nullptr);
  clang_getExpansionLocation(clang_getRangeEnd(range), nullptr, &last, nullptr, nullptr);
  return {static_cast<int>(first), static_cast<int>(std::max(first, last))};
}

class UnitWalk {
 public:
  UnitWalk(CXTranslationUnit unit, const ProjectFiles& project, UnitFacts& facts)
      : unit_(unit), project_(project), root_(project.root), facts_(facts) {}

  void run() {
    std::vector<std::string> namespaces;
    visitScope(clang_getTranslationUnitCursor(unit_), namespaces);
    collectDependencies();
  }

 private:
  // ---- project files: the path below the root, or empty for any other file
  const std::string& projectFile(CXFile file) {
    static const std::string none;
    if (file == nullptr) return none;
    auto found = files_.find(file);
    if (found != files_.end()) return found->second;
    std::string path = take(clang_File_tryGetRealPathName(file));
    if (path.empty()) path = take(clang_getFileName(file));
    path = std::filesystem::path(path).lexically_normal().string();
    std::string relative;
    if (project_.contains(path)) relative = path.substr(root_ == "/" ? 1 : root_.size() + 1);
    return files_.emplace(file, std::move(relative)).first->second;
  }

  const std::string& projectFileOf(CXCursor cursor) {
    static const std::string none;
    CXSourceLocation location = clang_getCursorLocation(cursor);
    if (clang_Location_isInSystemHeader(location)) return none;
    CXFile file = nullptr;
    clang_getExpansionLocation(location, &file, nullptr, nullptr, nullptr);
    return projectFile(file);
  }

  // The class a declaration stands for, when it is one of the project's: a
  // template's instantiation counts as the template.
  std::string projectClassUsr(CXCursor decl) {
    if (clang_Cursor_isNull(decl)) return {};
    CXCursor pattern = clang_getSpecializedCursorTemplate(decl);
    if (!clang_Cursor_isNull(pattern) && isClassKind(clang_getCursorKind(pattern))) decl = pattern;
    if (!isClassKind(clang_getCursorKind(decl))) return {};
    if (projectFileOf(decl).empty()) return {};
    return take(clang_getCursorUSR(decl));
  }

  static bool inStd(CXCursor decl) {
    std::string outermost;
    for (CXCursor p = clang_getCursorSemanticParent(decl); !clang_Cursor_isNull(p) &&
                                                           clang_getCursorKind(p) != CXCursor_TranslationUnit &&
                                                           !clang_isInvalid(clang_getCursorKind(p));
         p = clang_getCursorSemanticParent(p))
      if (clang_getCursorKind(p) == CXCursor_Namespace) outermost = take(clang_getCursorSpelling(p));
    return outermost == "std";
  }

  // ---- types that hold classes: by value, pointer, reference, smart
  // pointers and the standard containers.
  void held(CXType type, bool many, bool owned, std::vector<HeldClass>& out, int depth = 0) {
    if (depth > 8) return;
    switch (type.kind) {
      case CXType_Elaborated: return held(clang_Type_getNamedType(type), many, owned, out, depth + 1);
      case CXType_Typedef:
        return held(clang_getTypedefDeclUnderlyingType(clang_getTypeDeclaration(type)), many, owned, out, depth + 1);
      case CXType_Pointer:
      case CXType_LValueReference:
      case CXType_RValueReference:
        return held(clang_getPointeeType(type), many, false, out, depth + 1);
      case CXType_ConstantArray:
      case CXType_IncompleteArray:
        return held(clang_getArrayElementType(type), true, owned, out, depth + 1);
      default: break;
    }
    CXCursor decl = clang_getTypeDeclaration(type);
    if (clang_Cursor_isNull(decl) || clang_getCursorKind(decl) == CXCursor_NoDeclFound) {
      CXType canonical = clang_getCanonicalType(type);
      if (canonical.kind != type.kind && canonical.kind != CXType_Invalid)
        return held(canonical, many, owned, out, depth + 1);
      return;
    }
    if (inStd(decl)) {
      CXCursor pattern = clang_getSpecializedCursorTemplate(decl);
      const std::string name = take(clang_getCursorSpelling(clang_Cursor_isNull(pattern) ? decl : pattern));
      static const std::set<std::string> sequences = {"vector", "list", "deque", "forward_list", "set", "multiset",
                                                      "unordered_set", "unordered_multiset", "array", "span",
                                                      "queue", "stack", "priority_queue"};
      static const std::set<std::string> maps = {"map", "multimap", "unordered_map", "unordered_multimap"};
      int argument = -1;
      if (name == "unique_ptr" || name == "optional") {
        argument = 0;
      } else if (name == "shared_ptr" || name == "weak_ptr") {
        argument = 0;
        owned = false;
      } else if (sequences.count(name)) {
        argument = 0;
        many = true;
      } else if (maps.count(name)) {
        argument = 1;
        many = true;
      }
      if (argument >= 0 && argument < clang_Type_getNumTemplateArguments(type))
        held(clang_Type_getTemplateArgumentAsType(type, argument), many, owned, out, depth + 1);
      return;
    }
    std::string usr = projectClassUsr(decl);
    if (usr.empty()) return;
    HeldClass entry{std::move(usr), many, owned};
    if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(std::move(entry));
  }

  std::vector<std::string> classesOf(CXType type) {
    std::vector<HeldClass> found;
    held(type, false, true, found);
    std::vector<std::string> usrs;
    for (HeldClass& h : found) usrs.push_back(std::move(h.usr));
    return usrs;
  }

  static void addUnique(std::vector<std::string>& list, std::string item) {
    if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
  }

  // ---- scopes and classes
  template <typename Visit>
  static void eachChild(CXCursor parent, Visit visit) {
    clang_visitChildren(
        parent,
        [](CXCursor child, CXCursor, CXClientData data) {
          (*static_cast<Visit*>(data))(child);
          return CXChildVisit_Continue;
        },
        &visit);
  }

  void visitScope(CXCursor scope, std::vector<std::string>& namespaces) {
    eachChild(scope, [&](CXCursor child) {
      const CXCursorKind kind = clang_getCursorKind(child);
      if (kind != CXCursor_Namespace && kind != CXCursor_LinkageSpec && !isClassKind(kind) && !isMethodKind(kind))
        return;
      if (projectFileOf(child).empty()) return;
      if (kind == CXCursor_Namespace) {
        std::string name = take(clang_getCursorSpelling(child));
        namespaces.push_back(name.empty() ? "(anonymous)" : name);
        visitScope(child, namespaces);
        namespaces.pop_back();
      } else if (kind == CXCursor_LinkageSpec) {
        visitScope(child, namespaces);
      } else if (isClassKind(kind)) {
        visitClass(child, namespaces, "");
      } else if (clang_isCursorDefinition(child)) {
        CXCursor owner = clang_getCursorSemanticParent(child);
        std::string ownerUsr = isClassKind(clang_getCursorKind(owner)) ? projectClassUsr(owner) : std::string();
        if (ownerUsr.empty()) return;
        OutOfLineFacts definition{std::move(ownerUsr), body(child)};
        auto [first, last] = lineSpan(child);
        definition.body.lines = last - first + 1;
        facts_.definitions.push_back(std::move(definition));
      }
    });
  }

  // Whether the class's name is written where the class is declared: not
  // so for a class a macro makes (a test framework's TEST(Suite, Name)
  // expands to a class "Suite_Name_Test"), which is left out.
  bool nameWrittenAt(CXCursor cursor, const std::string& name) {
    CXFile file = nullptr;
    unsigned offset = 0;
    clang_getExpansionLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, &offset);
    if (file == nullptr) return false;
    const CXSourceLocation at = clang_getLocationForOffset(unit_, file, offset);
    Tokens tokens(unit_, clang_getRange(at, at));
    return tokens.size() > 0 && take(clang_getTokenSpelling(unit_, tokens[0])) == name;
  }

  void visitClass(CXCursor cursor, const std::vector<std::string>& namespaces, const std::string& outer) {
    if (!clang_isCursorDefinition(cursor)) return;
    const CXCursorKind kind = clang_getCursorKind(cursor);
    // Explicit and partial specializations are not classes of their own.
    if (kind != CXCursor_ClassTemplate && clang_Type_getNumTemplateArguments(clang_getCursorType(cursor)) > 0) return;
    std::string name = take(clang_getCursorSpelling(cursor));
    if (name.empty()) return;  // an unnamed struct of a field
    if (!nameWrittenAt(cursor, name)) return;
    ClassFacts facts;
    facts.usr = take(clang_getCursorUSR(cursor));
    facts.name = outer + name;
    facts.namespaces = namespaces;
    facts.file = projectFileOf(cursor);
    std::tie(facts.firstLine, facts.lastLine) = lineSpan(cursor);
    facts.isTemplate = kind == CXCursor_ClassTemplate;

    std::vector<CXCursor> nested;
    eachChild(cursor, [&](CXCursor child) {
      const CXCursorKind childKind = clang_getCursorKind(child);
      if (childKind == CXCursor_CXXBaseSpecifier) {
        for (std::string& usr : classesOf(clang_getCursorType(child))) addUnique(facts.bases, std::move(usr));
      } else if (childKind == CXCursor_FieldDecl || childKind == CXCursor_VarDecl) {
        FieldFacts field;
        field.name = take(clang_getCursorSpelling(child));
        const CXType type = clang_getCursorType(child);
        field.type = take(clang_getTypeSpelling(type));
        field.access = accessText(child);
        field.isStatic = childKind == CXCursor_VarDecl;
        held(type, false, true, field.held);
        facts.fields.push_back(std::move(field));
      } else if (isMethodKind(childKind)) {
        facts.methods.push_back(method(child));
        if (clang_isCursorDefinition(child)) facts.inlineBodies.push_back(body(child));
      } else if (isClassKind(childKind)) {
        nested.push_back(child);
      }
    });
    const std::string qualified = facts.name + "::";
    facts_.classes.push_back(std::move(facts));
    for (CXCursor child : nested) visitClass(child, namespaces, qualified);
  }

  MethodFacts method(CXCursor cursor) {
    MethodFacts m;
    const CXCursorKind kind = clang_getCursorKind(cursor);
    m.usr = take(clang_getCursorUSR(cursor));
    m.name = take(clang_getCursorSpelling(cursor));
    m.access = accessText(cursor);
    m.isSpecial = kind == CXCursor_Constructor || kind == CXCursor_Destructor;
    m.isStatic = clang_CXXMethod_isStatic(cursor);
    m.isVirtual = clang_CXXMethod_isVirtual(cursor);
    m.isPure = clang_CXXMethod_isPureVirtual(cursor);
    if (!m.isSpecial) {
      CXType result = clang_getCursorResultType(cursor);
      if (result.kind == CXType_Invalid) result = clang_getResultType(clang_getCursorType(cursor));
      if (result.kind != CXType_Invalid) {
        m.returnType = take(clang_getTypeSpelling(result));
        for (std::string& usr : classesOf(result)) addUnique(m.signatureUses, std::move(usr));
      }
    }
    eachChild(cursor, [&](CXCursor child) {
      if (clang_getCursorKind(child) != CXCursor_ParmDecl) return;
      const CXType type = clang_getCursorType(child);
      m.parameters.push_back(Parameter{take(clang_getCursorSpelling(child)), take(clang_getTypeSpelling(type))});
      for (std::string& usr : classesOf(type)) addUnique(m.signatureUses, std::move(usr));
    });
    return m;
  }

  // ---- member bodies: decision points and the classes they use
  BodyFacts body(CXCursor definition) {
    BodyFacts facts;
    facts.methodUsr = take(clang_getCursorUSR(definition));
    eachChild(definition, [&](CXCursor child) {
      if (clang_getCursorKind(child) == CXCursor_CompoundStmt) facts.decisions += decisions(child);
    });
    usesIn(definition, facts.uses);
    return facts;
  }

  int decisions(CXCursor block) {
    static const std::set<std::string> points = {"if", "for", "while", "case", "catch", "&&", "||", "?"};
    Tokens tokens(unit_, clang_getCursorExtent(block));
    int count = 0;
    for (unsigned i = 0; i < tokens.size(); ++i) {
      const CXTokenKind kind = clang_getTokenKind(tokens[i]);
      if (kind != CXToken_Keyword && kind != CXToken_Punctuation) continue;
      if (points.count(take(clang_getTokenSpelling(unit_, tokens[i])))) ++count;
    }
    return count;
  }

  void usesIn(CXCursor root, std::vector<std::string>& uses) {
    struct Context {
      UnitWalk* walk;
      std::vector<std::string>* uses;
    } context{this, &uses};
    clang_visitChildren(
        root,
        [](CXCursor child, CXCursor, CXClientData data) {
          auto* c = static_cast<Context*>(data);
          const CXCursorKind kind = clang_getCursorKind(child);
          if (kind == CXCursor_TypeRef || kind == CXCursor_TemplateRef || kind == CXCursor_CallExpr ||
              kind == CXCursor_MemberRefExpr || kind == CXCursor_DeclRefExpr) {
            CXCursor target = clang_getCursorReferenced(child);
            if (!clang_Cursor_isNull(target) && !isClassKind(clang_getCursorKind(target)))
              target = clang_getCursorSemanticParent(target);
            if (!clang_Cursor_isNull(target) && isClassKind(clang_getCursorKind(target)))
              addUnique(*c->uses, c->walk->projectClassUsr(target));
          }
          return CXChildVisit_Recurse;
        },
        &context);
  }

  void collectDependencies() {
    clang_getInclusions(
        unit_,
        [](CXFile file, CXSourceLocation*, unsigned, CXClientData data) {
          auto* walk = static_cast<UnitWalk*>(data);
          const std::string& relative = walk->projectFile(file);
          if (!relative.empty())
            addUnique(walk->facts_.dependencies, (walk->root_ == "/" ? "" : walk->root_) + "/" + relative);
        },
        this);
  }

  CXTranslationUnit unit_;
  const ProjectFiles& project_;
  const std::string& root_;
  UnitFacts& facts_;
  std::unordered_map<CXFile, std::string> files_;
};

// The compile command as the parser takes it: without the compiler, the
// output file and the compile-only switch, run in the command's directory.
std::vector<std::string> parserArguments(const CompileCommand& command) {
  std::vector<std::string> args;
  for (std::size_t i = 1; i < command.arguments.size(); ++i) {
    const std::string& a = command.arguments[i];
    if (a == "-o" || a == "-MF" || a == "-MT" || a == "-MQ") {
      ++i;
      continue;
    }
    if (a == "-c" || a == "-MD" || a == "-MMD") continue;
    args.push_back(a);
  }
  args.insert(args.begin(), {"-working-directory", command.directory});
  // Microsoft's compiler writes its switches with '/': the parser reads
  // them in its compatible mode.
  std::string compiler = std::filesystem::path(command.arguments.front()).filename().string();
  std::transform(compiler.begin(), compiler.end(), compiler.begin(), [](unsigned char c) { return std::tolower(c); });
  if (compiler == "cl" || compiler == "cl.exe" || compiler == "clang-cl" || compiler == "clang-cl.exe")
    args.insert(args.begin(), "--driver-mode=cl");
  return args;
}

}  // namespace

// ---- database ---------------------------------------------------------------

bool readCompilationDatabase(const std::string& folder, std::vector<CompileCommand>& commands, std::string& error) {
  const std::string file = (std::filesystem::path(folder) / "compile_commands.json").string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    error = file + ": no such file";
    return false;
  }
  if (const std::string& unusable = libClang().error(); !unusable.empty()) {
    error = file + ": cannot load the C++ parser (libclang): " + unusable;
    return false;
  }
  CXCompilationDatabase_Error code = CXCompilationDatabase_NoError;
  DatabaseHandle database(clang_CompilationDatabase_fromDirectory(folder.c_str(), &code));
  if (code != CXCompilationDatabase_NoError || database.get() == nullptr) {
    error = file + ": not a compilation database (a JSON list of compile commands)";
    return false;
  }
  CommandsHandle all(clang_CompilationDatabase_getAllCompileCommands(database.get()));
  const unsigned count = all.get() ? clang_CompileCommands_getSize(all.get()) : 0;
  std::set<std::pair<std::string, std::vector<std::string>>> seen;
  for (unsigned i = 0; i < count; ++i) {
    CXCompileCommand entry = clang_CompileCommands_getCommand(all.get(), i);
    CompileCommand command;
    command.directory = absolutePath(take(clang_CompileCommand_getDirectory(entry)), folder);
    command.file = absolutePath(take(clang_CompileCommand_getFilename(entry)), command.directory);
    const unsigned args = clang_CompileCommand_getNumArgs(entry);
    for (unsigned a = 0; a < args; ++a) command.arguments.push_back(take(clang_CompileCommand_getArg(entry, a)));
    if (command.arguments.empty()) continue;
    if (seen.emplace(command.file, command.arguments).second) commands.push_back(std::move(command));
  }
  if (commands.empty()) {
    error = file + ": holds no compile commands";
    return false;
  }
  return true;
}

// ---- parse --------------------------------------------------------------------

namespace {

bool inFolder(const std::string& path, const std::string& folder) {
  if (folder == "/") return path.size() > 1 && path[0] == '/';
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

}  // namespace

bool ProjectFiles::contains(const std::string& path) const {
  if (!inFolder(path, root)) return false;
  if (!excluded.empty() && inFolder(path, excluded)) return false;
  return kept.empty() || std::any_of(kept.begin(), kept.end(), [&](const std::string& k) { return inFolder(path, k); });
}

struct UnitParser::Index {
  CXIndex index = nullptr;
  Index() {
    // A crash inside the parser then ends the parse of its unit, which is
    // reported as crashed, instead of the program.
    clang_toggleCrashRecovery(1);
    index = clang_createIndex(0, 0);
  }
  ~Index() { clang_disposeIndex(index); }
};

UnitParser::UnitParser(ProjectFiles files) : index_(std::make_unique<Index>()), files_(std::move(files)) {}

UnitParser::~UnitParser() = default;

UnitFacts UnitParser::parse(const CompileCommand& command) {
  UnitFacts facts;
  facts.file = command.file;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(command.file, ec)) {
    facts.error = command.file + ": no such file";
    return facts;
  }
  const std::vector<std::string> args = parserArguments(command);
  std::vector<const char*> argv;
  argv.push_back(command.arguments.front().c_str());
  for (const std::string& a : args) argv.push_back(a.c_str());

  const unsigned options = CXTranslationUnit_KeepGoing | CXTranslationUnit_IgnoreNonErrorsFromIncludedFiles;
  UnitHandle unit;
  // Turning some commands into a parse (Microsoft's switches among them)
  // fails now and then while other units are parsed beside it: such a unit
  // is tried once more while no other thread parses, which mends most of
  // these failures (not all: libclang does not say why it failed).
  static std::shared_mutex parsing;
  CXErrorCode code;
  {
    std::shared_lock together(parsing);
    code = clang_parseTranslationUnit2FullArgv(index_->index, nullptr, argv.data(), static_cast<int>(argv.size()),
                                               nullptr, 0, options, unit.out());
  }
  if (code != CXError_Success && code != CXError_Crashed) {
    std::unique_lock alone(parsing);
    code = clang_parseTranslationUnit2FullArgv(index_->index, nullptr, argv.data(), static_cast<int>(argv.size()),
                                               nullptr, 0, options, unit.out());
  }
  if (code != CXError_Success || unit.get() == nullptr) {
    facts.error = command.file + (code == CXError_Crashed ? ": the parser crashed on this unit"
                                                          : ": the parser could not read this unit's command");
    return facts;
  }
  const unsigned diagnostics = clang_getNumDiagnostics(unit.get());
  for (unsigned i = 0; i < diagnostics && facts.error.empty(); ++i) {
    DiagnosticHandle diagnostic(clang_getDiagnostic(unit.get(), i));
    if (clang_getDiagnosticSeverity(diagnostic.get()) >= CXDiagnostic_Error)
      facts.error = take(clang_formatDiagnostic(diagnostic.get(), CXDiagnostic_DisplaySourceLocation |
                                                                      CXDiagnostic_DisplayColumn));
  }
  UnitWalk(unit.get(), files_, facts).run();
  return facts;
}

}  // namespace lumetra
