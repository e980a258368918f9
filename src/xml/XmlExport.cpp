#include "xml/XmlExport.h"

#include <libxml/tree.h>

#include "app/util/Interaction.h"

// ---------------------------------------------------------------------------------------------
// Stored text

StoredText::StoredText(const QString& text) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0) {
            bool ok = false;
            const int number = line.left(eq).trimmed().toInt(&ok);
            if (ok) {
                const QString value = line.mid(eq + 1).toString();
                lines_.append({number, value});
                if (!first_.contains(number)) first_.insert(number, value);
            }
        }
        start = end;
        if (start < n && text[start] == u'\r') ++start;
        if (start < n && text[start] == u'\n') ++start;
    }
}

QString StoredText::range(int first, int last) const {
    QString all;
    for (const auto& [number, value] : lines_) {
        if (number < first || number > last) continue;
        const QString v = value.trimmed();
        if (v != u"0") all += v;
    }
    return all;
}

// ---------------------------------------------------------------------------------------------
// Element operations

namespace {

// The element's name matches `wanted` (UTF-8); an unprefixed wanted name ignores the prefix.
bool nameMatches(const xmlNode* n, const QByteArray& wanted, bool wantedHasPrefix) {
    const char* local = reinterpret_cast<const char*>(n->name);
    if (!wantedHasPrefix) return qstrcmp(wanted.constData(), local) == 0;
    if (!n->ns || !n->ns->prefix) return qstrcmp(wanted.constData(), local) == 0;
    const char* prefix = reinterpret_cast<const char*>(n->ns->prefix);
    const qsizetype p = qsizetype(qstrlen(prefix));
    return wanted.size() > p && wanted.startsWith(prefix) && wanted[p] == ':' &&
           qstrcmp(wanted.constData() + p + 1, local) == 0;
}

struct Wanted {
    QByteArray name;
    bool prefixed;
    explicit Wanted(const QString& n) : name(n.toUtf8()), prefixed(n.contains(u':')) {}
    bool operator()(XmlNode e) const { return e && nameMatches(e.raw(), name, prefixed); }
};

// Every child compared by name first, then the children's children, level by level in
// document order: the first element whose name matches.
XmlNode findInChildren(XmlNode element, const Wanted& wanted) {
    for (XmlNode c = element.firstChild(); c; c = c.nextSibling())
        if (wanted(c)) return c;
    for (XmlNode c = element.firstChild(); c; c = c.nextSibling())
        if (XmlNode found = findInChildren(c, wanted)) return found;
    return {};
}

XmlNode findNamed(XmlNode start, const Wanted& wanted, bool siblings) {
    if (wanted(start)) return start;
    if (!siblings) {
        for (XmlNode s = start.nextSibling(); s; s = s.nextSibling())
            if (wanted(s)) return s;
        for (XmlNode s = start.previousSibling(); s; s = s.previousSibling())
            if (wanted(s)) return s;
    }
    return findInChildren(start, wanted);
}

} // namespace

XmlNode FindXmlNode(XmlNode start, const QString& path, bool siblings) {
    if (!start) return {};
    XmlNode current = start;
    QString rest = path;
    for (qsizetype bar = rest.indexOf(u'|'); bar >= 0; bar = rest.indexOf(u'|')) {
        current = findNamed(current, Wanted(rest.left(bar)), true);
        if (!current) return {};
        rest = rest.mid(bar + 1);
    }
    return findNamed(current, Wanted(rest), siblings);
}

bool XmlNameMatches(const QString& elementName, const QString& wanted) {
    if (wanted.contains(u':')) return elementName == wanted;
    const qsizetype colon = elementName.indexOf(u':');
    return (colon >= 0 ? elementName.mid(colon + 1) : elementName) == wanted;
}

void SetXmlChild(XmlNode element, const QString& name, const QString& value) {
    if (!value.trimmed().isEmpty())
        element.setChildValue(name, value);
    else
        RemoveXmlChild(element, name);
}

void SetXmlChildIfFilled(XmlNode element, const QString& name, const QString& value) {
    if (!value.trimmed().isEmpty()) element.setChildValue(name, value);
}

void RemoveXmlChild(XmlNode element, const QString& name) {
    if (XmlNode found = FindXmlNode(element, name, false)) element.removeChild(found);
}

bool IsNipIdentifier(const QString& text) {
    return text.trimmed().size() == 10;
}

QString ZeroToEmpty(const QString& text) {
    return text == u"0" ? QString() : text;
}

QString TooManyAttachmentsText(const QString& declarationName, const QString& attachmentName, int limit) {
    QString limitText;
    if (limit == 0) {
        limitText = QStringLiteral("nie można załączyć załączników");
    } else {
        QString ending;
        if (limit >= 2 && limit <= 4)
            ending = QStringLiteral("i");
        else if (limit >= 5 && limit <= 99)
            ending = QStringLiteral("ów");
        limitText = QStringLiteral("można załączyć najwyżej %1 załącznik").arg(limit) + ending;
    }
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("UWAGA! Zgodnie ze świętym schematem XML do deklaracji") + crlf + declarationName +
           u' ' + limitText + u' ' + attachmentName + u'.' + crlf +
           QStringLiteral("Wyeksportowana deklaracja będzie niekompletna!") + crlf +
           QStringLiteral("Jeżeli pominięte w eksporcie XML załączniki powinny") + crlf +
           QStringLiteral("być załączone do deklaracji, należy ") + QStringLiteral("je wysłać oddzielnie.");
}

void ShowTooManyAttachments(const QString& declarationName, const QString& attachmentName, int limit) {
    ShowBox(BoxWarning, TooManyAttachmentsText(declarationName, attachmentName, limit),
            QStringLiteral("Za dużo załączników"));
}

// ---------------------------------------------------------------------------------------------
// XmlExport

XmlExport::XmlExport(XmlDocument& document, const QString& declarationText,
                     QList<StoredAttachment> attachments)
    : doc_(document), declaration_(declarationText), attachments_(std::move(attachments)) {
    for (const StoredAttachment& a : attachments_)
        attachmentTexts_.append(StoredText(a.text));
}

const StoredText& XmlExport::source(bool fromAttachment) const {
    static const StoredText none;
    if (!fromAttachment) return declaration_;
    return current_ >= 0 && current_ < attachmentTexts_.size() ? attachmentTexts_[current_] : none;
}

QString XmlExport::GetXmlFieldValue(int number, int kind, bool fromAttachment) const {
    const StoredText& text = source(fromAttachment);
    if (!text.has(number)) return QString();
    QString v = text.value(number);
    switch (kind) {
    case 0: {
        // Stored as day.month.year; a date left empty keeps only the mask's dots.
        const QString day = v.mid(0, 2), month = v.mid(3, 2), year = v.mid(6, 4);
        if (day.trimmed().isEmpty() && month.trimmed().isEmpty() && year.trimmed().isEmpty())
            return QString();
        v = year + u'-' + month + u'-' + day;
        break;
    }
    case 4:
    case 5:
        if (v.trimmed() == u"0") return QString();
        break;
    default:
        break;
    }
    return v.trimmed();
}

QString XmlExport::GetXmlFieldRange(int first, int last, bool fromAttachment) const {
    return source(fromAttachment).range(first, last);
}

int XmlExport::BoxValue(int number, bool fromAttachment) const {
    const QString text = T(number, fromAttachment);
    if (text.isEmpty()) return 0;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        throw XmlExportError(QStringLiteral("field %1: '%2' is not a valid integer value")
                                 .arg(number)
                                 .arg(text)
                                 .toStdString());
    return v;
}

QString XmlExport::Choice(std::initializer_list<std::pair<int, const char*>> boxes,
                          bool fromAttachment) const {
    QString value;
    for (const auto& [box, code] : boxes)
        if (Box(box, fromAttachment)) value = QString::fromLatin1(code);
    return value;
}

bool XmlExport::HasAttachment(const QString& code) {
    const QString type = u'T' + code;
    bool found = false;
    for (int i = 0; i < attachments_.size(); ++i) {
        if (attachments_[i].typeCode.trimmed().compare(type, Qt::CaseInsensitive) == 0) {
            current_ = i;
            found = true;
            break;
        }
    }
    if (found) AnyAttachmentExported = true;
    AttachmentFound = found;
    return found;
}

bool XmlExport::HasNextAttachment(const QString& code) {
    const QString type = u'T' + code;
    for (int i = current_ + 1; i < attachments_.size(); ++i) {
        if (attachments_[i].typeCode.trimmed().compare(type, Qt::CaseInsensitive) == 0) {
            current_ = i;
            return true;
        }
    }
    return false;
}

void XmlExport::HeaderBlock(XmlNode naglowek, int filingBox, int correctionBox, int yearField,
                            int officeField) {
    if (Box(filingBox)) naglowek.setChildValue(QStringLiteral("CelZlozenia"), QStringLiteral("1"));
    if (Box(correctionBox)) naglowek.setChildValue(QStringLiteral("CelZlozenia"), QStringLiteral("2"));
    SetXmlChild(naglowek, QStringLiteral("Rok"), T(yearField));
    SetXmlChild(naglowek, QStringLiteral("KodUrzedu"), T(officeField));
}

void XmlExport::PersonBlock(XmlNode person, const PersonFields& f, bool fromAttachment, IdentifierRule rule) {
    const QString id = T(f.identifier, fromAttachment);
    const bool nip = rule == IdentifierRule::AlwaysNip || IsNipIdentifier(id);
    const QString nipName = QStringLiteral("etd:NIP"), peselName = QStringLiteral("etd:PESEL");
    SetXmlChild(person, nip ? nipName : peselName, id);
    if (rule == IdentifierRule::NipOrPeselRemoveOther) RemoveXmlChild(person, nip ? peselName : nipName);
    SetXmlChild(person, QStringLiteral("etd:ImiePierwsze"), T(f.firstName, fromAttachment));
    SetXmlChild(person, QStringLiteral("etd:Nazwisko"), T(f.surname, fromAttachment));
    SetXmlChild(person, QStringLiteral("etd:DataUrodzenia"), D(f.birthDate, fromAttachment));
}

void XmlExport::AddressBlock(XmlNode adres, const AddressFields& f, bool fromAttachment) {
    QString country = T(f.country, fromAttachment).toUpper();
    if (country.isEmpty()) country = QStringLiteral("PL");
    XmlNode kept;
    if (country != u"PL") {
        kept = FindXmlNode(adres, QStringLiteral("AdresZagr"));
        RemoveXmlChild(adres, QStringLiteral("AdresPol"));
    } else {
        kept = FindXmlNode(adres, QStringLiteral("AdresPol"));
        RemoveXmlChild(adres, QStringLiteral("AdresZagr"));
        SetXmlChild(kept, QStringLiteral("Wojewodztwo"), T(f.wojewodztwo, fromAttachment));
        SetXmlChild(kept, QStringLiteral("Powiat"), T(f.powiat, fromAttachment));
        SetXmlChild(kept, QStringLiteral("Gmina"), T(f.gmina, fromAttachment));
    }
    SetXmlChild(kept, QStringLiteral("KodKraju"), country);
    SetXmlChild(kept, QStringLiteral("Ulica"), T(f.ulica, fromAttachment));
    SetXmlChild(kept, QStringLiteral("NrDomu"), T(f.nrDomu, fromAttachment));
    SetXmlChild(kept, QStringLiteral("NrLokalu"), T(f.nrLokalu, fromAttachment));
    SetXmlChild(kept, QStringLiteral("Miejscowosc"), T(f.miejscowosc, fromAttachment));
    // An untouched postal-code box keeps only its mask's dash, which is no postal code.
    QString postal = T(f.kodPocztowy, fromAttachment);
    if (postal == u"-") postal.clear();
    SetXmlChild(kept, QStringLiteral("KodPocztowy"), postal);
}

void XmlExport::FillRepeatingRows(XmlNode section, const QString& prototypeName,
                                  const std::function<QString(int)>& key,
                                  const std::function<void(XmlNode, int)>& fill) {
    XmlNode current = FindXmlNode(section, prototypeName);
    if (!current) return;
    const XmlOwnedNode prototype = current.cloneDeep();
    for (int i = 1;; ++i) {
        if (key(i).trimmed().isEmpty()) {
            current.parent().removeChild(current);
            return;
        }
        fill(current, i);
        current = current.parent().insertAfter(prototype.node().cloneDeep(), current);
    }
}

void XmlExport::FillSingleAttachment(XmlNode zalaczniki, const QString& elementName, const QString& code,
                                     const QString& declarationName, const QString& attachmentName,
                                     const std::function<void(XmlNode)>& fill, int limit) {
    XmlNode element = FindXmlNode(zalaczniki, elementName);
    if (!element) return; // the form's template offers no such attachment
    if (!HasAttachment(code)) {
        zalaczniki.removeChild(element);
        return;
    }
    fill(element);
    if (!attachmentName.isEmpty() && HasNextAttachment(code))
        ShowTooManyAttachments(declarationName, attachmentName, limit);
}

void XmlExport::FillRepeatingAttachments(XmlNode zalaczniki, const QString& elementName, const QString& code,
                                         const std::function<void(XmlNode)>& fill) {
    XmlNode current = FindXmlNode(zalaczniki, elementName);
    if (!current) return;
    const XmlOwnedNode prototype = current.cloneDeep();
    if (!HasAttachment(code)) {
        zalaczniki.removeChild(current);
        return;
    }
    for (;;) {
        fill(current);
        if (!HasNextAttachment(code)) return;
        current = current.parent().insertAfter(prototype.node().cloneDeep(), current);
    }
}
