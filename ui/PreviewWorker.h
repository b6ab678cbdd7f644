#pragma once
// The thread that runs preview parses. It holds at most one waiting parse:
// a newer one replaces it, so a burst of key strokes costs one parse after
// the one in progress. The results are handed to a function on the worker
// thread; the caller passes them on to its own thread.

#include "PreviewParse.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

class CPreviewWorker
{
public:
    using FDone = std::function<void(unsigned nGeneration, CPreviewMarks marks)>;

    explicit CPreviewWorker(FDone done);
    // Waits for the parse in progress, drops the waiting one.
    ~CPreviewWorker();
    CPreviewWorker(const CPreviewWorker&) = delete;
    CPreviewWorker& operator=(const CPreviewWorker&) = delete;

    // Parses the input after the parse in progress, instead of any that
    // waits.
    void Post(unsigned nGeneration, CPreviewInput input);

private:
    void Run();

    FDone m_done;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<unsigned, CPreviewInput>> m_pending;
    bool m_bStop = false;
    std::thread m_thread; // last: it starts once the rest is in place
};
