// TEMPORARY screenshot harness (not to be committed).
#include <QApplication>
#include <QPixmap>
#include <QScrollArea>
#include <QTest>
#include <QTemporaryDir>
#include <QSettings>
#include <gtest/gtest.h>
#include "app/util/Folders.h"
#include "app/ui/AppWindows.h"
#include "forms/ui/FormEditor.h"
#include "forms/ui/PageControl.h"

TEST(Shots, Pit37) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("s"));
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    TestMode = true;
    auto w = FormEditorWindow::Create("TFRMPIT_37");
    w->Document().ApplyDocumentText("1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n12=KOWALSKA\r\n13=ANNA\r\n14=12.05.1980\r\n"
        "52=98765.43\r\n53=3000\r\n56=9000\r\n62=12000\r\n63=2400\r\n66=1500\r\n122=4000\r\n124=1000\r\n3000=1\r\n22=Warszawa\r\n23=02-495\r\n");
    w->resize(1100, 980);
    w->move(0, 0);
    w->show();
    QApplication::setActiveWindow(w.get());
    QTest::qWait(300);
    Key: ;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::qWait(100);
    for (int p = 0; p < w->Pages()->count(); ++p) {
        w->Pages()->setCurrentIndex(p);
        QTest::qWait(150);
        w->grab().save(QStringLiteral("/tmp/shots/p%1.png").arg(p + 1));
        QScrollArea* a = w->PageScrollArea(p);
        QWidget* desk = a->widget();
        desk->grab().save(QStringLiteral("/tmp/shots/full%1.png").arg(p + 1));
    }
    w->Pages()->setCurrentIndex(1);
    w->FieldWidget(53)->setFocus();
    QTest::qWait(200);
    w->grab().save("/tmp/shots/focus.png");
    if (qEnvironmentVariableIsSet("HOLD")) QTest::qWait(4000);
}

TEST(Shots, Others) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("s"));
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    for (QString type : {"TFRMPIT_O", "TFRMPIT_D", "TFRMPIT_2K", "TFRMORD_ZU"}) {
        auto w = FormEditorWindow::Create(type);
        w->resize(1100, 980);
        w->show();
        QApplication::setActiveWindow(w.get());
        QTest::qWait(200);
        w->AddSeriesRow("btn_1_add"); w->AddSeriesRow("btn_1_add");
        w->AddSeriesRow("btn_2_add"); w->AddSeriesRow("btn_2_add");
        QTest::qWait(100);
        int n = w->Pages() ? w->Pages()->count() : 1;
        for (int p = 0; p < n; ++p) {
            if (w->Pages()) w->Pages()->setCurrentIndex(p);
            QTest::qWait(100);
            w->PageScrollArea(p)->widget()->grab().save(QStringLiteral("/tmp/shots/%1_%2.png").arg(type).arg(p + 1));
        }
    }
}
