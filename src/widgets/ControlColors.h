#pragma once

#include "bridge/Colors.h"

class QWidget;

// Gives a control a stored colour as its background (system colours through the palette).
void SetControlColor(QWidget* control, TColor color);
// Gives a control a stored colour as the colour of its text.
void SetTextColor(QWidget* control, TColor color);
