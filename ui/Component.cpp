#include "ui/Component.h"

#include <algorithm>

namespace ui {

Component::Component(Component* owner, std::u16string name)
    : owner_(owner), name_(std::move(name)) {
  if (owner_) owner_->components_.push_back(this);
}

Component::~Component() {
  // Last created first, as the owner built them up; each one unlinks itself.
  while (!components_.empty()) delete components_.back();
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::find(list.begin(), list.end(), this));
  }
}

Component* Component::FindComponent(std::u16string_view name) const {
  for (Component* c : components_) {
    if (c->Name() == name) return c;
  }
  return nullptr;
}

}  // namespace ui
