#pragma once
// The two field splitters.
#include <QString>
#include <QStringList>

// Fields of one line split at a delimiter, counted from 1; never trimmed.
class TTCL {
public:
    void Split(const QString& line, const QString& delimiter);
    QString Field(int i) const;    // empty when there is no such field
    int FieldAsInteger(int i) const; // 0 when missing or not an integer
    int Count() const { return int(fields_.size()); }
    const QStringList& Fields() const { return fields_; }

private:
    QStringList fields_;
};

// Fields counted from 0, with a delimiter text (default ",") and trimming (default on).
class TStringSplitter {
public:
    bool trim = true;
    void SetDelimiter(const QString& delimiter) { delimiter_ = delimiter; }
    QString Delimiter() const { return delimiter_; }
    void SetText(const QString& text);
    QString GetText() const;
    QString Field(int i) const; // empty when out of range
    int Count() const { return int(fields_.size()); }
    void Add(const QString& text) { fields_.append(text); }
    int IndexOf(const QString& text) const { return int(fields_.indexOf(text)); }
    void Clear() { fields_.clear(); }

private:
    QString delimiter_ = QStringLiteral(",");
    QStringList fields_;
};
