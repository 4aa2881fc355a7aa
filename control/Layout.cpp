#include "control/ctlVevAre.h"
// Placeholder until the layout lands.
void ctlVevAre::Ridisponi() {}
