#pragma once
// The fixed order of the LINK settings page's setting pages, each key with its group (the name of
// the tab that shows it): the key after and before a key, a key's group, and which of two keys
// comes later. A key that is not listed gives empty answers and counts as lying before every
// listed key.
#include <QMap>
#include <QString>

#include <climits>

namespace OX
{

class LinkNavigator
{
public:
    struct Node {
        QString key;
        QString group;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

    LinkNavigator() = default;
    LinkNavigator(LinkNavigator const&) = delete;
    LinkNavigator& operator=(LinkNavigator const&) = delete;
    virtual ~LinkNavigator();

    // Links key right after after; an empty after means after the key added last. Without such a
    // key (or when nothing was added yet) the new key goes to the head. A key added again points
    // its lookups to the new node.
    void addPage(QString const& key, QString const& group, QString const& after);
    // Empty for the last key and for a key not listed.
    QString getNextOf(QString const& key) const;
    // Empty for the first key and for a key not listed.
    QString getPrevOf(QString const& key) const;
    // The group; empty for a key not listed.
    QString operator[](QString const& key) const;
    // 0 for the same key, 1 when a comes after b, -1 when before; INT_MIN when only b is listed,
    // INT_MAX when b is not listed.
    int compare(QString const& a, QString const& b) const;

    Node const* head() const { return m_head; }

private:
    QString m_lastKey;
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    QMap<QString, Node*> m_index;
};

} // namespace OX
