#pragma once

#include "TempDir.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace tevra::test {

// One run of tevra-cli as a user runs it: its exit code and what it printed on
// each stream. TEVRA_CLI is the path of the tool, set by the test's build.
struct CliRun {
    int exitCode;
    std::string out, err;
};

// shell, when given, is run first in the same shell (a ulimit, say). A run is
// stopped after two minutes, so a tool that hangs fails its test.
inline CliRun cli(const std::string& args, const std::string& shell = {}) {
    TempDir dir;
    const std::string cmd = (shell.empty() ? "" : shell + "; ") + "timeout 120 " +
                            std::string(TEVRA_CLI) + " " + args + " </dev/null >" +
                            dir.file("out") + " 2>" + dir.file("err");
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::read(dir.file("out")),
            TempDir::read(dir.file("err"))};
}

} // namespace tevra::test
