#include "app/ui/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <numbers>

namespace {
const QColor kNavy(0x1f, 0x3a, 0x6e);
const QColor kRed(0xc8, 0x28, 0x2d);
const QColor kPaper(0xfd, 0xfd, 0xf8);
const QColor kGold(0xe8, 0xb0, 0x30);

using DrawFn = std::function<void(QPainter&)>;

// Draws in a 20 x 20 coordinate system at the given pixel size.
QPixmap render(int size, const DrawFn& draw) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 20.0, size / 20.0);
    draw(p);
    return pm;
}

QIcon icon(const DrawFn& draw) {
    QIcon i;
    for (int size : {16, 20, 32, 40})
        i.addPixmap(render(size, draw));
    return i;
}

void sheet(QPainter& p, const QRectF& r, const QColor& fill) {
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(QColor(0x55, 0x5a, 0x66), 1.0));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter& p, const QRectF& r, int count, const QColor& color) {
    p.setPen(QPen(color, 1.2));
    for (int i = 0; i < count; ++i) {
        qreal y = r.top() + 2.5 + i * 3.0;
        if (y > r.bottom() - 1.5) break;
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - (i == 0 ? 5.5 : 2.5), y));
    }
}

void drawFolder(QPainter& p) {
    QLinearGradient g(0, 4, 0, 17);
    g.setColorAt(0, QColor(0xff, 0xd8, 0x6b));
    g.setColorAt(1, QColor(0xe9, 0xa8, 0x26));
    p.setPen(QPen(QColor(0xa8, 0x74, 0x10), 1.0));
    p.setBrush(QColor(0xf2, 0xbd, 0x45));
    p.drawRoundedRect(QRectF(1.5, 3.5, 7, 4), 1, 1);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 5.5, 17, 11.5), 1.5, 1.5);
}

void drawDocument(QPainter& p) {
    QRectF r(3.5, 1.5, 13, 17);
    sheet(p, r, kPaper);
    textLines(p, r.adjusted(0, 3, 0, 0), 4, QColor(0x7a, 0x8a, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(5.5, 3.0, 4.5, 2.0));
}

void drawAttachment(QPainter& p) {
    QRectF back(5.5, 1.5, 12, 15);
    sheet(p, back, QColor(0xe4, 0xea, 0xf4));
    QRectF r(2.5, 4.5, 12, 14);
    sheet(p, r, kPaper);
    textLines(p, r.adjusted(0, 2, 0, 0), 4, QColor(0x7a, 0x8a, 0xa8));
    // Paper clip.
    p.setPen(QPen(QColor(0x60, 0x68, 0x78), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4.0, 1.0, 3.0, 8.0), 1.5, 1.5);
}

void drawSpouseAttachment(QPainter& p) {
    drawAttachment(p);
    p.setPen(QPen(Qt::white, 1.0));
    p.setBrush(kNavy);
    p.drawEllipse(QRectF(10.5, 10.5, 9, 9));
    QFont f;
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(10.5, 10.5, 9, 9), Qt::AlignCenter, QStringLiteral("M"));
}

void drawHelp(QPainter& p) {
    QRadialGradient g(8, 7, 10);
    g.setColorAt(0, QColor(0x6f, 0xa8, 0xf0));
    g.setColorAt(1, QColor(0x1f, 0x5f, 0xc0));
    p.setPen(QPen(QColor(0x15, 0x40, 0x90), 1.0));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    QFont f;
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 17, 17), Qt::AlignCenter, QStringLiteral("?"));
}

void drawTools(QPainter& p) {
    // A gear.
    p.translate(10, 10);
    p.setPen(QPen(QColor(0x40, 0x48, 0x58), 1.0));
    p.setBrush(QColor(0x8a, 0x94, 0xa6));
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = i * std::numbers::pi / teeth;
        const qreal r1 = (i % 2 == 0) ? 8.5 : 6.3;
        const qreal a1 = angle - std::numbers::pi / teeth / 2, a2 = angle + std::numbers::pi / teeth / 2;
        QPointF p1(r1 * std::cos(a1), r1 * std::sin(a1)), p2(r1 * std::cos(a2), r1 * std::sin(a2));
        if (i == 0)
            gear.moveTo(p1);
        else
            gear.lineTo(p1);
        gear.lineTo(p2);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 2.8, 2.8);
    p.drawPath(gear.subtracted(hole));
}

void drawDocumentList(QPainter& p) {
    sheet(p, QRectF(7.5, 1.5, 11, 13), QColor(0xe4, 0xea, 0xf4));
    sheet(p, QRectF(4.5, 3.5, 11, 13), QColor(0xf0, 0xf3, 0xf8));
    QRectF r(1.5, 5.5, 11, 13);
    sheet(p, r, kPaper);
    textLines(p, r.adjusted(0, 2, 0, 0), 4, QColor(0x7a, 0x8a, 0xa8));
}

// The emblem in a square of the given side, drawn in a 100 x 100 system.
void drawLogo(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(2, 2, 96, 96), 16, 16);
    QPainterPath form;
    form.moveTo(24, 14);
    form.lineTo(64, 14);
    form.lineTo(78, 28);
    form.lineTo(78, 86);
    form.lineTo(24, 86);
    form.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(form);
    p.setBrush(QColor(0xc9, 0xd3, 0xe6));
    QPainterPath corner;
    corner.moveTo(64, 14);
    corner.lineTo(64, 28);
    corner.lineTo(78, 28);
    corner.closeSubpath();
    p.drawPath(corner);
    p.setBrush(kRed);
    p.drawRect(QRectF(31, 22, 24, 8));
    p.setPen(QPen(QColor(0x8a, 0x98, 0xb4), 3));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(31, 40 + i * 9), QPointF(i == 4 ? 52 : 70, 40 + i * 9));
    // The pen across the form.
    p.save();
    p.translate(70, 66);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(-5, -30, 10, 40));
    p.setBrush(QColor(0x33, 0x33, 0x33));
    QPainterPath nib;
    nib.moveTo(-5, 10);
    nib.lineTo(5, 10);
    nib.lineTo(0, 20);
    nib.closeSubpath();
    p.drawPath(nib);
    p.restore();
}
} // namespace

const QList<QIcon>& MenuImageList() {
    static const QList<QIcon> list = {
        icon(drawFolder), icon(drawDocument),     icon(drawAttachment),      icon(drawHelp),
        icon(drawTools),  icon(drawDocumentList), icon(drawSpouseAttachment)};
    return list;
}

QPixmap LogoPicture(int height) {
    QPixmap pm(height, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(height / 100.0, height / 100.0);
    drawLogo(p);
    return pm;
}

QPixmap BannerTitlePicture() {
    const int h = 64;
    QPixmap pm(330, h);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(4, 4, LogoPicture(h - 8));
    QFont big;
    big.setPixelSize(30);
    big.setBold(true);
    p.setFont(big);
    p.setPen(kNavy);
    p.drawText(QRect(h + 8, 2, 260, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Sumaris"));
    const int w = p.fontMetrics().horizontalAdvance(QStringLiteral("Sumaris "));
    p.setPen(kRed);
    p.drawText(QRect(h + 8 + w, 2, 120, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2022"));
    QFont small;
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(0x50, 0x58, 0x68));
    p.drawText(QRect(h + 9, 38, 260, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Roczne zeznania podatkowe PIT"));
    return pm;
}

QPixmap BannerDecorationPicture() {
    const int h = 64;
    QPixmap pm(150, h);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Coins.
    for (int i = 0; i < 4; ++i) {
        QRectF coin(6, 44 - i * 7, 34, 12);
        p.setPen(QPen(QColor(0xa8, 0x74, 0x10), 1));
        p.setBrush(i == 3 ? QColor(0xf6, 0xcc, 0x55) : kGold);
        p.drawEllipse(coin);
    }
    // Calendar page of the tax year.
    QRectF page(58, 6, 72, 54);
    p.setPen(QPen(QColor(0x90, 0x98, 0xa8), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRoundedRect(QRectF(page.left(), page.top(), page.width(), 16), 4, 4);
    p.drawRect(QRectF(page.left(), page.top() + 8, page.width(), 8));
    QFont f;
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kNavy);
    p.drawText(page.adjusted(0, 16, 0, 0), Qt::AlignCenter, QStringLiteral("2022"));
    return pm;
}

QPixmap MessagePicture(int size) {
    return render(size, drawHelp);
}
