#pragma once
// The one way core code asks the person something or reports progress. The ui installs an
// implementation with dialogs, the command-line tool one with plain answers, tests a script.
#include <QString>
#include <QStringList>

// Message box kinds: 0 "Informacje", 1 "Uwaga!", 2 "Błąd!", 3 Yes/No, 4 Yes/No/Cancel.
enum BoxKind { BoxInfo = 0, BoxWarning = 1, BoxError = 2, BoxYesNo = 3, BoxYesNoCancel = 4 };
enum class BoxResult { Ok, Yes, No, Cancel };

class Interaction {
public:
    virtual ~Interaction() = default;
    // A modal message box; `caption` is already resolved (never empty).
    virtual BoxResult showBox(int kind, const QString& text, const QString& caption) = 0;
    // A pick list; returns the chosen index (from 0) or -1 when cancelled.
    virtual int pickFromList(const QStringList& lines, int preselected, bool autoSize,
                             const QString& caption) = 0;
    // Progress of a long operation; the defaults do nothing.
    virtual void showProgress(const QString& caption, const QString& text, int maximum) {
        (void)caption, (void)text, (void)maximum;
    }
    virtual void updateProgress(const QString& caption, const QString& text) { (void)caption, (void)text; }
    virtual void stepProgress() {}
    virtual void closeProgress() {}
    // A non-modal notice such as "Trwa otwieranie formularza..."; empty text hides it.
    virtual void infoBox(const QString& text) { (void)text; }
};

// The installed implementation; a silent one (OK, No, -1, messages to standard error) until
// something else is installed.
Interaction& CurrentInteraction();
// Installs an implementation (not owned); nullptr restores the silent one. Returns the previous one.
Interaction* SetInteraction(Interaction* interaction);

// Caption of a box kind: "Informacje", "Uwaga!", "Błąd!", "Uwaga!", "Uwaga!".
QString BoxCaption(int kind);
// Shows a message box of the kind through the installed interaction.
BoxResult ShowBox(int kind, const QString& text, const QString& caption = QString());

// A list of lines offered in a pick list; remembers the last choice so that the next
// Execute preselects it.
class TStringListMenu {
public:
    QStringList lines;
    bool autoSize = true;
    QString caption = QStringLiteral("Wybierz...");
    int lastIndex = -1;
    // The chosen index (from 0), or -1 when cancelled or nothing was chosen.
    int Execute();
};
