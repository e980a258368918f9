#include "cli/CliCommands.h"

#include <QFile>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "app/util/Numbers.h"
#include "app/util/Words.h"
#include "app/util/Interaction.h"
#include "cli/CliSupport.h"
#include "cli/DbCommands.h"
#include "cli/XmlCommands.h"
#include "forms/FormDocument.h"
#include "forms/FormTypes.h"
#include "forms/expr/ConditionEvaluator.h"
#include "forms/rules/RuleEngine.h"
#include "forms/rules/RuleLinter.h"

namespace {

// Questions asked while evaluating: texts go to standard error, the answer is fixed by --answer.
class CliInteraction : public Interaction {
public:
    int answer = 0; // 0: cancel / no
    BoxResult showBox(int kind, const QString& text, const QString& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        if (kind == BoxYesNo || kind == BoxYesNoCancel) return answer > 0 ? BoxResult::Yes : BoxResult::No;
        return BoxResult::Ok;
    }
    int pickFromList(const QStringList& lines, int, bool, const QString& caption) override {
        std::fprintf(stderr, "%s\n", caption.toUtf8().constData());
        for (int i = 0; i < lines.size(); ++i) std::fprintf(stderr, "  %d. %s\n", i + 1, lines[i].toUtf8().constData());
        return answer >= 1 && answer <= lines.size() ? answer - 1 : -1;
    }
};

const char* kUsage =
    "usage:\n"
    "  sumaris-cli [--utf8] eval [--import] [--case-sensitive] EXPR\n"
    "  sumaris-cli [--utf8] lint TYPE | lint FILE.EXP --layout TYPE\n"
    "  sumaris-cli [--utf8] recalc TYPE [FILE] [--series TEXT] [--passes N] [--answer N]\n"
    "  sumaris-cli [--utf8] form new TYPE\n"
    "  sumaris-cli [--utf8] form apply TYPE [FILE] [--series TEXT]\n"
    "  sumaris-cli [--utf8] db create PATH | db load-opp DB FILE\n"
    "  sumaris-cli [--utf8] db put --db DB TYPE FILE [--master ID] | db get --db DB ID\n"
    "  sumaris-cli [--utf8] db list --db DB [--type T] [--filter F] [--order O]\n"
    "  sumaris-cli [--utf8] export TYPE FILE [--attachment TYPE=FILE ...] [-o OUT]\n"
    "  sumaris-cli [--utf8] export --db DB --id N [-o OUT]\n"
    "  sumaris-cli [--utf8] validate FILE [--type TYPE | --schema XSD [--namespace NS]] [--remote]\n"
    "  sumaris-cli [--utf8] schemas fetch [TYPE ...] | schemas list   (also --repository DIR, --registry URL)\n"
    "  sumaris-cli [--utf8] words AMOUNT\n"
    "  sumaris-cli [--utf8] picture PICTURE VALUE\n";

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
        const QString text = readDocumentText(args.value(0));
        if (hasSeries) doc->ExpandSeries(series);
        doc->ApplyDocumentText(text);
        out.write(doc->BuildDocumentText());
        return 0;
    }
    throw UsageError(("form: unknown verb " + verb).toStdString());
}

QStringList readRuleFile(const QString& path) {
    QString text = ReadTextFile(path);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int intOption(QStringList& args, const QString& name, int fallback) {
    bool present = false;
    const QString v = takeOption(args, name, &present);
    if (!present) return fallback;
    bool ok = false;
    int n = v.toInt(&ok);
    if (!ok) throw UsageError((name + " expects a number").toStdString());
    return n;
}

int evalCommand(QStringList args, const Output& out) {
    bool import = false, caseSensitive = false;
    if (int i = int(args.indexOf(QStringLiteral("--import"))); i >= 0) import = true, args.removeAt(i);
    if (int i = int(args.indexOf(QStringLiteral("--case-sensitive"))); i >= 0) caseSensitive = true, args.removeAt(i);
    if (args.size() != 1) throw UsageError("eval: expected one expression");
    std::unique_ptr<TConditionEvaluator> ev;
    if (import) ev = std::make_unique<TImportConditionEvaluator>();
    else ev = std::make_unique<TConditionEvaluator>();
    ev->caseSensitive = caseSensitive;
    ev->setCondition(args[0]);
    out.write(ev->EvaluateText() + u'\n');
    return 0;
}

int lintCommand(QStringList args, const Output& out) {
    const QString layoutType = takeOption(args, QStringLiteral("--layout"));
    if (args.size() != 1) throw UsageError("lint: expected TYPE or FILE.EXP --layout TYPE");
    QString file, type = layoutType;
    if (layoutType.isEmpty()) {
        const FormType* t = FindFormType(args[0]);
        if (!t) throw UsageError(("unknown form type " + args[0]).toStdString());
        type = t->typeCode();
        file = FindDataFile(QStringLiteral("EXPR/") + t->windowName() + QStringLiteral(".EXP"));
        if (file.isEmpty()) throw std::runtime_error(("no rule file EXPR/" + t->windowName() + ".EXP").toStdString());
    } else {
        file = args[0];
    }
    const FormType* t = FindFormType(type);
    if (!t) throw UsageError(("unknown form type " + type).toStdString());
    const auto findings = LintRules(readRuleFile(file), LayoutForType(t->typeCode()));
    for (const LintFinding& f : findings)
        out.write(QStringLiteral("%1: %2\n    %3\n").arg(f.line).arg(f.text.trimmed(), f.message));
    return findings.isEmpty() ? 0 : 1;
}

int recalcCommand(QStringList args, const Output& out, CliInteraction& person) {
    const int passes = intOption(args, QStringLiteral("--passes"), 0);
    person.answer = intOption(args, QStringLiteral("--answer"), 0);
    bool hasSeries = false;
    const QString series = takeOption(args, QStringLiteral("--series"), &hasSeries);
    if (args.isEmpty() || args.size() > 2) throw UsageError("recalc: expected TYPE [FILE]");
    auto doc = FormDocument::create(args[0]);
    const FormType* t = FindFormType(args[0]);
    const QString input = readDocumentText(args.value(1));
    if (hasSeries) doc->ExpandSeries(series);
    doc->ApplyDocumentText(input);
    RuleEngine engine(*doc);
    engine.LoadRules(t->windowName() + QStringLiteral(".EXP"));
    if (passes > 0) {
        for (int i = 1; i < passes; ++i) engine.Recalculate();
    } else {
        QString before;
        for (int i = 0; i < 10 && before != doc->BuildDocumentText(); ++i) {
            before = doc->BuildDocumentText();
            engine.Recalculate();
        }
    }
    out.write(doc->BuildDocumentText());
    out.write(QStringLiteral("--\n"));
    for (const QString& h : engine.ErrorHints()) out.write(h + u'\n');
    return 0;
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
        CliInteraction person;
        Interaction* previous = SetInteraction(&person);
        struct Restore {
            Interaction* p;
            ~Restore() { SetInteraction(p); }
        } restore{previous};
        if (command == u"form") return formCommand(args, out);
        if (command == u"eval") return evalCommand(args, out);
        if (command == u"lint") return lintCommand(args, out);
        if (command == u"recalc") return recalcCommand(args, out, person);
        if (command == u"db") return RunDbCommand(args, out.utf8);
        if (command == u"export" || command == u"validate" || command == u"schemas")
            return RunXmlCommand(command, args, out.utf8);
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
