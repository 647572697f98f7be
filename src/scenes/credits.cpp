#include "scenes/credits.h"
void CreditsFrame() {}
