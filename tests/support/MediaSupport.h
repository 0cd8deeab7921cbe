// Helpers of the media tests: sound files made on the spot, the committed
// sample media, the mapping of .mp3 to the wave device, MCI error boxes.
#pragma once
#include <windows.h>
#include <string>
#include "support/TestSupport.h"

// A silent 8 kHz, 8-bit mono PCM wave file of the given length.
void WriteWaveFile(const std::string& path, DWORD milliseconds);
// A file of tests/media/ in the source tree, as Wine sees it (drive Z:).
std::string SampleMedia(const char* name);

// Lets files named .mp3 open with the wave device (whose position stops at
// the length and which seeks and pauses), restoring the old mapping later.
struct Mp3AsWaveAudio {
    SavedValue saved;
    Mp3AsWaveAudio();
};

// Closes every message box titled like an MCI error while it lives, on a thread of its own.
struct MciErrorCloser {
    HANDLE thread = NULL;
    volatile LONG stop = 0;
    volatile LONG closed = 0;
    MciErrorCloser();
    ~MciErrorCloser();
};

