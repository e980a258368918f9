#pragma once
// The export framework every declaration mapping uses: finding and setting elements of the
// template, reading values from the stored texts of the declaration and of its attachments,
// and the shared blocks (header, person, address, repeated rows, attachments).
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <stdexcept>
#include <utility>

#include "xml/XmlDom.h"

// A stored value that the mapping cannot use (a box that is not a whole number).
class XmlExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document text of one stored document (FOR_DANE) as the export reads it: a number's value
// is that of the first line carrying it.
class StoredText {
public:
    StoredText() = default;
    explicit StoredText(const QString& text);
    bool has(int number) const { return first_.contains(number); }
    // The value as stored (not trimmed); empty when no line carries the number.
    QString value(int number) const { return first_.value(number); }
    // The trimmed values of the numbers first..last in line order, each "0" counting as empty.
    QString range(int first, int last) const;

private:
    QList<std::pair<int, QString>> lines_;
    QHash<int, QString> first_;
};

// One stored attachment of the declaration: its form type (FOR_TYP, "TFRMPIT_O") and its
// document text. A declaration's attachments are given in store order.
struct StoredAttachment {
    QString typeCode;
    QString text;
};

// Element operations.
// Finds an element by name from `start`: the element itself, then (unless `siblings` is set)
// its siblings by name, then depth-first into its children. "A|B" finds B from the A found.
XmlNode FindXmlNode(XmlNode start, const QString& path, bool siblings = false);
// A wanted name without a prefix matches the element name without its prefix.
bool XmlNameMatches(const QString& elementName, const QString& wanted);
// Sets the child's text, or removes the child when the value is blank.
void SetXmlChild(XmlNode element, const QString& name, const QString& value);
// Sets the child's text only when the value is not blank.
void SetXmlChildIfFilled(XmlNode element, const QString& name, const QString& value);
void RemoveXmlChild(XmlNode element, const QString& name);

// Exactly 10 characters (trimmed) is a NIP, anything else a PESEL.
bool IsNipIdentifier(const QString& text);
// "0" becomes empty.
QString ZeroToEmpty(const QString& text);

// The five lines of the too-many-attachments warning.
QString TooManyAttachmentsText(const QString& declarationName, const QString& attachmentName, int limit);
void ShowTooManyAttachments(const QString& declarationName, const QString& attachmentName, int limit);

// Export kinds of GetXmlFieldValue.
enum XmlKind { XmlDate = 0, XmlText = 1, XmlNonZero = 4 };

// Field numbers of the person block: identifier, first name, surname, date of birth.
struct PersonFields {
    int identifier, firstName, surname, birthDate;
};
// How the identifier is written.
enum class IdentifierRule {
    NipOrPesel,            // etd:NIP for 10 characters, else etd:PESEL
    AlwaysNip,             // etd:NIP
    NipOrPeselRemoveOther, // as NipOrPesel, and the other identifier element is removed
};
// Field numbers of the address block.
struct AddressFields {
    int country, wojewodztwo, powiat, gmina, ulica, nrDomu, nrLokalu, miejscowosc, kodPocztowy;
};

// The state of one export: the template document being filled, the stored texts and the
// position in the declaration's attachments.
class XmlExport {
public:
    XmlExport(XmlDocument& document, const QString& declarationText, QList<StoredAttachment> attachments);

    XmlDocument& document() { return doc_; }
    XmlNode root() const { return doc_.documentElement(); }

    // Value getters: from the declaration, or from the current attachment.
    QString GetXmlFieldValue(int number, int kind, bool fromAttachment = false) const;
    QString GetXmlFieldRange(int first, int last, bool fromAttachment = false) const;
    // The value rules of the mappings: as stored, date, non-zero.
    QString T(int number, bool fromAttachment = false) const {
        return GetXmlFieldValue(number, XmlText, fromAttachment);
    }
    QString D(int number, bool fromAttachment = false) const {
        return GetXmlFieldValue(number, XmlDate, fromAttachment);
    }
    QString N(int number, bool fromAttachment = false) const {
        return GetXmlFieldValue(number, XmlNonZero, fromAttachment);
    }
    // A box is ticked when its field holds "1".
    bool Box(int number, bool fromAttachment = false) const { return T(number, fromAttachment) == u"1"; }
    // The box's stored text as a whole number (empty counts as 0); throws XmlExportError.
    int BoxValue(int number, bool fromAttachment = false) const;
    // The value of the last ticked box of a group of (box, value) pairs; empty when none is.
    QString Choice(std::initializer_list<std::pair<int, const char*>> boxes,
                   bool fromAttachment = false) const;

    // Attachments: positions on the first / next stored attachment of a type ("FRMPIT_O").
    bool HasAttachment(const QString& code);
    bool HasNextAttachment(const QString& code);
    bool AnyAttachmentExported = false;
    bool AttachmentFound = false;

    // Blocks.
    void HeaderBlock(XmlNode naglowek, int filingBox, int correctionBox, int yearField, int officeField);
    void PersonBlock(XmlNode person, const PersonFields& fields, bool fromAttachment = false,
                     IdentifierRule rule = IdentifierRule::NipOrPesel);
    void AddressBlock(XmlNode adres, const AddressFields& fields, bool fromAttachment = false);
    // Rows of a table: row i (from 1) is written while its key is not blank, each at the place
    // of the template's prototype row; the first blank key removes the row left over.
    void FillRepeatingRows(XmlNode section, const QString& prototypeName,
                           const std::function<QString(int)>& key,
                           const std::function<void(XmlNode, int)>& fill);
    // An attachment type the declaration may carry once: filled from the first stored one,
    // removed when there is none; more than `limit` give the warning (an empty attachment name
    // gives none).
    void FillSingleAttachment(XmlNode zalaczniki, const QString& elementName, const QString& code,
                              const QString& declarationName, const QString& attachmentName,
                              const std::function<void(XmlNode)>& fill, int limit = 1);
    // An attachment type the declaration may carry many times: one element per stored one.
    void FillRepeatingAttachments(XmlNode zalaczniki, const QString& elementName, const QString& code,
                                  const std::function<void(XmlNode)>& fill);

private:
    const StoredText& source(bool fromAttachment) const;

    XmlDocument& doc_;
    StoredText declaration_;
    QList<StoredAttachment> attachments_;
    QList<StoredText> attachmentTexts_;
    int current_ = -1;
};
