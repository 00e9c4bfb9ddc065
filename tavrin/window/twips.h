#pragma once

// Sizes in the window's design are twips; 15 twips are one logical pixel.
constexpr int twips(int value)
{
    return value / 15;
}
