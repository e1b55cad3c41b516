#include "FlashRunner.h"

#include "Calibration.h"
#include "GuiThreadPrompter.h"
#include "QueuedFlashProgress.h"
#include "SerialCom.h"
#include "SteadyClock.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <atomic>
#include <thread>

namespace tevra {

namespace {

std::shared_ptr<Channel> openSerialPort(const std::string& device) {
    auto port = std::make_shared<SerialCom>();
    // A port without a device fails to open, which the operation reports.
    port->setDevicePath(device);
    return port;
}

} // namespace

FlashResult FlashRunner::run(const Job& job, Calibration& calibration, LastFlashCopy& lastFlash) {
    std::atomic<bool> stop{false};
    QEventLoop loop;
    GuiThreadPrompter prompter(*job.prompter, &loop, stop);
    QueuedFlashProgress progress(*job.status, job.over);
    bool finished = false; // GUI thread only
    FlashResult result;

    std::thread worker([&] {
        const ChannelFactory& open = job.openChannel ? job.openChannel : openSerialPort;
        std::shared_ptr<Channel> channel = open(job.device);
        SteadyClock wallClock;
        Clock& clock = job.clock ? *job.clock : wallClock;
        FlashOperation operation(*channel, clock, prompter, progress, &stop);
        result = operation.run(job.settings, calibration, lastFlash);
        channel.reset(); // the port closes on the thread that used it
        // Posted after every progress update, so it is delivered after them.
        QMetaObject::invokeMethod(
            &loop,
            [&] {
                finished = true;
                loop.quit();
            },
            Qt::QueuedConnection);
    });

    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        // The application is quitting (its exit ends every loop): stop the
        // operation and let it wind down, still answering what it has in flight.
        stop.store(true);
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
    }
    worker.join();
    return result;
}

} // namespace tevra
