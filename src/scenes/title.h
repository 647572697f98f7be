#pragma once
// The title: the opening logo, then the burning menu.

void TitleLoad();
void TitleFrame();
// Releases TitleArt and TitleWork (each only if set) and stops and closes the music.
void ReleaseTitle();
