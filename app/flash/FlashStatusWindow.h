#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;

namespace tevra {

// The Flash Status window: one line of status text over a progress bar while a
// flash operation runs. It has no close box and ignores every attempt to close
// it; the operation shows and hides it.
class FlashStatusWindow : public QDialog {
    Q_OBJECT

public:
    explicit FlashStatusWindow(QWidget* parent = nullptr);

    // Shown over the window it belongs to, blocking the others.
    void showCentred(QWidget* over);
    void setRange(int upper);
    void setPosition(int position);
    void setStatusText(const QString& text);

    QString statusText() const;
    int position() const;
    int range() const;

signals:
    // Every status text set, in order; tests and observers follow the operation by it.
    void statusTextChanged(const QString& text);

protected:
    void closeEvent(QCloseEvent* e) override;
    // Escape must not dismiss it either.
    void reject() override {}

private:
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

} // namespace tevra
