#pragma once
#include <string_view>

// The character a named entity of HTML 4 stands for ("agrave" gives U+00E0); 0 when the
// name is none of them or one of those XML defines itself (amp, lt, gt, quot). Names are
// case-sensitive, as in HTML.
char32_t carattereEntitaHtml(std::string_view nome);

// The longest of those names ("thetasym").
inline constexpr std::size_t LunghezzaMassimaEntitaHtml = 8;
