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
               "  export IN.obj OUT.sod    run the export and write operations on an OBJ scene\n"
               "                           (--game 1|2, --no-materials, --hardpoints FILE, --emitters FILE,\n"
               "                           --sprites FILE, --continue-reserved, --interactive, --json)\n"
               "options:\n"
               "  --plugin PATH            the plug-in to load (default: beside kveltar-host)\n"
               "  --fail SERVICE[:N]       make the Nth call (default 1) of a host service fail\n"
               "  --fail-call N            make the Nth call of any host service fail\n");
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
        continue;
      }
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kveltar-host: %s needs a value\n", arg.c_str());
        return kExitUsage;
      }
      const std::u16string& value = args[++i];
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
  if (command == "export") return CommandExport(options);
  PrintUsage();
  return kExitUsage;
}

}  // namespace

}  // namespace host

namespace host {

bool OptionTakesValue(const std::string& name) {
  static const char* const kValueOptions[] = {"--plugin",     "--fail",     "--fail-call", "--game",
                                              "--hardpoints", "--emitters", "--sprites",   "--screenshot"};
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
