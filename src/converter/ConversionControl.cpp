#include "ConversionControl.h"

ConversionControl::ConversionControl(QObject *parent) : QObject(parent) {}
ConversionControl::~ConversionControl() = default;
