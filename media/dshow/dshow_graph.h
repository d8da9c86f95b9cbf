// What both DirectShow readers share: a filter graph of the system's source filter for a file, a
// Sample Grabber that takes uncompressed samples and a Null Renderer, built in one order for probing
// and for playing; the state flags; and the controls (run, stop, pause, rate).
//
// The grabber's callback runs on DirectShow's streaming thread. It never calls into the graph: the
// sample's own time is its position, and holding the stream is done by waiting, not by pausing.
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
};

// Whether the file has a stream the sound grabber connects to (a graph is built and torn down).
bool dshow_file_has_sound(const char* path);
