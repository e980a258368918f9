// The notes window keeps the notes' line breaks and returns what the memo holds.
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "store/ui/NotesWindow.h"

namespace {

TEST(NotesWindow, ClosesWithF2OrEscapeKeepingTheText) {
    const struct {
        const char* name;
        QString notes;
        QString typed;
        Qt::Key key;
        QString expected;
    } cases[] = {
        {"untouched notes stay as stored", "pierwsza\r\nżółta", "", Qt::Key_Escape, "pierwsza\r\nżółta"},
        {"edited notes keep Windows line breaks", "a\r\nb", "!", Qt::Key_F2, "a\r\nb!"},
        {"empty", "", "nowa", Qt::Key_Escape, "nowa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmNotatki window;
        QTimer::singleShot(0, &window, [&] {
            EXPECT_TRUE(window.isVisible());
            window.Memo->moveCursor(QTextCursor::End);
            QTest::keyClicks(window.Memo, c.typed);
            QTest::keyClick(window.Memo, c.key);
        });
        QString notes = c.notes;
        window.Execute(notes);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(notes, c.expected);
    }
}

} // namespace
