#include "app/commands/CommandLine.h"

#include <wx/cmdline.h>
#include <wx/init.h>

#include <cstdio>
#include <filesystem>

#include "app/document/Document.h"

namespace lumetra {

std::string versionText() { return std::string("lumetra ") + LUMETRA_VERSION; }

ParseOutcome parseCommandLine(int argc, char** argv, CommandLineOptions& options) {
  static const wxCmdLineEntryDesc description[] = {
      {wxCMD_LINE_SWITCH, "h", "help", "show this help and exit", wxCMD_LINE_VAL_NONE, wxCMD_LINE_OPTION_HELP},
      {wxCMD_LINE_SWITCH, nullptr, "version", "print the version and exit"},
      {wxCMD_LINE_OPTION, nullptr, "save-diagram", "read MODEL and write its diagrams to this .dia file"},
      {wxCMD_LINE_OPTION, nullptr, "export", "render MODEL into this .png, .jpg, .svg or .pdf file"},
      {wxCMD_LINE_OPTION, nullptr, "export-all",
       "render every diagram of MODEL into this folder, one picture each, named after the diagram"},
      {wxCMD_LINE_OPTION, nullptr, "format", "with --export-all: png (default), jpg, svg or pdf"},
      {wxCMD_LINE_OPTION, nullptr, "diagram", "show the diagram of this name (default: the first)"},
      {wxCMD_LINE_OPTION, nullptr, "size", "with --export: the picture size WxH (default 1024x768)"},
      {wxCMD_LINE_OPTION, nullptr, "metrics", "read this metrics file with MODEL"},
      {wxCMD_LINE_OPTION, nullptr, "metric", "show this metric (repeatable)",
       wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_MULTIPLE},
      {wxCMD_LINE_OPTION, nullptr, "area",
       "show this area, NAME or NAME:PAINTER with PAINTER Inner, Outer or Square (repeatable)",
       wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_MULTIPLE},
      {wxCMD_LINE_SWITCH, nullptr, "full-detail",
       "with --export: draw text and curves in full however small they are on the picture"},
      {wxCMD_LINE_SWITCH, nullptr, "legend", "draw the legend of the shown metrics and areas"},
      {wxCMD_LINE_OPTION, nullptr, "import-cpp",
       "in place of MODEL: import the C++ project of this compile_commands.json (or of a folder holding one, "
       "directly or in build/) with its metrics and its namespaces and folders as areas"},
      {wxCMD_LINE_OPTION, nullptr, "import-root",
       "with --import-cpp: keep only the classes declared in files below this folder (repeatable; default: every "
       "folder of the project's sources but its build folder)",
       wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_MULTIPLE},
      {wxCMD_LINE_OPTION, nullptr, "config",
       "open this saved configuration (.cfg): its model, metrics, settings and view; in the viewer or with "
       "--export, where the active window's view is drawn at its saved size. MODEL, --metrics and --diagram "
       "given beside it replace what it names, --metric and --area show more, --size sets the picture size. "
       "Entries it skips are listed on stderr"},
      {wxCMD_LINE_PARAM, nullptr, nullptr, "MODEL", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL},
      {wxCMD_LINE_NONE}};

  wxCmdLineParser parser(description, argc, argv);
  parser.SetLogo(wxString::FromUTF8(versionText() + " - a viewer for software architecture"));
  // Help asked for goes to stdout, so that it can be paged or read by
  // help2man; errors (wx prints them to stderr) get a pointer to it.
  switch (parser.Parse(false)) {
    case -1:
      std::fputs(parser.GetUsageString().utf8_string().c_str(), stdout);
      return ParseOutcome::ExitOk;
    case 0: break;
    default:
      std::fputs("lumetra: see --help for the options\n", stderr);
      return ParseOutcome::ExitError;
  }

  options.version = parser.Found("version");
  options.fullDetail = parser.Found("full-detail");
  options.legend = parser.Found("legend");
  // Walk the arguments in order so that repeated options keep their order.
  for (const wxCmdLineArg& arg : parser.GetArguments()) {
    if (arg.GetKind() == wxCMD_LINE_PARAM) {
      options.model = arg.GetStrVal().utf8_string();
      continue;
    }
    if (arg.GetKind() != wxCMD_LINE_OPTION) continue;
    const std::string name = arg.GetLongName().utf8_string();
    const std::string value = arg.GetStrVal().utf8_string();
    if (name == "save-diagram") options.saveDiagram = value;
    else if (name == "export") options.exportImage = value;
    else if (name == "export-all") options.exportAll = value;
    else if (name == "format") options.format = value;
    else if (name == "diagram") options.diagram = value;
    else if (name == "size") options.size = value;
    else if (name == "metrics") options.metricsFile = value;
    else if (name == "metric") options.metrics.push_back(value);
    else if (name == "area") options.areas.push_back(value);
    else if (name == "config") options.config = value;
    else if (name == "import-cpp") options.importCpp = value;
    else if (name == "import-root") options.importRoots.push_back(std::filesystem::absolute(value).lexically_normal().string());
  }
  const bool importAndModel = !options.importCpp.empty() && !options.model.empty();
  if (!options.importCpp.empty() && !importAndModel) options.model = options.importCpp;

  // Say what is wrong instead of quietly running something else. Without a
  // command the options open MODEL in the viewer.
  const bool namesContent = !options.diagram.empty() || !options.metricsFile.empty() ||
                            !options.metrics.empty() || !options.areas.empty();
  const char* problem = nullptr;
  const bool draws = !options.exportImage.empty() || !options.exportAll.empty();
  if (importAndModel)
    problem = "--import-cpp stands in place of MODEL: give one of them";
  else if (!options.importCpp.empty() && !isCppProject(options.importCpp))
    problem = "--import-cpp needs a compile_commands.json or a folder holding one";
  else if (!options.importRoots.empty() && options.importCpp.empty())
    problem = "--import-root needs --import-cpp";
  else if (!options.saveDiagram.empty() && !options.exportImage.empty())
    problem = "--save-diagram and --export cannot be combined";
  else if (!options.exportAll.empty() && (!options.exportImage.empty() || !options.saveDiagram.empty()))
    problem = "--export-all cannot be combined with --export or --save-diagram";
  else if (!options.exportAll.empty() && (!options.diagram.empty() || !options.config.empty()))
    problem = "--export-all draws every diagram of MODEL: it cannot be combined with --diagram or --config";
  else if (!options.format.empty() && options.exportAll.empty())
    problem = "--format needs --export-all (--export takes the format from the file name)";
  else if (!options.size.empty() && !draws)
    problem = "--size needs --export";
  else if (options.fullDetail && !draws)
    problem = "--full-detail needs --export";
  else if (options.legend && !options.saveDiagram.empty())
    problem = "--legend cannot be combined with --save-diagram";
  else if (!options.config.empty() && !options.saveDiagram.empty())
    problem = "--config cannot be combined with --save-diagram";
  else if (namesContent && !options.saveDiagram.empty())
    problem = "--diagram, --metrics, --metric and --area cannot be combined with --save-diagram";
  else if ((!options.saveDiagram.empty() || draws) && options.model.empty() && options.config.empty())
    problem = "a MODEL file (or --config FILE) is needed";
  else if (namesContent && options.model.empty() && options.config.empty())
    problem = "--diagram, --metrics, --metric and --area need a MODEL file or --config FILE";
  if (problem) {
    std::fprintf(stderr, "lumetra: %s (see --help)\n", problem);
    return ParseOutcome::ExitError;
  }
  return ParseOutcome::Run;
}

std::optional<int> readCommandLine(
    int argc, char** argv, CommandLineOptions& options,
    const std::function<std::optional<int>(const CommandLineOptions&)>& commands) {
  wxInitializer initializer(argc, argv);
  if (!initializer.IsOk()) {
    std::fprintf(stderr, "lumetra: could not initialise wxWidgets\n");
    return 1;
  }
  switch (parseCommandLine(argc, argv, options)) {
    case ParseOutcome::ExitOk: return 0;
    case ParseOutcome::ExitError: return 2;
    case ParseOutcome::Run: break;
  }
  if (commands) return commands(options);
  return std::nullopt;
}

}  // namespace lumetra
