#include "Assembler.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace tevra::sim::test {

namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool runTool(const std::string& command, const std::filesystem::path& log) {
    return std::system((command + " >" + log.string() + " 2>&1").c_str()) == 0;
}

} // namespace

Assembled assemble(const std::string& source, std::uint16_t origin) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/tevra-asm-XXXXXX";
    const char* dirName = ::mkdtemp(pattern);
    Assembled result;
    if (!dirName) {
        result.error = "mkdtemp failed";
        return result;
    }
    const fs::path dir = dirName;
    {
        std::ofstream src(dir / "prog.s");
        src << "        .text\n" << source << "\n";
    }
    char originText[16];
    std::snprintf(originText, sizeof originText, "0x%04X", origin);
    {
        // The default script has no room at low addresses, where bootloaded
        // programs live; this one places .text at the origin, wherever it is.
        std::ofstream script(dir / "prog.ld");
        script << "OUTPUT_FORMAT(\"elf32-m68hc11\")\nOUTPUT_ARCH(m68hc11)\n"
               << "MEMORY { mem (rwx) : ORIGIN = " << originText
               << ", LENGTH = " << (0x10000 - origin) << " }\n"
               << "SECTIONS { .text : { *(.text) } > mem }\n";
    }
    const fs::path log = dir / "log.txt";
    const std::string d = dir.string();
    const bool ok =
        runTool(std::string(TEVRA_M68HC11_AS) + " -o " + d + "/prog.o " + d + "/prog.s", log) &&
        runTool(std::string(TEVRA_M68HC11_LD) + " -e 0 -T " + d + "/prog.ld -o " + d +
                    "/prog.elf " + d + "/prog.o",
                log) &&
        runTool(std::string(TEVRA_M68HC11_OBJCOPY) + " -O binary -j .text " + d + "/prog.elf " + d +
                    "/prog.bin",
                log);
    if (!ok) {
        result.error = readAll(log) + "\n--- source ---\n" + source;
    } else {
        const std::string bin = readAll(dir / "prog.bin");
        result.bytes.assign(bin.begin(), bin.end());
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return result;
}

} // namespace tevra::sim::test
