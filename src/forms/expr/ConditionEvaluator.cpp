#include "forms/expr/ConditionEvaluator.h"

#include "app/util/Encoding.h"
#include "app/util/Numbers.h"
#include "app/util/Texts.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <cmath>
#include <optional>

namespace {

enum class HostFn {
    Sum,
    Avg,
    Min,
    Max,
    Opp,
    DoGrosza,
    BcRound,
    Date,
    Year,
    Month,
    Day,
    DayOfWeek,
    Format,
    DateToStr,
    TimeToStr,
    IfEmpty,
    BitIsOn,
    BitIsOff,
    Nip,
    NoKreska,
    Positiv,
    Lvto,
    Ask,
    MessageBox,
    AskYesNo, // import engine only
    Trim,     // import engine only
};

std::optional<HostFn> FindHostFunction(const QString& name) {
    static const QHash<QString, HostFn> table = {
        {QStringLiteral("SUM"), HostFn::Sum},
        {QStringLiteral("AVG"), HostFn::Avg},
        {QStringLiteral("MIN"), HostFn::Min},
        {QStringLiteral("MAX"), HostFn::Max},
        {QStringLiteral("OPP"), HostFn::Opp},
        {QStringLiteral("DOGROSZA"), HostFn::DoGrosza},
        {QStringLiteral("BCROUND"), HostFn::BcRound},
        {QStringLiteral("DATE"), HostFn::Date},
        {QStringLiteral("YEAR"), HostFn::Year},
        {QStringLiteral("MONTH"), HostFn::Month},
        {QStringLiteral("DAY"), HostFn::Day},
        {QStringLiteral("DAYOFWEEK"), HostFn::DayOfWeek},
        {QStringLiteral("FORMAT"), HostFn::Format},
        {QStringLiteral("DATETOSTR"), HostFn::DateToStr},
        {QStringLiteral("TIMETOSTR"), HostFn::TimeToStr},
        {QStringLiteral("IFEMPTY"), HostFn::IfEmpty},
        {QStringLiteral("BITISON"), HostFn::BitIsOn},
        {QStringLiteral("BITISOFF"), HostFn::BitIsOff},
        {QStringLiteral("NIP"), HostFn::Nip},
        {QStringLiteral("NOKRESKA"), HostFn::NoKreska},
        {QStringLiteral("POSITIV"), HostFn::Positiv},
        {QStringLiteral("LVTO"), HostFn::Lvto},
        {QStringLiteral("ASK"), HostFn::Ask},
        {QStringLiteral("MESSAGEBOX"), HostFn::MessageBox},
        {QStringLiteral("ASKYESNO"), HostFn::AskYesNo},
        {QStringLiteral("TRIM"), HostFn::Trim},
    };
    const auto it = table.constFind(name);
    if (it == table.constEnd()) return std::nullopt;
    return *it;
}

// Fewest arguments each function needs.
int MinimumArguments(HostFn fn) {
    switch (fn) {
    case HostFn::Date:
        return 0;
    case HostFn::Opp:
    case HostFn::BcRound:
    case HostFn::IfEmpty:
    case HostFn::BitIsOn:
    case HostFn::BitIsOff:
    case HostFn::Lvto:
        return 2;
    default:
        return 1;
    }
}

const QDate& DayZero() {
    static const QDate zero(1899, 12, 30);
    return zero;
}

constexpr qint64 kMsPerDay = 86400000;

// The date of a day count (its fraction is the time of day), rounded to the millisecond first as
// a date-time value is; nothing outside the years 1 to 9999.
std::optional<QDate> DateOfDayCount(double count) {
    if (!(std::fabs(count) < 3.0e6)) return std::nullopt;
    const qint64 ms = std::llround(count * double(kMsPerDay));
    const QDate date = DayZero().addDays(ms / kMsPerDay);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) return std::nullopt;
    return date;
}

QString TimeOfDayCount(double count) {
    const double fraction = std::fabs(count - std::trunc(count));
    const qint64 ms = std::llround(fraction * double(kMsPerDay)) % kMsPerDay;
    return QString::asprintf("%02d:%02d", int(ms / 3600000), int(ms / 60000 % 60));
}

QStringList Texts(const ParameterList& params) {
    QStringList lines;
    lines.reserve(qsizetype(params.size()));
    for (const auto& p : params)
        lines.append(p->TextValue());
    return lines;
}

ExprPtr Float(double value) {
    return std::make_unique<TFloatLiteral>(CheckedFloat(value));
}
ExprPtr Integer(qint64 value) {
    return std::make_unique<TIntegerLiteral>(value);
}
ExprPtr Text(const QString& value) {
    return std::make_unique<TStringLiteral>(value);
}
ExprPtr Boolean(bool value) {
    return std::make_unique<TBooleanLiteral>(value);
}

} // namespace

TConditionEvaluator::~TConditionEvaluator() = default;

void TConditionEvaluator::setCondition(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    condition_ = caseSensitive ? trimmed : UpperCase1250(trimmed);
}

QString TConditionEvaluator::EvaluateText() {
    lastError_.clear();
    if (condition_.isEmpty()) return QString();
    try {
        return ParseExpression(PrepareCondition())->TextValue();
    } catch (const EExpression& e) {
        lastError_ = e.message();
    } catch (const std::exception& e) {
        lastError_ = QString::fromUtf8(e.what());
    }
    if (lastError_.isEmpty()) lastError_ = QStringLiteral("?");
    return QString();
}

QString TConditionEvaluator::PrepareCondition() {
    QString text = condition_;
    conditionType = DetectConditionType(text);
    return SubstituteReferences(text);
}

QString TConditionEvaluator::GetReferenceValue(const QString& name) {
    Q_UNUSED(name);
    return QString();
}

QString TConditionEvaluator::SubstituteReferences(const QString& text) {
    QString out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        if (open < 0) break;
        const qsizetype close = text.indexOf(QLatin1Char(']'), pos);
        if (close < open) break; // none, or one before the "[": the substitution ends
        out += QStringView(text).mid(pos, open - pos);
        out += GetReferenceValue(text.mid(open + 1, close - open - 1));
        pos = close + 1; // go on after the inserted value
    }
    if (pos == 0) return text;
    out += QStringView(text).mid(pos);
    return out;
}

ConditionType TConditionEvaluator::DetectConditionType(QString& text) {
    text = TrimBlanks(text);
    auto startsWith = [&text](const char* prefix) {
        return text.startsWith(QLatin1StringView(prefix), Qt::CaseInsensitive);
    };
    ConditionType type = defaultConditionType;
    if (startsWith("STR") || text.contains(QLatin1Char('\''))) {
        if (startsWith("STR")) text.remove(0, 3);
        type = ConditionType::ctString;
    } else if (startsWith("NUM")) {
        text.remove(0, 3);
        type = ConditionType::ctNumeric;
    } else if (startsWith("BOOL")) {
        text.remove(0, 4);
        type = ConditionType::ctBoolean;
    }
    text = TrimBlanks(text);
    return type;
}

ExprPtr TConditionEvaluator::ResolveFunction(const QString& name, ParameterList* params) {
    return HostFunction(name, params, false);
}

ExprPtr TConditionEvaluator::ParseExpression(const QString& text) {
    return ParseExprText(text, this, parseOptions);
}

ExprPtr TConditionEvaluator::HostFunction(const QString& name, ParameterList* params, bool importVariant) {
    const std::optional<HostFn> found = FindHostFunction(name);
    if (!found) return nullptr;
    const HostFn fn = *found;
    if (importVariant ? fn == HostFn::Opp : (fn == HostFn::AskYesNo || fn == HostFn::Trim)) return nullptr;
    static const ParameterList none;
    const ParameterList& args = params ? *params : none;
    if (qsizetype(args.size()) < MinimumArguments(fn)) return nullptr;
    auto num = [&args](size_t i) { return args[i]->FloatValue(); };
    auto text = [&args](size_t i) { return args[i]->TextValue(); };

    // A reading error leaves the name unresolved, so the parser reports it as unknown.
    try {
        switch (fn) {
        case HostFn::Sum:
        case HostFn::Avg: {
            double sum = 0;
            for (size_t i = 0; i < args.size(); ++i)
                sum = CheckedFloat(sum + num(i));
            return Float(fn == HostFn::Sum ? sum : sum / double(args.size()));
        }
        case HostFn::Min:
        case HostFn::Max: {
            double best = num(0);
            for (size_t i = 1; i < args.size(); ++i) {
                const double v = num(i);
                if (fn == HostFn::Min ? v < best : v > best) best = v;
            }
            return Float(best);
        }
        case HostFn::Opp: {
            // Truncated as the product's 15-digit text reads: 180 x 0.015 x 10 is 26.999999999999996
            // in binary and must still give 2.7.
            const double tenths = CheckedFloat(num(0) * num(1) * 10);
            return Float(std::trunc(RoundHalfAway(tenths, 9)) / 10);
        }
        case HostFn::DoGrosza:
            return Float(RoundCents(num(0)));
        case HostFn::BcRound:
            return Float(RoundToMultiple(num(0), num(1)));
        case HostFn::Date:
            return Float(double(DayZero().daysTo(QDate::currentDate())));
        case HostFn::Year:
        case HostFn::Month:
        case HostFn::Day: {
            const std::optional<QDate> date = DateOfDayCount(num(0));
            if (!date) return Float(0);
            return Float(fn == HostFn::Year    ? date->year()
                         : fn == HostFn::Month ? date->month()
                                               : date->day());
        }
        case HostFn::DayOfWeek: {
            const std::optional<QDate> date = DateOfDayCount(num(0));
            return Float(date ? date->dayOfWeek() % 7 + 1 : 8); // 1 Sunday .. 7 Saturday
        }
        case HostFn::Format: {
            try {
                const double value = num(0);
                const QString picture = args.size() > 1 ? text(1) : QStringLiteral("########.##");
                return Text(TrimBlanks(FormatPicture(picture, value)));
            } catch (const EExpression&) {
                return Text(text(0));
            }
        }
        case HostFn::DateToStr: {
            const std::optional<QDate> date = DateOfDayCount(num(0));
            if (!date) return nullptr;
            return Text(DateText(*date));
        }
        case HostFn::TimeToStr:
            return Text(TimeOfDayCount(num(0)));
        case HostFn::IfEmpty: {
            if (conditionType == ConditionType::ctNumeric) {
                const bool empty = text(0).isEmpty() || num(0) == 0;
                return Float(empty ? num(1) : num(0));
            }
            const QString first = text(0);
            if (!first.isEmpty() && first != QLatin1StringView("''")) return Text(first);
            return Text(text(1));
        }
        case HostFn::BitIsOn:
        case HostFn::BitIsOff: {
            const auto value = qint32(quint32(quint64(args[0]->IntegerValue())));
            const int bit = int(args[1]->IntegerValue() & 31);
            return Boolean(fn == HostFn::BitIsOn ? BitIsSet(value, bit) : BitIsClear(value, bit));
        }
        case HostFn::Nip: {
            const QString nip = text(0);
            return Text(nip.size() > 12 ? RemoveDashes(nip) : nip);
        }
        case HostFn::NoKreska:
            return Text(RemoveDashes(text(0)));
        case HostFn::Positiv: {
            const double v = num(0);
            return Float(v < 0 ? 0 : v);
        }
        case HostFn::Lvto: {
            const double a = num(0);
            const double b = num(1);
            const double smaller = b < a ? b : a;
            return Float(!importVariant && smaller < 0 ? 0 : smaller);
        }
        case HostFn::Ask: {
            const QStringList lines = Texts(args);
            if (askMenu_.lines != lines) askMenu_.lastIndex = -1; // another list: nothing to preselect
            askMenu_.lines = lines;
            askMenu_.autoSize = true;
            return Integer(askMenu_.Execute() + 1);
        }
        case HostFn::MessageBox:
            ShowBox(BoxInfo, Texts(args).join(QLatin1Char('\n')));
            return Integer(0);
        case HostFn::AskYesNo: {
            const QString question = Texts(args).join(QLatin1Char('\n'));
            return Integer(ShowBox(BoxYesNo, question, QStringLiteral("Uwaga!")) == BoxResult::Yes ? 1 : 0);
        }
        case HostFn::Trim:
            return Text(TrimBlanks(text(0)));
        }
    } catch (const EExpression&) {
        return nullptr;
    }
    return nullptr;
}

// ---- TImportConditionEvaluator

TImportConditionEvaluator::TImportConditionEvaluator() {
    parseOptions.bigIntegersAsStrings = true;
}

ExprPtr TImportConditionEvaluator::ResolveFunction(const QString& name, ParameterList* params) {
    return HostFunction(name, params, true);
}

bool TImportConditionEvaluator::ConditionIsTrue(const QString& condition) {
    setCondition(condition);
    const QString stored = this->condition();
    if (stored.isEmpty() || stored.compare(QLatin1StringView("TRUE"), Qt::CaseInsensitive) == 0) return true;
    try {
        const ExprPtr root = ParseExpression(PrepareCondition());
        return root->ValueType() == ExprType::Boolean && root->BooleanValue();
    } catch (const std::exception&) {
        return true; // a condition that cannot be tested does not stop the import
    }
}
