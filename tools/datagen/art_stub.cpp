// Placeholder until the artwork writers land: writes nothing.
#include "datagen.h"
bool WriteArtwork(const std::string&) { return true; }
bool WriteArtworkPreviews(const std::string&) { return true; }
