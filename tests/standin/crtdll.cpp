// A run-time library by the right name that lacks the thread functions, as a
// damaged installation would have it.
extern "C" __declspec(dllexport) int StandInRuntimeMarker()
{
    return 1;
}
