#include "radargram/post_proc_overlays.h"

namespace {
IPostProcFactory* registeredFactory = nullptr;
}  // namespace

void SetPostProcFactory(IPostProcFactory* factory) { registeredFactory = factory; }

IPostProcFactory* PostProcFactory() { return registeredFactory; }
