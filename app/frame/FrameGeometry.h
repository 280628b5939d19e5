#pragma once
// The main frame's size, position, maximised state and sash positions,
// remembered between runs in a configuration under "/Frame" (the program's
// configuration, app/ProgramConfig.h; a temporary file in tests).
//
// What is remembered is the frame's normal geometry (the size and place it
// has when neither maximised nor iconised, which a maximised frame returns
// to), whether it was maximised, and both sash positions in pixels.

class wxConfigBase;

namespace lumetra {

class mainFrame;

// Places a new, not yet shown frame as it was when it last closed. When
// nothing usable was remembered (nothing, a value that is not a number, a
// size below 200 x 150 or above 100000, a sash outside the frame) it starts
// as the first time instead: 1024 x 768 centred, the sashes placed by
// placeSashes, then maximised. A remembered place off every screen is
// centred on the main one, and a size larger than the screen's work area
// is cut to it. config may be null (nothing remembered). Returns whether the
// remembered geometry was used.
bool placeFrameAtStart(mainFrame& frame, wxConfigBase* config);

// From now on follows the frame's normal geometry and writes it with the
// sash positions to config when the frame closes. config (not null) must
// outlive the frame.
void rememberFrameGeometry(mainFrame& frame, wxConfigBase& config);

}  // namespace lumetra
