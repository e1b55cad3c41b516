#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace tevra {

// A window of lines to read and copy (the definition problems of the calibration,
// the report of a carry). It changes nothing and does not block the main window:
// the caller shows it and keeps working.
class ReportWindow : public QDialog {
    Q_OBJECT

public:
    ReportWindow(const QString& objectName, const QString& title, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

private:
    QPlainTextEdit* text_ = nullptr;
};

} // namespace tevra
