#pragma once
// The General MIDI sound font the music plays with: where it is looked for, and the check that a
// file is one FluidSynth can take. No SDL here: SDL_SOUNDFONTS is only read from the
// environment.

#include <string>
#include <vector>

// The sound-font search: the fonts SDL_SOUNDFONTS names (a list separated by ';') when it is
// set, and then nothing else; otherwise the places where Debian's General MIDI fonts install.
// Returns the font (or list) for FluidSynth, "" for none (the game then runs without music).
// A file that is not a sound font is left out. *note receives the one line to show the player
// (without its newline), or "" when all is well.
std::string FindSoundFont(std::string* note);
// The same search over given places: `listed` as SDL_SOUNDFONTS (null when unset), then the
// preferred files in order, then the first .sf2 in name order of each folder.
std::string ChooseSoundFont(const char* listed, const std::vector<std::string>& preferred,
                            const std::vector<std::string>& folders, std::string* note);

// Whether the file at path is a SoundFont 2 to give FluidSynth: a RIFF "sfbk" form exactly as
// long as the file, holding the INFO, sdta and pdta lists in that order, the pdta with its nine
// tables, each of whole records. "" when it is; otherwise what is wrong, for the one line the
// player sees. (FluidSynth would refuse such a file too, but only after several lines of its
// own and of its DLS reader on stderr.)
std::string SoundFontFault(const std::string& path);
