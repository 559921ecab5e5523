// The engine's base component, and the seek flags and picture types its components share.
#pragma once

#include <cstdint>

#include "platform/base/Classes.h"
#include "platform/base/System.h"

// The common base of the logger, the probe, the player and the conversion component.
class TFFBaseComponent : public TComponent {
public:
    explicit TFFBaseComponent(TComponent* AOwner) : TComponent(AOwner) {}
};

// The set's bits are the libraries' seek flags: backward 1, byte 2, any 4, frame 8.
enum TSeekFlag { sfBackward, sfByte, sfAny, sfFrame };
using TSeekFlags = TSet<TSeekFlag, 4>;

inline int SeekFlagsToInt(TSeekFlags AFlags) {
    return int(AFlags.ToInt());
}

// The libraries' picture types, numbered as they number them.
enum TPictureType { ptUnknown, ptI, ptP, ptB, ptS, ptSI, ptSP, ptBI };
