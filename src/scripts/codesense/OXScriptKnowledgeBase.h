// OXScriptKnowledgeBase: the help pages of the script API ("data.xml"), for completions and documentation.
//
// The pages are read once with QXmlStreamReader into a list, and the two query shapes the base needs (pages
// whose title starts with a prefix and whose articleType starts with "Scripting"; the first page with a title)
// are answered over that list in document order: no XPath engine is involved.
#pragma once

#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>

struct OXKnowledgePage {
    QString title;
    QString articleType;
    QString parent;
    QString proto;
    QString description;
};

class OXScriptKnowledgeBase {
public:
    using Node = const OXKnowledgePage *;

    // The one base, read from the "data" xml resource at first use.
    static OXScriptKnowledgeBase &sharedKnowledgeBase();
    // A base over the given document text (tests, tools).
    static OXScriptKnowledgeBase fromXml(const QByteArray &xml, QString *error = nullptr);

    // Titles of the pages that complete the last component of `path` under the namespaces before it.
    QStringList suggestionsForPath(const QStringList &path) const;
    // {"Return Type", "Name", "Argument Names", "Argument Types", "Namespace"[, "Description"]}, or null.
    Value documentationForSuggestion(const QString &title) const;
    // The parts of a prototype as documentationForSuggestion gives them, without the description.
    static Value parsePrototype(const QString &proto);

    Node nodeWithName(const QString &name) const;
    QList<Node> nodesWithNameStartingWith(const QString &prefix) const;
    Node parentOfNode(Node node) const;
    static QString titleOfNode(Node node);
    static QString protoOfNode(Node node);
    static QString descriptionOfNode(Node node);
    static QString parentTitleOfNode(Node node);
    // Whether the titles met going up from the node's parent to "Scripts" are the path's components before
    // its last, nearest first.
    bool nodeAncestryChecksOut(Node node, const QStringList &path) const;

    const QList<OXKnowledgePage> &pages() const { return m_pages; }

private:
    OXScriptKnowledgeBase() = default;
    QList<OXKnowledgePage> m_pages;
};
