#include "cli/Commands.h"

#include <exception>
#include <functional>
#include <map>

#include "cli/MacroSummary.h"
#include "cli/MacroText.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"

namespace {

using Arguments = std::vector<std::string>;

struct Command {
    const char* usage;
    const char* help;
    std::size_t minArguments;
    std::size_t maxArguments;
    std::function<int(const Arguments&, std::ostream&)> run;
};

// The whole file; the program's own file rules apply (regular files only, read errors
// are errors).
std::vector<uint8_t> ReadBytes(const std::string& path) {
    InputFile file = InputFile::Open(path);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (std::size_t count; (count = file.Read(buffer, sizeof buffer)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    return bytes;
}

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

template <class Items>
std::string Joined(const Items& items) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "none" : text;
}

int Info(const Arguments& args, std::ostream& out) {
    int32_t index = 10;
    if (args.size() > 1 && (!TryStrToInt(args[1], index) || index < 0 || index > 19)) {
        throw std::invalid_argument("the speed index must be a number from 0 to 19");
    }
    const uint32_t percent = PercentOfSpeedIndex(index);
    const MacroSummary s = Summarise(ReadBytes(args[0]), percent);
    out << "records:        " << s.records << "\n"
        << "trailing bytes: " << s.trailingBytes << "\n"
        << "playing time:   " << s.playingMilliseconds << " ms at " << percent << " %\n"
        << "keys:           " << s.keys << "\n"
        << "pointer moves:  " << s.moves << "\n"
        << "buttons:        " << s.buttons << "\n"
        << "wheel:          " << s.wheels << "\n"
        << "other messages: " << s.others << "\n"
        << "keys left down: " << Joined(s.keysHeld) << "\n"
        << "buttons down:   " << Joined(s.buttonsHeld) << "\n";
    out << "pointer:        ";
    if (s.pointerSeen) {
        out << "x " << s.left << " to " << s.right << ", y " << s.top << " to " << s.bottom << "\n";
    } else {
        out << "never used\n";
    }
    out << "time backwards: " << Joined(s.backwards) << "\n";
    return kExitOk;
}

int Dump(const Arguments& args, std::ostream& out) {
    const std::vector<uint8_t> bytes = ReadBytes(args[0]);
    out << "# " << bytes.size() / kEventMsgSize << " records of " << args[0] << "\n"
        << FormatMacro(bytes);
    return kExitOk;
}

int Build(const Arguments& args, std::ostream& out) {
    const std::vector<uint8_t> bytes = ParseMacro(ReadText(args[0]));
    ReplaceFileContents(args[1], bytes.data(), bytes.size());
    out << bytes.size() / kEventMsgSize << " records written to " << args[1] << "\n";
    return kExitOk;
}

int Check(const Arguments& args, std::ostream& out) {
    const MacroSummary s = Summarise(ReadBytes(args[0]), 100);
    std::vector<std::string> problems;
    for (const std::string& key : s.keysHeld) problems.push_back("key left down: " + key);
    for (const std::string& button : s.buttonsHeld) {
        problems.push_back("button left down: " + button);
    }
    for (const std::string& unknown : s.unknown)
        problems.push_back("not an input message: " + unknown);
    if (s.trailingBytes != 0) {
        problems.push_back(std::to_string(s.trailingBytes) +
                           " trailing bytes after the last record");
    }
    for (const std::string& problem : problems) out << problem << "\n";
    return problems.empty() ? kExitOk : kExitProblems;
}

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"info",
         {"info FILE.mcr [SPEEDINDEX]",
          "Counts the records by kind, gives the playing time at the speed index (0 is 200 %,\n"
          "10 is 100 %, the default, 19 is 10 %), keys and buttons left down, the rectangle\n"
          "the pointer visits and the places where time goes backwards.",
          1, 2, Info}},
        {"dump",
         {"dump FILE.mcr",
          "Writes the macro as text, one line per record: time in ms, message, then the key\n"
          "(name, scan=HH, ext) or x y (and the wheel's delta); unusual fields follow as\n"
          "paramL=, paramH=, hwnd=; bytes after the last record on a 'trailing' line.",
          1, 1, Dump}},
        {"build",
         {"build TEXT OUT.mcr",
          "Makes a macro file from text as dump writes it (# starts a comment line). A line\n"
          "that cannot be read fails with its number, and nothing is written.",
          2, 2, Build}},
        {"check",
         {"check FILE.mcr",
          "Exit status 0 when the macro ends with every key and button released and holds\n"
          "only input messages; 1 with one line per problem otherwise.",
          1, 1, Check}},
    };
    return commands;
}

void Usage(std::ostream& out) {
    out << "usage: tapewright-macro COMMAND ARGUMENTS   (tapewright-macro COMMAND --help)\n";
    for (const auto& [name, command] : Commands())
        out << "  tapewright-macro " << command.usage << "\n";
    out << "Exit status: 0 done, 1 check found problems, 2 wrong command line or a file that\n"
           "cannot be read or written.\n";
}

}  // namespace

int RunMacroTool(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        Usage(arguments.empty() ? err : out);
        return arguments.empty() ? kExitFailed : kExitOk;
    }
    auto found = Commands().find(arguments[0]);
    if (found == Commands().end()) {
        err << "tapewright-macro: unknown command '" << arguments[0] << "' (try --help)\n";
        return kExitFailed;
    }
    const Command& command = found->second;
    const Arguments args(arguments.begin() + 1, arguments.end());
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << "usage: tapewright-macro " << command.usage << "\n" << command.help << "\n";
        return kExitOk;
    }
    if (args.size() < command.minArguments || args.size() > command.maxArguments) {
        err << "tapewright-macro: usage: tapewright-macro " << command.usage << "\n";
        return kExitFailed;
    }
    try {
        return command.run(args, out);
    } catch (const std::exception& error) {
        err << "tapewright-macro: " << error.what() << "\n";
        return kExitFailed;
    }
}
