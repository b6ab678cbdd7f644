#include "PreviewWorker.h"

CPreviewWorker::CPreviewWorker(FDone done) : m_done(std::move(done)), m_thread([this] { Run(); }) {}

CPreviewWorker::~CPreviewWorker()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    m_thread.join();
}

void CPreviewWorker::Post(unsigned nGeneration, CPreviewInput input)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.emplace(nGeneration, std::move(input));
    }
    m_wake.notify_one();
}

void CPreviewWorker::Run()
{
    for (;;) {
        std::pair<unsigned, CPreviewInput> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bStop || m_pending.has_value(); });
            if (m_bStop)
                return;
            job = std::move(*m_pending);
            m_pending.reset();
        }
        CPreviewMarks marks;
        try {
            marks = PreviewParse(job.second);
        } catch (...) {
            // A preview that cannot be made (no memory, a value too long to
            // index) shows no marks; Parse Data reports such a failure.
        }
        m_done(job.first, std::move(marks));
    }
}
