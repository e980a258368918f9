#pragma once
// "Archiwizacja danych": backup of the current database into a backup file and restore from
// one, with the services' progress lines in a log.
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
struct ArchiveEdits;
struct TGlobalKonfig;

class TArchivePage : public QWidget {
    Q_OBJECT
public:
    explicit TArchivePage(TGlobalKonfig& konfig, QWidget* parent = nullptr);

    // Edits from the settings (the archive file proposed for today), and back.
    void FillEdits();
    void StoreEdits();

    void Archiwizuj();
    void Odtwarzaj();
    void FactoryArchiveSettings();
    // True while a backup or restore runs.
    bool Busy() const { return busy_; }

    QLineEdit* ed_ArchSerwer;
    QLineEdit* ed_ArchDatabaseName;
    QToolButton* btn_ArchBrowse;
    QLineEdit* ed_ArchUser;
    QLineEdit* ed_ArchPass;
    QPushButton* btn_Fabryczne;
    QPushButton* btn_Archiwizuj;
    QPushButton* btn_Odtwarzaj;
    QPlainTextEdit* mmo_Log;

signals:
    // A restore ran; the program is connected again, or not at all when it failed.
    void databaseRestored();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ArchiveEdits Edits() const;
    void SetEdits(const ArchiveEdits& edits);
    void AppendLine(const QString& line);
    void SetBusy(bool busy);
    void Browse();

    TGlobalKonfig& konfig_;
    bool busy_ = false;
};
