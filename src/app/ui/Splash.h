#pragma once
// The start-up window that counts the creation of the application windows.
#include <QWidget>

class QLabel;
class QProgressBar;

class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget* parent = nullptr);
    void SetStatus(const QString& text);
    // Advances the gauge by one and repaints at once (there is no event loop yet).
    void Step();
    QProgressBar* Gauge() const { return gauge_; }
    QLabel* Status() const { return status_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* status_;
    QProgressBar* gauge_;
};

// The splash while the program starts, nullptr before and after.
extern TSplash* Splash;

// Writes a status line on the splash; does nothing when there is none.
void ShowStartupStatus(const QString& text);
