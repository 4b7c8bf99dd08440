#pragma once
// Client of the conversion control: the engine's view of the office worker.
#include <QObject>

class ConversionControl : public QObject
{
    Q_OBJECT
public:
    explicit ConversionControl(QObject *parent = nullptr);
    ~ConversionControl() override;
};
