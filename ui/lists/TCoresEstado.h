#pragma once

#include "settings/TEsquemaCores.h"

#include <QColor>
#include <QString>

// A colour of the settings (0x00BBGGRR) as Qt's.
QColor CorBgr(int bgr);

// What an agent row's colour class says, for those who do not see colours.
QString TextoClasseCor(TClasseCor classe);
