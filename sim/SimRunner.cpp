#include "SimRunner.h"

#include "EcmSim.h"
#include "ImageFileReader.h"
#include "PtyLink.h"
#include "PtyReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <vector>

namespace tevra::sim {

namespace {

using Clock = std::chrono::steady_clock;

// In --fast mode one step of emulation between looks at the line.
constexpr std::uint64_t kFastChunkCycles = 20000; // 10 ms emulated
// Never emulate more than this at once, so the line stays responsive even
// when the emulator has fallen behind the wall clock.
constexpr std::uint64_t kMaxCatchUpCycles = 200000; // 100 ms
// Emulation runs in slices of this size, so it notices when the line falls idle.
constexpr std::uint64_t kSliceCycles = 2000; // 1 ms
// While the line is idle, emulated time trails the wall time since the last
// thing on the line by this much, so that a byte this loop takes late (a busy
// machine) still lands where the editor's pause put it.
constexpr Picos kIdleSlack = 20 * kPicosPerSecond / 1000;

// The editor's pauses on the line are 5, 50 and 100 ms; those are kept.
constexpr Picos kLongestKeptPause = 100 * kPicosPerSecond / 1000;

struct Image {
    std::vector<std::uint8_t> bytes;
    std::uint16_t base = 0;
};

std::string loadImage(const SimOptions& o, Image& image) {
    if (std::string error = ImageFileReader::read(o.imagePath, 0x8000, image.bytes); !error.empty())
        return error;
    const std::size_t size = image.bytes.size();
    if (size == 0 || size > 0x8000)
        return o.imagePath + ": an image holds 1 to 32768 bytes";
    const std::uint32_t base = o.base ? *o.base : static_cast<std::uint32_t>(0x10000 - size);
    if (base < 0x8000 || base + size > 0x10000)
        return "the image must lie inside the EEPROM at 8000-FFFF";
    image.base = static_cast<std::uint16_t>(base);
    return {};
}

std::string saveImage(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    // Write beside the target and rename, so a crash never leaves half a file.
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return "cannot write " + temporary;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return "cannot rename " + temporary + " to " + path;
    return {};
}

} // namespace

int runSimulator(const SimOptions& options, const std::atomic<bool>& stop) {
    Image image;
    if (const std::string error = loadImage(options, image); !error.empty()) {
        std::fprintf(stderr, "tevra-ecm-sim: %s\n", error.c_str());
        return 1;
    }

    EcmSim sim(options.faults);
    auto log = [&sim](const std::string& text) {
        std::fprintf(stderr, "[%10.3f ms] %s\n", static_cast<double>(sim.cycles()) / 2000.0,
                     text.c_str());
    };
    if (options.verbose)
        sim.setLog(log);
    sim.loadImage(image.base, image.bytes);
    sim.powerOn();

    PtyLink link;
    if (const std::string error = link.open(options.linkPath); !error.empty()) {
        std::fprintf(stderr, "tevra-ecm-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("tevra-ecm-sim: %s -> %s, image %04X-%04X, %s\n", options.linkPath.c_str(),
                link.slavePath().c_str(), image.base,
                static_cast<unsigned>(image.base + image.bytes.size() - 1),
                options.fast ? "fast" : "real time");
    std::fflush(stdout);

    const Clock::time_point start = Clock::now();
    auto wallCycles = [&start]() {
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
        return static_cast<std::uint64_t>(ns) / 500;
    };
    bool wasOpen = false;
    bool reopened = false;
    int lastChunkBaud = 0;
    Picos lastChunkEnd = 0;
    Clock::time_point lastChunkWall = start;
    Clock::time_point lastOutputWall = start;
    Picos lastOutputLine = 0;
    // The last thing that happened on the line, the editor's block or our
    // answer, in wall time and in line time: pauses are kept from there.
    struct Anchor {
        Clock::time_point wall;
        Picos line;
    };
    auto anchor = [&]() {
        if (lastOutputWall > lastChunkWall)
            return Anchor{lastOutputWall, std::max(lastOutputLine, lastChunkEnd)};
        return Anchor{lastChunkWall, lastChunkEnd};
    };
    // Idle, the emulation runs no further than the wall time since the anchor
    // (less the slack): a lagging emulator catching up must not run the
    // loader into a time-out that the editor's real pauses would not cause.
    auto idleLimitCycles = [&]() -> std::uint64_t {
        const Anchor a = anchor();
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - a.wall).count();
        const Picos limit = a.line + (ns > 0 ? static_cast<Picos>(ns) * 1000 : 0);
        return limit > kIdleSlack ? (limit - kIdleSlack) / kPicosPerCycle : 0;
    };
    PtyReader reader(link);
    reader.start();

    while (!stop.load()) {
        const bool busy = sim.busy();
        const auto timeout =
            options.fast && busy ? std::chrono::microseconds(0) : std::chrono::microseconds(1000);
        std::deque<PtyReader::Block> blocks = reader.take(timeout);

        const bool open = link.slaveOpen();
        if (open != wasOpen) {
            if (options.verbose)
                log(open ? "line: port opened" : "line: port closed");
            reopened = reopened || open;
            wasOpen = open;
        }
        const int baud = link.isOpen() ? link.slaveBaud() : sim.hostBaud();
        if (baud != sim.hostBaud() && options.verbose)
            log("line: port set to " + std::to_string(baud) + " baud");
        sim.setHostBaud(baud);

        for (const PtyReader::Block& block : blocks) {
            // A sync byte at the bootstrap rate after the port was reopened
            // or switched back to that rate is a new bootload: the user has
            // powered the controller up again in flash mode, as the editor
            // asks. (A close and reopen can be too quick to be seen.)
            const bool fresh = reopened || block.baud != lastChunkBaud;
            if (fresh && block.baud == EcmSim::kBootstrapBaud && block.bytes.front() == 0xFF &&
                sim.phase() != EcmSim::Phase::WaitingForSync)
                sim.powerCycle();
            reopened = false;
            lastChunkBaud = block.baud;

            // A real port sends a block before its write returns; on a
            // pseudo-terminal it returns at once, and the emulator may lag
            // behind the wall clock. So the pause the editor made since the
            // last thing that happened on the line (its previous block, or
            // our last answer) is kept after that event in emulated time:
            // a 50 ms settle after a page write stays 50 ms of EEPROM time.
            // Longer pauses are idle time either way and are not stretched.
            const Anchor ref = anchor();
            const auto pauseNs =
                std::chrono::duration_cast<std::chrono::nanoseconds>(block.arrived - ref.wall)
                    .count();
            const Picos pause = std::min<Picos>(
                pauseNs > 0 ? static_cast<Picos>(pauseNs) * 1000 : 0, kLongestKeptPause);
            const Picos earliest = ref.line + pause;
            for (std::uint8_t b : block.bytes)
                lastChunkEnd = sim.feedByteAt(b, block.baud, earliest);
            if (options.verbose) {
                char text[96];
                std::snprintf(
                    text, sizeof text, "line: %zu bytes at %d baud, on the wire until %.3f ms",
                    block.bytes.size(), block.baud, static_cast<double>(lastChunkEnd) / 1e9);
                log(text);
            }
            lastChunkWall = block.arrived;
        }

        // --fast: as far as there is work; real time: up to the wall clock.
        // Either way no further than the idle limit once the line is idle.
        std::uint64_t target = options.fast
                                   ? sim.cycles() + kFastChunkCycles
                                   : std::min(wallCycles(), sim.cycles() + kMaxCatchUpCycles);
        while (sim.cycles() < target) {
            if (!sim.busy()) {
                target = std::min(target, idleLimitCycles());
                if (sim.cycles() >= target)
                    break;
            }
            sim.run(std::min(kSliceCycles, target - sim.cycles()));
        }

        const std::vector<std::uint8_t> out = sim.takeOutput();
        if (!out.empty() && open) {
            link.write(out.data(), out.size());
            lastOutputWall = Clock::now();
            lastOutputLine = sim.nowPicos();
        }

        if (sim.hangupRequested() && link.isOpen() && !sim.busy()) {
            if (options.verbose)
                log("line: closing the pseudo-terminal");
            reader.stop();
            link.hangUp();
        }
    }

    if (options.savePath) {
        const std::string error =
            saveImage(*options.savePath, sim.eepromContents(image.base, image.bytes.size()));
        if (!error.empty()) {
            std::fprintf(stderr, "tevra-ecm-sim: %s\n", error.c_str());
            return 1;
        }
        if (options.verbose)
            log("saved " + *options.savePath);
    }
    return 0;
}

} // namespace tevra::sim
