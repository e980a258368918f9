#include "cli/CliCommands.h"

#include <QFile>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "app/util/Encoding.h"
#include "app/util/Numbers.h"
#include "app/util/Words.h"
#include "forms/FormDocument.h"

namespace {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Output {
    bool utf8 = false;
    void write(const QString& text) const {
        QByteArray bytes = utf8 ? text.toUtf8() : ToWin1250(text);
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    }
};

const char* kUsage =
    "usage:\n"
    "  sumaris-cli [--utf8] form new TYPE\n"
    "  sumaris-cli [--utf8] form apply TYPE [FILE] [--series TEXT]\n"
    "  sumaris-cli [--utf8] words AMOUNT\n"
    "  sumaris-cli [--utf8] picture PICTURE VALUE\n";

// Takes "--name VALUE" out of args; empty when absent.
QString takeOption(QStringList& args, const QString& name, bool* present = nullptr) {
    int i = int(args.indexOf(name));
    if (present) *present = i >= 0;
    if (i < 0) return QString();
    if (i + 1 >= args.size()) throw UsageError(("missing value after " + name).toStdString());
    QString v = args[i + 1];
    args.remove(i, 2);
    return v;
}

QString readInput(const QString& file) {
    QFile f;
    bool ok = file.isEmpty() || file == u"-" ? f.open(stdin, QIODevice::ReadOnly) : (f.setFileName(file), f.open(QIODevice::ReadOnly));
    if (!ok) throw std::runtime_error(("cannot read " + (file.isEmpty() ? QStringLiteral("standard input") : file) + ": " + f.errorString()).toStdString());
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(data.mid(3));
    return FromWin1250(data);
}

int formCommand(QStringList args, const Output& out) {
    if (args.isEmpty()) throw UsageError("form: missing verb");
    const QString verb = args.takeFirst();
    bool hasSeries = false;
    const QString series = takeOption(args, QStringLiteral("--series"), &hasSeries);
    if (args.isEmpty()) throw UsageError("form: missing type code");
    const QString type = args.takeFirst();
    auto doc = FormDocument::create(type);
    if (verb == u"new") {
        if (!args.isEmpty()) throw UsageError("form new: too many arguments");
        out.write(doc->BuildDocumentText());
        return 0;
    }
    if (verb == u"apply") {
        if (args.size() > 1) throw UsageError("form apply: too many arguments");
        const QString text = readInput(args.value(0));
        if (hasSeries) doc->ExpandSeries(series);
        doc->ApplyDocumentText(text);
        out.write(doc->BuildDocumentText());
        return 0;
    }
    throw UsageError(("form: unknown verb " + verb).toStdString());
}

} // namespace

int RunCli(QStringList args) {
    Output out;
    if (int i = int(args.indexOf(QStringLiteral("--utf8"))); i >= 0) {
        out.utf8 = true;
        args.removeAt(i);
    }
    try {
        if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h") {
            std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
            return args.isEmpty() ? 2 : 0;
        }
        const QString command = args.takeFirst();
        if (command == u"form") return formCommand(args, out);
        if (command == u"words") {
            if (args.size() != 1) throw UsageError("words: expected one amount");
            out.write(AmountInWords(ParseNumber(args[0])) + u'\n');
            return 0;
        }
        if (command == u"picture") {
            if (args.size() != 2) throw UsageError("picture: expected PICTURE and VALUE");
            out.write(FormatPicture(args[0], ParseNumber(args[1])) + u'\n');
            return 0;
        }
        throw UsageError(("unknown command " + command).toStdString());
    } catch (const std::exception& e) {
        QString msg = QString::fromUtf8(e.what()).simplified();
        QByteArray bytes = ("sumaris-cli: " + msg + u'\n').toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        return 2;
    }
}
