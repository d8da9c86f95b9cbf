// The wave output's device in the program: winmm's waveOut functions, the process heap and
// timeGetTime/Sleep.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include "engine/wave/wave_out.h"

WaveDevice winmm_wave_device();

// The device's callback: WOM_DONE hands a buffer back to the ring; other messages are ignored.
void CALLBACK wave_out_callback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                DWORD_PTR param2);
