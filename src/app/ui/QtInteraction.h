#pragma once
// The desktop answers to Interaction: message boxes, the picker, the progress window and the
// information box.
#include <QDialog>
#include <QFrame>

#include "app/util/Interaction.h"

class QLabel;
class QListWidget;
class QProgressBar;

// Picks one line of a list: F2, Enter or a double-click confirm, Escape cancels.
class TfrmSelectItem : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectItem(QWidget* parent = nullptr);
    // Fills the list and selects `preselected` (the first line when out of range).
    void SetLines(const QStringList& lines, int preselected, bool autoSize);
    // Shows the picker modally; the chosen index from 0, or -1.
    int Execute(const QStringList& lines, int preselected, bool autoSize, const QString& caption);
    int ChosenIndex() const { return chosen_; }
    QListWidget* List() const { return list_; }

public slots:
    void Confirm();
    void reject() override;

private:
    QListWidget* list_;
    int chosen_ = -1;
};

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget* parent = nullptr);
    void SetTexts(const QString& caption, const QString& text);
    QProgressBar* Bar() const { return bar_; }
    QLabel* Label() const { return label_; }

private:
    QLabel* label_;
    QProgressBar* bar_;
};

// The borderless "please wait" notice shown while something slow happens.
class TfrmMessage : public QFrame {
    Q_OBJECT
public:
    explicit TfrmMessage(QWidget* parent = nullptr);
    void SetText(const QString& text);
    QString Text() const;

private:
    QLabel* label_;
};

class QtInteraction : public Interaction {
public:
    BoxResult showBox(int kind, const QString& text, const QString& caption) override;
    int pickFromList(const QStringList& lines, int preselected, bool autoSize,
                     const QString& caption) override;
    void showProgress(const QString& caption, const QString& text, int maximum) override;
    void updateProgress(const QString& caption, const QString& text) override;
    void stepProgress() override;
    void closeProgress() override;
    void infoBox(const QString& text) override;
};

// These go through the installed interaction, so the core and the windows share one path.
void ShowInfoBox(const QString& text);
void HideInfoBox();
void ShowProgress(const QString& caption, const QString& text, int maximum);
void UpdateProgress(const QString& caption, const QString& text);
void StepProgress();
void CloseProgress();

// The single instances, or nullptr when none exists.
TfrmProgress* ProgressWindow();
TfrmMessage* InfoBoxWindow();
