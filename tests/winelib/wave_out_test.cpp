// The sound harness: under wine-run.sh --sound the program finds a waveOut device (a private
// PulseAudio null sink) and queued blocks come back done, as the wave output of the player expects.
#include "tests/support/gtest_winelib.h"
#include <mmsystem.h>
#include <vector>

namespace {

TEST(WaveOutHarness, NullSinkPlaysQueuedBlocks) {
    ASSERT_GE(waveOutGetNumDevs(), 1u);
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT out = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&out, WAVE_MAPPER, &format, (DWORD_PTR)done, 0, CALLBACK_EVENT));

    const int blocks = 3;
    std::vector<std::vector<short>> samples(blocks, std::vector<short>(4410 * 2));  // 100 ms each
    std::vector<WAVEHDR> headers(blocks);
    for (int i = 0; i < blocks; ++i) {
        headers[i] = {};
        headers[i].lpData = (LPSTR)samples[i].data();
        headers[i].dwBufferLength = samples[i].size() * sizeof(short);
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(out, &headers[i], sizeof(WAVEHDR)));
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutWrite(out, &headers[i], sizeof(WAVEHDR)));
    }
    int finished = 0;
    for (int waits = 0; waits < 100 && finished < blocks; ++waits) {
        WaitForSingleObject(done, 100);
        finished = 0;
        for (auto& h : headers) finished += (h.dwFlags & WHDR_DONE) ? 1 : 0;
    }
    EXPECT_EQ(blocks, finished);
    waveOutReset(out);
    for (auto& h : headers) waveOutUnprepareHeader(out, &h, sizeof(WAVEHDR));
    EXPECT_EQ(MMSYSERR_NOERROR, waveOutClose(out));
    CloseHandle(done);
}

}  // namespace
