#include "platform/ui/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Free() {
  Destroying();
  delete this;
}

void TComponent::Destroying() {
  if (destroying_) return;
  destroying_ = true;
  BeforeDestruction();
}

void TComponent::SetName(const QString& name) {
  if (name == name_) return;
  if (!name.isEmpty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this)
      throw EComponentError("A component named " + name.toStdString() + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (TComponent* c : components_)
    if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (!component->name_.isEmpty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_.toStdString() + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    last->Free();
  }
}
