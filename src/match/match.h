#pragma once
// The match scene: its load and its per-frame handler.
void MatchLoad();
void MatchFrame();
