// Feeds arbitrary bytes to the text file reader through a real file and
// checks that what comes back is well-formed UTF-8 with CR LF line ends only.
#include "engine/LineArray.h"
#include "engine/TextFileReader.h"
#include "framework/StringUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize)
{
    static const std::string strPath = "/tmp/korvane-fuzz-reader-" + std::to_string(::getpid());
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return 0;
    std::fwrite(pData, 1, nSize, pFile);
    std::fclose(pFile);

    CTextFileReader reader(strPath);
    CString text;
    if (!reader.ReadAll(text, "\r\n"))
        std::abort();
    if (!str::IsValidUtf8(text))
        std::abort();
    for (size_t i = 0; i < text.size(); ++i) {
        const bool bCr = text[i] == '\r';
        const bool bLf = text[i] == '\n';
        if (bCr && (i + 1 >= text.size() || text[i + 1] != '\n'))
            std::abort();
        if (bLf && (i == 0 || text[i - 1] != '\r'))
            std::abort();
    }
    CLineArray lines;
    if (!lines.LoadFromFile(strPath, "\r\n"))
        std::abort();
    return 0;
}
