// The "確定(&O)" / "取消(&C)" pair that ends the shop's small dialogs, standing
// at the right of one row, named btnOK and btnCancel.
#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// Creates both buttons on `parent` and returns the row that holds them.
QHBoxLayout* makeOkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel);
