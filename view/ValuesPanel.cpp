#include "ValuesPanel.h"

#include "TabText.h"
#include "ValuesWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tevra {

ValuesPanel::ValuesPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("valuesPanel"));
    values_ = new ValuesWidget(this);
    amount_ = new QLineEdit(this);
    amount_->setObjectName(QStringLiteral("valuesAmount"));
    amount_->setPlaceholderText(QStringLiteral("amount"));
    amount_->setToolTip(QStringLiteral("The amount for +, -, Set and x %"));
    amount_->installEventFilter(this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("valuesMessage"));
    message_->setWordWrap(true);

    auto* tools = new QGridLayout;
    tools->setSpacing(3);
    tools->addWidget(amount_, 0, 0, 1, 2);
    QPushButton* plus = button(QStringLiteral("+"), "valuesPlus",
                               QStringLiteral("Add the amount, or one raw step (Ctrl+Up)"));
    QPushButton* minus = button(QStringLiteral("-"), "valuesMinus",
                                QStringLiteral("Subtract the amount, or one raw step (Ctrl+Down)"));
    QPushButton* set = button(QStringLiteral("Set"), "valuesSet",
                              QStringLiteral("Set the selected values to the amount"));
    QPushButton* scale = button(QStringLiteral("x %"), "valuesScale",
                                QStringLiteral("Multiply the selected values by the amount in %"));
    QPushButton* interpolate =
        button(QStringLiteral("Interpolate"), "valuesInterpolate",
               QStringLiteral("Straight between the ends of the selection (Ctrl+I)"));
    QPushButton* copy =
        button(QStringLiteral("Copy"), "valuesCopy", QStringLiteral("Copy as tab-separated text"));
    QPushButton* paste = button(QStringLiteral("Paste"), "valuesPaste",
                                QStringLiteral("Paste tab-separated text at the selection"));
    QPushButton* raw = button(QStringLiteral("Raw"), "valuesRaw",
                              QStringLiteral("Show raw bytes, 3D cells in hex"));
    raw->setCheckable(true);
    tools->addWidget(plus, 0, 2);
    tools->addWidget(minus, 0, 3);
    tools->addWidget(set, 0, 4);
    tools->addWidget(scale, 0, 5);
    tools->addWidget(interpolate, 1, 0, 1, 2);
    tools->addWidget(copy, 1, 2);
    tools->addWidget(paste, 1, 3);
    tools->addWidget(raw, 1, 4, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(tools);
    layout->addWidget(values_, 1);
    layout->addWidget(message_);

    connect(plus, &QPushButton::clicked, this, [this] { step(+1); });
    connect(minus, &QPushButton::clicked, this, [this] { step(-1); });
    connect(set, &QPushButton::clicked, this, [this] {
        double v = 0;
        if (readAmount(v, false))
            values_->setSelection(v);
    });
    connect(scale, &QPushButton::clicked, this, [this] {
        double v = 0;
        if (readAmount(v, false))
            values_->scaleSelection(v);
    });
    connect(interpolate, &QPushButton::clicked, values_, &ValuesWidget::interpolateSelection);
    connect(copy, &QPushButton::clicked, values_, &ValuesWidget::copySelection);
    connect(paste, &QPushButton::clicked, values_, &ValuesWidget::pasteClipboard);
    connect(raw, &QPushButton::toggled, values_, &ValuesWidget::setShowRaw);
    connect(values_, &ValuesWidget::messageChanged, message_, &QLabel::setText);
    // A new gesture starts with a clean message line.
    connect(values_, &ValuesWidget::editGestureStarted, message_, &QLabel::clear);
    connect(values_, &ValuesWidget::cursorMoved, message_, &QLabel::clear);
}

// Enter in the amount field must not reach the window's default button.
bool ValuesPanel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == amount_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

QPushButton* ValuesPanel::button(const QString& text, const char* name, const QString& tip) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus); // the sheet keeps the keyboard and its selection
    b->setAutoDefault(false);
    return b;
}

bool ValuesPanel::readAmount(double& amount, bool emptyAllowed) {
    const QString text = amount_->text().trimmed();
    if (text.isEmpty() && emptyAllowed)
        return false;
    const auto v = TabText::parseNumber(text.toStdString());
    if (!v) {
        message_->setText(text.isEmpty()
                              ? QStringLiteral("Type an amount first.")
                              : QStringLiteral("The amount \"%1\" is not a number.").arg(text));
        return false;
    }
    amount = *v;
    return true;
}

void ValuesPanel::step(int sign) {
    if (amount_->text().trimmed().isEmpty()) {
        values_->stepSelection(sign);
        return;
    }
    double v = 0;
    if (readAmount(v, false))
        values_->addToSelection(sign * v);
}

} // namespace tevra
