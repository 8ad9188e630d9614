#pragma once
// TObject and TComponent: the ownership tree of the toolkit.
//
// Ownership: an owner frees the components it owns when it is destroyed, the
// last created first. A component freed earlier removes itself from its owner.
// Free() (or the owner) runs BeforeDestruction while the whole object still
// exists, so a form's OnDestroy sees its fields; a plain `delete` still works but
// runs it only once the derived parts are gone.

#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class EComponentError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class EInvalidOperation : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TComponent : public TObject {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Constructs T and then runs AfterConstruction (a form's OnCreate).
  template <typename T, typename... Args>
  static T* Create(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    object->AfterConstruction();
    return object;
  }
  virtual void AfterConstruction() {}

  // Runs BeforeDestruction, then destroys the object.
  void Free();

  TComponent* Owner() const { return owner_; }
  const QString& Name() const { return name_; }
  // Names are unique among the owner's components, compared without case; an
  // empty name is always allowed. EComponentError when taken.
  void SetName(const QString& name);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const QString& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, the last first.
  void DestroyComponents();

  bool IsDestroying() const { return destroying_; }

  // A new component of this one's class with its properties and event
  // handlers, owned by AOwner, unnamed, without children or parent; nullptr for
  // a class that cannot be copied. Each copyable class overrides it.
  virtual TComponent* CreateClone(TComponent* /*AOwner*/) const { return nullptr; }

protected:
  // Marks the component as going and runs BeforeDestruction once.
  void Destroying();
  virtual void BeforeDestruction() {}

private:
  TComponent* owner_ = nullptr;
  QString name_;
  intptr_t tag_ = 0;
  std::vector<TComponent*> components_;
  bool destroying_ = false;
};
