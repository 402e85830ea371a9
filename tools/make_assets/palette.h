// The one palette every picture draws from: a warm wooden classroom, a green
// chalkboard, cream paper, and the two players' colours (Lily on the left in
// coral red, Max on the right in blue).
#pragma once

#include "canvas.h"
#include "kid_figure.h"

namespace assets::palette {

inline constexpr Rgba kInk = Hex(0x2b2233);  // outlines and dark text
inline constexpr Rgba kPaper = Hex(0xfff6e3);
inline constexpr Rgba kPaperShade = Hex(0xe9dcc0);
inline constexpr Rgba kChalk = Hex(0xf4f1e6);
inline constexpr Rgba kChalkYellow = Hex(0xf7d774);
inline constexpr Rgba kBoard = Hex(0x2f5446);
inline constexpr Rgba kBoardDark = Hex(0x24443a);
inline constexpr Rgba kFrame = Hex(0x9a6338);
inline constexpr Rgba kFrameDark = Hex(0x6e4224);
inline constexpr Rgba kWall = Hex(0x9cc2a8);
inline constexpr Rgba kWallDark = Hex(0x7aa48b);
inline constexpr Rgba kFloor = Hex(0xd9b585);
inline constexpr Rgba kFloorDark = Hex(0xc49c68);
inline constexpr Rgba kFloorShadow = Hex(0xae875a);
inline constexpr Rgba kDesk = Hex(0xc98b4e);
inline constexpr Rgba kDeskDark = Hex(0x9c6330);
inline constexpr Rgba kSteel = Hex(0x7d8794);
inline constexpr Rgba kPlane = Hex(0xfdfdf8);
inline constexpr Rgba kPlaneShade = Hex(0xc9d1df);
inline constexpr Rgba kLeft = Hex(0xe0533f);  // Lily
inline constexpr Rgba kLeftDark = Hex(0xa8362a);
inline constexpr Rgba kRight = Hex(0x3c7fd6);  // Max
inline constexpr Rgba kRightDark = Hex(0x25508f);
inline constexpr Rgba kGold = Hex(0xf6c343);

inline const KidLook kLily{Hairdo::Pigtails, Hex(0xf6c8a0), Hex(0xd7712f), kLeft,
                           Hex(0xfff6e3),    Hex(0x3b4a7a), Hex(0x4a2c2a), Hex(0x5cc28a)};
inline const KidLook kMax{Hairdo::Cap,   Hex(0xe0a57c), Hex(0x4a3326), kRight,
                          Hex(0xf6c343), Hex(0x6b5b4b), Hex(0x2f2f3a), Hex(0xf6c343)};

}  // namespace assets::palette
