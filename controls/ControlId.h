#pragma once
// Every skinned control keeps the id its window was known by (the dialog templates'
// ids), as the dynamic property "id", so that owners and tests find controls by id.

#include <QList>
#include <QObject>
#include <QVariant>
#include <QWidget>

constexpr const char* kControlIdProperty = "id";

inline void SetControlId(QObject* control, int id) {
  if (control) control->setProperty(kControlIdProperty, id);
}

// The control's id, or 0 when it has none.
inline int ControlId(const QObject* control) {
  if (!control) return 0;
  const QVariant value = control->property(kControlIdProperty);
  return value.isValid() ? value.toInt() : 0;
}

// The first descendant of `root` (any depth) of type T with control id `id`.
template <typename T = QWidget>
T* FindControl(const QObject* root, int id) {
  if (!root) return nullptr;
  const QList<T*> children = root->findChildren<T*>();
  for (T* child : children) {
    if (ControlId(child) == id) return child;
  }
  return nullptr;
}
