#pragma once
// The window road's file and folder pickers: Qt's file dialogs owned by the given window. The
// "desc|*.A;*.B|" filters become Qt name filters.
#include "platform/FilePicker.h"

#include <QPointer>

class QWidget;

class DialogFilePicker : public FilePicker
{
public:
    explicit DialogFilePicker(QWidget *parent = nullptr) : m_parent(parent) {}
    QString pickFile(const QString &title, const QString &filter, int &filterIndex, const QString &initDir,
                     bool save) override;
    QString browseForFolder(const QString &title, const QString &startPath) override;

private:
    QPointer<QWidget> m_parent;
};
