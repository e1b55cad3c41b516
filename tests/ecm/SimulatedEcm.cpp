#include "SimulatedEcm.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tevra::test {

namespace fs = std::filesystem;

SimulatedEcm::SimulatedEcm(const std::vector<unsigned char>& eeprom,
                           std::vector<std::string> flags) {
    char pattern[] = "/tmp/tevra-sim-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        return;
    }
    dir_ = pattern;
    link_ = dir_ + "/link";
    saved_ = dir_ + "/saved.bin";
    const std::string image = dir_ + "/image.bin";
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(eeprom.data()),
               static_cast<std::streamsize>(eeprom.size()));

    std::vector<std::string> words{TEVRA_ECM_SIM, "--image", image,    "--base", "8000",
                                   "--link",      link_,     "--save", saved_};
    // As fast as the emulator can, unless the caller asks for the real pace.
    if (std::find(flags.begin(), flags.end(), "--realtime") == flags.end()) {
        words.push_back("--fast");
    }
    words.insert(words.end(), flags.begin(), flags.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        std::vector<char*> argv;
        for (auto& w : words) {
            argv.push_back(w.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code ec;
        if (fs::exists(link_, ec)) {
            ok_ = true;
            return;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<unsigned char> SimulatedEcm::stopAndSave() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    std::ifstream in(saved_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

SimulatedEcm::~SimulatedEcm() {
    stopAndSave();
    if (!dir_.empty()) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
}

} // namespace tevra::test
