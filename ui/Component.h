#pragma once
// Components: named objects with an owner and a run-time class name. An owner keeps the
// components it owns in creation order and destroys them with itself, so a form is the one
// owner of every control on it and can be walked by index (the layout and the texts do that).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Component {
 public:
  // The new component joins owner's list (may be null) and is destroyed by it.
  Component(Component* owner, std::u16string name);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  // Run-time class name, compared exactly by the code that walks components ("TLabel", ...).
  // A derived class with its own name answers its own name.
  virtual std::u16string_view ClassName() const { return u"TComponent"; }

  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string name) { name_ = std::move(name); }
  Component* Owner() const { return owner_; }

  size_t ComponentCount() const { return components_.size(); }
  Component* Components(size_t index) const { return components_.at(index); }
  // The owned component of that name (exact match), or null.
  Component* FindComponent(std::u16string_view name) const;

 private:
  Component* owner_ = nullptr;
  std::u16string name_;
  std::vector<Component*> components_;  // owned; removed from here when destroyed
};

}  // namespace ui
