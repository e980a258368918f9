#include "app/ui/Splash.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/Pictures.h"

TSplash* Splash = nullptr;

TSplash::TSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QStringLiteral("Uruchamianie aplikacji"));
    setFixedSize(390, 128);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, QColor(0x1f, 0x3a, 0x6e));
    setPalette(pal);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame#splashFrame { border: 1px solid #1f3a6e; }"));
    frame->setObjectName(QStringLiteral("splashFrame"));

    auto* picture = new QLabel(frame);
    picture->setPixmap(LogoPicture(72));
    auto* title = new QLabel(QStringLiteral("Sumaris 2022"), frame);
    QFont titleFont = title->font();
    titleFont.setPixelSize(22);
    titleFont.setBold(true);
    title->setFont(titleFont);

    status_ = new QLabel(frame);
    status_->setObjectName(QStringLiteral("lbl_Status"));
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setFixedHeight(2 * status_->fontMetrics().lineSpacing() + 2);

    gauge_ = new QProgressBar(frame);
    gauge_->setObjectName(QStringLiteral("Gauge"));
    gauge_->setRange(1, 14);
    gauge_->setValue(1);
    gauge_->setTextVisible(false);
    gauge_->setFixedHeight(12);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(title);
    texts->addWidget(status_);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(12, 10, 12, 8);
    inner->addLayout(top, 1);
    inner->addWidget(gauge_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void TSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Below the minimum: the bar shows empty until the first window is counted.
    gauge_->reset();
}

void TSplash::SetStatus(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    status_->setText(shown);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplash::Step() {
    int next = gauge_->value() < gauge_->minimum() ? gauge_->minimum() : gauge_->value() + 1;
    if (next <= gauge_->maximum()) gauge_->setValue(next);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ShowStartupStatus(const QString& text) {
    if (Splash) Splash->SetStatus(text);
}
