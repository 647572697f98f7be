#include "match/match.h"
void MatchLoad() {}
void MatchFrame() {}
