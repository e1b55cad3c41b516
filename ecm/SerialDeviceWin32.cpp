#include "SerialDevice.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <algorithm>
#include <chrono>
#include <windows.h>

namespace tevra {

namespace {

// Driver queue sizes: a whole bootload or command answer fits in either.
constexpr DWORD kQueueBytes = 8192;
constexpr DWORD kPurgeBoth = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

bool supportedBaud(int baud) {
    switch (baud) {
    case 300:
    case 600:
    case 1200:
    case 2400:
    case 4800:
    case 9600:
    case 19200:
    case 38400:
    case 57600:
    case 115200:
        return true;
    default:
        return false;
    }
}

// "COM10" and above open only through the device namespace; the prefix is
// harmless for COM1..COM9, so every bare name gets it.
std::string deviceName(const std::string& path) {
    if (path.find('\\') != std::string::npos) {
        return path;
    }
    return "\\\\.\\" + path;
}

HANDLE asHandle(void* h) {
    return static_cast<HANDLE>(h);
}

void closeHandle(void*& h) {
    if (h != nullptr) {
        ::CloseHandle(asHandle(h));
        h = nullptr;
    }
}

// Manual-reset, initially unsignalled.
void* newEvent() {
    return ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

int characterTimeMs(int baud) {
    return baud > 0 ? (10'000 + baud - 1) / baud : 1;
}

// Clears a pending line error (which would otherwise stall the port) and
// reports the queue counts; false when the device no longer answers.
bool commStatus(HANDLE h, COMSTAT& status) {
    DWORD errors = 0;
    status = COMSTAT{};
    return ::ClearCommError(h, &errors, &status) != FALSE;
}

// Waits for an overlapped operation that must end before its record goes out
// of scope; the caller has already cancelled it if it should not finish.
DWORD finish(HANDLE h, OVERLAPPED& ov, bool& ok) {
    DWORD count = 0;
    ok = ::GetOverlappedResult(h, &ov, &count, TRUE) != FALSE;
    return count;
}

} // namespace

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

bool SerialDevice::isOpen() const {
    return handle_ != nullptr;
}

bool SerialDevice::open(const std::string& path, int baud) {
    close();
    if (!supportedBaud(baud) || path.empty()) {
        return false;
    }
    // Not shared: a second opener is refused while this one holds the port.
    HANDLE h = ::CreateFileA(deviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = h;

    // None of these decides the outcome: a driver that refuses them still moves bytes.
    (void)::SetCommMask(h, EV_RXCHAR);
    (void)::SetupComm(h, kQueueBytes, kQueueBytes);
    purge();
    // A read returns at once with what has arrived; waiting is done on the
    // character event instead. Writes have no driver limit: write() enforces
    // its own per call and cancels what is left.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    (void)::SetCommTimeouts(h, &timeouts);

    wakeEvent_ = newEvent();
    commEvent_ = newEvent();
    readEvent_ = newEvent();
    writeEvent_ = newEvent();
    if (wakeEvent_ == nullptr || commEvent_ == nullptr || readEvent_ == nullptr ||
        writeEvent_ == nullptr) {
        close();
        return false;
    }

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) {
        close();
        return false;
    }
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 100;
    dcb.XoffLim = 100;
    // A line error must not stall every later read and write until it is cleared.
    dcb.fAbortOnError = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    if (!::SetCommState(h, &dcb)) {
        close();
        return false;
    }
    hungUp_ = false;
    baud_ = baud;

    (void)::EscapeCommFunction(h, SETDTR);
    return true;
}

void SerialDevice::purge() {
    (void)::PurgeComm(asHandle(handle_), kPurgeBoth);
}

void SerialDevice::close() {
    if (handle_ != nullptr) {
        (void)::EscapeCommFunction(asHandle(handle_), CLRDTR);
        purge();
    }
    closeHandle(handle_);
    closeHandle(wakeEvent_);
    closeHandle(commEvent_);
    closeHandle(readEvent_);
    closeHandle(writeEvent_);
}

std::size_t SerialDevice::waitAndRead(std::uint8_t* buffer, std::size_t max) {
    if (handle_ == nullptr || max == 0) {
        return 0;
    }
    HANDLE h = asHandle(handle_);
    HANDLE wake = asHandle(wakeEvent_);
    if (::WaitForSingleObject(wake, 0) == WAIT_OBJECT_0) {
        return 0; // woken: the caller re-checks whether it should go on
    }
    if (hungUp_) {
        // The device fails every call now; asking it again would spin.
        (void)::WaitForSingleObject(wake, INFINITE);
        return 0;
    }

    COMSTAT status{};
    if (!commStatus(h, status)) {
        hungUp_ = true;
        return 0;
    }
    // Bytes that arrived since the last read are taken without waiting for an
    // event that may already have been reported.
    if (status.cbInQue == 0) {
        OVERLAPPED ov{};
        ov.hEvent = asHandle(commEvent_);
        ::ResetEvent(ov.hEvent);
        DWORD events = 0;
        if (!::WaitCommEvent(h, &events, &ov)) {
            if (::GetLastError() != ERROR_IO_PENDING) {
                hungUp_ = true;
                return 0;
            }
            HANDLE both[2] = {wake, ov.hEvent};
            const DWORD which = ::WaitForMultipleObjects(2, both, FALSE, INFINITE);
            bool ok = false;
            if (which != WAIT_OBJECT_0 + 1) {
                ::CancelIo(h);
                (void)finish(h, ov, ok);
                return 0;
            }
            (void)finish(h, ov, ok);
            if (!ok) {
                // A mask change ends the wait with an abort; anything else is the device gone.
                if (::GetLastError() != ERROR_OPERATION_ABORTED) {
                    hungUp_ = true;
                }
                return 0;
            }
        }
        if ((events & EV_RXCHAR) == 0 || !commStatus(h, status) || status.cbInQue == 0) {
            return 0;
        }
    }

    const DWORD want =
        static_cast<DWORD>(std::min<std::size_t>({max, status.cbInQue, std::size_t{MAXDWORD}}));
    OVERLAPPED ov{};
    ov.hEvent = asHandle(readEvent_);
    ::ResetEvent(ov.hEvent);
    if (!::ReadFile(h, buffer, want, nullptr, &ov) && ::GetLastError() != ERROR_IO_PENDING) {
        if (!commStatus(h, status)) {
            hungUp_ = true;
        }
        return 0;
    }
    // The read timeouts make it complete at once with what is there.
    bool ok = false;
    const DWORD got = finish(h, ov, ok);
    if (!ok && !commStatus(h, status)) {
        hungUp_ = true;
    }
    return got;
}

void SerialDevice::wake() {
    if (wakeEvent_ != nullptr) {
        ::SetEvent(asHandle(wakeEvent_));
    }
}

void SerialDevice::write(const std::uint8_t* bytes, std::size_t n, int timeLimitMs) {
    using namespace std::chrono;
    if (handle_ == nullptr) {
        return;
    }
    HANDLE h = asHandle(handle_);
    const auto deadline = steady_clock::now() + milliseconds(std::max(0, timeLimitMs));
    const auto msLeft = [&deadline] {
        return std::max<long long>(
            0, duration_cast<milliseconds>(deadline - steady_clock::now()).count());
    };
    // Over the limit the rest is dropped, as a driver write timeout would.
    const auto dropRest = [h] { (void)::PurgeComm(h, PURGE_TXABORT | PURGE_TXCLEAR); };

    std::size_t done = 0;
    while (done < n) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, MAXDWORD));
        OVERLAPPED ov{};
        ov.hEvent = asHandle(writeEvent_);
        ::ResetEvent(ov.hEvent);
        if (!::WriteFile(h, bytes + done, chunk, nullptr, &ov) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            COMSTAT status{};
            (void)commStatus(h, status);
            return; // the protocol sees it as a missing answer
        }
        bool ok = false;
        if (::WaitForSingleObject(ov.hEvent, static_cast<DWORD>(msLeft())) != WAIT_OBJECT_0) {
            ::CancelIo(h);
            dropRest();
            (void)finish(h, ov, ok);
            return;
        }
        const DWORD put = finish(h, ov, ok);
        if (!ok || put == 0) {
            COMSTAT status{};
            (void)commStatus(h, status);
            return;
        }
        done += put;
    }

    // A write completes when its bytes have left, as a close right after it
    // would otherwise purge what a driver still holds in its own queue.
    for (;;) {
        COMSTAT status{};
        if (!commStatus(h, status) || status.cbOutQue == 0) {
            return;
        }
        const long long left = msLeft();
        if (left <= 0) {
            dropRest();
            return;
        }
        const long long wire = static_cast<long long>(status.cbOutQue) * characterTimeMs(baud_);
        ::Sleep(static_cast<DWORD>(std::max(1LL, std::min(left, wire))));
    }
}

} // namespace tevra
