// tevra-ecm-sim as a process on a pseudo-terminal, driven the way the
// editor drives a serial port: bootload at 1200, reopen at 9600, commands,
// and a saved image at the end.
#include "loader/LoaderImage.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tevra::sim::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> extra) {
        char pattern[] = "/tmp/tevra-pty-XXXXXX";
        dir_ = ::mkdtemp(pattern);
        image_.resize(0x4000);
        for (std::size_t i = 0; i < image_.size(); ++i)
            image_[i] = static_cast<std::uint8_t>(i ^ (i >> 7));
        std::ofstream(dir_ / "in.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(image_.data()),
                   static_cast<std::streamsize>(image_.size()));
        std::vector<std::string> args = {
            TEVRA_ECM_SIM,   "--image", (dir_ / "in.bin").string(), "--link",
            link().string(), "--save",  (dir_ / "out.bin").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        for (int i = 0; i < 500 && !fs::is_symlink(link()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~SimProcess() {
        closePort();
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path link() const { return dir_ / "ecm"; }
    const Bytes& image() const { return image_; }

    bool openPort(speed_t speed) {
        closePort();
        fd_ = ::open(link().c_str(), O_RDWR | O_NOCTTY);
        if (fd_ < 0)
            return false;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        return ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    }
    void closePort() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    bool lineGone() const {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 1000) > 0 && (p.revents & (POLLHUP | POLLERR));
    }
    void send(const Bytes& b) { ASSERT_EQ(::write(fd_, b.data(), b.size()), ssize_t(b.size())); }
    Bytes receive(std::size_t count, int timeoutMs = 10000) {
        Bytes got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                std::uint8_t buf[512];
                const ssize_t n = ::read(fd_, buf, sizeof buf);
                if (n > 0)
                    got.insert(got.end(), buf, buf + n);
            }
        }
        return got;
    }
    // SIGTERM, and the process's exit status.
    int stop() {
        closePort();
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Bytes saved() const {
        std::ifstream in(dir_ / "out.bin", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Reads `count` bytes from `address` until they come back as expected:
    // a page the emulator is still programming reads back wrong at first, and
    // on a busy machine the emulator may lag behind the editor's pauses.
    Bytes readUntil(std::uint16_t address, const Bytes& expected, int timeoutMs = 30000) {
        const auto count = static_cast<std::uint8_t>(expected.size());
        const Bytes frame = {0x01, count, static_cast<std::uint8_t>(address >> 8),
                             static_cast<std::uint8_t>(address)};
        Bytes answer = {0xFE};
        answer.insert(answer.end(), expected.begin(), expected.end());
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        Bytes got;
        do {
            send(frame);
            got = receive(answer.size(), 2000);
        } while (got != answer && std::chrono::steady_clock::now() < end);
        return got.empty() ? got : Bytes(got.begin() + 1, got.end());
    }

    void bootload() {
        ASSERT_TRUE(openPort(B1200));
        send(Bytes(tevra::kBootloaderImage.begin(), tevra::kBootloaderImage.end()));
        EXPECT_EQ(receive(256),
                  Bytes(tevra::kBootloaderImage.begin() + 1, tevra::kBootloaderImage.end()));
        closePort();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(openPort(B9600));
    }

private:
    fs::path dir_;
    Bytes image_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

TEST(SimOnPty, BootloadReadWriteAndSave) {
    SimProcess sim({"--fast"});
    ASSERT_TRUE(fs::is_symlink(sim.link()));
    sim.bootload();

    sim.send({0x01, 0x08, 0xC0, 0x00});
    Bytes expected = {0xFE};
    expected.insert(expected.end(), sim.image().begin(), sim.image().begin() + 8);
    EXPECT_EQ(sim.receive(9), expected);

    sim.send({0x51, 0x02, 0xC0, 0x10});
    EXPECT_EQ(sim.receive(1), Bytes{0xAE});
    sim.send({0x12, 0x34});
    EXPECT_EQ(sim.readUntil(0xC010, {0x12, 0x34}), (Bytes{0x12, 0x34}));

    // A second flash run: the user powers the controller up again and the
    // editor bootloads once more at 1200 baud.
    sim.closePort();
    sim.bootload();
    sim.send({0x01, 0x01, 0x00, 0x00});
    EXPECT_EQ(sim.receive(2), (Bytes{0xFE, tevra::kBootloaderImage[1]}));

    EXPECT_EQ(sim.stop(), 0);
    Bytes after = sim.image();
    after[0x10] = 0x12;
    after[0x11] = 0x34;
    EXPECT_EQ(sim.saved(), after);
}

TEST(SimOnPty, RealTimeKeepsWireTime) {
    // In real time the 257 bootstrap characters take their 2.14 s at 1200
    // baud, and a page written at the wire's pace is programmed.
    SimProcess sim({"--realtime"});
    const auto start = std::chrono::steady_clock::now();
    sim.bootload();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2100));

    sim.send({0x51, 0x40, 0xC0, 0x40});
    ASSERT_EQ(sim.receive(1), Bytes{0xAE});
    Bytes page(64);
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<std::uint8_t>(0x80 + i);
    sim.send(page);
    EXPECT_EQ(sim.readUntil(0xC040, page), page);
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimOnPty, EchoLineAnswersWithTheSameBytes) {
    SimProcess sim({"--fast", "--echo"});
    ASSERT_TRUE(sim.openPort(B9600));
    sim.send({0x01, 0x01, 0x00, 0x00});
    EXPECT_EQ(sim.receive(4), (Bytes{0x01, 0x01, 0x00, 0x00}));
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimOnPty, HangupClosesTheLine) {
    SimProcess sim({"--fast", "--hangup-after", "1"});
    sim.bootload();
    sim.send({0x01, 0x08, 0xC0, 0x00});
    EXPECT_EQ(sim.receive(9, 2000), Bytes{0xFE});
    EXPECT_TRUE(sim.lineGone()) << "the port reports a hang-up";
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimOnPty, RefusesAnImageThatIsNoRegularFileOfSaneSize) {
    // A folder aborted the emulator, a FIFO hung it and /dev/zero fed it without end:
    // each now ends it with a message (the time-out turns a hang into a failure).
    const fs::path dir =
        fs::temp_directory_path() / ("tevra-sim-image-" + std::to_string(::getpid()));
    fs::create_directories(dir / "folder.bin");
    ASSERT_EQ(::mkfifo((dir / "fifo.bin").c_str(), 0600), 0);
    std::ofstream((dir / "big.bin").string(), std::ios::binary) << std::string(0x8001, '\0');
    const struct {
        std::string image;
        std::string message;
    } cases[] = {
        {"/nonexistent.bin", "cannot read /nonexistent.bin"},
        {(dir / "folder.bin").string(), "folder.bin is not a regular file"},
        {(dir / "fifo.bin").string(), "fifo.bin is not a regular file"},
        {"/dev/zero", "/dev/zero is not a regular file"},
        {(dir / "big.bin").string(), "big.bin: an image holds 1 to 32768 bytes"},
    };
    for (const auto& c : cases) {
        const std::string command = "timeout 60 " + std::string(TEVRA_ECM_SIM) + " --image " +
                                    c.image + " --link " + (dir / "link").string() + " 2>" +
                                    (dir / "err").string();
        EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1) << c.image;
        std::ifstream err(dir / "err");
        const std::string text{std::istreambuf_iterator<char>(err), {}};
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace tevra::sim::test
