// What both DirectShow readers share: a filter graph of the system's source filter for a file, a
// Sample Grabber that takes uncompressed samples and a Null Renderer, built in one order for probing
// and for playing; the state flags; and the controls (run, stop, pause, rate).
//
// The grabber's callback runs on DirectShow's streaming thread. It never calls into the graph: the
// sample's own time is its position, and holding the stream is done by waiting, not by pausing.
//
// A graph can stop delivering for good without ever completing: GStreamer's RealMedia demuxer fails
// the seek to the start that the splitter makes at Run on a file without an index, leaving everything
// behind it flushing; the splitter's streaming thread then waits for a sample forever, and so does
// IMediaControl::Stop. So a graph that has run is stopped on a thread of its own and waited for a
// bounded time; one that does not stop is left to that thread (its callback detached first), and
// Stalled lets the reader's user see a graph that has gone quiet. A graph left behind keeps its
// GStreamer threads, which Wine's process exit does not survive: the known case is kept from running
// at all (dshow_file_stalls_when_run); these are the guards for any other.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <qedit.h>
#include <atomic>
#include <cstdint>

enum class DShowMedia { kSound, kPicture };

// Build results: 0, or the failing step.
enum DShowResult : int {
    kDShowOk = 0,
    kDShowNoGraph = -1,      // no filter graph (DirectShow missing, COM not initialised)
    kDShowNoSource = -2,     // no source filter for the file
    kDShowNoConnection = -3, // no decoder path to the grabber
    kDShowWrongFormat = -4,  // the connected format is not the one asked for (or the file has no such stream)
};

class CDShowReader {
public:
    CDShowReader(const CDShowReader&) = delete;
    CDShowReader& operator=(const CDShowReader&) = delete;
    virtual ~CDShowReader();

    // -1 without a graph; else clears the positions, sets open and clears paused, runs the graph.
    int Run();
    // Stops the graph and releases every interface (clears open and paused).
    void Stop();
    // The hold used while the pictures are drained (Pause sets it, Resume clears it) and the user's
    // pause (TogglePause flips it): the graph runs only while neither is set.
    void Pause();
    virtual void Resume();
    void TogglePause();
    // Sets the playing rate; a rate the graph refuses leaves 1.0.
    void SetRate(float rate);
    // The graph runs (neither hold is set, no callback is in flight) and nothing has come through the
    // callback for `limit_ms`.
    bool Stalled(DWORD limit_ms) const;
    // The callback's bracket around OnBuffer: in flight, and the time of the graph's last sign of life.
    void EnterCallback() { ++in_callback_, last_activity_ = GetTickCount(); }
    void LeaveCallback() { last_activity_ = GetTickCount(), --in_callback_; }

    // How long Stop waits for a graph that has run to stop before leaving it behind.
    static constexpr DWORD kStopWaitMs = 2000;

    std::atomic<uint8_t> open{0};
    std::atomic<uint8_t> paused{0};  // the user's pause (TogglePause)
    std::atomic<uint8_t> held{0};    // Pause/Resume
    char path[512] = {};

    IGraphBuilder* graph = nullptr;
    IBaseFilter* grabber_filter = nullptr;
    ISampleGrabber* grabber = nullptr;
    IBaseFilter* source = nullptr;
    IBaseFilter* null_renderer = nullptr;
    IMediaFilter* media_filter = nullptr;
    IMediaControl* control = nullptr;
    IMediaEventEx* events = nullptr;
    IMediaSeeking* seeking = nullptr;

    LONGLONG duration = 0;           // 100-ns units
    std::atomic<int64_t> position{0};           // of the last sample taken, 100-ns units
    std::atomic<int64_t> previous_position{0};
    double rate = 1.0;
    // Tests run the graph without its reference clock, as fast as it decodes.
    bool use_clock = true;
    // Graphs this process has left behind because they did not stop in time.
    static int Abandoned();

protected:
    CDShowReader() = default;
    // Steps 1-9 of the graph build for `path_text`: graph, grabber (named `grabber_name`) with the media
    // type, source filter (`source_name`), grabber input connected, Null Renderer, callback, control
    // interfaces, connected format. On failure everything is released. `connected` receives the
    // connected media type on success (free it with FreeConnectedType).
    int BuildGraph(const char* path_text, DShowMedia media, const wchar_t* grabber_name, const wchar_t* source_name,
                   ISampleGrabberCB* callback, AM_MEDIA_TYPE* connected);
    static void FreeConnectedType(AM_MEDIA_TYPE* type);
    // Releases every interface, stopping the graph first when it runs.
    void ReleaseGraph();
    // Runs or pauses the graph as the two pause flags say.
    void ApplyPause();
    // Called just before the graph runs and just before it stops.
    virtual void OnRun() {}
    virtual void OnStop() {}

private:
    // Stops the running graph on a thread of its own, which then releases every interface; waits at
    // most kStopWaitMs and for the callbacks in flight. The interface fields are cleared either way.
    void StopRunningGraph();

    std::atomic<int> in_callback_{0};
    std::atomic<DWORD> last_activity_{0};
};

// Whether the file has a stream the sound grabber connects to (a graph is built and torn down).
bool dshow_file_has_sound(const char* path);
// Whether a graph of the file would never deliver once run (RealMedia without an index, see
// dshow::realmedia_without_index): such a file is probed, but not run.
bool dshow_file_stalls_when_run(const char* path);
