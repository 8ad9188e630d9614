#pragma once
// Copies of a designed control together with everything placed on it, for
// windows that repeat a designed part once per channel.
//
// CloneComponentWithIndex(index, parent, source) makes a copy of source (its
// class's CreateClone: properties and event handlers) owned by source's owner
// and named source's name + "_" + index; a chart's series are copied onto the
// copy as well, each named after its original + "_" + index (the originals
// stay on source). The copy goes into parent (source's parent when nullptr),
// then every control of the owner placed on source is copied the same way into
// the copy, recursively. Last the copy's alignment is applied anew, which puts
// an aligned copy after those aligned to the same side before it.
//
// Returns nullptr for a nullptr source. Throws EComponentError when a class
// cannot be copied or a name is taken; what was copied until then stays with
// the owner.
//
// Threads: user-interface thread only.

class TComponent;
class TWinControl;

TComponent* CloneComponentWithIndex(int index, TWinControl* parent, TComponent* source);
