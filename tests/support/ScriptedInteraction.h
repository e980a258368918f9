#pragma once
// A scripted stand-in for the person: answers are taken in order, every question is recorded.
#include <QList>
#include <QString>
#include <QStringList>

#include "app/util/Interaction.h"

class ScriptedInteraction : public Interaction {
public:
    struct Box {
        int kind;
        QString text;
        QString caption;
    };
    QList<BoxResult> boxAnswers; // consumed in order; OK / No when exhausted
    QList<int> pickAnswers;      // consumed in order; -1 when exhausted
    QList<Box> boxes;
    QList<QStringList> picks;
    QList<int> preselections;
    QStringList infoTexts;

    ScriptedInteraction() { previous_ = SetInteraction(this); }
    ~ScriptedInteraction() override { SetInteraction(previous_); }

    BoxResult showBox(int kind, const QString& text, const QString& caption) override {
        boxes.append({kind, text, caption});
        if (!boxAnswers.isEmpty()) return boxAnswers.takeFirst();
        return (kind == BoxYesNo || kind == BoxYesNoCancel) ? BoxResult::No : BoxResult::Ok;
    }
    int pickFromList(const QStringList& lines, int preselected, bool, const QString&) override {
        picks.append(lines);
        preselections.append(preselected);
        return pickAnswers.isEmpty() ? -1 : pickAnswers.takeFirst();
    }
    void infoBox(const QString& text) override { infoTexts.append(text); }

private:
    Interaction* previous_ = nullptr;
};
