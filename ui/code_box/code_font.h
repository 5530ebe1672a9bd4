#pragma once

#include <QFont>

// The font of the code buttons and the code picker: Courier New 8.25 points where it is
// installed, the system's fixed-pitch font at the same size elsewhere, so that codes and
// numbers stand in columns.
QFont CodeFont();
