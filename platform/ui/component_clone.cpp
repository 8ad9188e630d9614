#include "platform/ui/component_clone.h"

#include "platform/ui/chart.h"
#include "platform/ui/controls.h"

#include <vector>

namespace {

QString IndexedName(const QString& name, int index) {
  return name.isEmpty() ? QString() : name + QStringLiteral("_") + QString::number(index);
}

TComponent* CloneOne(const TComponent& source, TComponent* owner, int index) {
  TComponent* clone = source.CreateClone(owner);
  if (!clone) throw EComponentError("A component of this class cannot be copied: " + source.Name().toStdString());
  try {
    clone->SetName(IndexedName(source.Name(), index));
  } catch (...) {
    clone->Free();
    throw;
  }
  return clone;
}

// The side an aligned control is moved to for a moment, so that setting its
// alignment back puts it after the others of its side.
TAlign OppositeSide(TAlign align) {
  switch (align) {
    case alTop: return alBottom;
    case alBottom: return alTop;
    case alLeft: return alRight;
    case alRight: return alLeft;
    default: return alNone;
  }
}

}  // namespace

TComponent* CloneComponentWithIndex(int index, TWinControl* parent, TComponent* source) {
  if (!source) return nullptr;
  TComponent* owner = source->Owner();
  TComponent* clone = CloneOne(*source, owner, index);

  if (auto* chart = dynamic_cast<TChart*>(source)) {
    auto* chartClone = static_cast<TChart*>(clone);
    for (int i = 0; i < chart->SeriesCount(); ++i) {
      auto* series = static_cast<TChartSeries*>(CloneOne(*chart->Series(i), owner, index));
      series->SetParentChart(chartClone);
    }
  }

  auto* control = dynamic_cast<TControl*>(source);
  auto* controlClone = dynamic_cast<TControl*>(clone);
  if (!control || !controlClone) return clone;
  controlClone->SetParent(parent ? parent : control->Parent());

  if (owner) {
    // The owner's list grows while the children are copied: take it first.
    std::vector<TControl*> children;
    for (int i = 0; i < owner->ComponentCount(); ++i)
      if (auto* child = dynamic_cast<TControl*>(owner->Components(i)); child && child->Parent() == control)
        children.push_back(child);
    auto* container = dynamic_cast<TWinControl*>(controlClone);
    for (TControl* child : children) CloneComponentWithIndex(index, container, child);
  }

  const TAlign align = controlClone->Align();
  if (align != alNone) {
    controlClone->SetAlign(OppositeSide(align));
    controlClone->SetAlign(align);
  }
  return clone;
}
