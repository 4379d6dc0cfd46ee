#pragma once
// The common controls library, taken from the system folder only.

namespace qarvel::window {

// Loads comctl32.dll, in the version the manifest names, from the system folder and registers
// the standard control classes. False when it could not; the classes user32.dll registers
// itself still work then.
bool LoadCommonControls();

} // namespace qarvel::window
