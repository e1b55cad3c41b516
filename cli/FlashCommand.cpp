// tevra-cli flash: read, write or differentially write the controller over a
// serial port, as the editor's Flash dialog does.
#ifdef TEVRA_HAVE_ECM

#include "AtomicFile.h"
#include "CliSupport.h"
#include "FileReader.h"
#include "FlashOperation.h"
#include "PortMap.h"
#include "SerialCom.h"
#include "SteadyClock.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tevra::cli {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int) {
    stopRequested.store(true);
}

enum class Stream { Input, Error };

bool isTerminal(Stream stream) {
#ifdef _WIN32
    // _isatty() also holds for NUL and other character devices; only a console
    // answers GetConsoleMode.
    DWORD mode = 0;
    return ::GetConsoleMode(
               ::GetStdHandle(stream == Stream::Input ? STD_INPUT_HANDLE : STD_ERROR_HANDLE),
               &mode) != FALSE;
#else
    return ::isatty(stream == Stream::Input ? STDIN_FILENO : STDERR_FILENO) != 0;
#endif
}

// One progress line on a terminal, redrawn in place; the operation's messages
// end it first so that they stand on lines of their own.
class ConsoleFlashStatus final : public FlashProgress, public Prompter {
public:
    explicit ConsoleFlashStatus(Prompter& messages)
        : messages_(messages), terminal_(isTerminal(Stream::Error)) {}

    void setRange(int upper) override { range_ = upper; }
    void setPosition(int position) override {
        position_ = position;
        draw();
    }
    void setStatusText(const std::string& text) override {
        status_ = text;
        draw();
    }
    void hide() override { endLine(); }

    void message(const std::string& text, const std::string& caption) override {
        endLine();
        messages_.message(text, caption);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        endLine();
        return messages_.askYesNo(text, caption);
    }

private:
    void draw() {
        if (!terminal_) {
            return;
        }
        const int percent = range_ > 0 ? static_cast<int>(100LL * position_ / range_) : 0;
        std::fprintf(stderr, "\r%-20s %3d%%", status_.c_str(), percent);
        std::fflush(stderr);
        drawn_ = true;
    }
    void endLine() {
        if (drawn_) {
            std::fputc('\n', stderr);
            drawn_ = false;
        }
    }

    Prompter& messages_;
    bool terminal_;
    bool drawn_ = false;
    int range_ = 0;
    int position_ = 0;
    std::string status_;
};

FlashOperationKind parseOperation(const std::string& word) {
    if (word == "read")
        return FlashOperationKind::Read;
    if (word == "write")
        return FlashOperationKind::FullWrite;
    if (word == "diffwrite")
        return FlashOperationKind::DifferentialWrite;
    throw UsageProblem{"the operation is read, write or diffwrite, not '" + word + "'"};
}

FlashSettings parseSettings(const Args& args, FlashOperationKind operation) {
    FlashSettings s;
    s.operation = operation;
    if (args.has("--size")) {
        const std::string& v = args.value("--size");
        if (v != "16k" && v != "32k" && v != "16K" && v != "32K")
            throw UsageProblem{"--size is 16k or 32k"};
        s.size = (v[0] == '3') ? FlashSize::Size32K : FlashSize::Size16K;
    }
    if (args.has("--type")) {
        const std::string& v = args.value("--type");
        if (v == "lm")
            s.ecmType = EcmType::LM;
        else if (v == "smec")
            s.ecmType = EcmType::SMEC;
        else if (v == "sbec")
            s.ecmType = EcmType::SBEC;
        else
            throw UsageProblem{"--type is lm, smec or sbec"};
    }
    if (args.has("--speed")) {
        const double speed = parseNumberOption(args.value("--speed"), "--speed");
        if (speed < 0 || speed > 100 || speed != static_cast<int>(speed))
            throw UsageProblem{"--speed takes a whole number from 0 to 100"};
        s.flashSpeed = static_cast<int>(speed);
    }
    if (args.has("--verify") && args.has("--no-verify"))
        throw UsageProblem{"--verify and --no-verify exclude each other"};
    s.verify = !args.has("--no-verify");
    return s;
}

// A copy that is not there yet is no copy; one that is there but cannot be
// read ends the command before the port is touched.
bool readLastFlash(const std::string& path, LastFlashCopy& copy, Prompter& prompter) {
    // No copy is larger than the address space it was written to.
    const FileReader::Result file = FileReader::read(path, 0x10000);
    if (!file.ok() && !file.problem.empty()) {
        prompter.message(file.problem, "Error");
        return false;
    }
    if (file.ok())
        copy.emplace(file.data.begin(), file.data.end());
    return true;
}

// The copy is kept beside the command's runs the way the editor keeps it for a
// session: written when it exists, removed when the outcome discarded it.
bool storeLastFlash(const std::string& path, const LastFlashCopy& copy, Prompter& prompter) {
    if (!copy) {
        std::remove(path.c_str());
        return true;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(copy->data()), copy->size());
    if (!AtomicFile::write(path, bytes)) {
        prompter.message("Could not write the last-flash copy " + path, "Error");
        return false;
    }
    return true;
}

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--size", "--type", "--speed", "--last"});
    auto flags = kOpenFlags;
    flags.insert({"--verify", "--no-verify"});
    Args args(words, valued, flags);
    if (args.positional().size() != 3)
        throw UsageProblem{"expected read|write|diffwrite PORT IMAGE"};
    const FlashOperationKind operation = parseOperation(args.positional()[0]);
    const FlashSettings settings = parseSettings(args, operation);
    const std::string& portName = args.positional()[1];
    const std::string& imagePath = args.positional()[2];

    OpenedCalibration opened(args.has("--yes"));
    ConsoleFlashStatus console(opened.prompter);
    if (operation != FlashOperationKind::Read) {
        if (!openCalibration(opened, imagePath, args))
            return Failure;
    } else if (imagePath.size() < 4 || (imagePath.substr(imagePath.size() - 4) != ".bin" &&
                                        imagePath.substr(imagePath.size() - 4) != ".s19")) {
        throw UsageProblem{"the output must end in .bin or .s19: " + imagePath};
    }

    if (FlashOperation::checkImage(settings, opened.calibration, console) !=
        FlashOutcome::Completed)
        return Failure;

    const auto device = resolvePort(portName, defaultPortMap(systemSerialDevices()));
    if (!device) {
        console.message("No serial device is mapped to " + portName + ".", "Com Error");
        return Failure;
    }
    LastFlashCopy last;
    if (args.has("--last") && !readLastFlash(args.value("--last"), last, console))
        return Failure;

    SerialCom port;
    port.setDevicePath(*device);
    SteadyClock clock;
    FlashOperation flash(port, clock, console, console, &stopRequested);

    console.message("Power on ECM in flash mode (key at run)", "Bootload");
    if (isTerminal(Stream::Input)) {
        std::cerr << "Press Enter to continue.\n";
        std::string line;
        std::getline(std::cin, line);
    }

    stopRequested.store(false);
    auto previous = std::signal(SIGINT, onInterrupt);
    const FlashResult result = flash.run(settings, opened.calibration, last);
    std::signal(SIGINT, previous);
    console.hide();

    if (result.outcome == FlashOutcome::Stopped)
        console.message("Stopped.", "Flash");
    bool ok = result.succeeded(settings.verify && operation != FlashOperationKind::Read);
    if (operation == FlashOperationKind::Read && ok)
        ok = writeImage(opened.calibration, imagePath);
    // An early end leaves the copy as it was; a stop mid-write has discarded it.
    const bool copyDecided =
        result.outcome == FlashOutcome::Completed || result.outcome == FlashOutcome::Stopped;
    if (args.has("--last") && copyDecided)
        ok = storeLastFlash(args.value("--last"), last, console) && ok;
    return ok ? Success : Failure;
}

const CommandRegistration registration{
    {"flash",
     "flash read|write|diffwrite PORT IMAGE [--size 16k|32k] [--type lm|smec|sbec] "
     "[--speed 0..100] [--verify|--no-verify] [--last COPY] [--library DIR] [--yes]",
     run}};

} // namespace
} // namespace tevra::cli

#endif // TEVRA_HAVE_ECM
