#pragma once

#include <QString>

// Gives a new widget the name the saved layout, the style and the tests find it by.
template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
