#pragma once

#include <QString>

class QWidget;

// Saves what widget shows as name (a PNG) in the build's screenshot folder, for a person to look
// at; false when it could not be written.
bool SavePng(QWidget* widget, const QString& name);
