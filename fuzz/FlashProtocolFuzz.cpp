// The flash operation fed random controller answers: it ends, never crashes,
// and never reports a transfer it did not make.
#include "Calibration.h"
#include "FlashOperation.h"

#include <cstdlib>
#include <deque>

using namespace tevra;

namespace {

struct Input {
    const std::uint8_t* p;
    std::size_t n;
    bool empty() const { return n == 0; }
    int byte() {
        if (n == 0)
            return 0;
        --n;
        return *p++;
    }
};

// Time moves on every look, so no loop can wait forever.
class FuzzClock final : public Clock {
public:
    std::int64_t nowMs() override { return now++; }
    void sleepMs(int ms) override { now += ms; }
    std::int64_t now = 0;
};

// Every wait for an answer takes the next few bytes of the input as what the
// controller sent; once the input is used up, the line is silent.
class FuzzChannel final : public Channel {
public:
    FuzzChannel(Input& in, FuzzClock& clock) : in_(in), clock_(clock) {}
    void setBaudRate(int baud) override { baud_ = baud; }
    int baudRate() const override { return baud_; }
    bool Open() override {
        rx_.clear();
        return in_.byte() != 0xEE;
    }
    bool Close() override { return true; }
    void Send(const std::uint8_t*, std::size_t length) override { sent_ += length; }
    int RxCount() const override { return static_cast<int>(rx_.size()); }
    std::uint8_t RxPop() override {
        if (rx_.empty())
            return 0;
        auto b = rx_.front();
        rx_.pop_front();
        return b;
    }
    void RxFlush() override { rx_.clear(); }
    bool waitForRx(int timeoutMs) override {
        if (!rx_.empty())
            return true;
        if (in_.empty()) {
            clock_.sleepMs(timeoutMs);
            return false;
        }
        const int burst = 1 + in_.byte() % 8;
        for (int i = 0; i < burst && !in_.empty(); ++i)
            rx_.push_back(static_cast<std::uint8_t>(in_.byte()));
        return true;
    }

private:
    Input& in_;
    FuzzClock& clock_;
    int baud_ = 9600;
    std::size_t sent_ = 0;
    std::deque<std::uint8_t> rx_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    FlashSettings settings;
    const int choice = in.byte();
    settings.operation = static_cast<FlashOperationKind>(choice % 3);
    settings.size = (choice & 4) ? FlashSize::Size32K : FlashSize::Size16K;
    settings.ecmType = static_cast<EcmType>((choice >> 3) % 3);
    settings.verify = (choice & 0x40) != 0;
    settings.flashSpeed = in.byte() % 101;

    Calibration cal;
    std::vector<std::uint8_t> image(0x4000);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    cal.SetImage(image);
    LastFlashCopy last;
    if (choice & 0x80)
        last = std::vector<std::uint8_t>(image.size() - ((choice & 0x20) ? 1 : 0), 0x00);

    FuzzClock clock;
    FuzzChannel channel(in, clock);
    SilentPrompter prompter;
    FlashProgress progress;
    FlashOperation op(channel, clock, prompter, progress);
    const FlashResult result = op.run(settings, cal, last);
    if (result.verify == VerifyOutcome::Matched && !settings.verify)
        std::abort();
    if (settings.operation == FlashOperationKind::Read &&
        result.outcome == FlashOutcome::Completed && result.transferOk && !cal.hasImage())
        std::abort();
    return 0;
}
