#pragma once

#include <QIcon>

// Velmora's own icon (data/velmora.svg, compiled in): the window icon of every window and the
// picture of the about box. Null when Qt's SVG support (libqt6svg6) is missing.
QIcon ProgramIcon();

// Makes the program's icon that of every window, once (the plugin that draws it takes a while to
// load, so it is not loaded before it is needed).
void UseProgramIcon();
