// TComponent ownership, names and the destruction hooks.

#include "platform/ui/component.h"
#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <string>
#include <vector>

namespace {

// Records its destruction by name.
class TTracked : public TComponent {
public:
  TTracked(TComponent* owner, std::string id, std::vector<std::string>& log)
      : TComponent(owner), id_(std::move(id)), log_(log) {}
  ~TTracked() override { log_.push_back(id_); }

private:
  std::string id_;
  std::vector<std::string>& log_;
};

TEST(UiComponent, OwnerFreesWhatItOwnsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* owner = new TTracked(nullptr, "owner", log);
  auto* a = new TTracked(owner, "a", log);
  new TTracked(owner, "b", log);
  new TTracked(a, "a.child", log);  // owned in turn by a
  new TTracked(owner, "c", log);
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(0), a);
  owner->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"owner", "c", "b", "a", "a.child"}));
}

TEST(UiComponent, ComponentFreedEarlyLeavesItsOwner) {
  std::vector<std::string> log;
  auto* owner = new TTracked(nullptr, "owner", log);
  auto* a = new TTracked(owner, "a", log);
  auto* b = new TTracked(owner, "b", log);
  auto* c = new TTracked(owner, "c", log);
  b->Free();
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(owner->Components(1), c);
  delete owner;  // a plain delete frees the owned ones too
  EXPECT_EQ(log, (std::vector<std::string>{"b", "owner", "c", "a"}));
}

TEST(UiComponent, InsertingIntoAnotherOwnerMovesTheComponent) {
  TComponent first(nullptr);
  TComponent second(nullptr);
  auto* child = new TComponent(&first);
  second.InsertComponent(child);
  EXPECT_EQ(child->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);
}

TEST(UiComponent, NamesAreFoundWithoutCaseAndMustBeUniqueUnderTheOwner) {
  TComponent owner(nullptr);
  auto* button = new TComponent(&owner);
  button->SetName("OkButton");
  auto* other = new TComponent(&owner);
  EXPECT_EQ(owner.FindComponent("okbutton"), button);
  EXPECT_EQ(owner.FindComponent("Missing"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_THROW(other->SetName("OKBUTTON"), EComponentError);
  EXPECT_TRUE(other->Name().isEmpty());
  other->SetName("Cancel");
  button->SetName("OkButton");  // its own name again is fine
  EXPECT_EQ(owner.FindComponent("cancel"), other);

  TComponent stranger(nullptr);
  stranger.SetName("Cancel");
  // A named component cannot join an owner that already has that name.
  auto* clash = new TComponent(nullptr);
  clash->SetName("okbutton");
  EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
  delete clash;
}

TEST(UiComponent, TagIsKept) {
  TComponent c(nullptr);
  c.SetTag(-7);
  EXPECT_EQ(c.Tag(), -7);
}

// OnDestroy must still see the fields of the derived form when freed by Free or
// by its owner.
class TFormWithField : public TForm {
public:
  explicit TFormWithField(TComponent* owner) : TForm(owner) {
    OnDestroy = [this](TObject*) { seenInOnDestroy = field; };
  }
  std::string field = "alive";
  static inline std::string seenInOnDestroy;
};

TEST(UiComponent, FormOnDestroyRunsBeforeTheDerivedPartsGo) {
  TFormWithField::seenInOnDestroy.clear();
  TComponent::Create<TFormWithField>(nullptr)->Free();
  EXPECT_EQ(TFormWithField::seenInOnDestroy, "alive");

  TFormWithField::seenInOnDestroy.clear();
  auto* owner = new TComponent(nullptr);
  TComponent::Create<TFormWithField>(owner);
  owner->Free();
  EXPECT_EQ(TFormWithField::seenInOnDestroy, "alive");
}

TEST(UiComponent, ParentFreesItsChildControlsAndFreedChildrenLeaveIt) {
  auto* form = TComponent::Create<TForm>(nullptr);
  auto* panel = new TWinControl(nullptr);
  panel->SetParent(form);
  auto* paintBox = new TControl(nullptr);
  paintBox->SetParent(panel);
  auto* label = new TControl(nullptr);
  label->SetParent(panel);
  EXPECT_EQ(panel->ControlCount(), 2);
  EXPECT_EQ(paintBox->Widget()->parentWidget(), panel->Widget());

  label->Free();
  ASSERT_EQ(panel->ControlCount(), 1);
  EXPECT_EQ(panel->Controls(0), paintBox);

  bool panelGone = false;
  QObject::connect(panel->Widget(), &QObject::destroyed, [&] { panelGone = true; });
  form->Free();  // frees the panel, which frees the paint box
  EXPECT_TRUE(panelGone);
}

}  // namespace
