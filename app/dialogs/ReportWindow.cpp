#include "ReportWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tevra {

ReportWindow::ReportWindow(const QString& objectName, const QString& title, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(false);
    resize(720, 360);
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("reportText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text_);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void ReportWindow::setText(const QString& text) {
    text_->setPlainText(text);
}

QString ReportWindow::text() const {
    return text_->toPlainText();
}

} // namespace tevra
