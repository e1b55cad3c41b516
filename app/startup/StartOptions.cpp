#include "StartOptions.h"

namespace tevra {

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--workdir") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                o.error = "--workdir needs a folder";
                return o;
            }
            o.workFolder = args[++i];
        } else if (a.rfind("--workdir=", 0) == 0 && a.size() > 10) {
            o.workFolder = a.substr(10);
        } else {
            o.error = "unknown option " + a;
            return o;
        }
    }
    return o;
}

std::string startHelp() {
    return "usage: tevra [--workdir DIR]\n"
           "Edits the calibrations of 68HC11-based Chrysler engine controllers (LM, SMEC,\n"
           "SBEC): shows and edits their tables, compares two calibrations, proposes\n"
           "definitions for unknown images and flashes the controller over a serial cable.\n"
           "\n"
           "options:\n"
           "  --workdir DIR  work in DIR, created when missing\n"
           "  --help         this text\n"
           "  --version      the program's version\n"
           "\n"
           "The working folder holds Config.cfg (settings and the last calibration),\n"
           "Disclaimer.txt (the accepted warning), Library/ (definition files) and\n"
           "Help/help.html. Started from a folder that can be written and already holds a\n"
           "Config.cfg, Tevra works there. Otherwise it works in its per-user folder:\n"
           "~/.local/share/Tevra on Linux, %APPDATA%\\Tevra on Windows, made at the first\n"
           "start with the help page and a copy of the demo calibration.\n";
}

} // namespace tevra
