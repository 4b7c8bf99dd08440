#include "TextControl.h"

TextControl::TextControl(QObject *parent) : QObject(parent) {}
TextControl::~TextControl() = default;
