#include "FlashDialog.h"

#include "FakeClock.h"
#include "FlashStatusWindow.h"
#include "MainWindow.h"
#include "ScriptedEcm.h"
#ifdef TEVRA_ECM_SIM
#include "SimulatedEcm.h"
#endif

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

using namespace tevra;
using tevra::test::FakeClock;
using tevra::test::ScriptedEcm;

namespace {

// Records every message as "caption: text", checks that each arrives on the GUI
// thread, and answers questions from a script (No when it runs out).
class GuiPrompter final : public AppPrompter {
public:
    QStringList shown;
    std::deque<bool> answers;
    std::deque<Answer> saveAnswers; // for Yes/No/Cancel; No when it runs out
    bool offGuiThread = false;
    // Runs inside a message, while the operation waits for it.
    std::function<void(const QString&)> during;

    void message(const std::string& text, const std::string& caption) override {
        note(text, caption);
        if (during)
            during(QString::fromStdString(text));
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        note(text, caption);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override {
        note(text, caption);
        if (saveAnswers.empty())
            return Answer::No;
        const Answer a = saveAnswers.front();
        saveAnswers.pop_front();
        return a;
    }

private:
    void note(const std::string& text, const std::string& caption) {
        if (QThread::currentThread() != qApp->thread())
            offGuiThread = true;
        shown << QString::fromStdString(caption + ": " + text);
    }
};

std::vector<std::uint8_t> pattern(int length, int seed) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + seed + (i >> 8));
    return bytes;
}

const QString kBootload = QStringLiteral("Bootload: Power on ECM in flash mode (key at run)");
const QString kMatches = QStringLiteral("Verify: Calibration matches memory contents.");
const QString kWarning = QStringLiteral("Warning: This will delete current calibration. Proceed?");
const QString kSaveFirst =
    QStringLiteral("Save Changes: You have unsaved changes. \n\nSave before loading another?");

// A start-up folder whose Config.cfg reopens a 16K calibration with two
// entries, and maps "COM 1" to `device`.
void writeStartupFolder(const QTemporaryDir& dir, const std::vector<std::uint8_t>& image,
                        const QString& device = QString()) {
    const QString bin = dir.filePath(QStringLiteral("cal.bin"));
    QFile b(bin);
    b.open(QIODevice::WriteOnly);
    b.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
    b.close();
    QFile t(dir.filePath(QStringLiteral("cal.tbl")));
    t.open(QIODevice::WriteOnly);
    t.write("C000\nTest\nTevra\ninjectors 33.0\nboost 12.0\nmap 2.0\nchecksum n 0000 0000\n"
            "C100 0 n First X 0 255 u Y 0 255 u F First.\n"
            "C200 0 n Second X 0 255 u Y 0 255 u S Second.\n");
    t.close();
    QFile config(dir.filePath(QStringLiteral("Config.cfg")));
    config.open(QIODevice::WriteOnly);
    config.write(QFile::encodeName(bin) + "\nreload_last y\nhide_mouse n\nflash_speed 100\n");
    if (!device.isEmpty())
        config.write("port1 " + QFile::encodeName(device) + "\n");
    config.close();
}

// Drives the Flash dialog the way a user does, with mouse clicks, while the
// main window runs it with exec: OK once, then Cancel when it is back.
struct ClickThrough {
    bool backAfterFailure = false;
    bool clickedOk = false;

    explicit ClickThrough(const GuiPrompter& prompter, const QString& failure) {
        QElapsedTimer clock;
        clock.start();
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this, &prompter, failure, clock] {
            auto* d = qobject_cast<FlashDialog*>(QApplication::activeModalWidget());
            if (clock.elapsed() > 120000 && QApplication::activeModalWidget()) {
                QApplication::activeModalWidget()->close(); // never hang the suite
                return;
            }
            if (!d || !d->isVisible())
                return;
            if (!clickedOk) {
                clickedOk = true;
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("okButton")),
                                  Qt::LeftButton);
            } else if (prompter.shown.contains(failure)) {
                backAfterFailure = true;
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                                  Qt::LeftButton);
            }
        });
        timer.start();
    }
    QTimer timer;
};

// The calibration, the last-flash copy and an in-process controller on "COM 1".
struct Rig {
    Calibration cal;
    LastFlashCopy last;
    FakeClock clock;
    std::shared_ptr<ScriptedEcm> ecm = std::make_shared<ScriptedEcm>(clock);
    GuiPrompter prompter;
    QStringList events; // "close" and "open <device>", in order

    void load(std::vector<std::uint8_t> image, int base = 0xC000) {
        cal.baseAddress = base;
        cal.SetImage(std::move(image));
        cal.imagePath = "/tmp/loaded.bin";
    }
    void putInController(int base, const std::vector<std::uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), ecm->memory.begin() + base);
    }
    FlashContext context() {
        FlashContext c;
        c.calibration = &cal;
        c.lastFlash = &last;
        c.prompter = &prompter;
        c.ports.devices = {"/dev/test-ecm", "", "", ""};
        c.closeCalibration = [this] {
            events << QStringLiteral("close");
            cal.Clear();
        };
        // Called on the worker thread; events is read only after the run.
        c.openChannel = [this](const std::string& device) -> std::shared_ptr<Channel> {
            events << QStringLiteral("open ") + QString::fromStdString(device);
            return ecm;
        };
        c.clock = &clock;
        return c;
    }
};

template <typename W> W* child(QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void choose(FlashDialog& d, const char* button) {
    child<QRadioButton>(d, button)->click();
}

// What the Flash Status window showed during a run.
struct StatusLog {
    QStringList texts;
    int largestRange = 0;
    int largestPosition = 0;
    bool shownWithText = true;

    explicit StatusLog(FlashStatusWindow& status) {
        QObject::connect(&status, &FlashStatusWindow::statusTextChanged, &status,
                         [this, &status](const QString& t) {
                             texts << t;
                             if (t != QStringLiteral("Status") && !status.isVisible())
                                 shownWithText = false;
                         });
        auto* bar = status.findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QObject::connect(bar, &QProgressBar::valueChanged, &status, [this, bar](int v) {
            largestPosition = std::max(largestPosition, v);
            largestRange = std::max(largestRange, bar->maximum());
        });
    }
};

} // namespace

class FlashDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheOperationsTheStateAllows_data();
    void opensWithTheOperationsTheStateAllows();
    void choosingAnOperationSwitchesVerifyAndSize();
    void portButtonsShowTheirDevicesAndTheMapCanBeChanged();
    void readWarningAnsweredNoChangesNothing();
    void differentialWriteWithVerifyShowsProgressAndKeepsTheCopy();
    void readReplacesTheCalibration_data();
    void readReplacesTheCalibration();
    void outcomesDecideTheLastFlashCopy_data();
    void outcomesDecideTheLastFlashCopy();
    void mainWindowCannotCloseWhileFlashing();
    void mainWindowShowsTheCalibrationRead();
    void writesSendAndShowTheChecksumFixUp();
    void readOffersToSaveUnsavedChangesFirst_data();
    void readOffersToSaveUnsavedChangesFirst();
    void afterAFailedConnectionTheWindowsAnswerTheMouse_data();
    void afterAFailedConnectionTheWindowsAnswerTheMouse();
};

void FlashDialogTest::opensWithTheOperationsTheStateAllows_data() {
    QTest::addColumn<bool>("image");
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("fullWrite");
    QTest::addColumn<bool>("differentialWrite");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<bool>("sizes");
    QTest::newRow("no image") << false << false << "readButton" << false << false << false << true;
    // A copy without an image (left from before a close) must not offer a write.
    QTest::newRow("no image, copy")
        << false << true << "readButton" << false << false << false << true;
    QTest::newRow("image, no copy")
        << true << false << "fullWriteButton" << true << false << true << false;
    QTest::newRow("image and copy")
        << true << true << "differentialWriteButton" << true << true << true << false;
}

void FlashDialogTest::opensWithTheOperationsTheStateAllows() {
    QFETCH(bool, image);
    QFETCH(bool, copy);
    Rig rig;
    if (image)
        rig.load(pattern(0x4000, 1));
    if (copy)
        rig.last = pattern(0x4000, 1);
    FlashDialog d(rig.context());
    QFETCH(QString, selected);
    QVERIFY(child<QRadioButton>(d, selected.toLatin1().constData())->isChecked());
    QTEST(child<QRadioButton>(d, "fullWriteButton")->isEnabled(), "fullWrite");
    QTEST(child<QRadioButton>(d, "differentialWriteButton")->isEnabled(), "differentialWrite");
    QTEST(child<QCheckBox>(d, "verifyBox")->isEnabled(), "verify");
    QVERIFY(child<QCheckBox>(d, "verifyBox")->isChecked());
    QTEST(child<QRadioButton>(d, "size16KButton")->isEnabled(), "sizes");
    QTEST(child<QRadioButton>(d, "size32KButton")->isEnabled(), "sizes");
    QVERIFY(child<QRadioButton>(d, "size16KButton")->isChecked());
    // SMEC is the only type on offer; COM 1 is the port.
    QVERIFY(child<QRadioButton>(d, "smecButton")->isChecked());
    QVERIFY(!child<QRadioButton>(d, "lmButton")->isEnabled());
    QVERIFY(!child<QRadioButton>(d, "sbecButton")->isEnabled());
    QVERIFY(child<QRadioButton>(d, "com1Button")->isChecked());
    QCOMPARE(d.windowTitle(), QStringLiteral("Flash"));
}

void FlashDialogTest::choosingAnOperationSwitchesVerifyAndSize() {
    Rig rig;
    rig.load(pattern(0x4000, 1));
    FlashDialog d(rig.context());
    auto* verify = child<QCheckBox>(d, "verifyBox");
    auto* size = child<QRadioButton>(d, "size32KButton");
    choose(d, "readButton");
    QVERIFY(!verify->isEnabled());
    QVERIFY(size->isEnabled());
    choose(d, "fullWriteButton");
    QVERIFY(verify->isEnabled());
    QVERIFY(!size->isEnabled());
}

void FlashDialogTest::portButtonsShowTheirDevicesAndTheMapCanBeChanged() {
    Rig rig;
    rig.putInController(0xC000, pattern(0x4000, 5));
    FlashContext context = rig.context();
    context.askPorts = [](const PortMap& shown) {
        PortMap m = shown;
        m.devices[1] = "/tmp/tevra-ecm";
        return std::optional<PortMap>(m);
    };
    FlashDialog d(std::move(context));
    QCOMPARE(child<QRadioButton>(d, "com1Button")->text(), QStringLiteral("COM &1  test-ecm"));
    QCOMPARE(child<QRadioButton>(d, "com2Button")->text(), QStringLiteral("COM &2  (none)"));
    QVERIFY(!d.portsChanged());
    child<QPushButton>(d, "portsButton")->click();
    QVERIFY(d.portsChanged());
    QCOMPARE(d.ports().devices[1], std::string("/tmp/tevra-ecm"));
    QCOMPARE(child<QRadioButton>(d, "com2Button")->text(), QStringLiteral("COM &2  tevra-ecm"));
    QCOMPARE(child<QRadioButton>(d, "com2Button")->toolTip(), QStringLiteral("/tmp/tevra-ecm"));

    // The chosen button's device is the one opened.
    choose(d, "com2Button");
    d.show();
    d.accept();
    QCOMPARE(rig.events, QStringList{QStringLiteral("open /tmp/tevra-ecm")});
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void FlashDialogTest::readWarningAnsweredNoChangesNothing() {
    Rig rig;
    const auto image = pattern(0x4000, 1);
    rig.load(image);
    rig.prompter.answers = {false};
    FlashDialog d(rig.context());
    choose(d, "readButton");
    d.show();
    d.accept();
    QCOMPARE(rig.prompter.shown, QStringList{kWarning});
    QVERIFY(d.isVisible());
    QVERIFY(d.result() != QDialog::Accepted);
    QVERIFY(rig.events.isEmpty());
    QVERIFY(rig.cal.image() == image);
    QCOMPARE(rig.cal.imagePath, std::string("/tmp/loaded.bin"));
}

void FlashDialogTest::differentialWriteWithVerifyShowsProgressAndKeepsTheCopy() {
    Rig rig;
    const auto flashed = pattern(0x4000, 3);
    rig.putInController(0xC000, flashed);
    rig.last = flashed;
    auto edited = flashed;
    for (int offset : {0x10, 0x11, 0x3FFF})
        edited[static_cast<std::size_t>(offset)] ^= 0x5A;
    rig.load(edited);

    FlashDialog d(rig.context());
    StatusLog log(d.status());
    d.show();
    d.accept();

    QCOMPARE(rig.prompter.shown, (QStringList{kBootload, kMatches}));
    QVERIFY(!rig.prompter.offGuiThread);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(rig.last.has_value() && *rig.last == edited);
    QVERIFY(std::equal(edited.begin(), edited.end(), rig.ecm->memory.begin() + 0xC000));
    QCOMPARE(rig.ecm->commandsWith(0x51).size(), std::size_t(3));

    QVERIFY(log.texts.size() > 3);
    QCOMPARE(log.texts[1], QStringLiteral("Bootloading ECM..."));
    QVERIFY(log.texts.contains(QStringLiteral("Writing C010...")));
    QVERIFY(log.texts.contains(QStringLiteral("Writing FFFF...")));
    QCOMPARE(log.texts.back(), QStringLiteral("Reading FFC0..."));
    QVERIFY(log.shownWithText);
    QCOMPARE(log.largestRange, 0x4000);
    QVERIFY(log.largestPosition >= 0x3F00);
    QVERIFY(!d.status().isVisible());
    QVERIFY(d.status().windowFlags() & Qt::CustomizeWindowHint);
    QVERIFY(!(d.status().windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!d.status().close());
}

void FlashDialogTest::readReplacesTheCalibration_data() {
    QTest::addColumn<bool>("image");
    QTest::addColumn<bool>("size32K");
    QTest::addColumn<int>("base");
    QTest::newRow("nothing loaded, 16K") << false << false << 0xC000;
    QTest::newRow("loaded, confirmed, 32K") << true << true << 0x8000;
}

void FlashDialogTest::readReplacesTheCalibration() {
    QFETCH(bool, image);
    QFETCH(bool, size32K);
    QFETCH(int, base);
    Rig rig;
    const auto memory = pattern(0x10000 - base, 9);
    rig.putInController(base, memory);
    if (image) {
        rig.load(pattern(0x4000, 1));
        rig.last = rig.cal.image();
        rig.prompter.answers = {true};
    }
    FlashDialog d(rig.context());
    choose(d, "readButton");
    if (size32K)
        choose(d, "size32KButton");
    d.show();
    d.accept();

    QStringList expected{kBootload};
    if (image)
        expected.prepend(kWarning);
    QCOMPARE(rig.prompter.shown, expected);
    // The calibration is closed before the line is opened.
    QCOMPARE(rig.events.first(),
             image ? QStringLiteral("close") : QStringLiteral("open /dev/test-ecm"));
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(rig.cal.hasImage());
    QCOMPARE(rig.cal.baseAddress, base);
    QVERIFY(rig.cal.image() == memory);
    QCOMPARE(rig.cal.imagePath, std::string("EPROM Dump.bin"));
    QVERIFY(!rig.last.has_value());
}

enum class Copy { Kept, Unchanged, Discarded };

void FlashDialogTest::outcomesDecideTheLastFlashCopy_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<bool>("differential");
    QTest::addColumn<QString>("lastMessage");
    QTest::addColumn<int>("copy");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("verified") << "" << true << false << kMatches << int(Copy::Kept) << false;
    QTest::newRow("not verified") << "" << false << false << kBootload << int(Copy::Discarded)
                                  << false;
    QTest::newRow("mismatch") << "noSdp" << true << false
                              << "Verify Error: Calibration DOES NOT match memory contents!\n "
                                 "Address = 0xC000, Cal = 0x03, Verify = 0xFF"
                              << int(Copy::Discarded) << false;
    QTest::newRow("port fails") << "failOpen" << true << false
                                << "Com Error: Failed to open COM port!" << int(Copy::Unchanged)
                                << true;
    QTest::newRow("no loader") << "deaf" << true << false
                               << "Connection Error: Could not connect to ECM!"
                               << int(Copy::Unchanged) << true;
    QTest::newRow("size mismatch")
        << "shortCopy" << true << true
        << "Error: Size of last flash does not match current binary!\nPlease do a Full Write."
        << int(Copy::Unchanged) << true;
}

void FlashDialogTest::outcomesDecideTheLastFlashCopy() {
    QFETCH(QString, fault);
    QFETCH(bool, verify);
    QFETCH(bool, differential);
    Rig rig;
    const auto image = pattern(0x4000, 3);
    rig.load(image);
    const std::vector<std::uint8_t> before =
        fault == QStringLiteral("shortCopy") ? pattern(0x2000, 4) : pattern(0x4000, 4);
    if (differential)
        rig.last = before;
    rig.ecm->noSdp = fault == QStringLiteral("noSdp");
    rig.ecm->failOpen = fault == QStringLiteral("failOpen");
    rig.ecm->deaf = fault == QStringLiteral("deaf");

    FlashDialog d(rig.context());
    if (!differential) {
        // A copy the user does not write against, so that "unchanged" shows.
        rig.last = before;
        choose(d, "fullWriteButton");
    }
    if (!verify)
        child<QCheckBox>(d, "verifyBox")->click();
    StatusLog log(d.status());
    d.show();
    d.accept();

    QTEST(rig.prompter.shown.back(), "lastMessage");
    QVERIFY(!rig.prompter.offGuiThread);
    QFETCH(int, copy);
    switch (static_cast<Copy>(copy)) {
    case Copy::Kept:
        QVERIFY(rig.last.has_value() && *rig.last == image);
        break;
    case Copy::Unchanged:
        QVERIFY(rig.last.has_value() && *rig.last == before);
        break;
    case Copy::Discarded:
        QVERIFY(!rig.last.has_value());
        break;
    }
    QFETCH(bool, staysOpen);
    QCOMPARE(d.isVisible(), staysOpen);
    QCOMPARE(d.result() != QDialog::Accepted, staysOpen);
    QVERIFY(!d.status().isVisible());
    // A port that does not open never shows the status window.
    if (fault == QStringLiteral("failOpen"))
        QVERIFY(log.texts.isEmpty());
    QVERIFY(rig.cal.image() == image);
}

void FlashDialogTest::mainWindowCannotCloseWhileFlashing() {
    Rig rig;
    rig.load(pattern(0x4000, 3));
    QWidget owner;
    owner.show();
    bool closedDuringRun = true;
    rig.prompter.during = [&](const QString& text) {
        if (text.startsWith(QStringLiteral("Calibration matches")))
            closedDuringRun = owner.close();
    };
    FlashDialog d(rig.context(), &owner);
    d.show();
    d.accept();
    QCOMPARE(rig.prompter.shown.back(), kMatches);
    QVERIFY(!closedDuringRun);
    QVERIFY(owner.isVisible());
    QVERIFY(owner.close());
}

void FlashDialogTest::mainWindowShowsTheCalibrationRead() {
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("Config.cfg")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("\nreload_last n\nhide_mouse n\nflash_speed 40\n");
    config.close();
    FakeClock clock;
    auto ecm = std::make_shared<ScriptedEcm>(clock);
    const auto memory = pattern(0x4000, 7);
    std::copy(memory.begin(), memory.end(), ecm->memory.begin() + 0xC000);
    GuiPrompter prompter;
    MainWindowServices services;
    services.startupFolder = dir.path();
    services.prompter = &prompter;
    services.openFlashChannel = [ecm](const std::string&) -> std::shared_ptr<Channel> {
        return ecm;
    };
    services.flashClock = &clock;
    int flashSpeed = -1;
    services.runFlash = [&](FlashDialog& d) {
        flashSpeed = d.settings().flashSpeed;
        d.show();
        d.accept();
    };
    MainWindow window(services);
    window.initialise();
    window.onFlash();

    QCOMPARE(flashSpeed, 40);
    QCOMPARE(prompter.shown, QStringList{kBootload});
    QVERIFY(window.primary().image() == memory);
    QCOMPARE(window.shownTitle(), QStringLiteral("Tevra  EPROM Dump.bin"));
    QVERIFY(!window.lastFlashCopy().has_value());
    window.close();
    // The dump was never saved: the next start must not try to open it.
    QVERIFY(config.open(QIODevice::ReadOnly));
    QCOMPARE(config.readLine(), QByteArray("\n"));
}

// With fix-up on, the controller, the open calibration and the last-flash copy
// all hold the image as a save would write it.
void FlashDialogTest::writesSendAndShowTheChecksumFixUp() {
    Rig rig;
    rig.load(pattern(0x4000, 3));
    rig.cal.checksumEnabled = true;
    rig.cal.checksumAddress = 0xC0FE;
    rig.cal.fixupAddress = 0xC0FF;
    FlashDialog d(rig.context());
    d.show();
    d.accept();
    QCOMPARE(rig.prompter.shown.back(), kMatches);
    const std::vector<std::uint8_t> memory(rig.ecm->memory.begin() + 0xC000, rig.ecm->memory.end());
    unsigned sum = 0;
    for (std::uint8_t b : memory)
        sum += b;
    QCOMPARE(sum & 0xFF, 0xFFu);
    QVERIFY(rig.cal.image() == memory);
    QVERIFY(rig.last.has_value() && *rig.last == memory);
}

void FlashDialogTest::readOffersToSaveUnsavedChangesFirst_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("read");
    QTest::newRow("cancel") << int(AppPrompter::Answer::Cancel) << QStringList{kSaveFirst} << false;
    QTest::newRow("no") << int(AppPrompter::Answer::No)
                        << QStringList{kSaveFirst, kWarning, kBootload} << true;
}

void FlashDialogTest::readOffersToSaveUnsavedChangesFirst() {
    QFETCH(int, answer);
    QTemporaryDir dir;
    const auto image = pattern(0x4000, 2);
    writeStartupFolder(dir, image);
    FakeClock clock;
    auto ecm = std::make_shared<ScriptedEcm>(clock);
    GuiPrompter prompter;
    prompter.saveAnswers = {static_cast<AppPrompter::Answer>(answer)};
    prompter.answers = {true};
    MainWindowServices services;
    services.startupFolder = dir.path();
    services.prompter = &prompter;
    services.openFlashChannel = [ecm](const std::string&) -> std::shared_ptr<Channel> {
        return ecm;
    };
    services.flashClock = &clock;
    services.runFlash = [](FlashDialog& d) {
        choose(d, "readButton");
        d.show();
        d.accept();
    };
    MainWindow window(services);
    window.initialise();
    window.primary().SetDataModified(true); // an edit not saved yet
    window.onFlash();

    QTEST(prompter.shown, "asked");
    QFETCH(bool, read);
    QCOMPARE(window.primary().imagePath == "EPROM Dump.bin", read);
    QCOMPARE(window.primary().image() == image, !read);
    window.primary().SetDataModified(false);
    window.close();
}

void FlashDialogTest::afterAFailedConnectionTheWindowsAnswerTheMouse_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("failure");
    QTest::newRow("port fails") << "failOpen"
                                << "Com Error: Failed to open COM port!";
    QTest::newRow("size mismatch")
        << "shortCopy"
        << "Error: Size of last flash does not match current binary!\nPlease do a Full Write.";
#ifdef TEVRA_ECM_SIM
    QTest::newRow("tevra-ecm-sim --echo") << "echo"
                                          << "Connection Error: Could not connect to ECM!";
#endif
}

void FlashDialogTest::afterAFailedConnectionTheWindowsAnswerTheMouse() {
    QFETCH(QString, fault);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    FakeClock clock;
    auto ecm = std::make_shared<ScriptedEcm>(clock);
    ecm->failOpen = fault == QStringLiteral("failOpen");
    MainWindowServices services;
    GuiPrompter prompter;
    services.startupFolder = dir.path();
    services.prompter = &prompter;
#ifdef TEVRA_ECM_SIM
    // The real serial port against the emulator on a pseudo-terminal.
    std::unique_ptr<tevra::test::SimulatedEcm> sim;
    if (fault == QStringLiteral("echo")) {
        sim = std::make_unique<tevra::test::SimulatedEcm>(std::vector<unsigned char>(0x8000, 0xFF),
                                                          std::vector<std::string>{"--echo"});
        QVERIFY(sim->ok());
    }
#endif
    writeStartupFolder(dir, pattern(0x4000, 2),
#ifdef TEVRA_ECM_SIM
                       sim ? QString::fromStdString(sim->link()) :
#endif
                           QString());
    if (fault != QStringLiteral("echo")) {
        services.openFlashChannel = [ecm](const std::string&) -> std::shared_ptr<Channel> {
            return ecm;
        };
        services.flashClock = &clock;
    }
    MainWindow window(services);
    window.initialise();
    if (fault == QStringLiteral("shortCopy"))
        window.lastFlashCopy() = pattern(0x2000, 2);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("entryList"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 0);

    {
        ClickThrough user(prompter, failure);
        window.onFlash(); // the dialog's own loop, as the Flash button runs it
        QVERIFY(user.clickedOk);
        QVERIFY2(user.backAfterFailure, qPrintable(prompter.shown.join(QLatin1Char('|'))));
    }
    QVERIFY(!QApplication::activeModalWidget());

    // The main window takes the mouse again: a click selects the second entry.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(list->currentRow(), 1);
    window.close();
}

QTEST_MAIN(FlashDialogTest)
#include "FlashDialogTest.moc"
