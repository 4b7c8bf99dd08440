#pragma once
// A list box that tells when its list is about to drop down, by the mouse, the keyboard or an
// assistive tool's action: the moment a window reacts to as the box's DropDown event.
#include <QComboBox>

class DropDownComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DropDownComboBox(QWidget *parent = nullptr) : QComboBox(parent) {}

    void showPopup() override;

signals:
    void dropDown();
};
