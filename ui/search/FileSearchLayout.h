#pragma once
// Where the search panel's controls sit on its page (96-DPI pixels).
namespace ui
{
namespace layout
{

// Vertical positions on the panel face: {date title, size title, more title, button} and where
// the open section's panel sits, per state (all closed, date, size, more options open).
struct SectionPlaces
{
    int label5;
    int label11;
    int findButton;
    int panelTop;
};
constexpr int kLabel4Top = 224;
constexpr SectionPlaces kPlaces[4] = {
    {250, 280, 320, 0},   // all closed
    {390, 420, 445, 252}, // date open
    {250, 400, 440, 280}, // size open
    {250, 280, 380, 310}, // more options open
};
constexpr int kSectionHeights[3] = {136, 118, 68};
constexpr int kSectionTitleWidth = 180;
constexpr int kSectionButtonLeft = 200;
// The height of the name and containing-text fields' drop-down lists, field included.
constexpr int kFieldDropHeight = 240;

} // namespace layout
} // namespace ui
