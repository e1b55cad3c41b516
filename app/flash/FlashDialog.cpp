#include "FlashDialog.h"

#include "Calibration.h"
#include "DialogStrings.h"
#include "FlashRunner.h"
#include "FlashStatusWindow.h"
#include "PlaceWidget.h"
#include "PortsDialog.h"
#include "Prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace tevra {

namespace {

int operationId(FlashOperationKind k) {
    return static_cast<int>(k);
}

QRadioButton* radio(QWidget* parent, const char* text, const char* name, QButtonGroup* group,
                    int id, int x, int y, int w) {
    auto* b = placed(new QRadioButton(QString::fromLatin1(text), parent), name, x, y, w, 10);
    group->addButton(b, id);
    return b;
}

} // namespace

PortMap withFoundDevices(const PortMap& saved, const std::vector<std::string>& found) {
    const PortMap fallback = defaultPortMap(found);
    PortMap map = saved;
    for (std::size_t k = 0; k < map.devices.size(); ++k) {
        if (map.devices[k].empty())
            map.devices[k] = fallback.devices[k];
    }
    return map;
}

FlashDialog::FlashDialog(FlashContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("FlashDialog"));
    setWindowTitle(QStringLiteral("Flash"));
    // Wider than the classic layout so that each port shows its device.
    setFixedSize(dlu::size(205, 122));
    settings_.flashSpeed = context_.flashSpeed;
    status_ = new FlashStatusWindow(this);
    buildControls();

    const Calibration& cal = *context_.calibration;
    if (cal.hasImage()) {
        if (context_.lastFlash->has_value()) {
            differentialWrite_->setEnabled(true);
            settings_.operation = FlashOperationKind::DifferentialWrite;
        } else {
            differentialWrite_->setEnabled(false);
            if (settings_.operation == FlashOperationKind::DifferentialWrite)
                settings_.operation = FlashOperationKind::FullWrite;
        }
    } else {
        settings_.operation = FlashOperationKind::Read;
        fullWrite_->setEnabled(false);
        differentialWrite_->setEnabled(false);
    }
    putSettings();
    applyOperationEnabling();
}

FlashDialog::~FlashDialog() = default;

void FlashDialog::buildControls() {
    auto* type = placed(new QGroupBox(QStringLiteral("ECM Type"), this), "", 7, 7, 88, 52);
    typeGroup_ = new QButtonGroup(this);
    radio(this, "&LM", "lmButton", typeGroup_, 0, 14, 19, 40)->setEnabled(false);
    radio(this, "S&MEC", "smecButton", typeGroup_, 1, 14, 31, 40);
    radio(this, "S&BEC", "sbecButton", typeGroup_, 2, 14, 43, 40)->setEnabled(false);
    sizeGroup_ = new QButtonGroup(this);
    size16K_ = radio(this, "16K", "size16KButton", sizeGroup_, 0, 58, 31, 32);
    size32K_ = radio(this, "32K", "size32KButton", sizeGroup_, 1, 58, 43, 32);
    type->lower();

    auto* port = placed(new QGroupBox(QStringLiteral("Serial Port"), this), "", 101, 7, 97, 80);
    portGroup_ = new QButtonGroup(this);
    for (int k = 0; k < PortMap::kPortCount; ++k) {
        const QByteArray name = QByteArrayLiteral("com") + QByteArray::number(k + 1) + "Button";
        portButtons_[static_cast<std::size_t>(k)] =
            radio(this, "", name.constData(), portGroup_, k, 108, 18 + 11 * k, 87);
    }
    auto* ports =
        placed(new QPushButton(QStringLiteral("P&orts..."), this), "portsButton", 108, 66, 45, 14);
    port->lower();
    connect(ports, &QPushButton::clicked, this, &FlashDialog::editPorts);
    showPortDevices();

    auto* operation =
        placed(new QGroupBox(QStringLiteral("Flash Operation"), this), "", 7, 63, 88, 52);
    operationGroup_ = new QButtonGroup(this);
    radio(this, "&Read", "readButton", operationGroup_, operationId(FlashOperationKind::Read), 14,
          75, 76);
    fullWrite_ = radio(this, "&Full Write", "fullWriteButton", operationGroup_,
                       operationId(FlashOperationKind::FullWrite), 14, 87, 76);
    differentialWrite_ =
        radio(this, "&Differential Write", "differentialWriteButton", operationGroup_,
              operationId(FlashOperationKind::DifferentialWrite), 14, 99, 76);
    operation->lower();
    connect(operationGroup_, &QButtonGroup::idClicked, this, [this] {
        readSettings();
        applyOperationEnabling();
    });

    verify_ = placed(new QCheckBox(QStringLiteral("&Verify"), this), "verifyBox", 101, 90, 50, 10);
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 101, 101, 46, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 152, 101, 46, 14);
    connect(ok, &QPushButton::clicked, this, &FlashDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FlashDialog::reject);
}

void FlashDialog::showPortDevices() {
    for (std::size_t k = 0; k < portButtons_.size(); ++k) {
        const QString device = pathToQt(context_.ports.devices[k]);
        const QString shown =
            device.isEmpty() ? QStringLiteral("(none)") : QFileInfo(device).fileName();
        portButtons_[k]->setText(QStringLiteral("COM &%1  %2").arg(k + 1).arg(shown));
        portButtons_[k]->setToolTip(device.isEmpty() ? QStringLiteral("No device") : device);
    }
}

void FlashDialog::editPorts() {
    const std::optional<PortMap> chosen = context_.askPorts
                                              ? context_.askPorts(context_.ports)
                                              : PortsDialog::ask(context_.ports, this);
    if (!chosen || *chosen == context_.ports)
        return;
    context_.ports = *chosen;
    portsChanged_ = true;
    showPortDevices();
}

void FlashDialog::putSettings() {
    portGroup_->button(settings_.portIndex)->setChecked(true);
    typeGroup_->button(static_cast<int>(settings_.ecmType))->setChecked(true);
    operationGroup_->button(operationId(settings_.operation))->setChecked(true);
    sizeGroup_->button(static_cast<int>(settings_.size))->setChecked(true);
    verify_->setChecked(settings_.verify);
}

void FlashDialog::readSettings() {
    settings_.portIndex = portGroup_->checkedId();
    settings_.ecmType = static_cast<EcmType>(typeGroup_->checkedId());
    settings_.operation = static_cast<FlashOperationKind>(operationGroup_->checkedId());
    settings_.size = static_cast<FlashSize>(sizeGroup_->checkedId());
    settings_.verify = verify_->isChecked();
}

void FlashDialog::applyOperationEnabling() {
    const bool reading = settings_.operation == FlashOperationKind::Read;
    verify_->setEnabled(!reading);
    size16K_->setEnabled(reading);
    size32K_->setEnabled(reading);
}

int FlashDialog::exec() {
    inExec_ = true;
    int result = QDialog::Rejected;
    for (;;) {
        runRequested_ = false;
        result = QDialog::exec();
        if (!runRequested_)
            break;
        if (runToTheEnd()) {
            QDialog::done(QDialog::Accepted);
            result = QDialog::Accepted;
            break;
        }
        // An early end: the dialog comes back with the user's choices.
    }
    inExec_ = false;
    return result;
}

void FlashDialog::accept() {
    if (running_ || runRequested_)
        return;
    readSettings();
    Calibration& cal = *context_.calibration;
    if (settings_.operation == FlashOperationKind::Read && cal.hasImage()) {
        // Unsaved edits are offered to be saved first, as before loading another.
        if (context_.settleUnsavedChanges && !context_.settleUnsavedChanges())
            return;
        if (!context_.prompter->askYesNo("This will delete current calibration. Proceed?",
                                         "Warning"))
            return;
        if (context_.closeCalibration)
            context_.closeCalibration();
        else
            cal.Clear();
        cal.imagePath = kReadFileName;
    }
    if (inExec_) {
        runRequested_ = true;
        hide(); // ends this turn of exec, which then runs the operation
        return;
    }
    hide();
    if (runToTheEnd()) {
        QDialog::accept();
        return;
    }
    show();
}

bool FlashDialog::runToTheEnd() {
    const FlashOutcome refused =
        FlashOperation::checkImage(settings_, *context_.calibration, *context_.prompter);
    if (refused != FlashOutcome::Completed) {
        FlashResult result;
        result.outcome = refused;
        lastResult_ = result;
        return false;
    }
    context_.prompter->message("Power on ECM in flash mode (key at run)", "Bootload");
    runOperation();
    if (lastResult_->endedEarly())
        return false;
    readSettings();
    return true;
}

void FlashDialog::runOperation() {
    Calibration& cal = *context_.calibration;
    // The worker gets copies, so that the main window may repaint from the
    // calibration while it runs; what it did is taken over afterwards.
    Calibration work;
    work.baseAddress = cal.baseAddress;
    work.checksumEnabled = cal.checksumEnabled;
    work.checksumAddress = cal.checksumAddress;
    work.fixupAddress = cal.fixupAddress;
    if (cal.hasImage())
        work.SetImage(cal.image());
    LastFlashCopy last = *context_.lastFlash;

    FlashRunner::Job job;
    job.settings = settings_;
    job.device = context_.ports.devices[static_cast<std::size_t>(settings_.portIndex)];
    job.openChannel = context_.openChannel;
    job.clock = context_.clock;
    job.prompter = context_.prompter;
    job.status = status_;
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    job.over = owner;

    running_ = true;
    if (owner)
        owner->installEventFilter(this);
    const FlashResult result = FlashRunner::run(job, work, last);
    if (owner)
        owner->removeEventFilter(this);
    running_ = false;
    status_->hide();

    *context_.lastFlash = std::move(last);
    const bool sent =
        result.outcome == FlashOutcome::Completed || result.outcome == FlashOutcome::Stopped;
    if (settings_.operation != FlashOperationKind::Read && sent) {
        // The worker sent the image with its checksum fixed up; the open
        // calibration gets the same byte, so the editor shows what the
        // controller holds.
        cal.PrepareImageForWrite();
    }
    if (settings_.operation == FlashOperationKind::Read &&
        result.outcome == FlashOutcome::Completed && result.transferOk) {
        cal.SetImage(work.image());
        (void)cal.Rebase(work.baseAddress, false);
        cal.imagePath = kReadFileName;
    }
    lastResult_ = result;
}

bool FlashDialog::eventFilter(QObject* watched, QEvent* event) {
    // Closing the main window would clear the calibration under the operation.
    if (running_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tevra
