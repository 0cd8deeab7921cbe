// The reset between guests.
#include "session/Session.h"

void TakeDesktopBaseline()
{
}

BOOL ResetForNextGuest(char* problem, int problemSize)
{
    if (problemSize > 0)
        problem[0] = 0;
    return TRUE;
}
