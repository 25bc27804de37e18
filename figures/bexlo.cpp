// Figure 4 (Bexlo). Its model arrives with a later release; until then the
// stage shows nothing while it is current.
#include "figures/figures.h"

void DrawBexlo() {}
