#pragma once

#include <cstdint>
#include <string>

// A font as the settings keep it; the widgets turn it into a real font.
struct TFontDesc {
    std::string Name;             // face name
    uint8_t Charset = 1;          // 0..255; 128 is Shift-JIS
    uint32_t Color = 0x80000008;  // $00BBGGRR, or a system colour $80xxxxxx
    uint8_t Style = 0;            // sum of FontBold, FontItalic, FontUnderline, FontStrikeOut
    int32_t Size = 9;             // points
    uint8_t Pitch = 0;            // 0 default, 1 variable, 2 fixed
};

constexpr uint8_t FontBold = 1;
constexpr uint8_t FontItalic = 2;
constexpr uint8_t FontUnderline = 4;
constexpr uint8_t FontStrikeOut = 8;
