#pragma once
// The DOM the e-declaration export works on: a thin layer over libxml2 with the element
// operations the mappings need (names, siblings, set child value, removal, deep copies and
// insertion) and UTF-8 serialisation. Documents are parsed with network access and external
// entities off; whitespace between elements is dropped, as the templates are indented by hand.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <stdexcept>

struct _xmlDoc;
struct _xmlNode;

// A failure of the DOM layer (a document that is not well-formed, a refused removal, an unknown
// prefix, a file that cannot be written); the text says what and where.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class XmlOwnedNode;

// An element of a document, or none. Copies refer to the same element.
class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(_xmlNode* node) : node_(node) {}

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const XmlNode& other) const { return node_ == other.node_; }
    _xmlNode* raw() const { return node_; }

    QString name() const;         // qualified: "etd:NIP"
    QString localName() const;    // "NIP"
    QString namespaceUri() const; // empty when none
    QString text() const;         // the text content of the element and its descendants

    // Navigation over elements only (text, comments and the like are skipped).
    XmlNode parent() const;
    XmlNode nextSibling() const;
    XmlNode previousSibling() const;
    XmlNode firstChild() const;
    QList<XmlNode> children() const;
    bool hasChildNodes() const; // any child node, elements or not

    // The first child element in this element's namespace whose qualified or local name is
    // `name`; when there is none, a new element appended as the last child: a prefixed name
    // takes the namespace bound to its prefix here, an unprefixed one this element's prefix and
    // namespace. Its content is then replaced by `value`. Returns the child.
    XmlNode setChildValue(const QString& name, const QString& value) const;
    // Removes and frees a child element; throws XmlError when it is not a child of this one.
    void removeChild(XmlNode child) const;
    // A deep copy outside the tree; namespaces stay those in scope here.
    XmlOwnedNode cloneDeep() const;
    // Inserts a detached element directly after `reference`, a child of this element.
    XmlNode insertAfter(XmlOwnedNode node, XmlNode reference) const;

private:
    _xmlNode* node_ = nullptr;
};

// An element that belongs to no tree yet (a kept prototype); freed unless inserted.
class XmlOwnedNode {
public:
    XmlOwnedNode() = default;
    explicit XmlOwnedNode(_xmlNode* node) : node_(node) {}
    XmlOwnedNode(XmlOwnedNode&& other) noexcept : node_(other.release()) {}
    XmlOwnedNode& operator=(XmlOwnedNode&& other) noexcept;
    ~XmlOwnedNode();
    XmlNode node() const { return XmlNode(node_); }
    _xmlNode* release() {
        _xmlNode* n = node_;
        node_ = nullptr;
        return n;
    }

private:
    _xmlNode* node_ = nullptr;
};

class XmlDocument {
public:
    // Parses a whole document; `name` (a file name) appears in error texts. Throws XmlError.
    static XmlDocument parse(const QByteArray& bytes, const QString& name);
    // Reads and parses a file. Throws XmlError.
    static XmlDocument load(const QString& path);

    XmlDocument(XmlDocument&& other) noexcept;
    XmlDocument& operator=(XmlDocument&& other) noexcept;
    ~XmlDocument();

    XmlNode documentElement() const;
    // Sets the encoding named in the XML declaration of the output.
    void setEncoding(const QString& encoding);
    // The whole document, indented, in the encoding set (UTF-8 by default).
    QByteArray serialize() const;
    // Writes serialize() to a file (replaced as a whole); throws XmlError.
    void save(const QString& path) const;
    _xmlDoc* raw() const { return doc_; }

private:
    explicit XmlDocument(_xmlDoc* doc) : doc_(doc) {}
    _xmlDoc* doc_ = nullptr;
};
