#include "xml/XmlDom.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include "xml/LibXmlSupport.h"

namespace {

const xmlChar* utf8(const QByteArray& bytes) {
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}
QString fromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

bool isElement(const xmlNode* n) {
    return n && n->type == XML_ELEMENT_NODE;
}

QString qualifiedName(const xmlNode* n) {
    QString local = fromXml(n->name);
    if (n->ns && n->ns->prefix) return fromXml(n->ns->prefix) + u':' + local;
    return local;
}

// The qualified name equals `wanted`, or (with `orLocal`) the local name does.
bool nameEquals(const xmlNode* n, const QByteArray& wanted, bool orLocal) {
    const char* local = reinterpret_cast<const char*>(n->name);
    if (orLocal && wanted == local) return true;
    if (!n->ns || !n->ns->prefix) return wanted == local;
    const char* prefix = reinterpret_cast<const char*>(n->ns->prefix);
    const qsizetype p = qsizetype(qstrlen(prefix));
    return wanted.size() > p && wanted.startsWith(prefix) && wanted[p] == ':' &&
           qstrcmp(wanted.constData() + p + 1, local) == 0;
}

bool sameNamespace(const xmlNs* a, const xmlNs* b) {
    static const xmlChar none[] = "";
    const xmlChar* ha = a && a->href ? a->href : none;
    const xmlChar* hb = b && b->href ? b->href : none;
    return xmlStrEqual(ha, hb);
}

// Whitespace between elements is layout of the template, not content.
void stripBlankText(xmlNode* parent) {
    xmlNode* child = parent->children;
    while (child) {
        xmlNode* next = child->next;
        if (child->type == XML_TEXT_NODE && xmlIsBlankNode(child) && xmlNodeGetSpacePreserve(parent) != 1) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        } else if (child->type == XML_ELEMENT_NODE) {
            stripBlankText(child);
        }
        child = next;
    }
}

// Copies an element and its content into `doc`. Namespace declarations made inside the copied
// part are copied with it; references to declarations above it are kept as they are, so the
// copy belongs where the original stands.
xmlNode* copyTree(const xmlNode* src, xmlDoc* doc, QHash<const xmlNs*, xmlNs*>& map) {
    switch (src->type) {
    case XML_ELEMENT_NODE: {
        xmlNode* copy = xmlNewDocNode(doc, nullptr, src->name, nullptr);
        if (!copy) return nullptr;
        for (const xmlNs* d = src->nsDef; d; d = d->next)
            map.insert(d, xmlNewNs(copy, d->href, d->prefix));
        copy->ns = src->ns ? map.value(src->ns, src->ns) : nullptr;
        for (const xmlAttr* a = src->properties; a; a = a->next) {
            xmlChar* value = xmlNodeListGetString(src->doc, a->children, 1);
            xmlNewNsProp(copy, a->ns ? map.value(a->ns, a->ns) : nullptr, a->name, value);
            xmlFree(value);
        }
        for (const xmlNode* c = src->children; c; c = c->next) {
            if (xmlNode* cc = copyTree(c, doc, map)) xmlAddChild(copy, cc);
        }
        return copy;
    }
    case XML_TEXT_NODE:
        return xmlNewDocText(doc, src->content);
    case XML_CDATA_SECTION_NODE:
        return xmlNewCDataBlock(doc, src->content, xmlStrlen(src->content));
    case XML_COMMENT_NODE:
        return xmlNewDocComment(doc, src->content);
    default:
        return nullptr;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// XmlNode

QString XmlNode::name() const {
    return node_ ? qualifiedName(node_) : QString();
}
QString XmlNode::localName() const {
    return node_ ? fromXml(node_->name) : QString();
}
QString XmlNode::namespaceUri() const {
    return node_ && node_->ns ? fromXml(node_->ns->href) : QString();
}

QString XmlNode::text() const {
    if (!node_) return QString();
    xmlChar* content = xmlNodeGetContent(node_);
    QString t = fromXml(content);
    xmlFree(content);
    return t;
}

XmlNode XmlNode::parent() const {
    return XmlNode(node_ && isElement(node_->parent) ? node_->parent : nullptr);
}

XmlNode XmlNode::nextSibling() const {
    if (!node_) return {};
    xmlNode* n = node_->next;
    while (n && !isElement(n))
        n = n->next;
    return XmlNode(n);
}

XmlNode XmlNode::previousSibling() const {
    if (!node_) return {};
    xmlNode* n = node_->prev;
    while (n && !isElement(n))
        n = n->prev;
    return XmlNode(n);
}

XmlNode XmlNode::firstChild() const {
    if (!node_) return {};
    xmlNode* n = node_->children;
    while (n && !isElement(n))
        n = n->next;
    return XmlNode(n);
}

QList<XmlNode> XmlNode::children() const {
    QList<XmlNode> list;
    for (XmlNode c = firstChild(); c; c = c.nextSibling())
        list.append(c);
    return list;
}

bool XmlNode::hasChildNodes() const {
    return node_ && node_->children;
}

XmlNode XmlNode::setChildValue(const QString& name, const QString& value) const {
    if (!node_)
        throw XmlError(("cannot set " + name + ": its parent element is not in the template").toStdString());
    xmlNode* child = nullptr;
    const QByteArray wanted = name.toUtf8();
    for (xmlNode* c = node_->children; c && !child; c = c->next) {
        if (isElement(c) && sameNamespace(c->ns, node_->ns) && nameEquals(c, wanted, true)) child = c;
    }
    if (!child) {
        const qsizetype colon = name.indexOf(u':');
        xmlNs* ns = node_->ns;
        if (colon >= 0) {
            const QByteArray prefix = name.left(colon).toUtf8();
            ns = xmlSearchNs(node_->doc, node_, utf8(prefix));
            if (!ns)
                throw XmlError(("cannot create " + name + " in " + this->name() + ": the prefix " +
                                name.left(colon) + " is not declared")
                                   .toStdString());
        }
        const QByteArray local = name.mid(colon + 1).toUtf8();
        child = xmlNewDocNode(node_->doc, ns, utf8(local), nullptr);
        if (!child || !xmlAddChild(node_, child)) throw XmlError(("cannot create " + name).toStdString());
    }
    xmlNodeSetContent(child, nullptr);
    if (!value.isEmpty()) xmlAddChild(child, xmlNewDocText(node_->doc, utf8(value.toUtf8())));
    return XmlNode(child);
}

void XmlNode::removeChild(XmlNode child) const {
    if (!node_ || !child || child.node_->parent != node_)
        throw XmlError(("cannot remove " + child.name() + " from " + name() + ": it is not a child of it")
                           .toStdString());
    xmlUnlinkNode(child.node_);
    xmlFreeNode(child.node_);
}

XmlOwnedNode XmlNode::cloneDeep() const {
    if (!node_) return {};
    QHash<const xmlNs*, xmlNs*> map;
    return XmlOwnedNode(copyTree(node_, node_->doc, map));
}

XmlNode XmlNode::insertAfter(XmlOwnedNode node, XmlNode reference) const {
    if (!node_ || !reference || reference.node_->parent != node_ || node.node().isNull())
        throw XmlError(("cannot insert after " + reference.name() + " in " + name()).toStdString());
    xmlNode* n = node.release();
    xmlAddNextSibling(reference.node_, n);
    return XmlNode(n);
}

XmlOwnedNode& XmlOwnedNode::operator=(XmlOwnedNode&& other) noexcept {
    if (this != &other) {
        if (node_) xmlFreeNode(node_);
        node_ = other.release();
    }
    return *this;
}

XmlOwnedNode::~XmlOwnedNode() {
    if (node_) xmlFreeNode(node_);
}

// ---------------------------------------------------------------------------------------------
// XmlDocument

XmlDocument XmlDocument::parse(const QByteArray& bytes, const QString& name) {
    LibXmlErrorScope errors;
    LibXmlLoaderScope nothingExternal;
    const int options = XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_BIG_LINES;
    const QByteArray url = name.toUtf8();
    xmlDoc* doc = xmlReadMemory(bytes.constData(), int(bytes.size()), url.constData(), nullptr, options);
    if (!doc || errors.first().present || !nothingExternal.refused().isEmpty() ||
        !xmlDocGetRootElement(doc)) {
        if (doc) xmlFreeDoc(doc);
        const LibXmlFirstError& e = errors.first();
        QString text = name + QStringLiteral(": ");
        if (e.present)
            text += QStringLiteral("line %1: %2").arg(e.line).arg(e.message);
        else if (!nothingExternal.refused().isEmpty())
            text += QStringLiteral("refers to an external resource, which is not loaded: ") +
                    nothingExternal.refused().first();
        else
            text += QStringLiteral("not an XML document");
        throw XmlError(text.toStdString());
    }
    stripBlankText(xmlDocGetRootElement(doc));
    return XmlDocument(doc);
}

XmlDocument XmlDocument::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw XmlError(("cannot read " + path + ": " + f.errorString()).toStdString());
    return parse(f.readAll(), path);
}

XmlDocument::XmlDocument(XmlDocument&& other) noexcept : doc_(other.doc_) {
    other.doc_ = nullptr;
}

XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
    if (this != &other) {
        if (doc_) xmlFreeDoc(doc_);
        doc_ = other.doc_;
        other.doc_ = nullptr;
    }
    return *this;
}

XmlDocument::~XmlDocument() {
    if (doc_) xmlFreeDoc(doc_);
}

XmlNode XmlDocument::documentElement() const {
    return XmlNode(doc_ ? xmlDocGetRootElement(doc_) : nullptr);
}

void XmlDocument::setEncoding(const QString& encoding) {
    if (!doc_) return;
    if (doc_->encoding) xmlFree(const_cast<xmlChar*>(doc_->encoding));
    doc_->encoding = xmlStrdup(utf8(encoding.toUtf8()));
}

QByteArray XmlDocument::serialize() const {
    if (!doc_) return {};
    xmlChar* mem = nullptr;
    int size = 0;
    const char* encoding = doc_->encoding ? reinterpret_cast<const char*>(doc_->encoding) : "UTF-8";
    xmlDocDumpFormatMemoryEnc(doc_, &mem, &size, encoding, 1);
    if (!mem) throw XmlError("cannot serialise the document");
    QByteArray bytes(reinterpret_cast<const char*>(mem), size);
    xmlFree(mem);
    return bytes;
}

void XmlDocument::save(const QString& path) const {
    const QByteArray bytes = serialize();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw XmlError(("cannot write " + path + ": " + f.errorString()).toStdString());
}
