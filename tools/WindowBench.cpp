// Measures the window on a large data file, as a user would meet it:
// loading the file through Load Data, Parse Data until the first rows are
// painted, and scrolling the result list through all its rows.
//   korvane-window-bench TEMPLATE DATA [SHOT.png]
// With SHOT.png, a picture of the window after the parse is saved there.
// Runs on any Qt platform; without a display use QT_QPA_PLATFORM=offscreen.
#include "framework/Platform.h"
#include "framework/qt/ListView.h"
#include "framework/qt/QtPlatform.h"
#include "res/Resource.h"
#include "ui/MainApp.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QScrollBar>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Answers every open dialog with the next of the given files.
class CScriptedFileDialog final : public IFileDialog
{
public:
    explicit CScriptedFileDialog(std::vector<CString> paths) : m_paths(std::move(paths)) {}
    CFileDialogResult Run(const CFileDialogRequest& /*request*/) override
    {
        CFileDialogResult result;
        if (m_nNext < m_paths.size()) {
            result.bOk = true;
            result.strPath = m_paths[m_nNext++];
        }
        return result;
    }

private:
    std::vector<CString> m_paths;
    size_t m_nNext = 0;
};

long PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: korvane-window-bench TEMPLATE DATA [SHOT.png]\n");
        return 2;
    }
    QApplication app(argc, argv);
    InstallQtPlatform();
    CScriptedFileDialog files({argv[1], argv[2]});
    platform::SetFileDialog(&files);
    CMainApp theApp;
    CMainDlg dlg;
    dlg.Create();
    dlg.resize(1000, 700);
    dlg.show();
    QApplication::processEvents();

    auto start = Clock::now();
    dlg.SendCommand(IDC_BUTTON_LOAD_TEMPLATE);
    dlg.SendCommand(IDC_BUTTON_LOAD_DATA);
    QApplication::processEvents();
    const double dLoad = MsSince(start);

    start = Clock::now();
    dlg.SendCommand(IDC_BUTTON_PARSE);
    auto* pView = dlg.findChild<CListView*>();
    if (pView == nullptr || pView->GetList() == nullptr) {
        std::fprintf(stderr, "korvane-window-bench: no result list\n");
        return 1;
    }
    pView->viewport()->repaint();
    QApplication::processEvents();
    const double dParse = MsSince(start);
    const int nRows = pView->GetList()->GetItemCount();
    if (argc > 3 && !dlg.grab().save(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "korvane-window-bench: cannot save %s\n", argv[3]);
        return 1;
    }

    // Scrolling: the bar moved in even steps from the top to the bottom and
    // the rows painted at once after each step, as dragging the thumb does.
    QScrollBar* pBar = pView->verticalScrollBar();
    const int nSteps = 300;
    std::vector<double> frames;
    for (int i = 0; i <= nSteps; ++i) {
        const auto frameStart = Clock::now();
        pBar->setValue(static_cast<int>(static_cast<long long>(pBar->maximum()) * i / nSteps));
        pView->viewport()->repaint();
        QApplication::processEvents();
        frames.push_back(MsSince(frameStart));
    }
    std::sort(frames.begin(), frames.end());
    double dSum = 0;
    for (const double d : frames)
        dSum += d;

    std::printf("rows: %d\n", nRows);
    std::printf("load template and data: %.0f ms\n", dLoad);
    std::printf("parse data to first rows painted: %.0f ms\n", dParse);
    std::printf("scroll frames: mean %.1f ms, median %.1f ms, worst %.1f ms (%zu frames)\n",
                dSum / static_cast<double>(frames.size()), frames[frames.size() / 2], frames.back(),
                frames.size());
    std::printf("peak RSS: %ld MB\n", PeakRssMb());
    return 0;
}
