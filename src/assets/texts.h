// The game's numbered texts and the start-up defaults step.
#pragma once

namespace qv {

// Numbered texts as they are shipped; init_texts copies them into the slots
// of GameState::title_text, item_text and long_text.
struct NumberedText {
    int number;
    const char *text;
};

extern const NumberedText title_texts[];
extern const int title_text_count;
extern const NumberedText item_texts[];
extern const int item_text_count;
extern const NumberedText long_texts[];
extern const int long_text_count;

// Item text numbers used by the screens.
inline constexpr int ITEM_STAGE_NAMES = 36; // + stage
inline constexpr int ITEM_GUN_NAMES = 44;   // + gun
inline constexpr int ITEM_POD_NAMES = 50;   // + pod
inline constexpr int LONG_GUN_TEXTS = 10;   // + gun
inline constexpr int LONG_POD_TEXTS = 16;   // + pod

// Fills the text slots of the game state.
void init_texts();

} // namespace qv
