// OXScriptKnowledgeBase: reading the help pages and answering the completion and documentation queries.
#include "OXScriptKnowledgeBase.h"

#include "Resources.h"

#include <QXmlStreamReader>

namespace {
const QString rootTitle = QStringLiteral("Scripts");
// Deeper chains than this are treated as a loop in the pages' parents.
constexpr int maxDepth = 64;
} // namespace

OXScriptKnowledgeBase &OXScriptKnowledgeBase::sharedKnowledgeBase()
{
    static OXScriptKnowledgeBase base = [] {
        const auto bytes = Resources::read(QStringLiteral("data.xml"));
        return bytes ? fromXml(*bytes) : OXScriptKnowledgeBase();
    }();
    return base;
}

OXScriptKnowledgeBase OXScriptKnowledgeBase::fromXml(const QByteArray &xml, QString *error)
{
    OXScriptKnowledgeBase base;
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("root")) {
        if (error)
            *error = QStringLiteral("the document has no root element \"root\"");
        return base;
    }
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("page")) {
            reader.skipCurrentElement();
            continue;
        }
        OXKnowledgePage page;
        while (reader.readNextStartElement()) {
            const QStringView name = reader.name();
            const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (name == QLatin1String("title"))
                page.title = text;
            else if (name == QLatin1String("articleType"))
                page.articleType = text;
            else if (name == QLatin1String("parent"))
                page.parent = text;
            else if (name == QLatin1String("proto"))
                page.proto = text;
            else if (name == QLatin1String("description"))
                page.description = text;
        }
        base.m_pages.append(page);
    }
    if (reader.hasError()) {
        if (error)
            *error = reader.errorString();
        base.m_pages.clear();
    }
    return base;
}

OXScriptKnowledgeBase::Node OXScriptKnowledgeBase::nodeWithName(const QString &name) const
{
    for (const OXKnowledgePage &page : m_pages) {
        if (page.title == name)
            return &page;
    }
    return nullptr;
}

QList<OXScriptKnowledgeBase::Node> OXScriptKnowledgeBase::nodesWithNameStartingWith(const QString &prefix) const
{
    QList<Node> nodes;
    for (const OXKnowledgePage &page : m_pages) {
        if (page.articleType.startsWith(QLatin1String("Scripting")) && page.title.startsWith(prefix))
            nodes.append(&page);
    }
    return nodes;
}

OXScriptKnowledgeBase::Node OXScriptKnowledgeBase::parentOfNode(Node node) const
{
    return node && !node->parent.isEmpty() ? nodeWithName(node->parent) : nullptr;
}

QString OXScriptKnowledgeBase::titleOfNode(Node node)
{
    return node ? node->title : QString();
}

QString OXScriptKnowledgeBase::protoOfNode(Node node)
{
    return node ? node->proto : QString();
}

QString OXScriptKnowledgeBase::descriptionOfNode(Node node)
{
    return node ? node->description : QString();
}

QString OXScriptKnowledgeBase::parentTitleOfNode(Node node)
{
    return node ? node->parent : QString();
}

bool OXScriptKnowledgeBase::nodeAncestryChecksOut(Node node, const QStringList &path) const
{
    if (!node || path.isEmpty())
        return false;
    // The namespaces the path names, nearest first, against the titles met going up.
    QStringList chain;
    Node parent = parentOfNode(node);
    while (parent && parent->title != rootTitle && chain.size() <= maxDepth) {
        chain.append(parent->title);
        parent = parentOfNode(parent);
    }
    // A chain that never reaches "Scripts" is not part of the scripting pages.
    if (!parent && !node->parent.isEmpty() && node->parent != rootTitle)
        return false;
    const qsizetype namespaces = path.size() - 1;
    if (chain.size() != namespaces)
        return false;
    for (qsizetype i = 0; i < namespaces; ++i) {
        if (chain[i] != path[namespaces - 1 - i])
            return false;
    }
    return true;
}

QStringList OXScriptKnowledgeBase::suggestionsForPath(const QStringList &path) const
{
    QStringList titles;
    if (path.isEmpty())
        return titles;
    for (Node node : nodesWithNameStartingWith(path.last())) {
        if (nodeAncestryChecksOut(node, path))
            titles.append(node->title);
    }
    return titles;
}

Value OXScriptKnowledgeBase::parsePrototype(const QString &proto)
{
    const QString text = proto.trimmed();
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return Value();
    const QString returnType = text.left(blank);
    const QString rest = text.mid(blank + 1).trimmed();
    const qsizetype dot = rest.indexOf(u'.');
    if (dot < 0)
        return Value();
    const QString nameSpace = rest.left(dot);
    const QString remainder = rest.mid(dot + 1);
    const qsizetype paren = remainder.indexOf(u'(');
    if (paren < 0)
        return Value();
    const QString name = remainder.left(paren);
    QString arguments = remainder.mid(paren + 1);
    if (arguments.endsWith(u')'))
        arguments.chop(1);
    Value names = Value::array();
    Value types = Value::array();
    for (const QString &part : arguments.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = part.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (words.size() == 2) {
            types.append(words[0]);
            names.append(words[1]);
        } else if (words.size() == 1) {
            types.append(QString());
            names.append(words[0]);
        }
    }
    return Value::dict({{"Return Type", returnType},
                        {"Name", name},
                        {"Argument Names", names},
                        {"Argument Types", types},
                        {"Namespace", nameSpace}});
}

Value OXScriptKnowledgeBase::documentationForSuggestion(const QString &title) const
{
    const Node node = nodeWithName(title);
    if (!node || node->proto.isEmpty())
        return Value();
    Value doc = parsePrototype(node->proto);
    if (doc.isDict() && !node->description.isEmpty())
        doc.set(QStringLiteral("Description"), node->description);
    return doc;
}
