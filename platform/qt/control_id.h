// Numbered controls: every widget of a dialog carries the numeric id its
// commands, tooltips and help texts are keyed by, the way a dialog template
// numbers its controls.
#pragma once

#include <QVariant>
#include <QWidget>

namespace platform {

inline constexpr char kControlIdProperty[] = "controlId";

inline void SetControlId(QWidget* widget, int id) {
    widget->setProperty(kControlIdProperty, id);
}

// The widget's id, or 0 when it has none.
inline int ControlId(const QWidget* widget) {
    if (!widget)
        return 0;
    QVariant v = widget->property(kControlIdProperty);
    return v.isValid() ? v.toInt() : 0;
}

// The first descendant of parent with the id (and of type T), or nullptr.
template <class T = QWidget> T* FindControl(const QWidget* parent, int id) {
    if (!parent)
        return nullptr;
    for (T* child : parent->findChildren<T*>()) {
        if (ControlId(child) == id)
            return child;
    }
    return nullptr;
}

} // namespace platform
