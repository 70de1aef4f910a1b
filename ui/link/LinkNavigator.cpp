#include "ui/link/LinkNavigator.h"

namespace OX
{

LinkNavigator::~LinkNavigator()
{
    Node* node = m_head;
    while (node) {
        Node* next = node->next;
        delete node;
        node = next;
    }
}

void LinkNavigator::addPage(QString const& key, QString const& group, QString const& after)
{
    auto* node = new Node { key, group, nullptr, nullptr };
    Node* anchor = m_index.value(after.isEmpty() ? m_lastKey : after, nullptr);
    if (anchor) {
        node->prev = anchor;
        node->next = anchor->next;
        if (anchor->next)
            anchor->next->prev = node;
        anchor->next = node;
        if (anchor == m_tail)
            m_tail = node;
    } else {
        node->next = m_head;
        if (m_head)
            m_head->prev = node;
        m_head = node;
        if (!m_tail)
            m_tail = node;
    }
    m_index.insert(key, node);
    m_lastKey = key;
}

QString LinkNavigator::getNextOf(QString const& key) const
{
    Node* node = m_index.value(key, nullptr);
    return node && node->next ? node->next->key : QString();
}

QString LinkNavigator::getPrevOf(QString const& key) const
{
    Node* node = m_index.value(key, nullptr);
    return node && node->prev ? node->prev->key : QString();
}

QString LinkNavigator::operator[](QString const& key) const
{
    Node* node = m_index.value(key, nullptr);
    return node ? node->group : QString();
}

int LinkNavigator::compare(QString const& a, QString const& b) const
{
    if (a == b)
        return 0;
    Node* nodeB = m_index.value(b, nullptr);
    if (!nodeB)
        return INT_MAX;
    Node* nodeA = m_index.value(a, nullptr);
    if (!nodeA)
        return INT_MIN;
    for (Node* node = nodeB; node; node = node->next)
        if (node == nodeA)
            return 1;
    return -1;
}

} // namespace OX
