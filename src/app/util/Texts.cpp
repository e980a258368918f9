#include "app/util/Texts.h"

#include "app/util/Encoding.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

QString DateText(const QDate& date) {
    if (!date.isValid()) return QString();
    return QString::asprintf("%02d.%02d.%04d", date.day(), date.month(), date.year());
}

QString TimeText(const QTime& time) {
    if (!time.isValid()) return QString();
    return QString::asprintf("%02d:%02d", time.hour(), time.minute());
}

int YearOf(const QDate& date) {
    return date.year();
}

QString LedgerDateText(int day, int month, int year) {
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1800 || year > 2500)
        return QStringLiteral("  .  .    ");
    return QString::asprintf("%02d.%02d.%04d", day, month, year);
}

QString RemoveDashes(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char('-'));
    return out;
}

QString LedgerFileName(long long a, long long b) {
    return QString::number(a) + QStringLiteral("kpr.") + QString::number(b);
}

bool BitIsSet(int32_t value, int n) {
    if (n < 0 || n > 31) return false;
    return (static_cast<uint32_t>(value) >> n) & 1u;
}

bool BitIsClear(int32_t value, int n) {
    return !BitIsSet(value, n);
}

int32_t SetBit(int32_t value, int n) {
    if (n < 0 || n > 31) return value;
    return static_cast<int32_t>(static_cast<uint32_t>(value) | (1u << n));
}

QString ChooseText(bool flag, const QString& a, const QString& b) {
    return flag ? a : b;
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString CommandLineSwitch(const QString& text) {
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst(); // the program itself
    return CommandLineSwitch(text, arguments);
}

QString CommandLineSwitch(const QString& text, const QStringList& arguments) {
    if (text.isEmpty()) return QString();
    for (const QString& argument : arguments) {
        const QString upper = argument.toUpper();
        if (upper.contains(text)) return upper;
    }
    return QString();
}

QString ReadNameLine(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) return QString();
    const QString content = ReadTextFile(path); // throws when the file cannot be read
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString name;
    for (const QString& raw : content.split(lineBreak)) {
        const QString line = TrimBlanks(raw);
        if (line.startsWith(QStringLiteral("NAME="))) name = TrimBlanks(line.mid(5));
    }
    return name;
}
