#include "state/language.h"

#include <cstring>

Language ChosenLanguage = Language::JAPANESE;
Language GameLanguage = Language::JAPANESE;

const GameText GAME_TEXTS[] = {
    // The end of a match: the winner or the forfeit, over the dimmed board.
    {"一\n之\n方\n勝\n利", "First side\nwins"},
    {"二\n之\n方\n勝\n利", "Second side\nwins"},
    {"対\n局\n没\n収", "Match\nforfeited"},
    // The credits' headings; the names of people stand as they are written.
    {"製作スタッフ", "Staff"},
    {"[企画]\n\nVandrelit", "[Planning]\n\nVandrelit"},
    {"[プログラム]\n\nVandrelit", "[Program]\n\nVandrelit"},
    {"[グラフィック]\n\nVandrelit\nQuorvastel", "[Graphics]\n\nVandrelit\nQuorvastel"},
    {"[サウンド]\n\nKORVANTE\nSilvaret\nBrundelmo", "[Sound]\n\nKORVANTE\nSilvaret\nBrundelmo"},
    {"[プロデュース]\n\nVandrelit", "[Producer]\n\nVandrelit"},
    {"終", "The End"},
    // The title's hidden hot zone, and the result screen's prompt.
    {"STAFFROAL", "CREDITS"},
    {"CLICK MOUSE KEY", "CLICK TO GO ON"},
};
const int GAME_TEXT_COUNT = static_cast<int>(sizeof GAME_TEXTS / sizeof GAME_TEXTS[0]);

void TakeUpChosenLanguage() { GameLanguage = ChosenLanguage; }

bool ParseLanguage(const char* word, Language* language) {
    if (word == nullptr) return false;
    if (std::strcmp(word, "ja") == 0) {
        *language = Language::JAPANESE;
    } else if (std::strcmp(word, "en") == 0) {
        *language = Language::ENGLISH;
    } else {
        return false;
    }
    return true;
}

const char* LanguageWord(Language language) { return language == Language::ENGLISH ? "en" : "ja"; }

const char* Localized(const char* japanese) {
    if (!InEnglish() || japanese == nullptr) return japanese;
    for (const GameText& text : GAME_TEXTS) {
        if (std::strcmp(text.japanese, japanese) == 0) return text.english;
    }
    return japanese;
}
