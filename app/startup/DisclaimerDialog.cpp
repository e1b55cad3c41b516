#include "DisclaimerDialog.h"

#include "DialogUnits.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tevra {

namespace {

// Texts 5 and 6 are one sentence split over two labels, as the original shows it.
const char* const kTexts[] = {
    "WARNING! This software is intended for educational purposes only, and is not intended for "
    "use on the software of an operating motor vehicle.",
    "Misuse of this software can severely damage your vehicle by causing catastrophic failure "
    "which may also result in personal injury or loss of life. ",
    "DISCLAIMER OF WARRANTIES AND LIMITATION ON LIABILITY.",
    "NO WARRANTY. THIS SOFTWARE IS PROVIDED \"AS IS\". THE AUTHOR DISCLAIMS ALL WARRANTIES, EITHER "
    "EXPRESS OR IMPLIED, INCLUDING, BUT NOT LIMITED TO, IMPLIED WARRANTIES OF MERCHANTABILITY AND "
    "FITNESS FOR A PARTICULAR PURPOSE.",
    "NO LIABILITY. IN NO EVENT SHALL THE AUTHOR BE LIABLE FOR ANY SPECIAL, INCIDENTAL, INDIRECT, "
    "OR CONSEQUENTIAL DAMAGES WHATSOEVER (INCLUDING, WITHOUT LIMITATION, DAMAGES FOR LOSS OF "
    "BUSINESS PROFITS,",
    "BUSINESS INTERRUPTION, LOSS OF BUSINESS INFORMATION, OR ANY OTHER PECUNIARY LOSS) ARISING OUT "
    "OF THE USE OF OR INABILITY TO USE THE SOFTWARE, EVEN IF THE AUTHOR HAS BEEN ADVISED OF THE "
    "POSSIBILITY OF SUCH DAMAGES.",
    "I HEREBY ABSOLVE THE AUTHOR OF ALL RESPONSIBILITY CONCERNING THE USE AND FITNESS OF THIS "
    "SOFTWARE AND TAKE FULL RESPONSIBILITY FOR ALL CONSEQUENCES THEREOF.",
};

} // namespace

DisclaimerDialog::DisclaimerDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DisclaimerDialog"));
    setWindowTitle(QStringLiteral("WARNING"));
    setFixedSize(dlu::size(302, 234));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(dlu::x(7), dlu::y(7), dlu::x(7), dlu::y(7));
    column->setSpacing(dlu::y(4));
    int index = 1;
    for (const char* text : kTexts) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setObjectName(QStringLiteral("disclaimerText%1").arg(index++));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        column->addWidget(label);
    }
    column->addStretch(1);

    auto* agree = new QPushButton(QStringLiteral("I Agree"), this);
    agree->setObjectName(QStringLiteral("agreeButton"));
    agree->setDefault(true);
    auto* disagree = new QPushButton(QStringLiteral("I Do Not Agree"), this);
    disagree->setObjectName(QStringLiteral("disagreeButton"));
    for (QPushButton* b : {agree, disagree})
        b->setFixedSize(dlu::size(60, 14));
    connect(agree, &QPushButton::clicked, this, &QDialog::accept);
    connect(disagree, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(agree);
    buttons->addSpacing(dlu::x(20));
    buttons->addWidget(disagree);
    buttons->addStretch(1);
    column->addLayout(buttons);
}

} // namespace tevra
