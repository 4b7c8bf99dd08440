#pragma once
// Page size and margins as an RTF document states them (twips; 0 = not stated).
struct RtfPageSetup
{
    int paperWidth = 0;
    int paperHeight = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
};
