#pragma once
// Ends the program safely when it is told to stop from outside (SIGTERM, SIGINT, SIGHUP) or
// loses its display connection: whatever a playback holds pressed is released first, where
// the display is still there, so that no key or button stays down on the user's desktop.
// At logout (SIGHUP) and shutdown (SIGTERM) the main window's place is then stored as a
// close would store it.
void InstallAbnormalEndHandlers();
