#pragma once
// The rich-text control: a document with load/save by stream type and formatting properties.
#include <QObject>

class TextControl : public QObject
{
    Q_OBJECT
public:
    explicit TextControl(QObject *parent = nullptr);
    ~TextControl() override;
};
