#include "cli/CliSupport.h"

#include <QFile>

#include "app/util/Encoding.h"

void Output::write(const QString& text, FILE* to) const {
    const QByteArray bytes = utf8 ? text.toUtf8() : ToWin1250(text);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

QString takeOption(QStringList& args, const QString& name, bool* present, const QString& fallback) {
    const int i = int(args.indexOf(name));
    if (present) *present = i >= 0;
    if (i < 0) return fallback;
    if (i + 1 >= args.size()) throw UsageError(("missing value after " + name).toStdString());
    QString v = args[i + 1];
    args.remove(i, 2);
    return v;
}

bool takeFlag(QStringList& args, const QString& name) {
    const int i = int(args.indexOf(name));
    if (i >= 0) args.removeAt(i);
    return i >= 0;
}

QString readDocumentText(const QString& file) {
    QFile f;
    const bool fromStdin = file.isEmpty() || file == u"-";
    const bool ok = fromStdin ? f.open(stdin, QIODevice::ReadOnly) : (f.setFileName(file), f.open(QIODevice::ReadOnly));
    if (!ok)
        throw std::runtime_error(
            ("cannot read " + (fromStdin ? QStringLiteral("standard input") : file) + ": " + f.errorString()).toStdString());
    const QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(data.mid(3));
    return FromWin1250(data);
}
