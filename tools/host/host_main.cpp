// kveltar-host, the reference host: it loads the kveltar plug-in the way the modelling
// host does, plays the host's side of every call with a real in-memory scene, and
// drives the plug-in's operations from the command line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host_commands.h"
#include "host_text.h"

namespace host {

namespace {

void PrintUsage() {
  std::fprintf(stderr,
               "usage: kveltar-host [options] COMMAND ARGS\n"
               "commands:\n"
               "  describe PLUGIN          print what the plug-in answers and registers\n"
               "  read FILE.sod            run the read operation and print its result\n"
               "  import FILE.sod          read, then import through the import dialog and print\n"
               "                           the scene the plug-in built (see below)\n"
               "  export IN.obj OUT.sod    export a Wavefront OBJ scene through the export dialog, then\n"
               "                           write OUT.sod (see below)\n"
               "options:\n"
               "  --plugin PATH            the plug-in to load (default: beside kveltar-host)\n"
               "  --fail SERVICE[:N]       make the Nth call (default 1) of a host service fail\n"
               "  --fail-call N            make the Nth call of any host service fail\n"
               "import options (the dialog is answered in the order given, then Import is pressed):\n"
               "  --select NAME, --deselect NAME     select or deselect the mesh entry NAME\n"
               "  --select-all, --select-none, --invert   press Select All, Select None, Invert All\n"
               "  --extract-hardpoints, --extract-emitters, --extract-sprites   tick an Extract To File box\n"
               "  --convert-hardpoints, --convert-emitters, --convert-sprites   tick a Convert To Geometry box\n"
               "  --no-extract-..., --no-convert-...  untick that box\n"
               "  --cancel                 press Cancel instead of Import\n"
               "  --interactive            show the dialog and let the user answer it\n"
               "  --repeat N               import N times in one process (new read each time)\n"
               "  --json                   print the read result, the scene and the dialogs as JSON\n"
               "  --obj OUT.obj            write the scene as OBJ, with OUT.mtl beside it\n"
               "export options (the dialog is filled from them and confirmed with OK):\n"
               "  --game 1|2               ST Armada 1 (SOD 1.8, the default) or ST Armada 2 (SOD 1.93)\n"
               "  --no-materials           untick Export materials\n"
               "  --hardpoints FILE, --emitters FILE, --sprites FILE   tick a side text box with its file\n"
               "  --continue-reserved      answer the reserved-name warning with OK (default: Cancel)\n"
               "  --interactive            show the dialogs and let the user answer them\n"
               "  --json                   print the results and what the dialogs showed as JSON\n");
}

bool ParseFailure(const std::string& text, HostOptions* options) {
  size_t colon = text.find(':');
  long nth = 1;
  if (colon != std::string::npos) nth = std::strtol(text.c_str() + colon + 1, nullptr, 10);
  if (nth < 1) return false;
  options->failServices.emplace_back(text.substr(0, colon), nth);
  return true;
}

int Run(const std::vector<std::u16string>& args) {
  HostOptions options;
  std::string command;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = Utf16ToUtf8(args[i]);
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      if (!OptionTakesValue(arg)) {
        options.switches.insert(arg);
        options.sequence.emplace_back(arg, u"");
        continue;
      }
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kveltar-host: %s needs a value\n", arg.c_str());
        return kExitUsage;
      }
      const std::u16string& value = args[++i];
      options.sequence.emplace_back(arg, value);
      if (arg == "--plugin") {
        options.pluginPath = value;
      } else if (arg == "--fail") {
        if (!ParseFailure(Utf16ToUtf8(value), &options)) return kExitUsage;
      } else if (arg == "--fail-call") {
        options.failCallNumber = std::strtol(Utf16ToUtf8(value).c_str(), nullptr, 10);
      } else {
        options.values[arg].push_back(value);
      }
    } else if (command.empty()) {
      command = arg;
    } else {
      options.positional.push_back(args[i]);
    }
  }
  if (command == "describe") return CommandDescribe(options);
  if (command == "read") return CommandRead(options);
  if (command == "import") return CommandImport(options);
  if (command == "export") return CommandExport(options);
  PrintUsage();
  return kExitUsage;
}

}  // namespace

}  // namespace host

namespace host {

bool OptionTakesValue(const std::string& name) {
  static const char* const kValueOptions[] = {"--plugin", "--fail", "--fail-call",  "--select",   "--deselect", "--obj",
                                              "--repeat", "--game", "--hardpoints", "--emitters", "--sprites"};
  for (const char* option : kValueOptions) {
    if (name == option) return true;
  }
  return false;
}

}  // namespace host

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return host::Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(host::Utf8ToUtf16(argv[i]));
  return host::Run(args);
}
#endif
