#pragma once
// The staff credits over the burning canvas.
void CreditsFrame();
