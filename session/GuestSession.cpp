// The running guest session.
#include "session/Session.h"

void StartGuestSessions(HWND mainWindow) {}
void StopGuestSessions() {}
void SessionSettingsChanged() {}
BOOL SessionRunning() { return FALSE; }
void EndGuestSession(SessionEnd reason) {}
void PauseSessionClock() {}
void ResumeSessionClock() {}
