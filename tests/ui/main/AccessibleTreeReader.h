#pragma once
// Reads a window's accessibility tree from another thread with one blocking request per node,
// the way the accessibility bus's bridge serves each call of a screen reader in the window's
// thread. Used by the accessibility test and by bench/main_window (--a11y), which times it.
#include <QAccessible>
#include <QElapsedTimer>
#include <QList>
#include <QWidget>

#include <algorithm>

class AccessibleTreeReader
{
public:
    explicit AccessibleTreeReader(QWidget *root)
        : m_context(root), m_root(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(root)))
    {
    }
    // Runs f in the window's thread and waits for it.
    template <typename F> void inWindow(F f) const { QMetaObject::invokeMethod(m_context, f, Qt::BlockingQueuedConnection); }
    // Reads the whole tree; the milliseconds it took, nodes the nodes read.
    qint64 read(int &nodes) const
    {
        QElapsedTimer t;
        t.start();
        nodes = 0;
        for (QList<QAccessible::Id> todo{m_root}; !todo.isEmpty(); ++nodes) {
            const QAccessible::Id id = todo.takeLast();
            inWindow([&] { todo += visit(id); });
        }
        return t.elapsed();
    }
    // The median time of passes reads: a single read may meet a burst of the run's own work.
    qint64 medianRead(int passes, int &nodes) const
    {
        QList<qint64> times;
        while (times.size() < passes)
            times << read(nodes);
        std::sort(times.begin(), times.end());
        return times.at(passes / 2);
    }

private:
    static QList<QAccessible::Id> visit(QAccessible::Id id)
    {
        QList<QAccessible::Id> children;
        QAccessibleInterface *i = QAccessible::accessibleInterface(id);
        if (!i || !i->isValid())
            return children;
        // What a screen reader asks of each node.
        (void)i->text(QAccessible::Name), (void)i->role(), (void)i->state();
        for (int k = 0; k < i->childCount(); ++k)
            if (QAccessibleInterface *c = i->child(k))
                children << QAccessible::uniqueId(c);
        return children;
    }
    QObject *m_context;
    QAccessible::Id m_root;
};
