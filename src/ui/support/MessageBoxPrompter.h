#pragma once
// The window road's message boxes: a QMessageBox for each call, owned by the given window.
#include "platform/Prompter.h"

#include <QPointer>

class QWidget;

class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    int msgBox(const QString &text, int style, const QString &title = QString()) override;

private:
    QPointer<QWidget> m_parent;
};
