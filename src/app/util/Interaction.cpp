#include "app/util/Interaction.h"

#include <cstdio>

namespace {
class SilentInteraction : public Interaction {
public:
    BoxResult showBox(int kind, const QString& text, const QString& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return (kind == BoxYesNo || kind == BoxYesNoCancel) ? BoxResult::No : BoxResult::Ok;
    }
    int pickFromList(const QStringList&, int, bool, const QString&) override { return -1; }
};

SilentInteraction& silent() {
    static SilentInteraction s;
    return s;
}
Interaction* g_current = nullptr;
} // namespace

Interaction& CurrentInteraction() { return g_current ? *g_current : silent(); }

Interaction* SetInteraction(Interaction* interaction) {
    Interaction* previous = g_current;
    g_current = interaction;
    return previous;
}

QString BoxCaption(int kind) {
    switch (kind) {
    case BoxInfo: return QStringLiteral("Informacje");
    case BoxError: return QStringLiteral("Błąd!");
    default: return QStringLiteral("Uwaga!");
    }
}

BoxResult ShowBox(int kind, const QString& text, const QString& caption) {
    return CurrentInteraction().showBox(kind, text, caption.isEmpty() ? BoxCaption(kind) : caption);
}

int TStringListMenu::Execute() {
    int chosen = CurrentInteraction().pickFromList(lines, lastIndex, autoSize, caption);
    if (chosen < -1 || chosen >= lines.size()) chosen = -1;
    if (chosen >= 0) lastIndex = chosen;
    return chosen;
}
