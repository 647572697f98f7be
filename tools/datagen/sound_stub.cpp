// Placeholder until the sound writers land: writes nothing.
#include "datagen.h"
bool WriteSoundEffects(const std::string&) { return true; }
bool WriteMusic(const std::string&) { return true; }
