#include "app/ui/QtInteraction.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/ui/Pictures.h"
#include "app/ui/Splash.h"

namespace {
QPointer<TfrmProgress> g_progress;
QPointer<TfrmMessage> g_infoBox;

const QString kDefaultProgressCaption = QStringLiteral("Czekaj...");
const QString kDefaultProgressText = QStringLiteral("Trwa przetwarzanie danych.");

QWidget* dialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    // During start-up a box must come up above the splash, not behind it.
    return Splash;
}

QMainWindow* visibleMainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible()) return main;
    return nullptr;
}

void centreOn(QWidget* window, const QRect& area) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

QRect screenArea(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Lets a window that was just shown appear before the caller goes on with slow work.
void flush(QWidget* w) {
    w->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

// ---------------------------------------------------------------------------------------------

TfrmSelectItem::TfrmSelectItem(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectItem"));
    setWindowTitle(QStringLiteral("Wybierz..."));
    resize(360, 300);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* choose = bar->addAction(QStringLiteral("F2 Wybierz"));
    choose->setShortcuts(
        {QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    QAction* cancel = bar->addAction(QStringLiteral("ESC Porzuć"));
    cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(choose, &QAction::triggered, this, &TfrmSelectItem::Confirm);
    connect(cancel, &QAction::triggered, this, &TfrmSelectItem::reject);

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TfrmSelectItem::Confirm);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(list_);
}

void TfrmSelectItem::SetLines(const QStringList& lines, int preselected, bool autoSize) {
    chosen_ = -1;
    list_->clear();
    const QIcon picture = MenuImageList().value(PicDocument);
    for (const QString& line : lines)
        new QListWidgetItem(picture, line, list_);
    if (!lines.isEmpty()) {
        int row = (preselected >= 0 && preselected < lines.size()) ? preselected : 0;
        list_->setCurrentRow(row);
        list_->scrollToItem(list_->item(row));
    }
    list_->setFocus();

    if (autoSize) {
        const QFontMetrics fm(list_->font());
        const QRect area = screenArea(this);
        int height = (fm.height() + 2) * int(lines.size()) + 100;
        height = std::min(height, area.height() - 100);
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, fm.horizontalAdvance(line));
        // A very long line must not push the window off the screen.
        int width = std::min(std::max(this->width(), widest + 100), area.width() - 40);
        resize(width, std::max(height, 150));
    }
}

int TfrmSelectItem::Execute(const QStringList& lines, int preselected, bool autoSize,
                            const QString& caption) {
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Wybierz...") : caption);
    SetLines(lines, preselected, autoSize);
    exec();
    return chosen_;
}

void TfrmSelectItem::Confirm() {
    QListWidgetItem* item = list_->currentItem();
    chosen_ = (item && item->isSelected()) ? list_->row(item) : -1;
    accept();
}

void TfrmSelectItem::reject() {
    chosen_ = -1;
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------------

TfrmProgress::TfrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmProgress"));
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setFixedSize(420, 110);
}

void TfrmProgress::SetTexts(const QString& caption, const QString& text) {
    setWindowTitle(caption.isEmpty() ? kDefaultProgressCaption : caption);
    label_->setText(text.isEmpty() ? kDefaultProgressText : text);
}

// ---------------------------------------------------------------------------------------------

TfrmMessage::TfrmMessage(QWidget* parent) : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmMessage"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* picture = new QLabel(this);
    picture->setPixmap(MessagePicture(40));
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(14);
    layout->addWidget(picture, 0, Qt::AlignVCenter);
    layout->addWidget(label_, 1);
    setFixedSize(380, 76);
}

void TfrmMessage::SetText(const QString& text) {
    label_->setText(text);
}
QString TfrmMessage::Text() const {
    return label_->text();
}

// ---------------------------------------------------------------------------------------------

BoxResult QtInteraction::showBox(int kind, const QString& text, const QString& caption) {
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case BoxInfo:
        icon = QMessageBox::Information;
        break;
    case BoxWarning:
        icon = QMessageBox::Warning;
        break;
    case BoxError:
        icon = QMessageBox::Critical;
        break;
    case BoxYesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case BoxYesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    default:
        icon = QMessageBox::Warning;
        break;
    }
    QMessageBox box(icon, caption, text, buttons, dialogParent());
    const std::pair<QMessageBox::StandardButton, const char*> texts[] = {{QMessageBox::Ok, "OK"},
                                                                         {QMessageBox::Yes, "Tak"},
                                                                         {QMessageBox::No, "Nie"},
                                                                         {QMessageBox::Cancel, "Anuluj"}};
    for (const auto& [button, label] : texts)
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(label));
    // Questions default to the answer that changes nothing, so a stray Enter loses no work.
    if (kind == BoxYesNoCancel) box.setDefaultButton(QMessageBox::Cancel);
    else if (kind == BoxYesNo) box.setDefaultButton(QMessageBox::No);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return BoxResult::Yes;
    case QMessageBox::No:
        return BoxResult::No;
    case QMessageBox::Cancel:
        return BoxResult::Cancel;
    case QMessageBox::Ok:
        return BoxResult::Ok;
    default:
        // Closed without a button: the answer that changes nothing.
        if (kind == BoxYesNoCancel) return BoxResult::Cancel;
        return kind == BoxYesNo ? BoxResult::No : BoxResult::Ok;
    }
}

int QtInteraction::pickFromList(const QStringList& lines, int preselected, bool autoSize,
                                const QString& caption) {
    TfrmSelectItem picker(dialogParent());
    return picker.Execute(lines, preselected, autoSize, caption);
}

void QtInteraction::showProgress(const QString& caption, const QString& text, int maximum) {
    try {
        if (!g_progress) g_progress = new TfrmProgress();
        if (g_progress->isVisible()) g_progress->hide();
        g_progress->SetTexts(caption, text);
        g_progress->Bar()->setRange(0, std::max(0, maximum));
        g_progress->Bar()->setValue(0);
        centreOn(g_progress, screenArea(g_progress));
        g_progress->show();
        flush(g_progress);
    } catch (...) {
        // Progress is a courtesy: the work goes on without it.
    }
}

void QtInteraction::updateProgress(const QString& caption, const QString& text) {
    if (!g_progress || !g_progress->isVisible()) return;
    g_progress->SetTexts(caption, text);
    g_progress->repaint();
}

void QtInteraction::stepProgress() {
    if (!g_progress) return;
    QProgressBar* bar = g_progress->Bar();
    bar->setValue(std::min(bar->value() + 1, bar->maximum()));
    g_progress->repaint();
}

void QtInteraction::closeProgress() {
    delete g_progress.data();
}

void QtInteraction::infoBox(const QString& text) {
    if (text.isEmpty()) {
        delete g_infoBox.data();
        return;
    }
    try {
        if (!g_infoBox) {
            g_infoBox = new TfrmMessage();
            g_infoBox->SetText(text);
            QMainWindow* main = visibleMainWindow();
            centreOn(g_infoBox, main ? main->frameGeometry() : screenArea(g_infoBox));
        } else {
            g_infoBox->SetText(text);
        }
        g_infoBox->show();
        flush(g_infoBox);
    } catch (...) {
        delete g_infoBox.data();
    }
}

// ---------------------------------------------------------------------------------------------

void ShowInfoBox(const QString& text) {
    if (!text.isEmpty()) CurrentInteraction().infoBox(text);
}
void HideInfoBox() {
    CurrentInteraction().infoBox(QString());
}
void ShowProgress(const QString& caption, const QString& text, int maximum) {
    CurrentInteraction().showProgress(caption, text, maximum);
}
void UpdateProgress(const QString& caption, const QString& text) {
    CurrentInteraction().updateProgress(caption, text);
}
void StepProgress() {
    CurrentInteraction().stepProgress();
}
void CloseProgress() {
    CurrentInteraction().closeProgress();
}

TfrmProgress* ProgressWindow() {
    return g_progress.data();
}
TfrmMessage* InfoBoxWindow() {
    return g_infoBox.data();
}
