#pragma once
// Sizes of the editor's sheet, taken from the window font so that the form scales with it.
#include <QFont>
#include <QFontMetrics>

#include "forms/ui/FormEditor.h"

struct FormEditorWindow::Metrics {
    QFont font, small, bold, section, title, note;
    int H = 22;     // height of a box
    int lineH = 16; // one line of a caption
    int smallLineH = 14;
    int gap = 5;     // between lines of the sheet
    int margin = 14; // left and right edge of the sheet
    int sheetW = 1000;
    int contentW = 972; // sheetW - 2 * margin
    int labelCol = 330; // from the margin to the column of box numbers
    int numW = 28;      // the box number before a box
    int indent = 6;
    int charW = 7;
    int digitW = 7;

    int boxX() const { return margin + labelCol + numW + 4; }
    int right() const { return margin + contentW; }
    explicit Metrics(const QFont& base);
};
