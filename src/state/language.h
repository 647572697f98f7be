#pragma once
// The language the game shows its words in: Japanese, as it always has, or English. The player's
// choice (the command line, the settings, the options card) is taken up when a title, a match or
// the ending starts, since each of them loads its pictures then: a change made in the middle of
// a scene shows from the next one on, never half in one language and half in the other.

#include <cstdint>

enum class Language : uint8_t { JAPANESE, ENGLISH };

// The language chosen: what the options card shows and the settings remember.
extern Language ChosenLanguage;
// The language in effect: what the scene on screen draws its pictures and words in.
extern Language GameLanguage;

// Puts the chosen language into effect (at the start of a title, a match or the ending).
void TakeUpChosenLanguage();
inline bool InEnglish() { return GameLanguage == Language::ENGLISH; }

// "ja" or "en" as a language; false for any other word.
bool ParseLanguage(const char* word, Language* language);
// The word of a language: "ja" or "en".
const char* LanguageWord(Language language);

// One of the game's run-time texts, as the Japanese game draws it and in English.
struct GameText {
    const char* japanese;
    const char* english;
};

// The texts the game draws at run time (the banners of the match's end, the credits' headings,
// the title's hot-zone word, the result's prompt). Every other word is in the pictures, which
// come in a set for each language.
extern const GameText GAME_TEXTS[];
extern const int GAME_TEXT_COUNT;

// The text in the language in effect. In Japanese the text itself is given back, untouched; in
// English its entry's English, or the text itself when the table has no entry for it.
const char* Localized(const char* japanese);
