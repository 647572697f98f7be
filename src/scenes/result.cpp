#include "scenes/result.h"
void ResultFrame() {}
