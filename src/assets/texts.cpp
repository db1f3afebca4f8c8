#include "assets/texts.h"

#include "core/game_state.h"

#include <cstring>

namespace qv {

const NumberedText title_texts[] = {
    {1, "QUARVELL"},        {2, "System Menu"},     {3, "LOAD File?"},
    {4, "SAVE File?"},      {5, "Main Menu"},       {6, "Configuration"},
    {7, "Controls"},        {8, "Difficulty"},      {9, "Volume"},
    {10, "Graphics"},       {11, "Select Ship"},    {12, "Selection Data"},
    {13, "Enter your Name"}, {14, "STAGE 001"},     {15, "STAGE 002"},
    {16, "STAGE 003"},      {17, "STAGE 004"},      {18, "STAGE 005"},
    {19, "STAGE 006"},      {20, "Delian Mesas"},   {21, "Alpha Aurora"},
    {22, "Charred Sands"},  {23, "Phraxis Nebula"}, {24, "The Wormhole"},
    {25, "Galactic Core"},  {26, "Select Stage"},   {27, "Gun Data"},
    {28, "Select Gun"},     {29, "Select Pod"},     {30, "Stage Complete"},
    {31, "Press New Key"},  {32, "Hit New Button"},
};
const int title_text_count = sizeof title_texts / sizeof title_texts[0];

const NumberedText item_texts[] = {
    {1, "Start Game"},     {2, "Setup"},           {3, "Records"},
    {4, "QUIT!"},          {5, "Resume Play"},     {6, "Main Menu"},
    {7, "Exit Game"},      {8, "Controls"},        {9, "Difficulty"},
    {10, "Sound +/`"},     {11, "Music +/`"},      {12, "Detail"},
    {13, "Easy"},          {14, "Normal"},         {15, "Hard"},
    {16, "Toast"},         {17, "Clouds"},         {18, "Ship shadows"},
    {19, "Vapor trails"},  {20, "Explosions"},     {21, "Active radar"},
    {22, "Rough hits"},    {23, "Talon"},          {24, "Falcon"},
    {25, "Raptor"},        {26, "Silent"},         {27, "Low"},
    {28, "Medium"},        {29, "High"},           {30, "Maximum"},
    {31, "Fire / Accept"}, {32, "Strafe / Cancel"}, {33, "Launch Bomb"},
    {34, "Booster"},       {35, "Gamepad"},        {36, "Delian Mesas"},
    {37, "Alpha Aurora"},  {38, "Charred Sands"},  {39, "Phraxis Nebula"},
    {40, "The Wormhole"},  {41, "Galactic Core"},  {43, "Campaign"},
    {44, "Pulse Laser"},   {45, "Graviton Gun"},   {46, "Ion Cannon"},
    {47, "Reflex Coil"},   {48, "Plasma Burst"},   {49, "Firestorm"},
    {50, "Pulsar"},        {51, "Rockets"},        {52, "Steel Halo"},
    {53, "???"},           {54, "???"},            {55, "???"},
    {56, "???"},           {57, "Continue!"},      {58, "Game Over!"},
};
const int item_text_count = sizeof item_texts / sizeof item_texts[0];

const NumberedText long_texts[] = {
    {0, "Light scout armor"},
    {1, "Standard armor"},
    {2, "Heavy assault armor"},
    {3, ""},
    {4, ""},
    {5, "Press desired key"},
    {6, "Press desired button"},
    {7, ""},
    {8, ""},
    {9, "Your mission is complete!"},
    {10, "Rapid fire, low spread"},
    {11, "Fast firing, solid aim"},
    {12, "Strong and steady fire"},
    {13, "Steady fire, solid aim"},
    {14, "Slow firing, solid aim"},
    {15, "Slow firing, fan burst"},
    {16, "Spread-fire energy gun"},
    {17, "Heavy dumb-fire rockets"},
    {18, "Omnidirectional railgun"},
    {19, "Suit condition: OFFLINE!"},
};
const int long_text_count = sizeof long_texts / sizeof long_texts[0];

template <int SLOTS, int SIZE>
static void fill_slots(char (&slots)[SLOTS][SIZE], const NumberedText *texts, int count) {
    std::memset(slots, 0, sizeof slots);
    for (int i = 0; i < count; ++i) {
        // Bounded copy that always leaves the terminator inside the slot.
        std::strncpy(slots[texts[i].number], texts[i].text, SIZE - 1);
    }
}

void init_texts() {
    fill_slots(g.title_text, title_texts, title_text_count);
    fill_slots(g.item_text, item_texts, item_text_count);
    fill_slots(g.long_text, long_texts, long_text_count);
}

} // namespace qv
