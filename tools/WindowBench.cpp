// Measures the window on a large data file, as a user would meet it:
// loading the file through Load Data, Parse Data until the first rows are
// painted, scrolling the result list through all its rows, and typing into
// the template box with the live preview on and off, where the figure is
// the longest time the window's event loop did not come round (a stall).
//   korvane-window-bench TEMPLATE DATA [SHOT.png]
// With SHOT.png, a picture of the window after the parse is saved there.
// Runs on any Qt platform; without a display use QT_QPA_PLATFORM=offscreen.
#include "framework/Platform.h"
#include "framework/qt/ListView.h"
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/QtPlatform.h"
#include "res/Resource.h"
#include "ui/MainApp.h"
#include "ui/MainDlg.h"
#include "ui/ParsePreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

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

struct CTypingFigures
{
    double dWorstStall = 0;
    double dP99Stall = 0;
    int nPreviews = 0;
};

// Types a line into the template box, a key every 80 ms as a quick typist
// does and a pause of 400 ms after each word, so that previews run between
// the words, while a timer that should fire every millisecond records how
// late each of its ticks comes; then waits a second for the last preview.
// Without bType no key is sent: the stalls of an idle window, which a busy
// host alone causes.
CTypingFigures MeasureTyping(CMainDlg& dlg, bool bType = true)
{
    auto* pTemplate = dlg.findChild<CMultiLineEdit*>(QStringLiteral("IDC_EDIT_TEMPLATE"));
    pTemplate->moveCursor(QTextCursor::End);
    CTypingFigures figures;
    const QMetaObject::Connection shown = QObject::connect(
        dlg.GetPreview(), &CParsePreview::MarksShown, [&figures] { ++figures.nPreviews; });

    const QString typed = QStringLiteral("Notes: <$$Notes$$> typed here to be previewed");
    std::vector<double> stalls;
    QElapsedTimer clock;
    clock.start();
    qint64 nLastTick = clock.nsecsElapsed();
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 nNow = clock.nsecsElapsed();
        stalls.push_back(static_cast<double>(nNow - nLastTick) / 1e6 - 1.0);
        nLastTick = nNow;
    });
    int nTyped = 0;
    int nPause = 0;
    QTimer keys;
    keys.setInterval(80);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        if (nPause > 0) {
            --nPause;
            return;
        }
        if (nTyped >= typed.size()) {
            keys.stop();
            return;
        }
        const QString text(typed[nTyped++]);
        if (text == QStringLiteral(" "))
            nPause = 5;
        if (!bType)
            return;
        QApplication::postEvent(pTemplate,
                                new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, text));
        QApplication::postEvent(pTemplate,
                                new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, text));
    });
    QEventLoop loop;
    const int nWords = static_cast<int>(typed.count(QLatin1Char(' ')));
    QTimer::singleShot(80 * (static_cast<int>(typed.size()) + 5 * nWords + 1) + 1000, &loop,
                       &QEventLoop::quit);
    heartbeat.start();
    keys.start();
    loop.exec();
    QObject::disconnect(shown);
    std::sort(stalls.begin(), stalls.end());
    if (!stalls.empty()) {
        figures.dWorstStall = stalls.back();
        figures.dP99Stall = stalls[stalls.size() * 99 / 100];
    }
    return figures;
}

// Typing with the preview on or off, and Parse Data once more after it.
void ReportTyping(CMainDlg& dlg, CListView& view, bool bPreview)
{
    if (dlg.m_bLivePreview != bPreview)
        dlg.SendCommand(ID_VIEW_LIVEPREVIEW);
    const CTypingFigures typing = MeasureTyping(dlg);
    std::printf("typing in the template box, preview %s: worst stall %.1f ms, 99th "
                "percentile %.1f ms, %d previews shown\n",
                bPreview ? "on" : "off", typing.dWorstStall, typing.dP99Stall, typing.nPreviews);
    const auto start = Clock::now();
    dlg.SendCommand(IDC_BUTTON_PARSE);
    view.viewport()->repaint();
    QApplication::processEvents();
    std::printf("parse data again, preview %s: %.0f ms\n", bPreview ? "on" : "off", MsSince(start));
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
    for (const bool bPreview : {true, false})
        ReportTyping(dlg, *pView, bPreview);
    // The yardstick for the stalls above: the same time with no key sent.
    const CTypingFigures idle = MeasureTyping(dlg, false);
    std::printf("no typing, for comparison: worst stall %.1f ms, 99th percentile %.1f ms\n",
                idle.dWorstStall, idle.dP99Stall);
    std::printf("peak RSS: %ld MB\n", PeakRssMb());
    return 0;
}
