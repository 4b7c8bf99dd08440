#pragma once
// Small helpers for building windows in code: controls carry their names (tests and the
// translator find them by name) and every input gets a label as its buddy.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>

// Gives the widget its control name and returns it.
template <class W> W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A caption in column 0 whose buddy is the field in column 1.
inline void addRow(QGridLayout *g, int row, const char *caption, QWidget *field)
{
    auto *label = new QLabel(QString::fromLatin1(caption));
    label->setBuddy(field);
    g->addWidget(label, row, 0);
    g->addWidget(field, row, 1);
}

// A label that shows nothing and is read by a screen reader as the caption of field, for a
// field whose caption on screen belongs to another control (the second box after one caption,
// a box under a check box); the caller gives it its accessible name. Combo boxes need it: on
// this platform their accessible name is their current text.
inline QLabel *unseenLabel(const char *name, QWidget *field)
{
    auto *label = named(new QLabel, name);
    label->setBuddy(field);
    return label;
}

// The right-aligned row of a dialog's two closing buttons, the first one the default.
inline QHBoxLayout *closingButtonRow(QPushButton *accept, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    accept->setDefault(true);
    row->addStretch(1);
    row->addWidget(accept);
    row->addWidget(cancel);
    return row;
}
