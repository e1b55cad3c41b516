#pragma once

#include "DialogUnits.h"

#include <QString>

namespace tevra {

// Names a control (tests find it by that name) and puts it at its place, given in
// dialog units as the layouts are.
template <typename W> W* placed(W* widget, const char* objectName, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(dlu::rect(x, y, w, h));
    return widget;
}

} // namespace tevra
